#include "NetTree.h"

void NetTree::clear() {
    m_nodes.clear();
    if (observer.cleared)
        observer.cleared();
}

int NetTree::positionOf(const QString &key) const {
    for (size_t i = 0; i < m_nodes.size(); ++i)
        if (m_nodes[i].key == key)
            return int(i);
    return -1;
}

const NetTree::Node *NetTree::find(const QString &key) const {
    const int i = positionOf(key);
    return i < 0 ? nullptr : &m_nodes[size_t(i)];
}

bool NetTree::add(const QString &parentKey, const QString &key, const QString &text, const QString &image,
                  const QString &tag) {
    if (key.isEmpty() || positionOf(key) >= 0 || (!parentKey.isEmpty() && positionOf(parentKey) < 0))
        return false;
    m_nodes.push_back({key, parentKey, text, image, tag, false});
    if (observer.added)
        observer.added(m_nodes.back());
    return true;
}

bool NetTree::remove(const QString &key) {
    if (positionOf(key) < 0)
        return false;
    // Children first, so that the window never holds an item whose parent went away.
    QStringList below;
    for (const Node &n : m_nodes)
        if (n.parentKey == key)
            below << n.key;
    for (const QString &child : below)
        remove(child);
    m_nodes.erase(m_nodes.begin() + positionOf(key));
    if (observer.removed)
        observer.removed(key);
    return true;
}

void NetTree::setTag(const QString &key, const QString &tag) {
    if (const int i = positionOf(key); i >= 0)
        m_nodes[size_t(i)].tag = tag;
}

void NetTree::markExpanded(const QString &key) {
    const int i = positionOf(key);
    if (i < 0 || m_nodes[size_t(i)].expanded)
        return;
    m_nodes[size_t(i)].expanded = true;
    if (observer.expanded)
        observer.expanded(key);
}

QStringList NetTree::path(const QString &key) const {
    QStringList keys;
    for (const Node *n = find(key); n; n = n->parentKey.isEmpty() ? nullptr : find(n->parentKey))
        keys.prepend(n->key);
    return keys;
}
