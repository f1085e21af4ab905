#pragma once
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

// The setup window's network tree without its widget: nodes under unique keys, kept in the
// order they were added, which is the order the server search walks them. The window
// mirrors every change through the observer.
class NetTree {
public:
    struct Node {
        QString key;
        QString parentKey; // empty for a top node
        QString text;
        QString image;
        QString tag;
        bool expanded = false;
    };
    struct Observer {
        std::function<void(const Node &)> added;
        std::function<void(const QString &key)> removed;
        std::function<void(const QString &key)> expanded;
        std::function<void()> cleared;
    };

    void clear();
    // False, adding nothing, when the key is taken or the parent does not exist.
    bool add(const QString &parentKey, const QString &key, const QString &text, const QString &image,
             const QString &tag = {});
    // Removes the node and everything below it; false when there is no such node.
    bool remove(const QString &key);
    void setTag(const QString &key, const QString &tag);
    void markExpanded(const QString &key);

    int count() const { return int(m_nodes.size()); }
    // Position from 0, in the order of adding.
    const Node &node(int position) const { return m_nodes[size_t(position)]; }
    const Node *find(const QString &key) const;
    // The keys from the top node down to key, key included; empty for a missing key.
    QStringList path(const QString &key) const;

    Observer observer;

private:
    int positionOf(const QString &key) const;
    std::vector<Node> m_nodes;
};
