#pragma once
#include <QString>
#include <memory>

class QSqlDatabase;

// Tells an open list that another PC changed the handset catalogue since it last looked,
// cheaply enough to ask every few seconds; this PC's own saves (the shared connection's)
// do not count. A look never throws and never shows a box: a link that went away is made
// again at a later look, and what changed while it was away goes unseen.
class CatalogueWatch {
public:
    // The server's channel on which every change of t_mobile is announced (Schema).
    static inline const QString kChannel = QStringLiteral("t_mobile_changed");

    virtual ~CatalogueWatch() = default;
    // Another PC changed the catalogue since the last look.
    virtual bool changedElsewhere() = 0;
    // Forgets what was seen so far, as the list is about to be read afresh.
    void catchUp() { changedElsewhere(); }

    // A watch over the open main database; null when none is open.
    static std::unique_ptr<CatalogueWatch> forOpenDatabase();
    // On the file: any commit of another connection (the file's data version), since
    // every PC writes the file through a connection of its own.
    static std::unique_ptr<CatalogueWatch> onFile();
    // On the server: the channel, listened to on a connection of the watch's own to the
    // database of shared, so the shared connection's transactions are never in its way.
    static std::unique_ptr<CatalogueWatch> onServer(const QSqlDatabase &shared);
};
