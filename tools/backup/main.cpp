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
#include "AppPaths.h"
#include "BackupRun.h"
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

} // namespace

int main(int argc, char *argv[]) {
    const bool window = !hasOption(argc, argv, "--no-window");
    std::unique_ptr<QCoreApplication> app;
    if (window) {
        app = std::make_unique<QApplication>(argc, argv);
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
