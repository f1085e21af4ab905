#pragma once
#include <QCache>
#include <QImage>
#include <QRectF>
#include <QString>
#include <QStringList>
#include <functional>

// Pictures of picture cells, read from their files the first time a cell is painted and
// kept for later paints. Each file is read once however many cells show it; what is kept
// is scaled down to a thumbnail so that scrolling through a large catalogue stays within a
// bounded amount of memory (the least recently painted pictures go first). Pictures whose
// reading takes a server (a fetcher is set) are not read while their cell paints: the paint
// queues them and fetchPending reads them afterwards.
class PictureCache {
public:
    explicit PictureCache(qsizetype maxBytes = 64 * 1024 * 1024, int thumbnailSide = 256);

    // Reads a picture's file for the cache, in place of reading the file alone.
    using Fetcher = std::function<QImage(const QString &path)>;
    void setFetcher(Fetcher fetcher);

    // The thumbnail of the file, a null image when it cannot be read (also remembered). With a
    // fetcher a picture not cached yet is queued and null for now.
    QImage thumbnail(const QString &path);
    // The thumbnail, read at once when not cached (a tool tip of one cell).
    QImage thumbnailNow(const QString &path);
    bool hasPending() const { return !m_pending.isEmpty(); }
    // Reads what the paints queued; how many were read.
    int fetchPending();
    // The full picture, read from the file every time (for a viewer).
    static QImage full(const QString &path);

    // Where a picture of the given size goes in a cell, by the cell's PictureFit flags; it may
    // overhang the cell when not stretched (the painter clips).
    static QRectF fitRect(const QRectF &cell, const QSizeF &picture, int fit);

    bool isCached(const QString &path) const { return m_cache.contains(path); }
    int loads() const { return m_loads; }
    void clear() {
        m_cache.clear();
        m_pending.clear();
    }
    // The file changed: the next paint reads it again.
    void forget(const QString &path) { m_cache.remove(path); }

private:
    QCache<QString, QImage> m_cache;
    int m_side;
    Fetcher m_fetcher;
    QStringList m_pending;
    int m_loads = 0;
};
