#include "WindowReporter.h"
#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace {
// Where the keyboard goes in the shown window, as a user's keys would.
void press(QWidget *window, Qt::Key key) {
    QWidget *target = QApplication::focusWidget();
    QTest::keyClick(target && target->window() == window ? target : window, key);
}
} // namespace

class TestBackupWindow : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void resultClosesWithKeys_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("ok");
        QTest::newRow("Enter") << int(Qt::Key_Return) << true;
        QTest::newRow("keypad Enter") << int(Qt::Key_Enter) << true;
        QTest::newRow("Esc") << int(Qt::Key_Escape) << true;
        QTest::newRow("Enter after a failure") << int(Qt::Key_Return) << false;
        QTest::newRow("Esc after a failure") << int(Qt::Key_Escape) << false;
    }
    void resultClosesWithKeys() {
        QFETCH(int, key);
        QFETCH(bool, ok);
        WindowReporter reporter;
        QWidget *window = reporter.window();
        reporter.status("백업하는 중입니다...");
        QVERIFY(QTest::qWaitForWindowExposed(window));
        // Enter while it works is no cancel.
        press(window, Qt::Key_Return);
        QVERIFY(window->isVisible());
        QVERIFY(!reporter.cancelled());

        reporter.finished(ok, ok ? "백업이 완료되었습니다." : "백업하지 못했습니다.");
        QCOMPARE(reporter.button()->text(), QString("닫기"));
        // The backup program ends when its window closes: a window only hidden would leave
        // it running unseen, so the key is pressed inside the program's own event loop.
        QTimer::singleShot(0, window, [window, key] { press(window, Qt::Key(key)); });
        QTimer giveUp;
        giveUp.setSingleShot(true);
        connect(&giveUp, &QTimer::timeout, qApp, [] { QCoreApplication::exit(99); });
        giveUp.start(5000);
        QCOMPARE(QApplication::exec(), 0);
        QVERIFY(!window->isVisible());
    }

    // A result longer than the waiting text, with a path that cannot wrap, shows whole.
    void longResultShowsWhole() {
        WindowReporter reporter;
        reporter.status("백업하는 중입니다...");
        QVERIFY(QTest::qWaitForWindowExposed(reporter.window()));
        reporter.finished(false,
                          "백업하지 못했습니다.\n/home/shop/.local/share/MobileShop/DBS_long_folder_name/dbMain.db "
                          "(디스크 공간이 부족합니다.)\n두 번째 줄\n세 번째 줄\n네 번째 줄");
        auto *label = reporter.window()->findChild<QLabel *>();
        QVERIFY(label);
        QTRY_VERIFY2(label->width() >= label->minimumSizeHint().width() &&
                         label->height() >= label->heightForWidth(label->width()),
                     qPrintable(QString("%1x%2").arg(label->width()).arg(label->height())));
    }

    void escWhileWorkingCancels() {
        WindowReporter reporter;
        reporter.status("프로그램이 종료되기를 기다리는 중입니다...");
        QVERIFY(QTest::qWaitForWindowExposed(reporter.window()));
        QVERIFY(!reporter.cancelled());
        press(reporter.window(), Qt::Key_Escape);
        QVERIFY(reporter.cancelled());
        // The failure that follows is shown again, and closes as any result does.
        reporter.finished(false, "취소되었습니다.");
        QVERIFY(reporter.window()->isVisible());
        QTest::mouseClick(reporter.button(), Qt::LeftButton);
        QTRY_VERIFY(!reporter.window()->isVisible());
    }
};

QTEST_MAIN(TestBackupWindow)
#include "tst_backup_window.moc"
