#include "TestEnv.h"
#include "AppPaths.h"
#include "AppState.h"
#include "modMDB_Func.h"
#include "Schema.h"
#include <QDir>

TestEnv::TestEnv() : clock(QDateTime(QDate(2024, 5, 15), QTime(10, 30, 0))) {
    QDir().mkpath(m_dir.path() + QStringLiteral("/app"));
    QDir().mkpath(m_dir.path() + QStringLiteral("/settings"));
    AppPaths::setAppFolder(m_dir.path() + QStringLiteral("/app"));
    AppPaths::setSettingsRoot(m_dir.path() + QStringLiteral("/settings"));
    drives = std::make_unique<FolderNetDrives>(m_dir.path() + QStringLiteral("/drives"),
                                               m_dir.path() + QStringLiteral("/network"));
    Prompter::install(&prompter);
    Shell::install(&shell);
    Clock::install(&clock);
    NetDrives::install(drives.get());
    AppState::reset();
}

TestEnv::~TestEnv() {
    modMDB_Func::DBTerminate();
    Prompter::install(nullptr);
    Shell::install(nullptr);
    Clock::install(nullptr);
    NetDrives::install(nullptr);
    AppState::reset();
}

QString TestEnv::appFolder() const { return AppPaths::appFolder(); }

bool TestEnv::openFreshDatabase() {
    const QString file = appFolder() + QStringLiteral("/DBS/dbMain.db");
    if (!Schema::createMainDatabase(file))
        return false;
    gDBPath = appFolder() + QStringLiteral("/DBS");
    return modMDB_Func::OpenDB(file, Schema::kPassword, false, false);
}

bool TestEnv::noUnexpectedBoxes() const { return prompter.unexpected().isEmpty(); }
