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
// An empty database for one case: one a finished case gave back, emptied, or a new one; an
// incomplete connection (and *error) on failure.
ServerConnection createDatabase(QString *error = nullptr);
// The case is done with c's database: the next createDatabase may empty it and hand it out
// again, which costs a fraction of making a database.
void giveBack(const ServerConnection &c);
// A connection of the test's own to c, not yet opened: "another program".
QSqlDatabase addConnection(const ServerConnection &c, const QString &name);
} // namespace TestServer
