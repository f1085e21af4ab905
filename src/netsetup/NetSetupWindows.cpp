#include "NetSetupWindows.h"
#include "AppState.h"
#include "DemoWindows.h"
#include "FrmTool_NTSetup.h"
#include "Settings.h"
#include "WindowRegistry.h"
#include "modFrmCtrl.h"
#include <QTextStream>

void registerNetSetupWindows() {
    WindowRegistry::add(QStringLiteral("FrmTool_NTSetup"), [](QWidget *main) -> QWidget * {
        FrmTool_NTSetup setup;
        ShowModalOver(&setup, main);
        return nullptr; // modal: nothing stays open
    });
}

void registerNetSetupDemos() {
    DemoWindows::add(QStringLiteral("netsetup"), QStringLiteral("네트워크 설정 (서버/클라이언트, 공유 폴더 검색)"),
                     [](const QStringList &, QTextStream &out) {
                         FrmTool_NTSetup setup;
                         setup.exec();
                         // What the next start reads.
                         const QString title = AppState::title(), env = QStringLiteral("환경설정");
                         out << Settings::GetSetting(title, env, QStringLiteral("CSType"), QStringLiteral("0")) << '\t'
                             << Settings::GetSetting(title, env, QStringLiteral("네트웍경로")) << '\t'
                             << Settings::GetSetting(title, env, QStringLiteral("네트웍드라이브")) << '\t'
                             << Settings::GetSetting(title, QStringLiteral("Config"), QStringLiteral("DB경로"))
                             << Qt::endl;
                         return 0;
                     });
}
