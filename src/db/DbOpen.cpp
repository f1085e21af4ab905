#include "AppState.h"
#include "Clock.h"
#include "DbState.h"
#include "EngineReasons.h"
#include "NetDrives.h"
#include "OpenMarks.h"
#include "Prompter.h"
#include "Schema.h"
#include "ServerConnection.h"
#include "SqlDialect.h"
#include "SqlLog.h"
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>

namespace modMDB_Func {

using namespace detail;

namespace {
State &g = state();

bool isDamage(const QSqlError &e) {
    const int code = e.nativeErrorCode().toInt() & 0xFF;
    return code == 11 || code == 26; // corrupt, not a database
}

AppError damaged(const QString &detail) {
    g.problem = OpenProblem::Damaged;
    return AppError(errFail, QStringLiteral("데이터베이스 파일이 손상되었습니다. ") + explainSqliteText(detail));
}

// What a failed read of the file at open means; what is neither damage nor a lock is
// reported as unknown.
AppError openFailure(const QSqlError &e, bool unknownIsDamage) {
    const AppError mapped = g.backend->toAppError(e);
    if (isDamage(e) || (unknownIsDamage && mapped.number != errLocked))
        return damaged(e.databaseText());
    if (mapped.number == errLocked) {
        g.problem = OpenProblem::Locked;
        return AppError(errLocked, QStringLiteral("다른 프로그램이 데이터베이스를 잠그고 있어 열 수 없습니다. "
                                                  "그 프로그램을 닫은 뒤 다시 시도하세요."));
    }
    return AppError(errFail,
                    QStringLiteral("인식할 수 없는 데이터베이스 형식입니다. ") + explainSqliteText(e.databaseText()));
}

void begin(bool readOnly, bool sqlLog) {
    DBTerminate();
    g.problem = OpenProblem::Other;
    g.readOnly = readOnly;
    g.writeProtected = false;
    g.sqlLog = sqlLog;
}

// Header and schema always (reading them fails on a file that is not a database, or whose
// first pages are damaged); every page only after a program of this PC ended without closing
// the file. Every backup checks the whole file too (BackupArchive).
void checkFile(QSqlQuery &q) {
    if (!q.exec(QStringLiteral("SELECT COUNT(*) FROM sqlite_master WHERE type = 'table' AND name IN ('dbinfo', "
                               "'local_user', 'options', 't_mobile')")))
        throw openFailure(q.lastError(), true);
    const int tables = q.next() ? q.value(0).toInt() : 0;
    q.finish();
    if (tables != 4)
        throw damaged(QStringLiteral("필요한 표가 없습니다"));
    // Reading every page costs seconds on a large catalogue or a network share.
    const QString file = connection().databaseName();
    if (!OpenMarks::uncleanEndFound(file))
        return;
    if (!q.exec(QStringLiteral("PRAGMA quick_check(1)")))
        throw openFailure(q.lastError(), true);
    const QString verdict = q.next() ? q.value(0).toString() : QString();
    q.finish();
    if (verdict != QLatin1String("ok"))
        throw damaged(verdict);
    OpenMarks::clearStale(file);
}

// What every engine does once connected: the password the database was made with, a
// connection that cannot write, the SQL log.
void finishOpen(const QString &password, bool readOnlyEngineCheck) {
    if (!g.readOnly && g.backend->cannotWrite(connection()))
        g.readOnly = g.writeProtected = true;
    QSqlQuery q(connection());
    if (!q.exec(QStringLiteral("SELECT value FROM dbinfo WHERE name = 'pwhash'")))
        throw g.server ? g.backend->toAppError(q.lastError()) : openFailure(q.lastError(), false);
    const QString stored = q.next() ? q.value(0).toString() : QString();
    q.finish();
    if (!stored.isEmpty() && stored != Schema::passwordHash(password)) {
        g.problem = OpenProblem::BadPassword;
        throw AppError(errBadPassword, QStringLiteral("유효한 암호가 아닙니다."));
    }
    if (readOnlyEngineCheck)
        checkFile(q);
    if (!g.server) // a server session was prepared before its tables were looked at
        g.backend->prepareSession(connection(), g.busyTimeoutMs, g.readOnly);
    if (!g.readOnly)
        Schema::upgrade(connection());
    g.logFile = SqlLog::fileFor(appClock().today().day());
    QString logError;
    if (!SqlLog::upkeep(&logError))
        throw AppError(errFail, logError);
    g.problem = OpenProblem::None;
}

bool failed(const AppError &e, QString *failure = nullptr) {
    DBTerminate();
    if (failure)
        *failure = QStringLiteral("%1 : %2").arg(e.number).arg(e.description);
    else
        ReportConnectionFailure(e.number, e.description);
    return false;
}

AppError serverUnreachable(const QSqlDatabase &db) {
    QString why = db.lastError().databaseText().trimmed();
    if (why.isEmpty())
        why = db.lastError().text();
    return AppError(errNoConnection,
                    QStringLiteral("데이터베이스 서버에 연결할 수 없습니다. ") + ServerConnection::explainFailure(why));
}
} // namespace

State &detail::state() {
    static State s;
    return s;
}

AppError detail::noConnection() {
    return AppError(errNoConnection, QStringLiteral("개체 변수 또는 With 블록 변수가 설정되지 않았습니다."));
}

void detail::ensureConnected() {
    if (!g.open || !g.server || !g.backend->connectionLost(connection()))
        return;
    if (g.transactionDepth > 0)
        throw AppError(errNoConnection, QStringLiteral("데이터베이스 서버와의 연결이 끊어졌습니다. 저장하지 못한 "
                                                       "작업은 다시 하세요."));
    QSqlDatabase db = connection();
    db.close();
    if (!db.open())
        throw serverUnreachable(db);
    g.backend->prepareSession(db, g.busyTimeoutMs, g.readOnly);
}

AppError detail::failureOn(const QSqlDatabase &db, const AppError &e) {
    if (e.number != errNoConnection && DbBackend::of(db).connectionLost(db))
        return AppError(errNoConnection,
                        QStringLiteral("데이터베이스 서버와의 연결이 끊어졌습니다. ") + e.description.trimmed());
    return e;
}

QSqlDatabase connection() { return QSqlDatabase::database(kConnection, false); }
bool IsOpen() { return g.open; }
bool IsServerDatabase() { return g.open && g.server; }
OpenProblem lastOpenProblem() { return g.problem; }
bool IsWriteProtected() { return g.open && g.writeProtected; }

void ReportConnectionFailure(int number, const QString &description) {
    prompter().message(Prompter::Icon::Warning, QStringLiteral("오류"),
                       QStringLiteral("DB 연결 실패\r\n%1 : %2").arg(number).arg(description));
}

bool OpenDB(const QString &file, const QString &password, bool readOnly, bool sqlLog) {
    begin(readOnly, sqlLog);
    try {
        const QString local = netDrives().localPath(file);
        // The engine would quietly create a missing file; a missing database is an error.
        if (!QFileInfo(local).isFile()) {
            g.problem = OpenProblem::Missing;
            throw AppError(errFail, QStringLiteral("'%1' 파일을 찾을 수 없습니다.").arg(file));
        }
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), kConnection);
            db.setDatabaseName(local);
            // A second program on the same file waits for the lock instead of failing.
            const QString timeout = QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(g.busyTimeoutMs);
            db.setConnectOptions(readOnly ? timeout + QStringLiteral(";QSQLITE_OPEN_READONLY") : timeout);
            if (!db.open())
                throw AppError(errFail, explainSqliteText(db.lastError().text()));
        }
        g.open = true;
        g.backend = &DbBackend::sqlite();
        finishOpen(password, true);
        if (!g.readOnly)
            g.openMarker = OpenMarks::leave(local);
        return true;
    } catch (const AppError &e) {
        return failed(e);
    }
}

