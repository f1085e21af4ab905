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
