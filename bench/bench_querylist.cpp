// The handset search over a large catalogue: time from F5 to a filled grid and peak memory,
// beside the sqlite3 command-line tool running the same SELECT into /dev/null.
//   bench_querylist [rows=100000] [picture share percent=10]
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
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>


int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    const int rows = argc > 1 ? atoi(argv[1]) : 100000;
    const int share = argc > 2 ? atoi(argv[2]) : 10;
    QTemporaryDir dir;
    QElapsedTimer t;
    t.start();
    const QString dbFile = BenchData::openCatalogue(dir.path(), rows, share);
    if (dbFile.isEmpty())
        return 1;
    std::printf("generate %d rows (%d%% with pictures): %lld ms\n", rows, share, t.elapsed());

    // The command-line tool on the same statement, output thrown away.
    const QString sql = HandsetSql::listQuery({});
    QProcess cli;
    cli.setStandardOutputFile(QProcess::nullDevice());
    t.restart();
    cli.start(QStringLiteral("sqlite3"), {dbFile, sql});
    cli.waitForFinished(-1);
    const qint64 cliMs = t.elapsed();
    std::printf("sqlite3 command-line SELECT > /dev/null: %lld ms\n", cliMs);

    {
        Recordset rs;
        t.restart();
        const int n = modMDB_Func::OpenRecordset(rs, sql);
        std::printf("OpenRecordset alone: %d rows in %lld ms\n", n, t.elapsed());
    }
    fbMobil_Admin list;
    list.resize(1200, 800);
    list.show();
    QApplication::processEvents();
    // Forget the generator's peak: from here on the peak is the search's own.
    BenchData::forgetPeak();
    const long before = BenchData::peakKb();
    for (int run = 1; run <= 2; ++run) {
        t.restart();
        list.QueryList();
        QApplication::processEvents(); // the grid paints its first screen
        const qint64 ms = t.elapsed();
        std::printf("QueryList run %d: %d rows in %lld ms (%.2fx the command-line tool)\n", run,
                    list.spList->maxRows(), ms, cliMs > 0 ? double(ms) / cliMs : 0.0);
    }
    std::printf("peak memory: %ld MB (%ld MB before the searches)\n", BenchData::peakKb() / 1024, before / 1024);
    modMDB_Func::DBTerminate();
    return 0;
}
