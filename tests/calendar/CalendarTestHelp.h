#pragma once
#include "ModalHelp.h"
#include <QAbstractItemView>
#include <QApplication>
#include <QCalendarWidget>
#include <QDate>
#include <QTimer>
#include <QtTest>
#include <functional>

namespace CalendarTestHelp {

inline QAbstractItemView *dayTable(QCalendarWidget *calendar) {
    return calendar->findChild<QAbstractItemView *>(QStringLiteral("qt_calendar_calendarview"));
}

// Clicks the cell of a day of the month the calendar shows. The month's own days come first
// for days 1..14 and last for later days: the greyed days of the months either side are
// the last of the month before and the first of the month after.
inline bool clickDay(QCalendarWidget *calendar, const QDate &day) {
    QAbstractItemView *view = dayTable(calendar);
    if (!view || calendar->monthShown() != day.month() || calendar->yearShown() != day.year())
        return false;
    QAbstractItemModel *model = view->model();
    QModelIndex hit;
    for (int r = 0; r < model->rowCount(); ++r)
        for (int c = 0; c < model->columnCount(); ++c) {
            const QModelIndex i = model->index(r, c);
            if (r > 0 && model->data(i).toInt() == day.day() && (!hit.isValid() || day.day() >= 15))
                hit = i;
        }
    if (!hit.isValid())
        return false;
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(hit).center());
    return true;
}

// Runs act on the modal window the next exec() opens.
inline void whenModalOpens(std::function<void(QWidget *)> act) { onNextModal(qApp, std::move(act)); }

} // namespace CalendarTestHelp
