// The handset search over large catalogues: F5 to a painted grid against the sqlite3
// command-line tool running the same SELECT into /dev/null, median of several runs each,
// with the peak memory of the search. Every line is measured in a process of its own so
// that its peak is its own.
//   bench_querylist [--runs 7] [--data folder] [sizes, default 10000 100000 1000000]
// The last line searches one model number in the largest catalogue (11 rows), whose picture
// folder holds a picture for every tenth model.
#include "AppPaths.h"
#include "BenchData.h"
#include "HandsetSql.h"
#include "Schema.h"
#include "Spread.h"
#include "fbMobil_Admin.h"
#include "modMDB_Func.h"
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLineEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>

namespace {
constexpr int kPictureShare = 10;
const QString kNarrowModel = QStringLiteral("모델 12345"); // 12345 and 123450 to 123459

qint64 median(std::vector<qint64> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

// One line, in this process: the catalogue in folder is already generated.
int measure(const QString &folder, const QString &model, int runs) {
    AppPaths::setAppFolder(folder);
    AppPaths::setSettingsRoot(folder + QStringLiteral("/settings"));
    const QString dbFile = folder + QStringLiteral("/DBS/dbMain.db");
    if (!modMDB_Func::OpenDB(dbFile, Schema::kPassword, false, false))
        return 1;
    std::array<QString, 8> search;
    search[5] = model;
    const QString sql = HandsetSql::listQuery(search);

    fbMobil_Admin list;
    list.resize(1200, 800);
    list.show();
    list.htField[6]->setText(model);
    QApplication::processEvents();
    BenchData::forgetPeak();
    const long before = BenchData::peakKb();
    std::vector<qint64> cli, ours;
    int rows = 0;
    QElapsedTimer t;
    for (int run = 0; run < runs; ++run) {
        QProcess tool;
        tool.setStandardOutputFile(QProcess::nullDevice());
        t.start();
        tool.start(QStringLiteral("sqlite3"), {dbFile, sql});
        tool.waitForFinished(-1);
        cli.push_back(t.elapsed());
        if (tool.exitCode() != 0)
            return 1;

        t.start();
        list.QueryList();
        list.spList->viewport()->repaint(); // the first screen, painted now
        ours.push_back(t.elapsed());
        rows = list.spList->maxRows();
    }
    const qint64 c = median(cli), o = median(ours);
    std::printf("%9d rows: F5 %6lld ms | sqlite3 %6lld ms | %.2fx | peak %4ld MB (%ld MB before)\n", rows, o, c,
                c > 0 ? double(o) / double(c) : 0.0, BenchData::peakKb() / 1024, before / 1024);
    std::fflush(stdout);
    modMDB_Func::DBTerminate();
    return 0;
}

// The catalogue of a size, generated once per data folder.
QString catalogue(const QString &data, int rows) {
    const QString folder = data + QStringLiteral("/%1").arg(rows);
    if (QFileInfo::exists(folder + QStringLiteral("/ready")))
        return folder;
    QDir(folder).removeRecursively();
    QElapsedTimer t;
    t.start();
    if (BenchData::openCatalogue(folder, rows, kPictureShare).isEmpty())
        return {};
    modMDB_Func::DBTerminate();
    QFile(folder + QStringLiteral("/ready")).open(QIODevice::WriteOnly);
    std::printf("(generated %d handsets, %d%% with pictures, in %lld ms)\n", rows, kPictureShare, t.elapsed());
    return folder;
}
} // namespace

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    int runs = 7;
    QString data;
    std::vector<int> sizes;
    for (int i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--measure") && i + 3 < args.size())
            return measure(args[i + 1], args[i + 2] == QLatin1String("-") ? QString() : args[i + 2],
                           args[i + 3].toInt());
        if (args[i] == QLatin1String("--runs") && i + 1 < args.size())
            runs = args[++i].toInt();
        else if (args[i] == QLatin1String("--data") && i + 1 < args.size())
            data = args[++i];
        else if (args[i].toInt() > 0)
            sizes.push_back(args[i].toInt());
    }
    if (sizes.empty())
        sizes = {10000, 100000, 1000000};
    QTemporaryDir temp;
    if (data.isEmpty())
        data = temp.path();
    std::printf("median of %d runs; peak = the measuring process's resident peak from the first search on\n", runs);
    const auto line = [&](const QString &folder, const QString &model) {
        std::fflush(stdout);
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedChannels);
        child.start(app.applicationFilePath(), {QStringLiteral("--measure"), folder,
                                                model.isEmpty() ? QStringLiteral("-") : model, QString::number(runs)});
        child.waitForFinished(-1);
        return child.exitCode() == 0;
    };
    QString largest;
    for (const int rows : sizes) {
        largest = catalogue(data, rows);
        if (largest.isEmpty() || !line(largest, {}))
            return 1;
    }
    std::printf("narrow search, model \"%s\" in the %d-handset catalogue:\n", kNarrowModel.toUtf8().constData(),
                sizes.back());
    return line(largest, kNarrowModel) ? 0 : 1;
}
