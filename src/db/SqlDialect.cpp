#include "SqlDialect.h"

QString SqliteDialect::right(const QString &expr, int n) const {
    return QStringLiteral("substr(%1, -%2)").arg(expr).arg(n);
}

QString SqliteDialect::length(const QString &expr) const { return QStringLiteral("length(%1)").arg(expr); }

QString SqliteDialect::isDigits(const QString &expr) const {
    return QStringLiteral("(%1 <> '' AND %1 NOT GLOB '*[^0-9]*')").arg(expr);
}

QString SqliteDialect::lastIdentitySql() const { return QStringLiteral("SELECT last_insert_rowid()"); }

QString SqliteDialect::beginWriteSql() const { return QStringLiteral("BEGIN IMMEDIATE"); }

const SqlDialect &SqlDialect::current() {
    static const SqliteDialect sqlite;
    return sqlite;
}
