#pragma once
#include "Schema.h"
#include <QString>
#include <QStringList>
#include <functional>

// Zip archives of the database folder and the pictures: written, read back entry by entry before they count,
// and restored without destroying what they replace.
namespace BackupArchive {

struct Outcome {
    bool ok = false;
    QString archive;     // the archive written or read
    QString message;     // why it failed, in the user's words
    QStringList entries; // names inside the archive, '/'-separated
    QStringList warnings;
    QString asideFolder;         // restore: where the replaced files now are (empty when none)
    QString picturesAsideFolder; // restore: where the replaced pictures now are (empty when none)
};

// Archives every file below databaseFolder (a consistent snapshot of each SQLite database,
// never its journal) into archivePath, then reads every entry back and compares it with
// what was packed. A failed archive is removed, an existing archivePath is never replaced.
// The files below picturesFolder (when given) go in as "IMG/...".
Outcome create(const QString &databaseFolder, const QString &archivePath, const QString &picturesFolder = {});

// Reads every entry to its end so that sizes and CRCs are checked.
Outcome verify(const QString &archivePath);

// Unpacks every entry below folder (made when missing), each checked as verify checks it.
Outcome extract(const QString &archivePath, const QString &folder);

struct RestoreOptions {
    QString password = Schema::kPassword; // the unpacked main database must accept it
    // Renames one file or folder (QDir::rename when empty); tests make it fail part-way.
    std::function<bool(const QString &from, const QString &to)> move;
    // Where the archive's "IMG/..." entries go; empty: into the database folder as they are.
    QString picturesFolder;
};

// Unpacks archivePath beside databaseFolder and checks the unpacked main database in full
// (integrity, tables, password), then moves the folder's current content into a sibling
// folder named after stamp and the unpacked files into the folder. Anything that fails
// before the swap leaves the folder untouched; a failed swap is rolled back. Pictures replace
// the pictures folder's content the same way, after the database folder's; an archive
// without pictures leaves that folder as it is.
Outcome restore(const QString &archivePath, const QString &databaseFolder, const QString &stamp,
                const RestoreOptions &options = {});

} // namespace BackupArchive
