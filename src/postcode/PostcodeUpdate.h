#pragma once
#include <QString>
#include <QUrl>

// Installing a downloaded postal-code database: nothing replaces the old one until the
// archive and the database it holds have been checked.
namespace PostcodeUpdate {

// The update server (settings "Postcode" / "UpdateServer") followed by the archive's path;
// empty while no server is set (there is no public one to fall back on).
QUrl archiveUrl();
// What the user is told then: that none is set, and where to set it.
QString noServerMessage();
inline const QString kArchivePath = QStringLiteral("/download/zipcode/adozip/dbPost.zip");
inline const QString kEntryName = QStringLiteral("dbPost.db");
// The whole country's postal codes take a few tens of megabytes; a server offering more is
// not sending them.
inline constexpr qint64 kMaxArchiveBytes = qint64(256) << 20;

struct Result {
    bool ok = false;
    QString message; // why it failed, in the user's words
};

// A database the lookup can use: it opens, passes the engine's quick check and has table
// Post with its five columns and at least one row.
bool checkDatabase(const QString &file, QString *error);

// Checks every entry of archive (size and CRC), takes its dbPost.db out beside targetDb,
// checks that database, gives it the lookup's indexes, and only then renames it over
// targetDb. A failure leaves targetDb as it was and nothing new beside it.
Result install(const QString &archive, const QString &targetDb);

} // namespace PostcodeUpdate
