#include "Backup.h"
#include "AppPaths.h"
#include "Companions.h"
#include "NetDrives.h"
#include "Settings.h"
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryFile>

namespace Backup {

namespace {
bool g_started = false;

QString withoutTrailingSeparator(QString path) {
    while (path.size() > 1 && (path.endsWith(QLatin1Char('\\')) || path.endsWith(QLatin1Char('/'))))
        path.chop(1);
    return path;
}
} // namespace

QString modeLabel(int mode) {
    switch (mode) {
    case AS: return QStringLiteral("AS");
    case Server: return QStringLiteral("서버");
    default: return QStringLiteral("하드");
    }
}

QString argumentText(int mode) {
    switch (mode) {
    case Server: return QStringLiteral(" SERVERUP");
    case AS: return QStringLiteral(" AS");
    case HardDiskAuto: return QStringLiteral(" HDDAUTO");
    default: return {};
    }
}

int modeFromArguments(const QStringList &words) {
    for (const QString &w : words) {
        const QString word = w.trimmed().toUpper();
        if (word == QLatin1String("SERVERUP"))
            return Server;
        if (word == QLatin1String("AS"))
            return AS;
        if (word == QLatin1String("HDDAUTO"))
            return HardDiskAuto;
    }
    return HardDisk;
}

QString toolName() { return Companions::kBackupTool; }

QString storedDatabaseFolder() {
    const QString stored = Settings::GetSetting(kSettingsApp, kFolderSection, kFolderKey).trimmed();
    if (stored.isEmpty())
        return {};
    return withoutTrailingSeparator(netDrives().localPath(withoutTrailingSeparator(stored)));
}

QString programLockFile() {
    // A fixed name: the backup program must find it without being told.
    return AppPaths::settingsRoot() + QStringLiteral("/mobileshop.lock");
}

QString storedServerFolder() {
    const QString stored = Settings::GetSetting(kSettingsApp, kServerSection, kFolderKey).trimmed();
    if (stored.isEmpty())
        return {};
    return QDir::cleanPath(withoutTrailingSeparator(netDrives().localPath(withoutTrailingSeparator(stored))));
}

QString folderProblem(const QString &folder) {
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        return QStringLiteral("폴더가 없습니다.");
    // Permission bits say little about network shares: only a written file tells.
    QTemporaryFile probe(folder + QStringLiteral("/.backup-probe-XXXXXX"));
    if (!probe.open() || probe.write("x", 1) != 1 || !probe.flush())
        return QStringLiteral("폴더에 쓸 수 없습니다.");
    return {};
}

QString picturesFolder() { return AppPaths::inApp(QStringLiteral("IMG")); }

namespace {
QString besideDatabase(const QString &databaseFolder) {
    return QDir::cleanPath(QFileInfo(databaseFolder).absolutePath() + QStringLiteral("/Backup"));
}
} // namespace

QString archiveFolder(int mode, const QString &databaseFolder) {
    if (mode == Server) {
        const QString chosen = storedServerFolder();
        return chosen.isEmpty() ? besideDatabase(databaseFolder) : chosen;
    }
    return AppPaths::inApp(QStringLiteral("Backup"));
}

QString newestArchive(const QString &databaseFolder) {
    QFileInfo best;
    QStringList folders{archiveFolder(HardDisk, databaseFolder), archiveFolder(Server, databaseFolder),
                        besideDatabase(databaseFolder)};
    folders.removeDuplicates();
    for (const QString &folder : folders) {
        const QFileInfoList found = QDir(folder).entryInfoList(
            {QFileInfo(databaseFolder).fileName() + QStringLiteral("_*.zip")}, QDir::Files, QDir::Time);
        if (!found.isEmpty() && (best.filePath().isEmpty() || found.first().lastModified() > best.lastModified()))
            best = found.first();
    }
    return best.filePath().isEmpty() ? QString() : best.absoluteFilePath();
}

QString newArchivePath(const QString &folder, const QString &databaseFolder, const QDateTime &when) {
    const QString base = folder + QLatin1Char('/') + QFileInfo(databaseFolder).fileName() + QLatin1Char('_') +
                         when.toString(QStringLiteral("yyyyMMdd_HHmmss"));
    QString path = base + QStringLiteral(".zip");
    for (int n = 2; QFileInfo::exists(path); ++n)
        path = base + QStringLiteral("_%1.zip").arg(n);
    return path;
}

bool started() { return g_started; }
void setStarted() { g_started = true; }
void resetStarted() { g_started = false; }

} // namespace Backup
