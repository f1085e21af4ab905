#include "FolderSwap.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

QStringList topLevelEntries(const QString &folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
}

// Moves names from one folder to another up to the first failure; *moved says how far it got.
bool moveEach(const QStringList &names, const QString &from, const QString &to, const FolderSwap::Mover &move,
              QStringList *moved) {
    for (const QString &n : names) {
        if (!move(from + QLatin1Char('/') + n, to + QLatin1Char('/') + n))
            return false;
        moved->append(n);
    }
    return true;
}

bool removeEntry(const QString &path) {
    const QFileInfo fi(path);
    return fi.isDir() && !fi.isSymLink() ? QDir(path).removeRecursively() : QFile::remove(path);
}

} // namespace

FolderSwap::FolderSwap(QString folder, Mover move) : m_folder(std::move(folder)), m_move(std::move(move)) {
    if (!m_move)
        m_move = [](const QString &from, const QString &to) { return QDir().rename(from, to); };
}

QString FolderSwap::uniqueSibling(const QString &folder, const QString &suffix) {
    const QString base = folder + suffix;
    QString path = base;
    for (int n = 2; QFileInfo::exists(path); ++n)
        path = base + QStringLiteral("_%1").arg(n);
    return path;
}

FolderSwap::Result FolderSwap::swapIn(const QString &staging, const QString &asideSuffix) {
    QDir().mkpath(m_folder);
    const QStringList current = topLevelEntries(m_folder);
    if (!current.isEmpty()) {
        m_aside = uniqueSibling(m_folder, asideSuffix);
        if (!QDir().mkpath(m_aside) || !moveEach(current, m_folder, m_aside, m_move, &m_movedAside))
            return AsideFailed;
    }
    return moveEach(topLevelEntries(staging), staging, m_folder, m_move, &m_movedIn) ? Done : InFailed;
}

bool FolderSwap::undo() {
    bool whole = true;
    for (const QString &n : std::as_const(m_movedIn))
        whole = removeEntry(m_folder + QLatin1Char('/') + n) && whole;
    for (const QString &n : std::as_const(m_movedAside))
        whole = m_move(m_aside + QLatin1Char('/') + n, m_folder + QLatin1Char('/') + n) && whole;
    if (whole && !m_aside.isEmpty()) {
        QDir().rmdir(m_aside);
        m_aside.clear();
    }
    m_movedIn.clear();
    m_movedAside.clear();
    return whole;
}
