#include "CommandLine.h"
#include "AppState.h"
#include <QCoreApplication>
#include <QTextStream>
#include <algorithm>

namespace {
const QString kAppFolder = QStringLiteral("--app-folder");
const QString kSettingsRoot = QStringLiteral("--settings-root");
const QString kDemo = QStringLiteral("--demo");

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

// Hangul and other wide characters take two terminal columns; the help's columns line up by that.
int columns(const QString &text) {
    int n = 0;
    for (const QChar c : text)
        n += c.unicode() >= 0x1100 ? 2 : 1;
    return n;
}

QString row(const QString &left, const QString &right, int width = 24) {
    return left + QString(qMax(1, width - columns(left)), QLatin1Char(' ')) + right + QLatin1Char('\n');
}
} // namespace

namespace CommandLine {

Result parse(const QStringList &args, const DemoWindows &demos, Stage stage) {
    Result r;
    QString appFolder, settingsRoot;
    for (qsizetype i = 1; i < args.size(); ++i) {
        const QString &arg = args.at(i);
        if (arg == QLatin1String("--help") || arg == QLatin1String("-h") || arg == QLatin1String("-?")) {
            r.action = Result::Action::Help;
            return r;
        }
        if (arg == QLatin1String("--version") || arg == QLatin1String("-v")) {
            r.action = Result::Action::Version;
            return r;
        }
        QString name = arg;
        QString value;
        bool hasValue = false;
        if (const qsizetype eq = arg.indexOf(QLatin1Char('=')); arg.startsWith(QLatin1String("--")) && eq > 2) {
            name = arg.left(eq);
            value = arg.mid(eq + 1);
            hasValue = true;
        }
        if (!r.demo.isEmpty() && !arg.startsWith(QLatin1Char('-'))) {
            r.demoArguments << arg;
            continue;
        }
        if (arg == QLatin1String("--network-setup")) {
            r.action = Result::Action::NetworkSetup;
            continue;
        }
        if (name != kAppFolder && name != kSettingsRoot && name != kDemo) {
            if (stage == Stage::BeforeQt)
                continue;
            return failure((arg.startsWith(QLatin1Char('-')) ? QStringLiteral("알 수 없는 옵션입니다: ")
                                                             : QStringLiteral("알 수 없는 인수입니다: ")) +
                           arg);
        }
        // "--app-folder --demo x" forgot the folder rather than naming one "--demo".
        if (!hasValue && i + 1 < args.size() && !args.at(i + 1).startsWith(QLatin1String("--"))) {
            value = args.at(++i);
            hasValue = true;
        }
        if (name == kDemo) {
            if (value.isEmpty())
                return failure(kDemo + QStringLiteral(" 다음에 창 이름을 적으세요: ") + demoNames(demos));
            const bool known = std::any_of(demos.begin(), demos.end(), [&](const auto &d) { return d.first == value; });
            if (!known)
                return failure(QStringLiteral("알 수 없는 데모 창입니다: ") + value +
                               QStringLiteral("\n쓸 수 있는 이름: ") + demoNames(demos));
            r.action = Result::Action::Demo;
            r.demo = value;
            continue;
        }
        if (value.isEmpty())
            return failure(name + QStringLiteral(" 다음에 폴더를 적으세요."));
        (name == kAppFolder ? appFolder : settingsRoot) = value;
    }
    r.programArguments << args.value(0);
    if (!appFolder.isEmpty())
        r.programArguments << kAppFolder << appFolder;
    if (!settingsRoot.isEmpty())
        r.programArguments << kSettingsRoot << settingsRoot;
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
