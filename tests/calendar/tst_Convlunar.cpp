#include "Convlunar.h"
#include "IcuDangi.h"
#include "LunarReference.h"
#include <QRandomGenerator>
#include <QtTest>
#include <functional>

namespace {

QString sol2lun(int y, int m, int d, qint32 layout = 0) {
    Convlunar c;
    qint16 year = qint16(y);
    return c.Sol2Lun(year, qint16(m), qint16(d), layout);
}

QString lun2sol(int y, int m, int d, qint32 layout = 0) {
    Convlunar c;
    return c.Lun2Sol(qint16(y), qint16(m), qint16(d), layout);
}

QString iso(const QDate &d) { return d.toString(QStringLiteral("yyyy-MM-dd")); }

struct Lunar {
    int year, month, day;
};

Lunar parseLunar(const QString &text) {
    const QStringList p = text.split(QLatin1Char('-'));
    return {p.value(0).toInt(), p.value(1).toInt(), p.value(2).toInt()};
}

// Where the month table and ICU part from 1900 on, and why: a new moon so close to midnight
// that the almanac and ICU's reckoning of the moon put it on different days, so that the
// lunar month it starts, up to the next new moon where they agree again, is a day apart.
struct Parting {
    QDate newMoon, lastDay;
    const char *why;
};
const Parting kIcuParts[] = {
    {QDate(2017, 2, 26), QDate(2017, 3, 27),
     "new moon at 23:58 KST: the almanac starts lunar month 2 on 2017-02-26, ICU on the 27th"},
};
const QDate kIcuFirst(1900, 1, 31);   // lunar 1900-01-01
const QDate kSolarLast(2043, 12, 31); // the last solar day Sol2Lun takes

bool icuParts(const QDate &d) {
    return std::any_of(std::begin(kIcuParts), std::end(kIcuParts),
                       [&](const Parting &p) { return d >= p.newMoon && d <= p.lastDay; });
}

// The program's answer in ICU's terms: the leap flag is ICU's, as the text does not carry it.
LunarDay programLunar(const Convlunar &c, const QDate &d, bool leap) {
    qint16 y = qint16(d.year());
    const Lunar l = parseLunar(c.Sol2Lun(y, qint16(d.month()), qint16(d.day())));
    return {l.year, l.month, leap, l.day};
}

} // namespace

class TestConvlunar : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void solarToLunar_data();
    void solarToLunar();
    void lunarToSolar_data();
    void lunarToSolar();
    void correctedRows_data();
    void correctedRows();
    void leapMonthPlacement_data();
    void leapMonthPlacement();
    void earlyYearIsRaisedTo1841();
    void outOfTableFailsAndObjectStaysUsable();
    void layouts_data();
    void layouts();
    void outputFormatIsTheDefaultLayout();
    void isYoon();
    void unvalidatedMonthsAndDaysCountOn();
    void everyDayRoundTrips();
    void agreesWithLiteralAlgorithm();
    void solarToLunarAgreesWithIcu();
    void lunarToSolarAgreesWithIcu();
};

void TestConvlunar::solarToLunar_data() {
    QTest::addColumn<QDate>("solar");
    QTest::addColumn<QString>("lunar");
    QTest::newRow("epoch") << QDate(1841, 1, 23) << "1841-01-01";
    QTest::newRow("seollal 2024") << QDate(2024, 2, 10) << "2024-01-01";
    QTest::newRow("seollal 2000") << QDate(2000, 2, 5) << "2000-01-01";
    QTest::newRow("seollal 1990") << QDate(1990, 1, 27) << "1990-01-01";
    QTest::newRow("leap 5 of 2017, day 1") << QDate(2017, 6, 24) << "2017-05-01";
    QTest::newRow("leap 4 of 2020") << QDate(2020, 6, 20) << "2020-04-29";
    QTest::newRow("leap 3 of 1841, day 30") << QDate(1841, 5, 20) << "1841-03-30";
    QTest::newRow("last day of the table") << QDate(2043, 12, 31) << "2043-12-01";
}

