#pragma once
#include "modMDB_Func.h"
#include <QPixmap>
#include <QString>

// When the backup program "데이터압축" is started and with which mode. Starting it always
// ends this program's run: the backup program waits until the program has ended.
namespace mdlBackUp {

// Starts the backup program in mode (Backup::Mode). Unless noAsk, asks first. A non-empty
// keepWindow closes every other window; a non-empty dbFolder ("folder\") is stored for the
// backup program. True when the backup program was started: the caller then closes.
bool ExecBackUp(int mode, bool noAsk, const QString &keepWindow, const QString &dbFolder);

// The main window's close request: asks with frmMsgBackUp and starts the chosen backup.
// True when the program may close, false when the user chose to stay.
bool ExecBackUpAuto(const QString &keepWindow, const QString &dbFolder, const QPixmap &picture = {});

// The database in dbFolder cannot be used: offers to put the newest backup back with the
// backup program. True when it was started (the program then ends so that it can work).
bool OfferRestore(const QString &dbFolder);
// Asks question, then has the backup program put archive back into dbFolder once the
// program has ended. True when it was started: the caller then closes the program.
bool RestoreArchive(const QString &archive, const QString &dbFolder, const QString &question);

// Start-up could not open the database in dbFolder. Damaged: OfferRestore, and start-up
// ends. Missing: offers the newest backup and restores it here with the same checks as the
// backup program (pictures included); true when the database is back and start-up may open it.
bool RestoreAtStartUp(const QString &dbFolder, modMDB_Func::OpenProblem why);

} // namespace mdlBackUp
