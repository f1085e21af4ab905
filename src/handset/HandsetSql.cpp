#include "HandsetSql.h"
#include "AppPaths.h"
#include "modMDB_Func.h"

using modMDB_Func::SqlQuote;

namespace HandsetSql {

namespace {
const QString kColumns = QStringLiteral("m.code, m.mcode, m.mid, m.makeyear, m.makecom, m.opentype, m.ant, m.model, "
                                        "m.sar, m.nick, m.imgpath, m.bigo");

// Columns of the search members and whether they match the whole text.
struct SearchColumn {
    const char *column;
    bool exact;
};
const SearchColumn kSearch[8] = {{"mid", false},     {"makeyear", false}, {"makecom", true}, {"opentype", true},
                                 {"ant", true},      {"model", false},    {"sar", false},    {"nick", false}};

// LIKE patterns treat % and _ as wildcards; a typed % or _ must match itself.
QString likeContains(const QString &text) {
    return QStringLiteral("'%") + modMDB_Func::SqlLikeEscape(text) + QStringLiteral("%' ESCAPE '\\'");
}
} // namespace

int maxLength(const QString &column) {
    for (size_t i = 0; i < kFieldColumns.size(); ++i)
        if (kFieldColumns[i].compare(column, Qt::CaseInsensitive) == 0)
            return kFieldMaxLength[i];
    return 0;
}

QString listQuery(const std::array<QString, 8> &search) {
    QString sql = QStringLiteral("SELECT ") + kColumns + QStringLiteral(" FROM t_mobile AS m WHERE m.code <> 1");
    for (int i = 0; i < 8; ++i) {
        if (search[i].isEmpty())
            continue;
        const QString column = QStringLiteral("m.") + QLatin1String(kSearch[i].column);
        const QString text = search[i].left(kFieldMaxLength[size_t(i) + 1]);
        sql += kSearch[i].exact ? QStringLiteral(" AND %1 = '%2'").arg(column, SqlQuote(text))
                                : QStringLiteral(" AND %1 LIKE %2").arg(column, likeContains(text));
    }
    return sql + QStringLiteral(" ORDER BY m.code");
}

QString recordQuery(int code) {
    return QStringLiteral("SELECT ") + kColumns + QStringLiteral(" FROM t_mobile AS m WHERE code = %1").arg(code);
}

QString lookupQuery(const QString &column, const QString &text) {
    QString sql = QStringLiteral("SELECT %1 FROM t_mobile AS m WHERE code <> 1").arg(column);
    const int longest = maxLength(column);
    if (!text.isEmpty())
        sql += QStringLiteral(" AND %1 LIKE %2").arg(column, likeContains(longest > 0 ? text.left(longest) : text));
    return sql + QStringLiteral(" GROUP BY %1 ORDER BY %1").arg(column);
}

QString insertStatement(const std::array<QString, 9> &f) {
    QStringList values;
    for (const QString &v : f)
        values << QLatin1Char('\'') + SqlQuote(v) + QLatin1Char('\'');
    return QStringLiteral("INSERT INTO t_mobile (mcode, mid, makeyear, makecom, opentype, ant, model, sar, nick, imgpath)"
                          " VALUES (") +
           values.join(QStringLiteral(", ")) + QStringLiteral(", '')");
}

QString updateStatement(const std::array<QString, 9> &f, int code) {
    QStringList sets;
    for (size_t i = 0; i < f.size(); ++i)
        sets << QStringLiteral("%1 = '%2'").arg(kFieldColumns[i], SqlQuote(f[i]));
    return QStringLiteral("UPDATE t_mobile SET ") + sets.join(QStringLiteral(", ")) +
           QStringLiteral(" WHERE code = %1").arg(code);
}

QString deleteStatement(int code) { return QStringLiteral("DELETE FROM t_mobile WHERE code = %1").arg(code); }

QString picturePath(const QString &mid) { return AppPaths::inApp(QStringLiteral("IMG/") + mid + QStringLiteral(".bmp")); }

} // namespace HandsetSql
