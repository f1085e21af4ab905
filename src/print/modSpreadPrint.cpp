#include "modSpreadPrint.h"
#include "Clock.h"
#include "ErrorBox.h"
#include "PrintRequest.h"
#include "PrinterChoice.h"
#include "SheetPreview.h"
#include <algorithm>

namespace modSpreadPrint {
namespace {
const Zoom kZoom[14] = {{"200%", 2, 200, 1, 1},       {"150%", 2, 150, 1, 1},       {"100%", 2, 100, 1, 1},
                        {"75%", 2, 75, 1, 1},         {"50%", 2, 50, 1, 1},         {"25%", 2, 25, 1, 1},
                        {"10%", 2, 10, 1, 1},         {"Page Width", 3, 100, 1, 1}, {"Page Height", 4, 100, 1, 1},
                        {"Whole Page", 0, 100, 1, 1}, {"Two Pages", 5, 100, 2, 1},  {"Three Pages", 5, 100, 3, 1},
                        {"Four Pages", 5, 100, 2, 2}, {"Six Pages", 5, 100, 3, 2}};

QString font(int n, int size, bool bold) {
    return QStringLiteral("/fn\"굴림체\"/fz\"%1\"/fb%2/fu0/fs%3").arg(size).arg(bold ? 1 : 0).arg(n);
}

// Margins are read as numbers or not at all: a broken value fails the job.
double storedInches(const PrintRequest &request, const QString &key, double defaultInches) {
    const QString text = request.setting(key, QString::number(defaultInches)).trimmed();
    bool ok = false;
    const double inches = text.toDouble(&ok);
    if (!ok)
        throw AppError(13, QStringLiteral("형식이 일치하지 않습니다."));
    return inches;
}
} // namespace

int leadingInt(const QString &text) {
    const QString t = text.trimmed();
    qsizetype end = 0;
    if (end < t.size() && (t[end] == QLatin1Char('-') || t[end] == QLatin1Char('+')))
        ++end;
    while (end < t.size() && t[end].isDigit() && t[end].unicode() < 128)
        ++end;
    bool ok = false;
    const int v = t.left(end).toInt(&ok);
    return ok ? v : 0;
}

QString fontBlock(int titleFontSize) {
    return font(1, titleFontSize, true) + font(2, 10, true) + font(3, 10, false) + font(4, 10, true) +
           font(5, 9, false);
}

QString PageHeader(const QString &sTitle, const QString &sHeadLeft, const QString &sHeadCenter, int sTitleFont) {
    return fontBlock(sTitleFont) + QStringLiteral("/f1/c") + sTitle + QStringLiteral("/n/n/f2/l") + sHeadLeft +
           QStringLiteral("/f4/c") + sHeadCenter + QStringLiteral("/n");
}

QString FullFooter(bool bPrintFoot, const QString &sPrintFootText, int sTitleFont, const QDate &today) {
    QString footer = sPrintFootText;
    footer.replace(QStringLiteral("\r\n"), QStringLiteral("/n"));
    if (!bPrintFoot)
        return footer;
    return footer + fontBlock(sTitleFont) + QStringLiteral("/n/f3/lPage: /p///pc/f5/c출력일:") +
           today.toString(QStringLiteral("yyyy.MM.dd"));
}

void ApplyPrintSettings(PrintRequest &request, SheetPrintProps &props) {
    const PrintRequest &r = request;
    props.marginTop = storedInches(r, QStringLiteral("PrintMarginTop"), r.marginTop) * 1440;
    props.marginBottom = storedInches(r, QStringLiteral("PrintMarginBottom"), r.marginBottom) * 1440;
    props.marginLeft = storedInches(r, QStringLiteral("PrintMarginLeft"), r.marginLeft) * 1440;
    props.marginRight = storedInches(r, QStringLiteral("PrintMarginRight"), r.marginRight) * 1440;
    props.orientation =
        leadingInt(r.setting(QStringLiteral("PrintOrientation"), QString::number(r.orientation))) == 2 ? 2 : 1;
    PrinterChoice::applyPaperTo(props);
    props.header = PageHeader(r.title, r.headLeft, r.headCenter, r.titleFont);
    request.fullHeader = props.header;
    props.footer = FullFooter(r.printFoot, r.footText, r.titleFont, appClock().today());
    request.fullFooter = props.footer;

    bool option[9];
    for (int n = 0; n < 9; ++n) {
        const QString key = QStringLiteral("CheckBox_%1").arg(n);
        if (n == 7) {
            option[7] = false;
            if (request.scalingAllowed != 0) {
                option[7] = leadingInt(request.setting(key, QStringLiteral("0"))) != 0;
                props.scalingMethod = option[7] ? 1 : 0;
            }
            continue;
        }
        option[n] = leadingInt(request.setting(key, QStringLiteral("1"))) != 0;
    }
    props.type = SheetPrintProps::All;
    props.colHeaders = option[0];
    props.rowHeaders = option[1];
    props.border = option[3];
    props.color = option[5];
    props.grid = option[2];
    props.shadows = option[6];
    props.useDataMax = false;
    props.dataCellsOnly = option[4];
    if (!option[8])
        props.footer.clear();
}

const Zoom &zoom(int index) { return kZoom[std::clamp(index, 0, 13)]; }

void SetPreviewZoom(SheetPreview &preview, int index) {
    if (index < 0 || index > 13)
        return;
    const Zoom &z = kZoom[index];
    preview.setView(SheetPreview::ViewType(z.viewType), z.percentage, z.multiH, z.multiV);
}

} // namespace modSpreadPrint