void TestConvlunar::solarToLunar() {
    QFETCH(QDate, solar);
    QFETCH(QString, lunar);
    QCOMPARE(sol2lun(solar.year(), solar.month(), solar.day()), lunar);
}

void TestConvlunar::lunarToSolar_data() {
    QTest::addColumn<int>("y");
    QTest::addColumn<int>("m");
    QTest::addColumn<int>("d");
    QTest::addColumn<QString>("solar");
    QTest::newRow("epoch") << 1841 << 1 << 1 << "1841-01-23";
    QTest::newRow("seollal 2024") << 2024 << 1 << 1 << "2024-02-10";
    QTest::newRow("end of table") << 2043 << 12 << 30 << "2044-01-29";
    QTest::newRow("regular month 5 of 2017, not the leap one") << 2017 << 5 << 1 << "2017-05-26";
    QTest::newRow("month after a leap month") << 2017 << 6 << 1 << "2017-07-23";
}

void TestConvlunar::lunarToSolar() {
    QFETCH(int, y);
    QFETCH(int, m);
    QFETCH(int, d);
    QFETCH(QString, solar);
    QCOMPARE(lun2sol(y, m, d), solar);
}

// Seollal (1/1), Chuseok (8/15) and the next Seollal of the years whose rows were mended.
void TestConvlunar::correctedRows_data() {
    QTest::addColumn<int>("year");
    QTest::addColumn<QString>("seollal");
    QTest::addColumn<QString>("chuseok");
    QTest::addColumn<QString>("nextSeollal");
    QTest::newRow("1851") << 1851 << "1851-02-01"
                          << "1851-09-10"
                          << "1852-02-20";
    QTest::newRow("1862") << 1862 << "1862-01-30"
                          << "1862-09-08"
                          << "1863-02-18";
    QTest::newRow("1965") << 1965 << "1965-02-02"
                          << "1965-09-10"
                          << "1966-01-22";
    QTest::newRow("1966") << 1966 << "1966-01-22"
                          << "1966-09-29"
                          << "1967-02-09";
    QTest::newRow("1990") << 1990 << "1990-01-27"
                          << "1990-10-03"
                          << "1991-02-15";
    QTest::newRow("2004") << 2004 << "2004-01-22"
                          << "2004-09-28"
                          << "2005-02-09";
    QTest::newRow("2015") << 2015 << "2015-02-19"
                          << "2015-09-27"
                          << "2016-02-08";
    QTest::newRow("2016") << 2016 << "2016-02-08"
                          << "2016-09-15"
                          << "2017-01-28";
    QTest::newRow("2017") << 2017 << "2017-01-28"
                          << "2017-10-04"
                          << "2018-02-16";
    QTest::newRow("2033") << 2033 << "2033-01-31"
                          << "2033-09-08"
                          << "2034-02-19";
    QTest::newRow("2036") << 2036 << "2036-01-28"
                          << "2036-10-04"
                          << "2037-02-15";
    QTest::newRow("2042") << 2042 << "2042-01-22"
                          << "2042-09-28"
                          << "2043-02-10";
}

void TestConvlunar::correctedRows() {
    QFETCH(int, year);
    QFETCH(QString, seollal);
    QFETCH(QString, chuseok);
    QFETCH(QString, nextSeollal);
    QCOMPARE(lun2sol(year, 1, 1), seollal);
    QCOMPARE(lun2sol(year, 8, 15), chuseok);
    QCOMPARE(lun2sol(year + 1, 1, 1), nextSeollal);
    const QDate s = QDate::fromString(seollal, Qt::ISODate);
    QCOMPARE(sol2lun(s.year(), s.month(), s.day()), QString::number(year) + "-01-01");
    // The last day of the year is the day before the next Seollal.
    const QDate last = QDate::fromString(nextSeollal, Qt::ISODate).addDays(-1);
    QCOMPARE(parseLunar(sol2lun(last.year(), last.month(), last.day())).year, year);
}

