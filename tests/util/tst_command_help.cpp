#include "CommandHelp.h"
#include "DisplayCheck.h"
#include <QCommandLineParser>
#include <QRegularExpression>
#include <QTest>
#include <QTextStream>

namespace {
const QCommandLineOption kFile(QStringLiteral("file"), QStringLiteral("dbMain.db 파일"), QStringLiteral("파일"));
const QCommandLineOption kFlag(QStringLiteral("to-server"), QStringLiteral("파일 → 서버"));
const CommandHelp::Command kCommand{"prog", "--to-server --file 파일", "설명입니다.\n", "prog (휴대폰관리) 1.0.0"};

struct Answer {
    int code;
    QString out, err;
};
Answer run(const QStringList &tail) {
    QCommandLineParser parser;
    Answer a;
    QTextStream out(&a.out), err(&a.err);
    a.code = CommandHelp::answer(parser, {kFlag, kFile}, QStringList{"prog"} + tail, kCommand, out, err);
    return a;
}
} // namespace

class TestCommandHelp : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void help_isKoreanAndLinesUpByTerminalColumns() {
        const Answer a = run({"--help"});
        QCOMPARE(a.code, 0);
        // Hangul takes two columns: "  --file 파일" is 13 wide, so its text starts after 15 blanks.
        QCOMPARE(a.out, QString("사용법: prog --to-server --file 파일\n설명입니다.\n\n옵션:\n"
                                "  --to-server" +
                                QString(15, ' ') + "파일 → 서버\n" + "  --file 파일" + QString(15, ' ') +
                                "dbMain.db 파일\n" + "  -h, --help" + QString(16, ' ') + "이 도움말을 보여 줍니다.\n" +
                                "  -v, --version" + QString(13, ' ') + "버전을 보여 줍니다.\n"));
        QVERIFY(a.err.isEmpty());
    }

    void answers_helpVersionAndMistakes() {
        struct Case {
            QStringList tail;
            int code;
            QString out, err;
        };
        const QList<Case> cases{
            {{"-v"}, 0, "prog (휴대폰관리) 1.0.0\n", ""},
            {{"--file", "a", "--version"}, 0, "prog (휴대폰관리) 1.0.0\n", ""},
            {{"--bogus", "-?"}, 0, "사용법: prog", ""}, // help is given even beside a mistake
            {{"--bogus"}, 2, "", "알 수 없는 옵션입니다: --bogus\n도움말: prog --help\n"},
            {{"--file", "a", "-x"}, 2, "", "알 수 없는 옵션입니다: -x\n도움말: prog --help\n"},
            {{"--file=a", "--bogus=1"}, 2, "", "알 수 없는 옵션입니다: --bogus=1\n도움말: prog --help\n"},
            {{"--file"}, 2, "", "--file 다음에 값을 적으세요.\n도움말: prog --help\n"},
            {{"--to-server=yes"}, 2, "", "--to-server 에는 값을 적지 않습니다.\n도움말: prog --help\n"},
            {{"--to-server", "--file", "a"}, -1, "", ""},
        };
        for (const Case &c : cases) {
            const Answer a = run(c.tail);
            const QString what = c.tail.join(' ');
            QVERIFY2(a.code == c.code, qPrintable(what));
            const bool outOk = c.out.isEmpty()        ? a.out.isEmpty()
                               : c.out.endsWith('\n') ? a.out == c.out
                                                      : a.out.startsWith(c.out);
            QVERIFY2(outOk, qPrintable(what + ": " + a.out));
            QVERIFY2(a.err == c.err, qPrintable(what + ": " + a.err));
        }
    }

    void helpOrVersion_onlyAsAnOptionOfItsOwn() {
        const QList<std::pair<QStringList, QString>> cases{
            {{"FloatMsg", "--help"}, "사용법: prog"},
            {{"데이터압축", "SERVERUP", "-?"}, "사용법: prog"},
            {{"FloatMsg", "-h"}, "사용법: prog"},
            {{"FirstCheck", "--version"}, "prog (휴대폰관리) 1.0.0\n"},
            {{"FloatMsg", " 저장했습니다 --help/T500"}, ""}, // a message, not an option
            {{"FloatMsg", "help"}, ""},
            {{"FloatMsg"}, ""},
        };
        for (const auto &[arguments, expected] : cases) {
            QString out;
            QTextStream stream(&out);
            const int code = CommandHelp::answerHelpOrVersion(arguments, {}, kCommand, stream);
            QVERIFY2(code == (expected.isEmpty() ? -1 : 0), qPrintable(arguments.join(' ')));
            QVERIFY2(expected.isEmpty() ? out.isEmpty() : out.startsWith(expected), qPrintable(out));
        }
    }

    void display_askedBeforeQtWouldAbort() {
        struct Case {
            QStringList arguments;
            QStringList environment;
            bool ready;
        };
        const QList<Case> cases{
            {{"p"}, {}, false},
            {{"p"}, {"DISPLAY=:0"}, true},
            {{"p"}, {"WAYLAND_DISPLAY=wayland-0"}, true},
            {{"p"}, {"DISPLAY="}, false},
            {{"p"}, {"QT_QPA_PLATFORM=offscreen"}, true},
            {{"p"}, {"QT_QPA_PLATFORM=xcb", "WAYLAND_DISPLAY=wayland-0"}, false},
            {{"p"}, {"QT_QPA_PLATFORM=wayland;xcb", "DISPLAY=:1"}, true},
            {{"p"}, {"QT_QPA_PLATFORM=wayland-egl"}, false},
            {{"p"}, {"QT_QPA_PLATFORM=vnc:size=800x600"}, true},
            {{"p", "-platform", "offscreen"}, {}, true},
            {{"p", "-platform", "xcb"}, {"QT_QPA_PLATFORM=offscreen"}, false},
            {{"p", "-platform"}, {}, false},
        };
        for (const Case &c : cases) {
            QProcessEnvironment environment;
            for (const QString &pair : c.environment)
                environment.insert(pair.section('=', 0, 0), pair.section('=', 1));
            const QString why = DisplayCheck::missing(c.arguments, environment);
            const QString what = c.arguments.join(' ') + " / " + c.environment.join(' ');
            QVERIFY2(why.isEmpty() == c.ready, qPrintable(what));
            if (!c.ready)
                QVERIFY(why.startsWith("화면(디스플레이)이 없어 창을 열 수 없습니다."));
        }
    }
};

QTEST_GUILESS_MAIN(TestCommandHelp)
#include "tst_command_help.moc"
