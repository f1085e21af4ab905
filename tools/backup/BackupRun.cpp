#include "BackupRun.h"
#include "AppPaths.h"
#include "ArchiveNow.h"
#include "Backup.h"
#include "BackupArchive.h"
#include "Clock.h"
#include "FolderSwap.h"
#include "ServerConnection.h"
#include "ServerDump.h"
#include "Settings.h"
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>
#include <memory>

namespace {

QString databaseFolder() {
    const QString stored = Backup::storedDatabaseFolder();
    return stored.isEmpty() ? AppPaths::inApp(QStringLiteral("DBS")) : stored;
}

QString lockFile(const RunOptions &o) {
    if (!o.waitLock.isEmpty())
        return o.waitLock;
    const QString stored = Settings::GetSetting(Backup::kSettingsApp, Backup::kProgramSection, Backup::kLockKey);
    return stored.isEmpty() ? Backup::programLockFile() : stored;
}

// Takes the running program's own single-instance lock once the program has ended, and
// keeps it for the rest of the run, so that nobody starts the program on a half-written
// folder. A lock left by a program that died counts as free.
bool waitForProgramEnd(const RunOptions &o, Reporter &reporter, std::unique_ptr<QLockFile> *held, QString *error) {
    const QString path = lockFile(o);
    auto lock = std::make_unique<QLockFile>(path);
    lock->setStaleLockTime(0);
    QDir().mkpath(QFileInfo(path).absolutePath());
    const QDeadlineTimer deadline(qint64(o.waitSeconds) * 1000);
    bool told = false;
    while (!lock->tryLock(0)) {
        if (lock->error() != QLockFile::LockFailedError) {
            *error = QStringLiteral("잠금 파일을 만들 수 없습니다: ") + path;
            return false;
        }
        if (!told) {
            reporter.status(QStringLiteral("프로그램이 종료되기를 기다리는 중입니다..."));
            told = true;
        }
        if (reporter.cancelled()) {
            *error = QStringLiteral("취소되었습니다.");
            return false;
        }
        if (deadline.hasExpired()) {
            *error = QStringLiteral("프로그램이 종료되지 않았습니다.");
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        QThread::msleep(100);
    }
    *held = std::move(lock);
    return true;
}

// Asks first unless --yes, then waits for the program to end and keeps its lock: 0 when the
// restore may go on, else the exit code, the reason already reported.
int confirmAndWait(const RunOptions &o, Reporter &reporter, const QString &question, std::unique_ptr<QLockFile> *lock) {
    if (!o.confirmed && !reporter.confirm(question)) {
        reporter.finished(false, QStringLiteral("복원을 취소했습니다."));
        return 2;
    }
    QString error;
    if (!waitForProgramEnd(o, reporter, lock, &error)) {
        reporter.finished(false, QStringLiteral("복원하지 못했습니다.\n") + error);
        return 1;
    }
    return 0;
}

QString warningsText(const BackupArchive::Outcome &out) {
    return out.warnings.isEmpty() ? QString() : QStringLiteral("\n\n") + out.warnings.join(QLatin1Char('\n'));
}

// A chosen server folder that is gone is not made anew here: on a share that went away
// the archive would land on this PC's disk unseen.
bool archiveTarget(const RunOptions &o, const QString &folder, QString *target, QString *error) {
    *target = Backup::archiveFolder(o.mode, folder);
    if (o.mode != Backup::Server || Backup::storedServerFolder().isEmpty())
        return true;
    const QString problem = Backup::folderProblem(*target);
    if (!problem.isEmpty())
        *error = QStringLiteral("서버 백업 폴더를 사용할 수 없습니다: ") + QDir::toNativeSeparators(*target) +
                 QLatin1Char('\n') + problem;
    return problem.isEmpty();
}

// Pictures an archive from before the server kept them (IMG/ beside the dump) come back as a
// file archive's do: today's set aside.
QString swapPicturesIn(const QString &staging, const QString &stamp) {
    const QString unpacked = staging + QStringLiteral("/IMG");
    if (!QFileInfo(unpacked).isDir())
        return {};
    QDir().mkpath(Backup::picturesFolder());
    FolderSwap pictures(Backup::picturesFolder(), {});
    if (pictures.swapIn(unpacked, QStringLiteral("_before_restore_") + stamp) != FolderSwap::Done) {
        pictures.undo();
        return QStringLiteral("\n그림 파일은 복원하지 못했습니다 (사용 중인 파일이 있습니다).");
    }
    return pictures.asideFolder().isEmpty()
               ? QString()
               : QStringLiteral("\n이전 그림 파일: ") + QDir::toNativeSeparators(pictures.asideFolder());
}

int runServerRestore(const RunOptions &o, Reporter &reporter, const QString &archive) {
    const ServerConnection server = ServerConnection::load();
    const QString folder = databaseFolder();
    QTemporaryDir staging(QFileInfo(Backup::picturesFolder()).absolutePath() + QStringLiteral("/.restore-XXXXXX"));
    const BackupArchive::Outcome unpacked =
        staging.isValid() ? BackupArchive::extract(archive, staging.path()) : BackupArchive::Outcome{};
    if (!unpacked.ok) {
        reporter.finished(false, QStringLiteral("복원하지 못했습니다.\n") +
                                     (unpacked.message.isEmpty() ? QStringLiteral("복원용 폴더를 만들 수 없습니다.")
                                                                 : unpacked.message));
        return 1;
    }
    if (!unpacked.entries.contains(ServerDump::kEntryName)) {
        reporter.finished(false, QStringLiteral("복원하지 못했습니다.\n이 백업 파일에는 서버 데이터베이스가 "
                                                "없습니다. 이 PC만 쓰던 때의 백업은 db-migrate 로 서버에 옮깁니다."));
        return 1;
    }
    const QString question = QStringLiteral("다음 백업 파일로 서버의 데이터를 복원합니다.\n") +
                             QDir::toNativeSeparators(archive) + QStringLiteral("\n\n서버: ") + server.describe() +
                             QStringLiteral("\n\n지금 서버에 있는 데이터는 먼저 따로 백업해 둡니다.\n다른 PC의 "
                                            "프로그램은 모두 닫아 주세요.\n\n계속하시겠습니까?");
    std::unique_ptr<QLockFile> lock;
    if (const int refused = confirmAndWait(o, reporter, question, &lock))
        return refused;
    QString error;
    // What the server holds now is kept first, so that a restore of the wrong archive can be undone.
    reporter.status(QStringLiteral("지금의 데이터를 백업하는 중입니다..."));
    const BackupArchive::Outcome before =
        ArchiveNow::take(folder, Backup::archiveFolder(Backup::HardDisk, folder), &error);
    if (!before.ok) {
        reporter.finished(false, QStringLiteral("복원하지 못했습니다. 지금의 데이터를 먼저 백업할 수 없습니다.\n") +
                                     (error.isEmpty() ? before.message : error));
        return 1;
    }
    reporter.status(QStringLiteral("복원하는 중입니다..."));
    if (!ServerDump::restore(server, staging.filePath(ServerDump::kEntryName), &error)) {
        reporter.finished(false, QStringLiteral("복원하지 못했습니다. 서버의 데이터는 그대로입니다.\n") + error);
        return 1;
    }
    const QString stamp = appClock().now().toString(QStringLiteral("yyyyMMdd_HHmmss"));
    reporter.finished(true, QStringLiteral("복원이 완료되었습니다.\n복원 전 데이터: ") +
                                QDir::toNativeSeparators(before.archive) + swapPicturesIn(staging.path(), stamp));
    return 0;
}

} // namespace

RunOptions RunOptions::parse(const QStringList &arguments) {
    RunOptions o;
    QStringList words;
    const auto valueAfter = [&](qsizetype &i) {
        if (i + 1 < arguments.size())
            return arguments.at(++i);
        o.error = arguments.at(i) + QStringLiteral(": 값이 없습니다.");
        return QString();
    };
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString a = arguments.at(i);
        if (a == QLatin1String("--no-window")) {
            o.window = false;
        } else if (a == QLatin1String("--yes")) {
            o.confirmed = true;
        } else if (a == QLatin1String("--restore")) {
            o.restore = true;
            if (i + 1 < arguments.size() && !arguments.at(i + 1).startsWith(QLatin1String("--")))
                o.archive = arguments.at(++i);
        } else if (a == QLatin1String("--wait-lock")) {
            o.waitLock = valueAfter(i);
        } else if (a == QLatin1String("--wait-seconds")) {
            o.waitSeconds = valueAfter(i).toInt();
        } else if (a == QLatin1String("--app-folder") || a == QLatin1String("--settings-root")) {
            ++i; // read by AppPaths
        } else if (a.startsWith(QLatin1String("--"))) {
            o.error = a + QStringLiteral(": 알 수 없는 옵션입니다.");
        } else {
            words << a.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
        }
    }
    o.mode = Backup::modeFromArguments(words);
    return o;
}

