#include "NetDrives.h"
#include "AppPaths.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <utility>

#ifdef Q_OS_WIN
#include <windows.h>
#include <winnetwk.h>

namespace {
class WinNetDrives final : public NetDrives {
public:
    bool rootInUse(const QString &drive) const override {
        const std::wstring root = (drive.left(2) + QStringLiteral("\\")).toStdWString();
        return GetDriveTypeW(root.c_str()) != DRIVE_NO_ROOT_DIR;
    }
    int addConnection(const QString &drive, const QString &remote, const QString &password, const QString &user,
                      bool remember) override {
        std::wstring local = (drive.left(1) + QStringLiteral(":")).toStdWString();
        std::wstring remoteW = remote.toStdWString();
        std::wstring pw = password.toStdWString(), us = user.toStdWString();
        NETRESOURCEW nr{};
        nr.dwScope = RESOURCE_GLOBALNET;
        nr.dwType = RESOURCETYPE_DISK;
        nr.dwDisplayType = RESOURCEDISPLAYTYPE_SHARE;
        nr.dwUsage = RESOURCEUSAGE_CONNECTABLE;
        nr.lpLocalName = local.data();
        nr.lpRemoteName = remoteW.data();
        return int(WNetAddConnection2W(&nr, pw.c_str(), user.isEmpty() ? nullptr : us.c_str(),
                                       remember ? CONNECT_UPDATE_PROFILE : 0));
    }
    int cancelConnection(const QString &drive, bool updateProfile, bool force) override {
        const std::wstring local = (drive.left(1) + QStringLiteral(":")).toStdWString();
        return int(WNetCancelConnection2W(local.c_str(), updateProfile ? CONNECT_UPDATE_PROFILE : 0, force));
    }
    QString localPath(const QString &path) const override { return path; }
};
} // namespace
#endif

namespace {
QString letterOf(const QString &drive) { return drive.left(1).toUpper(); }
} // namespace

template <> NetDrives &Seam<NetDrives>::fallback() {
#ifdef Q_OS_WIN
    static WinNetDrives system;
    return system;
#else
    static FolderNetDrives portable(AppPaths::settingsRoot() + QStringLiteral("/drives"),
                                    NetDrives::portableNetworkRoot());
    return portable;
#endif
}

QString NetDrives::portableNetworkRoot() {
    const QString net = qEnvironmentVariable("MOBILESHOP_NETWORK_ROOT");
    return net.isEmpty() ? AppPaths::settingsRoot() + QStringLiteral("/network") : net;
}

FolderNetDrives::FolderNetDrives(QString driveRoot, QString networkRoot)
    : m_driveRoot(std::move(driveRoot)), m_networkRoot(std::move(networkRoot)) {}

QString FolderNetDrives::driveFolder(const QString &drive) const {
    return m_driveRoot + QLatin1Char('/') + letterOf(drive);
}

QString FolderNetDrives::shareFolder(const QString &unc) const {
    QString rel = unc;
    rel.replace(QLatin1Char('\\'), QLatin1Char('/'));
    while (rel.startsWith(QLatin1Char('/')))
        rel.remove(0, 1);
    return m_networkRoot + QLatin1Char('/') + rel;
}

bool FolderNetDrives::rootInUse(const QString &drive) const {
    const QFileInfo fi(driveFolder(drive));
    return fi.exists() || fi.isSymLink();
}

int FolderNetDrives::addConnection(const QString &drive, const QString &remote, const QString &, const QString &,
                                   bool) {
    if (rootInUse(drive))
        return AlreadyAssigned;
    const QString target = shareFolder(remote);
    if (!remote.startsWith(QLatin1String("\\\\")) || !QFileInfo(target).isDir())
        return BadNetName;
    QDir().mkpath(m_driveRoot);
    return QFile::link(target, driveFolder(drive)) ? Ok : BadNetName;
}

int FolderNetDrives::cancelConnection(const QString &drive, bool, bool force) {
    const QString link = driveFolder(drive);
    if (!QFileInfo(link).isSymLink())
        return NotConnected;
    if (!force && QFileInfo::exists(link + QStringLiteral(".openfiles")))
        return OpenFiles;
    QFile::remove(link + QStringLiteral(".openfiles"));
    return QFile::remove(link) ? Ok : NotConnected;
}

void FolderNetDrives::setOpenFiles(const QString &drive, bool open) {
    const QString marker = driveFolder(drive) + QStringLiteral(".openfiles");
    if (open) {
        QDir().mkpath(m_driveRoot);
        QFile f(marker);
        (void)f.open(QIODevice::WriteOnly);
    } else {
        QFile::remove(marker);
    }
}

QString FolderNetDrives::localPath(const QString &path) const {
    static const QRegularExpression drivePath(QStringLiteral("^([A-Za-z]):[\\\\/]?(.*)$"));
    QString p = path;
    if (const auto m = drivePath.match(p); m.hasMatch()) {
        p = driveFolder(m.captured(1)) + QLatin1Char('/') + m.captured(2);
    } else if (p.startsWith(QLatin1String("\\\\"))) {
        p = shareFolder(p);
    }
    p.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return QDir::cleanPath(p);
}
