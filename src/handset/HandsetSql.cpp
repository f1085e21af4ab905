#include "HandsetSql.h"
#include "SqlDialect.h"
#include "modMDB_Func.h"
#include <QStringList>

namespace HandsetSql {

namespace {
// The columns of the table in its order, every one or the list grid's only: the list and the
// entry window read them by name, the remark only when the entry window opens a row.
QString selectColumns(bool gridOnly = false) {
    QStringList names;
    for (const HandsetColumns::Column &c : HandsetColumns::all())
        if (!gridOnly || c.gridCol > 0)
            names << QStringLiteral("m.") + c.columnName();
    return names.join(QStringLiteral(", "));
}

// LIKE patterns treat % and _ as wildcards; a typed % or _ must match itself.
BoundSql likeContains(const QString &column, const QString &text) {
    return {QStringLiteral(" AND %1 LIKE ? ESCAPE '\\'").arg(column),
            {QLatin1Char('%') + modMDB_Func::SqlLikeEscape(text) + QLatin1Char('%')}};
}
} // namespace

BoundSql listQuery(const std::array<QString, 8> &search) {
    BoundSql sql =
        QStringLiteral("SELECT ") + selectColumns(true) + QStringLiteral(" FROM t_mobile AS m WHERE m.code <> 1");
    for (const HandsetColumns::Column &c : HandsetColumns::all()) {
        if (c.match == HandsetColumns::Match::None || search[size_t(c.field) - 1].isEmpty())
            continue;
        const QString column = QStringLiteral("m.") + c.columnName();
        const QString text = search[size_t(c.field) - 1].left(c.maxLength);
        sql += c.match == HandsetColumns::Match::Exact ? BoundSql(QStringLiteral(" AND %1 = ?").arg(column), {text})
                                                       : likeContains(column, text);
    }
    sql.sql += QStringLiteral(" ORDER BY m.code");
    return sql;
}

BoundSql catalogueQuery() {
    return QStringLiteral("SELECT ") + selectColumns() +
           QStringLiteral(" FROM t_mobile AS m WHERE m.code <> 1 ORDER BY m.code");
}

BoundSql recordQuery(int code) {
    return QStringLiteral("SELECT ") + selectColumns() +
           QStringLiteral(" FROM t_mobile AS m WHERE code = %1").arg(code);
}

BoundSql lookupQuery(const QString &column, const QString &text) {
    BoundSql sql = QStringLiteral("SELECT %1 FROM t_mobile AS m WHERE code <> 1").arg(column);
    const int longest = HandsetColumns::maxLength(column);
    if (!text.isEmpty())
        sql += likeContains(column, longest > 0 ? text.left(longest) : text);
    sql.sql += QStringLiteral(" GROUP BY %1 ORDER BY %1").arg(column);
    return sql;
}

// A new record's picture path is empty: no window writes it.
QVariantList insertValues(const HandsetColumns::Fields &f) { return QVariantList(f.begin(), f.end()); }

BoundSql insertStatement(const HandsetColumns::Fields &f) {
    QStringList columns, marks;
    for (int i = 0; i < HandsetColumns::kFieldCount; ++i) {
        columns << HandsetColumns::field(i).columnName();
        marks << QStringLiteral("?");
    }
    return {QStringLiteral("INSERT INTO t_mobile (") + columns.join(QStringLiteral(", ")) +
                QStringLiteral(", imgpath) VALUES (") + marks.join(QStringLiteral(", ")) + QStringLiteral(", '')"),
            insertValues(f)};
}

namespace {
BoundSql stillHolds(const ColumnTexts &expected) {
    BoundSql sql;
    for (const auto &[column, text] : expected)
        sql += BoundSql(QStringLiteral(" AND ") + SqlDialect::current().sameText(column, QStringLiteral("?")), {text});
    return sql;
}
} // namespace

BoundSql updateStatement(const HandsetColumns::Fields &f, int code, const ColumnTexts &expected) {
    QStringList sets;
    for (int i = 0; i < HandsetColumns::kFieldCount; ++i)
        sets << HandsetColumns::field(i).columnName() + QStringLiteral(" = ?");
    BoundSql sql(QStringLiteral("UPDATE t_mobile SET ") + sets.join(QStringLiteral(", ")) +
                     QStringLiteral(" WHERE code = ?"),
                 insertValues(f) << code);
    sql += stillHolds(expected);
    return sql;
}

QVariantList updateValues(const HandsetColumns::Fields &fields, int code, const HandsetColumns::Fields &expected) {
    return insertValues(fields) << code << insertValues(expected);
}

BoundSql deleteStatement(int code, const ColumnTexts &expected) {
    BoundSql sql = QStringLiteral("DELETE FROM t_mobile WHERE code = %1").arg(code);
    sql += stillHolds(expected);
    return sql;
}

ColumnTexts fieldTexts(const HandsetColumns::Fields &fields) {
    ColumnTexts texts;
    for (int i = 0; i < HandsetColumns::kFieldCount; ++i)
        texts.append({HandsetColumns::field(i).columnName(), fields[size_t(i)]});
    return texts;
}

BoundSql existsQuery(int code) { return QStringLiteral("SELECT COUNT(*) FROM t_mobile WHERE code = %1").arg(code); }

BoundSql idCountQuery(const QString &mid, int exceptCode) {
    return {QStringLiteral("SELECT COUNT(*) FROM t_mobile WHERE mid = ? AND code <> %1").arg(exceptCode), {mid}};
}

BoundSql idQuery(int code) { return QStringLiteral("SELECT mid FROM t_mobile WHERE code = %1").arg(code); }

} // namespace HandsetSql
