#include "Shell.h"
#include <QDesktopServices>
#include <QProcess>
#include <QUrl>

namespace {
class ProcessShell final : public Shell {
public:
    int start(const QString &program, const QString &argumentText, const QString &workingDir, Show,
              bool wait) override {
        // The text is a command line, split as the started program's runtime would on Windows.
        const QStringList args = QProcess::splitCommand(argumentText);
        if (!wait) {
            return QProcess::startDetached(program, args, workingDir) ? 0 : kNotStarted;
        }
        QProcess p;
        p.setWorkingDirectory(workingDir);
        p.setProcessChannelMode(QProcess::ForwardedChannels);
        p.start(program, args);
        if (!p.waitForStarted())
            return kNotStarted;
        p.waitForFinished(-1);
        return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : kCrashed;
    }
    bool open(const QString &target) override {
        const QUrl url = target.contains(QLatin1String("://")) ? QUrl(target) : QUrl::fromLocalFile(target);
        return QDesktopServices::openUrl(url);
    }
};
} // namespace

template <> Shell &Seam<Shell>::fallback() {
    static ProcessShell system;
    return system;
}
