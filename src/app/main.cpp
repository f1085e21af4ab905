#include "AppIdentity.h"
#include "AppPaths.h"
#include "BackupServices.h"
#include "CalendarDemo.h"
#include "ChartDemo.h"
#include "CommandLine.h"
#include "DemoWindows.h"
#include "DisplayCheck.h"
#include "FilePrivacy.h"
#include "HandsetWindows.h"
#include "ImportWindows.h"
#include "NetSetupWindows.h"
#include "PostcodeWindows.h"
#include "PrintDemos.h"
#include "QtKorean.h"
#include "StartApp.h"
#include "WidgetPrompter.h"
#include <QApplication>
#include <QFileInfo>
#include <QTextStream>

int main(int argc, char *argv[]) {
    QCoreApplication::setApplicationVersion(QStringLiteral(MOBILESHOP_VERSION));
    registerCalendarDemos();
    registerPrintDemos();
    registerHandsetDemos();
    registerImportDemos();
    registerPostcodeDemos();
    registerChartDemos();
    registerNetSetupDemos();
    const CommandLine::DemoWindows demos = DemoWindows::list();
    const QString program = QFileInfo(QString::fromLocal8Bit(argv[0])).fileName();
    QTextStream out(stdout);
    QTextStream err(stderr);
    // Help, version and mistakes in our own options are answered before Qt looks for a display.
    QStringList raw;
    for (int i = 0; i < argc; ++i)
        raw << QString::fromLocal8Bit(argv[i]);
    if (const int code =
            CommandLine::answer(CommandLine::parse(raw, demos, CommandLine::Stage::BeforeQt), program, demos, out, err);
        code >= 0)
        return code;

    if (!DisplayCheck::ready(argc, argv))
        return DisplayCheck::kNoDisplayExit;

    QApplication app(argc, argv);
    InstallAppIdentity();
    const auto command = CommandLine::parse(QApplication::arguments(), demos, CommandLine::Stage::AfterQt);
    if (const int code = CommandLine::answer(command, program, demos, out, err); code >= 0)
        return code;
    InstallQtKorean();
    registerHandsetWindows();
    registerImportWindows();
    registerPostcodeWindows();
    registerNetSetupWindows();
    static WidgetPrompter widgetPrompter;
    Prompter::install(&widgetPrompter);
    if (command.action == CommandLine::Result::Action::NetworkSetup)
        return RunNetworkSetup(command.programArguments);
    if (command.action == CommandLine::Result::Action::Demo) {
        AppPaths::initFromArguments(command.programArguments); // the folders the window's data lives in
        // A demo may be what makes a fresh folder: as private as the first start makes it.
        FilePrivacy::applyTo(AppPaths::appFolder(), AppPaths::settingsRoot());
        return DemoWindows::run(command.demo, command.demoArguments, out);
    }
    BackupServices services;
    return RunProgram(command.programArguments, services);
}