int runBackup(const RunOptions &o, Reporter &reporter) {
    const QString folder = databaseFolder();
    if (!ServerConnection::chosen() && !QDir(folder).exists()) {
        reporter.finished(false, QStringLiteral("데이터베이스 폴더가 없습니다.\n") + QDir::toNativeSeparators(folder));
        return 1;
    }
    QString error;
    std::unique_ptr<QLockFile> lock;
    if (!waitForProgramEnd(o, reporter, &lock, &error)) {
        reporter.finished(false, QStringLiteral("백업하지 못했습니다.\n") + error);
        return 1;
    }
    QString target;
    if (!archiveTarget(o, folder, &target, &error)) {
        reporter.finished(false, QStringLiteral("백업하지 못했습니다.\n") + error);
        return 1;
    }
    reporter.status(QStringLiteral("백업하는 중입니다..."));
    const BackupArchive::Outcome out = ArchiveNow::take(folder, target, &error);
    if (!out.ok) {
        reporter.finished(false, QStringLiteral("백업하지 못했습니다.\n") + (error.isEmpty() ? out.message : error));
        return 1;
    }
    reporter.finished(true, QStringLiteral("백업이 완료되었습니다.\n") + QDir::toNativeSeparators(out.archive) +
                                QStringLiteral("\n파일 %1개를 다시 읽어 확인했습니다.").arg(out.entries.size()) +
                                warningsText(out));
    return 0;
}

