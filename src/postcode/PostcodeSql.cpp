#include "PostcodeSql.h"
#include "modMDB_Func.h"

namespace PostcodeSql {

bool isCodeSearch(const QString &text) {
    QString digits = text;
    digits.remove(QLatin1Char('-'));
    if (digits.isEmpty())
        return false;
    for (QChar c : digits)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    return true;
}

BoundSql searchQuery(const QString &text) {
    BoundSql sql = QStringLiteral("SELECT ZIPCODE, SIDO, GUGUN, DONG, BUNJI FROM Post");
    if (isCodeSearch(text)) {
        // A six-digit code is kept with or without its dash, and the grid shows it with one:
        // either form typed finds both.
        QString digits = text;
        digits.remove(QLatin1Char('-'));
        QVariantList forms{text};
        if (digits.size() == 6)
            for (const QString &form : {digits, formatCode(digits)})
                if (form != text)
                    forms << form;
        sql += BoundSql(forms.size() == 1
                            ? QStringLiteral(" WHERE ZIPCODE = ?")
                            : QStringLiteral(" WHERE ZIPCODE IN (%1)").arg(QStringList(forms.size(), "?").join(", ")),
                        forms);
    } else if (!text.isEmpty())
        sql += BoundSql(QStringLiteral(" WHERE DONG LIKE ? ESCAPE '\\'"),
                        {modMDB_Func::SqlLikeEscape(text) + QLatin1Char('%')});
    sql.sql += QStringLiteral(" ORDER BY ZIPCODE;");
    return sql;
}

QString formatCode(const QString &code) {
    if (code.size() != 6 || code.contains(QLatin1Char('-')) || !isCodeSearch(code))
        return code;
    return code.left(3) + QLatin1Char('-') + code.mid(3);
}

QString joinAddress(const QString &sido, const QString &gugun, const QString &dong) {
    QStringList parts;
    for (const QString &p : {sido, gugun, dong})
        if (!p.isEmpty())
            parts << p;
    return parts.join(QLatin1Char(' '));
}

QString createTableSql() {
    return QStringLiteral("CREATE TABLE Post (ZIPCODE TEXT, SIDO TEXT, GUGUN TEXT, DONG TEXT, BUNJI TEXT)");
}

QStringList createIndexSql() {
    // LIKE ignores case here, so only a NOCASE index serves a prefix search.
    return {QStringLiteral("CREATE INDEX IF NOT EXISTS Post_DONG ON Post (DONG COLLATE NOCASE)"),
            QStringLiteral("CREATE INDEX IF NOT EXISTS Post_ZIPCODE ON Post (ZIPCODE)")};
}

} // namespace PostcodeSql
