// The postal-code lookup over a national-sized database: the importer building it from a
// published-style text file (rows per second), then InitForm by town prefix and by code.
//   bench_postcode [entries=1000000] [searches=200]
#include "AppPaths.h"
#include "PostcodeImport.h"
#include "Spread.h"
#include "frmZipcode.h"
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <cstdio>

namespace {
// Three syllables make 27,000 town names, so a three-syllable prefix finds a few dozen rows.
const QString kSyllables = QStringLiteral("가나다라마바사아자차카타파하강남동서북산천신성원용인송백청금화평장영");

QString town(QRandomGenerator &rng) {
    QString name;
    for (int i = 0; i < 3; ++i)
        name += kSyllables[int(rng.bounded(30))];
    return name + QStringLiteral("동");
}

bool writeSource(const QString &file, int entries) {
    const QStringList sido{QStringLiteral("서울특별시"), QStringLiteral("경기도"), QStringLiteral("부산광역시"),
                           QStringLiteral("전라남도"), QStringLiteral("경상북도")};
    QFile out(file);
    if (!out.open(QIODevice::WriteOnly))
        return false;
    QRandomGenerator rng(17);
    out.write("우편번호|시도|시군구|읍면동|번지\n");
    QByteArray line;
    for (int i = 0; i < entries; ++i) {
        line = QStringLiteral("%1|%2|%3구|%4|%5~%6\n")
                   .arg(rng.bounded(100000), 5, 10, QLatin1Char('0'))
                   .arg(sido[i % sido.size()])
                   .arg(kSyllables[i % 30])
                   .arg(town(rng))
                   .arg(i % 500 + 1)
                   .arg(i % 500 + 40)
                   .toUtf8();
        out.write(line);
    }
    return out.flush();
}

template <typename Fn> double msPerCall(int n, Fn fn) {
    QElapsedTimer t;
    t.start();
    for (int i = 0; i < n; ++i)
        fn(i);
    return double(t.nsecsElapsed()) / 1e6 / n;
}
} // namespace

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    const int entries = argc > 1 ? atoi(argv[1]) : 1000000;
    const int searches = argc > 2 ? atoi(argv[2]) : 200;
    QTemporaryDir dir;
    AppPaths::setAppFolder(dir.path());
    AppPaths::setSettingsRoot(dir.path() + QStringLiteral("/settings"));
    QDir().mkpath(dir.path() + QStringLiteral("/DBS"));
    const QString source = dir.path() + QStringLiteral("/national.txt");
    const QString db = dir.path() + QStringLiteral("/DBS/dbPost.db");

    QElapsedTimer t;
    t.start();
    if (!writeSource(source, entries))
        return 1;
    std::printf("source file: %d entries, %.1f MB in %lld ms\n", entries, QFile(source).size() / 1048576.0,
                t.elapsed());
    t.restart();
    const PostcodeImport::Report report = PostcodeImport::buildDatabase(source, db);
    const qint64 importMs = qMax<qint64>(1, t.elapsed());
    if (!report.ok) {
        std::printf("import failed: %s\n", qPrintable(report.message));
        return 1;
    }
    std::printf("import: %lld rows in %lld ms = %.0f rows/s (database %.1f MB)\n", report.rows, importMs,
                report.rows * 1000.0 / importMs, QFile(db).size() / 1048576.0);

    frmZipcode lookup;
    QRandomGenerator rng(99);
    qint64 found = 0;
    const double byTown = msPerCall(searches, [&](int) {
        lookup.InitForm(town(rng).left(3));
        found += lookup.spList->maxRows();
    });
    std::printf("InitForm by town prefix: %.2f ms per search, %.1f rows found on average\n", byTown,
                double(found) / searches);
    found = 0;
    const double byCode = msPerCall(searches, [&](int) {
        lookup.InitForm(QStringLiteral("%1").arg(rng.bounded(100000), 5, 10, QLatin1Char('0')));
        found += lookup.spList->maxRows();
    });
    std::printf("InitForm by code: %.2f ms per search, %.1f rows found on average\n", byCode, double(found) / searches);

    // What the indexes are worth: the same searches on the bare table.
    {
        QSqlDatabase bare = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("bare"));
        bare.setDatabaseName(db);
        if (!bare.open() || !QSqlQuery(bare).exec(QStringLiteral("DROP INDEX Post_DONG")) ||
            !QSqlQuery(bare).exec(QStringLiteral("DROP INDEX Post_ZIPCODE")))
            return 1;
        bare.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("bare"));
    frmZipcode noIndex;
    const int few = qMax(1, searches / 20);
    std::printf("without the indexes: %.2f ms by town prefix, %.2f ms by code (%d searches each)\n",
                msPerCall(few, [&](int) { noIndex.InitForm(town(rng).left(3)); }),
                msPerCall(few,
                          [&](int) {
                              noIndex.InitForm(QStringLiteral("%1").arg(rng.bounded(100000), 5, 10, QLatin1Char('0')));
                          }),
                few);
    return 0;
}
