#include "CalendarDemo.h"
#include "Clock.h"
#include "DatePeriods.h"
#include "FrmCalendar.h"
#include "FrmEasyDate.h"
#include <QTextStream>

int runCalendarDemo(const QString &which) {
    QTextStream out(stdout);
    return runCalendarDemo(which, out);
}

int runCalendarDemo(const QString &which, QTextStream &out) {
    if (which == QLatin1String("calendar")) {
        FrmCalendar calendar;
        calendar.setText(DatePeriods::dateText(appClock().today()));
        calendar.exec();
        out << calendar.Text() << Qt::endl;
        return 0;
    }
    if (which == QLatin1String("period")) {
        FrmEasyDate picker;
        picker.exec();
        out << (picker.OK() ? "OK " : "cancelled ") << picker.Text1() << ' ' << picker.Text2() << Qt::endl;
        return 0;
    }
    QTextStream(stderr) << "unknown demo: " << which << Qt::endl;
    return 2;
}
