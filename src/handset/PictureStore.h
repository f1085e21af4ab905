#pragma once
#include <QImage>
#include <QString>

// Where the handsets' pictures are kept, by ID (PictureNames gives each its file name):
// FilePictureStore keeps them as the files of IMG/ (the file database), ServerPictureStore in
// the server database's picture table with IMG/ as this PC's cache. HandsetPictures hands
// out the one that fits the open database; the rules of which handset a picture follows are
// HandsetSave's, the same on both.
class PictureStore {
public:
    virtual ~PictureStore() = default;
    // The picture's file on this PC (the cache on a server); empty for an empty ID.
    virtual QString file(const QString &id) const = 0;
    virtual bool exists(const QString &id) = 0;
    // The picture, a null image when there is none or it cannot be read.
    virtual QImage load(const QString &id) = 0;
    // Writes the picture as the ID's (BMP). False with the reason.
    virtual bool store(const QString &id, const QImage &picture, QString *error) = 0;
    // Removes the ID's picture; true also when there was none.
    virtual bool remove(const QString &id, QString *error) = 0;
    // Gives the picture of from to the ID to (a copy when keepSource); one that to has already
    // is replaced only with replace, else nothing moves and false is returned.
    virtual bool transfer(const QString &from, const QString &to, bool replace, bool keepSource, QString *error) = 0;
    // Both IDs name one picture (equal, or equal but for letter case where that is one).
    virtual bool sameFile(const QString &a, const QString &b) = 0;
    // Writes go into the open database's transaction, so a record and its picture are kept or
    // undone together; files cannot be.
    virtual bool transactional() const = 0;
};
