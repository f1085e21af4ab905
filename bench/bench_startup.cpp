// A second start of the program to its login window, on a small and a large catalogue: the
// first start after the catalogue was made does the one-time checks and closes cleanly, every
// further start is measured in a process of its own (CPU time user + system from exec, and
// wall time from the launch), median of several runs. After a clean close only the database's
// header and schema are read, so the large catalogue must start about as fast as the small.
//   bench_startup [--runs 7] [--data folder] [sizes, default 10000 1000000]
#include "AppPaths.h"
#include "AppState.h"
#include "BenchData.h"
#include "FrmLogin.h"
#include "HandsetWindows.h"
#include "ProgramServices.h"
#include "Prompter.h"
#include "QtKorean.h"
#include "Settings.h"
#include "StartApp.h"
#include "WidgetPrompter.h"
#include "modMDB_Func.h"
#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>

namespace {
template <class T> T median(std::vector<T> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? T() : v[v.size() / 2];
}

// One start in this process, as the program starts: prints "cpu-ms wall-ms" once the login
// window is shown, then closes it (a clean end).
int start(const QString &folder, qint64 launchedAtMs) {
    InstallQtKorean();
    registerHandsetWindows();
    WidgetPrompter prompter;
    Prompter::install(&prompter);
    QTimer poll;
    poll.setInterval(1);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        for (QWidget *w : QApplication::topLevelWidgets()) {
            auto *login = qobject_cast<FrmLogin *>(w);
            if (!login || !login->isVisible())
                continue;
            poll.stop();
            QApplication::processEvents(); // painted
            std::printf("%.1f %lld\n", BenchData::cpuMs(), QDateTime::currentMSecsSinceEpoch() - launchedAtMs);
            std::fflush(stdout);
            login->close();
            return;
        }
    });
    poll.start();
    ProgramServices services;
    return RunProgram({QStringLiteral("--app-folder"), folder, QStringLiteral("--settings-root"),
                       folder + QStringLiteral("/settings")},
                      services);
}

// The catalogue of a size, generated once per data folder (bench_querylist's are taken as
// they are).
QString catalogue(const QString &data, int rows) {
    const QString folder = data + QStringLiteral("/%1").arg(rows);
    if (!QFileInfo::exists(folder + QStringLiteral("/ready"))) {
        QDir(folder).removeRecursively();
        if (BenchData::openCatalogue(folder, rows, 10).isEmpty())
            return {};
        modMDB_Func::DBTerminate();
        QFile(folder + QStringLiteral("/ready")).open(QIODevice::WriteOnly);
    }
    // The one-time check of the installation has been passed on this PC.
    AppPaths::setSettingsRoot(folder + QStringLiteral("/settings"));
    Settings::SaveSetting(AppState::sharedApp(), QStringLiteral("MDAC_Check"), QStringLiteral("CHECK_VALUE"),
                          QStringLiteral("YES"));
    return folder;
}

// One start in a child process: CPU and wall ms, false when it did not reach the login window.
bool startChild(const QString &self, const QString &folder, double *cpu, qint64 *wall) {
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(self, {QStringLiteral("--start"), folder, QString::number(QDateTime::currentMSecsSinceEpoch())});
    child.waitForFinished(-1);
    const QList<QByteArray> words = child.readAllStandardOutput().trimmed().split(' ');
    if (child.exitCode() != 0 || words.size() != 2)
        return false;
    *cpu = words[0].toDouble();
    *wall = words[1].toLongLong();
    return true;
}
} // namespace

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.size() == 3 && args[0] == QLatin1String("--start"))
        return start(args[1], args[2].toLongLong());
    const BenchData::Options options = BenchData::parseOptions(args, {10000, 1000000});
    const int runs = options.runs;
    QString data = options.data;
    QTemporaryDir temp;
    if (data.isEmpty())
        data = temp.path();
    std::printf("median of %d second starts to the login window (CPU from exec, wall from launch)\n", runs);
    double first = 0;
    for (const int rows : options.sizes) {
        const QString folder = catalogue(data, rows);
        double cpu = 0;
        qint64 wall = 0;
        // The first start after the catalogue was made; then the measured ones.
        if (folder.isEmpty() || !startChild(app.applicationFilePath(), folder, &cpu, &wall))
            return 1;
        std::vector<double> cpus;
        std::vector<qint64> walls;
        for (int run = 0; run < runs; ++run) {
            if (!startChild(app.applicationFilePath(), folder, &cpu, &wall))
                return 1;
            cpus.push_back(cpu);
            walls.push_back(wall);
        }
        const double c = median(cpus);
        if (first == 0)
            first = c;
        std::printf("%9d handsets: %7.1f ms CPU, %5lld ms wall | %.2fx the first size (%lld MB file)\n", rows, c,
                    median(walls), first > 0 ? c / first : 0.0,
                    QFileInfo(folder + QStringLiteral("/DBS/dbMain.db")).size() >> 20);
        std::fflush(stdout);
    }
    return 0;
}
