#include "CommandHelp.h"
#include <QCommandLineParser>
#include <QRegularExpression>
#include <QTextStream>

namespace CommandHelp {

int columns(const QString &text) {
    int n = 0;
    for (const QChar c : text)
        n += c.unicode() >= 0x1100 ? 2 : 1;
    return n;
}

QString row(const QString &left, const QString &right, int width) {
    return left + QString(qMax(1, width - columns(left)), QLatin1Char(' ')) + right + QLatin1Char('\n');
}

QCommandLineOption helpOption() {
    return QCommandLineOption({QStringLiteral("h"), QStringLiteral("?"), QStringLiteral("help")},
                              QStringLiteral("이 도움말을 보여 줍니다."));
}

QCommandLineOption versionOption() {
    return QCommandLineOption({QStringLiteral("v"), QStringLiteral("version")}, QStringLiteral("버전을 보여 줍니다."));
}

QString text(const QString &usage, const QString &description, const QList<QCommandLineOption> &options) {
    QString out = QStringLiteral("사용법: ") + usage + QStringLiteral("\n") + description;
    if (!description.endsWith(QLatin1Char('\n')))
        out += QLatin1Char('\n');
    out += QStringLiteral("\n옵션:\n");
    for (const QCommandLineOption &option : options + QList{helpOption(), versionOption()}) {
        QStringList names;
        for (const QString &name : option.names())
            if (name != QLatin1String("?"))
                names << (name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name;
        QString left = QStringLiteral("  ") + names.join(QStringLiteral(", "));
        if (!option.valueName().isEmpty())
            left += QLatin1Char(' ') + option.valueName();
        out += row(left, option.description(), 28);
    }
    return out;
}

QString versionLine(const QString &program, const QString &title) {
    return QStringLiteral("%1 (%2) %3").arg(program, title, QStringLiteral(MOBILESHOP_VERSION));
}

namespace {
// Qt names the option in English ("Missing value after '--file'."); only the name is kept.
QString quotedName(const QString &text) {
    static const QRegularExpression quoted(QStringLiteral("'([^']*)'"));
    return quoted.match(text).captured(1);
}
} // namespace

QString missingValue(const QCommandLineParser &parser) {
    return parser.errorText().startsWith(QLatin1String("Missing value")) ? quotedName(parser.errorText()) : QString();
}

QString parseError(const QCommandLineParser &parser, const QStringList &arguments) {
    if (const QStringList unknown = parser.unknownOptionNames(); !unknown.isEmpty()) {
        QString typed = (unknown.first().size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + unknown.first();
        for (const QString &argument : arguments)
            if (argument.startsWith(QLatin1Char('-')) &&
                QString(argument).remove(QRegularExpression(QStringLiteral("^-+"))).section(QLatin1Char('='), 0, 0) ==
                    unknown.first()) {
                typed = argument;
                break;
            }
        return QStringLiteral("알 수 없는 옵션입니다: ") + typed;
    }
    if (const QString name = missingValue(parser); !name.isEmpty())
        return name + QStringLiteral(" 다음에 값을 적으세요.");
    const QString name = quotedName(parser.errorText());
    if (parser.errorText().startsWith(QLatin1String("Unexpected value")))
        return name + QStringLiteral(" 에는 값을 적지 않습니다.");
    return QStringLiteral("명령줄을 읽을 수 없습니다: ") + name;
}

namespace {
int printHelp(const QList<QCommandLineOption> &options, const Command &command, QTextStream &out) {
    out << text(command.program + QLatin1Char(' ') + command.usage, command.description, options) << Qt::flush;
    return 0;
}
int printVersion(const Command &command, QTextStream &out) {
    out << command.version << Qt::endl;
    return 0;
}
} // namespace

int answerHelpOrVersion(const QStringList &arguments, const QList<QCommandLineOption> &options, const Command &command,
                        QTextStream &out) {
    for (const QString &argument : arguments.mid(1)) {
        const QString name = QString(argument).remove(QRegularExpression(QStringLiteral("^-{1,2}")));
        if (argument.startsWith(QLatin1Char('-')) && helpOption().names().contains(name))
            return printHelp(options, command, out);
        if (argument.startsWith(QLatin1Char('-')) && versionOption().names().contains(name))
            return printVersion(command, out);
    }
    return -1;
}

int answer(QCommandLineParser &parser, const QList<QCommandLineOption> &options, const QStringList &arguments,
           const Command &command, QTextStream &out, QTextStream &err) {
    parser.addOptions(options);
    parser.addOption(helpOption());
    parser.addOption(versionOption());
    const bool parsed = parser.parse(arguments);
    // A cry for help is answered even beside a mistake: it is what the user is asking for.
    if (parser.isSet(QStringLiteral("help")))
        return printHelp(options, command, out);
    if (parser.isSet(QStringLiteral("version")))
        return printVersion(command, out);
    if (!parsed) {
        err << parseError(parser, arguments) << QStringLiteral("\n도움말: ") << command.program
            << QStringLiteral(" --help") << Qt::endl;
        return 2;
    }
    return -1;
}

} // namespace CommandHelp
