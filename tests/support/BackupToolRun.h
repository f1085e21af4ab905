#pragma once
#include "AppPaths.h"
#include "Backup.h"
#include <QProcess>
#include <QStringList>

// Runs the real backup program without a window and returns its exit code (-100: it did not
// end in time, -1: it crashed); output, when asked, is what it wrote.
inline int runBackupTool(const QStringList &args, QString *output = nullptr) {
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(AppPaths::toolPath(Backup::toolName()), QStringList{"--no-window", "--wait-seconds", "30"} + args);
    if (!p.waitForFinished(120000))
        return -100;
    if (output)
        *output = QString::fromUtf8(p.readAll());
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}
