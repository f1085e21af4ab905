#include "Companions.h"
#include "AppPaths.h"
#include "Messages.h"
#include <QDir>
#include <QFileInfo>

namespace Companions {

QString describe(const QString &baseName) {
    QString what;
    if (baseName == kFirstCheck)
        what = QStringLiteral("데이터베이스 점검 프로그램");
    else if (baseName == kFloatMsg)
        what = QStringLiteral("알림 메시지 프로그램");
    else if (baseName == kBackupTool)
        what = QStringLiteral("데이터백업 프로그램");
    else
        return baseName;
    return what + QStringLiteral(" (") + baseName + QLatin1Char(')');
}

bool available(const QString &baseName) {
    if (QFileInfo(AppPaths::toolPath(baseName)).isFile())
        return true;
    QStringList folders;
    for (const QString &f : AppPaths::toolFolders())
        folders << QStringLiteral("  ") + QDir::toNativeSeparators(f);
    MsgWarn(QStringLiteral("다음 프로그램을 찾을 수 없습니다.\r\n") + describe(baseName) +
            QStringLiteral("\r\n\r\n찾아본 폴더:\r\n") + folders.join(QStringLiteral("\r\n")) +
            QStringLiteral("\r\n\r\n프로그램을 다시 설치하세요."));
    return false;
}

int start(const QString &baseName, const QString &argumentText, const QString &workingDir, Shell::Show show,
          bool wait) {
    if (!available(baseName))
        return Shell::kNotStarted;
    const QString program = QDir::toNativeSeparators(AppPaths::toolPath(baseName));
    const int result = shell().start(program, argumentText, workingDir, show, wait);
    if (result == Shell::kNotStarted)
        MsgWarn(QStringLiteral("다음 프로그램을 실행할 수 없습니다.\r\n") + describe(baseName) +
                QStringLiteral("\r\n경로) ") + program);
    else if (wait && result == Shell::kCrashed)
        MsgWarn(QStringLiteral("다음 프로그램이 비정상적으로 끝났습니다.\r\n") + describe(baseName) +
                QStringLiteral("\r\n경로) ") + program);
    return result;
}

} // namespace Companions
