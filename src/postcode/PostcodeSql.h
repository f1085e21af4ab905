#pragma once
#include "BoundSql.h"
#include <QString>
#include <QStringList>

// The statements over the postal-code table Post and the forms its codes and addresses take.
namespace PostcodeSql {

inline const QString kTable = QStringLiteral("Post");
// The five columns the lookup reads, in grid order.
inline const QStringList kColumns{QStringLiteral("ZIPCODE"), QStringLiteral("SIDO"), QStringLiteral("GUGUN"),
                                  QStringLiteral("DONG"), QStringLiteral("BUNJI")};

// A text that is digits once its dashes are gone looks a code up; anything else is the start
// of a town name. The text is quoted and a typed %, _ or quote matches itself.
bool isCodeSearch(const QString &text);
BoundSql searchQuery(const QString &text);

// Six digits get the form 000-000; any other code stays as it is.
QString formatCode(const QString &code);
// Province, district and town joined by single blanks (a missing part leaves no gap).
QString joinAddress(const QString &sido, const QString &gugun, const QString &dong);

// The table and the indexes that serve DONG LIKE 'text%' and ZIPCODE = 'text'.
QString createTableSql();
QStringList createIndexSql();

} // namespace PostcodeSql