void TestConvlunar::leapMonthPlacement_data() {
    QTest::addColumn<int>("year");
    QTest::addColumn<int>("leapAfter"); // 0: no leap month
    QTest::newRow("1841") << 1841 << 3;
    QTest::newRow("1851") << 1851 << 8;
    QTest::newRow("1862") << 1862 << 8;
    QTest::newRow("1965") << 1965 << 0;
    QTest::newRow("1966") << 1966 << 3;
    QTest::newRow("1990") << 1990 << 5;
    QTest::newRow("2004") << 2004 << 2;
    QTest::newRow("2015") << 2015 << 0;
    QTest::newRow("2016") << 2016 << 0;
    QTest::newRow("2017") << 2017 << 5;
    QTest::newRow("2020") << 2020 << 4;
    QTest::newRow("2023") << 2023 << 2;
    QTest::newRow("2033") << 2033 << 11;
    QTest::newRow("2036") << 2036 << 6;
    QTest::newRow("2042") << 2042 << 2;
}

// Counts the solar days that carry each lunar month number: a month with a leap month
// after it carries 58 to 60.
void TestConvlunar::leapMonthPlacement() {
    QFETCH(int, year);
    QFETCH(int, leapAfter);
    const QDate first = QDate::fromString(lun2sol(year, 1, 1), Qt::ISODate);
    const QDate next = QDate::fromString(lun2sol(year + 1, 1, 1), Qt::ISODate);
    int daysOfMonth[13] = {};
    for (QDate d = first; d < next; d = d.addDays(1)) {
        const Lunar l = parseLunar(sol2lun(d.year(), d.month(), d.day()));
        QCOMPARE(l.year, year);
        ++daysOfMonth[l.month];
    }
    for (int m = 1; m <= 12; ++m) {
        if (m == leapAfter)
            QVERIFY2(daysOfMonth[m] >= 58 && daysOfMonth[m] <= 60, qPrintable(QString::number(m)));
        else
            QVERIFY2(daysOfMonth[m] == 29 || daysOfMonth[m] == 30, qPrintable(QString::number(m)));
    }
}

void TestConvlunar::earlyYearIsRaisedTo1841() {
    Convlunar c;
    qint16 year = 1800;
    QCOMPARE(c.Sol2Lun(year, 3, 5), QStringLiteral("1841-02-13"));
    QCOMPARE(year, qint16(1841));
    year = 1841;
    QCOMPARE(c.Sol2Lun(year, 3, 5), QStringLiteral("1841-02-13"));
    QCOMPARE(year, qint16(1841));
    // Before the epoch there is no lunar date to give.
    year = 1700;
    QVERIFY_THROWS_EXCEPTION(Convlunar::OutOfRange, c.Sol2Lun(year, 1, 22));
    QCOMPARE(year, qint16(1841));
}

void TestConvlunar::outOfTableFailsAndObjectStaysUsable() {
    Convlunar c;
    c.setOutputFormat(2);
    qint16 y = 2044;
    QVERIFY_THROWS_EXCEPTION(Convlunar::OutOfRange, c.Sol2Lun(y, 1, 1));
    y = 2044;
    QVERIFY_THROWS_EXCEPTION(Convlunar::OutOfRange, c.Sol2Lun(y, 12, 31));
    y = 2024;
    QVERIFY_THROWS_EXCEPTION(Convlunar::OutOfRange, c.Sol2Lun(y, 14, 1));
    QVERIFY_THROWS_EXCEPTION(Convlunar::OutOfRange, c.Lun2Sol(1840, 12, 1));
    QVERIFY_THROWS_EXCEPTION(Convlunar::OutOfRange, c.Lun2Sol(2044, 1, 1));
    QVERIFY_THROWS_EXCEPTION(Convlunar::OutOfRange, c.Lun2Sol(2043, 13, 1));
    try {
        c.Lun2Sol(2044, 1, 1);
    } catch (const AppError &e) {
        QCOMPARE(e.number, 9);
        QCOMPARE(e.description, QStringLiteral("Subscript out of range"));
    }
    y = 2024;
    QCOMPARE(c.Sol2Lun(y, 2, 10), QStringLiteral("2024/01/01"));
    QCOMPARE(c.Lun2Sol(2024, 1, 1), QStringLiteral("2024/02/10"));
    QCOMPARE(c.OutputFormat(), 2);
}

