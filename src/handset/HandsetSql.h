#pragma once
#include <QString>
#include <QStringList>
#include <array>

// The statements of the handset windows over t_mobile. Every typed text is quoted.
namespace HandsetSql {

// Columns of the nine entry fields, in field order.
inline const std::array<QString, 9> kFieldColumns{
    QStringLiteral("mcode"), QStringLiteral("mid"),   QStringLiteral("makeyear"),
    QStringLiteral("makecom"), QStringLiteral("opentype"), QStringLiteral("ant"),
    QStringLiteral("model"), QStringLiteral("sar"),   QStringLiteral("nick")};

// The longest text each entry field takes, in field order (field 0 follows gCodeLength).
inline constexpr std::array<int, 9> kFieldMaxLength{6, 20, 10, 30, 30, 50, 100, 50, 100};
// The longest text a column takes; 0 for a column of no entry field.
int maxLength(const QString &column);

// The list search: the eight search texts in member order (ID, year, maker, opening type,
// antenna, model, SAR, nickname); empty texts add no condition.
QString listQuery(const std::array<QString, 8> &search);
// One record by code.
QString recordQuery(int code);
// The distinct values of one column, narrowed by text when it is not empty.
QString lookupQuery(const QString &column, const QString &text);
QString insertStatement(const std::array<QString, 9> &fields);
QString updateStatement(const std::array<QString, 9> &fields, int code);
QString deleteStatement(int code);

// The picture of a model: IMG/<mid>.bmp in the application folder.
QString picturePath(const QString &mid);

} // namespace HandsetSql
