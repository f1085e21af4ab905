#pragma once
#include "Shell.h"
#include <QList>
#include <functional>

// Records every start and open; an optional hook plays the started program's part.
class RecordingShell final : public Shell {
public:
    struct Call {
        QString program, argumentText, workingDir;
        Show show;
        bool wait;
    };
    QList<Call> starts;
    QStringList opened;
    // Called for each start; its result is what start() returns (default 0).
    std::function<int(const Call &)> onStart;
    bool openResult = true;

    int start(const QString &program, const QString &argumentText, const QString &workingDir, Show show,
              bool wait) override;
    bool open(const QString &documentOrUrl) override;
};
