#include "CommandLine.h"
#include "AppState.h"
#include "CommandHelp.h"
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QHash>
#include <QTextStream>
#include <algorithm>

namespace {
const QString kAppFolder = QStringLiteral("app-folder");
const QString kSettingsRoot = QStringLiteral("settings-root");
const QString kDemo = QStringLiteral("demo");

using CommandHelp::row;
using CommandLine::Result;

Result failure(const QString &text) {
    Result r;
    r.action = Result::Action::Error;
    r.error = text;
    return r;
}

QString demoNames(const CommandLine::DemoWindows &demos) {
    QStringList names;
    for (const auto &d : demos)
        names << d.first;
    return names.join(QStringLiteral(", "));
}

QString missingValueText(const QString &option, const CommandLine::DemoWindows &demos) {
    return option.endsWith(kDemo) ? option + QStringLiteral(" 다음에 창 이름을 적으세요: ") + demoNames(demos)
                                  : option + QStringLiteral(" 다음에 폴더를 적으세요.");
}
} // namespace

namespace CommandLine {

Result parse(const QStringList &args, const DemoWindows &demos, Stage stage) {
    QCommandLineParser parser;
    // Qt's own options are one dash and a word (-platform, -style): one unknown option each.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help = CommandHelp::helpOption(), version = CommandHelp::versionOption();
    const QCommandLineOption networkSetup(QStringLiteral("network-setup"));
    parser.addOptions({help, version, networkSetup, QCommandLineOption(kAppFolder, QString(), QStringLiteral("폴더")),
                       QCommandLineOption(kSettingsRoot, QString(), QStringLiteral("폴더")),
                       QCommandLineOption(kDemo, QString(), QStringLiteral("이름"))});
    const bool parsed = parser.parse(args);

    // In the order given, so that the first --help, --version or mistake decides.
    Result r;
    QHash<QString, qsizetype> seen;
    QString appFolder, settingsRoot;
    for (const QString &name : parser.optionNames()) {
        if (help.names().contains(name)) {
            r.action = Result::Action::Help;
            return r;
        }
        if (version.names().contains(name)) {
            r.action = Result::Action::Version;
            return r;
        }
        if (name != kAppFolder && name != kSettingsRoot && name != kDemo)
            continue;
        const QString value = parser.values(name).value(seen[name]++);
        // "--app-folder --demo x" forgot the folder rather than naming one "--demo".
        if (value.isEmpty() || value.startsWith(QLatin1String("--")))
            return failure(missingValueText(QStringLiteral("--") + name, demos));
        if (name == kDemo) {
            if (std::none_of(demos.begin(), demos.end(), [&](const auto &d) { return d.first == value; }))
                return failure(QStringLiteral("알 수 없는 데모 창입니다: ") + value +
                               QStringLiteral("\n쓸 수 있는 이름: ") + demoNames(demos));
            r.demo = value;
        } else
            (name == kAppFolder ? appFolder : settingsRoot) = value;
    }
    if (const QString option = CommandHelp::missingValue(parser); !option.isEmpty())
        return failure(missingValueText(option, demos));
    // Before QApplication, what is not ours may be Qt's and waits for the second reading.
    if (stage == Stage::AfterQt) {
        if (!parsed)
            return failure(CommandHelp::parseError(parser, args));
        if (r.demo.isEmpty() && !parser.positionalArguments().isEmpty())
            return failure(QStringLiteral("알 수 없는 인수입니다: ") + parser.positionalArguments().first());
    }
    if (!r.demo.isEmpty()) {
        r.action = Result::Action::Demo;
        r.demoArguments = parser.positionalArguments();
    } else if (parser.isSet(networkSetup))
        r.action = Result::Action::NetworkSetup;
    r.programArguments << args.value(0);
    if (!appFolder.isEmpty())
        r.programArguments << QStringLiteral("--") + kAppFolder << appFolder;
    if (!settingsRoot.isEmpty())
        r.programArguments << QStringLiteral("--") + kSettingsRoot << settingsRoot;
    return r;
}

QString helpText(const QString &program, const DemoWindows &demos) {
    QString text = QStringLiteral("사용법: ") + program + QStringLiteral(" [옵션]\n") + AppState::title() +
                   QStringLiteral(" — 휴대폰 매장의 단말기 목록을 관리합니다.\n\n옵션:\n");
    text +=
        row(QStringLiteral("  --app-folder 폴더"), QStringLiteral("데이터 폴더(DBS/, FormIni/, IMG/ …)를 정합니다."));
    text += row(QString(), QStringLiteral("기본: 프로그램 폴더에 DBS/가 있으면 그 폴더, 없으면"));
    text += row(QString(), QStringLiteral("~/.local/share/MobileShop"));
    text += row(QStringLiteral("  --settings-root 폴더"),
                QStringLiteral("설정 파일 폴더를 정합니다. 기본: ~/.config/MobileShop"));
    text += row(QStringLiteral("  --network-setup"),
                QStringLiteral("네트워크 설정 창만 열어 이 PC의 DB 위치(이 PC, 공유 폴더, DB 서버)를 정합니다."));
    text += row(QStringLiteral("  --demo 이름 [인수]"), QStringLiteral("구성 창 하나만 따로 엽니다:"));
    for (const auto &d : demos)
        text += row(QStringLiteral("                          ") + d.first, d.second, 36);
    text += row(QStringLiteral("  -h, --help"), QStringLiteral("이 도움말을 보여 줍니다."));
    text += row(QStringLiteral("  -v, --version"), QStringLiteral("버전을 보여 줍니다."));
    text += QStringLiteral(
        "\n환경 변수 MOBILESHOP_APP_FOLDER와 MOBILESHOP_SETTINGS_ROOT는 위의 두 폴더 옵션과 같고,\n"
        "MOBILESHOP_TOOLS_DIR는 함께 쓰는 프로그램(FirstCheck, FloatMsg, 데이터압축)이 있는 폴더입니다.\n");
    return text;
}

QString versionText() { return AppState::title() + QLatin1Char(' ') + QCoreApplication::applicationVersion(); }

int answer(const Result &result, const QString &program, const DemoWindows &demos, QTextStream &out, QTextStream &err) {
    switch (result.action) {
    case Result::Action::Help: out << helpText(program, demos) << Qt::flush; return 0;
    case Result::Action::Version: out << versionText() << Qt::endl; return 0;
    case Result::Action::Error:
        err << result.error << QStringLiteral("\n도움말: ") << program << QStringLiteral(" --help") << Qt::endl;
        return 2;
    case Result::Action::Run:
    case Result::Action::NetworkSetup:
    case Result::Action::Demo: break;
    }
    return -1;
}

} // namespace CommandLine
