#include "DatabaseCheck.h"
#include "Schema.h"
#include <QFileInfo>
#include <QStringList>
#include <initializer_list>
#include <sqlite3.h>

namespace DatabaseCheck {

namespace {

struct Table {
    const char *name;
    std::initializer_list<const char *> columns;
};

// What every database of this program has had; later additions come from Schema::upgrade
// and must not be demanded of an older file.
const Table kTables[] = {
    {"dbinfo", {"name", "value"}},
    {"local_user", {"loginid", "local_name", "loginpwd", "code"}},
    {"options", {"optname", "optvalue"}},
    {"t_mobile",
     {"code", "mcode", "mid", "makeyear", "makecom", "opentype", "ant", "model", "sar", "nick", "imgpath", "bigo"}},
};

Result problem(Result::Problem p, const QString &message, const QString &detail = {}) {
    Result r;
    r.problem = p;
    r.message = message;
    r.detail = detail;
    return r;
}

Result engineProblem(int rc, const QString &detail) {
    switch (rc & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return problem(
            Result::Locked,
            QStringLiteral("다른 프로그램이 데이터베이스를 쓰고 있어 확인하지 못했습니다. 잠시 뒤 다시 시도하세요."),
            detail);
    case SQLITE_NOTADB: return problem(Result::NotADatabase, QStringLiteral("데이터베이스 파일이 아닙니다."), detail);
    case SQLITE_CORRUPT: return problem(Result::Damaged, QStringLiteral("데이터베이스 파일이 손상되었습니다."), detail);
    default: return problem(Result::Unreadable, QStringLiteral("데이터베이스 파일을 읽을 수 없습니다."), detail);
    }
}

class Connection {
public:
    ~Connection() { sqlite3_close_v2(m_db); }
    int open(const QString &file, int busyTimeoutMs) {
        const int rc = sqlite3_open_v2(file.toUtf8().constData(), &m_db, SQLITE_OPEN_READONLY, nullptr);
        if (rc == SQLITE_OK)
            sqlite3_busy_timeout(m_db, busyTimeoutMs);
        return rc;
    }
    QString error() const { return m_db ? QString::fromUtf8(sqlite3_errmsg(m_db)) : QString(); }

    // The first column of every row (at most limit); the engine's result code otherwise.
    int rows(const char *sql, const QString &bound, QStringList *out, int limit = 1000) {
        sqlite3_stmt *st = nullptr;
        int rc = sqlite3_prepare_v2(m_db, sql, -1, &st, nullptr);
        if (rc != SQLITE_OK)
            return rc;
        const QByteArray text = bound.toUtf8();
        if (!bound.isNull())
            sqlite3_bind_text(st, 1, text.constData(), int(text.size()), SQLITE_STATIC);
        while ((rc = sqlite3_step(st)) == SQLITE_ROW && out->size() < limit) {
            const auto *value = reinterpret_cast<const char *>(sqlite3_column_text(st, 0));
            *out << (value ? QString::fromUtf8(value, sqlite3_column_bytes(st, 0)) : QString());
        }
        sqlite3_finalize(st);
        return rc == SQLITE_DONE || rc == SQLITE_ROW ? SQLITE_OK : rc;
    }

private:
    sqlite3 *m_db = nullptr;
};

QString notOurs(const QString &why) { return QStringLiteral("이 프로그램의 데이터베이스가 아닙니다 (%1).").arg(why); }

} // namespace

Result checkMainDatabase(const QString &file, const QString &password, Depth depth, int busyTimeoutMs) {
    // Opening a missing file would create it.
    if (!QFileInfo(file).isFile())
        return problem(Result::Missing, QStringLiteral("데이터베이스 파일이 없습니다."), file);
    Connection db;
    if (const int rc = db.open(file, busyTimeoutMs); rc != SQLITE_OK)
        return engineProblem(rc, db.error());

    QStringList found;
    const char *pragma = depth == Depth::Full ? "PRAGMA integrity_check(10)" : "PRAGMA quick_check(10)";
    if (const int rc = db.rows(pragma, QString(), &found); rc != SQLITE_OK)
        return engineProblem(rc, db.error());
    if (found != QStringList{QStringLiteral("ok")})
        return problem(Result::Damaged, QStringLiteral("데이터베이스 파일이 손상되었습니다."),
                       found.join(QLatin1Char('\n')));

    for (const Table &t : kTables) {
        found.clear();
        const QString table = QString::fromLatin1(t.name);
        if (const int rc = db.rows("SELECT lower(name) FROM pragma_table_info(?1)", table, &found); rc != SQLITE_OK)
            return engineProblem(rc, db.error());
        if (found.isEmpty())
            return problem(Result::WrongSchema, notOurs(QStringLiteral("%1 표가 없습니다").arg(table)));
        for (const char *column : t.columns)
            if (!found.contains(QString::fromLatin1(column)))
                return problem(
                    Result::WrongSchema,
                    notOurs(QStringLiteral("%1 표에 %2 항목이 없습니다").arg(table, QString::fromLatin1(column))));
    }

    // As the program's own opening compares: no stored hash means no password.
    found.clear();
    if (const int rc = db.rows("SELECT value FROM dbinfo WHERE name = 'pwhash'", QString(), &found, 1); rc != SQLITE_OK)
        return engineProblem(rc, db.error());
    const QString stored = found.value(0);
    if (!stored.isEmpty() && stored != Schema::passwordHash(password))
        return problem(Result::WrongPassword, QStringLiteral("데이터베이스 암호가 맞지 않습니다."));

    Result ok;
    ok.ok = true;
    return ok;
}

} // namespace DatabaseCheck
