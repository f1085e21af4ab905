#include "StartApp.h"
#include "AppPaths.h"
#include "AppState.h"
#include "Backup.h"
#include "FilePrivacy.h"
#include "FrmLogin.h"
#include "Messages.h"
#include "Schema.h"
#include "Settings.h"
#include "WindowRegistry.h"
#include "frmIntroMsg.h"
#include "frmMain.h"
#include "modMDB_Func.h"
#include "modMain.h"
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>

namespace {
// The local database folder is gone as well: its newest backup, or, asked once more by name, a
// new empty database there. Never a new catalogue without that second answer.
bool recoverFolder(const QString &folder, ProgramServices *services) {
    const auto useLocal = [&] {
        modMain::SetDBPath(folder);
        Settings::SaveSetting(AppState::title(), QStringLiteral("환경설정"), QStringLiteral("CSType"),
                              QStringLiteral("0"));
        return modMain::InitApp();
    };
    if (!Backup::newestArchive(folder).isEmpty())
        return services && services->offerRestore(folder, modMDB_Func::OpenProblem::Missing) && useLocal();
    const QString question =
        QStringList{QStringLiteral("이 컴퓨터의 데이터베이스 폴더도 없고, 복원할 백업 파일도 없습니다."),
                    QStringLiteral("아래 폴더에 빈 데이터베이스를 새로 만드시겠습니까?"),
                    QStringLiteral("(아니요: 프로그램 종료. 폴더를 다시 연결하거나 옮긴 뒤 시작하세요.)"), QString(),
                    QDir::toNativeSeparators(folder)}
            .join(QStringLiteral("\r\n"));
    if (MsgAsk(question, QStringLiteral("새 데이터베이스"), false) != vbYes)
        return false;
    QString error;
    if (!QDir().mkpath(folder) || !Schema::createMainDatabase(modMain::mainDbFile(folder), Schema::kPassword, &error)) {
        MsgWarn(QStringLiteral("데이터베이스를 만들지 못했습니다.\r\n") + error + QStringLiteral("\r\n") +
                QDir::toNativeSeparators(folder));
        return false;
    }
    return useLocal();
}
} // namespace

bool OpenDatabaseAtStartUp(ProgramServices *services) {
    if (modMain::InitApp())
        return true;
    if (const QString folder = modMain::FolderToRecover(); !folder.isEmpty())
        return recoverFolder(folder, services);
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

    // A named folder that is not there is a typing mistake or a share not mounted: making it
    // would start a second, empty shop.
    if (AppPaths::appFolderChosen() && !QFileInfo(AppPaths::appFolder()).isDir()) {
        MsgWarn(QStringLiteral("데이터 폴더가 없습니다.\r\n폴더 이름을 확인하거나, 공유 폴더라면 연결한 뒤 "
                               "다시 시작하세요.\r\n") +
                QDir::toNativeSeparators(AppPaths::appFolder()));
        return 1;
    }
    FilePrivacy::applyTo(AppPaths::appFolder(), AppPaths::settingsRoot());
    QString failure;
    const auto instanceLock = modMain::AcquireSingleInstance(&failure);
    if (!instanceLock) {
        // Another copy at work is no failure of this start; a lock that cannot be made is.
        const bool running = failure == modMain::kAlreadyRunning;
        running ? MsgInfo(failure) : MsgWarn(failure);
        return running ? 0 : 1;
    }
    QString error;
    if (!modMain::PrepareAppFolder(&error)) {
        MsgWarn(error);
        return 1;
    }
    // The check reads the database file; a server database is checked by its own connection.
    if (!modMain::DatabaseOnServer() &&
        !modMain::RunFirstCheck(QStringLiteral("/DBS/") + Schema::kMainFile, QStringLiteral("local_user")))
        return 1;
    gCodeLength = 6;

    // Start-up proper: the database, then the login window; the program lives while a window is open.
    gDBFile = modMain::mainDbFile(AppPaths::inApp(QStringLiteral("DBS")));
    if (!OpenDatabaseAtStartUp(&services))
        return 1;
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
    QObject::connect(login, &FrmLogin::cancelled, [login] {
        modMain::DestroyApp();
        QCoreApplication::exit(login->lockedOut() ? 1 : 0);
    });
    login->show();
    return QApplication::exec();
}

int RunNetworkSetup(const QStringList &arguments) {
    AppPaths::initFromArguments(arguments);
    FilePrivacy::applyTo(AppPaths::appFolder(), AppPaths::settingsRoot());
    WindowRegistry::open(QStringLiteral("FrmTool_NTSetup"), nullptr);
    return 0;
}
