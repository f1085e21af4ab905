#include "PictureCache.h"
#include "CellFormat.h"
#include <QImageReader>
#include <utility>

PictureCache::PictureCache(qsizetype maxBytes, int thumbnailSide) : m_cache(maxBytes), m_side(thumbnailSide) {}

void PictureCache::setFetcher(Fetcher fetcher) {
    m_fetcher = std::move(fetcher);
    m_pending.clear();
}

QImage PictureCache::thumbnail(const QString &path) {
    if (path.isEmpty())
        return {};
    if (const QImage *img = m_cache.object(path))
        return *img;
    if (!m_fetcher)
        return thumbnailNow(path);
    if (!m_pending.contains(path))
        m_pending << path;
    return {};
}

QImage PictureCache::thumbnailNow(const QString &path) {
    if (path.isEmpty())
        return {};
    if (const QImage *img = m_cache.object(path))
        return *img;
    ++m_loads;
    QImage img = m_fetcher ? m_fetcher(path) : full(path);
    if (!img.isNull() && (img.width() > m_side || img.height() > m_side))
        img = img.scaled(m_side, m_side, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    // A file that cannot be read still costs its entry, so failures stay bounded too.
    m_cache.insert(path, new QImage(img), std::max<qsizetype>(1024, img.sizeInBytes()));
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
