#pragma once
#include "SheetData.h"

// Which reader a file goes to, by its name's ending: .xls (FreeXL), .xlsx, .ods, and
// .csv or .txt (text). The file filter the window offers matches.
namespace SheetFiles {
SheetData::Read read(const QString &file, const SheetData::Options &options);
QString fileFilter();
bool isText(const QString &file);
} // namespace SheetFiles
