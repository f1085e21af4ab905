#include "ArchiveNow.h"
#include "Backup.h"
#include "Clock.h"
#include "ServerConnection.h"
#include "ServerDump.h"
#include <QDir>
#include <QTemporaryDir>

namespace ArchiveNow {

namespace {
// The server database has no files here: its dump goes into the archive in their place. The
// pictures are the server's too and travel in the dump; IMG/ here is only this PC's cache.
BackupArchive::Outcome serverArchive(const QString &folder, const QString &target, QString *error) {
    const ServerConnection server = ServerConnection::load();
    const bool folderMade = QDir().mkpath(target);
    QTemporaryDir staging(target + QStringLiteral("/.dump-XXXXXX"));
    if (!folderMade || !staging.isValid()) {
        *error = QStringLiteral("백업 폴더에 쓸 수 없습니다: ") + QDir::toNativeSeparators(target);
        return {};
    }
    QString why;
    if (!ServerDump::dump(server, staging.filePath(ServerDump::kEntryName), &why)) {
        *error = QStringLiteral("서버 데이터베이스(%1)를 받아 오지 못했습니다.\n").arg(server.describe()) + why;
        return {};
    }
    return BackupArchive::create(staging.path(), Backup::newArchivePath(target, folder, appClock().now()));
}
} // namespace

BackupArchive::Outcome take(const QString &databaseFolder, const QString &target, QString *error) {
    if (ServerConnection::chosen())
        return serverArchive(databaseFolder, target, error);
    return BackupArchive::create(databaseFolder, Backup::newArchivePath(target, databaseFolder, appClock().now()),
                                 Backup::picturesFolder());
}

} // namespace ArchiveNow
