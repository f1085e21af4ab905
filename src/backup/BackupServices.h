#pragma once
#include "ProgramServices.h"

// The backup subsystem behind the frame: the close question, the menu's backup and the
// restore of a lost database, all on the program's database folder.
class BackupServices : public ProgramServices {
public:
    bool backupOnClose() override;
    bool backupNow() override;
    bool offerRestore(const QString &folder, modMDB_Func::OpenProblem why) override;
};
