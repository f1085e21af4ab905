#include "BoundSql.h"
#include "DbBackend.h"
#include "DbErrors.h"
#include "PgHandle.h"
#include "Recordset.h"
#include "SqlDialect.h"
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <charconv>
#include <memory>
#include <vector>

using namespace modMDB_Func;

namespace {
// Type numbers of the server's built-in types (pg_type.oid), fixed since long ago.
enum : Oid {
    kBool = 16,
    kBytea = 17,
    kInt8 = 20,
    kInt2 = 21,
    kInt4 = 23,
    kOid = 26,
    kFloat4 = 700,
    kFloat8 = 701,
    kNumeric = 1700
};

struct ResultDeleter {
    void operator()(PGresult *r) const { PQclear(r); }
};
using Result = std::unique_ptr<PGresult, ResultDeleter>;

// The server numbers its placeholders: each ? outside quotes becomes $1, $2, ...
QString numbered(const QString &sql) {
    QString out;
    qsizetype from = 0;
    forEachPlaceholder(sql, [&](int n, qsizetype at) {
        out += sql.mid(from, at - from) + QLatin1Char('$') + QString::number(n + 1);
        from = at + 1;
    });
    return out + sql.mid(from);
}

// Values go as text for the server to read in the column's type; bytes go as they are.
struct TextParams {
    std::vector<QByteArray> data;
    std::vector<const char *> pointers;
    std::vector<int> lengths, formats;

    explicit TextParams(const QVariantList &values) {
        data.reserve(size_t(values.size()));
        for (const QVariant &v : values) {
            const bool bytes = v.typeId() == QMetaType::QByteArray;
            data.push_back(bytes ? v.toByteArray() : v.toString().toUtf8());
            pointers.push_back(v.isNull() ? nullptr : data.back().constData());
            lengths.push_back(int(data.back().size()));
            formats.push_back(bytes ? 1 : 0);
        }
    }
};

// A failed result (or none) as the error the server gave.
void throwIfFailed(const DbBackend &backend, PGconn *h, const PGresult *res) {
    const ExecStatusType status = res ? PQresultStatus(res) : PGRES_FATAL_ERROR;
    if (status == PGRES_TUPLES_OK || status == PGRES_COMMAND_OK)
        return;
    const char *state = res ? PQresultErrorField(res, PG_DIAG_SQLSTATE) : nullptr;
    const char *message = res ? PQresultErrorMessage(res) : PQerrorMessage(h);
    if (!state && PQstatus(h) != CONNECTION_OK)
        state = "08006";
    throw backend.toAppError(QString::fromLatin1(state ? state : ""), QString::fromUtf8(message));
}

// A statement the server keeps under a name of this connection's own until it is dropped.
class PostgresPrepared final : public DbBackend::Prepared {
public:
    PostgresPrepared(const DbBackend &backend, const QSqlDatabase &db, QByteArray name)
        : m_backend(backend), m_db(db), m_h(pgHandleOf(db)), m_name(std::move(name)) {}
    // Dropped when the transaction can still take a statement; a failed transaction's rollback
    // comes first when the owner outlives it, else the name stays taken until the session ends.
    ~PostgresPrepared() override {
        if (live() && PQtransactionStatus(m_h) != PQTRANS_INERROR)
            PQclear(PQexec(m_h, "DEALLOCATE " + m_name));
    }
    PostgresPrepared(const PostgresPrepared &) = delete;
    PostgresPrepared &operator=(const PostgresPrepared &) = delete;

    qint64 run(const QVariantList &values) override {
        if (!live())
            throw m_backend.toAppError(QStringLiteral("08003"), QStringLiteral("prepared on a connection now closed"));
        const TextParams p(values);
        const Result res(PQexecPrepared(m_h, m_name.constData(), int(values.size()), p.pointers.data(),
                                        p.lengths.data(), p.formats.data(), 0));
        throwIfFailed(m_backend, m_h, res.get());
        return QByteArray(PQcmdTuples(res.get())).toLongLong();
    }

private:
    // A reconnect replaces the link, and the server forgot the statement with the old one.
    bool live() const { return pgHandleOf(m_db) == m_h && PQstatus(m_h) == CONNECTION_OK; }

    const DbBackend &m_backend;
    QSqlDatabase m_db;
    PGconn *m_h;
    QByteArray m_name;
};

class PostgresBackend final : public DbBackend {
public:
    const SqlDialect &dialect() const override { return m_dialect; }

