#pragma once
#include <QString>

// The folder "서버에 백업" writes to: chosen once with the folder chooser, kept in the backup
// settings ("Backup" / "서버백업" / "경로"), and checked before every server backup.
namespace ServerFolder {

// The stored folder when it can take archives. Otherwise (none yet, gone, not writable)
// says why, lets the user choose one until it can, and stores it. Empty when the user
// chose none. databaseFolder ("folder\") only suggests where the chooser starts.
// A store that cannot be written throws AppError 75.
QString ensure(const QString &databaseFolder);

} // namespace ServerFolder
