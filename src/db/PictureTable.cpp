#include "PictureTable.h"
#include "DbBackend.h"
#include "EngineReasons.h"
#include "ErrorBox.h"
#include "PictureNames.h"
#include "Recordset.h"
#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSqlError>
#include <QSqlQuery>
#include <algorithm>

namespace PictureTable {

namespace {
const char *const kUpsert = " ON CONFLICT (mid) DO UPDATE SET mid = EXCLUDED.mid, bytes = EXCLUDED.bytes,"
                            " hash = EXCLUDED.hash, changed = EXCLUDED.changed";

bool fail(QString *error, const QString &why) {
    if (error)
        *error = why;
    return false;
}

bool failed(const QSqlQuery &q, QString *error) { return fail(error, engineWords(q.lastError())); }

// A statement with its values bound in order; false with the server's words.
bool run(QSqlQuery &q, const QString &sql, const QVariantList &values, QString *error) {
    q.setForwardOnly(true);
    if (!q.prepare(sql))
        return failed(q, error);
    for (const QVariant &v : values)
        q.addBindValue(v);
    return q.exec() || failed(q, error);
}

// A statement carrying a picture: through the engine's own library, which sends the bytes as
// they are; Qt's driver would send them as hexadecimal text, twice their size, for the server
// to parse back.
bool write(const QSqlDatabase &db, const QString &sql, const QVariantList &values, QString *error) {
    try {
        Recordset none;
        if (DbBackend::of(db).snapshot(db, sql, none, values))
            return true;
    } catch (const AppError &e) {
        return fail(error, e.description.trimmed());
    }
    QSqlQuery q(db);
    return run(q, sql, values, error);
}

QByteArray pictureDigest(const QString &id, const QByteArray &bytes) {
    QCryptographicHash h(QCryptographicHash::Sha256);
    h.addData(id.toUtf8());
    h.addData(QByteArrayView("\x1f", 1));
    h.addData(bytes);
    return h.result();
}

Digest digestOf(QList<QByteArray> digests) {
    std::sort(digests.begin(), digests.end());
    QCryptographicHash all(QCryptographicHash::Sha256);
    for (const QByteArray &d : digests)
        all.addData(d);
    return {digests.size(), all.result()};
}

// Calls fn(id, file) for every handset picture below folder.
template <class Fn> void eachPictureFile(const QString &folder, Fn fn) {
    const QDir dir(folder);
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString file = it.next();
        if (const QString id = PictureNames::idOfFile(dir.relativeFilePath(file)); !id.isEmpty())
            fn(id, file);
    }
}

QByteArray readFile(const QString &file, bool *ok) {
    QFile f(file);
    *ok = f.open(QIODevice::ReadOnly);
    const QByteArray bytes = *ok ? f.readAll() : QByteArray();
    *ok = *ok && f.error() == QFileDevice::NoError;
    return bytes;
}
} // namespace

QByteArray hashOf(const QByteArray &bytes) {
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex();
}

bool fetch(const QSqlDatabase &db, const QString &id, const QByteArray &knownHash, Row *row, QString *error) {
    *row = {};
    QSqlQuery q(db);
    if (!run(q,
             QStringLiteral("SELECT hash, CASE WHEN hash = ? THEN NULL ELSE bytes END FROM t_mobile_picture"
                            " WHERE mid = ?"),
             {QString::fromLatin1(knownHash), id}, error))
        return false;
    if (!q.next())
        return true;
    row->present = true;
    row->hash = q.value(0).toString().toLatin1();
    row->hasBytes = !q.isNull(1);
    row->bytes = q.value(1).toByteArray();
    return true;
}

int exists(const QSqlDatabase &db, const QString &id, QString *error) {
    QSqlQuery q(db);
    if (!run(q, QStringLiteral("SELECT 1 FROM t_mobile_picture WHERE mid = ?"), {id}, error))
        return -1;
    return q.next() ? 1 : 0;
}

bool put(const QSqlDatabase &db, const QString &id, const QByteArray &bytes, QString *error) {
    return write(db,
                 QStringLiteral("INSERT INTO t_mobile_picture (mid, bytes, hash, changed) VALUES (?, ?, ?, "
                                "clock_timestamp())") +
                     QLatin1String(kUpsert),
                 {id, bytes, QString::fromLatin1(hashOf(bytes))}, error);
}

