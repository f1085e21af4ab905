#include "DatePeriods.h"

namespace DatePeriods {

namespace {

bool fourDigitYear(int year) { return year >= 1 && year <= 9999; }

QString yearText(int year) { return QStringLiteral("%1").arg(year, 4, 10, QLatin1Char('0')); }

Period wholeYearPart(int year, const char *from, const char *to) {
    return {yearText(year) + QLatin1String(from), yearText(year) + QLatin1String(to)};
}

Period days(const QDate &from, const QDate &to) { return {dateText(from), dateText(to)}; }

Period month(int year, int month) { return days(firstOf(year, month), lastOf(year, month)); }

} // namespace

QString dateText(const QDate &date) {
    return QString::asprintf("%04d-%02d-%02d", date.year(), date.month(), date.day());
}

QDate parseDate(const QString &text) {
    if (text.size() != 10 || text[4] != QLatin1Char('-') || text[7] != QLatin1Char('-'))
        return {};
    for (int i : {0, 1, 2, 3, 5, 6, 8, 9})
        if (text[i] < QLatin1Char('0') || text[i] > QLatin1Char('9'))
            return {};
    return QDate(text.left(4).toInt(), text.mid(5, 2).toInt(), text.mid(8, 2).toInt());
}

QDate firstOf(int year, int month) {
    const int m0 = month - 1;
    const int yearShift = m0 >= 0 ? m0 / 12 : -((11 - m0) / 12);
    return QDate(year + yearShift, m0 - yearShift * 12 + 1, 1);
}

QDate lastOf(int year, int month) { return firstOf(year, month + 1).addDays(-1); }

Period readyMade(int index, const QDate &today) {
    const int w = today.dayOfWeek() % 7; // Sunday 0 .. Saturday 6
    const int y = today.year();
    const int m = today.month();
    switch (index) {
    case 0: return days(today.addDays(-2), today.addDays(-2));
    case 1: return days(today.addDays(-1), today.addDays(-1));
    case 2: return days(today, today);
    case 3: return days(today.addDays(1), today.addDays(1));
    case 4: return days(today.addDays(-14 - w), today.addDays(-8 - w));
    case 5: return days(today.addDays(-7 - w), today.addDays(-1 - w));
    case 6: return days(today.addDays(-w), today.addDays(6 - w));
    case 7: return days(today.addDays(7 - w), today.addDays(13 - w));
    case 8: return month(y, m - 2);
    case 9: return month(y, m - 1);
    case 10: return month(y, m);
    case 11: return month(y, m + 1);
    case 12: return wholeYearPart(y - 2, "-01-01", "-12-31");
    case 13: return wholeYearPart(y - 1, "-01-01", "-12-31");
    case 14: return wholeYearPart(y, "-01-01", "-12-31");
    case 15: return wholeYearPart(y + 1, "-01-01", "-12-31");
    case 16: return wholeYearPart(y, "-01-01", "-03-31");
    case 17: return wholeYearPart(y, "-04-01", "-06-30");
    case 18: return wholeYearPart(y, "-07-01", "-09-30");
    case 19: return wholeYearPart(y, "-10-01", "-12-31");
    case 20: return wholeYearPart(y, "-01-01", "-06-30");
    case 21: return wholeYearPart(y, "-07-01", "-12-31");
    case 22: return days(today.addDays(-30), today);
    case 23: return days(today.addDays(-60), today);
    case 24: return days(today.addDays(-90), today);
    case 25: return days(today.addDays(-180), today);
    case 26: return days(today.addDays(-365), today);
    }
    return {};
}

std::optional<Period> shifted(int index, const QString &start, const QString &end) {
    const QDate s = parseDate(start);
    const QDate e = parseDate(end);
    if (!s.isValid() || !e.isValid() || index < 0 || index >= kShiftCount)
        return std::nullopt;
    const int sign = index % 2 ? 1 : -1;
    QDate newStart, newEnd;
    switch (index / 2) {
    case 0:
    case 1: {
        const int step = sign * (index < 2 ? 1 : 7);
        newStart = s.addDays(step);
        newEnd = e.addDays(step);
        break;
    }
    case 3: {
        const int ys = s.year() + sign;
        const int ye = e.year() + sign;
        if (!fourDigitYear(ys) || !fourDigitYear(ye))
            return std::nullopt;
        return Period{yearText(ys) + start.mid(4), yearText(ye) + end.mid(4)};
    }
    default: {
        const int months = sign * (index / 2 == 2 ? 1 : index / 2 == 4 ? 3 : 6);
        newStart = firstOf(s.year(), s.month() + months);
        newEnd = lastOf(e.year(), e.month() + months);
        break;
    }
    }
    if (!fourDigitYear(newStart.year()) || !fourDigitYear(newEnd.year()))
        return std::nullopt;
    return days(newStart, newEnd);
}

int currentQuarterButton(const QDate &today) { return 15 + (today.month() - 1) / 3 + 1; }

int currentHalfButton(const QDate &today) { return today.month() <= 6 ? 20 : 21; }

} // namespace DatePeriods
