#pragma once
#include "SheetData.h"

// Excel 97-2003 workbooks (.xls) read through FreeXL: the program's own F8 export and what
// older spreadsheet programs save.
namespace XlsSheet {
SheetData::Read read(const QString &file, const SheetData::Options &options);
} // namespace XlsSheet
