#pragma once
#include "BoundSql.h"
#include "DbErrors.h"
#include "ErrorBox.h"
#include "Recordset.h"
#include <QString>
#include <QVariant>
#include <functional>

class QFile;
class QSqlDatabase;
struct ServerConnection;

// The one shared connection to the main database and the helpers every window reads and
// writes through. Typed or stored text reaches a statement as a bound value (BoundSql's ?),
// on either engine.
namespace modMDB_Func {

// Cursor, lock and option values callers pass to OpenRecordset (kept for their meaning;
// every recordset is a static client-side snapshot).
enum { adOpenForwardOnly = 0, adOpenStatic = 3, adLockReadOnly = 1, adLockOptimistic = 3, adCmdText = 1 };

// Opens file as the shared connection. The password is checked against the one the database
// was created with. On failure shows "DB 연결 실패" with the number and description.
// A file whose pages fail the engine's quick check is refused as damaged: writes into it
// would spread the damage.
bool OpenDB(const QString &file, const QString &password, bool readOnly, bool sqlLog);
// Opens the shop's database on a server as the shared connection; an empty database gets
// the tables and seed rows first. Failures show the same box, with the server's words, or,
// when failure is given, are handed back there instead (number, " : ", description).
bool OpenServerDB(const ServerConnection &server, const QString &password, bool readOnly, bool sqlLog,
                  QString *failure = nullptr);
// The shared connection is to a database server, not a file.
bool IsServerDatabase();
// Why the last OpenDB failed, for callers that offer a way out (a damaged file: a backup).
enum class OpenProblem { None, Missing, Locked, Damaged, BadPassword, Other };
OpenProblem lastOpenProblem();
// The open database cannot be written (a write-protected file or medium, a read-only server
// or login).
bool IsWriteProtected();
void DBTerminate();
bool IsOpen();
QSqlDatabase connection();

// Record count, or -1 after the error box.
int OpenRecordset(Recordset &rs, const BoundSql &sql, int cursorType = adOpenForwardOnly, int lockType = adLockReadOnly,
                  int options = adCmdText);
// The same on a connection of the caller's own (a window's private database); a connection
// that is not open is error 91.
int OpenRecordsetOn(const QSqlDatabase &db, Recordset &rs, const BoundSql &sql);
// The "DB 연결 실패" box OpenDB shows, for connections of the callers' own.
void ReportConnectionFailure(int number, const QString &description);
// Records affected; 0 on failure. With reRaise the failure is thrown as AppError.
int ExecuteSQL(const BoundSql &sql, bool noMsg = false, bool reRaise = false, QFile *errFile = nullptr);
// First column of the first row, or empty text. Errors are thrown as AppError.
QVariant GetValue(const BoundSql &sql);
// The key the last insert on the shared connection generated. Errors are thrown.
int GetIdentity();
// Next code prefix + zero-padded number for a column of fixed-length codes; empty text after
// a notice when the numbers are used up.
QString GetNextCode(const QString &table, const QString &column, int totalLen, const QString &prefix = {},
                    const QString &extra = {});
// The statement behind e was refused because it would repeat a value of column that must
// be unique.
bool IsDuplicateKey(const AppError &e, const QString &column);
void CloseObj(Recordset &rs);
QString EncodeLogLine(const QString &text);

// Runs fn inside one write transaction, which holds the database's write lock from its
// start, so that what fn reads stays true until it commits (another program waits up to the
// busy timeout). Rolled back when fn returns false or throws; a lock that cannot be had is
// thrown as AppError 3261.
bool InTransaction(const std::function<bool()> &fn);

// How long a statement waits for another program's lock (milliseconds); for tools and tests
// that must not wait the full 10 s. Takes effect at the next OpenDB.
void setBusyTimeout(int ms);

} // namespace modMDB_Func
