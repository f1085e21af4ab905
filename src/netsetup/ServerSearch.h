#pragma once
#include "NetResource.h"
#include "NetTree.h"
#include <QStringList>
#include <memory>

// Finds the server's shared program folder by walking the network tree: the providers
// under "Entire Network", only the Windows provider searched, servers expanded as the walk
// reaches them, and every share whose name is exactly the program folder's name collected.
class ServerSearch {
public:
    static inline const QString kRootKey = QStringLiteral("_ROOT");
    static inline const QString kFakePrefix = QStringLiteral("_FAKE");
    static inline const QString kSearchedProvider = QStringLiteral("Microsoft Windows 네트워크");
    static inline const QString kLoaded = QStringLiteral("Y");
    static inline const QString kNotLoaded = QStringLiteral("N");

    // Builds the tree afresh from a new root resource and walks all of it; the UNC paths
    // of the matching shares, in tree order.
    QStringList find(const QString &shareName);
    // The tree's expand: a node not yet loaded gets the entries below its resource.
    void expand(const QString &key);

    // The single match, or empty after telling the user that there was none or several.
    static QString pick(const QStringList &matches, const QString &shareName);
    static QString notFoundMessage(const QString &shareName);
    static QString severalMessage(const QStringList &matches);

    NetTree &tree() { return m_tree; }
    const NetTree &tree() const { return m_tree; }
    NetResource *root() const { return m_root.get(); }

private:
    NetResource *resourceOf(const QString &key);
    void addResource(const QString &parentKey, const NetResource &resource, bool placeholder);

    std::unique_ptr<NetResource> m_root;
    NetTree m_tree;
};
