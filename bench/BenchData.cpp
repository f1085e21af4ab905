#include "BenchData.h"
#include "AppPaths.h"
#include "DemoCatalogue.h"
#include "Schema.h"
#include "modMDB_Func.h"
#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStringList>
#ifdef Q_OS_UNIX
#include <sys/resource.h>
#include <unistd.h>
#endif

namespace BenchData {
namespace {
long statusKb(const char *field) {
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : f.readAll().split('\n'))
        if (line.startsWith(field))
            return line.mid(qsizetype(qstrlen(field))).trimmed().split(' ').first().toLong();
    return -1;
}
} // namespace

long peakKb() { return statusKb("VmHWM:"); }
long residentKb() { return statusKb("VmRSS:"); }

double cpuMs(bool children) {
#ifdef Q_OS_UNIX
    rusage u{};
    getrusage(children ? RUSAGE_CHILDREN : RUSAGE_SELF, &u);
    const auto ms = [](const timeval &t) { return double(t.tv_sec) * 1000.0 + double(t.tv_usec) / 1000.0; };
    return ms(u.ru_utime) + ms(u.ru_stime);
#else
    Q_UNUSED(children);
    return -1;
#endif
}

bool generate(const QString &dbFile, const QString &imgDir, int rows, int pictureShare, const QString &remark) {
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
                                 " imgpath, bigo) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, '', ?)"));
        const QStringList makers{QStringLiteral("삼성전자"), QStringLiteral("LG전자"), QStringLiteral("팬택"),
                                 QStringLiteral("애플"), QStringLiteral("모토로라")};
        const QStringList opens{QStringLiteral("폴더"), QStringLiteral("슬라이드"), QStringLiteral("바"),
                                QStringLiteral("터치")};
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
            q.addBindValue(remark.isNull() ? QStringLiteral("") : remark); // never null, as the program writes it
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
    // Hard links: a real directory entry per picture without a copy of its bytes.
    for (int i = 1; step && i <= rows; i += step) {
        const QString target = imgDir + QStringLiteral("/GEN-%1.bmp").arg(i);
#ifdef Q_OS_UNIX
        if (::link(QFile::encodeName(sample).constData(), QFile::encodeName(target).constData()) == 0)
            continue;
#endif
        QFile::copy(sample, target);
    }
    return true;
}

QString openCatalogue(const QString &folder, int rows, int pictureShare, const QString &remark) {
    AppPaths::setAppFolder(folder);
    AppPaths::setSettingsRoot(folder + QStringLiteral("/settings"));
    const QString dbFile = folder + QStringLiteral("/DBS/dbMain.db");
    QDir().mkpath(folder + QStringLiteral("/IMG"));
    if (!generate(dbFile, folder + QStringLiteral("/IMG"), rows, pictureShare, remark) ||
        !modMDB_Func::OpenDB(dbFile, Schema::kPassword, false, false))
        return {};
    return dbFile;
}

Options parseOptions(const QStringList &args, std::vector<int> defaultSizes) {
    Options o;
    for (int i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--runs") && i + 1 < args.size())
            o.runs = args[++i].toInt();
        else if (args[i] == QLatin1String("--data") && i + 1 < args.size())
            o.data = args[++i];
        else if (args[i].toInt() > 0)
            o.sizes.push_back(args[i].toInt());
    }
    if (o.sizes.empty())
        o.sizes = std::move(defaultSizes);
    return o;
}

void forgetPeak() {
    if (QFile clear(QStringLiteral("/proc/self/clear_refs")); clear.open(QIODevice::WriteOnly))
        clear.write("5");
}
} // namespace BenchData
