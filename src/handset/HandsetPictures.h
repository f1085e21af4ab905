#pragma once
#include <QImage>
#include <QString>

// Where a handset's picture is kept, by the handset's ID (t_mobile.mid), and the file work on
// it. No widgets and no database: the rules of which handset the picture follows are in
// HandsetSave. Every caller (the list and its picture column, the entry window, the image
// viewer, the demo catalogue) names pictures only through here, so they could later be kept
// elsewhere behind the same calls.
//
// Naming: an ID that is a safe file name has its picture at IMG/<ID>.bmp in the application
// folder, as stored folders have it. Any other ID (a path separator / or \, the names "." and
// "..", a character Windows refuses in file names: < > : " | ? * and control characters, a
// trailing dot or blank, a reserved device name such as CON, NUL, COM1, also with an
// extension) has it at IMG/escaped/<escaped>.bmp: each such character, the escape
// character % itself, a leading dot and a reserved name's first letter are written as %XX (hex
// of the character's byte). No safe ID names a file in a sub-folder, so an escaped name never
// meets a safe ID's name (a safe ID may hold %); escaping is reversible (idOfFile), and no
// name leaves IMG/. IDs that differ only in letter case are one ID to the database (NOCASE)
// and, on Windows, one file.
namespace HandsetPictures {

// The folder of the escaped names, below IMG/.
inline constexpr const char *kEscapedFolder = "escaped";

// True when the ID is its own file name: IMG/<ID>.bmp.
bool isSafeId(const QString &id);
// The picture's file relative to IMG/ ("SCH-W270.bmp", "escaped/UX%2F3.bmp"); empty for an
// empty ID (no picture).
QString fileName(const QString &id);
// The ID whose picture a relative name (as fileName gives it) holds; empty for a name that
// fileName never gives.
QString idOfFile(const QString &relative);

// The picture folder, IMG in the application folder.
QString folder();
// The picture's absolute file; empty for an empty ID.
QString file(const QString &id);
// file() below another picture folder (the demo catalogue seeds one it is given).
QString fileIn(const QString &pictureFolder, const QString &id);

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
// True when both IDs name the same file (equal IDs, or IDs that differ only in letter case on
// a file system that ignores it).
bool sameFile(const QString &a, const QString &b);

} // namespace HandsetPictures