bool OpenServerDB(const ServerConnection &server, const QString &password, bool readOnly, bool sqlLog,
                  QString *failure) {
    begin(readOnly, sqlLog);
    try {
        {
            QSqlDatabase db = server.addDatabase(kConnection);
            if (!db.isValid())
                throw AppError(errFail, QStringLiteral("PostgreSQL 드라이버(QPSQL)가 설치되어 있지 않습니다."));
            db.setConnectOptions(QStringLiteral("connect_timeout=10;application_name=mobileshop"));
            if (!db.open())
                throw serverUnreachable(db);
        }
        g.open = true;
        g.server = true;
        g.backend = &DbBackend::postgres();
        SqlDialect::setCurrent(&g.backend->dialect());
        g.backend->prepareSession(connection(), g.busyTimeoutMs, readOnly);
        QString why;
        if (!readOnly && !Schema::prepareServerDatabase(connection(), password, &why))
            throw AppError(errFail, QStringLiteral("서버 데이터베이스를 준비하지 못했습니다. ") + why);
        finishOpen(password, false);
        return true;
    } catch (const AppError &e) {
        return failed(e, failure);
    }
}

void DBTerminate() {
    if (!g.openMarker.isEmpty())
        QFile::remove(g.openMarker); // a clean close
    g.openMarker.clear();
    g.open = false;
    g.server = false;
    g.transactionDepth = 0;
    g.backend = &DbBackend::sqlite();
    SqlDialect::setCurrent(nullptr);
    if (QSqlDatabase::contains(kConnection)) {
        {
            QSqlDatabase db = QSqlDatabase::database(kConnection, false);
            db.close();
        }
        QSqlDatabase::removeDatabase(kConnection);
    }
}

void setBusyTimeout(int ms) { g.busyTimeoutMs = qMax(0, ms); }

} // namespace modMDB_Func