bool remove(const QSqlDatabase &db, const QString &id, QString *error) {
    QSqlQuery q(db);
    return run(q, QStringLiteral("DELETE FROM t_mobile_picture WHERE mid = ?"), {id}, error);
}

bool transfer(const QSqlDatabase &db, const QString &from, const QString &to, bool replace, bool keepSource,
              QString *error) {
    QSqlQuery q(db);
    if (sameId(db, from, to)) {
        if (keepSource || from == to)
            return true;
        return run(q, QStringLiteral("UPDATE t_mobile_picture SET mid = ? WHERE mid = ?"), {to, from}, error);
    }
    if (!replace && exists(db, to, error) != 0)
        return fail(error, QStringLiteral("ID의 사진이 이미 있습니다."));
    if (!run(q,
             QStringLiteral("INSERT INTO t_mobile_picture (mid, bytes, hash, changed) SELECT ?, bytes, hash, "
                            "clock_timestamp() FROM t_mobile_picture WHERE mid = ?") +
                 QLatin1String(kUpsert),
             {to, from}, error))
        return false;
    if (q.numRowsAffected() < 1)
        return fail(error, QStringLiteral("옮길 사진이 없습니다."));
    return keepSource || remove(db, from, error);
}

bool sameId(const QSqlDatabase &db, const QString &a, const QString &b) {
    QSqlQuery q(db);
    return run(q, QStringLiteral("SELECT CAST(? AS CITEXT) = CAST(? AS CITEXT)"), {a, b}, nullptr) && q.next() &&
           q.value(0).toBool();
}

Digest digestOfTable(const QSqlDatabase &db) {
    QSqlQuery q(db);
    q.setForwardOnly(true);
    QList<QByteArray> digests;
    if (q.exec(QStringLiteral("SELECT mid, bytes FROM t_mobile_picture")))
        while (q.next())
            digests << pictureDigest(q.value(0).toString(), q.value(1).toByteArray());
    return digestOf(digests);
}

Digest digestOfFolder(const QString &folder) {
    QList<QByteArray> digests;
    eachPictureFile(folder, [&](const QString &id, const QString &file) {
        bool ok = false;
        digests << pictureDigest(id, readFile(file, &ok));
    });
    return digestOf(digests);
}

bool fromFolder(const QSqlDatabase &db, const QString &folder, QString *error) {
    bool ok = true;
    eachPictureFile(folder, [&](const QString &id, const QString &file) {
        if (!ok)
            return;
        bool read = false;
        const QByteArray bytes = readFile(file, &read);
        if (!read) {
            ok = fail(error, QStringLiteral("'%1' 파일을 읽을 수 없습니다.").arg(QDir::toNativeSeparators(file)));
            return;
        }
        // No upsert: two files of one ID (letters differing in case) are refused, not one lost.
        ok = write(db, QStringLiteral("INSERT INTO t_mobile_picture (mid, bytes, hash) VALUES (?, ?, ?)"),
                   {id, bytes, QString::fromLatin1(hashOf(bytes))}, error);
        if (!ok && error)
            *error = QStringLiteral("'%1': %2").arg(QDir::toNativeSeparators(file), *error);
    });
    return ok;
}

bool toFolder(const QSqlDatabase &db, const QString &folder, QStringList *written, QString *error) {
    QSqlQuery q(db);
    if (!run(q, QStringLiteral("SELECT mid, bytes FROM t_mobile_picture"), {}, error))
        return false;
    while (q.next()) {
        const QString file = folder + QLatin1Char('/') + PictureNames::fileName(q.value(0).toString());
        const QByteArray bytes = q.value(1).toByteArray();
        QDir().mkpath(QFileInfo(file).absolutePath());
        QSaveFile out(file);
        if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size() || !out.commit())
            return fail(error, QStringLiteral("'%1': %2").arg(QDir::toNativeSeparators(file), out.errorString()));
        *written << file;
    }
    return true;
}

} // namespace PictureTable
