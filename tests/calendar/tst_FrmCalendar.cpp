#include "CalendarTestHelp.h"
#include "EnvFixture.h"
#include "FrmCalendar.h"
#include <QSpinBox>
#include <QToolButton>
#include <memory>

using namespace CalendarTestHelp;

class TestFrmCalendar : public EnvFixture {
    Q_OBJECT
    void tearDown() override { dlg.reset(); }
    std::unique_ptr<FrmCalendar> dlg;

    void open(const QString &preset) {
        dlg = std::make_unique<FrmCalendar>();
        dlg->setText(preset);
        dlg->show();
        QVERIFY(QTest::qWaitForWindowExposed(dlg.get()));
    }

private Q_SLOTS:
    void windowIsTheCalendarAndStaysOnTop() {
        open(QString());
        QCOMPARE(dlg->windowTitle(), QStringLiteral("날짜 선택"));
        QCOMPARE(dlg->MonthView1()->pos(), QPoint(0, 0));
        QCOMPARE(dlg->size(), dlg->MonthView1()->size());
        QVERIFY(dlg->windowFlags() & Qt::WindowStaysOnTopHint);
    }

    void presetIsShownAndEscGivesItBack() {
        open(QStringLiteral("2024-02-29"));
        QCOMPARE(dlg->MonthView1()->selectedDate(), QDate(2024, 2, 29));
        QCOMPARE(dlg->MonthView1()->monthShown(), 2);
        QCOMPARE(dlg->MonthView1()->yearShown(), 2024);
        QTest::keyClick(dayTable(dlg->MonthView1()), Qt::Key_Escape);
        QVERIFY(!dlg->isVisible());
        QCOMPARE(dlg->result(), int(QDialog::Rejected));
        QCOMPARE(dlg->Text(), QStringLiteral("2024-02-29"));
    }

    void blankPresetShowsTodayAndEscGivesNothing() {
        open(QStringLiteral("____-__-__"));
        QCOMPARE(dlg->MonthView1()->selectedDate(), QDate(2024, 5, 15)); // the test clock
        QTest::keyClick(dayTable(dlg->MonthView1()), Qt::Key_Escape);
        QVERIFY(!dlg->isVisible());
        QCOMPARE(dlg->Text(), QString());
    }

    void invalidPresetKeepsEarlierOne() {
        open(QStringLiteral("2024-03-20"));
        dlg->setText(QStringLiteral("2023-02-29"));
        QCOMPARE(dlg->Text(), QStringLiteral("2024-03-20"));
        QCOMPARE(dlg->MonthView1()->selectedDate(), QDate(2024, 3, 20));
    }

    void escFromTheNavigationBar() {
        open(QStringLiteral("2024-03-20"));
        auto *nextMonth = dlg->MonthView1()->findChild<QToolButton *>(QStringLiteral("qt_calendar_nextmonth"));
        QVERIFY(nextMonth);
        QTest::keyClick(nextMonth, Qt::Key_Escape);
        QVERIFY(!dlg->isVisible());
        QCOMPARE(dlg->Text(), QStringLiteral("2024-03-20"));
    }

    void escWhileEditingTheYear() {
        open(QStringLiteral("2024-03-20"));
        auto *yearButton = dlg->MonthView1()->findChild<QToolButton *>(QStringLiteral("qt_calendar_yearbutton"));
        auto *yearEdit = dlg->MonthView1()->findChild<QSpinBox *>(QStringLiteral("qt_calendar_yearedit"));
        QVERIFY(yearButton && yearEdit);
        QTest::mouseClick(yearButton, Qt::LeftButton);
        QVERIFY(yearEdit->isVisible());
        QTest::keyClick(yearEdit, Qt::Key_Escape);
        QVERIFY(!dlg->isVisible());
        QCOMPARE(dlg->Text(), QStringLiteral("2024-03-20"));
    }

    void clickPicksTheDay() {
        open(QStringLiteral("2024-03-20"));
        QVERIFY(clickDay(dlg->MonthView1(), QDate(2024, 3, 5)));
        QVERIFY(!dlg->isVisible());
        QCOMPARE(dlg->result(), int(QDialog::Accepted));
        QCOMPARE(dlg->Text(), QStringLiteral("2024-03-05"));
    }

    void enterPicksTheCurrentDay() {
        open(QStringLiteral("2024-03-20"));
        QAbstractItemView *view = dayTable(dlg->MonthView1());
        QTest::keyClick(view, Qt::Key_Right);
        QVERIFY(dlg->isVisible()); // moving does not pick
        QTest::keyClick(view, Qt::Key_Return);
        QVERIFY(!dlg->isVisible());
        QCOMPARE(dlg->Text(), QStringLiteral("2024-03-21"));
    }

    // The month arrows move the current day along: Enter picks in the month shown.
    void enterAfterTheMonthArrowsPicksInTheMonthShown_data() {
        QTest::addColumn<QString>("preset");
        QTest::addColumn<QString>("arrow");
        QTest::addColumn<QString>("picked");
        QTest::newRow("next") << "2026-12-10"
                              << "qt_calendar_nextmonth"
                              << "2027-01-10";
        QTest::newRow("short month") << "2024-01-31"
                                     << "qt_calendar_nextmonth"
                                     << "2024-02-29";
        QTest::newRow("previous") << "2024-03-31"
                                  << "qt_calendar_prevmonth"
                                  << "2024-02-29";
    }
    void enterAfterTheMonthArrowsPicksInTheMonthShown() {
        QFETCH(QString, preset);
        QFETCH(QString, arrow);
        QFETCH(QString, picked);
        open(preset);
        auto *button = dlg->MonthView1()->findChild<QToolButton *>(arrow);
        QVERIFY(button);
        button->click();
        QTest::keyClick(dayTable(dlg->MonthView1()), Qt::Key_Return);
        QCOMPARE(dlg->Text(), picked);
    }

    void modalPickFromExec() {
        FrmCalendar calendar;
        calendar.setText(QStringLiteral("2024-12-30"));
        whenModalOpens([](QWidget *w) {
            auto *c = qobject_cast<FrmCalendar *>(w);
            if (c)
                QTest::keyClick(dayTable(c->MonthView1()), Qt::Key_Right); // into the next year
            if (c)
                QTest::keyClick(dayTable(c->MonthView1()), Qt::Key_Enter);
        });
        QCOMPARE(calendar.exec(), int(QDialog::Accepted));
        QCOMPARE(calendar.Text(), QStringLiteral("2024-12-31"));
    }
};

QTEST_MAIN(TestFrmCalendar)
#include "tst_FrmCalendar.moc"
