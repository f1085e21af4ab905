#pragma once
#include <QByteArray>
#include <QSqlDatabase>
#include <QString>

// The handsets' pictures of a server database: one row per ID, compared as t_mobile.mid is
// (citext), with the picture file's bytes, their SHA-256 and the server's time of the change.
// Works on any connection to the server (the shared one inside a save's transaction,
// db-migrate's, the demo catalogue's). Failures: false with the server's words in *error.
// A file database has no such table: its pictures are the files of IMG/.
namespace PictureTable {

inline const QString kTable = QStringLiteral("t_mobile_picture");
// Creates the table where it is absent (databases made before it existed get it at open).
inline constexpr const char *kCreate =
    "CREATE TABLE IF NOT EXISTS t_mobile_picture (mid CITEXT PRIMARY KEY, bytes BYTEA NOT NULL, hash TEXT NOT NULL,"
    " changed TIMESTAMPTZ NOT NULL DEFAULT clock_timestamp())";

// Hex SHA-256 of a picture file's bytes, as the table keeps it.
QByteArray hashOf(const QByteArray &bytes);

struct Row {
    bool present = false;
    QByteArray hash;
    QByteArray bytes; // only when they differ from the hash the caller has
    bool hasBytes = false;
};
// The ID's row; its bytes only when knownHash (a cached copy's) is not the row's.
bool fetch(const QSqlDatabase &db, const QString &id, const QByteArray &knownHash, Row *row, QString *error);
// 1 when the ID has a picture, 0 when not, -1 when it cannot be told.
int exists(const QSqlDatabase &db, const QString &id, QString *error = nullptr);
// The ID's picture is these bytes (added or replaced).
bool put(const QSqlDatabase &db, const QString &id, const QByteArray &bytes, QString *error);
// True also when the ID had none.
bool remove(const QSqlDatabase &db, const QString &id, QString *error);
// Gives from's picture to to (a copy when keepSource); a picture to has already is replaced
// only with replace. IDs equal but for letter case are one row: its ID takes to's letters.
bool transfer(const QSqlDatabase &db, const QString &from, const QString &to, bool replace, bool keepSource,
              QString *error);
// The two IDs are one row.
bool sameId(const QSqlDatabase &db, const QString &a, const QString &b);

// What a picture folder and the table hold, compared as db-migrate compares a table's rows:
// how many pictures, and an order-independent SHA-256 over each one's ID and bytes.
struct Digest {
    qint64 pictures = 0;
    QByteArray checksum;
    bool operator==(const Digest &) const = default;
};
Digest digestOfTable(const QSqlDatabase &db);
// The handsets' pictures below folder (files whose names PictureNames gives for an ID).
Digest digestOfFolder(const QString &folder);
// Every picture of folder into the table (one row per file, inside the caller's transaction).
bool fromFolder(const QSqlDatabase &db, const QString &folder, QString *error);
// Every row into folder as its file; the files written are listed in *written.
bool toFolder(const QSqlDatabase &db, const QString &folder, QStringList *written, QString *error);

} // namespace PictureTable
