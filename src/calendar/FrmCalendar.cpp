#include "FrmCalendar.h"
#include "Clock.h"
#include "DatePeriods.h"
#include <QCalendarWidget>
#include <QKeyEvent>

FrmCalendar::FrmCalendar(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint), m_monthView(new QCalendarWidget(this)) {
    setObjectName(QStringLiteral("FrmCalendar"));
    setWindowTitle(QStringLiteral("날짜 선택"));
    m_monthView->setObjectName(QStringLiteral("MonthView1"));
    m_monthView->setSelectedDate(appClock().today());
    m_monthView->setGeometry(QRect(QPoint(0, 0), m_monthView->sizeHint()));
    setFixedSize(m_monthView->size());

    connect(m_monthView, &QCalendarWidget::clicked, this, &FrmCalendar::MonthView1_DateClick);
    connect(m_monthView, &QCalendarWidget::activated, this, &FrmCalendar::MonthView1_Activated);
    // The month arrows and the year box move the current day with the month, so that Enter
    // picks a day of the month on show (the same day, or the month's last).
    connect(m_monthView, &QCalendarWidget::currentPageChanged, this, [this](int year, int month) {
        const QDate current = m_monthView->selectedDate();
        if (current.year() == year && current.month() == month)
            return;
        const QDate first(year, month, 1);
        m_monthView->setSelectedDate(first.addDays(qMin(current.day(), first.daysInMonth()) - 1));
    });
    // The calendar keeps Esc to itself while the year is being edited; it closes the window here.
    m_monthView->installEventFilter(this);
}

void FrmCalendar::setText(const QString &text) {
    const QDate date = DatePeriods::parseDate(text);
    if (!date.isValid())
        return;
    m_text = text;
    m_monthView->setSelectedDate(date);
}

void FrmCalendar::pick(const QDate &date) {
    m_text = DatePeriods::dateText(date);
    accept();
}

void FrmCalendar::MonthView1_DateClick(const QDate &date) { pick(date); }

void FrmCalendar::MonthView1_Activated(const QDate &date) { pick(date); }

bool FrmCalendar::eventFilter(QObject *watched, QEvent *event) {
    if (watched == m_monthView && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape) {
        reject();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}
