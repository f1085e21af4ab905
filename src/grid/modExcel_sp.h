#pragma once
#include <QString>

class Spread;

namespace modExcel_sp {
// Writes the grid's rows to ExpExcel/ExpYYMMDD_HHMMSS.XLS (with its log beside it) and
// returns the file, or the empty text when there was nothing to export, the user said No or
// the export failed. The grid leaves as it came: rows, protection and screen updating.
// extension ".xlsx" writes an Office Open XML workbook instead (one sheet, no row split).
QString ExportToExcelFile(Spread *grid, const QString &sheetName, bool reserved, bool noQuestion, bool wholeBook,
                          bool openAfterwards, bool headerRows, const QString &extension = QStringLiteral(".XLS"));
} // namespace modExcel_sp
