// Conversions per second of Convlunar over random dates of the whole table.
#include "Convlunar.h"
#include <QDate>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <cstdio>
#include <vector>

namespace {

struct Ymd {
    qint16 y, m, d;
};

template <typename Convert> void measure(const char *name, const std::vector<Ymd> &dates, Convert convert) {
    qsizetype checksum = 0;
    QElapsedTimer timer;
    timer.start();
    for (const Ymd &x : dates)
        checksum += convert(x).size();
    const double seconds = double(timer.nsecsElapsed()) / 1e9;
    std::printf("%s: %.0f conversions/s (%zu dates, %.3f s, checksum %lld)\n", name, double(dates.size()) / seconds,
                dates.size(), seconds, static_cast<long long>(checksum));
}

} // namespace

int main(int argc, char **argv) {
    const int count = argc > 1 ? std::atoi(argv[1]) : 2000000;
    QRandomGenerator rng(1841);
    const qint64 first = QDate(1841, 1, 23).toJulianDay();
    const qint64 last = QDate(2043, 12, 31).toJulianDay();
    std::vector<Ymd> solar, lunar;
    solar.reserve(count);
    lunar.reserve(count);
    for (int i = 0; i < count; ++i) {
        const QDate d = QDate::fromJulianDay(first + qint64(rng.bounded(double(last - first + 1))));
        solar.push_back({qint16(d.year()), qint16(d.month()), qint16(d.day())});
        lunar.push_back({qint16(rng.bounded(1841, 2044)), qint16(rng.bounded(1, 13)), qint16(rng.bounded(1, 30))});
    }

    Convlunar c;
    measure("Sol2Lun", solar, [&](Ymd x) { return c.Sol2Lun(x.y, x.m, x.d); });
    measure("Lun2Sol", lunar, [&](Ymd x) { return c.Lun2Sol(x.y, x.m, x.d); });
    return 0;
}
