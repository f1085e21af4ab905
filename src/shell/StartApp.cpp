#include "StartApp.h"
#include "AppPaths.h"
#include "AppState.h"
#include "Messages.h"
#include "WidgetPrompter.h"
#include "modMain.h"
#include <QApplication>
#include <QLockFile>
#include <QTextStream>

int RunProgram(const QStringList &arguments) {
    AppPaths::initFromArguments(arguments);
    static WidgetPrompter widgetPrompter;
    Prompter::install(&widgetPrompter);
    QApplication::setApplicationDisplayName(AppState::title());

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
    if (!modMain::RunFirstCheck(QStringLiteral("/DBS/") + QStringLiteral("dbMain.db"), QStringLiteral("local_user")))
        return 0;
    gCodeLength = 6;

    // StartApp
    gDBFile = modMain::mainDbFile(AppPaths::inApp(QStringLiteral("DBS")));
    if (!modMain::InitApp())
        return 0;
    QTextStream(stdout) << "데이터베이스를 열었습니다: " << gDBFile << Qt::endl;
    modMain::DestroyApp();
    return 0;
}
