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
// A new list (renew) keeps what was read: a file's picture is shown again only while its
// file's size and times are the ones it was read with, so an edit, a copy from another PC or
// a deletion is read anew, and an unchanged picture costs one look at its file per list.
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

    // Held and known to be the file's current picture in this list.
    bool isCached(const QString &path) const;
    int loads() const { return m_loads; }
    void clear() {
        m_cache.clear();
        m_pending.clear();
    }
    // A new list: every picture kept is checked against its file before it is shown again. A
    // server's pictures are fetched again (the fetch asks the server whether they changed).
    void renew();
    // The file changed: the next paint reads it again.
    void forget(const QString &path) { m_cache.remove(path); }

private:
    // What tells one content of a file from another without reading it.
    struct Version {
        bool exists = false;
        qint64 size = 0, modified = 0, changed = 0;
        bool operator==(const Version &) const = default;
    };
    struct Entry {
        QImage image;
        Version version;
        quint64 list = 0; // the list it was last found current in
    };
    static Version versionOf(const QString &path);
    // The entry when it can be shown in this list; a stale one is dropped.
    const Entry *current(const QString &path);

    QCache<QString, Entry> m_cache;
    int m_side;
    Fetcher m_fetcher;
    QStringList m_pending;
    int m_loads = 0;
    quint64 m_list = 0;
};
