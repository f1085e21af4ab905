#include "NetResource.h"

namespace {
QString cut(const QString &text) {
    const qsizetype nul = text.indexOf(QChar(0));
    return (nul < 0 ? text : text.left(nul)).left(NetResource::kMaxText);
}
} // namespace

NetResource::NetResource() = default;
NetResource::~NetResource() = default;

void NetResource::setRecord(const NetRecord &record) {
    m_record = record;
    m_record.localName = cut(record.localName);
    m_record.remoteName = cut(record.remoteName);
    m_record.comment = cut(record.comment);
    m_record.provider = cut(record.provider);
    m_root = false;
}

int NetResource::ResourceType() const { return m_printer ? kPrinterType : int(m_record.displayType); }

QString NetResource::ResourceTypeName() const {
    static const char *const names[] = {"Generic", "Domain", "Server",     "Share",     "File", "Group",
                                        "Network", "Root",   "AdminShare", "Directory", "Tree", "NDSContainer"};
    if (m_printer)
        return QStringLiteral("Printer");
    return m_record.displayType < std::size(names) ? QString::fromLatin1(names[m_record.displayType]) : QString();
}

QString NetResource::ShortName() const {
    return m_record.remoteName.mid(m_record.remoteName.lastIndexOf(QLatin1Char('\\')) + 1);
}

NetResources &NetResource::Children() {
    if (!m_children)
        m_children = std::make_unique<NetResources>();
    if (!m_loaded)
        enumerateChildren();
    return *m_children;
}

void NetResource::enumerateChildren() {
    const NetRecord *below = m_root ? nullptr : &m_record;
    const auto disks = networkBrowser().enumerate(below, NetworkBrowser::Disk, NetworkBrowser::AnyUsage);
    if (!disks)
        return;
    for (const NetRecord &r : *disks) {
        auto child = std::make_unique<NetResource>();
        child->setRecord(r);
        m_children->add(std::move(child));
    }
    if (const auto printers = networkBrowser().enumerate(below, NetworkBrowser::Print, NetworkBrowser::Connectable)) {
        for (const NetRecord &r : *printers) {
            if (r.displayType != NetworkBrowser::Share)
                continue;
            auto child = std::make_unique<NetResource>();
            child->setRecord(r);
            child->markPrinter();
            m_children->add(std::move(child));
        }
    }
    m_loaded = true;
}

int NetResources::indexOf(const QString &key) const {
    for (size_t i = 0; i < m_items.size(); ++i)
        if (m_items[i]->RemoteName() == key)
            return int(i);
    return -1;
}

NetResource *NetResources::Item(int index) const {
    return index >= 1 && index <= Count() ? m_items[size_t(index - 1)].get() : nullptr;
}

NetResource *NetResources::Item(const QString &key) const {
    const int i = indexOf(key);
    return i < 0 ? nullptr : m_items[size_t(i)].get();
}

bool NetResources::Remove(int index) {
    if (index < 1 || index > Count())
        return false;
    m_items.erase(m_items.begin() + (index - 1));
    return true;
}

bool NetResources::Remove(const QString &key) {
    const int i = indexOf(key);
    return i >= 0 && Remove(i + 1);
}

bool NetResources::add(std::unique_ptr<NetResource> item) {
    if (indexOf(item->RemoteName()) >= 0)
        return false;
    m_items.push_back(std::move(item));
    return true;
}
