#pragma once
#include "Shell.h"
#include <QString>

// The companion programs (FirstCheck, FloatMsg, the backup program 데이터압축) are started
// only through here, so that one that is missing or does not start is always reported to the
// user in a warning naming it, instead of the program ending or going on silently.
namespace Companions {

// File names of the companion programs, without the platform's suffix.
inline const QString kFirstCheck = QStringLiteral("FirstCheck");
inline const QString kFloatMsg = QStringLiteral("FloatMsg");
inline const QString kBackupTool = QStringLiteral("데이터압축");

// The Korean name the boxes give the companion, with its file name: "데이터백업 프로그램 (데이터압축)".
QString describe(const QString &baseName);

// True when AppPaths::toolPath finds it; otherwise shows the "not found" warning with the
// folders looked in.
bool available(const QString &baseName);

// Finds and starts the companion as Shell::start does. Not found, not started or crashed:
// shows a warning and returns Shell::kNotStarted or Shell::kCrashed.
int start(const QString &baseName, const QString &argumentText, const QString &workingDir, Shell::Show show, bool wait);

} // namespace Companions
