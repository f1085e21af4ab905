#pragma once
#include "SheetData.h"

// Office Open XML workbooks (.xlsx) read with libzip and QXmlStreamReader: the sheet list,
// the shared strings, which cell styles are dates, and one sheet's cells as they were saved.
namespace XlsxSheet {
SheetData::Read read(const QString &file, const SheetData::Options &options);
} // namespace XlsxSheet
