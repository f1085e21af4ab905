#include "NetSetupSettings.h"
#include "AppPaths.h"
#include "AppState.h"
#include "Messages.h"
#include "Settings.h"
#include "modMain.h"
#include <QDir>
#include <QFileInfo>

namespace NetSetupSettings {
namespace {
const QString kEnv = QStringLiteral("환경설정");

QString setting(const QString &key, const QString &def = {}) {
    return Settings::GetSetting(AppState::title(), kEnv, key, def);
}

bool store(const QString &key, const QString &value) {
    return Settings::SaveSetting(AppState::title(), kEnv, key, value);
}
} // namespace

Stored load() {
    Stored s;
    s.serverPath = setting(QStringLiteral("네트웍경로"));
    s.drive = setting(QStringLiteral("네트웍드라이브"));
    const int stored = setting(QStringLiteral("CSType"), QStringLiteral("0")).toInt();
    s.csType = stored == kClient || stored == kDbServer ? stored : kServer;
    return s;
}

QString shareName() { return QFileInfo(QDir::cleanPath(AppPaths::appFolder())).fileName(); }

QString databaseFolder(int csType, const QString &drive) {
    return csType == kClient ? drive + QStringLiteral("\\DBS") : AppPaths::inApp(QStringLiteral("DBS"));
}

bool save(int csType, const QString &serverPath, const QString &drive) {
    bool ok = true;
    if (csType == kClient) {
        ok = store(QStringLiteral("네트웍경로"), serverPath) && ok;
        ok = store(QStringLiteral("네트웍드라이브"), drive) && ok;
    }
    modMain::SetDBPath(databaseFolder(csType, drive));
    ok = store(QStringLiteral("CSType"), QString::number(csType)) && ok;
    gCSType = csType;
    if (!ok)
        MsgWarn(QStringLiteral("설정을 저장하지 못했습니다.\r\n파일에 쓸 수 있는지 확인하세요.\r\n\r\n") +
                QDir::toNativeSeparators(Settings::storeFile(AppState::title())));
    return ok;
}

} // namespace NetSetupSettings
