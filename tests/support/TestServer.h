#pragma once
#include "ServerConnection.h"
#include <QSqlDatabase>
#include <QString>

// The private PostgreSQL server of a test run (scripts/pg-cluster).
namespace TestServer {
// The test program runs its cases against the server (MOBILESHOP_TEST_BACKEND=postgres).
bool enabled();
// The test program's own database on the server (the maintenance database when none is
// given), as the run's login reaches it.
ServerConnection maintenance();
// A new empty database for one case; an incomplete connection (and *error) on failure.
ServerConnection createDatabase(QString *error = nullptr);
// A connection of the test's own to c, not yet opened: "another program".
QSqlDatabase addConnection(const ServerConnection &c, const QString &name);
} // namespace TestServer
