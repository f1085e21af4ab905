#include "OpenMarks.h"
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSysInfo>
#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <cerrno>
#include <csignal>
#endif

namespace OpenMarks {

namespace {
QString prefix(const QString &databaseFile) {
    QString host = QSysInfo::machineHostName();
    host.replace(QRegularExpression(QStringLiteral("[^A-Za-z0-9_]")), QStringLiteral("_"));
    return QLatin1Char('.') + QFileInfo(databaseFile).fileName() + QStringLiteral(".open-") + host + QLatin1Char('-');
}

bool running(qint64 pid) {
    if (pid <= 0)
        return false;
    if (pid == QCoreApplication::applicationPid())
        return true;
#ifdef Q_OS_WIN
    HANDLE h = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, DWORD(pid));
    if (!h)
        return GetLastError() == ERROR_ACCESS_DENIED;
    DWORD code = 0;
    const bool alive = GetExitCodeProcess(h, &code) && code == STILL_ACTIVE;
    CloseHandle(h);
    return alive;
#else
    return ::kill(pid_t(pid), 0) == 0 || errno == EPERM;
#endif
}

// The marks of this PC's programs that are no longer running.
QStringList stale(const QString &databaseFile) {
    const QDir folder = QFileInfo(databaseFile).absoluteDir();
    const QString start = prefix(databaseFile);
    QStringList out;
    for (const QString &name : folder.entryList({start + QLatin1Char('*')}, QDir::Files | QDir::Hidden))
        if (!running(name.mid(start.size()).toLongLong()))
            out << folder.filePath(name);
    return out;
}
} // namespace

QString leave(const QString &databaseFile) {
    const QString mark = QFileInfo(databaseFile)
                             .absoluteDir()
                             .filePath(prefix(databaseFile) + QString::number(QCoreApplication::applicationPid()));
    QFile f(mark);
    return f.open(QIODevice::WriteOnly) ? mark : QString();
}

bool uncleanEndFound(const QString &databaseFile) { return !stale(databaseFile).isEmpty(); }

void clearStale(const QString &databaseFile) {
    for (const QString &mark : stale(databaseFile))
        QFile::remove(mark);
}

} // namespace OpenMarks
