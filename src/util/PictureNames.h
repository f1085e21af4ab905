#pragma once
#include <QString>

// The file name of a handset's picture, by the handset's ID (t_mobile.mid), below the picture
// folder IMG/. Every place that keeps pictures as files names them here: the program's own
// folder (the file store, the server store's cache), db-migrate and the demo catalogue.
//
// An ID that is a safe file name has its picture at <ID>.bmp. Any other ID (a path separator /
// or \, the names "." and "..", a character Windows refuses in file names: < > : " | ? * and
// control characters, a trailing dot or blank, a reserved device name such as CON, NUL, COM1,
// also with an extension) has it at escaped/<escaped>.bmp: each such character, the escape
// character % itself, a leading dot and a reserved name's first letter are written as %XX (hex
// of the character's byte). No safe ID names a file in a sub-folder, so an escaped name never
// meets a safe ID's name (a safe ID may hold %); escaping is reversible (idOfFile), and no
// name leaves IMG/. IDs that differ only in letter case are one ID to the database (NOCASE,
// citext) and, on Windows, one file.
namespace PictureNames {

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

} // namespace PictureNames
