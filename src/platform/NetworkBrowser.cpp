#include "NetworkBrowser.h"
#include "NetDrives.h"
#include <QDir>
#include <QFileInfo>
#include <utility>

#ifdef Q_OS_WIN
#include "NetEnumBuffer.h"
#include <windows.h>
#include <winnetwk.h>

namespace {
QString ansiText(const char *text) { return text ? QString::fromLocal8Bit(text) : QString(); }

NetRecord recordOf(const NETRESOURCEA &nr) {
    NetRecord r;
    r.scope = nr.dwScope;
    r.type = nr.dwType;
    r.displayType = nr.dwDisplayType;
    r.usage = nr.dwUsage;
    r.localName = ansiText(nr.lpLocalName);
    r.remoteName = ansiText(nr.lpRemoteName);
    r.comment = ansiText(nr.lpComment);
    r.provider = ansiText(nr.lpProvider);
    return r;
}

char *textOrNull(QByteArray &bytes) { return bytes.isEmpty() ? nullptr : bytes.data(); }

class WinNetworkBrowser final : public NetworkBrowser {
public:
    std::optional<std::vector<NetRecord>> enumerate(const NetRecord *parent, Type type, Usage usage) override {
        NETRESOURCEA nr{};
        QByteArray local, remote, comment, provider;
        if (parent) {
            local = parent->localName.toLocal8Bit();
            remote = parent->remoteName.toLocal8Bit();
            comment = parent->comment.toLocal8Bit();
            provider = parent->provider.toLocal8Bit();
            nr.dwScope = parent->scope;
            nr.dwType = parent->type;
            nr.dwDisplayType = parent->displayType;
            nr.dwUsage = parent->usage;
            nr.lpLocalName = textOrNull(local);
            nr.lpRemoteName = textOrNull(remote);
            nr.lpComment = textOrNull(comment);
            nr.lpProvider = textOrNull(provider);
        }
        HANDLE handle = nullptr;
        if (WNetOpenEnumA(RESOURCE_GLOBALNET, type, usage, parent ? &nr : nullptr, &handle) != NO_ERROR)
            return std::nullopt;
        std::vector<NetRecord> entries;
        NetEnumBuffer::read(
            [handle](void *buffer, std::uint32_t &size, std::uint32_t &count) {
                DWORD n = count, bytes = size;
                const DWORD result = WNetEnumResourceA(handle, &n, buffer, &bytes);
                count = n;
                size = bytes;
                return std::uint32_t(result);
            },
            [&entries](const void *buffer, std::uint32_t count) {
                const auto *records = static_cast<const NETRESOURCEA *>(buffer);
                for (std::uint32_t i = 0; i < count; ++i)
                    entries.push_back(recordOf(records[i]));
            });
        WNetCloseEnum(handle);
        return entries;
    }
    // The shell's folder browser already names network folders by their UNC path.
    QString networkPath(const QString &folder) const override { return folder; }
};
} // namespace
#endif

namespace {
const QString kProviderSuffix = QStringLiteral(".provider");
const QString kPrinterSuffix = QStringLiteral(".printer");

QFileInfoList entriesOf(const QString &folder, QDir::Filters kind) {
    return QDir(folder).entryInfoList(kind | QDir::NoDotAndDotDot, QDir::Name);
}

bool hidden(const QFileInfo &fi) { return fi.fileName().startsWith(QLatin1Char('.')); }
} // namespace

template <> NetworkBrowser &Seam<NetworkBrowser>::fallback() {
#ifdef Q_OS_WIN
    static WinNetworkBrowser system;
    return system;
#else
    static FolderNetworkBrowser portable(NetDrives::portableNetworkRoot());
    return portable;
#endif
}

FolderNetworkBrowser::FolderNetworkBrowser(QString networkRoot) : m_root(QDir::cleanPath(std::move(networkRoot))) {}

QString FolderNetworkBrowser::providerFolder(const QString &provider) const {
    return provider == kWindowsNetwork ? m_root : m_root + QLatin1Char('/') + provider + kProviderSuffix;
}

std::vector<NetRecord> FolderNetworkBrowser::providers() const {
    QStringList names{kWindowsNetwork};
    for (const QFileInfo &fi : entriesOf(m_root, QDir::Dirs))
        if (!hidden(fi) && fi.fileName().endsWith(kProviderSuffix))
            names << fi.fileName().chopped(kProviderSuffix.size());
    std::vector<NetRecord> out;
    for (const QString &name : names)
        out.push_back({GlobalNet, AnyType, Network, Container, {}, name, {}, name});
    return out;
}

std::vector<NetRecord> FolderNetworkBrowser::servers(const QString &provider) const {
    std::vector<NetRecord> out;
    for (const QFileInfo &fi : entriesOf(providerFolder(provider), QDir::Dirs)) {
        if (hidden(fi) || (provider == kWindowsNetwork && fi.fileName().endsWith(kProviderSuffix)))
            continue;
        out.push_back(
            {GlobalNet, AnyType, Server, Container, {}, QStringLiteral("\\\\") + fi.fileName(), {}, provider});
    }
    return out;
}

std::optional<std::vector<NetRecord>> FolderNetworkBrowser::shares(const NetRecord &server, Type type) const {
    const QString name = server.remoteName.mid(2);
    const QString folder = providerFolder(server.provider) + QLatin1Char('/') + name;
    if (name.isEmpty() || name.contains(QLatin1Char('\\')) || !QFileInfo(folder).isDir())
        return std::nullopt;
    std::vector<NetRecord> out;
    for (const QFileInfo &fi : entriesOf(folder, QDir::Dirs | QDir::Files)) {
        const bool printer = fi.fileName().endsWith(kPrinterSuffix);
        if (hidden(fi) || printer != (type == Print) || (!printer && !fi.isDir()))
            continue;
        const QString share = printer ? fi.fileName().chopped(kPrinterSuffix.size()) : fi.fileName();
        out.push_back({GlobalNet,
                       printer ? Print : Disk,
                       Share,
                       Connectable,
                       {},
                       server.remoteName + QLatin1Char('\\') + share,
                       {},
                       server.provider});
    }
    return out;
}

std::optional<std::vector<NetRecord>> FolderNetworkBrowser::enumerate(const NetRecord *parent, Type type, Usage) {
    if (!QFileInfo(m_root).isDir())
        return std::nullopt;
    if (!parent)
        return type == Print ? std::vector<NetRecord>{} : providers();
    if (parent->displayType == Network)
        return type == Print ? std::vector<NetRecord>{} : servers(parent->remoteName);
    if (parent->displayType == Server)
        return shares(*parent, type);
    return std::nullopt; // shares are not containers
}

QString FolderNetworkBrowser::networkPath(const QString &folder) const {
    const QString clean = QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
    if (!clean.startsWith(m_root + QLatin1Char('/')))
        return folder;
    QStringList parts = clean.mid(m_root.size() + 1).split(QLatin1Char('/'), Qt::SkipEmptyParts);
    if (!parts.isEmpty() && parts.first().endsWith(kProviderSuffix))
        parts.removeFirst();
    return parts.isEmpty() ? folder : QStringLiteral("\\\\") + parts.join(QLatin1Char('\\'));
}
