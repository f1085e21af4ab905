#pragma once
#include "ChartKinds.h"
#include <QString>

// The chart window's stored choices: application "KolvaGraphOCX", section "Config", and the
// print title in the program's own "Config_Form" section.
namespace GraphSettings {

struct Values {
    int maxCols = 50;
    int bottomMargin = 500;
    ChartOptions chart; // kind and unit as stored: the window checks them against its lists
    QString title;
};

// What is stored, with the defaults for what is not; columns per page at least 1.
Values load();

// The keys of the four display options, in check box order.
QString optionKey(int index);
void saveOption(int index, bool on);
void saveGraphType(int code);
void saveDataUnit(int code);
// index 0 the bar colour, 1 the line colour.
void saveColor(int index, int bgr);
// box 0 the columns per page, box 2 the bottom margin.
void saveNumber(int box, int value);
void saveTitle(const QString &title);

// A number box's text read as the pattern "0" shows it (rounded), 0 when it holds no
// number; never above most.
int boxValue(const QString &text, int most);

} // namespace GraphSettings
