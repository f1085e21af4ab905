#include "Backup.h"
#include "BackupArchive.h"
#include "Clock.h"
#include "ErrorBox.h"
#include "Messages.h"
#include "NetDrives.h"
#include "mdlBackUp.h"
#include <QCursor>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>

namespace mdlBackUp {

namespace {

// Nothing else of the program runs yet, and this run holds the single-instance lock, so the
// restore need not wait for the program to end as the backup program does.
bool restoreMissing(const QString &dbFolder) {
    const QString folder = netDrives().localPath(dbFolder);
    const QString archive = Backup::newestArchive(folder);
    if (archive.isEmpty()) {
        MsgWarn(QStringLiteral("데이터베이스 파일이 없습니다.\r\n복원할 백업 파일이 없습니다. 구입처에 문의하세요."));
        return false;
    }
    const QString question =
        QStringList{QStringLiteral("데이터베이스 파일이 없습니다."),
                    QStringLiteral("가장 최근의 백업으로 복원하시겠습니까? (아니요: 프로그램 종료)"), QString(),
                    QDir::toNativeSeparators(archive),
                    QFileInfo(archive).lastModified().toString(QStringLiteral("yyyy-MM-dd HH:mm"))}
            .join(QStringLiteral("\r\n"));
    if (MsgAsk(question, QStringLiteral("데이터 복원")) != vbYes)
        return false;

    BackupArchive::RestoreOptions options;
    options.picturesFolder = Backup::picturesFolder();
    BackupArchive::Outcome out;
    {
        struct Busy {
            Busy() { QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor)); }
            ~Busy() { QGuiApplication::restoreOverrideCursor(); }
        } busy;
        out = BackupArchive::restore(archive, folder, appClock().now().toString(QStringLiteral("yyyyMMdd_HHmmss")),
                                     options);
    }
    if (!out.ok) {
        MsgWarn(QStringLiteral("복원하지 못했습니다.\r\n") + out.message);
        return false;
    }
    QString text = QStringLiteral("복원이 완료되었습니다.");
    if (!out.asideFolder.isEmpty())
        text += QStringLiteral("\r\n이전 파일: ") + QDir::toNativeSeparators(out.asideFolder);
    if (!out.picturesAsideFolder.isEmpty())
        text += QStringLiteral("\r\n이전 그림 파일: ") + QDir::toNativeSeparators(out.picturesAsideFolder);
    MsgInfo(text);
    return true;
}

} // namespace

bool RestoreAtStartUp(const QString &dbFolder, modMDB_Func::OpenProblem why) {
    if (why == modMDB_Func::OpenProblem::Damaged) {
        OfferRestore(dbFolder);
        return false;
    }
    if (why != modMDB_Func::OpenProblem::Missing)
        return false;
    try {
        return restoreMissing(dbFolder);
    } catch (const AppError &e) {
        ErrorBox::report(e, QStringLiteral("RestoreAtStartUp"), QStringLiteral("Module mdlBackUp"));
    } catch (const std::exception &e) {
        ErrorBox::report(5, QString::fromLocal8Bit(e.what()), QStringLiteral("RestoreAtStartUp"),
                         QStringLiteral("Module mdlBackUp"));
    }
    return false;
}

} // namespace mdlBackUp
