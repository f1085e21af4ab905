#pragma once
#include "SheetStore.h"
#include <QIODevice>
#include <QString>
#include <vector>

// Excel 97-2003 workbooks (.xls): BIFF8 records in the "Workbook" stream of a compound file.
//
// Two passes over the store. The first collects the shared strings and counts the cells
// of every 32-row block, which fixes every record's size and position; the second writes
// the stream front to back, so memory holds the string table and nothing per cell.
//
// Globals: BOF, InterfaceHdr, Mms, InterfaceEnd, WriteAccess, CodePage (1200: UTF-16),
//   DSF, RRTabId, WinProtect, Protect, Password, Prot4Rev, Prot4RevPass, Window1, Backup,
//   HideObj, Date1904, CalcPrecision, RefreshAll, BookBool, 5 Font (0-3 the data font,
//   5 its bold face; index 4 does not exist in BIFF8), 8 Format (the built-in currency
//   formats Excel insists on), 16 XF (15 style XFs and the default cell XF), 18 cell XFs
//   (bold x horizontal x vertical alignment), Style (Normal), UsesELFs, BoundSheet8 per
//   sheet, Country, SST with Continue records, ExtSST, EOF.
// Each sheet: BOF, Index, CalcMode, CalcCount, CalcRefMode, CalcIter, CalcDelta,
//   CalcSaveRecalc, PrintRowCol, PrintGrid, GridSet, Guts, DefaultRowHeight, WsBool,
//   Header, Footer, HCenter, VCenter, Setup, DefColWidth, ColInfo per run of equal widths,
//   Dimensions, then per block of 32 rows the Row records, the LabelSst cells and a DBCell,
//   Window2, EOF.

// Columns to write, left to right (the caller leaves hidden ones out).
struct XlsColumn {
    int sheetCol = 0;
    double widthChars = 9;
};

struct XlsOptions {
    // Cut to 31 characters; characters Excel refuses in sheet names ( : \ / ? * [ ] ) and
    // an apostrophe at either end become '_'; empty means "Sheet1".
    QString sheetName = QStringLiteral("Sheet1");
    // The first rows of the store are header rows, repeated at the top of every continuation sheet.
    int headerRows = 0;
    QString fontName;    // the grid's font family (data cells); empty: Arial
    double fontSize = 9; // points
};

// A text longer than 32,767 characters, cut to that length; length is the original one.
struct XlsCut {
    int sheetCol = 0;
    int sheetRow = 0;
    int length = 0;
};

// A cell whose text held half a surrogate pair, written with U+FFFD in its place.
struct XlsCell {
    int sheetCol = 0;
    int sheetRow = 0;
};

struct XlsResult {
    bool ok = false;
    QString error; // why it failed
    int sheets = 0;
    int rows = 0; // store rows written, each once (the repeats of the header rows not counted)
    int cols = 0;
    std::vector<XlsCut> cut;
    std::vector<XlsCell> mended;
    quint64 bytes = 0; // the file's size, known before its first byte is written
};

// Rows 1..lastRow of the store, the given columns, into one workbook; the rows the store
// hides after the header rows are left out, and the rows after them move up. Each non-empty text
// becomes a text cell of the shared-string table (Unicode; "000001" keeps its zeros); an
// empty text writes nothing. Bold and alignment per cell from SheetStore::format(col, row).
// Column widths from widthChars. A sheet holds 65,536 rows: further sheets are named
// sheetName + " (2)", " (3)", ... and each starts with the header rows again.
XlsResult writeXls(const SheetStore &sheet, int lastRow, const std::vector<XlsColumn> &columns,
                   const XlsOptions &options, QIODevice &out);
// The same into a file, atomically: written under a temporary name and renamed when complete;
// on failure nothing is left behind, and a disk without room for the file is named.
XlsResult writeXlsFile(const SheetStore &sheet, int lastRow, const std::vector<XlsColumn> &columns,
                       const XlsOptions &options, const QString &file);

// The name of sheet number (1-based) of a workbook whose sheets are called base.
QString xlsSheetName(const QString &base, int number);