    AppError toAppError(const QString &state, const QString &text) const override {
        const QString why = text.trimmed();
        if (state.startsWith(QLatin1String("08")) || state == QLatin1String("57P01") ||
            state == QLatin1String("57P02") || state == QLatin1String("57P03"))
            return AppError(errNoConnection, QStringLiteral("데이터베이스 서버와의 연결이 끊어졌습니다. ") + why);
        if (state == QLatin1String("55P03") || state == QLatin1String("40P01") || state == QLatin1String("40001"))
            return AppError(errLocked, why);
        if (state == QLatin1String("42P01") || state == QLatin1String("42703") || state == QLatin1String("42883"))
            return AppError(errBadExpression, why);
        if (state == QLatin1String("25006") || state == QLatin1String("42501"))
            return AppError(errFail, QStringLiteral("데이터베이스가 읽기 전용이거나 쓰기 권한이 없어 저장할 수 "
                                                    "없습니다. ") +
                                         why);
        if (state == QLatin1String("53100"))
            return AppError(errFail, QStringLiteral("서버의 디스크 공간이 부족하여 저장할 수 없습니다."));
        if (state.startsWith(QLatin1String("23")))
            return AppError(errFail, why);
        return AppError(errCommand, why);
    }

    bool connectionLost(const QSqlDatabase &db) const override {
        PGconn *h = pgHandleOf(db);
        return !h || PQstatus(h) != CONNECTION_OK;
    }

    bool isDuplicateKey(const AppError &e, const QString &column) const override {
        return e.description.contains(QLatin1String("duplicate key value violates unique constraint")) &&
               e.description.contains(column, Qt::CaseInsensitive);
    }

    bool snapshot(const QSqlDatabase &db, const QString &sql, Recordset &rs,
                  const QVariantList &values) const override {
        PGconn *h = pgHandleOf(db);
        if (!h)
            return false;
        const Result res(values.isEmpty() ? PQexec(h, sql.toUtf8().constData()) : execParams(h, sql, values));
        throwIfFailed(*this, h, res.get());
        read(res.get(), rs);
        return true;
    }

    std::unique_ptr<Prepared> prepare(const QSqlDatabase &db, const QString &sql) const override {
        PGconn *h = pgHandleOf(db);
        if (!h)
            return nullptr;
        static int made = 0;
        QByteArray name = "mobileshop_repeated_" + QByteArray::number(++made);
        const Result res(PQprepare(h, name.constData(), numbered(sql).toUtf8().constData(), 0, nullptr));
        throwIfFailed(*this, h, res.get());
        return std::make_unique<PostgresPrepared>(*this, db, std::move(name));
    }

    qint64 totalChanges(const QSqlDatabase &) const override { return -1; }

    bool cannotWrite(const QSqlDatabase &db) const override {
        QSqlQuery q(db);
        return q.exec(QStringLiteral("SELECT current_setting('transaction_read_only') = 'on'"
                                     " OR NOT has_table_privilege('t_mobile', 'INSERT')")) &&
               q.next() && q.value(0).toBool();
    }

    bool failedStatementAbortsTransaction() const override { return true; }

    void prepareSession(const QSqlDatabase &db, int busyTimeoutMs, bool readOnly) const override {
        QSqlQuery q(db);
        q.exec(QStringLiteral("SET lock_timeout = %1").arg(busyTimeoutMs));
        q.exec(QStringLiteral("SET client_min_messages = warning"));
        if (readOnly)
            q.exec(QStringLiteral("SET default_transaction_read_only = on"));
    }

private:
    static PGresult *execParams(PGconn *h, const QString &sql, const QVariantList &values) {
        const TextParams p(values);
        return PQexecParams(h, numbered(sql).toUtf8().constData(), int(values.size()), nullptr, p.pointers.data(),
                            p.lengths.data(), p.formats.data(), 0);
    }

    static void read(const PGresult *res, Recordset &rs) {
        const int rows = PQntuples(res);
        const int n = PQnfields(res);
        QStringList fields;
        std::vector<Oid> types(static_cast<size_t>(n));
        for (int i = 0; i < n; ++i) {
            fields << QString::fromUtf8(PQfname(res, i));
            types[size_t(i)] = PQftype(res, i);
        }
        rs.beginFill(fields);
        for (int r = 0; r < rows; ++r) {
            for (int i = 0; i < n; ++i) {
                if (PQgetisnull(res, r, i)) {
                    rs.addNull();
                    continue;
                }
                const char *v = PQgetvalue(res, r, i);
                const int len = PQgetlength(res, r, i);
                switch (types[size_t(i)]) {
                case kInt2:
                case kInt4:
                case kInt8:
                case kOid: {
                    qint64 x = 0;
                    std::from_chars(v, v + len, x);
                    rs.addInt(x);
                    break;
                }
                case kBool: rs.addInt(v[0] == 't' ? 1 : 0); break;
                case kFloat4:
                case kFloat8:
                case kNumeric: rs.addDouble(QByteArray::fromRawData(v, len).toDouble()); break;
                case kBytea: {
                    size_t size = 0;
                    unsigned char *bytes = PQunescapeBytea(reinterpret_cast<const unsigned char *>(v), &size);
                    rs.addBlob(QByteArray(reinterpret_cast<const char *>(bytes), qsizetype(size)));
                    PQfreemem(bytes);
                    break;
                }
                default: rs.addUtf8(v, len);
                }
            }
        }
        rs.finishFill();
    }

    PostgresDialect m_dialect;
};
} // namespace

const DbBackend &DbBackend::postgres() {
    static const PostgresBackend backend;
    return backend;
}
