#pragma once
#include "XlsWriter.h"

// Office Open XML workbooks (.xlsx) through libxlsxwriter, for the export beside the .XLS:
// one sheet of up to 1,048,576 rows (no continuation sheets), every non-empty text a text
// cell ("000001" and "=1+1" stay as typed), bold and alignment per cell as on screen, the
// column widths. The same columns, rows and result as writeXlsFile; written under a
// temporary name and renamed when complete.
XlsResult writeXlsxFile(const SheetStore &sheet, int lastRow, const std::vector<XlsColumn> &columns,
                        const XlsOptions &options, const QString &file);
