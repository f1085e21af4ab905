#include "SqlDialect.h"

QString SqliteDialect::right(const QString &expr, int n) const {
    return QStringLiteral("substr(%1, -%2)").arg(expr).arg(n);
}

QString SqliteDialect::length(const QString &expr) const { return QStringLiteral("length(%1)").arg(expr); }

QString SqliteDialect::isDigits(const QString &expr) const {
    return QStringLiteral("(%1 <> '' AND %1 NOT GLOB '*[^0-9]*')").arg(expr);
}

QString SqliteDialect::lastIdentitySql() const { return QStringLiteral("SELECT last_insert_rowid()"); }

QString SqliteDialect::sameText(const QString &expr, const QString &quoted) const {
    return QStringLiteral("(COALESCE(%1, '') = %2 COLLATE BINARY)").arg(expr, quoted);
}

QString SqliteDialect::beginWriteSql() const { return QStringLiteral("BEGIN IMMEDIATE"); }

QString PostgresDialect::right(const QString &expr, int n) const {
    return QStringLiteral("RIGHT(%1, %2)").arg(expr).arg(n);
}

QString PostgresDialect::length(const QString &expr) const { return QStringLiteral("LENGTH(%1)").arg(expr); }

QString PostgresDialect::isDigits(const QString &expr) const {
    return QStringLiteral("(%1 <> '' AND (%1)::text ~ '^[0-9]+$')").arg(expr);
}

// The sequence of this connection's last insert.
QString PostgresDialect::lastIdentitySql() const { return QStringLiteral("SELECT lastval()"); }

// citext would compare without regard to case.
QString PostgresDialect::sameText(const QString &expr, const QString &quoted) const {
    return QStringLiteral("(COALESCE((%1)::text, '') = %2)").arg(expr, quoted);
}

QString PostgresDialect::beginWriteSql() const { return QStringLiteral("BEGIN"); }

// One lock for every writer of the shop's database, held to the end of the transaction:
// what a numbering reads stays true until its insert commits, as on the embedded engine.
QString PostgresDialect::writeLockSql() const { return QStringLiteral("SELECT pg_advisory_xact_lock(4946726)"); }

namespace {
const SqliteDialect kSqlite;
const SqlDialect *g_current = &kSqlite;
} // namespace

const SqlDialect &SqlDialect::current() { return *g_current; }

void SqlDialect::setCurrent(const SqlDialect *dialect) { g_current = dialect ? dialect : &kSqlite; }
