#include "PictureCache.h"
#include "CellFormat.h"
#include <QDateTime>
#include <QFileInfo>
#include <QImageReader>
#include <utility>

PictureCache::PictureCache(qsizetype maxBytes, int thumbnailSide) : m_cache(maxBytes), m_side(thumbnailSide) {}

void PictureCache::setFetcher(Fetcher fetcher) {
    // Pictures read one way are not known current the other way (a server's cached files).
    if (m_fetcher || fetcher)
        m_cache.clear();
    m_fetcher = std::move(fetcher);
    m_pending.clear();
}

void PictureCache::renew() {
    ++m_list;
    m_pending.clear();
    if (m_fetcher)
        m_cache.clear();
}

PictureCache::Version PictureCache::versionOf(const QString &path) {
    const QFileInfo info(path);
    if (!info.exists())
        return {};
    // The change time also moves when a file is put in place keeping an older modification time.
    return {true, info.size(), info.fileTime(QFileDevice::FileModificationTime).toMSecsSinceEpoch(),
            info.fileTime(QFileDevice::FileMetadataChangeTime).toMSecsSinceEpoch()};
}

const PictureCache::Entry *PictureCache::current(const QString &path) {
    Entry *e = m_cache.object(path);
    if (!e || e->list == m_list)
        return e;
    if (!m_fetcher && e->version == versionOf(path)) {
        e->list = m_list;
        return e;
    }
    m_cache.remove(path);
    return nullptr;
}

bool PictureCache::isCached(const QString &path) const {
    const Entry *e = m_cache.object(path);
    return e && e->list == m_list;
}

QImage PictureCache::thumbnail(const QString &path) {
    if (path.isEmpty())
        return {};
    if (const Entry *e = current(path))
        return e->image;
    if (!m_fetcher)
        return thumbnailNow(path);
    if (!m_pending.contains(path))
        m_pending << path;
    return {};
}

QImage PictureCache::thumbnailNow(const QString &path) {
    if (path.isEmpty())
        return {};
    if (const Entry *e = current(path))
        return e->image;
    ++m_loads;
    // Taken before the read: a change while reading is seen by the next list.
    const Version version = m_fetcher ? Version() : versionOf(path);
    QImage img = m_fetcher ? m_fetcher(path) : full(path);
    if (!img.isNull() && (img.width() > m_side || img.height() > m_side))
        img = img.scaled(m_side, m_side, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    // A file that cannot be read still costs its entry, so failures stay bounded too.
    m_cache.insert(path, new Entry{img, version, m_list}, std::max<qsizetype>(1024, img.sizeInBytes()));
    return img;
}

int PictureCache::fetchPending() {
    const QStringList pending = std::exchange(m_pending, {});
    for (const QString &path : pending)
        thumbnailNow(path);
    return int(pending.size());
}

QImage PictureCache::full(const QString &path) {
    QImageReader reader(path);
    reader.setAutoTransform(true);
    return reader.read();
}

QRectF PictureCache::fitRect(const QRectF &cell, const QSizeF &picture, int fit) {
    if (picture.isEmpty() || cell.isEmpty())
        return {};
    const QSizeF size =
        (fit & PictStretch)
            ? picture.scaled(cell.size(), (fit & PictMaintainScale) ? Qt::KeepAspectRatio : Qt::IgnoreAspectRatio)
            : picture;
    QRectF r(cell.topLeft(), size);
    if (fit & PictCenter)
        r.moveCenter(cell.center());
    return r;
}