void TestConvlunar::layouts_data() {
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("lunar"); // of solar 2024-02-10
    QTest::addColumn<QString>("solar"); // of lunar 2024-01-01
    QTest::newRow("1") << 1 << "2024-01-01"
                       << "2024-02-10";
    QTest::newRow("2") << 2 << "2024/01/01"
                       << "2024/02/10";
    QTest::newRow("4") << 4 << "2024.01.01"
                       << "2024.02.10";
    QTest::newRow("8") << 8 << "20240101"
                       << "20240210";
    QTest::newRow("16") << 16 << "2024-1-1"
                        << "2024-2-10";
    QTest::newRow("32") << 32 << "2024/1/1"
                        << "2024/2/10";
    QTest::newRow("64") << 64 << "2024.1.1"
                        << "2024.2.10";
    QTest::newRow("128") << 128 << "01-01-2024"
                         << "10-02-2024";
    QTest::newRow("256") << 256 << "01/01/2024"
                         << "10/02/2024";
    QTest::newRow("512") << 512 << "01.01.2024"
                         << "10.02.2024";
    QTest::newRow("1024") << 1024 << "1-1-2024"
                          << "10-2-2024";
    QTest::newRow("2048") << 2048 << "1/1/2024"
                          << "10/2/2024";
    QTest::newRow("4056") << 4056 << "1.1.2024"
                          << "10.2.2024";
    QTest::newRow("4096 is not a layout") << 4096 << "2024-01-01"
                                          << "2024-02-10";
    QTest::newRow("3 is not a combination") << 3 << "2024-01-01"
                                            << "2024-02-10";
    QTest::newRow("negative") << -1 << "2024-01-01"
                              << "2024-02-10";
}

void TestConvlunar::layouts() {
    QFETCH(int, code);
    QFETCH(QString, lunar);
    QFETCH(QString, solar);
    QCOMPARE(sol2lun(2024, 2, 10, code), lunar);
    QCOMPARE(lun2sol(2024, 1, 1, code), solar);
}

void TestConvlunar::outputFormatIsTheDefaultLayout() {
    Convlunar c;
    QCOMPARE(c.OutputFormat(), 1);
    c.setOutputFormat(2);
    qint16 y = 2024;
    QCOMPARE(c.Sol2Lun(y, 2, 10, 0), QStringLiteral("2024/01/01"));
    QCOMPARE(c.Sol2Lun(y, 2, 10, 256), QStringLiteral("01/01/2024")); // an explicit code wins
    c.setOutputFormat(4056);
    QCOMPARE(c.Lun2Sol(2024, 1, 1), QStringLiteral("10.2.2024"));
}

void TestConvlunar::isYoon() {
    QVERIFY(Convlunar::IsYoon(2000));
    QVERIFY(Convlunar::IsYoon(2024));
    QVERIFY(!Convlunar::IsYoon(1900));
    QVERIFY(!Convlunar::IsYoon(2023));
}

void TestConvlunar::unvalidatedMonthsAndDaysCountOn() {
    QCOMPARE(sol2lun(2024, 1, 41), QStringLiteral("2024-01-01")); // 2024-02-10
    QCOMPARE(sol2lun(2024, 0, 41), QStringLiteral("2024-01-01")); // month 0 adds no months
    QCOMPARE(sol2lun(2023, 13, 10), sol2lun(2024, 1, 10));        // month 13 is next January
    QCOMPARE(lun2sol(2024, 1, 30), lun2sol(2024, 2, 1));          // lunar 2024-01 has 29 days
    QCOMPARE(lun2sol(2023, 13, 1), QStringLiteral("2024-02-10")); // runs on into the next row
    QCOMPARE(lun2sol(2024, 0, 1), QStringLiteral("2024-02-10"));  // no earlier months to add
    // Lunar 2023 has a leap month after month 2: month 3 starts 59 days after month 2.
    QCOMPARE(
        QDate::fromString(lun2sol(2023, 2, 1), Qt::ISODate).daysTo(QDate::fromString(lun2sol(2023, 3, 1), Qt::ISODate)),
        59);
}

