#pragma once
#include <QString>
#include <map>
#include <optional>

// The layout file of a window (FormIni/<window name><suffix>.ini): window rectangle and
// state, grid column widths, grid font size and row height. No widgets here: the values
// are read and written as the file holds them, every call going to the file.
namespace FormLayoutFile {

QString folder();
// fileName is the window name followed by the suffix, without folder or extension.
QString path(const QString &fileName);

// A value as the layout procedures read it: at most its first 9 characters, trimmed.
QString readValue(const QString &file, const QString &section, const QString &key);
// The number a text holds as a whole (blanks around it allowed), or nothing.
std::optional<double> numeric(const QString &text);
// The number at the start of a text, 0 when there is none ("12abc" gives 12).
double leadingNumber(const QString &text);
// Decimal text of a stored number, as short as it reads back exactly.
QString numberText(double value);

// What a screen and a grid can show. A stored value outside these bounds counts as missing.
constexpr double kMaxPositionTwips = 100000; // left and top: several screens side by side
constexpr double kMinSizeTwips = 1;
constexpr double kMaxSizeTwips = 100000;
constexpr double kMaxColWidthChars = 255; // 0 hides the column
constexpr double kMinFontSize = 1;        // points; the grid's menu offers 8..60
constexpr double kMaxFontSize = 72;
constexpr double kMinRowHeight = 1; // points; the grid's menu offers 8..300
constexpr double kMaxRowHeight = 409;

// Section base of a grid: its name, or name_index for a member of a control array.
QString gridBase(const QString &gridName, int arrayIndex);

struct FormRect {
    std::optional<double> left, top, width, height; // twips
    std::optional<int> state;                       // 0 normal, 1 minimised, 2 maximised
};
// The stored values that are to be applied, each only inside its bounds: a left or top
// greater than 0, the size and state only when positionOnly is false.
FormRect readFormRect(const QString &file, bool positionOnly);
// Writes the state, and the rectangle when given.
bool writeFormRect(const QString &file, int state, const std::optional<FormRect> &rect);

struct GridLayout {
    std::map<int, double> colWidths; // column -> width in characters, numeric keys 1..maxCols
    std::optional<double> fontSize;  // a stored 0 (the grid's default) is missing too
    std::optional<double> rowHeight;
};
GridLayout readGridLayout(const QString &file, const QString &base, int maxCols);
bool writeColWidth(const QString &file, const QString &base, int col, double width);
bool writeGeneral(const QString &file, const QString &base, const QString &key, const QString &value);

// Deletes the file of fileName if it exists; false when it exists and cannot be deleted.
bool remove(const QString &fileName);

} // namespace FormLayoutFile
