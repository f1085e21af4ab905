#include "CompoundDirectory.h"
#include <QFile>
#include <QtEndian>
#include <vector>

namespace CompoundDirectory {

namespace {
constexpr quint32 kLastRegularSector = 0xFFFFFFFA;
constexpr int kHeaderFatEntries = 109, kEntrySize = 128, kRootType = 5;

quint32 u32(const QByteArray &b, qsizetype at) { return qFromLittleEndian<quint32>(b.constData() + at); }

struct Entry {
    QString name;
    int type = 0;
    quint32 start = 0;
    quint64 size = 0;
};

// The container's allocation table and directory, read once.
class Container {
public:
    explicit Container(const QString &file) : m_file(file) { m_ok = read(); }
    bool ok() const { return m_ok; }
    const std::vector<Entry> &entries() const { return m_entries; }

    // The first bytes (64 at most) of a stream, from the regular sectors or the mini stream.
    QByteArray start(const Entry &e, int bytes) {
        if (e.size >= m_miniCutoff)
            return sector(e.start).left(bytes);
        const Entry *root = nullptr;
        for (const Entry &r : m_entries)
            if (r.type == kRootType)
                root = &r;
        if (!root)
            return {};
        // Mini sector e.start of the mini stream, which the root entry's chain holds.
        const quint64 at = quint64(e.start) << m_miniShift;
        quint32 s = root->start;
        for (quint64 k = at >> m_shift; k > 0 && s < m_fat.size(); --k)
            s = m_fat[s];
        return sector(s).mid(qsizetype(at & ((quint64(1) << m_shift) - 1)), bytes);
    }

private:
    // Sector n as bytes; empty past the file's end.
    QByteArray sector(quint32 n) {
        if (n > kLastRegularSector || !m_file.seek((qint64(n) + 1) << m_shift))
            return {};
        const QByteArray b = m_file.read(qint64(1) << m_shift);
        return b.size() == (qsizetype(1) << m_shift) ? b : QByteArray();
    }

    bool read() {
        if (!m_file.open(QIODevice::ReadOnly))
            return false;
        const QByteArray header = m_file.read(512);
        if (header.size() < 512 || !header.startsWith(kSignature))
            return false;
        m_shift = qFromLittleEndian<quint16>(header.constData() + 0x1E);
        m_miniShift = qFromLittleEndian<quint16>(header.constData() + 0x20);
        m_miniCutoff = u32(header, 0x38);
        if ((m_shift != 9 && m_shift != 12) || m_miniShift != 6)
            return false;
        const quint32 perSector = (quint32(1) << m_shift) / 4;
        // Every sector is visited once at most: a chain that loops ends there.
        const quint64 sectors = quint64(m_file.size() >> m_shift) + 1;
        // The table's own sectors: the first 109 in the header, the rest in a chain of sectors.
        std::vector<quint32> fatSectors;
        for (int i = 0; i < kHeaderFatEntries; ++i)
            if (const quint32 s = u32(header, 0x4C + 4 * i); s <= kLastRegularSector)
                fatSectors.push_back(s);
        for (quint32 s = u32(header, 0x44); s <= kLastRegularSector && fatSectors.size() < sectors;) {
            const QByteArray d = sector(s);
            if (d.isEmpty())
                return false;
            for (quint32 i = 0; i + 1 < perSector; ++i)
                if (const quint32 v = u32(d, 4 * i); v <= kLastRegularSector)
                    fatSectors.push_back(v);
            s = u32(d, qsizetype(4 * (perSector - 1)));
        }
        for (quint32 s : fatSectors) {
            const QByteArray d = sector(s);
            if (d.isEmpty())
                return false;
            for (quint32 i = 0; i < perSector; ++i)
                m_fat.push_back(u32(d, 4 * i));
        }
        quint64 visited = 0;
        for (quint32 s = u32(header, 0x30); s <= kLastRegularSector; s = s < m_fat.size() ? m_fat[s] : ~0u) {
            const QByteArray d = sector(s);
            if (d.isEmpty() || ++visited > sectors)
                return false;
            for (qsizetype at = 0; at + kEntrySize <= d.size(); at += kEntrySize) {
                const int bytes = qFromLittleEndian<quint16>(d.constData() + at + 0x40);
                Entry e;
                e.type = quint8(d[at + 0x42]);
                if (e.type == 0 || bytes < 2 || bytes > 64)
                    continue; // an unused entry
                e.name = QString::fromUtf16(reinterpret_cast<const char16_t *>(d.constData() + at), bytes / 2 - 1);
                e.start = u32(d, at + 0x74);
                e.size = qFromLittleEndian<quint64>(d.constData() + at + 0x78);
                m_entries.push_back(e);
            }
        }
        return true;
    }

    QFile m_file;
    bool m_ok = false;
    int m_shift = 9, m_miniShift = 6;
    quint32 m_miniCutoff = 4096;
    std::vector<quint32> m_fat;
    std::vector<Entry> m_entries;
};
} // namespace

QStringList entries(const QString &file) {
    const Container c(file);
    if (!c.ok())
        return {};
    QStringList names;
    for (const Entry &e : c.entries())
        names << e.name;
    return names;
}

QByteArray streamStart(const QString &file, const QString &stream, int bytes) {
    Container c(file);
    for (const Entry &e : c.ok() ? c.entries() : std::vector<Entry>{})
        if (e.name == stream && e.type != kRootType)
            return c.start(e, qMin(bytes, 64));
    return {};
}

bool isEncryptedPackage(const QStringList &entries) {
    return entries.contains(QLatin1String("EncryptionInfo")) && entries.contains(QLatin1String("EncryptedPackage"));
}

} // namespace CompoundDirectory
