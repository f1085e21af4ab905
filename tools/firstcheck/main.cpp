// Checks once per machine that the database engine works: the database named on the
// command line opens with its password and holds the named table. Only then it stores
// "YES", which the program looks for before every start.
#include "AppPaths.h"
#include "AppState.h"
#include "Schema.h"
#include "Settings.h"
#include "modMDB_Func.h"
#include <QCoreApplication>
#include <QSqlDatabase>
#include <QTextStream>

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    AppPaths::initFromArguments(app.arguments());
    // One argument " <database file>|<table>"; a shell may also split it at blanks.
    const QString tail = app.arguments().mid(1).join(QLatin1Char(' ')).trimmed();
    const qsizetype bar = tail.lastIndexOf(QLatin1Char('|'));
    QTextStream err(stderr);
    if (bar <= 0) {
        err << "usage: FirstCheck \"<database file>|<table>\"" << Qt::endl;
        return 2;
    }
    const QString file = tail.left(bar).trimmed();
    const QString table = tail.mid(bar + 1).trimmed();
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QSQLITE"))) {
        err << "database driver missing" << Qt::endl;
        return 1;
    }
    if (!modMDB_Func::OpenDB(file, Schema::kPassword, true, false))
        return 1;
    const bool found = modMDB_Func::connection().tables().contains(table, Qt::CaseInsensitive);
    modMDB_Func::DBTerminate();
    if (!found) {
        err << "table not found: " << table << Qt::endl;
        return 1;
    }
    if (!Settings::SaveSetting(AppState::sharedApp(), QStringLiteral("MDAC_Check"), QStringLiteral("CHECK_VALUE"),
                               QStringLiteral("YES")))
        return 1;
    return 0;
}
