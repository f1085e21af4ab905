#include "CalendarDemo.h"
#include "Clock.h"
#include "DatePeriods.h"
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

struct Demo {
    const char *name;
    const char *description;
    int (*run)(QTextStream &);
};
// The one list of demo windows: the command line takes its names and help from here.
constexpr Demo kDemos[] = {
    {"calendar", "달력", showCalendar},
    {"period", "기간 선택", showPeriod},
};
} // namespace

QList<std::pair<QString, QString>> calendarDemoWindows() {
    QList<std::pair<QString, QString>> windows;
    for (const Demo &d : kDemos)
        windows.append({QString::fromLatin1(d.name), QString::fromUtf8(d.description)});
    return windows;
}

int runCalendarDemo(const QString &which) {
    QTextStream out(stdout);
    return runCalendarDemo(which, out);
}

int runCalendarDemo(const QString &which, QTextStream &out) {
    for (const Demo &d : kDemos)
        if (which == QLatin1String(d.name))
            return d.run(out);
    QTextStream(stderr) << QStringLiteral("알 수 없는 데모 창입니다: ") << which << Qt::endl;
    return 2;
}