// Walks every solar day of the table. Lunar days run on one by one, months have 29 or 30
// days, a repeated month number is a leap month, and every day outside a leap month comes
// back unchanged through Lun2Sol.
void TestConvlunar::everyDayRoundTrips() {
    Convlunar c;
    Lunar prev{1840, 12, 29};
    bool inLeap = false;
    int leapMonths = 0;
    int roundTrips = 0;
    int leapDays = 0;
    for (QDate d(1841, 1, 23); d <= QDate(2043, 12, 31); d = d.addDays(1)) {
        qint16 y = qint16(d.year());
        const Lunar l = parseLunar(c.Sol2Lun(y, qint16(d.month()), qint16(d.day())));
        if (l.day == 1) {
            QVERIFY2(prev.day == 29 || prev.day == 30, qPrintable(iso(d)));
            const bool sameMonth = l.year == prev.year && l.month == prev.month;
            const bool nextMonth = (l.year == prev.year && l.month == prev.month + 1) ||
                                   (l.year == prev.year + 1 && l.month == 1 && prev.month == 12);
            QVERIFY2(sameMonth != nextMonth, qPrintable(iso(d)));
            QVERIFY2(!(sameMonth && inLeap), qPrintable(iso(d)));
            inLeap = sameMonth;
            leapMonths += sameMonth;
        } else {
            QVERIFY2(l.year == prev.year && l.month == prev.month && l.day == prev.day + 1, qPrintable(iso(d)));
        }
        const QDate back = QDate::fromString(c.Lun2Sol(qint16(l.year), qint16(l.month), qint16(l.day)), Qt::ISODate);
        if (inLeap) {
            const qint64 gap = back.daysTo(d);
            QVERIFY2(gap == 29 || gap == 30, qPrintable(iso(d)));
            ++leapDays;
        } else {
            QVERIFY2(back == d, qPrintable(iso(d)));
            ++roundTrips;
        }
        prev = l;
    }
    QCOMPARE(leapMonths, 75);
    QCOMPARE(leapDays, 2192);
    QCOMPARE(roundTrips, 74122 - 2192);
}

void TestConvlunar::agreesWithLiteralAlgorithm() {
    Convlunar c;
    // Compared as "input -> result" so that a failure names the date.
    auto shown = [](int y, int m, int d, const std::optional<QString> &r) {
        return QStringLiteral("%1/%2/%3 -> %4").arg(y).arg(m).arg(d).arg(r.value_or(QStringLiteral("out of range")));
    };
    auto check = [&](int y, int m, int d) {
        qint16 year = qint16(y);
        std::optional<QString> fast;
        try {
            fast = c.Sol2Lun(year, qint16(m), qint16(d));
        } catch (const Convlunar::OutOfRange &) {
        }
        QCOMPARE(shown(y, m, d, fast), shown(y, m, d, LunarReference::sol2lun(y, m, d)));
        QCOMPARE(int(year), std::max(y, 1841));
        std::optional<QString> fastBack;
        try {
            fastBack = c.Lun2Sol(qint16(y), qint16(m), qint16(d));
        } catch (const Convlunar::OutOfRange &) {
        }
        QCOMPARE(shown(y, m, d, fastBack), shown(y, m, d, LunarReference::lun2sol(y, m, d)));
    };
    QRandomGenerator rng(20240515);
    for (int n = 0; n < 20000; ++n) {
        check(rng.bounded(1835, 2050), rng.bounded(-3, 16), rng.bounded(-40, 420));
        if (QTest::currentTestFailed())
            return;
    }
    // The edges of the table and of the 16-bit arguments. Months far below 1 reach back from
    // years past the table into its last rows.
    for (int y : {-32768, 0, 1839, 1840, 1841, 2042, 2043, 2044, 2045, 2046, 32767})
        for (int m : {-32768, -25, -24, -13, -12, -1, 0, 1, 12, 13, 14, 25, 32767})
            for (int d : {-32768, -400, -23, -22, -21, 0, 1, 30, 31, 400, 32767}) {
                check(y, m, d);
                if (QTest::currentTestFailed())
                    return;
            }
}

