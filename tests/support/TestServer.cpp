#include "TestServer.h"
#include "Schema.h"
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

namespace {
// A new database on the server, a copy of templateDatabase when one is named.
ServerConnection create(const QString &templateDatabase, QString *error) {
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
        else if (!q.exec(templateDatabase.isEmpty()
                             ? QStringLiteral("CREATE DATABASE %1").arg(name)
                             : QStringLiteral("CREATE DATABASE %1 TEMPLATE %2").arg(name, templateDatabase)))
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

bool prepare(const ServerConnection &c, QString *error) {
    const QString connection = QStringLiteral("test-template");
    bool ok = false;
    {
        QSqlDatabase db = addConnection(c, connection);
        QString why;
        ok = db.open() && Schema::prepareServerDatabase(db, Schema::kPassword, &why);
        if (!ok && error)
            *error = why.isEmpty() ? db.lastError().text() : why;
        db.close();
    }
    QSqlDatabase::removeDatabase(connection);
    return ok;
}
} // namespace

ServerConnection createDatabase(QString *error) { return create({}, error); }

ServerConnection createPreparedDatabase(QString *error) {
    // Made once and never opened again: a database being copied may have no connection.
    static QString prepared;
    if (prepared.isEmpty()) {
        const ServerConnection first = create({}, error);
        if (!first.complete() || !prepare(first, error))
            return {};
        prepared = first.database;
    }
    return create(prepared, error);
}

} // namespace TestServer
