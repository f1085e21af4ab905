#pragma once
#include "NetworkBrowser.h"
#include <QString>
#include <memory>
#include <vector>

class NetResources;

// One entry of the network (provider, domain, server, shared folder or printer) whose
// children are enumerated through the NetworkBrowser seam when they are first read.
class NetResource {
public:
    // Without a record: the root, whose children are the network providers.
    NetResource();
    ~NetResource();
    NetResource(const NetResource &) = delete;
    NetResource &operator=(const NetResource &) = delete;

    // The entries below this one, enumerated at the first read. An enumeration that cannot be
    // opened leaves the collection empty and is tried again at the next read.
    NetResources &Children();

    QString comment() const { return m_record.comment; }
    QString LocalName() const { return m_record.localName; }
    QString Provider() const { return m_record.provider; }
    QString RemoteName() const { return m_record.remoteName; }
    // The display type (0 to 11); kPrinterType for a printer share.
    int ResourceType() const;
    // "Printer", or the display type's name ("Server", "Share", ...); empty for an unknown one.
    QString ResourceTypeName() const;
    // The remote name after its last "\".
    QString ShortName() const;

    static constexpr int kPrinterType = 255;
    // Text fields keep at most this many characters, up to the first NUL.
    static constexpr int kMaxText = 255;

    // Gives the object its record; it is no longer the root.
    void setRecord(const NetRecord &record);
    void markPrinter() { m_printer = true; }

    bool isRoot() const { return m_root; }
    bool isPrinter() const { return m_printer; }
    bool loaded() const { return m_loaded; }
    const NetRecord &record() const { return m_record; }

private:
    void enumerateChildren();

    NetRecord m_record;
    bool m_root = true;
    bool m_printer = false;
    bool m_loaded = false;
    std::unique_ptr<NetResources> m_children;
};

// The keyed collection of NetResource objects, each under its remote name, in the order
// they were added. Indexes count from 1.
class NetResources {
public:
    // Nothing when there is no such item.
    NetResource *Item(int index) const;
    NetResource *Item(const QString &key) const;
    int Count() const { return int(m_items.size()); }
    // False when there is no such item.
    bool Remove(int index);
    bool Remove(const QString &key);

    // Takes item under its remote name; a name already present keeps its first item.
    bool add(std::unique_ptr<NetResource> item);

    auto begin() const { return m_items.begin(); }
    auto end() const { return m_items.end(); }

private:
    int indexOf(const QString &key) const;
    std::vector<std::unique_ptr<NetResource>> m_items;
};
