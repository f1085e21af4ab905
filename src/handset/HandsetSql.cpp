#include "HandsetSql.h"
#include "SqlDialect.h"
#include "modMDB_Func.h"
#include <QStringList>

using modMDB_Func::SqlQuote;

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
QString likeContains(const QString &text) {
    return QStringLiteral("'%") + modMDB_Func::SqlLikeEscape(text) + QStringLiteral("%' ESCAPE '\\'");
}
} // namespace

QString listQuery(const std::array<QString, 8> &search) {
    QString sql =
        QStringLiteral("SELECT ") + selectColumns(true) + QStringLiteral(" FROM t_mobile AS m WHERE m.code <> 1");
    for (const HandsetColumns::Column &c : HandsetColumns::all()) {
        if (c.match == HandsetColumns::Match::None || search[size_t(c.field) - 1].isEmpty())
            continue;
        const QString column = QStringLiteral("m.") + c.columnName();
        const QString text = search[size_t(c.field) - 1].left(c.maxLength);
        sql += c.match == HandsetColumns::Match::Exact
                   ? QStringLiteral(" AND %1 = '%2'").arg(column, SqlQuote(text))
                   : QStringLiteral(" AND %1 LIKE %2").arg(column, likeContains(text));
    }
    return sql + QStringLiteral(" ORDER BY m.code");
}

QString recordQuery(int code) {
    return QStringLiteral("SELECT ") + selectColumns() +
           QStringLiteral(" FROM t_mobile AS m WHERE code = %1").arg(code);
}

QString lookupQuery(const QString &column, const QString &text) {
    QString sql = QStringLiteral("SELECT %1 FROM t_mobile AS m WHERE code <> 1").arg(column);
    const int longest = HandsetColumns::maxLength(column);
    if (!text.isEmpty())
        sql += QStringLiteral(" AND %1 LIKE %2").arg(column, likeContains(longest > 0 ? text.left(longest) : text));
    return sql + QStringLiteral(" GROUP BY %1 ORDER BY %1").arg(column);
}

// A new record's picture path is empty: no window writes it.
QString insertStatement(const HandsetColumns::Fields &f) {
    QStringList columns, values;
    for (int i = 0; i < HandsetColumns::kFieldCount; ++i) {
        columns << HandsetColumns::field(i).columnName();
        values << QLatin1Char('\'') + SqlQuote(f[size_t(i)]) + QLatin1Char('\'');
    }
    return QStringLiteral("INSERT INTO t_mobile (") + columns.join(QStringLiteral(", ")) +
           QStringLiteral(", imgpath) VALUES (") + values.join(QStringLiteral(", ")) + QStringLiteral(", '')");
}

namespace {
QString stillHolds(const ColumnTexts &expected) {
    QString sql;
    for (const auto &[column, text] : expected)
        sql += QStringLiteral(" AND ") +
               SqlDialect::current().sameText(column, QLatin1Char('\'') + SqlQuote(text) + QLatin1Char('\''));
    return sql;
}
} // namespace

QString updateStatement(const HandsetColumns::Fields &f, int code, const ColumnTexts &expected) {
    QStringList sets;
    for (int i = 0; i < HandsetColumns::kFieldCount; ++i)
        sets << QStringLiteral("%1 = '%2'").arg(HandsetColumns::field(i).columnName(), SqlQuote(f[size_t(i)]));
    return QStringLiteral("UPDATE t_mobile SET ") + sets.join(QStringLiteral(", ")) +
           QStringLiteral(" WHERE code = %1").arg(code) + stillHolds(expected);
}

QString deleteStatement(int code, const ColumnTexts &expected) {
    return QStringLiteral("DELETE FROM t_mobile WHERE code = %1").arg(code) + stillHolds(expected);
}

ColumnTexts fieldTexts(const HandsetColumns::Fields &fields) {
    ColumnTexts texts;
    for (int i = 0; i < HandsetColumns::kFieldCount; ++i)
        texts.append({HandsetColumns::field(i).columnName(), fields[size_t(i)]});
    return texts;
}

QString existsQuery(int code) { return QStringLiteral("SELECT COUNT(*) FROM t_mobile WHERE code = %1").arg(code); }

QString idCountQuery(const QString &mid, int exceptCode) {
    return QStringLiteral("SELECT COUNT(*) FROM t_mobile WHERE mid = '%1' AND code <> %2")
        .arg(SqlQuote(mid))
        .arg(exceptCode);
}

QString idQuery(int code) { return QStringLiteral("SELECT mid FROM t_mobile WHERE code = %1").arg(code); }

} // namespace HandsetSql
