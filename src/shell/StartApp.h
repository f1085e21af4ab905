#pragma once
#include "modMDB_Func.h"
#include <QStringList>
#include <functional>

class frmMain;

// Subsystems the shell does not know (backup, handset list) hook into the main window here
// before the program starts.
extern std::function<void(frmMain *)> wireMainWindow;
// Called with the database folder when the database could not be opened because it is
// damaged or missing, after the reason was shown; the backup offers its newest archive.
// True when the database is back in place and start-up opens it again.
extern std::function<bool(const QString &folder, modMDB_Func::OpenProblem why)> offerRestore;

// InitApp, and when the database is damaged or missing, offerRestore and InitApp once more.
// True when the shared connection is open.
bool OpenDatabaseAtStartUp();

// For a window opened on its own (--demo), once AppPaths knows the folders: the window
// prompter and the database as start-up sets them up, without login or main window. False
// after saying why.
bool OpenDatabaseForDemo();

// The program from its first line to its last: single instance, data-access check,
// database, login, main window. Returns the process exit code.
int RunProgram(const QStringList &arguments);
