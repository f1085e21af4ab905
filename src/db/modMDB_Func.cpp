#include "modMDB_Func.h"
#include "AnsiCodec.h"
#include "AppState.h"
#include "Clock.h"
#include "ErrorBox.h"
#include "NetDrives.h"
#include "Prompter.h"
#include "Schema.h"
#include "SqlDialect.h"
#include "SqlLog.h"
#include "SqliteSnapshot.h"
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>

namespace modMDB_Func {

namespace {
const QString kConnection = QStringLiteral("main");

struct State {
    bool open = false;
    bool readOnly = false;
    bool writeProtected = false;
    bool sqlLog = false;
    QString logFile;
    int busyTimeoutMs = 10000;
    OpenProblem problem = OpenProblem::None;
} g;

// Our engine's errors in the numbers the windows know.
AppError toAppError(int extendedCode, const QString &text) {
    const int code = extendedCode & 0xFF; // the engine reports extended result codes
    if (code == 5 || code == 6)           // busy, locked
        return AppError(errLocked, text);
    // The engine's own words would not tell a shop what went wrong.
    if (code == 8) // read-only
        return AppError(errFail, QStringLiteral("데이터베이스 파일이 읽기 전용이어서 저장할 수 없습니다."));
    if (code == 13) // full
        return AppError(errFail, QStringLiteral("디스크 공간이 부족하여 저장할 수 없습니다."));
    if (text.contains(QLatin1String("no such table")) || text.contains(QLatin1String("no such column")))
        return AppError(errBadExpression, text);
    if (code == 19) // constraint
        return AppError(errFail, text);
    return AppError(errCommand, text);
}

AppError toAppError(const QSqlError &e) {
    return toAppError(e.nativeErrorCode().toInt(), e.databaseText().isEmpty() ? e.text() : e.databaseText());
}

AppError noConnection() {
    return AppError(errNoConnection, QStringLiteral("개체 변수 또는 With 블록 변수가 설정되지 않았습니다."));
}

bool isDamage(const QSqlError &e) {
    const int code = e.nativeErrorCode().toInt() & 0xFF;
    return code == 11 || code == 26; // corrupt, not a database
}

AppError damaged(const QString &detail) {
    g.problem = OpenProblem::Damaged;
    return AppError(errFail, QStringLiteral("데이터베이스 파일이 손상되었습니다. ") + detail);
}

// What a failed read at open means; what is neither damage nor a lock is reported as unknown.
AppError openFailure(const QSqlError &e, bool unknownIsDamage) {
    if (isDamage(e) || (unknownIsDamage && toAppError(e).number != errLocked))
        return damaged(e.databaseText());
    if (toAppError(e).number == errLocked) {
        g.problem = OpenProblem::Locked;
        return AppError(errLocked, QStringLiteral("다른 프로그램이 데이터베이스를 잠그고 있어 열 수 없습니다. "
                                                  "그 프로그램을 닫은 뒤 다시 시도하세요."));
    }
    return AppError(errFail, QStringLiteral("인식할 수 없는 데이터베이스 형식입니다. ") + e.databaseText());
}

QSqlQuery runQuery(const QString &sql) {
    if (!g.open)
        throw noConnection();
    QSqlQuery q(QSqlDatabase::database(kConnection, false));
    q.setForwardOnly(true);
    if (!q.exec(sql))
        throw toAppError(q.lastError());
    return q;
}

void connectionFailed(const AppError &e) { ReportConnectionFailure(e.number, e.description); }
} // namespace

QSqlDatabase connection() { return QSqlDatabase::database(kConnection, false); }
bool IsOpen() { return g.open; }

void ReportConnectionFailure(int number, const QString &description) {
    prompter().message(Prompter::Icon::Warning, QStringLiteral("오류"),
                       QStringLiteral("DB 연결 실패\r\n%1 : %2").arg(number).arg(description));
}

OpenProblem lastOpenProblem() { return g.problem; }

bool OpenDB(const QString &file, const QString &password, bool readOnly, bool sqlLog) {
    DBTerminate();
    g.problem = OpenProblem::Other;
    g.readOnly = readOnly;
    g.writeProtected = false;
    g.sqlLog = sqlLog;
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
                throw AppError(errFail, db.lastError().text());
        }
        g.open = true;
        if (!readOnly && SqliteReadOnly(connection()) == 1)
            g.readOnly = g.writeProtected = true;
        QSqlQuery q(connection());
        if (!q.exec(QStringLiteral("SELECT value FROM dbinfo WHERE name = 'pwhash'")))
            throw openFailure(q.lastError(), false);
        const QString stored = q.next() ? q.value(0).toString() : QString();
        q.finish();
        if (!stored.isEmpty() && stored != Schema::passwordHash(password)) {
            g.problem = OpenProblem::BadPassword;
            throw AppError(errBadPassword, QStringLiteral("유효한 암호가 아닙니다."));
        }
        // About 20 ms for 100,000 handsets; a page the check does not pass refuses the file.
        if (!q.exec(QStringLiteral("PRAGMA quick_check(1)")))
            throw openFailure(q.lastError(), true);
        const QString verdict = q.next() ? q.value(0).toString() : QString();
        q.finish();
        if (verdict != QLatin1String("ok"))
            throw damaged(verdict);
        if (!g.readOnly) {
            q.exec(QStringLiteral("PRAGMA foreign_keys = ON"));
            q.exec(QStringLiteral("PRAGMA synchronous = FULL"));
            Schema::upgrade(connection());
        }
        g.logFile = SqlLog::fileFor(appClock().today().day());
        QString logError;
        if (!SqlLog::upkeep(&logError))
            throw AppError(errFail, logError);
        g.problem = OpenProblem::None;
        return true;
    } catch (const AppError &e) {
        DBTerminate();
        connectionFailed(e);
        return false;
    }
}

