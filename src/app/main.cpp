#include "CalendarDemo.h"
#include "ChartDemo.h"
#include "CommandLine.h"
#include "DemoWindows.h"
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
#include <QFileInfo>
#include <QTextStream>

int main(int argc, char *argv[]) {
    QCoreApplication::setApplicationVersion(QStringLiteral(MOBILESHOP_VERSION));
    registerCalendarDemos();
    registerChartDemos();
    const CommandLine::DemoWindows demos = DemoWindows::list();
    const QString program = QFileInfo(QString::fromLocal8Bit(argv[0])).fileName();
    QTextStream out(stdout);
    QTextStream err(stderr);
    // Help, version and mistakes in our own options are answered before Qt looks for a display.
    QStringList raw;
    for (int i = 0; i < argc; ++i)
        raw << QString::fromLocal8Bit(argv[i]);
    if (const int code = CommandLine::answer(CommandLine::parse(raw, demos, CommandLine::Stage::BeforeQt), program,
                                             demos, out, err);
        code >= 0)
        return code;

    QApplication app(argc, argv);
    const auto command = CommandLine::parse(QApplication::arguments(), demos, CommandLine::Stage::AfterQt);
    if (const int code = CommandLine::answer(command, program, demos, out, err); code >= 0)
        return code;
    InstallQtKorean();
    if (command.action == CommandLine::Result::Action::Demo)
        return DemoWindows::run(command.demo, command.demoArguments, out);
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
    offerRestore = mdlBackUp::RestoreAtStartUp;
    return RunProgram(command.programArguments);
}
