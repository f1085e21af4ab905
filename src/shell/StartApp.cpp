#include "StartApp.h"
#include "AppPaths.h"
#include "AppState.h"
#include "FrmLogin.h"
#include "Messages.h"
#include "Schema.h"
#include "Settings.h"
#include "frmIntroMsg.h"
#include "frmMain.h"
#include "modMDB_Func.h"
#include "modMain.h"
#include <QApplication>
#include <QLockFile>

bool OpenDatabaseAtStartUp(ProgramServices *services) {
    if (modMain::InitApp())
        return true;
    using modMDB_Func::OpenProblem;
    const OpenProblem why = modMDB_Func::lastOpenProblem();
    return (why == OpenProblem::Damaged || why == OpenProblem::Missing) && services &&
           services->offerRestore(gDBPath, why) && modMain::InitApp();
}

bool OpenDatabaseForDemo() {
    QString error;
    if (!modMain::PrepareAppFolder(&error)) {
        MsgWarn(error);
        return false;
    }
    gCodeLength = 6;
    gDBFile = modMain::mainDbFile(AppPaths::inApp(QStringLiteral("DBS")));
    return OpenDatabaseAtStartUp();
}

int RunProgram(const QStringList &arguments, ProgramServices &services) {
    AppPaths::initFromArguments(arguments);
    // No application display name: the desktop would append it to every title that already
    // carries the program's name.

    const auto instanceLock = modMain::AcquireSingleInstance();
    if (!instanceLock) {
        MsgInfo(QStringLiteral("이미 프로그램이 실행 중입니다."));
        return 0;
    }
    QString error;
    if (!modMain::PrepareAppFolder(&error)) {
        MsgWarn(error);
        return 1;
    }
    // The check reads the database file; a server database is checked by its own connection.
    if (!modMain::DatabaseOnServer() &&
        !modMain::RunFirstCheck(QStringLiteral("/DBS/") + Schema::kMainFile, QStringLiteral("local_user")))
        return 0;
    gCodeLength = 6;

    // Start-up proper: the database, then the login window; the program lives while a window is open.
    gDBFile = modMain::mainDbFile(AppPaths::inApp(QStringLiteral("DBS")));
    if (!OpenDatabaseAtStartUp(&services))
        return 0;
    auto *login = new FrmLogin;
    login->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(login, &FrmLogin::loggedIn, [&services] {
        if (Settings::GetSetting(AppState::title(), QStringLiteral("Config"), QStringLiteral("NoMsg"),
                                 QStringLiteral("0")) == QLatin1String("0")) {
            frmIntroMsg intro;
            intro.exec();
        }
        auto *main = new frmMain;
        main->setAttribute(Qt::WA_DeleteOnClose);
        main->setServices(&services);
        main->show();
        main->mnuBase_Mobil_Click();
    });
    QObject::connect(login, &FrmLogin::cancelled, [] {
        modMain::DestroyApp();
        QCoreApplication::exit(0);
    });
    login->show();
    return QApplication::exec();
}
