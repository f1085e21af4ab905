#include "BoundSql.h"

BoundSql &BoundSql::operator+=(const BoundSql &tail) {
    sql += tail.sql;
    values += tail.values;
    return *this;
}

namespace modMDB_Func {
QString SqlQuote(const QString &text) {
    QString t = text;
    t.remove(QChar(0));
    t.replace(QLatin1Char('\''), QStringLiteral("''"));
    return t;
}

QString SqlLikeEscape(const QString &text) {
    QString t = text;
    t.remove(QChar(0));
    t.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    t.replace(QLatin1Char('%'), QStringLiteral("\\%"));
    t.replace(QLatin1Char('_'), QStringLiteral("\\_"));
    return t;
}
} // namespace modMDB_Func

void forEachPlaceholder(const QString &sql, const std::function<void(int n, qsizetype at)> &placeholder) {
    QChar quote; // the quote of the text or name we are inside, if any
    int n = 0;
    for (qsizetype i = 0; i < sql.size(); ++i) {
        const QChar c = sql[i];
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar(); // a doubled quote closes and opens again
        } else if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            quote = c;
        } else if (c == QLatin1Char('?')) {
            placeholder(n++, i);
        }
    }
}

namespace {
QString literal(const QVariant &v) {
    if (v.isNull())
        return QStringLiteral("NULL");
    switch (v.typeId()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
    case QMetaType::Double: return v.toString();
    default: return QLatin1Char('\'') + modMDB_Func::SqlQuote(v.toString()) + QLatin1Char('\'');
    }
}
} // namespace

QString BoundSql::inlined() const {
    QString out;
    qsizetype from = 0;
    forEachPlaceholder(sql, [&](int n, qsizetype at) {
        out += sql.mid(from, at - from);
        out += n < values.size() ? literal(values[n]) : QStringLiteral("?");
        from = at + 1;
    });
    return out + sql.mid(from);
}

QVariantList BoundSql::bindable() const {
    QVariantList out = values;
    for (QVariant &v : out) {
        if (v.typeId() != QMetaType::QString)
            continue;
        // Qt's drivers bind a null QString as NULL; an empty field is an empty text.
        const QString text = v.toString().remove(QChar(0));
        v = text.isNull() ? QStringLiteral("") : text;
    }
    return out;
}
