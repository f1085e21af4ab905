#pragma once
#include "ProgramServices.h"
#include <QStringList>

// InitApp, and when the database is damaged or missing, the services' offerRestore and
// InitApp once more. True when the shared connection is open.
bool OpenDatabaseAtStartUp(ProgramServices *services = nullptr);

// For a window opened on its own (--demo), once AppPaths knows the folders: the database
// as start-up sets it up, without login or main window. False
// after saying why.
bool OpenDatabaseForDemo();

// The program from its first line to its last: single instance, data-access check,
// database, login, main window, its boxes through the installed prompter. Returns the
// process exit code.
int RunProgram(const QStringList &arguments, ProgramServices &services);

// The network setup window on its own, before and without any database: the way in when the
// stored database cannot be opened. What it stores is what the next start opens.
int RunNetworkSetup(const QStringList &arguments);
