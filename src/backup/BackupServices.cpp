#include "BackupServices.h"
#include "AppState.h"
#include "Backup.h"
#include "mdlBackUp.h"

bool BackupServices::backupOnClose() { return mdlBackUp::ExecBackUpAuto(QString(), gDBPath + QLatin1Char('\\')); }

bool BackupServices::backupNow() {
    return mdlBackUp::ExecBackUp(Backup::HardDisk, false, QString(), gDBPath + QLatin1Char('\\'));
}

bool BackupServices::offerRestore(const QString &folder, modMDB_Func::OpenProblem why) {
    return mdlBackUp::RestoreAtStartUp(folder, why);
}
