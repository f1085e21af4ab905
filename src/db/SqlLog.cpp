#include "SqlLog.h"
#include "AppPaths.h"
#include "AppState.h"
#include "Clock.h"
#include "Settings.h"
#include "modMDB_Func.h"
#include <QDir>
#include <QFile>

namespace SqlLog {

QString fileFor(int day) {
    return AppPaths::inApp(QStringLiteral("log/SQLLog_%1.dat").arg(day, 2, 10, QLatin1Char('0')));
}

bool upkeep(QString *error) {
    const QDate today = appClock().today();
    const QString todayText = today.toString(QStringLiteral("yyyy-MM-dd"));
    const QString folder = AppPaths::inApp(QStringLiteral("log"));
    if (QDir(folder).exists()) {
        if (Settings::GetSetting(AppState::title(), QStringLiteral("Config"), QStringLiteral("SQLLogLast")) !=
            todayText) {
            // Today's file still holds the same day of last month.
            const QString file = fileFor(today.day());
            if (QFile::exists(file) && !QFile::remove(file)) {
                *error = QStringLiteral("'%1' 파일을 지울 수 없습니다.").arg(file);
                return false;
            }
            Settings::SaveSetting(AppState::title(), QStringLiteral("Config"), QStringLiteral("SQLLogLast"), todayText);
        }
        return true;
    }
    if (!QDir().mkpath(folder)) {
        *error = QStringLiteral("'%1' 폴더를 만들 수 없습니다.").arg(folder);
        return false;
    }
    Settings::SaveSetting(AppState::title(), QStringLiteral("Config"), QStringLiteral("SQLLogLast"), todayText);
    return true;
}

void append(const QString &file, const QString &sql, int affected) {
    const QDateTime now = appClock().now();
    const QString line = now.toString(QStringLiteral("yyMMddHHmmss")) + QLatin1Char('\t') + sql +
                         QStringLiteral("; -> ") + QString::number(affected);
    QFile f(file);
    if (f.open(QIODevice::Append))
        f.write((modMDB_Func::EncodeLogLine(line) + QStringLiteral("\r\n")).toLatin1());
}

} // namespace SqlLog
