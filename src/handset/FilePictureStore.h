#pragma once
#include "PictureStore.h"

// The pictures as files below one picture folder (IMG/ of the application folder), written
// atomically. The file database's store, and the server store's cache.
class FilePictureStore final : public PictureStore {
public:
    explicit FilePictureStore(QString folder) : m_folder(std::move(folder)) {}
    // The ID's file below a picture folder; empty for an empty ID.
    static QString fileIn(const QString &folder, const QString &id);

    QString file(const QString &id) const override { return fileIn(m_folder, id); }
    bool exists(const QString &id) override;
    QImage load(const QString &id) override;
    bool store(const QString &id, const QImage &picture, QString *error) override;
    bool remove(const QString &id, QString *error) override;
    bool transfer(const QString &from, const QString &to, bool replace, bool keepSource, QString *error) override;
    bool sameFile(const QString &a, const QString &b) override;
    bool transactional() const override { return false; }

    // The bytes as the ID's file, replacing it at once.
    bool write(const QString &id, const QByteArray &bytes, QString *error) const;
    // The file's bytes; empty when there is none.
    QByteArray read(const QString &id) const;

private:
    QString m_folder;
};
