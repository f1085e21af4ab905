#include "Convlunar.h"
#include "LunarMonthTable.h"
#include <QDate>
#include <algorithm>

using namespace LunarMonthTable;

namespace {

// Day number (0001-01-01 is day 1) of the day before the epoch, 1841-01-22.
constexpr int kEpochDayNumber = 672068;
// Days before each month of a common year; month 13 takes in the whole year.
constexpr int kDaysBeforeMonth[13] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334, 365};

bool isLeapYear(int y) { return y % 4 == 0 && (y % 100 != 0 || y % 400 == 0); }

struct Layout {
    qint32 code;
    char separator; // 0 for none
    bool dayFirst;
    bool padded;
};

constexpr Layout kLayouts[] = {
    {1, '-', false, true},    {2, '/', false, true},   {4, '.', false, true},    {8, 0, false, true},
    {16, '-', false, false},  {32, '/', false, false}, {64, '.', false, false},  {128, '-', true, true},
    {256, '/', true, true},   {512, '.', true, true},  {1024, '-', true, false}, {2048, '/', true, false},
    {4056, '.', true, false},
};

char *putNumber(char *p, int value, int minDigits) {
    char digits[12];
    int n = 0;
    do {
        digits[n++] = char('0' + value % 10);
        value /= 10;
    } while (value > 0);
    while (n < minDigits)
        digits[n++] = '0';
    while (n > 0)
        *p++ = digits[--n];
    return p;
}

} // namespace

Convlunar::OutOfRange::OutOfRange() : AppError(9, QStringLiteral("Subscript out of range")) {}

bool Convlunar::IsYoon(const qint16 &year) { return isLeapYear(year); }

QString Convlunar::format(int year, int month, int day, qint32 layout) {
    const Layout *l =
        std::find_if(std::begin(kLayouts), std::end(kLayouts), [layout](const Layout &x) { return x.code == layout; });
    if (l == std::end(kLayouts))
        l = &kLayouts[0];
    const int width = l->padded ? 2 : 1;
    char buf[32];
    char *p = buf;
    auto sep = [&] {
        if (l->separator)
            *p++ = l->separator;
    };
    if (l->dayFirst) {
        p = putNumber(p, day, width);
        sep();
        p = putNumber(p, month, width);
        sep();
        p = putNumber(p, year, 4);
    } else {
        p = putNumber(p, year, 4);
        sep();
        p = putNumber(p, month, width);
        sep();
        p = putNumber(p, day, width);
    }
    return QString::fromLatin1(buf, p - buf);
}

QString Convlunar::Sol2Lun(qint16 &year, const qint16 &month, const qint16 &day, qint32 layout) const {
    if (year < kFirstYear)
        year = kFirstYear;
    const int y = year;
    // The year search may reach lunar year y itself, so y needs a row of the table; a month
    // of 14 or more would read a thirteenth solar month.
    if (y >= kFirstYear + kYears || month >= 14)
        throw OutOfRange();

    int dayNumber = (y - 1) * 365 + (y - 1) / 4 - (y - 1) / 100 + (y - 1) / 400 + day;
    if (month >= 2)
        dayNumber += kDaysBeforeMonth[month - 1] + (month >= 3 && isLeapYear(y) ? 1 : 0);
    int r = dayNumber - kEpochDayNumber;
    if (r < 1)
        throw OutOfRange();

    // First lunar year whose end reaches day r; the search may not pass lunar year y.
    const int i = int(std::lower_bound(kYearStart.begin() + 1, kYearStart.end(), r) - kYearStart.begin()) - 1;
    if (i > y - kFirstYear)
        throw OutOfRange();
    r -= kYearStart[i];

    int j = 0;
    for (;; ++j) {
        const int code = kCodes[i * 12 + j];
        const int regular = regularDays(code);
        if (r <= regular)
            break;
        r -= regular;
        const int leap = leapDays(code);
        if (r <= leap)
            break; // r is the day within the leap month
        r -= leap;
    }
    return format(kFirstYear + i, j + 1, r, layout ? layout : m_outputFormat);
}

QString Convlunar::Lun2Sol(const qint16 &year, const qint16 &month, const qint16 &day, qint32 layout) const {
    const int iY = year - kFirstYear;
    const int iM = month - 1;
    const int entry = iY * 12 + iM;
    // The entry itself, the whole years before it and the earlier months of its own year
    // (which a month past 12 carries into the following rows) must all be in the table.
    if (entry < 0 || entry >= kEntries || iY < 0 || iY > kYears)
        throw OutOfRange();

    // Days from solar 1841-01-01: the epoch is day 23.
    const int t = kEntryStart[iY * 12 + std::max(iM, 0)] + day + 22;
    if (t < 1)
        throw OutOfRange();
    static const qint64 firstJanuary = QDate(kFirstYear, 1, 1).toJulianDay();
    const QDate solar = QDate::fromJulianDay(firstJanuary + t - 1);
    return format(solar.year(), solar.month(), solar.day(), layout ? layout : m_outputFormat);
}
