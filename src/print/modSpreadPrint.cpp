#include "modSpreadPrint.h"
#include "Clock.h"
#include "ErrorBox.h"
#include "PrinterChoice.h"
#include "Settings.h"
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
double storedInches(const QString &key, double defaultInches) {
    const QString text = GetPrintSetting(key, QString::number(defaultInches)).trimmed();
    bool ok = false;
    const double inches = text.toDouble(&ok);
    if (!ok)
        throw AppError(13, QStringLiteral("형식이 일치하지 않습니다."));
    return inches;
}
} // namespace

PrintJob &job() {
    static PrintJob j;
    return j;
}

QString settingsApp() { return job().appName + QStringLiteral("_PritSetUp"); }

QString GetPrintSetting(const QString &key, const QString &defaultValue) {
    return Settings::GetSetting(settingsApp(), job().section, key, defaultValue);
}

bool SavePrintSetting(const QString &key, const QString &value) {
    return Settings::SaveSetting(settingsApp(), job().section, key, value);
}

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

void ApplyPrintSettings(SheetPrintProps &props, const QString &sTitle, const QString &sHeadLeft,
                        const QString &sHeadCenter, int printOT, double fLeft, double fRight, double fTop,
                        double fBottom, bool bPrintFoot, const QString &sPrintFootText, int sTitleFont) {
    props.marginTop = storedInches(QStringLiteral("PrintMarginTop"), fTop) * 1440;
    props.marginBottom = storedInches(QStringLiteral("PrintMarginBottom"), fBottom) * 1440;
    props.marginLeft = storedInches(QStringLiteral("PrintMarginLeft"), fLeft) * 1440;
    props.marginRight = storedInches(QStringLiteral("PrintMarginRight"), fRight) * 1440;
    props.orientation =
        leadingInt(GetPrintSetting(QStringLiteral("PrintOrientation"), QString::number(printOT))) == 2 ? 2 : 1;
    PrinterChoice::applyPaperTo(props);
    props.header = PageHeader(sTitle, sHeadLeft, sHeadCenter, sTitleFont);
    job().fullHeader = props.header;
    props.footer = FullFooter(bPrintFoot, sPrintFootText, sTitleFont, appClock().today());
    job().fullFooter = props.footer;

    bool option[9];
    for (int n = 0; n < 9; ++n) {
        const QString key = QStringLiteral("CheckBox_%1").arg(n);
        if (n == 7) {
            option[7] = false;
            if (job().scalingAllowed != 0) {
                option[7] = leadingInt(GetPrintSetting(key, QStringLiteral("0"))) != 0;
                props.scalingMethod = option[7] ? 1 : 0;
            }
            continue;
        }
        option[n] = leadingInt(GetPrintSetting(key, QStringLiteral("1"))) != 0;
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

void SetPreviewZoom(int index) {
    if (index < 0 || index > 13 || !job().preview)
        return;
    const Zoom &z = kZoom[index];
    job().preview->setView(SheetPreview::ViewType(z.viewType), z.percentage, z.multiH, z.multiV);
}

} // namespace modSpreadPrint
