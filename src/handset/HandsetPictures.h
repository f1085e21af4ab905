#pragma once
#include "PictureNames.h"
#include "PictureStore.h"
#include <QImage>
#include <QString>
#include <functional>
#include <memory>

// A handset's picture, by the handset's ID (t_mobile.mid), in the store of the open database:
// the files of IMG/ in the application folder for the file database, the server's picture
// table (IMG/ then this PC's cache) for a server database. The rules of which handset the
// picture follows are in HandsetSave. Every caller (the list and its picture column, the entry
// window, the image viewer, the demo catalogue) reaches pictures only through here. Names
// follow PictureNames.
namespace HandsetPictures {

using PictureNames::fileName;
using PictureNames::idOfFile;
using PictureNames::isSafeId;
using PictureNames::kEscapedFolder;

// The picture folder, IMG in the application folder.
QString folder();
// The picture's absolute file (the cached one on a server); empty for an empty ID.
QString file(const QString &id);
// file() below another picture folder (the demo catalogue seeds one it is given).
QString fileIn(const QString &pictureFolder, const QString &id);

// The store of the open database.
std::unique_ptr<PictureStore> openStore();
// Its writes are part of the database's transaction.
bool transactional();
// What the list's picture column reads a cell's file with when reading it takes the server:
// the picture made current first. None for pictures that are files only.
std::function<QImage(const QString &file)> fetcher();

bool exists(const QString &id);
// The picture, a null image when there is none or it cannot be read.
QImage load(const QString &id);
// Writes the picture as the ID's (BMP, replaced atomically). False with the reason.
bool store(const QString &id, const QImage &picture, QString *error = nullptr);
// Removes the ID's picture; true also when there was none.
bool remove(const QString &id, QString *error = nullptr);
// Gives the picture of from to the ID to (from's is gone afterwards); a picture that to has
// already is replaced only when replace is set, else nothing moves and false is returned.
bool move(const QString &from, const QString &to, bool replace, QString *error = nullptr);
// The same, from keeps its picture.
bool copy(const QString &from, const QString &to, bool replace, QString *error = nullptr);
// True when both IDs name the same picture (equal IDs, or IDs that differ only in letter case
// where the store ignores it).
bool sameFile(const QString &a, const QString &b);

} // namespace HandsetPictures
