#include "PictureCache.h"
#include "CellFormat.h"
#include <QImageReader>

PictureCache::PictureCache(qsizetype maxBytes, int thumbnailSide) : m_cache(maxBytes), m_side(thumbnailSide) {}

QImage PictureCache::thumbnail(const QString &path) {
    if (path.isEmpty())
        return {};
    if (const QImage *img = m_cache.object(path))
        return *img;
    ++m_loads;
    QImage img = full(path);
    if (!img.isNull() && (img.width() > m_side || img.height() > m_side))
        img = img.scaled(m_side, m_side, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    // A file that cannot be read still costs its entry, so failures stay bounded too.
    m_cache.insert(path, new QImage(img), std::max<qsizetype>(1024, img.sizeInBytes()));
    return img;
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
