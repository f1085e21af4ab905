#pragma once
#include <QDate>
#include <QString>
#include <optional>

// Date texts "yyyy-mm-dd" and the period arithmetic of the period picker, free of widgets.
namespace DatePeriods {

// Four-digit year, two-digit month and day.
QString dateText(const QDate &date);
// The date a "yyyy-mm-dd" text names; an invalid QDate for anything else ("2023-02-29",
// a blank box "____-__-__", "2024-5-1").
QDate parseDate(const QString &text);
inline bool isDate(const QString &text) { return parseDate(text).isValid(); }

// First and last day of a month; a month outside 1..12 rolls into the neighbouring years.
QDate firstOf(int year, int month);
QDate lastOf(int year, int month);

struct Period {
    QString start;
    QString end;
    bool operator==(const Period &) const = default;
};

inline constexpr int kReadyMadeCount = 27;
inline constexpr int kShiftCount = 12;

// Ready-made period by button index 0..26 (yesterday, last week, this month, ...).
Period readyMade(int index, const QDate &today);

// The period moved by shift button index 0..11 (even back, odd forward: day, week, month,
// year, quarter, half). Both texts must be dates. Month, quarter and half moves snap to
// whole months; the year move keeps month and day as text, which may then name no date.
// Empty when the result would leave the four-digit years.
std::optional<Period> shifted(int index, const QString &start, const QString &end);

// The buttons shown in bold: this quarter (16..19) and this half (20 or 21).
int currentQuarterButton(const QDate &today);
int currentHalfButton(const QDate &today);

} // namespace DatePeriods
