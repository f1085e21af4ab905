#pragma once
#include <QString>

// Base64 of short texts (one byte per character in the ANSI code page) and numeric formats.
namespace mdlCommonKV {

// Empty text (after the error box) when a character does not fit one byte.
QString EncodeStr(const QString &text);
// Empty text (after the error box) on a character outside the Base64 alphabet, a length
// that is not a whole number of groups, or padding anywhere but at the end.
QString DecodeStr(const QString &text);

// A display pattern such as "#,##0.00".
QString GetDecFormat(int decimals, bool thousands, bool showZero);
// value shown with GetDecFormat's pattern in the current locale's signs; whole numbers
// drop their decimals, and zero is empty unless showZero.
QString FormatNum(double value, int decimals, bool thousands, bool showZero);

} // namespace mdlCommonKV
