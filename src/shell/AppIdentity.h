#pragma once

// What the desktop knows the program by, for a program with windows once its QApplication is
// made: its desktop entry ("mobileshop"), its icon on every window, MDI children included, and
// Qt's own file, print, colour and font dialogs instead of the desktop's, which would speak
// the desktop's language rather than the program's.
void InstallAppIdentity();
