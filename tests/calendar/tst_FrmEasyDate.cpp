#include "CalendarDemo.h"
#include "CalendarTestHelp.h"
#include "DemoWindows.h"
#include "EnvFixture.h"
#include "FrmCalendar.h"
#include "FrmEasyDate.h"
#include "UpDown.h"
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <memory>

using namespace CalendarTestHelp;

namespace {
const QString kInvalidTitle = QStringLiteral("날짜입력 확인");
const QString kInvalidText = QStringLiteral("날짜의 입력형식이 잘못 되었거나,          \n존재하지 않는 날짜입니다.");
} // namespace

class TestFrmEasyDate : public EnvFixture {
    Q_OBJECT
    void setUp() override { dlg = std::make_unique<FrmEasyDate>(); }
    void tearDown() override {
        dlg.reset();
        QVERIFY(env->prompter.boxes().isEmpty());
    }
    std::unique_ptr<FrmEasyDate> dlg;

    QString box(int i) const { return dlg->meDate(i)->displayText(); }
    void setBoxes(const QString &start, const QString &end) {
        dlg->meDate(0)->setText(start);
        dlg->meDate(1)->setText(end);
    }
    void showActive() {
        dlg->show();
        dlg->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(dlg.get()));
    }
    // The invalid-date box, once and only once since the last look.
    bool invalidDateShownOnce() {
        const auto &boxes = env->prompter.boxes();
        const bool ok = boxes.size() == 1 && boxes[0].kind == QLatin1String("message") &&
                        boxes[0].icon == Prompter::Icon::Information && boxes[0].title == kInvalidTitle &&
                        boxes[0].text == kInvalidText;
        env->prompter.clear();
        return ok;
    }

