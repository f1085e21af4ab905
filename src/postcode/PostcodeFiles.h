#pragma once
#include <QString>

// File steps of the postal-code database that must leave a complete file or the old one.
namespace PostcodeFiles {

// Renames from over to in one step (an existing to is replaced, never first removed).
bool replaceFile(const QString &from, const QString &to, QString *error);
// Removes file with the journal the engine may have left beside it.
void removeDatabaseFile(const QString &file);

} // namespace PostcodeFiles
