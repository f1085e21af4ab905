#pragma once
#include "PostcodeTextReader.h"
#include <QString>

// Builds the postal-code database (and its update archive) from a published text file.
namespace PostcodeImport {

struct Report {
    bool ok = false;
    QString message; // why it failed
    qint64 rows = 0;
    QList<PostcodeTextReader::BadLine> badLines;
    PostcodeTextReader::Encoding encoding = PostcodeTextReader::Encoding::Utf8;
    QChar delimiter;
};

// Reads textFile (a file or a resource) into a new database at dbFile, written beside it and
// renamed when complete: an existing dbFile stays as it was when anything fails.
Report buildDatabase(const QString &textFile, const QString &dbFile, const PostcodeTextReader::Options &options = {});

// Packs dbFile as the update archive (one entry "dbPost.db"), read back before it is renamed
// into place.
bool buildArchive(const QString &dbFile, const QString &zipFile, QString *error);

} // namespace PostcodeImport
