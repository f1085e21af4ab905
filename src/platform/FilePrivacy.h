#pragma once
#include <QString>

// Who else may read what the program writes. The catalogue holds the staff's password
// hashes: by default only this user reaches the application folder and the settings. A
// folder set up for sharing between accounts (its group set and inherited, setgid) gives
// that group the same access as the user instead.
namespace FilePrivacy {

// Whether folder (or, when it does not exist yet, the nearest folder above it) is shared
// through its group.
bool sharedByGroup(const QString &folder);

// Gives a file made in a shared folder the group's write access the mask alone cannot give
// (SQLite makes its files 0644 at most).
void fitToFolder(const QString &file);

// Sets this process's file-creation mask for the application folder (inherited by the
// companion programs) and closes the top of the folders it owns to everyone else when they
// are not shared. Nothing on systems without POSIX permissions.
void applyTo(const QString &appFolder, const QString &settingsRoot);

} // namespace FilePrivacy
