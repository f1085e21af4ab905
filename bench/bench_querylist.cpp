// The handset search over large catalogues: the CPU time (user + system) of F5 to a painted
// grid against the sqlite3 command-line tool running the same SELECT into /dev/null and
// against the floor, a C loop reading every cell's text of the same SELECT through the SQLite
// library (on a connection with its mutex, as the tool's, and without, as the program's: Qt's
// driver opens its connections without one); median of several
// runs each, with the peak memory of the search and what the grid keeps per row. Every line
// is measured in a process of its own so that its peak is its own.
//   bench_querylist [--runs 7] [--data folder] [--server] [--remark] [sizes, default 10000 100000 1000000]
// --remark: every handset has a 67-character remark, which the list never shows.
// The last line searches one model number in the largest catalogue (11 rows), whose picture
// folder holds a picture for every tenth model.
// --server: the same catalogues copied onto a database server (pictures into its picture table)
// and searched there, against psql running the same SELECT; the first screen's pictures are
// fetched after F5's paint into this PC's empty cache (cold), then checked by hash (warm). The server is the one
// scripts/with-postgres starts (MOBILESHOP_PG_HOST, _PORT, _USER, _PASSWORD):
//   scripts/with-postgres build/bench/bench_querylist --server 100000
#include "AppPaths.h"
#include "BenchData.h"
#include "DbMigrate.h"
#include "HandsetSql.h"
#include "Schema.h"
#include "ServerConnection.h"
#include "Spread.h"
#include "fbMobil_Admin.h"
#include "modMDB_Func.h"
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLineEdit>
#include <QProcess>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <numeric>
#include <sqlite3.h>

namespace {
constexpr int kPictureShare = 10;
constexpr int kModelCol = 7;
const QString kNarrowModel = QStringLiteral("모델 12345"); // 12345 and 123450 to 123459

ServerConnection serverFromEnvironment(const QString &database) {
    ServerConnection c;
    c.host = qEnvironmentVariable("MOBILESHOP_PG_HOST");
    c.port = qEnvironmentVariableIntValue("MOBILESHOP_PG_PORT");
    c.user = qEnvironmentVariable("MOBILESHOP_PG_USER");
    c.password = qEnvironmentVariable("MOBILESHOP_PG_PASSWORD");
    c.database = database;
    return c;
}

// The catalogue's file copied into a new database on the server; its name, empty on failure.
QString copyToServer(const QString &folder, int rows) {
    const QString name = QStringLiteral("bench_%1_%2").arg(rows).arg(QCoreApplication::applicationPid());
    bool ok = false;
    {
        QSqlDatabase admin = serverFromEnvironment(QStringLiteral("postgres")).addDatabase(QStringLiteral("admin"));
        ok = admin.open() && QSqlQuery(admin).exec(QStringLiteral("CREATE DATABASE ") + name);
        QSqlDatabase file = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("file"));
        file.setDatabaseName(folder + QStringLiteral("/DBS/dbMain.db"));
        QSqlDatabase server = serverFromEnvironment(name).addDatabase(QStringLiteral("server"));
        if (ok && file.open() && server.open()) {
            const DbMigrate::Result r = DbMigrate::copy(file, server, {}, folder + QStringLiteral("/IMG"));
            if (!r.ok)
                std::fprintf(stderr, "%s\n", r.error.toUtf8().constData());
            // Quietly: the shared catalogues are not ours to analyze, and each would print a warning.
            QSqlQuery q(server);
            ok = r.ok && q.exec(QStringLiteral("SET client_min_messages = error")) && q.exec(QStringLiteral("ANALYZE"));
        } else {
            std::fprintf(stderr, "%s\n", qPrintable(admin.lastError().text() + server.lastError().text()));
            ok = false;
        }
    }
    for (const char *c : {"admin", "file", "server"})
        QSqlDatabase::removeDatabase(QString::fromLatin1(c));
    return ok ? name : QString();
}

QStringList psqlArguments(const ServerConnection &server, const QString &database) {
    return {QStringLiteral("-h"), server.host, QStringLiteral("-p"), QString::number(server.port),
            QStringLiteral("-U"), server.user, QStringLiteral("-d"), database,
            QStringLiteral("-A")};
}

