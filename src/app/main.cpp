#include "CalendarDemo.h"
#include "HandsetWindows.h"
#include "AppState.h"
#include "Backup.h"
#include "QtKorean.h"
#include "StartApp.h"
#include "frmMain.h"
#include "cFpPreview.h"
#include "mdlBackUp.h"
#include "modMain.h"
#include <QApplication>

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationVersion(QStringLiteral("1.0.0"));
    InstallQtKorean();
    const QStringList args = QApplication::arguments();
    // --demo calendar / --demo period: one component window on its own, for trying it.
    if (const int i = args.indexOf(QStringLiteral("--demo")); i >= 0)
        return runCalendarDemo(args.value(i + 1));
    registerHandsetWindows();
    wireMainWindow = [](frmMain *main) {
        main->backupOnClose = [] { return mdlBackUp::ExecBackUpAuto(QString(), gDBPath + QLatin1Char('\\')); };
        main->backupNow = [] {
            return mdlBackUp::ExecBackUp(Backup::HardDisk, false, QString(), gDBPath + QLatin1Char('\\'));
        };
    };
    gPreview = new cFpPreview;
    gPreview->SetAppName(AppState::title());
    modMain::setReleaseAtExit([] {
        delete gPreview;
        gPreview = nullptr;
    });
    offerRestore = [](const QString &folder) { mdlBackUp::OfferRestore(folder); };
    return RunProgram(args);
}
