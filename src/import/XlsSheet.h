#pragma once
#include "SheetData.h"

// Excel 97-2003 workbooks (.xls): the program's own F8 export and what older spreadsheet
// programs save. Read by FreeXL in the companion program xls-text, so that a file that
// makes FreeXL crash costs only that program.
namespace XlsSheet {
SheetData::Read read(const QString &file, const SheetData::Options &options);
} // namespace XlsSheet
