#include "modMDB_Func.h"
#include "AnsiCodec.h"
#include "AppState.h"
#include "DbState.h"
#include "ErrorBox.h"
#include "Prompter.h"
#include "SqlDialect.h"
#include "SqlLog.h"
#include <QFile>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>

namespace modMDB_Func {

using namespace detail;

namespace {
State &g = state();

// A statement without values runs as text: the engines take several statements in one text
// only that way (the schema's scripts).
bool execute(QSqlQuery &q, const BoundSql &sql) {
    if (sql.values.isEmpty())
        return q.exec(sql.sql);
    if (!q.prepare(sql.sql))
        return false;
    for (const QVariant &v : sql.bindable())
        q.addBindValue(v);
    return q.exec();
}

QSqlQuery runQuery(const BoundSql &sql) {
    if (!g.open)
        throw noConnection();
    ensureConnected();
    QSqlQuery q(connection());
    q.setForwardOnly(true);
    if (!execute(q, sql))
        throw failureOn(connection(), g.backend->toAppError(q.lastError()));
    return q;
}

// A failed statement inside a transaction undoes only itself, whatever the engine.
QSqlQuery runStatement(const BoundSql &sql) {
    if (g.transactionDepth == 0 || !g.backend->failedStatementAbortsTransaction())
        return runQuery(sql);
    runQuery(QStringLiteral("SAVEPOINT statement"));
    try {
        QSqlQuery q = runQuery(sql);
        runQuery(QStringLiteral("RELEASE SAVEPOINT statement"));
        return q;
    } catch (const AppError &e) {
        if (e.number != errNoConnection)
            QSqlQuery(connection()).exec(QStringLiteral("ROLLBACK TO SAVEPOINT statement"));
        throw;
    }
}

struct TransactionDepth {
    TransactionDepth() { ++g.transactionDepth; }
    ~TransactionDepth() { --g.transactionDepth; }
};

// Inside a transaction already: a savepoint undoes this part only, and the outer
// transaction decides what is kept.
bool nestedTransaction(const std::function<bool()> &fn) {
    const QString name = QStringLiteral("nested%1").arg(g.transactionDepth);
    runQuery(QStringLiteral("SAVEPOINT ") + name);
    bool kept = false;
    try {
        const TransactionDepth inside;
        kept = fn();
    } catch (...) {
        QSqlQuery(connection()).exec(QStringLiteral("ROLLBACK TO SAVEPOINT ") + name);
        throw;
    }
    runQuery((kept ? QStringLiteral("RELEASE SAVEPOINT ") : QStringLiteral("ROLLBACK TO SAVEPOINT ")) + name);
    return kept;
}

void reportLostConnection(const AppError &e) { ReportConnectionFailure(e.number, e.description); }

} // namespace

int OpenRecordset(Recordset &rs, const BoundSql &sql, int, int, int) {
    if (g.open) {
        try {
            ensureConnected();
        } catch (const AppError &e) {
            CloseObj(rs);
            reportLostConnection(e);
            return -1;
        }
    }
    return OpenRecordsetOn(g.open ? connection() : QSqlDatabase(), rs, sql);
}

int OpenRecordsetOn(const QSqlDatabase &db, Recordset &rs, const BoundSql &sql) {
    CloseObj(rs);
    bool wasOpen = false; // a link lost on the way reports as such, not as no database at all
    try {
        if (!db.isOpen())
            throw noConnection();
        wasOpen = true;
        const DbBackend &backend = DbBackend::of(db);
        try {
            if (backend.snapshot(db, sql.sql, rs, sql.bindable()))
                return rs.recordCount();
            QSqlQuery q(db);
            q.setForwardOnly(true);
            if (!execute(q, sql))
                throw backend.toAppError(q.lastError());
            rs.load(q);
            return rs.recordCount();
        } catch (const AppError &e) {
            throw failureOn(db, e);
        }
    } catch (const AppError &e) {
        if (e.number == errNoConnection && wasOpen) {
            CloseObj(rs);
            reportLostConnection(e);
            return -1;
        }
        const QString shown = sql.inlined();
        QString text = e.description + QLatin1Char('\r') + shown;
        QString title;
        switch (e.number) {
        case errNoConnection:
            text = QStringLiteral("Data Base MDB가 선언되지 않았습니다.") + QLatin1Char('\r') + shown;
            title = QStringLiteral("MDB 오류");
            break;
        case errBadExpression:
            text = QStringLiteral("Jet Data Base Engine의 식을 확인하세요.") + QLatin1Char('\r') + shown;
            title = QStringLiteral("Query");
            break;
        case errLocked: title = QStringLiteral("MDB 오류"); break;
        default: title = QStringLiteral("ERROR"); break;
        }
        prompter().message(Prompter::Icon::Information, title, text);
        return -1;
    }
}

int ExecuteSQL(const BoundSql &sql, bool noMsg, bool reRaise, QFile *errFile) {
    int affected = 0;
    try {
        const qint64 before = g.open ? g.backend->totalChanges(connection()) : -1;
        QSqlQuery q = runStatement(sql);
        // The last statement's count would linger after a statement that changes no rows.
        affected = before >= 0 ? int(g.backend->totalChanges(connection()) - before) : qMax(0, q.numRowsAffected());
    } catch (const AppError &e) {
        if (!noMsg) {
            if (e.number == errNoConnection && g.open)
                reportLostConnection(e);
            else if (e.number == errFail && g.readOnly)
                prompter().message(Prompter::Icon::None, AppState::title(),
                                   QStringLiteral("읽기전용으로 DB가 열렸기 때문에 쓰기를 할 수 없습니다."));
            else
                prompter().message(Prompter::Icon::None, AppState::title(),
                                   QStringLiteral("Error %1: %2").arg(e.number).arg(e.description));
        }
        if (errFile && errFile->isOpen())
            errFile->write((QStringLiteral("%1\t%2\t%3\r\n").arg(e.number).arg(e.description, sql.inlined())).toUtf8());
        if (reRaise)
            throw;
    }
    if (g.sqlLog && g.open)
        SqlLog::append(g.logFile, sql.inlined(), affected);
    return affected;
}

QVariant GetValue(const BoundSql &sql) {
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
    BoundSql sql = QStringLiteral("SELECT MAX(%1) FROM %2").arg(column, table);
    if (p != 0)
        sql += BoundSql(QStringLiteral(" WHERE %1 LIKE ? ESCAPE '\\' AND %2 BETWEEN '%3' AND '%4'")
                            .arg(column, d.right(column, n), zeros, nines),
                        {SqlLikeEscape(prefix) + QLatin1Char('%')});
    else
        sql.sql += QStringLiteral(" WHERE %1 BETWEEN '%2' AND '%3' AND %4 = %5 AND %6")
                       .arg(column, zeros, nines, d.length(column), QString::number(n), d.isDigits(column));
    if (!extra.isEmpty())
        sql.sql += QStringLiteral(" AND ") + extra;

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
    if (g.open && g.transactionDepth > 0)
        return nestedTransaction(fn);
    const SqlDialect &d = SqlDialect::current();
    runQuery(d.beginWriteSql());
    const auto rollback = [] {
        QSqlQuery q(connection());
        q.exec(QStringLiteral("ROLLBACK"));
    };
    try {
        const TransactionDepth inside;
        if (!d.writeLockSql().isEmpty())
            runQuery(d.writeLockSql());
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

bool IsDuplicateKey(const AppError &e, const QString &column) { return g.backend->isDuplicateKey(e, column); }

} // namespace modMDB_Func
