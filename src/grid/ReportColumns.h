#pragma once
#include <QSet>
#include <QString>
#include <utility>
#include <vector>

// Which columns of a grid its window prints in reports, kept in the window's layout file
// (FormIni/<window name>.ini), section <grid name>_RPTCOL: key = column number, "1" printed,
// "0" left out; a column without a key is printed.
namespace ReportColumns {

QString section(const QString &gridName);
QString fileOf(const QString &windowName);

// The tick of each column: no file at all ticks every one.
std::vector<std::pair<int, bool>> read(const QString &file, const QString &gridName, const std::vector<int> &cols);
// Writes the ticks given (only those: other columns keep what they had), creating the folder.
bool write(const QString &file, const QString &gridName, const std::vector<std::pair<int, bool>> &ticks);
// The columns up to maxCols the file leaves out.
QSet<int> leftOut(const QString &file, const QString &gridName, int maxCols);

} // namespace ReportColumns
