#pragma once
#include "FilePictureStore.h"
#include <QSqlDatabase>

// The pictures in the server database's picture table (PictureTable), with this PC's IMG/ as
// a cache of the files: a picture is fetched when it is shown, and only when the server's
// hash differs from the cached file's; a row gone from the server takes its cached file with
// it. Every write goes to the server on the connection given, inside its transaction if one
// is open, and into the cache (which the next showing checks anyway).
class ServerPictureStore final : public PictureStore {
public:
    ServerPictureStore(const QSqlDatabase &db, const QString &cacheFolder) : m_db(db), m_cache(cacheFolder) {}

    QString file(const QString &id) const override { return m_cache.file(id); }
    bool exists(const QString &id) override;
    QImage load(const QString &id) override;
    bool store(const QString &id, const QImage &picture, QString *error) override;
    bool remove(const QString &id, QString *error) override;
    bool transfer(const QString &from, const QString &to, bool replace, bool keepSource, QString *error) override;
    bool sameFile(const QString &a, const QString &b) override;
    bool transactional() const override { return true; }

    // The ID's picture file brought up to date with the server; its bytes, empty when the ID
    // has none. A server out of reach leaves the cached file as it is.
    QByteArray refresh(const QString &id);

private:
    QSqlDatabase m_db;
    FilePictureStore m_cache;
};
