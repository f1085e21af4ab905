#include "GraphSettings.h"
#include "AppState.h"
#include "Settings.h"
#include <algorithm>
#include <climits>
#include <cmath>

namespace GraphSettings {

namespace {
const QString kApp = QStringLiteral("KolvaGraphOCX");
const QString kSection = QStringLiteral("Config");
const QString kTitleSection = QStringLiteral("Config_Form");
const QString kTitleKey = QStringLiteral("GraphA_인쇄제목");
const char *const kOptionKeys[4] = {"값보기", "가로선", "막대채움", "세로글자회전"};

QString get(const QString &key, const QString &defaultValue) {
    return Settings::GetSetting(kApp, kSection, key, defaultValue);
}
void put(const QString &key, const QString &value) { Settings::SaveSetting(kApp, kSection, key, value); }
int number(const QString &key, const QString &defaultValue) { return boxValue(get(key, defaultValue), INT_MAX); }
bool flag(int index, const char *defaultValue) {
    return number(optionKey(index), QString::fromLatin1(defaultValue)) != 0;
}
} // namespace

Values load() {
    Values v;
    v.maxCols = std::max(1, number(QStringLiteral("MaxCols"), QStringLiteral("50")));
    v.bottomMargin = number(QStringLiteral("MGBottom"), QStringLiteral("500"));
    v.chart.showValues = flag(0, "0");
    v.chart.horizontalLines = flag(1, "1");
    v.chart.fillBars = flag(2, "1");
    v.chart.rotateVertText = flag(3, "0");
    v.chart.kind = number(QStringLiteral("GraphType"), QStringLiteral("0"));
    v.chart.unit = number(QStringLiteral("DataUnit"), QStringLiteral("0"));
    v.chart.barColor = number(QStringLiteral("막대색"), QStringLiteral("255")) & 0xFFFFFF;
    v.chart.lineColor = number(QStringLiteral("꺾은선색"), QStringLiteral("16711680")) & 0xFFFFFF;
    v.chart.bottomMargin = v.bottomMargin;
    v.title = Settings::GetSetting(AppState::title(), kTitleSection, kTitleKey);
    return v;
}

QString optionKey(int index) { return QString::fromUtf8(kOptionKeys[index]); }

void saveOption(int index, bool on) { put(optionKey(index), on ? QStringLiteral("1") : QStringLiteral("0")); }
void saveGraphType(int code) { put(QStringLiteral("GraphType"), QString::number(code)); }
void saveDataUnit(int code) { put(QStringLiteral("DataUnit"), QString::number(code)); }

void saveColor(int index, int bgr) {
    put(index == 0 ? QStringLiteral("막대색") : QStringLiteral("꺾은선색"), QString::number(bgr));
}

void saveNumber(int box, int value) {
    put(box == 0 ? QStringLiteral("MaxCols") : QStringLiteral("MGBottom"), QString::number(value));
}

void saveTitle(const QString &title) { Settings::SaveSetting(AppState::title(), kTitleSection, kTitleKey, title); }

int boxValue(const QString &text, int most) {
    bool ok = false;
    const double v = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(v))
        return 0;
    const double rounded = std::round(v);
    if (rounded >= most)
        return most;
    return rounded <= INT_MIN ? INT_MIN : int(rounded);
}

} // namespace GraphSettings
