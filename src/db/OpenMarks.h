#pragma once
#include <QString>

// Marks a program leaves beside a database file while it has it open, one per process
// ("<folder>/.<file>.open-<host>-<pid>"). A mark of this PC whose process is gone says that
// program ended without closing the file (a crash, a power cut).
namespace OpenMarks {

// Leaves this process's mark; returns its path (empty when the folder cannot be written).
QString leave(const QString &databaseFile);
// Whether a program of this PC left a mark and is no longer running.
bool uncleanEndFound(const QString &databaseFile);
// After the file was found sound: the marks of programs that are gone.
void clearStale(const QString &databaseFile);

} // namespace OpenMarks
