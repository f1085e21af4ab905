#include "TestServer.h"
#include <QCoreApplication>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <atomic>

namespace TestServer {

namespace {
QStringList &givenBack() {
    static QStringList names;
    return names;
}

// Runs the statements on a connection of its own to database; the first error, empty when all ran.
QString run(const ServerConnection &c, const QStringList &statements) {
    const QString connection = QStringLiteral("test-maintenance");
    QString why;
    {
        QSqlDatabase db = addConnection(c, connection);
        QSqlQuery q(db);
        if (!db.open())
            why = db.lastError().text();
        for (const QString &sql : statements)
            if (why.isEmpty() && !q.exec(sql))
                why = q.lastError().text();
        db.close();
    }
    QSqlDatabase::removeDatabase(connection);
    return why;
}

// A database given back, as empty as a new one: whatever a case left connected to it is ended
// and everything the case made goes with the schema it made it in.
bool emptied(ServerConnection &c, const QString &name) {
    c.database = name;
    return run(c, {QStringLiteral("SELECT pg_terminate_backend(pid) FROM pg_stat_activity WHERE datname = "
                                  "current_database() AND pid <> pg_backend_pid()"),
                   QStringLiteral("DROP SCHEMA public CASCADE"), QStringLiteral("CREATE SCHEMA public")})
        .isEmpty();
}
} // namespace

bool enabled() { return qEnvironmentVariable("MOBILESHOP_TEST_BACKEND") == QLatin1String("postgres"); }

ServerConnection maintenance() {
    ServerConnection c;
    c.host = qEnvironmentVariable("MOBILESHOP_PG_HOST");
    c.port = qEnvironmentVariableIntValue("MOBILESHOP_PG_PORT");
    c.user = qEnvironmentVariable("MOBILESHOP_PG_USER");
    c.password = qEnvironmentVariable("MOBILESHOP_PG_PASSWORD");
    c.database = qEnvironmentVariable("MOBILESHOP_PG_DATABASE", QStringLiteral("postgres"));
    return c;
}

QSqlDatabase addConnection(const ServerConnection &c, const QString &name) { return c.addDatabase(name); }

ServerConnection createDatabase(QString *error) {
    static std::atomic<int> counter{0};
    ServerConnection c = maintenance();
    if (c.host.isEmpty()) {
        if (error)
            *error = QStringLiteral("no private server: run the test through scripts/with-postgres or its _pg test");
        return {};
    }
    while (!givenBack().isEmpty())
        if (ServerConnection reused = c; emptied(reused, givenBack().takeLast()))
            return reused;
    // Named after the program's own database: pg-cluster drops them all when the program ends.
    const QString name =
        QStringLiteral("%1__%2_%3").arg(c.database).arg(QCoreApplication::applicationPid()).arg(++counter);
    if (const QString why = run(c, {QStringLiteral("CREATE DATABASE %1").arg(name)}); !why.isEmpty()) {
        if (error)
            *error = why;
        return {};
    }
    c.database = name;
    return c;
}

void giveBack(const ServerConnection &c) {
    if (!c.database.isEmpty() && c.database != maintenance().database)
        givenBack().append(c.database);
}

} // namespace TestServer
