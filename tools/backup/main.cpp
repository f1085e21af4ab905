// The backup program "데이터압축". Started by the program as it closes, it waits until the
// program has ended, zips the database folder (read back before it counts) and shows the
// result. With --restore [archive] it puts an archive back, keeping the replaced files.
//
//   데이터압축 [SERVERUP|AS|HDDAUTO] [--restore [archive] [--yes]] [--no-window]
//              [--wait-lock file] [--wait-seconds n] [--app-folder dir] [--settings-root dir]
//
// The database folder comes from the settings ("Backup" / "DB경로" / "경로"), the server
// backup folder from "Backup" / "서버백업" / "경로"; the program's lock file from
// "Backup" / "Program" / "LockFile" unless --wait-lock names it. The application folder's
// IMG goes into the archive with the database folder.
#include "AppIdentity.h"
#include "AppPaths.h"
#include "AppState.h"
#include "BackupRun.h"
#include "CommandHelp.h"
#include "DisplayCheck.h"
#include "QtKorean.h"
#include "WindowReporter.h"
#include <QApplication>
#include <QTextStream>
#include <cstring>
#include <memory>

namespace {

class ConsoleReporter final : public Reporter {
public:
    void status(const QString &text) override { QTextStream(stdout) << text << Qt::endl; }
    bool confirm(const QString &) override { return false; } // only --yes confirms
    QString chooseArchive(const QString &) override { return {}; }
    bool cancelled() override { return false; }
    void finished(bool ok, const QString &text) override { QTextStream(ok ? stdout : stderr) << text << Qt::endl; }
};

bool hasOption(int argc, char *argv[], const char *name) {
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], name) == 0)
            return true;
    return false;
}

// What --help lists; RunOptions reads them.
QList<QCommandLineOption> documentedOptions() {
    const auto option = [](const char *name, const char *text, const char *value = nullptr) {
        return QCommandLineOption(QString::fromUtf8(name), QString::fromUtf8(text),
                                  value ? QString::fromUtf8(value) : QString());
    };
    return {option("restore", "백업 파일을 되돌립니다 (파일을 주지 않으면 고르는 창)", "[파일]"),
            option("yes", "되돌리기를 묻지 않고 합니다"),
            option("no-window", "창 없이 결과를 터미널에 씁니다"),
            option("wait-lock", "이 잠금 파일이 풀릴 때까지(프로그램이 끝날 때까지) 기다립니다", "파일"),
            option("wait-seconds", "그만큼만 기다립니다", "초"),
            option("app-folder", "데이터 폴더", "폴더"),
            option("settings-root", "설정 파일 폴더", "폴더")};
}

} // namespace

int main(int argc, char *argv[]) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    QTextStream out(stdout);
    const QString program = QStringLiteral("데이터압축");
    const CommandHelp::Command command{
        program, QStringLiteral("[SERVERUP|AS|HDDAUTO] [옵션]"),
        QStringLiteral(
            "휴대폰관리의 백업 프로그램입니다. 프로그램이 끝나기를 기다려 데이터베이스 폴더와 사진을\n"
            "압축해 둡니다(없으면 이 PC의 Backup 폴더, SERVERUP 은 서버 백업 폴더, AS 는 AS 백업, HDDAUTO 는\n"
            "묻지 않는 자동 백업). --restore 로 되돌립니다.\n"),
        CommandHelp::versionLine(program, AppState::title())};
    if (CommandHelp::answerHelpOrVersion(arguments, documentedOptions(), command, out) == 0)
        return 0;
    const bool window = !hasOption(argc, argv, "--no-window");
    if (window && !DisplayCheck::ready(argc, argv))
        return DisplayCheck::kNoDisplayExit;
    std::unique_ptr<QCoreApplication> app;
    if (window) {
        app = std::make_unique<QApplication>(argc, argv);
        InstallAppIdentity();
        InstallQtKorean();
    } else
        app = std::make_unique<QCoreApplication>(argc, argv);
    AppPaths::initFromArguments(QCoreApplication::arguments());

    std::unique_ptr<Reporter> reporter;
    if (window)
        reporter = std::make_unique<WindowReporter>();
    else
        reporter = std::make_unique<ConsoleReporter>();
    const RunOptions options = RunOptions::parse(QCoreApplication::arguments());
    int code = 2;
    if (!options.error.isEmpty())
        reporter->finished(false, options.error);
    else
        code = options.restore ? runRestore(options, *reporter) : runBackup(options, *reporter);
    if (window)
        app->exec(); // the result stays until the user closes it
    return code;
}
