#pragma once
#include <QPointer>
#include <QString>

class FrmSPPrint_Preview;
class Spread;

// The one entry point through which every window prints its grid: loads the window's
// stored print settings, sets the grid's print properties and prints or opens the preview.
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

private:
    QPointer<FrmSPPrint_Preview> m_preview;
};

// The program's print object, created at start-up and released when the program ends.
inline cFpPreview *gPreview = nullptr;
