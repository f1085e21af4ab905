#pragma once
#include <QSqlDatabase>
#include <QString>

// Where the shop's database server is, as the setup window stores it. An empty password
// leaves it to the server's own password file on this PC.
struct ServerConnection {
    QString host; // a name, an address, or a folder holding the server's socket
    int port = 5432;
    QString database;
    QString user;
    QString password;

    bool complete() const { return !host.isEmpty() && !database.isEmpty() && !user.isEmpty(); }
    // "user@host:port/database", for the status bar and messages; never the password.
    QString describe() const;

    // Read from and written to the settings store ("환경설정"). The password is kept encoded
    // as the login window keeps its saved one, which hides it from a glance, no more.
    static ServerConnection load();
    // The settings choose the server for this PC ("CSType" = "2").
    static bool chosen();
    // A Qt connection named name to this server (QPSQL), not yet opened; invalid without the driver.
    QSqlDatabase addDatabase(const QString &name) const;
    bool save() const;
    // Why a connection could not be made, in Korean first, the server's own words after.
    static QString explainFailure(const QString &serverText);
};

namespace ServerTest {
// Opens a connection of its own and closes it again: the server's version on success,
// otherwise false with the server's own words in *error.
bool tryConnect(const ServerConnection &c, QString *version, QString *error);
} // namespace ServerTest
