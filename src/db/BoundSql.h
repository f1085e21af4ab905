#pragma once
#include <QString>
#include <QVariantList>
#include <functional>

// A statement with ? placeholders and the values they stand for, in order. The values reach
// the engine bound, never as text inside the statement, so a typed quote, backslash or
// wildcard is only ever data. A plain text converts to a statement without values.
struct BoundSql {
    QString sql;
    QVariantList values;

    BoundSql() = default;
    BoundSql(QString text, QVariantList bound = {}) : sql(std::move(text)), values(std::move(bound)) {}
    BoundSql(const char *text) : sql(QString::fromUtf8(text)) {}

    // Appends a part of a statement with its own values.
    BoundSql &operator+=(const BoundSql &tail);

    // The statement with each value written in as a literal, for a log line, an error box
    // or a tool that takes text.
    QString inlined() const;
    // The values as they are bound: a NUL cannot be held in a text on either engine, so it is
    // dropped alone (see SqlQuote); a text is never NULL, an empty one stays empty.
    QVariantList bindable() const;
};

namespace modMDB_Func {
// Text for a '...' literal, for callers that must build text (a log line, a tool's input):
// quotes doubled, a NUL dropped alone and the text after it kept. Neither engine holds a NUL
// in a text (SQLite ends the statement there, PostgreSQL refuses it), and a NUL in typed text
// is a paste nobody sees; statements take bound values instead.
QString SqlQuote(const QString &text);
// Text for a LIKE pattern with ESCAPE '\\': %, _ and \ match themselves, a NUL is dropped.
// The pattern is a value to bind; it is not quoted.
QString SqlLikeEscape(const QString &text);
} // namespace modMDB_Func

// Calls placeholder(n, position) for each ? outside quoted texts and names, n from 0; the
// numbering the engines use is the caller's.
void forEachPlaceholder(const QString &sql, const std::function<void(int n, qsizetype at)> &placeholder);
