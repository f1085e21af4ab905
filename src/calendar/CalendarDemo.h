#pragma once
#include <QString>

// Opens the calendar pop-up ("calendar") or the period picker ("period") on its own, waits for
// it to close and prints what it handed back on stdout. Needs a running QApplication.
int runCalendarDemo(const QString &which);
