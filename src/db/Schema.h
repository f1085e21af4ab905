#pragma once
#include <QString>
#include <QStringList>
#include <functional>

class QSqlDatabase;

// The main database of a fresh application folder.
namespace Schema {
inline const QString kPassword = QStringLiteral("rq5531");
inline const QString kMainFile = QStringLiteral("dbMain.db");
// The server lock everything that makes the tables holds (a PC's first start, db-migrate),
// taken before its transaction: one waits until the other has committed or is gone.
inline const QString kLockTablesSql = QStringLiteral("SELECT pg_advisory_lock(4946727)");
inline const QString kUnlockTablesSql = QStringLiteral("SELECT pg_advisory_unlock(4946727)");

// Creates file with every table, the ADMIN account (empty password), the base handset
// record (code 1) and the password check. The file appears complete or not at all.
// False (with the reason in *error) when it cannot be written or already exists.
bool createMainDatabase(const QString &file, const QString &password = kPassword, QString *error = nullptr);
// Brings an older database up to what this program needs; what cannot be added (a unique
// index over codes that are already duplicated) is left for the save's own check.
void upgrade(const QSqlDatabase &db);
// Gives an empty server database the same tables and seed rows in one transaction; a
// database that has them is only upgraded. False with the server's reason in *error.
bool prepareServerDatabase(const QSqlDatabase &db, const QString &password = kPassword, QString *error = nullptr);
// The tables and indexes of either engine without any row, inside the caller's transaction
// (a database being filled from another). False with the engine's reason in *error.
bool createTables(const QSqlDatabase &db, QString *error = nullptr);
// The tables createTables makes on either engine, in the order they are created (the server
// also makes PictureTable's).
QStringList tableNames();
// Opens the database file on a connection of its own, hands it to fill and closes it again.
// False (with fill's reason, or the engine's, in *error) when it cannot be opened or fill fails.
bool fillFile(const QString &file, const std::function<bool(const QSqlDatabase &, QString *)> &fill,
              QString *error = nullptr);
// Hash stored for password (what OpenDB compares).
QString passwordHash(const QString &password);
} // namespace Schema
