// The handset search over large catalogues: F5 to a painted grid against the sqlite3
// command-line tool running the same SELECT into /dev/null, median of several runs each,
// with the peak memory of the search. Every line is measured in a process of its own so
// that its peak is its own.
//   bench_querylist [--runs 7] [--data folder] [--server] [sizes, default 10000 100000 1000000]
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

namespace {
constexpr int kPictureShare = 10;
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
            ok = r.ok && QSqlQuery(server).exec(QStringLiteral("ANALYZE"));
        } else {
            std::fprintf(stderr, "%s\n", qPrintable(admin.lastError().text() + server.lastError().text()));
            ok = false;
        }
    }
    for (const char *c : {"admin", "file", "server"})
        QSqlDatabase::removeDatabase(QString::fromLatin1(c));
    return ok ? name : QString();
}

qint64 median(std::vector<qint64> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
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
    const long before = BenchData::peakKb();
    std::vector<qint64> cli, ours, oursWarm, fetchCold, fetchWarm;
    qsizetype fetched = 0;
    int rows = 0;
    QElapsedTimer t;
    for (int run = 0; run < runs; ++run) {
        QProcess tool;
        tool.setStandardOutputFile(QProcess::nullDevice());
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("PGPASSWORD"), server.password);
        tool.setProcessEnvironment(env);
        t.start();
        if (serverDb.isEmpty())
            tool.start(QStringLiteral("sqlite3"), {dbFile, sql});
        else
            tool.start(QStringLiteral("psql"),
                       {QStringLiteral("-h"), server.host, QStringLiteral("-p"), QString::number(server.port),
                        QStringLiteral("-U"), server.user, QStringLiteral("-d"), serverDb, QStringLiteral("-A"),
                        QStringLiteral("-c"), sql});
        tool.waitForFinished(-1);
        cli.push_back(t.elapsed());
        if (tool.exitCode() != 0)
            return 1;

        // F5 to the painted first screen; on the server its pictures are fetched after the paint,
        // timed apart: first into an empty cache, then again with the cache filled.
        for (const bool warm : {false, true}) {
            if (!warm)
                QDir(cache).removeRecursively();
            if (warm && serverDb.isEmpty())
                break;
            t.start();
            list.QueryList();
            list.spList->viewport()->repaint(); // the first screen, painted now
            (warm ? oursWarm : ours).push_back(t.elapsed());
            t.start();
            QCoreApplication::processEvents();
            (warm ? fetchWarm : fetchCold).push_back(t.elapsed());
        }
        rows = list.spList->maxRows();
        fetched = QDir(cache).entryList(QDir::Files).size();
    }
    if (!serverDb.isEmpty())
        QDir(cache).removeRecursively();
    const qint64 c = median(cli), o = median(ours);
    std::printf("%9d rows: F5 %6lld ms | %s %6lld ms | %.2fx | peak %4ld MB (%ld MB before)\n", rows, o,
                serverDb.isEmpty() ? "sqlite3" : "psql", c, c > 0 ? double(o) / double(c) : 0.0,
                BenchData::peakKb() / 1024, before / 1024);
    if (!serverDb.isEmpty())
        std::printf("           pictures of the first screen (%lld fetched): cold %lld ms, warm %lld ms after "
                    "F5 (warm F5 %lld ms)\n",
                    qlonglong(fetched), median(fetchCold), median(fetchWarm), median(oursWarm));
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
    bool onServer = false;
    QString data;
    std::vector<int> sizes;
    for (int i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--measure") && i + 4 < args.size())
            return measure(args[i + 1], args[i + 2] == QLatin1String("-") ? QString() : args[i + 2],
                           args[i + 3].toInt(), args[i + 4] == QLatin1String("-") ? QString() : args[i + 4]);
        if (args[i] == QLatin1String("--server"))
            onServer = true;
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
        largest = catalogue(data, rows);
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
