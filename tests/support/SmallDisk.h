#pragma once
#include <QByteArray>
#include <QString>
#include <sys/mount.h>

// While it lives, folder is a file system of its own of the given size (a memory file
// system, mounted as root): writes past it fail as on a full disk.
class SmallDisk {
public:
    SmallDisk(const QString &folder, qint64 bytes) : m_folder(folder.toLocal8Bit()) {
        const QByteArray options = "size=" + QByteArray::number(bytes);
        m_mounted = mount("tmpfs", m_folder.constData(), "tmpfs", 0, options.constData()) == 0;
    }
    ~SmallDisk() {
        if (m_mounted)
            umount2(m_folder.constData(), MNT_DETACH);
    }
    SmallDisk(const SmallDisk &) = delete;
    SmallDisk &operator=(const SmallDisk &) = delete;
    bool mounted() const { return m_mounted; }

private:
    QByteArray m_folder;
    bool m_mounted = false;
};
