#pragma once
#include "BoundSql.h"
#include "HandsetColumns.h"
#include <QList>
#include <QString>
#include <array>
#include <utility>

// The statements of the handset windows over t_mobile, from the column table. Every typed
// or read text is a bound value.
namespace HandsetSql {

// The list search: the eight search texts in member order (ID, year, maker, opening type,
// antenna, model, SAR, nickname); empty texts add no condition. It reads the grid's columns.
BoundSql listQuery(const std::array<QString, 8> &search);
// Every handset with every column, the remark included: what an import compares against.
BoundSql catalogueQuery();
// One record by code, every column.
BoundSql recordQuery(int code);
// The distinct values of one column, narrowed by text when it is not empty.
BoundSql lookupQuery(const QString &column, const QString &text);
BoundSql insertStatement(const HandsetColumns::Fields &fields);
// The values of insertStatement(fields), for its statement prepared once and run again.
QVariantList insertValues(const HandsetColumns::Fields &fields);
// Texts of named columns, as a window read them.
using ColumnTexts = QList<std::pair<QString, QString>>;
// With expected, the record is changed (or deleted) only while it still holds those texts
// exactly: another PC's change in between leaves it alone.
BoundSql updateStatement(const HandsetColumns::Fields &fields, int code, const ColumnTexts &expected = {});
BoundSql deleteStatement(int code, const ColumnTexts &expected = {});
// The values of updateStatement(fields, code, fieldTexts(expected)), for its statement
// prepared once and run again.
QVariantList updateValues(const HandsetColumns::Fields &fields, int code, const HandsetColumns::Fields &expected);
// The entry fields as (column, text), for updateStatement's expected.
ColumnTexts fieldTexts(const HandsetColumns::Fields &fields);
BoundSql existsQuery(int code);
// How many handsets have the ID (letter case ignored, as the column compares), leaving out
// record exceptCode (0: none).
BoundSql idCountQuery(const QString &mid, int exceptCode);
// The ID of one record.
BoundSql idQuery(int code);

} // namespace HandsetSql
