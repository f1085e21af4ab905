#include "BackupRun.h"
#include "AppPaths.h"
#include "Backup.h"
#include "BackupArchive.h"
#include "Clock.h"
#include "Settings.h"
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QRegularExpression>
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

QString warningsText(const BackupArchive::Outcome &out) {
    return out.warnings.isEmpty() ? QString() : QStringLiteral("\n\n") + out.warnings.join(QLatin1Char('\n'));
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
    if (!QDir(folder).exists()) {
        reporter.finished(false, QStringLiteral("데이터베이스 폴더가 없습니다.\n") + QDir::toNativeSeparators(folder));
        return 1;
    }
    QString error;
    std::unique_ptr<QLockFile> lock;
    if (!waitForProgramEnd(o, reporter, &lock, &error)) {
        reporter.finished(false, QStringLiteral("백업하지 못했습니다.\n") + error);
        return 1;
    }
    // A chosen server folder that is gone is not made anew here: on a share that went away
    // the archive would land on this PC's disk unseen.
    const QString target = Backup::archiveFolder(o.mode, folder);
    if (o.mode == Backup::Server && !Backup::storedServerFolder().isEmpty()) {
        if (const QString problem = Backup::folderProblem(target); !problem.isEmpty()) {
            reporter.finished(false, QStringLiteral("백업하지 못했습니다.\n서버 백업 폴더를 사용할 수 없습니다: ") +
                                         QDir::toNativeSeparators(target) + QLatin1Char('\n') + problem);
            return 1;
        }
    }
    reporter.status(QStringLiteral("백업하는 중입니다..."));
    const QString archive = Backup::newArchivePath(target, folder, appClock().now());
    const BackupArchive::Outcome out = BackupArchive::create(folder, archive, Backup::picturesFolder());
    if (!out.ok) {
        reporter.finished(false, QStringLiteral("백업하지 못했습니다.\n") + out.message);
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
    const QString question = QStringLiteral("다음 백업 파일로 데이터를 복원합니다.\n") +
                             QDir::toNativeSeparators(archive) +
                             QStringLiteral("\n\n지금의 파일은 지우지 않고 따로 옮겨 둡니다.\n") +
                             QDir::toNativeSeparators(folder) + QStringLiteral("\n\n계속하시겠습니까?");
    if (!o.confirmed && !reporter.confirm(question)) {
        reporter.finished(false, QStringLiteral("복원을 취소했습니다."));
        return 2;
    }
    QString error;
    std::unique_ptr<QLockFile> lock;
    if (!waitForProgramEnd(o, reporter, &lock, &error)) {
        reporter.finished(false, QStringLiteral("복원하지 못했습니다.\n") + error);
        return 1;
    }
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
