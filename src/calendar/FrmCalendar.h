#pragma once
#include <QDialog>
#include <QString>

class QCalendarWidget;

// Modal month calendar that hands back the picked date as "yyyy-mm-dd". Preset it with
// setText(), show it with exec(), read Text() afterwards; empty text means nothing picked.
class FrmCalendar : public QDialog {
    Q_OBJECT
public:
    explicit FrmCalendar(QWidget *parent = nullptr);

    QString Text() const { return m_text; }
    // Only a valid date is taken (and shown); anything else leaves the picked text as it is.
    void setText(const QString &text);

    QCalendarWidget *MonthView1() const { return m_monthView; }

public Q_SLOTS:
    void MonthView1_DateClick(const QDate &date);
    void MonthView1_Activated(const QDate &date);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void pick(const QDate &date);

    QCalendarWidget *m_monthView;
    QString m_text;
};
