#pragma once
#include "Seam.h"
#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

// One entry of the network as its provider reports it, in the layout of the system's
// network-resource record.
struct NetRecord {
    std::uint32_t scope = 0;
    std::uint32_t type = 0;
    std::uint32_t displayType = 0;
    std::uint32_t usage = 0;
    QString localName;
    QString remoteName;
    QString comment;
    QString provider;
};

// Browsing the network: providers, servers and their shared folders and printers. Windows
// asks the network providers; elsewhere the network is a folder tree (FolderNetworkBrowser).
class NetworkBrowser : public Seam<NetworkBrowser> {
public:
    enum Scope : std::uint32_t { Connected = 1, GlobalNet = 2, Remembered = 3 };
    enum Type : std::uint32_t { AnyType = 0, Disk = 1, Print = 2 };
    enum Usage : std::uint32_t { AnyUsage = 0, Connectable = 1, Container = 2 };
    enum DisplayType : std::uint32_t {
        Generic = 0,
        Domain = 1,
        Server = 2,
        Share = 3,
        File = 4,
        Group = 5,
        Network = 6,
        Root = 7,
        AdminShare = 8,
        Directory = 9,
        Tree = 10,
        NdsContainer = 11,
    };

    virtual ~NetworkBrowser() = default;

    // The entries of type and usage below parent, globally scoped (the top level, that is the
    // providers, when parent is null), in the provider's order. Nothing when the enumeration
    // cannot be opened; the entries read before a later failure otherwise.
    virtual std::optional<std::vector<NetRecord>> enumerate(const NetRecord *parent, Type type, Usage usage) = 0;
    // The network name of a folder the folder chooser returned (\\SERVER\share\...), or the
    // folder itself when it is not on the network.
    virtual QString networkPath(const QString &folder) const = 0;
};
// The Windows network; elsewhere the folders of the portable network root.
template <> NetworkBrowser &Seam<NetworkBrowser>::fallback();

inline NetworkBrowser &networkBrowser() { return NetworkBrowser::instance(); }

// The portable network over the same folder tree as FolderNetDrives:
//   <root>/SERVER/share/            a server and its shared folder, \\SERVER\share
//   <root>/SERVER/name.printer      a shared printer \\SERVER\name (a file or a folder)
//   <root>/name.provider/SERVER/... the servers of another network provider "name"
// Servers directly below the root belong to the provider kWindowsNetwork. Names starting
// with a dot are not part of the network. A missing root cannot be enumerated.
class FolderNetworkBrowser final : public NetworkBrowser {
public:
    static inline const QString kWindowsNetwork = QStringLiteral("Microsoft Windows 네트워크");

    explicit FolderNetworkBrowser(QString networkRoot);
    std::optional<std::vector<NetRecord>> enumerate(const NetRecord *parent, Type type, Usage usage) override;
    QString networkPath(const QString &folder) const override;

    QString root() const { return m_root; }

private:
    QString providerFolder(const QString &provider) const;
    std::vector<NetRecord> providers() const;
    std::vector<NetRecord> servers(const QString &provider) const;
    std::optional<std::vector<NetRecord>> shares(const NetRecord &server, Type type) const;

    QString m_root;
};
