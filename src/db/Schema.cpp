#include "Schema.h"
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>

namespace Schema {

QString passwordHash(const QString &password) {
    return QString::fromLatin1(
        QCryptographicHash::hash(("mobileshop:" + password).toUtf8(), QCryptographicHash::Sha256).toHex());
}

namespace {
// The base record has no management number; every other number is given once.
const char *const kUniqueCodes =
    "CREATE UNIQUE INDEX IF NOT EXISTS t_mobile_mcode_unique ON t_mobile (mcode) WHERE mcode <> ''";

// Text compares without regard to case, as the shops' data always has.
const char *const kStatements[] = {
    "CREATE TABLE dbinfo (name TEXT PRIMARY KEY, value TEXT)",
    "CREATE TABLE local_user (loginid TEXT COLLATE NOCASE PRIMARY KEY, local_name TEXT, loginpwd TEXT DEFAULT '', code "
    "INTEGER DEFAULT 1)",
    "CREATE TABLE options (optname TEXT COLLATE NOCASE PRIMARY KEY, optvalue TEXT)",
    "CREATE TABLE t_mobile (code INTEGER PRIMARY KEY AUTOINCREMENT, mcode TEXT COLLATE NOCASE DEFAULT '', mid TEXT "
    "COLLATE NOCASE DEFAULT '',"
    " makeyear TEXT COLLATE NOCASE DEFAULT '', makecom TEXT COLLATE NOCASE DEFAULT '', opentype TEXT COLLATE NOCASE "
    "DEFAULT '', ant TEXT COLLATE NOCASE DEFAULT '',"
    " model TEXT COLLATE NOCASE DEFAULT '', sar TEXT COLLATE NOCASE DEFAULT '', nick TEXT COLLATE NOCASE DEFAULT '', "
    "imgpath TEXT COLLATE NOCASE DEFAULT '', bigo TEXT COLLATE NOCASE DEFAULT '')",
    "CREATE INDEX t_mobile_mcode ON t_mobile (mcode)",
    kUniqueCodes,
    "INSERT INTO local_user (loginid, local_name, loginpwd, code) VALUES ('ADMIN', '관리자', '', 1)",
    "INSERT INTO t_mobile (code, mcode) VALUES (1, '')",
};
} // namespace

void upgrade(const QSqlDatabase &db) {
    // Looked up first: creating takes the write lock, which another PC may hold at start-up.
    QSqlQuery q(db);
    q.exec(QStringLiteral("SELECT 1 FROM sqlite_master WHERE type = 'index' AND name = 't_mobile_mcode_unique'"));
    const bool present = q.next();
    q.finish();
    if (!present)
        q.exec(QString::fromUtf8(kUniqueCodes));
}

bool createMainDatabase(const QString &file, const QString &password, QString *error) {
    auto fail = [&](const QString &why) {
        if (error)
            *error = why;
        return false;
    };
    if (QFileInfo::exists(file))
        return fail(QStringLiteral("'%1' 파일이 이미 있습니다.").arg(file));
    if (!QDir().mkpath(QFileInfo(file).absolutePath()))
        return fail(QStringLiteral("'%1' 폴더를 만들 수 없습니다.").arg(QFileInfo(file).absolutePath()));
    const QString temp = file + QStringLiteral(".new");
    QFile::remove(temp);
    const QString name = QStringLiteral("schema-") + QUuid::createUuid().toString(QUuid::WithoutBraces);
    bool ok = true;
    QString why;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(temp);
        ok = db.open() && db.transaction();
        QSqlQuery q(db);
        for (const char *s : kStatements) {
            if (!ok)
                break;
            ok = q.exec(QString::fromUtf8(s));
        }
        if (ok) {
            q.prepare(QStringLiteral("INSERT INTO dbinfo (name, value) VALUES ('pwhash', ?)"));
            q.addBindValue(password.isEmpty() ? QString() : passwordHash(password));
            ok = q.exec();
        }
        if (!ok)
            why = q.lastError().text().isEmpty() ? db.lastError().text() : q.lastError().text();
        ok = ok && db.commit();
        q.finish();
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    if (!ok || !QFile::rename(temp, file)) {
        QFile::remove(temp);
        return fail(why.isEmpty() ? QStringLiteral("'%1' 파일을 만들 수 없습니다.").arg(file) : why);
    }
    return true;
}

} // namespace Schema
