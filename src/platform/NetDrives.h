#pragma once
#include "Seam.h"
#include <QString>

// Mapping of network shares (UNC paths such as \\SERVER\share) to drive letters ("H:").
// Windows uses the network provider; elsewhere drives are folders below a drive root that
// link to shares below a network root, so the whole recovery path runs on any machine.
class NetDrives : public Seam<NetDrives> {
public:
    // Error codes as the Windows network provider reports them.
    enum Error {
        Ok = 0,
        BadNetName = 67,
        AlreadyAssigned = 85,
        NotConnected = 2250,
        OpenFiles = 2401,
    };
    virtual ~NetDrives() = default;

    // True when something answers as the root of drive ("H:").
    virtual bool rootInUse(const QString &drive) const = 0;
    virtual int addConnection(const QString &drive, const QString &remote, const QString &password, const QString &user,
                              bool remember) = 0;
    virtual int cancelConnection(const QString &drive, bool updateProfile, bool force) = 0;
    // The path as this machine's file functions take it ("H:\DBS" -> a real folder).
    virtual QString localPath(const QString &path) const = 0;

    // Where the portable drives and network browsing find the shares:
    // MOBILESHOP_NETWORK_ROOT, else <settings root>/network.
    static QString portableNetworkRoot();
};
// The Windows network provider; elsewhere folders below the settings root.
template <> NetDrives &Seam<NetDrives>::fallback();

// Portable drives: driveRoot/H is a link to networkRoot/SERVER/share.
class FolderNetDrives final : public NetDrives {
public:
    FolderNetDrives(QString driveRoot, QString networkRoot);
    bool rootInUse(const QString &drive) const override;
    int addConnection(const QString &drive, const QString &remote, const QString &password, const QString &user,
                      bool remember) override;
    int cancelConnection(const QString &drive, bool updateProfile, bool force) override;
    QString localPath(const QString &path) const override;

    QString driveFolder(const QString &drive) const;
    QString shareFolder(const QString &unc) const;
    // A drive with open files refuses to disconnect without force.
    void setOpenFiles(const QString &drive, bool open);

private:
    QString m_driveRoot, m_networkRoot;
};

inline NetDrives &netDrives() { return NetDrives::instance(); }
