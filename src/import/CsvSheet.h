#pragma once
#include "SheetData.h"
#include <QByteArray>

// Comma-separated (or tab- or semicolon-separated) text: UTF-8 with or without a byte-order
// mark, or the Korean ANSI code page CP949 of files written on Windows.
namespace CsvSheet {

SheetData::Read read(const QString &file, const SheetData::Options &options);
// The same over bytes already read.
SheetData::Read parse(const QByteArray &bytes, const SheetData::Options &options);

} // namespace CsvSheet
