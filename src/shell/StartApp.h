#pragma once
#include <QStringList>
#include <functional>

class frmMain;

// Subsystems the shell does not know (backup, handset list) hook into the main window here
// before the program starts.
extern std::function<void(frmMain *)> wireMainWindow;
// Called with the database folder when the database could not be opened because it is
// damaged, after the reason was shown; the backup offers its newest archive.
extern std::function<void(const QString &)> offerRestore;

// The program from its first line to its last: single instance, data-access check,
// database, login, main window. Returns the process exit code.
int RunProgram(const QStringList &arguments);