// ICU's months from lunar 1900-01 to 2043-12 in their order, leap months included, as
// (year, month, leap, first solar day, length); false where one does not start the day
// after the one before it ends.
static bool forEachIcuMonth(IcuDangi &icu, const std::function<void(const LunarDay &, const QDate &, int)> &f) {
    QDate next = kIcuFirst;
    for (int y = 1900; y <= 2043; ++y)
        for (int m = 1; m <= 12; ++m)
            for (bool leap : {false, true}) {
                if (!icu.hasMonth(y, m, leap))
                    continue; // no such leap month
                const QDate first = icu.solar({y, m, leap, 1});
                if (first != next)
                    return false;
                const int length = icu.monthLength(y, m, leap);
                f({y, m, leap, 1}, first, length);
                next = first.addDays(length);
            }
    return true;
}

// Every solar day from lunar 1900-01-01 to the last one Sol2Lun takes, as ICU's months lay
// them out. The days that part from ICU are exactly the listed ones, so a list that no
// longer holds fails too.
void TestConvlunar::solarToLunarAgreesWithIcu() {
    IcuDangi icu;
    QVERIFY2(icu.error().isEmpty(), qPrintable(icu.error()));
    Convlunar c;
    QStringList unexplained, explained;
    int days = 0;
    QVERIFY(forEachIcuMonth(icu, [&](const LunarDay &month, const QDate &first, int length) {
        for (int k = 0; k < length && first.addDays(k) <= kSolarLast; ++k, ++days) {
            const QDate d = first.addDays(k);
            const LunarDay expected{month.year, month.month, month.leap, k + 1};
            const LunarDay got = programLunar(c, d, month.leap);
            if (got != expected)
                (icuParts(d) ? explained : unexplained)
                    << QStringLiteral("%1: %2, ICU %3").arg(iso(d), got.text(), expected.text());
        }
    }));
    QVERIFY2(unexplained.isEmpty(), qPrintable(unexplained.join('\n')));
    // Every day of a parting parts: the list says no more than is so.
    qint64 parted = 0;
    for (const Parting &p : kIcuParts)
        parted += p.newMoon.daysTo(p.lastDay) + 1;
    QCOMPARE(explained.size(), parted);
    QCOMPARE(days, 52565);
}

// Every lunar day ICU has from 1900 to 2043, leap months included: a regular month's day
// through Lun2Sol, a leap month's day (which Lun2Sol cannot be asked for) through Sol2Lun
// of the day ICU gives.
void TestConvlunar::lunarToSolarAgreesWithIcu() {
    IcuDangi icu;
    QVERIFY2(icu.error().isEmpty(), qPrintable(icu.error()));
    Convlunar c;
    QStringList unexplained;
    int days = 0, leapMonths = 0;
    QVERIFY(forEachIcuMonth(icu, [&](const LunarDay &month, const QDate &first, int length) {
        leapMonths += month.leap;
        for (int d = 1; d <= length; ++d, ++days) {
            const LunarDay lunar{month.year, month.month, month.leap, d};
            const QDate expected = first.addDays(d - 1);
            const QDate got =
                month.leap
                    ? (programLunar(c, expected, true) == lunar ? expected : QDate())
                    : QDate::fromString(c.Lun2Sol(qint16(lunar.year), qint16(lunar.month), qint16(d)), Qt::ISODate);
            if (got != expected && !icuParts(expected) && !icuParts(got))
                unexplained << QStringLiteral("%1: %2, ICU %3").arg(lunar.text(), iso(got), iso(expected));
        }
    }));
    QVERIFY2(unexplained.isEmpty(), qPrintable(unexplained.join('\n')));
    QCOMPARE(days, 52594);
    QCOMPARE(leapMonths, 53); // the almanac's leap months of 1900-2043
}

QTEST_GUILESS_MAIN(TestConvlunar)
#include "tst_Convlunar.moc"
