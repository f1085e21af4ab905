#pragma once
#include <QString>
#include <QStringList>

// What one run of the backup program was asked to do.
struct RunOptions {
    int mode = 0;           // Backup::Mode
    bool restore = false;   // restore an archive instead of making one
    QString archive;        // the archive to restore (empty: choose one)
    bool confirmed = false; // --yes: restore without asking
    bool window = true;     // false: --no-window, report on the console
    QString waitLock;       // lock file of the running program (empty: from the settings)
    int waitSeconds = 600;  // how long to wait for the program to end
    QString error;          // a command line that could not be read

    // The argument text of the program comes as one argument (" SERVERUP") or split.
    static RunOptions parse(const QStringList &arguments);
};

// How a run talks to the user: a window, or the console for scripts and tests.
class Reporter {
public:
    virtual ~Reporter() = default;
    virtual void status(const QString &text) = 0;
    virtual bool confirm(const QString &text) = 0;
    // Empty when the user chose none.
    virtual QString chooseArchive(const QString &folder) = 0;
    virtual bool cancelled() = 0;
    virtual void finished(bool ok, const QString &text) = 0;
};

// Exit codes: 0 done, 1 failed, 2 not asked properly (bad command line, restore not confirmed).
int runBackup(const RunOptions &options, Reporter &reporter);
int runRestore(const RunOptions &options, Reporter &reporter);
