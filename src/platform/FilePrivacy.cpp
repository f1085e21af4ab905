#include "FilePrivacy.h"
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#ifdef Q_OS_UNIX
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace FilePrivacy {

namespace {
QString nearestExisting(const QString &folder) {
    QString f = QDir::cleanPath(QDir(folder).absolutePath());
    while (!QFileInfo(f).isDir() && f != QDir::rootPath() && !f.isEmpty())
        f = QFileInfo(f).absolutePath();
    return f;
}

#ifdef Q_OS_UNIX
// Only a folder of this user's that is not shared is closed; the program's own folder of a
// portable copy stays open so that other accounts can still start it.
void closeToOthers(const QString &folder, mode_t keepForGroup) {
    struct stat st {};
    const QByteArray path = QFile::encodeName(folder);
    if (::stat(path.constData(), &st) != 0 || st.st_uid != ::geteuid())
        return;
    if (QCoreApplication::instance() &&
        QFileInfo(folder).canonicalFilePath() == QFileInfo(QCoreApplication::applicationDirPath()).canonicalFilePath())
        return;
    const mode_t wanted = st.st_mode & (S_IRWXU | S_ISGID | keepForGroup);
    if ((st.st_mode & 07777) != wanted)
        ::chmod(path.constData(), wanted);
}
#endif
} // namespace

bool sharedByGroup(const QString &folder) {
#ifdef Q_OS_UNIX
    struct stat st {};
    return ::stat(QFile::encodeName(nearestExisting(folder)).constData(), &st) == 0 && (st.st_mode & S_ISGID);
#else
    Q_UNUSED(folder);
    return false;
#endif
}

void fitToFolder(const QString &file) {
#ifdef Q_OS_UNIX
    if (!sharedByGroup(QFileInfo(file).absolutePath()))
        return;
    struct stat st {};
    const QByteArray path = QFile::encodeName(file);
    if (::stat(path.constData(), &st) == 0 && (st.st_mode & (S_IRGRP | S_IWGRP)) != (S_IRGRP | S_IWGRP))
        ::chmod(path.constData(), (st.st_mode & 07777) | S_IRGRP | S_IWGRP);
#else
    Q_UNUSED(file);
#endif
}

void applyTo(const QString &appFolder, const QString &settingsRoot) {
#ifdef Q_OS_UNIX
    const bool shared = sharedByGroup(appFolder);
    ::umask(shared ? 007 : 077);
    const mode_t group = shared ? S_IRWXG : 0;
    if (QFileInfo(appFolder).isDir())
        closeToOthers(appFolder, group);
    if (QFileInfo(settingsRoot).isDir())
        closeToOthers(settingsRoot, 0); // settings are this user's own
#else
    Q_UNUSED(appFolder);
    Q_UNUSED(settingsRoot);
#endif
}

} // namespace FilePrivacy
