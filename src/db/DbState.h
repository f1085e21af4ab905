#pragma once
#include "DbBackend.h"
#include "ErrorBox.h"
#include "modMDB_Func.h"
#include <QSqlDatabase>
#include <QString>

// The shared connection's state, kept between the files of the database helpers.
namespace modMDB_Func::detail {

inline const QString kConnection = QStringLiteral("main");

struct State {
    bool open = false;
    bool readOnly = false;
    bool writeProtected = false;
    bool sqlLog = false;
    bool server = false;
    int transactionDepth = 0;
    QString logFile;
    QString openMarker; // this PC's "in use" mark beside the file, removed by a clean close
    int busyTimeoutMs = 10000;
    const DbBackend *backend = &DbBackend::sqlite();
    OpenProblem problem = OpenProblem::None;
};
State &state();

AppError noConnection();
// Mends a server connection that was lost since the last statement; outside a transaction
// only, since one that was open is gone with the link. Throws when the server stays away.
void ensureConnected();
// e as reported after a failure on db: a link found gone reads as no connection.
AppError failureOn(const QSqlDatabase &db, const AppError &e);

} // namespace modMDB_Func::detail
