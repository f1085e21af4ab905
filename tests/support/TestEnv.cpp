#include "TestEnv.h"
#include "AppPaths.h"
#include "AppState.h"
#include "Schema.h"
#include "Settings.h"
#include "TestServer.h"
#include "modMDB_Func.h"
#include <QDir>

TestEnv::TestEnv()
    : clock(QDateTime(QDate(2024, 5, 15), QTime(10, 30, 0))), m_toolsDir(qgetenv("MOBILESHOP_TOOLS_DIR")) {
    QDir().mkpath(m_dir.path() + QStringLiteral("/app"));
    QDir().mkpath(m_dir.path() + QStringLiteral("/settings"));
    AppPaths::setAppFolder(m_dir.path() + QStringLiteral("/app"));
    AppPaths::setSettingsRoot(m_dir.path() + QStringLiteral("/settings"));
    drives = std::make_unique<FolderNetDrives>(m_dir.path() + QStringLiteral("/drives"),
                                               m_dir.path() + QStringLiteral("/network"));
    network = std::make_unique<FolderNetworkBrowser>(m_dir.path() + QStringLiteral("/network"));
    Prompter::install(&prompter);
    Shell::install(&shell);
    Clock::install(&clock);
    NetDrives::install(drives.get());
    NetworkBrowser::install(network.get());
    AppState::reset();
}

TestEnv::~TestEnv() {
    if (m_toolsDir.isNull())
        qunsetenv("MOBILESHOP_TOOLS_DIR");
    else
        qputenv("MOBILESHOP_TOOLS_DIR", m_toolsDir);
    modMDB_Func::DBTerminate();
    if (server.complete())
        TestServer::giveBack(server);
    Prompter::install(nullptr);
    Shell::install(nullptr);
    Clock::install(nullptr);
    NetDrives::install(nullptr);
    NetworkBrowser::install(nullptr);
    AppState::reset();
}

QString TestEnv::appFolder() const { return AppPaths::appFolder(); }

bool TestEnv::onServer() { return TestServer::enabled(); }

QString TestEnv::databaseFile() const { return appFolder() + QStringLiteral("/DBS/dbMain.db"); }

bool TestEnv::openFreshDatabase() {
    gDBPath = appFolder() + QStringLiteral("/DBS");
    if (onServer()) {
        QString error;
        server = TestServer::createDatabase(&error);
        if (!server.complete()) {
            qWarning("%s", qPrintable(error));
            return false;
        }
        QDir().mkpath(gDBPath);
        Settings::SaveSetting(AppState::title(), QStringLiteral("환경설정"), QStringLiteral("CSType"),
                              QStringLiteral("2"));
        gCSType = 2;
        return server.save() && reopenDatabase();
    }
    return Schema::createMainDatabase(databaseFile()) && reopenDatabase();
}

bool TestEnv::reopenDatabase(const QString &password, bool readOnly, bool sqlLog) {
    return onServer() ? modMDB_Func::OpenServerDB(server, password, readOnly, sqlLog)
                      : modMDB_Func::OpenDB(databaseFile(), password, readOnly, sqlLog);
}

QSqlDatabase TestEnv::addOtherConnection(const QString &name) const {
    if (onServer())
        return TestServer::addConnection(server, name);
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
    db.setDatabaseName(databaseFile());
    return db;
}

QString TestEnv::beginExclusiveSql() {
    return onServer() ? QStringLiteral("BEGIN") : QStringLiteral("BEGIN EXCLUSIVE");
}

bool TestEnv::noUnexpectedBoxes() const { return prompter.unexpected().isEmpty(); }

QString TestEnv::hideTools() {
    // An empty MOBILESHOP_TOOLS_DIR also keeps the build's tools/ folder out of the lookup.
    const QString empty = m_dir.path() + QStringLiteral("/no-tools");
    QDir().mkpath(empty);
    qputenv("MOBILESHOP_TOOLS_DIR", empty.toUtf8());
    return empty;
}
