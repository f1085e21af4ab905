#pragma once
#include <QString>
#include <QStringList>

class QDateTime;

// What the program and the backup program "데이터압축" agree on: the modes and their
// argument texts, the shared settings, where archives go and how the backup program knows
// that the program has ended.
namespace Backup {

enum Mode { HardDisk = 0, Server = 1, AS = 2, HardDiskAuto = 3 };

// "하드", "서버" or "AS", as the question title shows it.
QString modeLabel(int mode);
// The argument text the backup program is started with for mode.
QString argumentText(int mode);
// The mode an argument text (or the words of a split command line) asks for.
int modeFromArguments(const QStringList &words);

QString toolName();

// The database folder the backup program works on, shared through the settings store.
inline const QString kSettingsApp = QStringLiteral("Backup");
inline const QString kFolderSection = QStringLiteral("DB경로");
inline const QString kFolderKey = QStringLiteral("경로");
// Lock file held by the running program; the backup program waits for it to be free.
inline const QString kProgramSection = QStringLiteral("Program");
inline const QString kLockKey = QStringLiteral("LockFile");
// The server backup folder the user chose once ("\\SERVER\share\backup", "H:\Backup\" or "/x/y").
inline const QString kServerSection = QStringLiteral("서버백업");

// The stored folder ("H:\DBS\" or "/x/DBS/") as a real folder without the trailing separator.
QString storedDatabaseFolder();
// The single-instance lock file of the running program.
QString programLockFile();

// The stored server backup folder as a real folder; empty when none was chosen.
QString storedServerFolder();
// Why folder cannot take archives ("폴더가 없습니다.", "폴더에 쓸 수 없습니다."); empty when it can.
QString folderProblem(const QString &folder);
// The pictures kept with the database (the application folder's IMG).
QString picturesFolder();

// Archives of this PC go to the application folder's Backup; server archives to the stored
// server folder, or beside the shared database folder while none has been chosen.
QString archiveFolder(int mode, const QString &databaseFolder);
// The most recent archive of this PC's or the server's backups of databaseFolder (the
// folder beside the database included, where older server archives are), by time written;
// empty when there is none.
QString newestArchive(const QString &databaseFolder);
// A new archive name in folder named by the moment, never an existing file.
QString newArchivePath(const QString &folder, const QString &databaseFolder, const QDateTime &when);

// Set once the backup program has been started; stays set for the rest of the run.
bool started();
void setStarted();
// A new run (tests start one per case).
void resetStarted();

} // namespace Backup
