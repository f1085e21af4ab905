#include "RecordingShell.h"

int RecordingShell::start(const QString &program, const QString &argumentText, const QString &workingDir, Show show,
                          bool wait) {
    const Call c{program, argumentText, workingDir, show, wait};
    starts << c;
    return onStart ? onStart(c) : 0;
}

bool RecordingShell::open(const QString &documentOrUrl) {
    opened << documentOrUrl;
    return openResult;
}