// How many rows the command-line tool finds for the statement; -1 on failure.
int toolRowCount(const QStringList &target, const QString &sql, const QString &password) {
    QProcess tool;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("PGPASSWORD"), password);
    tool.setProcessEnvironment(env);
    const bool psql = target.contains(QStringLiteral("-A"));
    const QString count = QStringLiteral("SELECT COUNT(*) FROM (") + sql + QStringLiteral(") AS counted");
    tool.start(psql ? QStringLiteral("psql") : QStringLiteral("sqlite3"),
               target + (psql ? QStringList{QStringLiteral("-t"), QStringLiteral("-c"), count} : QStringList{count}));
    bool ok = tool.waitForFinished(-1) && tool.exitCode() == 0;
    const int n = QString::fromUtf8(tool.readAllStandardOutput()).trimmed().toInt(&ok);
    return ok ? n : -1;
}

template <class T> T median(std::vector<T> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? T() : v[v.size() / 2];
}

// The least any reader of the result does: every cell's text once. CPU ms, -1 on failure.
double floorMs(const QString &dbFile, const QString &sql, bool mutex, qint64 *bytes, int *rows) {
    sqlite3 *db = nullptr;
    const int flags = SQLITE_OPEN_READONLY | (mutex ? SQLITE_OPEN_FULLMUTEX : SQLITE_OPEN_NOMUTEX);
    if (sqlite3_open_v2(dbFile.toUtf8().constData(), &db, flags, nullptr) != SQLITE_OK) {
        sqlite3_close(db);
        return -1;
    }
    const double start = BenchData::cpuMs();
    sqlite3_stmt *st = nullptr;
    const QByteArray text = sql.toUtf8();
    double ms = -1;
    if (sqlite3_prepare_v2(db, text.constData(), int(text.size()), &st, nullptr) == SQLITE_OK) {
        const int n = sqlite3_column_count(st);
        qint64 sum = 0;
        int count = 0;
        for (; sqlite3_step(st) == SQLITE_ROW; ++count)
            for (int i = 0; i < n; ++i)
                if (sqlite3_column_text(st, i))
                    sum += sqlite3_column_bytes(st, i);
        *bytes = sum;
        *rows = count;
        ms = BenchData::cpuMs() - start;
    }
    sqlite3_finalize(st);
    sqlite3_close(db);
    return ms;
}

