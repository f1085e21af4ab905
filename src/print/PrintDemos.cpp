#include "PrintDemos.h"
#include "AppState.h"
#include "DemoWindows.h"
#include "FrmPrn_selPRT.h"
#include "Settings.h"
#include <QTextStream>

void registerPrintDemos() {
    DemoWindows::add(QStringLiteral("printer"), QStringLiteral("프린터 선택 (A4일반)"),
                     [](const QStringList &, QTextStream &out) {
                         FrmPrn_selPRT window;
                         window.InitForm(3, QString());
                         const bool chosen = window.exec() == QDialog::Accepted;
                         // What a caller printing this kind would now find.
                         out << window.settingKey() << '='
                             << Settings::GetSetting(AppState::title(), QStringLiteral("Config"), window.settingKey())
                             << (chosen ? "" : " (바꾸지 않음)") << Qt::endl;
                         return 0;
                     });
}
