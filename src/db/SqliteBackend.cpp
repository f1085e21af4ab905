#include "DbBackend.h"
#include "DbErrors.h"
#include "EngineReasons.h"
#include "SqlDialect.h"
#include "SqliteBind.h"
#include "SqliteHandle.h"
#include "SqliteSnapshot.h"
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <sqlite3.h>

namespace {
using namespace modMDB_Func;

QString errorText(sqlite3 *h) { return QString::fromUtf16(static_cast<const char16_t *>(sqlite3_errmsg16(h))); }

class SqlitePrepared final : public DbBackend::Prepared {
public:
    SqlitePrepared(const DbBackend &backend, sqlite3 *h, sqlite3_stmt *st) : m_backend(backend), m_h(h), m_st(st) {}
    ~SqlitePrepared() override { sqlite3_finalize(m_st); }
    SqlitePrepared(const SqlitePrepared &) = delete;
    SqlitePrepared &operator=(const SqlitePrepared &) = delete;

    qint64 run(const QVariantList &values) override {
        sqlite3_reset(m_st);
        int rc = SqliteBind(m_st, values);
        if (rc == SQLITE_OK)
            while ((rc = sqlite3_step(m_st)) == SQLITE_ROW) {
            }
        if (rc != SQLITE_DONE && rc != SQLITE_OK) {
            // The step's own code; the reset hands back the extended one for the same error.
            const AppError e = m_backend.toAppError(QString::number(sqlite3_extended_errcode(m_h)), errorText(m_h));
            sqlite3_reset(m_st);
            throw e;
        }
        return sqlite3_changes64(m_h);
    }

private:
    const DbBackend &m_backend;
    sqlite3 *m_h;
    sqlite3_stmt *m_st;
};

class SqliteBackend final : public DbBackend {
public:
    const SqlDialect &dialect() const override { return m_dialect; }

    AppError toAppError(const QString &nativeCode, const QString &text) const override {
        const int code = nativeCode.toInt() & 0xFF; // the engine reports extended result codes
        if (code == 5 || code == 6)                 // busy, locked
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
        // A damaged file, an unopenable journal, an I/O error: said in Korean, the engine's words after.
        return AppError(errCommand, explainSqliteText(text));
    }

    bool connectionLost(const QSqlDatabase &) const override { return false; }

    bool isDuplicateKey(const AppError &e, const QString &column) const override {
        return e.description.contains(QLatin1String("UNIQUE constraint failed"), Qt::CaseInsensitive) &&
               e.description.contains(column, Qt::CaseInsensitive);
    }

    bool snapshot(const QSqlDatabase &db, const QString &sql, Recordset &rs,
                  const QVariantList &values) const override {
        bool failed = false;
        int code = 0;
        QString message;
        if (!SqliteSnapshot(db, sql, rs, &failed, &code, &message, values))
            return false;
        if (failed)
            throw toAppError(QString::number(code), message);
        return true;
    }

    std::unique_ptr<Prepared> prepare(const QSqlDatabase &db, const QString &sql) const override {
        sqlite3 *h = sqliteHandleOf(db);
        if (!h)
            return nullptr;
        sqlite3_stmt *st = nullptr;
        if (sqlite3_prepare16_v3(h, sql.utf16(), int(sql.size() * sizeof(QChar)), SQLITE_PREPARE_PERSISTENT, &st,
                                 nullptr) != SQLITE_OK) {
            sqlite3_finalize(st);
            throw toAppError(QString::number(sqlite3_extended_errcode(h)), errorText(h));
        }
        return std::make_unique<SqlitePrepared>(*this, h, st);
    }

    qint64 totalChanges(const QSqlDatabase &db) const override { return SqliteTotalChanges(db); }
    bool cannotWrite(const QSqlDatabase &db) const override { return SqliteReadOnly(db) == 1; }
    bool failedStatementAbortsTransaction() const override { return false; }

    void prepareSession(const QSqlDatabase &db, int, bool readOnly) const override {
        if (readOnly)
            return;
        QSqlQuery q(db);
        q.exec(QStringLiteral("PRAGMA foreign_keys = ON"));
        q.exec(QStringLiteral("PRAGMA synchronous = FULL"));
    }

private:
    SqliteDialect m_dialect;
};
} // namespace

AppError DbBackend::toAppError(const QSqlError &e) const { return toAppError(e.nativeErrorCode(), engineWords(e)); }

const DbBackend &DbBackend::sqlite() {
    static const SqliteBackend backend;
    return backend;
}

const DbBackend &DbBackend::of(const QSqlDatabase &db) {
    return db.driverName() == QLatin1String("QPSQL") ? postgres() : sqlite();
}
