#include "AppPaths.h"
#include "CalendarDemo.h"
#include "CommandLine.h"
#include "DemoWindows.h"
#include <QCoreApplication>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>

using CommandLine::Result;
using CommandLine::Stage;
using Action = Result::Action;

namespace {
const QString kProgram = QStringLiteral(MOBILESHOP_PROGRAM);

Result parseAfter(const QStringList &tail) {
    return CommandLine::parse(QStringList{"mobileshop"} + tail, DemoWindows::list(), Stage::AfterQt);
}
Result parseBefore(const QStringList &tail) {
    return CommandLine::parse(QStringList{"mobileshop"} + tail, DemoWindows::list(), Stage::BeforeQt);
}

struct Run {
    int code = -1;
    QString out, err;
};
// The real program, with no display and no platform named: what a terminal without X gives it.
Run runProgram(const QStringList &args, const QString &platform = QString()) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("DISPLAY");
    env.remove("WAYLAND_DISPLAY");
    env.insert("QT_QPA_PLATFORM", platform);
    p.setProcessEnvironment(env);
    p.start(kProgram, args);
    if (!p.waitForFinished(30000)) {
        p.kill();
        p.waitForFinished();
    }
    Run r;
    r.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}
} // namespace

class TestCommandLine : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { registerCalendarDemos(); }
    void helpAndVersion_firstAnswerDecides() {
        for (const char *a : {"--help", "-h", "-?"})
            QCOMPARE(parseAfter({a}).action, Action::Help);
        for (const char *a : {"--version", "-v"})
            QCOMPARE(parseAfter({a}).action, Action::Version);
        QCOMPARE(parseAfter({"--app-folder", "/x", "--help"}).action, Action::Help);
        QCOMPARE(parseAfter({"--help", "--demo", "nope"}).action, Action::Help);
        QCOMPARE(parseAfter({"--demo", "nope", "--help"}).action, Action::Error);
        QCOMPARE(parseAfter({"--version", "--help"}).action, Action::Version);
    }

    void folderOptions_reachAppPaths() {
        const Result none = parseAfter({});
        QCOMPARE(none.action, Action::Run);
        QCOMPARE(none.programArguments, QStringList{"mobileshop"});

        QTemporaryDir dir;
        const QString app = dir.path() + "/app", root = dir.path() + "/settings";
        const Result r = parseAfter({"--settings-root=/first", "--app-folder", app, "--settings-root=" + root});
        QCOMPARE(r.action, Action::Run);
        QCOMPARE(r.programArguments, (QStringList{"mobileshop", "--app-folder", app, "--settings-root", root}));
        const Result setup = parseAfter({"--network-setup", "--app-folder", app});
        QCOMPARE(setup.action, Action::NetworkSetup);
        QCOMPARE(setup.programArguments, (QStringList{"mobileshop", "--app-folder", app}));
        // What the program hands on is what AppPaths reads.
        AppPaths::initFromArguments(r.programArguments);
        QCOMPARE(AppPaths::appFolder(), app);
        QCOMPARE(AppPaths::settingsRoot(), root);
        // A folder whose name starts with one dash is still a folder.
        QCOMPARE(parseAfter({"--app-folder", "-odd"}).programArguments.value(2), QString("-odd"));
    }

    void missingValues_nameTheOption() {
        const QList<QStringList> cases{{"--app-folder"},
                                       {"--app-folder="},
                                       {"--app-folder", "--demo", "calendar"},
                                       {"--settings-root"},
                                       {"--settings-root", ""}};
        for (const QStringList &c : cases) {
            const Result r = parseBefore(c);
            QCOMPARE(r.action, Action::Error);
            QCOMPARE(r.error, c.first().section('=', 0, 0) + " 다음에 폴더를 적으세요.");
        }
        const Result demo = parseBefore({"--demo"});
        QCOMPARE(demo.action, Action::Error);
        QCOMPARE(demo.error, QString("--demo 다음에 창 이름을 적으세요: calendar, period"));
    }

    void demoNames_comeFromTheDemoList() {
        const auto windows = DemoWindows::list();
        QVERIFY(windows.size() >= 2);
        for (const auto &w : windows) {
            const Result r = parseBefore({"--demo", w.first});
            QCOMPARE(r.action, Action::Demo);
            QCOMPARE(r.demo, w.first);
        }
        QCOMPARE(parseAfter({"--demo=period"}).demo, QString("period"));
        const Result wrong = parseBefore({"--demo", "chart"});
        QCOMPARE(wrong.action, Action::Error);
        QCOMPARE(wrong.error, QString("알 수 없는 데모 창입니다: chart\n쓸 수 있는 이름: calendar, period"));
        QCOMPARE(parseBefore({"--demo", "Calendar"}).action, Action::Error);
        // What follows the name is the window's own, in both readings.
        for (const Result &r : {parseBefore({"--demo", "period", "역삼", "135-080"}),
                                parseAfter({"--demo", "period", "역삼", "135-080", "--app-folder", "/a"})})
            QCOMPARE(r.demoArguments, (QStringList{"역삼", "135-080"}));
        // Without a window to give them to, words are mistakes.
        QCOMPARE(parseAfter({"--app-folder", "/a", "stray"}).error, QString("알 수 없는 인수입니다: stray"));
    }

    void qtOptions_leftForTheSecondReading() {
        // Qt's options and what is not ours wait until QApplication has taken out its own.
        for (const QStringList &c : QList<QStringList>{
                 {"-platform", "offscreen"}, {"--bogus"}, {"stray"}, {"-style", "fusion", "--app-folder", "/a"}})
            QCOMPARE(parseBefore(c).action, Action::Run);
        QCOMPARE(parseBefore({"-platform", "offscreen", "--app-folder", "/a"}).programArguments,
                 (QStringList{"mobileshop", "--app-folder", "/a"}));
        const Result option = parseAfter({"--app-folder", "/a", "--bogus"});
        QCOMPARE(option.action, Action::Error);
        QCOMPARE(option.error, QString("알 수 없는 옵션입니다: --bogus"));
        QCOMPARE(parseAfter({"-x"}).error, QString("알 수 없는 옵션입니다: -x"));
        QCOMPARE(parseAfter({"-bogus", "--app-folder", "/a"}).error, QString("알 수 없는 옵션입니다: -bogus"));
        QCOMPARE(parseAfter({"--network-setup=yes"}).error, QString("--network-setup 에는 값을 적지 않습니다."));
        QCOMPARE(parseAfter({"--app-folder=/a=b", "stray"}).error, QString("알 수 없는 인수입니다: stray"));
        QCOMPARE(parseAfter({"--app-folder=/a=b"}).programArguments.value(2), QString("/a=b"));
    }

    void answer_printsAndGivesTheExitCode() {
        QString out, err;
        QTextStream o(&out), e(&err);
        const auto demos = DemoWindows::list();
        QCOMPARE(CommandLine::answer(parseAfter({"--help"}), "ms", demos, o, e), 0);
        QVERIFY(out.startsWith("사용법: ms [옵션]\n"));
        for (const char *option : {"--app-folder 폴더", "--settings-root 폴더", "--demo 이름", "--help", "--version"})
            QVERIFY2(out.contains(QString::fromUtf8(option)), option);
        for (const auto &w : demos) // each window with its description on its own line
            QVERIFY(out.contains(QRegularExpression("\n +" + w.first + " +" + w.second + "\n")));
        QVERIFY(err.isEmpty());

        out.clear();
        QCoreApplication::setApplicationVersion("9.8.7");
        QCOMPARE(CommandLine::answer(parseAfter({"-v"}), "ms", demos, o, e), 0);
        QCOMPARE(out, QString("휴대폰관리 9.8.7\n"));

        out.clear();
        QCOMPARE(CommandLine::answer(parseAfter({"--bogus"}), "ms", demos, o, e), 2);
        QVERIFY(out.isEmpty());
        QCOMPARE(err, QString("알 수 없는 옵션입니다: --bogus\n도움말: ms --help\n"));

        QCOMPARE(CommandLine::answer(parseAfter({}), "ms", demos, o, e), -1);
        QCOMPARE(CommandLine::answer(parseAfter({"--demo", "period"}), "ms", demos, o, e), -1);
    }

    void realProgram_answersWithoutDisplay() {
        const Run help = runProgram({"--help"});
        QCOMPARE(help.code, 0);
        QVERIFY(help.out.startsWith("사용법: mobileshop [옵션]"));
        QVERIFY(help.out.contains("calendar") && help.out.contains("period"));

        const Run version = runProgram({"-platform", "offscreen", "--version"});
        QCOMPARE(version.code, 0);
        QCOMPARE(version.out, QString("휴대폰관리 " MOBILESHOP_VERSION "\n"));

        const Run demo = runProgram({"--demo", "nope"});
        QCOMPARE(demo.code, 2);
        QVERIFY(demo.out.isEmpty());
        QVERIFY(demo.err.contains("알 수 없는 데모 창입니다: nope"));
    }
    void realProgram_refusesWhatQtDidNotTake() {
        // Past QApplication, so this one needs a platform.
        QTemporaryDir dir;
        const QString app = dir.path() + "/app";
        const Run r =
            runProgram({"-platform", "offscreen", "--app-folder", app, "--settings-root", app, "--bogus"}, "offscreen");
        QCOMPARE(r.code, 2);
        QVERIFY(r.err.contains("알 수 없는 옵션입니다: --bogus\n도움말: mobileshop --help"));
        QVERIFY(!QFile::exists(app)); // ended before preparing any folder
    }
};

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
