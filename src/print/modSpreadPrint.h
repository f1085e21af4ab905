#pragma once
#include "SheetPrintProps.h"
#include <QDate>
#include <QString>

class SheetPreview;
struct PrintRequest;

// What the print windows share: applying a window's stored print settings to its grid, and
// the preview's zoom.
namespace modSpreadPrint {

// The header and footer code texts the job prints.
QString fontBlock(int titleFontSize);
QString PageHeader(const QString &sTitle, const QString &sHeadLeft, const QString &sHeadCenter, int sTitleFont);
QString FullFooter(bool bPrintFoot, const QString &sPrintFootText, int sTitleFont, const QDate &today);

// Loads the request's stored settings and sets them on the print properties; the request
// keeps the composed header and footer. A stored margin that is not a number throws
// AppError (13), for the caller to report.
void ApplyPrintSettings(PrintRequest &request, SheetPrintProps &props);

// The preview zoom table.
struct Zoom {
    const char *text;
    int viewType; // 0 whole page, 2 percentage, 3 page width, 4 page height, 5 multiple pages
    int percentage;
    int multiH, multiV;
};
const Zoom &zoom(int index); // index 0 to 13
// Sets the preview to the zoom of the index; an index outside 0 to 13 changes nothing.
void SetPreviewZoom(SheetPreview &preview, int index);

// A whole number at the start of a stored text, 0 when there is none (as the stored zoom
// and option texts are read).
int leadingInt(const QString &text);

} // namespace modSpreadPrint
