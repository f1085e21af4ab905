#pragma once
#include <QString>

// Whether a file is a main database this program can work on, looked at through a
// connection of its own (read-only) so that the program's connection is never disturbed.
namespace DatabaseCheck {

enum class Depth {
    Quick, // structure only (PRAGMA quick_check): fast enough for every start-up
    Full,  // also every index against its table (PRAGMA integrity_check)
};

struct Result {
    enum Problem { None, Missing, NotADatabase, Damaged, WrongPassword, WrongSchema, Locked, Unreadable };
    bool ok = false;
    Problem problem = None;
    QString message; // why, in the user's words; empty when ok
    QString detail;  // the engine's own words, for the log
};

// A lock held longer than busyTimeoutMs by another program gives Locked.
Result checkMainDatabase(const QString &file, const QString &password, Depth depth, int busyTimeoutMs = 2000);

} // namespace DatabaseCheck
