#include "cFpPreview.h"
#include "FrmSPPrint_Preview.h"
#include "Messages.h"
#include "PrinterChoice.h"
#include "ReportColumns.h"
#include "Spread.h"
#include "SpreadPrint.h"
#include "modFrmCtrl.h"
#include "modSpreadPrint.h"
#include <QApplication>
#include <QPrinter>

namespace {
bool anyRowShown(const Spread &grid) {
    for (int r = 1; r <= grid.maxRows(); ++r)
        if (!grid.rowHidden(r))
            return true;
    return false;
}
} // namespace

cFpPreview::~cFpPreview() {
    if (m_preview)
        m_preview->reject();
    delete m_preview.data();
}

void cFpPreview::SetAppName(const QString &sName) { m_request.appName = sName; }

bool cFpPreview::SpreadPreview(Spread *obj, const QString &sRegKey, const QString &sTitle, const QString &sHeadLeft,
                               const QString &sHeadCenter, int printOT, double fLeft, double fRight, double fTop,
                               double fBottom, bool bPrintFoot, int iPrintScalingMethod, const QString &sPrintFootText,
                               bool bSkipPreview, int sTitleFont) {
    PrintRequest r;
    r.grid = obj;
    r.section = sRegKey;
    r.title = sTitle;
    r.headLeft = sHeadLeft;
    r.headCenter = sHeadCenter;
    r.orientation = printOT;
    r.marginLeft = fLeft;
    r.marginRight = fRight;
    r.marginTop = fTop;
    r.marginBottom = fBottom;
    r.printFoot = bPrintFoot;
    r.scalingAllowed = iPrintScalingMethod;
    r.footText = sPrintFootText;
    r.skipPreview = bSkipPreview;
    r.titleFont = sTitleFont;
    return print(std::move(r));
}

bool cFpPreview::print(PrintRequest request) {
    Spread *obj = request.grid;
    if (!obj)
        return false;
    // A page of column headers over nothing is no record a shop keeps: said instead.
    if (!anyRowShown(*obj)) {
        MsgInfo(QStringLiteral("인쇄할 자료가 없습니다. 먼저 자료를 조회하세요."));
        return false;
    }
    request.appName = m_request.appName;
    m_request = std::move(request);
    obj->printProps().scalingMethod = m_request.scalingAllowed == 1 ? 1 : 0;
    if (m_request.appName.isEmpty())
        MsgInfo(QStringLiteral("사용 프로그램이 설정되지 않았습니다."));
    modSpreadPrint::ApplyPrintSettings(m_request, obj->printProps());
    obj->printProps().leftOutCols.clear();
    if (const QString window = obj->reportColumnsWindow(); !window.isEmpty())
        obj->printProps().leftOutCols =
            ReportColumns::leftOut(ReportColumns::fileOf(window), obj->objectName(), obj->maxCols());
    m_request.zoomIndex =
        modSpreadPrint::leadingInt(m_request.setting(QStringLiteral("PrintZoomType"), QStringLiteral("8")));

    if (m_request.skipPreview) {
        obj->printProps().type = SheetPrintProps::All;
        QApplication::setOverrideCursor(Qt::WaitCursor);
        QPrinter printer(QPrinter::HighResolution);
        printer.setDocName(m_request.title);
        const bool ok = PrinterChoice::applyTo(printer) && printSheet(*obj, printer);
        QApplication::restoreOverrideCursor();
        if (!ok)
            MsgWarn(QStringLiteral("인쇄하지 못했습니다. 프린터를 확인하세요."));
        return ok;
    }
    delete m_preview.data();
    m_preview = new FrmSPPrint_Preview(m_request, obj->window());
    ShowModalOver(m_preview, obj);
    const bool printed = m_preview ? m_preview->m_bPrintedOK : false;
    delete m_preview.data();
    return printed;
}
