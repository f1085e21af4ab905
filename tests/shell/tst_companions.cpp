#include "AppPaths.h"
#include "AppState.h"
#include "Companions.h"
#include "EnvFixture.h"
#include "Settings.h"
#include "modMain.h"
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTest>

namespace {
// A file that the lookup finds; executable runs it as a shell script.
void writeTool(const QString &path, const QByteArray &script = {}) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(script);
    f.close();
    if (!script.isEmpty())
        QVERIFY(f.setPermissions(f.permissions() | QFileDevice::ExeOwner));
}

QString programDir() { return QCoreApplication::applicationDirPath(); }
} // namespace

class TestCompanions : public EnvFixture {
    Q_OBJECT

private Q_SLOTS:
    void lookup_toolsDirReplacesTheDefaults() {
        const QString hidden = env->hideTools();
        QCOMPARE(AppPaths::toolFolders(), (QStringList{env->appFolder(), programDir(), hidden}));
        QCOMPARE(AppPaths::toolPath("FirstCheck"), env->appFolder() + "/FirstCheck"); // the expected place
        // A tool in a folder of its own below it, as in a build tree; the app folder wins over it.
        writeTool(hidden + "/firstcheck/FirstCheck");
        QCOMPARE(AppPaths::toolPath("FirstCheck"), hidden + "/firstcheck/FirstCheck");
        writeTool(env->appFolder() + "/FirstCheck");
        QCOMPARE(AppPaths::toolPath("FirstCheck"), env->appFolder() + "/FirstCheck");
    }
    void lookup_withoutToolsDir_installedAndBuildFolders() {
        qunsetenv("MOBILESHOP_TOOLS_DIR");
        const QStringList folders = AppPaths::toolFolders();
        QCOMPARE(folders.mid(0, 3), (QStringList{env->appFolder(), programDir(),
                                                 QDir::cleanPath(programDir() + "/../libexec/mobileshop")}));
        // This test runs from the build tree, where the built companions are found as they are.
        const QString built = AppPaths::toolPath("FirstCheck");
        QVERIFY2(built.endsWith("/tools/firstcheck/FirstCheck"), qPrintable(built));
        QVERIFY(QFileInfo(built).isExecutable());

        // The installed layout: bin/ beside libexec/mobileshop/, which comes before the build's.
        const QString installed = QDir::cleanPath(programDir() + "/../libexec/mobileshop/FirstCheck");
        QVERIFY(!QFile::exists(installed));
        writeTool(installed);
        const QString found = AppPaths::toolPath("FirstCheck");
        QFile::remove(installed);
        QDir().rmdir(QFileInfo(installed).absolutePath());
        QCOMPARE(found, installed);
    }

    void missing_reportedNamingTheProgramAndFolders() {
        const QString hidden = env->hideTools();
        QVERIFY(!modMain::RunFirstCheck("/DBS/dbMain.db", "local_user"));
        QCOMPARE(env->shell.starts.size(), 0);
        QCOMPARE(env->prompter.boxes().size(), 1);
        const auto box = env->prompter.boxes().first();
        QCOMPARE(box.icon, Prompter::Icon::Warning);
        QCOMPARE(box.title, AppState::title());
        QCOMPARE(box.text, "다음 프로그램을 찾을 수 없습니다.\r\n데이터베이스 점검 프로그램 (FirstCheck)\r\n\r\n"
                           "찾아본 폴더:\r\n  " +
                               env->appFolder() + "\r\n  " + programDir() + "\r\n  " + hidden +
                               "\r\n\r\n프로그램을 다시 설치하세요.");
    }
    void notStarted_reportedWithItsPath() {
        const QString hidden = env->hideTools();
        writeTool(hidden + "/FirstCheck"); // there, but not a program
        Shell::install(nullptr);
        QCOMPARE(Companions::start("FirstCheck", " x|y", env->appFolder(), Shell::Show::Normal, true),
                 Shell::kNotStarted);
        QCOMPARE(env->prompter.texts(), QStringList{"다음 프로그램을 실행할 수 없습니다.\r\n"
                                                    "데이터베이스 점검 프로그램 (FirstCheck)\r\n경로) " +
                                                    hidden + "/FirstCheck"});
        env->prompter.clear();
        Shell::install(&env->shell); // detached starts that fail, as the backup program's would
        env->shell.onStart = [](const RecordingShell::Call &) { return Shell::kNotStarted; };
        writeTool(hidden + "/데이터압축");
        QCOMPARE(Companions::start("데이터압축", "", "", Shell::Show::Normal, false), Shell::kNotStarted);
        QCOMPARE(env->shell.starts.size(), 1);
        QCOMPARE(env->prompter.texts().size(), 1);
        QVERIFY(env->prompter.texts().first().startsWith(
            "다음 프로그램을 실행할 수 없습니다.\r\n데이터백업 프로그램 (데이터압축)"));
    }
    void crashed_reportedButExitCodesAreNot() {
        const QString hidden = env->hideTools();
        Shell::install(nullptr);
        writeTool(hidden + "/FirstCheck", "#!/bin/sh\nkill -SEGV $$\n");
        QCOMPARE(Companions::start("FirstCheck", "", env->appFolder(), Shell::Show::Normal, true), Shell::kCrashed);
        QCOMPARE(env->prompter.boxes().size(), 1);
        QVERIFY(env->prompter.texts().first().startsWith("다음 프로그램이 비정상적으로 끝났습니다.\r\n"
                                                         "데이터베이스 점검 프로그램 (FirstCheck)"));
        // Failing its check is the program's answer, not a fault in starting it.
        writeTool(hidden + "/FirstCheck", "#!/bin/sh\nexit 1\n");
        QCOMPARE(Companions::start("FirstCheck", "", env->appFolder(), Shell::Show::Normal, true), 1);
        QCOMPARE(env->prompter.boxes().size(), 1);
    }
    void startsThroughTheShellWithItsArguments() {
        QCOMPARE(Companions::start("FloatMsg", " hi/T5", "/w", Shell::Show::NoActivate, false), 0);
        QCOMPARE(env->shell.starts.size(), 1);
        const auto call = env->shell.starts.first();
        QCOMPARE(call.program, QDir::toNativeSeparators(AppPaths::toolPath("FloatMsg")));
        QCOMPARE(call.argumentText, QString(" hi/T5"));
        QCOMPARE(call.workingDir, QString("/w"));
        QCOMPARE(call.show, Shell::Show::NoActivate);
        QVERIFY(!call.wait);
        QVERIFY(env->prompter.boxes().isEmpty());
    }
};

QTEST_MAIN(TestCompanions)
#include "tst_companions.moc"
