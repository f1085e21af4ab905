#pragma once
#include "PrintRequest.h"
#include <QPointer>
#include <QString>

class FrmSPPrint_Preview;
class Spread;

// The one entry point through which every window prints its grid: loads the window's
// stored print settings, sets the grid's print properties and prints or opens the preview,
// which works on this object's request.
class cFpPreview {
public:
    cFpPreview() = default;
    cFpPreview(const cFpPreview &) = delete;
    cFpPreview &operator=(const cFpPreview &) = delete;
    ~cFpPreview();

    void SetAppName(const QString &sName);

    // True when something went to the printer. A stored setting that cannot be read
    // throws AppError for the calling window to report.
    bool SpreadPreview(Spread *obj, const QString &sRegKey, const QString &sTitle, const QString &sHeadLeft,
                       const QString &sHeadCenter, int printOT, double fLeft, double fRight, double fTop,
                       double fBottom, bool bPrintFoot, int iPrintScalingMethod, const QString &sPrintFootText,
                       bool bSkipPreview, int sTitleFont);
    // The same with the window's wishes named; the request's appName is this object's.
    bool print(PrintRequest request);

    // The last print started, as the dialogs left it.
    const PrintRequest &request() const { return m_request; }

private:
    PrintRequest m_request;
    QPointer<FrmSPPrint_Preview> m_preview;
};
