#pragma once
#include <QString>

// Program-wide state, filled at start-up and kept until the program ends.
namespace AppState {
// The program's display name: settings application name, default message-box title.
inline QString title() { return QStringLiteral("휴대폰관리"); }
// Settings shared with the maker's other programs.
inline QString sharedApp() { return QStringLiteral("Kolva공통"); }
// Empties everything (start of a run, and between tests).
void reset();
} // namespace AppState

inline int gCodeLength = 6;   // characters of a handset code
inline QString gDBFile;       // full path of the main database file
inline bool gStyleOn = false; // common colour styling of windows and grids
inline int gCSType = 0;       // 0 database on this PC, 1 on a network share
inline QString gDBPath;       // folder of the main database
inline QString gLoginID;      // login ID of the logged-in user
inline QString gUserName;     // display name of the logged-in user
