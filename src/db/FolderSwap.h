#pragma once
#include <QString>
#include <QStringList>
#include <functional>

// Replaces what a folder holds with what a staging folder holds, by renames only, keeping
// the replaced entries in a sibling folder, so that a failure part-way can put every
// original back.
class FolderSwap {
public:
    using Mover = std::function<bool(const QString &from, const QString &to)>;
    enum Result { Done, AsideFailed, InFailed };

    FolderSwap(QString folder, Mover move);

    // The folder's entries go to folder + asideSuffix (numbered when taken), then staging's
    // entries come in. Stops at the first move that fails.
    Result swapIn(const QString &staging, const QString &asideSuffix);
    // Removes what came in (the archive still holds it) and returns every original. False
    // when any of it could not be; the rest is then in asideFolder().
    bool undo();

    bool moved() const { return !m_movedAside.isEmpty() || !m_movedIn.isEmpty(); }
    // Empty when the folder had nothing to put aside.
    QString asideFolder() const { return m_aside; }

    static QString uniqueSibling(const QString &folder, const QString &suffix);

private:
    QString m_folder;
    Mover m_move;
    QString m_aside;
    QStringList m_movedAside;
    QStringList m_movedIn;
};