bool IsWriteProtected() { return g.open && g.writeProtected; }

void DBTerminate() {
    g.open = false;
    if (QSqlDatabase::contains(kConnection)) {
        {
            QSqlDatabase db = QSqlDatabase::database(kConnection, false);
            db.close();
        }
        QSqlDatabase::removeDatabase(kConnection);
    }
}

int OpenRecordset(Recordset &rs, const QString &sql, int, int, int) {
    return OpenRecordsetOn(g.open ? connection() : QSqlDatabase(), rs, sql);
}

int OpenRecordsetOn(const QSqlDatabase &db, Recordset &rs, const QString &sql) {
    CloseObj(rs);
    try {
        if (!db.isOpen())
            throw noConnection();
        bool failed = false;
        int code = 0;
        QString message;
        if (SqliteSnapshot(db, sql, rs, &failed, &code, &message)) {
            if (failed)
                throw toAppError(code, message);
            return rs.recordCount();
        }
        QSqlQuery q(db);
        q.setForwardOnly(true);
        if (!q.exec(sql))
            throw toAppError(q.lastError());
        rs.load(q);
        return rs.recordCount();
    } catch (const AppError &e) {
        QString text = e.description + QLatin1Char('\r') + sql;
        QString title;
        switch (e.number) {
        case errNoConnection:
            text = QStringLiteral("Data Base MDB가 선언되지 않았습니다.") + QLatin1Char('\r') + sql;
            title = QStringLiteral("MDB 오류");
            break;
        case errBadExpression:
            text = QStringLiteral("Jet Data Base Engine의 식을 확인하세요.") + QLatin1Char('\r') + sql;
            title = QStringLiteral("Query");
            break;
        case errLocked: title = QStringLiteral("MDB 오류"); break;
        default: title = QStringLiteral("ERROR"); break;
        }
        prompter().message(Prompter::Icon::Information, title, text);
        return -1;
    }
}

int ExecuteSQL(const QString &sql, bool noMsg, bool reRaise, QFile *errFile) {
    int affected = 0;
    try {
        const qint64 before = SqliteTotalChanges(connection());
        QSqlQuery q = runQuery(sql);
        // The last statement's count would linger after a statement that changes no rows.
        affected = before >= 0 ? int(SqliteTotalChanges(connection()) - before) : qMax(0, q.numRowsAffected());
    } catch (const AppError &e) {
        if (!noMsg) {
            if (e.number == errFail && g.readOnly)
                prompter().message(Prompter::Icon::None, AppState::title(),
                                   QStringLiteral("읽기전용으로 DB가 열렸기 때문에 쓰기를 할 수 없습니다."));
            else
                prompter().message(Prompter::Icon::None, AppState::title(),
                                   QStringLiteral("Error %1: %2").arg(e.number).arg(e.description));
        }
        if (errFile && errFile->isOpen())
            errFile->write((QStringLiteral("%1\t%2\t%3\r\n").arg(e.number).arg(e.description, sql)).toUtf8());
        if (reRaise)
            throw;
    }
    if (g.sqlLog && g.open)
        SqlLog::append(g.logFile, sql, affected);
    return affected;
}

