#pragma once
#include "ErrorBox.h"
#include <QString>
#include <QtGlobal>

// Solar (Gregorian) <-> Korean lunar dates for the lunar years 1841 to 2043, with the result
// written as text in one of thirteen layouts. No user interface and no storage.
//
// Layout codes: 1 YYYY-MM-DD, 2 YYYY/MM/DD, 4 YYYY.MM.DD, 8 YYYYMMDD, 16 YYYY-M-D,
// 32 YYYY/M/D, 64 YYYY.M.D, 128 DD-MM-YYYY, 256 DD/MM/YYYY, 512 DD.MM.YYYY, 1024 D-M-YYYY,
// 2048 D/M/YYYY, 4056 D.M.YYYY; any other code gives YYYY-MM-DD. A code of 0 passed to a
// conversion means OutputFormat().
//
// Months and days are not validated: a day past the end of its month counts on into the
// following months, exactly as the month arithmetic falls.
class Convlunar {
public:
    // A date the month table cannot answer: lunar years outside 1841..2043, solar years past
    // 2043, solar month 14 or more, a solar date before lunar 1841-01-01 or a lunar date
    // that would fall before solar 1841-01-01. Error 9, as the program numbers it.
    struct OutOfRange : AppError {
        OutOfRange();
    };

    qint32 OutputFormat() const { return m_outputFormat; }
    void setOutputFormat(qint32 code) { m_outputFormat = code; }

    // Gregorian leap year.
    static bool IsYoon(const qint16 &year);

    // Solar date to lunar. A year below 1841 is raised to 1841, in the caller's variable
    // too, keeping month and day. A day in a leap month carries the number of the month
    // the leap month follows; the text does not mark it.
    QString Sol2Lun(qint16 &year, const qint16 &month, const qint16 &day, qint32 layout = 0) const;

    // Lunar date, always taken in the regular month, to solar.
    QString Lun2Sol(const qint16 &year, const qint16 &month, const qint16 &day, qint32 layout = 0) const;

    // The text of a date in a layout code (0 is not special here).
    static QString format(int year, int month, int day, qint32 layout);

private:
    qint32 m_outputFormat = 1;
};
