#include "RepeatedSql.h"
#include "DbState.h"
#include "SqlLog.h"
#include <QSqlError>
#include <QSqlQuery>

using namespace modMDB_Func;
using namespace modMDB_Func::detail;

// The engine's own prepared statement, or Qt's prepared query where the engine's library
// cannot be reached under the driver.
class RepeatedSql::Engine {
public:
    explicit Engine(const QString &sql) : m_db(connection()), m_backend(DbBackend::of(m_db)) {
        m_direct = m_backend.prepare(m_db, sql);
        if (m_direct)
            return;
        m_query = std::make_unique<QSqlQuery>(m_db);
        if (!m_query->prepare(sql))
            throw m_backend.toAppError(m_query->lastError());
    }

    qint64 run(const QVariantList &values) {
        if (m_direct)
            return m_direct->run(values);
        for (int i = 0; i < values.size(); ++i)
            m_query->bindValue(i, values[i]);
        if (!m_query->exec())
            throw m_backend.toAppError(m_query->lastError());
        return m_query->numRowsAffected();
    }

private:
    QSqlDatabase m_db;
    const DbBackend &m_backend;
    std::unique_ptr<DbBackend::Prepared> m_direct;
    std::unique_ptr<QSqlQuery> m_query;
};

RepeatedSql::RepeatedSql(QString sql) : m_sql(std::move(sql)) {}
RepeatedSql::~RepeatedSql() = default;

int RepeatedSql::run(const QVariantList &values) {
    const State &g = state();
    if (!g.open)
        throw noConnection();
    ensureConnected();
    const BoundSql bound(m_sql, values);
    int affected = 0;
    try {
        if (!m_engine)
            m_engine = std::make_unique<Engine>(m_sql);
        affected = int(m_engine->run(bound.bindable()));
    } catch (const AppError &e) {
        throw failureOn(connection(), e);
    }
    if (g.sqlLog)
        SqlLog::append(g.logFile, bound.inlined(), affected);
    return affected;
}