QVariant GetValue(const QString &sql) {
    QSqlQuery q = runQuery(sql);
    if (!q.next() || q.value(0).isNull())
        return QString();
    return q.value(0);
}

int GetIdentity() {
    QSqlQuery q = runQuery(SqlDialect::current().lastIdentitySql());
    return q.next() ? q.value(0).toInt() : 0;
}

QString GetNextCode(const QString &table, const QString &column, int totalLen, const QString &prefix,
                    const QString &extra) {
    const int p = int(prefix.size());
    if (p >= totalLen)
        return prefix;
    const int n = totalLen - p;
    const QString zeros(n, QLatin1Char('0'));
    const QString nines(n, QLatin1Char('9'));
    const SqlDialect &d = SqlDialect::current();
    QString sql = QStringLiteral("SELECT MAX(%1) FROM %2").arg(column, table);
    if (p != 0)
        sql += QStringLiteral(" WHERE %1 LIKE '%2%' ESCAPE '\\' AND %3 BETWEEN '%4' AND '%5'")
                   .arg(column, SqlLikeEscape(prefix), d.right(column, n), zeros, nines);
    else
        sql += QStringLiteral(" WHERE %1 BETWEEN '%2' AND '%3' AND %4 = %5 AND %6")
                   .arg(column, zeros, nines, d.length(column), QString::number(n), d.isDigits(column));
    if (!extra.isEmpty())
        sql += QStringLiteral(" AND ") + extra;

    QSqlQuery q = runQuery(sql);
    QString code;
    if (!q.next() || q.value(0).isNull()) {
        code = prefix + QStringLiteral("%1").arg(1, n, 10, QLatin1Char('0'));
    } else {
        bool ok = false;
        const qlonglong last = q.value(0).toString().right(n).toLongLong(&ok);
        if (!ok)
            throw AppError(13, QStringLiteral("형식이 일치하지 않습니다."), QStringLiteral("GetNextCode"));
        code = prefix + QStringLiteral("%1").arg(last + 1, n, 10, QLatin1Char('0'));
    }
    if (code.size() > totalLen) {
        prompter().message(
            Prompter::Icon::Information, AppState::title(),
            QStringLiteral("해당 순번이 최대값을 넘어 자동으로 값을 구할 수가 없습니다.(%1.%2)").arg(table, column));
        return {};
    }
    return code;
}

QString SqlQuote(const QString &text) {
    QString t = text;
    const qsizetype nul = t.indexOf(QChar(0));
    if (nul >= 0)
        t.truncate(nul);
    t.replace(QLatin1Char('\''), QStringLiteral("''"));
    return t;
}

QString SqlLikeEscape(const QString &text) {
    QString t = SqlQuote(text);
    t.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    t.replace(QLatin1Char('%'), QStringLiteral("\\%"));
    t.replace(QLatin1Char('_'), QStringLiteral("\\_"));
    return t;
}

void CloseObj(Recordset &rs) { rs.close(); }

QString EncodeLogLine(const QString &text) {
    // Each character's code-page value as four hex digits with its two byte halves swapped;
    // the line is converted once, not character by character.
    const QByteArray bytes = AnsiCodec::encode(text);
    const auto hex2 = [](int v) { return QStringLiteral("%1").arg(v, 2, 16, QLatin1Char('0')).toUpper(); };
    QString out;
    out.reserve(bytes.size() * 4);
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const int b = quint8(bytes[i]);
        if (b >= 0x81 && b <= 0xFE && i + 1 < bytes.size()) // lead byte of a double-byte character
            out += hex2(quint8(bytes[++i])) + hex2(b);
        else if (b < 0x10)
            out += QLatin1Char('0') + QString::number(b, 16).toUpper() + QStringLiteral("00");
        else
            out += QStringLiteral("00") + hex2(b);
    }
    return out;
}

bool InTransaction(const std::function<bool()> &fn) {
    runQuery(SqlDialect::current().beginWriteSql());
    const auto rollback = [] {
        QSqlQuery q(connection());
        q.exec(QStringLiteral("ROLLBACK"));
    };
    try {
        if (fn()) {
            runQuery(QStringLiteral("COMMIT"));
            return true;
        }
    } catch (...) {
        rollback();
        throw;
    }
    rollback();
    return false;
}

void setBusyTimeout(int ms) { g.busyTimeoutMs = qMax(0, ms); }

} // namespace modMDB_Func
