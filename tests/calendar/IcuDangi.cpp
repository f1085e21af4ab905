#include "IcuDangi.h"
#include <unicode/timezone.h>

QString LunarDay::text() const {
    return QString::asprintf("%04d-%02d%s-%02d", year, month, leap ? " (leap)" : "", day);
}

IcuDangi::IcuDangi() {
    UErrorCode status = U_ZERO_ERROR;
    // The zone only decides where the calendar's own days start; days are set and read as
    // Julian day numbers, which are the same in every zone.
    m_calendar.reset(icu::Calendar::createInstance(icu::TimeZone::createTimeZone("UTC"),
                                                   icu::Locale("ko_KR@calendar=dangi"), status));
    if (U_FAILURE(status) || !m_calendar || QLatin1String(m_calendar->getType()) != QLatin1String("dangi")) {
        m_error = QStringLiteral("ICU has no Korean calendar: %1").arg(QLatin1String(u_errorName(status)));
        m_calendar.reset();
        return;
    }
    // Counted from a day whose lunar year is known rather than from ICU's epoch constant.
    m_yearOffset = lunar(QDate(2024, 6, 1)).year - 2024;
}

LunarDay IcuDangi::lunar(const QDate &solar) {
    UErrorCode status = U_ZERO_ERROR;
    m_calendar->clear();
    m_calendar->set(UCAL_JULIAN_DAY, int(solar.toJulianDay()));
    LunarDay l;
    l.year = m_calendar->get(UCAL_EXTENDED_YEAR, status) - m_yearOffset;
    l.month = m_calendar->get(UCAL_MONTH, status) + 1;
    l.leap = m_calendar->get(UCAL_IS_LEAP_MONTH, status) != 0;
    l.day = m_calendar->get(UCAL_DATE, status);
    return U_SUCCESS(status) ? l : LunarDay{};
}

void IcuDangi::place(const LunarDay &lunar) {
    m_calendar->clear();
    m_calendar->set(UCAL_EXTENDED_YEAR, lunar.year + m_yearOffset);
    m_calendar->set(UCAL_MONTH, lunar.month - 1);
    m_calendar->set(UCAL_IS_LEAP_MONTH, lunar.leap ? 1 : 0);
    m_calendar->set(UCAL_DATE, lunar.day);
}

QDate IcuDangi::solar(const LunarDay &lunar) {
    UErrorCode status = U_ZERO_ERROR;
    place(lunar);
    const int jd = m_calendar->get(UCAL_JULIAN_DAY, status);
    return U_SUCCESS(status) ? QDate::fromJulianDay(jd) : QDate();
}

// ICU rolls a day it does not have (a leap month of a year without one, a 30th of a short
// month) into another: only a day that reads back the same exists.
bool IcuDangi::hasMonth(int year, int month, bool leap) {
    const LunarDay first{year, month, leap, 1};
    const QDate d = solar(first);
    return d.isValid() && lunar(d) == first;
}

int IcuDangi::monthLength(int year, int month, bool leap) {
    const LunarDay last{year, month, leap, 30};
    return lunar(solar(last)) == last ? 30 : 29;
}
