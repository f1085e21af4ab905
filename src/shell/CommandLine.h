#pragma once
#include <QList>
#include <QString>
#include <QStringList>
#include <utility>

class QTextStream;

// The program's own command line. Read without any window, so that --help, --version and
// mistakes are answered where no display is.
namespace CommandLine {

// Name and Korean description of each window that --demo opens.
using DemoWindows = QList<std::pair<QString, QString>>;

enum class Stage {
    // Before QApplication: Qt's options (-platform NAME, -style NAME …) are still in the list,
    // so an argument that is not ours is left for the second reading.
    BeforeQt,
    // After QApplication took out what it knows: whatever is not ours is a mistake.
    AfterQt,
};

struct Result {
    enum class Action { Run, Demo, NetworkSetup, Help, Version, Error };
    Action action = Action::Run;
    QString demo;
    QStringList demoArguments; // what follows the demo's name: "--demo postcode 역삼"
    QString error;             // Korean, one line or more, for stderr
    // The program name and the folder options in the "--name value" form AppPaths reads.
    QStringList programArguments;
};

// arguments[0] is the program. The first --help, --version or mistake decides; a later
// folder option overrides an earlier one.
Result parse(const QStringList &arguments, const DemoWindows &demos, Stage stage);

QString helpText(const QString &program, const DemoWindows &demos);
// The application title and QCoreApplication::applicationVersion().
QString versionText();

// Prints help or version on out, a mistake with a pointer to --help on err. Returns the exit
// code, or -1 when the program goes on (Run, Demo).
int answer(const Result &result, const QString &program, const DemoWindows &demos, QTextStream &out, QTextStream &err);

} // namespace CommandLine
