#pragma once
#include <QCommandLineOption>
#include <QList>
#include <QString>

class QCommandLineParser;
class QTextStream;

// The Korean help and version every command of the program answers with; Qt's own help text
// would be English.
namespace CommandHelp {

// Terminal columns: Hangul and other wide characters take two.
int columns(const QString &text);
// One line of a help table: left, then right starting at column width (or one blank after left).
QString row(const QString &left, const QString &right, int width = 24);

// -h/-?/--help and -v/--version, described in Korean.
QCommandLineOption helpOption();
QCommandLineOption versionOption();

// "사용법: " usage, the description, then one row per option ("--name 값  설명"), -h and -v last.
QString text(const QString &usage, const QString &description, const QList<QCommandLineOption> &options);

// "<program> (<title>) <version>": the companions' --version.
QString versionLine(const QString &program, const QString &title);

// The option, as typed, that parser found without its value ("--file" at the end); empty when
// that was not the mistake.
QString missingValue(const QCommandLineParser &parser);
// Why parser refused arguments, in Korean: the first unknown option as typed, else the option
// whose value is missing or not wanted.
QString parseError(const QCommandLineParser &parser, const QStringList &arguments);

struct Command {
    QString program;     // as the user types it
    QString usage;       // what follows the program name in the usage line
    QString description; // the paragraphs between usage and options
    QString version;     // the --version line
};

// For a companion: reads arguments into parser (help and version added to its options) and
// answers --help, --version and a mistake. Returns the exit code, or -1 when the program goes on.
int answer(QCommandLineParser &parser, const QList<QCommandLineOption> &options, const QStringList &arguments,
           const Command &command, QTextStream &out, QTextStream &err);

// For a companion that reads its arguments its own way: answers the first argument that is
// -h, -?, --help, -v or --version (help lists options). Returns 0 then, else -1.
int answerHelpOrVersion(const QStringList &arguments, const QList<QCommandLineOption> &options, const Command &command,
                        QTextStream &out);

} // namespace CommandHelp
