#pragma once
#include <QString>

// The daily SQL log: log/SQLLog_dd.dat in the application folder, one encoded line per
// executed statement; a day's file is emptied on the first open of that day.
namespace SqlLog {
QString fileFor(int dayOfMonth);
// Creates the log folder and rotates today's file; false with the reason when it cannot.
bool upkeep(QString *error);
// Appends the line for one statement to file.
void append(const QString &file, const QString &sql, int affected);
} // namespace SqlLog