int runRestore(const RunOptions &o, Reporter &reporter) {
    const QString folder = databaseFolder();
    QString archive = o.archive;
    if (archive.isEmpty())
        archive = reporter.chooseArchive(Backup::archiveFolder(o.mode, folder));
    if (archive.isEmpty()) {
        reporter.finished(false, QStringLiteral("복원할 백업 파일을 고르지 않았습니다."));
        return 2;
    }
    // A damaged archive is refused before anything is asked or touched.
    const BackupArchive::Outcome checked = BackupArchive::verify(archive);
    if (!checked.ok) {
        reporter.finished(false, QStringLiteral("복원하지 못했습니다.\n") + checked.message);
        return 1;
    }
    if (ServerConnection::chosen())
        return runServerRestore(o, reporter, archive);
    const QString question = QStringLiteral("다음 백업 파일로 데이터를 복원합니다.\n") +
                             QDir::toNativeSeparators(archive) +
                             QStringLiteral("\n\n지금의 파일은 지우지 않고 따로 옮겨 둡니다.\n") +
                             QDir::toNativeSeparators(folder) + QStringLiteral("\n\n계속하시겠습니까?");
    std::unique_ptr<QLockFile> lock;
    if (const int refused = confirmAndWait(o, reporter, question, &lock))
        return refused;
    reporter.status(QStringLiteral("복원하는 중입니다..."));
    const QString stamp = appClock().now().toString(QStringLiteral("yyyyMMdd_HHmmss"));
    BackupArchive::RestoreOptions options;
    options.picturesFolder = Backup::picturesFolder();
    const BackupArchive::Outcome out = BackupArchive::restore(archive, folder, stamp, options);
    if (!out.ok) {
        reporter.finished(false, QStringLiteral("복원하지 못했습니다.\n") + out.message);
        return 1;
    }
    QString text = QStringLiteral("복원이 완료되었습니다.");
    if (!out.asideFolder.isEmpty())
        text += QStringLiteral("\n이전 파일: ") + QDir::toNativeSeparators(out.asideFolder);
    if (!out.picturesAsideFolder.isEmpty())
        text += QStringLiteral("\n이전 그림 파일: ") + QDir::toNativeSeparators(out.picturesAsideFolder);
    reporter.finished(true, text);
    return 0;
}
