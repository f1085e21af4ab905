#pragma once
#include <QString>

class QWidget;
class Spread;

// Window and grid layout kept per window in FormIni/<window name><suffix>.ini. The window
// name is the window's objectName, a grid's name its objectName. Sizes in the file are
// twips for windows and characters for column widths.
namespace modFormIni {

// Restores what the file holds; a window without a file keeps its designed layout.
void LoadFormIni(QWidget *window, bool positionOnly, const QString &fileSuffix);
void LoadSpreadIni(Spread *grid, const QString &filePath, int arrayIndex);
// Stores the window's state and, unless maximised, its rectangle; nothing while it is
// hidden or minimised. False when the file cannot be written.
bool SaveFormIni(QWidget *window, const QString &fileSuffix);
bool SaveSpreadColWidth(QWidget *window, Spread *grid, int col, const QString &fileSuffix, int arrayIndex);
void SaveSpreadIni_Gn(QWidget *window, Spread *grid, const QString &key, const QString &value,
                      const QString &fileSuffix);
void DelFormIni(const QString &fileName);

// The widget that carries a window's position: its MDI frame when it has one.
QWidget *frameOf(QWidget *window);

} // namespace modFormIni
