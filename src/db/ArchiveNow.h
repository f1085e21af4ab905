#pragma once
#include "BackupArchive.h"
#include <QString>

// An archive of the catalogue as it is now, made as the backup program makes its own, so
// that its restore offers it: the database folder and the pictures of a file database, the
// dump of a server database. Used by the backup program and before an import.
namespace ArchiveNow {

// databaseFolder: the database's folder (the one the backup program is given); target:
// where the archive goes. error holds a reason the outcome's message does not.
BackupArchive::Outcome take(const QString &databaseFolder, const QString &target, QString *error);

} // namespace ArchiveNow
