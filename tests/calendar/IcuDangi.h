#pragma once
#include <QDate>
#include <QString>
#include <memory>
#include <unicode/calendar.h>

// A day of the Korean lunar calendar; a day of a leap month carries the number of the month
// the leap month follows.
struct LunarDay {
    int year = 0, month = 0;
    bool leap = false;
    int day = 0;
    bool operator==(const LunarDay &) const = default;
    QString text() const;
};

// ICU's Korean ("dangi") calendar: it works the months out from the moon at Korea's time,
// not from a table, so it answers independently of the program's month table.
class IcuDangi {
public:
    IcuDangi();
    QString error() const { return m_error; } // empty when ICU has the calendar
    LunarDay lunar(const QDate &solar);
    // The solar day of a day of a month ICU has (hasMonth).
    QDate solar(const LunarDay &lunar);
    bool hasMonth(int year, int month, bool leap);
    // Days of a month ICU has: 29 or 30.
    int monthLength(int year, int month, bool leap);

private:
    void place(const LunarDay &lunar);
    std::unique_ptr<icu::Calendar> m_calendar;
    int m_yearOffset = 0; // ICU's extended year minus the year of the same Seollal
    QString m_error;
};
