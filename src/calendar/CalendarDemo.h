#pragma once
#include <QList>
#include <QString>
#include <utility>

class QTextStream;

// The windows runCalendarDemo opens: name and a Korean description, for the command line's help.
QList<std::pair<QString, QString>> calendarDemoWindows();

// Opens the calendar pop-up ("calendar") or the period picker ("period") on its own, waits for
// it to close and prints what it handed back on stdout. Needs a running QApplication.
// Returns 0, or 2 for an unknown name.
int runCalendarDemo(const QString &which);
int runCalendarDemo(const QString &which, QTextStream &out);
