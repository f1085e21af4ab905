#pragma once
#include "ServerConnection.h"
#include <QString>

// The server database written to and read back from one file with the server's own
// programs (pg_dump, pg_restore in custom format), for the backup program.
namespace ServerDump {

inline const QString kEntryName = QStringLiteral("dbMain.pgdump");

// Writes the whole database c names into file, one consistent snapshot while other PCs go
// on working, then has pg_restore read it through. False with the reason in Korean.
bool dump(const ServerConnection &c, const QString &file, QString *error);
// Replaces the content of the database with the dump's in one transaction: on any failure
// the database stays as it was.
bool restore(const ServerConnection &c, const QString &file, QString *error);

} // namespace ServerDump
