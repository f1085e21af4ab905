#pragma once
#include <QStringList>

// The program from its first line to its last: single instance, data-access check,
// database, login, main window. Returns the process exit code.
int RunProgram(const QStringList &arguments);
