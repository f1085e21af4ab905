#include "TestServer.h"
#include <QCoreApplication>
#include <QSqlError>
#include <QSqlQuery>
#include <atomic>

namespace TestServer {

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
    // Named after the program's own database: pg-cluster drops them all when the program ends.
    const QString name =
        QStringLiteral("%1__%2_%3").arg(c.database).arg(QCoreApplication::applicationPid()).arg(++counter);
    const QString connection = QStringLiteral("test-maintenance");
    QString why;
    {
        QSqlDatabase db = addConnection(c, connection);
        QSqlQuery q(db);
        if (!db.open())
            why = db.lastError().text();
        else if (!q.exec(QStringLiteral("CREATE DATABASE %1").arg(name)))
            why = q.lastError().text();
        db.close();
    }
    QSqlDatabase::removeDatabase(connection);
    if (!why.isEmpty()) {
        if (error)
            *error = why;
        return {};
    }
    c.database = name;
    return c;
}

} // namespace TestServer