private Q_SLOTS:
    void loadsWithTodayAndBoldCurrentQuarterAndHalf() {
        QCOMPARE(dlg->windowTitle(), QStringLiteral("기간 간편설정"));
        QVERIFY(dlg->windowFlags() & Qt::WindowStaysOnTopHint);
        QVERIFY(!dlg->OK());
        QCOMPARE(dlg->Text1(), QString());
        QCOMPARE(box(0), QStringLiteral("2024-05-15"));
        QCOMPARE(box(1), QStringLiteral("2024-05-15"));
        for (int i = 0; i < 27; ++i)
            QCOMPARE(dlg->cmdTermCng(i)->font().bold(), i == 17 || i == 20);
        QCOMPARE(dlg->cmdTermCng(17)->text(), QStringLiteral("2분기"));
        QCOMPARE(dlg->cmdTermCng(20)->text(), QStringLiteral("전반기"));
    }

    void secondHalfIsBoldInAutumn() {
        env->clock.set(QDateTime(QDate(2024, 11, 2), QTime(9, 0)));
        FrmEasyDate autumn;
        for (int i = 16; i < 22; ++i)
            QCOMPARE(autumn.cmdTermCng(i)->font().bold(), i == 19 || i == 21);
    }

    void presetsTakeOnlyDates() {
        dlg->setText1(QStringLiteral("2024-01-02"));
        dlg->setText2(QStringLiteral("2024-02-30"));
        QCOMPARE(dlg->Text1(), QStringLiteral("2024-01-02"));
        QCOMPARE(box(0), QStringLiteral("2024-01-02"));
        QCOMPARE(dlg->Text2(), QString());
        QCOMPARE(box(1), QStringLiteral("2024-05-15"));
    }

    void readyMadePeriodConfirmsAtOnce_data() {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("end");
        QTest::newRow("지난주") << 5 << "2024-05-05"
                                << "2024-05-11";
        QTest::newRow("이번주") << 6 << "2024-05-12"
                                << "2024-05-18";
        QTest::newRow("지지난달") << 8 << "2024-03-01"
                                  << "2024-03-31";
        QTest::newRow("최근1개월") << 22 << "2024-04-15"
                                   << "2024-05-15";
    }
    void readyMadePeriodConfirmsAtOnce() {
        QFETCH(int, index);
        QFETCH(QString, start);
        QFETCH(QString, end);
        showActive();
        QTest::mouseClick(dlg->cmdTermCng(index), Qt::LeftButton);
        QVERIFY(!dlg->isVisible());
        QCOMPARE(dlg->result(), int(QDialog::Accepted));
        QVERIFY(dlg->OK());
        QCOMPARE(dlg->Text1(), start);
        QCOMPARE(dlg->Text2(), end);
    }

    void readyMadePeriodInJanuary() {
        env->clock.set(QDateTime(QDate(2024, 1, 10), QTime(9, 0)));
        FrmEasyDate january;
        january.cmdTermCng_Click(9);
        QCOMPARE(january.Text1(), QStringLiteral("2023-12-01"));
        QCOMPARE(january.Text2(), QStringLiteral("2023-12-31"));
    }

    void shiftsMoveWithoutConfirming() {
        showActive();
        setBoxes(QStringLiteral("2024-04-01"), QStringLiteral("2024-06-30"));
        QTest::mouseClick(dlg->cmdMvDate(8), Qt::LeftButton); // quarter back
        QCOMPARE(box(0), QStringLiteral("2024-01-01"));
        QCOMPARE(box(1), QStringLiteral("2024-03-31"));
        setBoxes(QStringLiteral("2024-04-01"), QStringLiteral("2024-06-30"));
        QTest::mouseClick(dlg->cmdMvDate(11), Qt::LeftButton); // half on
        QCOMPARE(box(0), QStringLiteral("2024-10-01"));
        QCOMPARE(box(1), QStringLiteral("2024-12-31"));
        setBoxes(QStringLiteral("2024-01-15"), QStringLiteral("2024-02-10"));
        QTest::mouseClick(dlg->cmdMvDate(5), Qt::LeftButton); // month on
        QCOMPARE(box(0), QStringLiteral("2024-02-01"));
        QCOMPARE(box(1), QStringLiteral("2024-03-31"));
        QVERIFY(dlg->isVisible());
        QVERIFY(!dlg->OK());
        QCOMPARE(dlg->Text1(), QString());
    }

    void yearBackFromLeapDayLeadsToTheInvalidDateMessage() {
        showActive();
        setBoxes(QStringLiteral("2024-02-29"), QStringLiteral("2024-03-31"));
        dlg->meDate(1)->setFocus();
        dlg->cmdMvDate_Click(6);
        QCOMPARE(box(0), QStringLiteral("2023-02-29"));
        QCOMPARE(box(1), QStringLiteral("2023-03-31"));
        QVERIFY(env->prompter.boxes().isEmpty());

        dlg->cmdMvDate_Click(1); // the next shift refuses
        QVERIFY(invalidDateShownOnce());
        QCOMPARE(box(0), QStringLiteral("2023-02-29"));
        QCOMPARE(box(1), QStringLiteral("2023-03-31"));
        QCOMPARE(QApplication::focusWidget(), dlg->meDate(0));

        QTest::keyClick(dlg->meDate(0), Qt::Key_Down); // and so does leaving the box
        QCoreApplication::processEvents();
        QVERIFY(invalidDateShownOnce());
        QCOMPARE(QApplication::focusWidget(), dlg->meDate(0));
        QCOMPARE(box(0), QStringLiteral("2023-02-29"));
    }

    void shiftChecksTheEndDateToo() {
        showActive();
        setBoxes(QStringLiteral("2024-05-01"), QStringLiteral("2024-13-01"));
        dlg->meDate(0)->setFocus();
        dlg->cmdMvDate_Click(0);
        QVERIFY(invalidDateShownOnce());
        QCOMPARE(QApplication::focusWidget(), dlg->meDate(1));
        QCOMPARE(box(0), QStringLiteral("2024-05-01"));
        QCOMPARE(box(1), QStringLiteral("2024-13-01"));
    }

    void leavingABadBoxByClickIsRefused() {
        showActive();
        dlg->meDate(0)->setText(QStringLiteral("2024-02-30"));
        dlg->meDate(0)->setFocus();
        QTest::mouseClick(dlg->meDate(1), Qt::LeftButton);
        QCoreApplication::processEvents();
        QVERIFY(invalidDateShownOnce());
        QCOMPARE(QApplication::focusWidget(), dlg->meDate(0));
        QCOMPARE(box(0), QStringLiteral("2024-02-30"));
    }

    void okWithABadDateDoesNotConfirm() {
        showActive();
        dlg->meDate(0)->setFocus();
        dlg->meDate(1)->setText(QStringLiteral("2024-00-10"));
        // OK with the bad date in the other box, then OK straight from the bad box.
        for (int round = 0; round < 2; ++round) {
            QTest::mouseClick(dlg->cmdOK(), Qt::LeftButton);
            QCoreApplication::processEvents();
            QVERIFY(invalidDateShownOnce());
            QVERIFY(dlg->isVisible());
            QVERIFY(!dlg->OK());
            QCOMPARE(QApplication::focusWidget(), dlg->meDate(1));
        }
    }

    void okConfirmsTheBoxes() {
        dlg->setText1(QStringLiteral("2024-01-01"));
        showActive();
        setBoxes(QStringLiteral("2024-02-03"), QStringLiteral("2024-04-05"));
        QTest::mouseClick(dlg->cmdOK(), Qt::LeftButton);
        QVERIFY(!dlg->isVisible());
        QVERIFY(dlg->OK());
        QCOMPARE(dlg->Text1(), QStringLiteral("2024-02-03"));
        QCOMPARE(dlg->Text2(), QStringLiteral("2024-04-05"));
    }

    void closeLeavesOkFalseEvenWithABadDate() {
        dlg->setText1(QStringLiteral("2024-01-01"));
        showActive();
        dlg->meDate(0)->setText(QStringLiteral("2023-02-29"));
        dlg->meDate(0)->setFocus();
        QTest::mouseClick(dlg->cmdClose(), Qt::LeftButton);
        QCoreApplication::processEvents();
        QVERIFY(!dlg->isVisible());
        QCOMPARE(dlg->result(), int(QDialog::Rejected));
        QVERIFY(!dlg->OK());
        QCOMPARE(dlg->Text1(), QStringLiteral("2024-01-01"));
        QCOMPARE(dlg->Text2(), QString());
    }

    void closeFromExec() {
        whenModalOpens([](QWidget *w) {
            if (auto *d = qobject_cast<FrmEasyDate *>(w))
                QTest::mouseClick(d->cmdClose(), Qt::LeftButton);
        });
        QCOMPARE(dlg->exec(), int(QDialog::Rejected));
        QVERIFY(!dlg->OK());
    }

    void dayStep() {
        QTest::mouseClick(dlg->udMvDay(0)->upButton(), Qt::LeftButton);
        QCOMPARE(box(0), QStringLiteral("2024-05-16"));
        dlg->meDate(1)->setText(QStringLiteral("2024-03-01"));
        QTest::mouseClick(dlg->udMvDay(1)->downButton(), Qt::LeftButton);
        QCOMPARE(box(1), QStringLiteral("2024-02-29"));
        dlg->meDate(0)->clear();
        dlg->udMvDay_DownClick(0);
        QCOMPARE(box(0), QStringLiteral("2024-05-15")); // a blank box becomes today
        dlg->meDate(0)->setText(QStringLiteral("2024-02-30"));
        dlg->udMvDay_UpClick(0);
        QCOMPARE(box(0), QStringLiteral("2024-02-30")); // anything else stays
        dlg->meDate(0)->setText(QStringLiteral("2024-0"));
        dlg->udMvDay_UpClick(0);
        QCOMPARE(box(0), QStringLiteral("2024-0_-__"));
    }

    void arrowsAndEnterMoveTheFocus() {
        showActive();
        dlg->meDate(0)->setFocus();
        QTest::keyClick(dlg->meDate(0), Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), dlg->meDate(1));
        QTest::keyClick(dlg->meDate(1), Qt::Key_Up);
        QCOMPARE(QApplication::focusWidget(), dlg->meDate(0));
        QTest::keyClick(dlg->meDate(0), Qt::Key_Down);
        QCOMPARE(QApplication::focusWidget(), dlg->meDate(1));
        QTest::keyClick(dlg->meDate(1), Qt::Key_Down);
        QCOMPARE(QApplication::focusWidget(), dlg->cmdOK());
        QVERIFY(dlg->isVisible()); // Enter in a box never confirms
        QCOMPARE(box(0), QStringLiteral("2024-05-15"));
    }

    void enteringABadBoxFillsToday() {
        showActive();
        dlg->meDate(1)->clear();
        dlg->meDate(0)->setFocus();
        QTest::keyClick(dlg->meDate(0), Qt::Key_Down);
        QCOMPARE(QApplication::focusWidget(), dlg->meDate(1));
        QCOMPARE(box(1), QStringLiteral("2024-05-15"));
    }

    void digitOverwritesTheCharacterAtTheCaret() {
        // Typed as soon as the window is up, and after a Tab: the entered box selected its text.
        showActive();
        QLineEdit *b = dlg->meDate(0);
        QTRY_VERIFY(b->hasFocus());
        QCoreApplication::processEvents();
        QTest::keyClicks(b, QStringLiteral("20240115"));
        QCOMPARE(box(0), QStringLiteral("2024-01-15"));
        QTest::keyClick(b, Qt::Key_Tab);
        QTRY_VERIFY(dlg->meDate(1)->hasFocus());
        QCoreApplication::processEvents();
        QTest::keyClicks(dlg->meDate(1), QStringLiteral("2023"));
        QCOMPARE(box(1), QStringLiteral("2023-05-15"));
        b->setFocus();
        QCoreApplication::processEvents();
        b->setCursorPosition(5);
        QTest::keyClicks(b, QStringLiteral("03"));
        QCOMPARE(box(0), QStringLiteral("2024-03-15"));
        b->selectAll();
        QTest::keyClick(b, Qt::Key_1);
        QCOMPARE(box(0), QStringLiteral("1024-03-15"));
        b->setCursorPosition(8);
        QTest::keyClicks(b, QStringLiteral("31"));
        QCOMPARE(box(0), QStringLiteral("1024-03-31"));
    }

    void calendarOpensBesideTheBoxAndEscKeepsTheDate() {
        showActive();
        dlg->meDate(0)->setText(QStringLiteral("2024-02-29"));
        QPoint at;
        QDate shown;
        whenModalOpens([&](QWidget *w) {
            auto *cal = qobject_cast<FrmCalendar *>(w);
            if (!cal)
                return;
            at = cal->pos();
            shown = cal->MonthView1()->selectedDate();
            QTest::keyClick(dayTable(cal->MonthView1()), Qt::Key_Escape);
        });
        QTest::mouseClick(dlg->cmdCaln(0), Qt::LeftButton);
        const QPoint boxAt = dlg->meDate(0)->mapToGlobal(QPoint(0, 0));
        QCOMPARE(at, QPoint(boxAt.x(), boxAt.y() + dlg->cmdCaln(0)->height()));
        QCOMPARE(shown, QDate(2024, 2, 29));
        QCOMPARE(box(0), QStringLiteral("2024-02-29"));
        QCOMPARE(dlg->focusWidget(), dlg->meDate(0));
    }

    void calendarEscOnBlankBoxKeepsItBlank() {
        showActive();
        dlg->meDate(1)->clear();
        whenModalOpens([](QWidget *w) {
            if (auto *cal = qobject_cast<FrmCalendar *>(w))
                QTest::keyClick(dayTable(cal->MonthView1()), Qt::Key_Escape);
        });
        dlg->cmdCaln_Click(1);
        QCOMPARE(box(1), QStringLiteral("____-__-__"));
        QCOMPARE(dlg->focusWidget(), dlg->meDate(1));
        showActive(); // the focus coming back with the window does not fill the box either
        QCOMPARE(QApplication::focusWidget(), dlg->meDate(1));
        QCOMPARE(box(1), QStringLiteral("____-__-__"));
    }

    void calendarPickFillsTheBox() {
        showActive();
        whenModalOpens([](QWidget *w) {
            if (auto *cal = qobject_cast<FrmCalendar *>(w))
                clickDay(cal->MonthView1(), QDate(2024, 5, 3));
        });
        QTest::mouseClick(dlg->cmdCaln(1), Qt::LeftButton);
        QCOMPARE(box(1), QStringLiteral("2024-05-03"));
        QCOMPARE(box(0), QStringLiteral("2024-05-15"));
        QVERIFY(!dlg->OK()); // picking a date does not confirm
    }

    void demoPrintsWhatTheWindowsHandBack() {
        QString printed;
        QTextStream out(&printed);
        registerCalendarDemos();
        whenModalOpens([](QWidget *w) {
            if (auto *d = qobject_cast<FrmEasyDate *>(w))
                QTest::mouseClick(d->cmdTermCng(9), Qt::LeftButton);
        });
        QCOMPARE(DemoWindows::run(QStringLiteral("period"), {}, out), 0);
        whenModalOpens([](QWidget *w) {
            if (auto *c = qobject_cast<FrmCalendar *>(w))
                QTest::keyClick(dayTable(c->MonthView1()), Qt::Key_Escape);
        });
        QCOMPARE(DemoWindows::run(QStringLiteral("calendar"), {}, out), 0);
        QCOMPARE(printed, QStringLiteral("OK 2024-04-01 2024-04-30\n2024-05-15\n"));
        QCOMPARE(DemoWindows::run(QStringLiteral("nosuch"), {}, out), 2);
    }
};

QTEST_MAIN(TestFrmEasyDate)
#include "tst_FrmEasyDate.moc"
