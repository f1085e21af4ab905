#pragma once
#include <QString>
#include <QVariantList>
#include <memory>

class QSqlQuery;

// One statement with ? placeholders run many times on the shared connection with other
// values (an import's rows): prepared at the first run, then only bound and run. For a run
// of statements inside one transaction that is given up when a statement fails: on a server
// a failed statement spoils the transaction (ExecuteSQL's own savepoint is left out here).
// Values are bound as BoundSql binds them; each run goes to the SQL log as ExecuteSQL's do.
class RepeatedSql {
public:
    explicit RepeatedSql(QString sql);
    ~RepeatedSql();
    RepeatedSql(const RepeatedSql &) = delete;
    RepeatedSql &operator=(const RepeatedSql &) = delete;

    // The rows the run changed. Errors are thrown as AppError, as ExecuteSQL's reRaise throws them.
    int run(const QVariantList &values);

private:
    class Engine;
    QString m_sql;
    std::unique_ptr<Engine> m_engine;
};
