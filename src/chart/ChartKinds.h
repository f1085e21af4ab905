#pragma once
#include <QString>
#include <QStringList>

// The kinds of chart and the data units the chart offers; a stored code is a position in
// these lists.
namespace ChartKinds {

enum Kind { Bars, Lines, BarsAndLine, Areas, HorizontalBars, Pie };
QStringList kindNames();
QStringList unitNames();
// What a value is divided by before it is shown; 1 for a code outside the list.
double divisor(int unit);
// The value axis title, "(단위: 천)"; empty for the unit 1.
QString axisTitle(int unit);
// A shown (already divided) value: digits grouped, two decimals, none when whole.
QString valueText(double shown);

} // namespace ChartKinds

// Everything the next drawing depends on besides the data.
struct ChartOptions {
    int kind = ChartKinds::Bars;
    int unit = 0;
    int barColor = 255; // 24-bit, red in the low byte
    int lineColor = 16711680;
    bool showValues = false;
    bool horizontalLines = true;
    bool fillBars = true;
    bool rotateVertText = false;
    int bottomMargin = 500; // twips below the plot, where the labels go
};
