#include "CalendarDemo.h"
#include "Clock.h"
#include "DatePeriods.h"
#include "DemoWindows.h"
#include "FrmCalendar.h"
#include "FrmEasyDate.h"
#include <QTextStream>

namespace {
int showCalendar(QTextStream &out) {
    FrmCalendar calendar;
    calendar.setText(DatePeriods::dateText(appClock().today()));
    calendar.exec();
    out << calendar.Text() << Qt::endl;
    return 0;
}

int showPeriod(QTextStream &out) {
    FrmEasyDate picker;
    picker.exec();
    out << (picker.OK() ? "OK " : "cancelled ") << picker.Text1() << ' ' << picker.Text2() << Qt::endl;
    return 0;
}

} // namespace

void registerCalendarDemos() {
    DemoWindows::add(QStringLiteral("calendar"), QStringLiteral("달력"),
                     [](const QStringList &, QTextStream &out) { return showCalendar(out); });
    DemoWindows::add(QStringLiteral("period"), QStringLiteral("기간 선택"),
                     [](const QStringList &, QTextStream &out) { return showPeriod(out); });
}