// One line, in this process: the catalogue in folder is already generated.
int measure(const QString &folder, const QString &model, int runs, const QString &serverDb) {
    // On the server this PC's IMG/ is only a cache of the server's pictures: a folder of its own.
    const QString pc = serverDb.isEmpty() ? folder : folder + QStringLiteral("/pc");
    const QString cache = pc + QStringLiteral("/IMG");
    AppPaths::setAppFolder(pc);
    AppPaths::setSettingsRoot(folder + QStringLiteral("/settings"));
    const QString dbFile = folder + QStringLiteral("/DBS/dbMain.db");
    const ServerConnection server = serverFromEnvironment(serverDb);
    if (serverDb.isEmpty() ? !modMDB_Func::OpenDB(dbFile, Schema::kPassword, false, false)
                           : !modMDB_Func::OpenServerDB(server, Schema::kPassword, false, false))
        return 1;
    std::array<QString, 8> search;
    search[5] = model;
    const QString sql = HandsetSql::listQuery(search).inlined(); // the tools take the statement as text

    fbMobil_Admin list;
    list.resize(1200, 800);
    list.show();
    list.htField[6]->setText(model);
    QApplication::processEvents();
    BenchData::forgetPeak();
    const long before = BenchData::peakKb(), residentBefore = BenchData::residentKb();
    std::vector<double> cli, ours, oursWarm, fetchCold, fetchWarm, floorLocked, floorFree;
    std::vector<qint64> wall;
    qsizetype fetched = 0;
    int rows = 0, floorRows = -1;
    qint64 cellBytes = 0;
    QElapsedTimer t;
    for (int run = 0; run < runs; ++run) {
        QProcess tool;
        tool.setStandardOutputFile(QProcess::nullDevice());
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("PGPASSWORD"), server.password);
        tool.setProcessEnvironment(env);
        const double toolStart = BenchData::cpuMs(true);
        if (serverDb.isEmpty())
            tool.start(QStringLiteral("sqlite3"), {dbFile, sql});
        else
            tool.start(QStringLiteral("psql"),
                       psqlArguments(server, serverDb) + QStringList{QStringLiteral("-c"), sql});
        tool.waitForFinished(-1);
        cli.push_back(BenchData::cpuMs(true) - toolStart);
        if (tool.exitCode() != 0)
            return 1;
        if (serverDb.isEmpty()) {
            floorLocked.push_back(floorMs(dbFile, sql, true, &cellBytes, &floorRows));
            floorFree.push_back(floorMs(dbFile, sql, false, &cellBytes, &floorRows));
        }

        // F5 to the painted first screen; on the server its pictures are fetched after the paint,
        // timed apart: first into an empty cache, then again with the cache filled.
        for (const bool warm : {false, true}) {
            if (warm && serverDb.isEmpty())
                break;
            if (!warm && !serverDb.isEmpty()) // a cache of the server's pictures; on a file, the catalogue's own
                QDir(cache).removeRecursively();
            const double start = BenchData::cpuMs();
            t.start();
            list.QueryList();
            list.spList->viewport()->repaint(); // the first screen, painted now
            (warm ? oursWarm : ours).push_back(BenchData::cpuMs() - start);
            if (!warm)
                wall.push_back(t.elapsed());
            t.start();
            QCoreApplication::processEvents();
            (warm ? fetchWarm : fetchCold).push_back(double(t.elapsed()));
        }
        rows = list.spList->maxRows();
        if (!serverDb.isEmpty()) // on a file the folder is the catalogue's: a listing would only cost memory
            fetched = QDir(cache).entryList(QDir::Files).size();
    }
    const long kept = BenchData::residentKb() - residentBefore, peak = BenchData::peakKb();
    // The anchors did the list's work: the same rows (the tool's count taken apart, untimed).
    if (const int counted = toolRowCount(serverDb.isEmpty() ? QStringList{dbFile} : psqlArguments(server, serverDb),
                                         sql, server.password);
        counted != rows || (serverDb.isEmpty() && floorRows != rows)) {
        std::fprintf(stderr, "rows differ: F5 %d, tool %d, floor %d\n", rows, counted, floorRows);
        return 1;
    }
    // A header click on the model names (one shared prefix, Korean and digits), beside the
    // sort that folded both texts in every comparison, on the same texts.
    std::vector<double> sorts, oldSorts;
    if (serverDb.isEmpty() && model.isEmpty()) {
        std::vector<QString> texts(static_cast<size_t>(rows));
        for (int r = 1; r <= rows; ++r)
            texts[size_t(r - 1)] = list.spList->text(kModelCol, r);
        for (int run = 0; run < runs; ++run) {
            const double start = BenchData::cpuMs();
            list.spList->sortRows(kModelCol, run % 2 == 0);
            sorts.push_back(BenchData::cpuMs() - start);
            std::vector<int> order(static_cast<size_t>(rows));
            std::iota(order.begin(), order.end(), 0);
            const double oldStart = BenchData::cpuMs();
            std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
                return texts[size_t(a)].compare(texts[size_t(b)], Qt::CaseInsensitive) < 0;
            });
            oldSorts.push_back(BenchData::cpuMs() - oldStart);
        }
    }
    if (!serverDb.isEmpty())
        QDir(cache).removeRecursively();
    const double c = median(cli), o = median(ours);
    std::printf("%9d rows: F5 %7.1f ms CPU (%lld ms wall) | %s %7.1f ms | %.2fx | peak %4ld MB (%ld MB before) | "
                "%.2f us/row, %ld B/row kept\n",
                rows, o, median(wall), serverDb.isEmpty() ? "sqlite3" : "psql", c, c > 0 ? o / c : 0.0, peak / 1024,
                before / 1024, rows ? 1000.0 * o / rows : 0.0, rows ? kept * 1024 / rows : 0L);
    if (!sorts.empty())
        std::printf("           sort by model name: %7.1f ms CPU (folding in every comparison: %7.1f ms)\n",
                    median(sorts), median(oldSorts));
    if (serverDb.isEmpty()) {
        const double fl = median(floorLocked), ff = median(floorFree);
        std::printf("           floor (C loop, %lld bytes of text): %7.1f ms with mutex (%.2fx), %7.1f ms without "
                    "(%.2fx)\n",
                    qlonglong(cellBytes), fl, fl > 0 ? o / fl : 0.0, ff, ff > 0 ? o / ff : 0.0);
    }
    if (!serverDb.isEmpty())
        std::printf("           pictures of the first screen (%lld fetched): cold %.0f ms, warm %.0f ms after "
                    "F5 (warm F5 %.1f ms CPU)\n",
                    qlonglong(fetched), median(fetchCold), median(fetchWarm), median(oursWarm));
    std::fflush(stdout);
    modMDB_Func::DBTerminate();
    return 0;
}

