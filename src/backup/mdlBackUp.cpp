#include "mdlBackUp.h"
#include "AppPaths.h"
#include "AppState.h"
#include "Backup.h"
#include "Companions.h"
#include "ErrorBox.h"
#include "Messages.h"
#include "NetDrives.h"
#include "ServerFolder.h"
#include "Settings.h"
#include "Shell.h"
#include "frmMsgBackUp.h"
#include "modFrmCtrl.h"
#include <QDateTime>
#include <QDir>
#include <QFileInfo>

namespace mdlBackUp {

namespace {
const QString kModule = QStringLiteral("Module mdlBackUp");

// The backup program must not work on a stale folder: a store that cannot be written stops
// the backup.
void store(const QString &section, const QString &key, const QString &value) {
    if (!Settings::SaveSetting(Backup::kSettingsApp, section, key, value))
        throw AppError(75, QStringLiteral("경로/파일 액세스 오류: ") + Settings::storeFile(Backup::kSettingsApp));
}

template <typename Fn> bool guarded(const QString &procedure, bool onError, Fn &&fn) {
    try {
        return fn();
    } catch (const AppError &e) {
        ErrorBox::report(e, procedure, kModule);
    } catch (const std::exception &e) {
        ErrorBox::report(5, QString::fromLocal8Bit(e.what()), procedure, kModule);
    }
    return onError;
}

// Tells the backup program where to work and which lock to wait for, then starts it.
bool startTool(const QString &arguments, const QString &dbFolder) {
    if (!dbFolder.isEmpty())
        store(Backup::kFolderSection, Backup::kFolderKey, dbFolder);
    store(Backup::kProgramSection, Backup::kLockKey, Backup::programLockFile());
    // Closing the program in the belief that the backup program runs would lose its work unseen.
    if (Companions::start(Backup::toolName(), arguments, QString(), Shell::Show::Normal, false) < 0)
        return false;
    Backup::setStarted();
    return true;
}
} // namespace

bool ExecBackUp(int mode, bool noAsk, const QString &keepWindow, const QString &dbFolder) {
    if (Backup::started())
        return false;
    return guarded(QStringLiteral("ExecBackUp"), false, [&] {
        if (!Companions::available(Backup::toolName()))
            return false;
        if (!noAsk) {
            const QString question = QStringLiteral("안전한 백업을 위하여 현재 사용중인 ") + AppState::title() +
                                     QStringLiteral(" 프로그램을 종료합니다.\r\n계속하시겠습니까?");
            if (MsgAsk(question, QStringLiteral("데이터 백업(") + Backup::modeLabel(mode) + QLatin1Char(')')) != vbYes)
                return false;
        }
        if (mode == Backup::Server && ServerFolder::ensure(dbFolder).isEmpty())
            return false;
        if (!keepWindow.isEmpty())
            CloseAllFormsExcept(keepWindow);
        return startTool(Backup::argumentText(mode), dbFolder);
    });
}

bool OfferRestore(const QString &dbFolder) {
    return guarded(QStringLiteral("OfferRestore"), false, [&] {
        const QString archive = Backup::newestArchive(netDrives().localPath(dbFolder));
        if (archive.isEmpty()) {
            MsgWarn(QStringLiteral("데이터베이스 파일이 손상되어 열 수 없습니다.\r\n복원할 백업 파일이 없습니다. "
                                   "구입처에 문의하세요."));
            return false;
        }
        const QString question =
            QStringList{QStringLiteral("데이터베이스 파일이 손상되어 열 수 없습니다."),
                        QStringLiteral("가장 최근의 백업으로 복원하시겠습니까?"), QString(),
                        QDir::toNativeSeparators(archive),
                        QFileInfo(archive).lastModified().toString(QStringLiteral("yyyy-MM-dd HH:mm"))}
                .join(QStringLiteral("\r\n"));
        return RestoreArchive(archive, dbFolder, question);
    });
}

bool RestoreArchive(const QString &archive, const QString &dbFolder, const QString &question) {
    return guarded(QStringLiteral("RestoreArchive"), false, [&] {
        if (Backup::started() || MsgAsk(question, QStringLiteral("데이터 복원")) != vbYes ||
            !Companions::available(Backup::toolName()))
            return false;
        QString folder = QDir::toNativeSeparators(dbFolder);
        if (!folder.endsWith(QDir::separator()))
            folder += QDir::separator();
        return startTool(QStringLiteral("--restore \"%1\" --yes").arg(QDir::toNativeSeparators(archive)), folder);
    });
}

bool ExecBackUpAuto(const QString &keepWindow, const QString &dbFolder, const QPixmap &picture) {
    if (Backup::started())
        return true; // a backup is already waiting for the program to end
    return guarded(QStringLiteral("ExecBackUpAuto"), true, [&] {
        qint16 result = frmMsgBackUp::StayOpen;
        {
            frmMsgBackUp question(mainWindow());
            if (!picture.isNull())
                question.setPicture(picture);
            question.exec();
            result = question.Result();
        }
        // A backup that could not start has told the user so; the program still closes.
        switch (result) {
        case frmMsgBackUp::ToServer:
            // No server folder chosen: back to the program rather than closing without a backup.
            if (QFileInfo(AppPaths::toolPath(Backup::toolName())).isFile() && ServerFolder::ensure(dbFolder).isEmpty())
                return false;
            ExecBackUp(Backup::Server, true, keepWindow, dbFolder);
            return true;
        case frmMsgBackUp::ToThisPC: ExecBackUp(Backup::HardDisk, true, keepWindow, dbFolder); return true;
        case frmMsgBackUp::CloseWithoutBackUp: return true;
        default: return false;
        }
    });
}

} // namespace mdlBackUp
