#pragma once
#include "SheetPrintProps.h"
#include <QDate>
#include <QPointer>
#include <QString>

class Spread;
class SheetPreview;

// The one print job under way and what the print windows share: applying a window's stored
// print settings to its grid, and the preview's zoom.
namespace modSpreadPrint {

struct PrintJob {
    QPointer<Spread> grid;          // the grid being printed
    QString appName;                // settings application name (SetAppName)
    QString section;                // the job's settings section (sRegKey)
    QString title;                  // sTitle: also the printed document's name
    int zoomIndex = 8;              // preview zoom, 0 to 13
    QString fullHeader;             // the header as composed, for the editor's defaults
    QString fullFooter;             // the footer as composed, for option 8 switched back on
    int scalingAllowed = 0;         // 0: fit to page is not offered
    QPointer<SheetPreview> preview; // the open preview, for SetPreviewZoom
};
PrintJob &job();

// application name + "_PritSetUp": where the print settings live.
QString settingsApp();
QString GetPrintSetting(const QString &key, const QString &defaultValue);
bool SavePrintSetting(const QString &key, const QString &value);

// The header and footer code texts the job prints.
QString fontBlock(int titleFontSize);
QString PageHeader(const QString &sTitle, const QString &sHeadLeft, const QString &sHeadCenter, int sTitleFont);
QString FullFooter(bool bPrintFoot, const QString &sPrintFootText, int sTitleFont, const QDate &today);

// Loads the current section's stored settings and sets them on the print properties. A
// stored margin that is not a number throws AppError (13), for the caller to report.
void ApplyPrintSettings(SheetPrintProps &props, const QString &sTitle, const QString &sHeadLeft,
                        const QString &sHeadCenter, int printOT, double fLeft, double fRight, double fTop,
                        double fBottom, bool bPrintFoot, const QString &sPrintFootText, int sTitleFont);

// The preview zoom table.
struct Zoom {
    const char *text;
    int viewType; // 0 whole page, 2 percentage, 3 page width, 4 page height, 5 multiple pages
    int percentage;
    int multiH, multiV;
};
const Zoom &zoom(int index); // index 0 to 13
// Sets the open preview to the zoom of the index; an index outside 0 to 13 changes nothing.
void SetPreviewZoom(int index);

// A whole number at the start of a stored text, 0 when there is none (as the stored zoom
// and option texts are read).
int leadingInt(const QString &text);

} // namespace modSpreadPrint
