#include "ArchiveRoom.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QLocale>
#include <QStorageInfo>
#include <memory>
#include <zip.h>

namespace ArchiveRoom {

namespace {
QString sizeText(qint64 bytes) {
    return QLocale(QLocale::Korean).formattedDataSize(bytes, 1, QLocale::DataSizeTraditionalFormat);
}

// The file system a path not yet made will be on: that of its nearest existing folder.
QStorageInfo volumeOf(const QString &path) {
    QString dir = QFileInfo(path).absolutePath();
    for (QString up = dir; !QFileInfo::exists(dir) && (up = QFileInfo(dir).absolutePath()) != dir;)
        dir = up;
    return QStorageInfo(dir);
}
} // namespace

QString check(const QString &archive, const std::function<QString(const QString &)> &target, qint64 maxEntryBytes) {
    int code = 0;
    const std::unique_ptr<zip_t, void (*)(zip_t *)> za(
        zip_open(QFile::encodeName(archive).constData(), ZIP_RDONLY, &code), [](zip_t *z) {
            if (z)
                zip_discard(z);
        });
    if (!za)
        return {};                                      // the reading reports an archive it cannot open
    QHash<QString, QPair<QStorageInfo, qint64>> needed; // by volume root
    const zip_int64_t count = zip_get_num_entries(za.get(), 0);
    for (zip_int64_t i = 0; i < count; ++i) {
        zip_stat_t st;
        if (zip_stat_index(za.get(), zip_uint64_t(i), 0, &st) != 0 || !(st.valid & ZIP_STAT_SIZE) ||
            !(st.valid & ZIP_STAT_NAME))
            continue;
        const QString name = QString::fromUtf8(st.name);
        if (st.size > zip_uint64_t(maxEntryBytes))
            return QStringLiteral("백업 파일의 '%1'이(가) %2로 너무 큽니다. 한 파일은 %3까지만 복원합니다. "
                                  "현재 자료는 그대로입니다.")
                .arg(name, sizeText(qint64(st.size)), sizeText(maxEntryBytes));
        const QStorageInfo volume = volumeOf(target(name));
        auto &slot = needed[volume.rootPath()];
        slot.first = volume;
        slot.second += qint64(st.size);
    }
    for (const auto &[volume, bytes] : std::as_const(needed)) {
        if (volume.isValid() && volume.bytesAvailable() >= 0 && bytes > volume.bytesAvailable())
            return QStringLiteral(
                       "디스크 공간이 부족하여 복원하지 않았습니다: 풀어 놓을 파일에 %1이 필요한데 %2만 남아 "
                       "있습니다 (%3). 현재 자료는 그대로입니다.")
                .arg(sizeText(bytes), sizeText(volume.bytesAvailable()), QDir::toNativeSeparators(volume.rootPath()));
    }
    return {};
}

} // namespace ArchiveRoom
