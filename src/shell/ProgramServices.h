#pragma once
#include "modMDB_Func.h"
#include <QString>

// What start-up and the main window need from subsystems above the frame, which the frame
// cannot call: the program hands one to RunProgram. Without one, closing makes no backup and
// a damaged or missing database is not restored.
class ProgramServices {
public:
    virtual ~ProgramServices() = default;
    // The automatic backup asked before closing; false keeps the program running.
    virtual bool backupOnClose() { return true; }
    // The manual backup of the menu; true closes the program.
    virtual bool backupNow() { return false; }
    // Called with the database folder when the database could not be opened because it is
    // damaged or missing, after the reason was shown. True when the database is back in place.
    virtual bool offerRestore(const QString &folder, modMDB_Func::OpenProblem why) {
        Q_UNUSED(folder);
        Q_UNUSED(why);
        return false;
    }
};
