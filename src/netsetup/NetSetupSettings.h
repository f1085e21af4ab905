#pragma once
#include <QString>

// What the network setup reads and stores: the connection type, the server path and the
// drive it is mapped to, and the database folder start-up opens next time.
namespace NetSetupSettings {

inline constexpr int kServer = 0;
inline constexpr int kClient = 1;
inline constexpr int kDbServer = 2; // the database on a PostgreSQL server

struct Stored {
    int csType = kServer;
    QString serverPath;
    QString drive;
};

Stored load();
// The share a server offers: the name of the program's own folder.
QString shareName();
// The program folder's DBS folder for the server, the drive followed by "\DBS" for a client.
QString databaseFolder(int csType, const QString &drive);
// Stores the network path and drive (a client only), the database folder through SetDBPath,
// then "CSType" and gCSType. False after telling the user which file could not be written.
bool save(int csType, const QString &serverPath, const QString &drive);

} // namespace NetSetupSettings
