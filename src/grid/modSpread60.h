#pragma once
#include <QString>
#include <QStringList>
#include <functional>

class QWidget;
class Spread;

// One look and one behaviour for every list grid: the common design, picture and hidden
// columns, row deletion, the right-click grid menu and the grid shortcuts.
namespace modSpread60 {

// Application grid defaults; 0 means none, and this program sets none.
inline double gGridFontSize = 0;
inline double gGridRowHeight = 0;
// Application header colours (24-bit, red in the low byte); 0 means the built-in ones.
inline int gSpreadShadowColor = 0;
inline int gSpreadShadowText = 0;

void CommonSpreadDesign(Spread *grid, bool readOnlyList, bool emptyRows, bool sortByHeader, bool singleSelect,
                        bool oddEvenColors);
void SetPictureColumn(Spread *grid, int col);
void SetColHidden(Spread *grid, int col, bool hidden);
// row -2 is the active row; shrink drops the row count to the rows holding data.
void SpreadDeleteRow(Spread *grid, int row, bool notify, bool shrink);
void ApplyDefaultGridLook(Spread *grid);

void ShowSpreadMenu(QWidget *window, Spread *grid, bool withReportColumns, const QString &fileSuffix,
                    bool withShortcutList, bool withSubtotals);
// The items ShowSpreadMenu offers, for ShowPopupMenu.
QStringList SpreadMenuItems(bool withReportColumns, bool withShortcutList, bool withSubtotals);
// Carries out one command of the grid menu (0 does nothing).
void RunSpreadMenuCommand(int command, QWidget *window, Spread *grid, const QString &fileSuffix);

// Ctrl+H, Ctrl+F, Ctrl+E, Ctrl+W (keyCode as Windows numbers it, shift 2 = Ctrl alone);
// true when the key was one of them.
bool SpreadKeyDown(Spread *grid, int keyCode, int shift);
void ShowSpreadShortcutList(Spread *grid);
// firstCol / lastCol -1: the first / the last column.
void ShowFindInSpread(Spread *grid, int firstCol, int lastCol);

} // namespace modSpread60
