#pragma once
#include <QString>

class QTextStream;

// Opens the calendar pop-up ("calendar") or the period picker ("period") on its own, waits for
// it to close and prints what it handed back on stdout. Needs a running QApplication.
// Returns 0, or 2 for an unknown name.
int runCalendarDemo(const QString &which);
int runCalendarDemo(const QString &which, QTextStream &out);
