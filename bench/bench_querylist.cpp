// The handset search over a large catalogue: time from F5 to a filled grid and peak memory,
// beside the sqlite3 command-line tool running the same SELECT into /dev/null.
//   bench_querylist [rows=100000] [picture share percent=10]
#include "AppPaths.h"
#include "DemoCatalogue.h"
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
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTextStream>
#include <cstdio>

namespace {
long peakKb() {
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : f.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    return -1;
}

bool generate(const QString &dbFile, const QString &imgDir, int rows, int pictureShare) {
    if (!Schema::createMainDatabase(dbFile))
        return false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("gen"));
        db.setDatabaseName(dbFile);
        if (!db.open())
            return false;
        db.transaction();
        QSqlQuery q(db);
        q.prepare(QStringLiteral("INSERT INTO t_mobile (mcode, mid, makeyear, makecom, opentype, ant, model, sar, nick,"
                                 " imgpath, bigo) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, '', '')"));
        const QStringList makers{QStringLiteral("삼성전자"), QStringLiteral("LG전자"), QStringLiteral("팬택"),
                                 QStringLiteral("애플"), QStringLiteral("모토로라")};
        const QStringList opens{QStringLiteral("폴더"), QStringLiteral("슬라이드"), QStringLiteral("바"), QStringLiteral("터치")};
        for (int i = 1; i <= rows; ++i) {
            q.addBindValue(QStringLiteral("%1").arg(i, 6, 10, QLatin1Char('0')));
            q.addBindValue(QStringLiteral("GEN-%1").arg(i));
            q.addBindValue(QString::number(2000 + i % 25));
            q.addBindValue(makers[i % makers.size()]);
            q.addBindValue(opens[i % opens.size()]);
            q.addBindValue(i % 3 ? QStringLiteral("내장형") : QStringLiteral("외장형"));
            q.addBindValue(QStringLiteral("모델 %1").arg(i));
            q.addBindValue(QString::number(0.3 + (i % 120) / 100.0, 'f', 3));
            q.addBindValue(QStringLiteral("애칭%1").arg(i % 997));
            q.exec();
        }
        db.commit();
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("gen"));
    // One drawn picture, copied for the share of models that have one.
    const QString sample = imgDir + QStringLiteral("/sample.bmp");
    DemoCatalogue::drawPicture(sample, QStringLiteral("삼성전자"), QStringLiteral("모델"), 200, 0);
    const int step = pictureShare > 0 ? 100 / pictureShare : 0;
    for (int i = 1; step && i <= rows; i += step)
        QFile::copy(sample, imgDir + QStringLiteral("/GEN-%1.bmp").arg(i));
    return true;
}
} // namespace

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    const int rows = argc > 1 ? atoi(argv[1]) : 100000;
    const int share = argc > 2 ? atoi(argv[2]) : 10;
    QTemporaryDir dir;
    AppPaths::setAppFolder(dir.path());
    AppPaths::setSettingsRoot(dir.path() + QStringLiteral("/settings"));
    const QString dbFile = dir.path() + QStringLiteral("/DBS/dbMain.db");
    QDir().mkpath(dir.path() + QStringLiteral("/IMG"));
    QElapsedTimer t;
    t.start();
    if (!generate(dbFile, dir.path() + QStringLiteral("/IMG"), rows, share))
        return 1;
    std::printf("generate %d rows (%d%% with pictures): %lld ms\n", rows, share, t.elapsed());
    if (!modMDB_Func::OpenDB(dbFile, Schema::kPassword, false, false))
        return 1;

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
    if (QFile clear(QStringLiteral("/proc/self/clear_refs")); clear.open(QIODevice::WriteOnly))
        clear.write("5");
    const long before = peakKb();
    for (int run = 1; run <= 2; ++run) {
        t.restart();
        list.QueryList();
        QApplication::processEvents(); // the grid paints its first screen
        const qint64 ms = t.elapsed();
        std::printf("QueryList run %d: %d rows in %lld ms (%.2fx the command-line tool)\n", run,
                    list.spList->maxRows(), ms, cliMs > 0 ? double(ms) / cliMs : 0.0);
    }
    std::printf("peak memory: %ld MB (%ld MB before the searches)\n", peakKb() / 1024, before / 1024);
    modMDB_Func::DBTerminate();
    return 0;
}
