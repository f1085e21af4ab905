#include "ServerFolder.h"
#include "Backup.h"
#include "ErrorBox.h"
#include "Messages.h"
#include "NetDrives.h"
#include "Prompter.h"
#include "Settings.h"
#include <QDir>
#include <QFileInfo>

namespace ServerFolder {

QString ensure(const QString &databaseFolder) {
    const QString stored =
        Settings::GetSetting(Backup::kSettingsApp, Backup::kServerSection, Backup::kFolderKey).trimmed();
    QString start = stored;
    if (!stored.isEmpty()) {
        const QString problem = Backup::folderProblem(Backup::storedServerFolder());
        if (problem.isEmpty())
            return stored;
        MsgWarn(QStringList{QStringLiteral("서버 백업 폴더를 사용할 수 없습니다."), stored, problem,
                            QStringLiteral("백업할 폴더를 다시 선택하세요.")}
                    .join(QStringLiteral("\r\n")));
    } else if (QString db = databaseFolder; !db.isEmpty()) {
        while (db.size() > 1 && (db.endsWith(QLatin1Char('\\')) || db.endsWith(QLatin1Char('/'))))
            db.chop(1);
        start = QDir::toNativeSeparators(QFileInfo(netDrives().localPath(db)).absolutePath());
    }
    for (;;) {
        const QString chosen =
            QDir::toNativeSeparators(prompter().folder(QStringLiteral("서버 백업 폴더 선택"), start));
        if (chosen.isEmpty())
            return {};
        const QString problem = Backup::folderProblem(netDrives().localPath(chosen));
        if (problem.isEmpty()) {
            // A folder that is not remembered would be asked for at every backup.
            if (!Settings::SaveSetting(Backup::kSettingsApp, Backup::kServerSection, Backup::kFolderKey, chosen))
                throw AppError(75,
                               QStringLiteral("경로/파일 액세스 오류: ") + Settings::storeFile(Backup::kSettingsApp));
            return chosen;
        }
        MsgWarn(QStringList{QStringLiteral("선택한 폴더를 사용할 수 없습니다."), chosen, problem}.join(
            QStringLiteral("\r\n")));
        start = chosen;
    }
}

} // namespace ServerFolder
