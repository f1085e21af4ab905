#pragma once
#include <QString>
#include <functional>
#include <memory>

class QLockFile;

// Start-up, the program-wide options and the end of the program.
namespace modMain {

// The stored setup puts the database on a server ("CSType" 2), not in a file here.
bool DatabaseOnServer();
// The message when another instance holds the lock; any other failure is this start's own.
inline const QString kAlreadyRunning = QStringLiteral("이미 프로그램이 실행 중입니다.");
// Holds the single-instance lock for as long as it lives; null with the message to show
// (kAlreadyRunning when another instance runs) when the lock cannot be taken.
std::unique_ptr<QLockFile> AcquireSingleInstance(QString *failure);
// Whether the program has run before for this settings root ("DB경로" or "AppPath" stored).
bool HasRunBefore();
// The first run of a settings root, with no database folder: creates DBS/dbMain.db with its
// seed and stores "DB경로". Does nothing otherwise, so a database that went missing is never
// silently replaced, and never overwrites a file that exists.
bool PrepareAppFolder(QString *error);
// What a fresh folder gets beside the empty database (the demo catalogue, the sample
// postal codes): each is called in turn with the new database file; false with the reason
// stops the preparation.
void addFreshFolderSeeder(std::function<bool(const QString &dbFile, QString *error)> seeder);
// Makes sure the data-access check has passed once on this machine.
bool RunFirstCheck(const QString &relativeDbPath, const QString &table);
// Reads the settings, finds the database folder and opens the shared connection.
bool InitApp();
// After InitApp failed because the user chose the local folder and that is gone too: that
// folder, for the backups or a new database; empty otherwise.
QString FolderToRecover();
void SetDBPath(const QString &folder);
void GetLoginUserInfo(const QString &loginId);
QString GetOption(const QString &name, const QString &defaultValue);
bool SetOption(const QString &name, const QString &value);
void DestroyApp();

// The database file name inside the database folder.
QString mainDbFile(const QString &folder);
// The database as the user is shown it: a file in this system's one form of separators, or
// the server's description.
QString shownDbFile();
// The A/S box's check of the open database file, on demand: every page read through a
// connection of its own. Empty when the file is sound, else why, in the user's words.
QString CheckOpenDatabase();
} // namespace modMain
