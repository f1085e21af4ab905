#include "ServerPictureStore.h"
#include "PictureTable.h"
#include <QBuffer>

bool ServerPictureStore::exists(const QString &id) { return !id.isEmpty() && PictureTable::exists(m_db, id) == 1; }

QByteArray ServerPictureStore::refresh(const QString &id) {
    if (id.isEmpty())
        return {};
    const QByteArray cached = m_cache.read(id);
    PictureTable::Row row;
    if (!PictureTable::fetch(m_db, id, cached.isEmpty() ? QByteArray() : PictureTable::hashOf(cached), &row, nullptr))
        return cached;
    if (!row.present) {
        m_cache.remove(id, nullptr);
        return {};
    }
    if (!row.hasBytes)
        return cached;
    m_cache.write(id, row.bytes, nullptr); // a cache that cannot be written still shows the picture
    return row.bytes;
}

QImage ServerPictureStore::load(const QString &id) { return QImage::fromData(refresh(id)); }

bool ServerPictureStore::store(const QString &id, const QImage &picture, QString *error) {
    if (id.isEmpty()) {
        if (error)
            *error = QStringLiteral("ID가 없는 핸드폰의 사진은 저장할 수 없습니다.");
        return false;
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!picture.save(&buffer, "BMP")) {
        if (error)
            *error = QStringLiteral("사진을 BMP로 만들 수 없습니다.");
        return false;
    }
    if (!PictureTable::put(m_db, id, bytes, error))
        return false;
    m_cache.write(id, bytes, nullptr);
    return true;
}

bool ServerPictureStore::remove(const QString &id, QString *error) {
    if (id.isEmpty())
        return true;
    if (!PictureTable::remove(m_db, id, error))
        return false;
    m_cache.remove(id, nullptr);
    return true;
}

bool ServerPictureStore::transfer(const QString &from, const QString &to, bool replace, bool keepSource,
                                  QString *error) {
    if (from.isEmpty() || to.isEmpty() || !PictureTable::transfer(m_db, from, to, replace, keepSource, error))
        return false;
    if (!keepSource && from != to)
        m_cache.remove(from, nullptr);
    refresh(to);
    return true;
}

bool ServerPictureStore::sameFile(const QString &a, const QString &b) {
    return !a.isEmpty() && !b.isEmpty() && PictureTable::sameId(m_db, a, b);
}