// The catalogue of a size, generated once per data folder.
QString catalogue(const QString &data, int rows, const QString &remark) {
    const QString folder = data + QStringLiteral("/%1%2").arg(rows).arg(remark.isEmpty() ? "" : "-remark");
    if (QFileInfo::exists(folder + QStringLiteral("/ready")))
        return folder;
    QDir(folder).removeRecursively();
    QElapsedTimer t;
    t.start();
    if (BenchData::openCatalogue(folder, rows, kPictureShare, remark).isEmpty())
        return {};
    modMDB_Func::DBTerminate();
    QFile(folder + QStringLiteral("/ready")).open(QIODevice::WriteOnly);
    std::printf("(generated %d handsets, %d%% with pictures, in %lld ms)\n", rows, kPictureShare, t.elapsed());
    return folder;
}
} // namespace

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    for (int i = 0; i + 4 < args.size(); ++i)
        if (args[i] == QLatin1String("--measure"))
            return measure(args[i + 1], args[i + 2] == QLatin1String("-") ? QString() : args[i + 2],
                           args[i + 3].toInt(), args[i + 4] == QLatin1String("-") ? QString() : args[i + 4]);
    const bool onServer = args.contains(QLatin1String("--server"));
    const QString remark =
        args.contains(QLatin1String("--remark"))
            ? QStringLiteral("비고: 이 모델은 전시용 재고이며 포장 박스와 충전기, 설명서가 함께 보관되어 있음. "
                             "확인 요망 A1B2C3D4E5F6G") // 67 characters
            : QString();
    const BenchData::Options options = BenchData::parseOptions(args, {10000, 100000, 1000000});
    const int runs = options.runs;
    const std::vector<int> &sizes = options.sizes;
    QString data = options.data;
    QTemporaryDir temp;
    if (data.isEmpty())
        data = temp.path();
    std::printf("median of %d runs of CPU time; peak = the measuring process's resident peak from the first search on,"
                " kept = what it holds after the search more than before, per row\n",
                runs);
    QString serverDb;
    const auto line = [&](const QString &folder, const QString &model) {
        std::fflush(stdout);
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedChannels);
        child.start(app.applicationFilePath(),
                    {QStringLiteral("--measure"), folder, model.isEmpty() ? QStringLiteral("-") : model,
                     QString::number(runs), serverDb.isEmpty() ? QStringLiteral("-") : serverDb});
        child.waitForFinished(-1);
        return child.exitCode() == 0;
    };
    QString largest;
    for (const int rows : sizes) {
        largest = catalogue(data, rows, remark);
        if (largest.isEmpty())
            return 1;
        if (onServer && (serverDb = copyToServer(largest, rows)).isEmpty())
            return 1;
        if (!line(largest, {}))
            return 1;
    }
    std::printf("narrow search, model \"%s\" in the %d-handset catalogue:\n", kNarrowModel.toUtf8().constData(),
                sizes.back());
    return line(largest, kNarrowModel) ? 0 : 1;
}
