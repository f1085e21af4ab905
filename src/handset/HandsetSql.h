#pragma once
#include "HandsetColumns.h"
#include <QString>
#include <array>

// The statements of the handset windows over t_mobile, from the column table. Every typed
// text is quoted.
namespace HandsetSql {

// The list search: the eight search texts in member order (ID, year, maker, opening type,
// antenna, model, SAR, nickname); empty texts add no condition.
QString listQuery(const std::array<QString, 8> &search);
// One record by code.
QString recordQuery(int code);
// The distinct values of one column, narrowed by text when it is not empty.
QString lookupQuery(const QString &column, const QString &text);
QString insertStatement(const HandsetColumns::Fields &fields);
QString updateStatement(const HandsetColumns::Fields &fields, int code);
QString deleteStatement(int code);
// How many handsets have the ID (letter case ignored, as the column compares), leaving out
// record exceptCode (0: none).
QString idCountQuery(const QString &mid, int exceptCode);
// The ID of one record.
QString idQuery(int code);

} // namespace HandsetSql
