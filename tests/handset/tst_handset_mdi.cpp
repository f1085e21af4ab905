#include "EnvFixture.h"
#include "HandsetFixture.h"
#include "HandsetWindows.h"
#include "ModalHelp.h"
#include "Spread.h"
#include "WindowRegistry.h"
#include "fbMobil_Admin.h"
#include "fbMobil_Save.h"
#include "frmMain.h"
#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QTimer>

// The handset list as the user meets it: a child of the main window's work area, keys
// typed into the real window stack.
class TestHandsetMdi : public EnvFixture {
    Q_OBJECT
    void setUp() override {
        QVERIFY(openDemoDatabase(*env));
        main = std::make_unique<frmMain>();
        list = openListThroughMain(*main);
        QVERIFY(list);
        QCOMPARE(childCount(), 1);
    }
    void tearDown() override { main.reset(); }
    std::unique_ptr<frmMain> main;
    QPointer<fbMobil_Admin> list;

    int childCount() const { return int(main->mdiArea()->subWindowList().size()); }

private Q_SLOTS:
    void initTestCase() { registerHandsetWindows(); }

    // The grid's own Ctrl shortcuts win over the child frame's close shortcut.
    void gridShortcutsReachTheGrid() {
        Spread *g = list->spList;
        g->setFocus();
        g->setActiveCell(1, 5);
        QTest::keyClick(g, Qt::Key_E, Qt::ControlModifier);
        QVERIFY(g->rowHidden(5));
        g->setActiveCell(1, 6);
        QTest::keyClick(g, Qt::Key_W, Qt::ControlModifier);
        QVERIFY(!g->rowHidden(5));
        QCOMPARE(childCount(), 1);
        QTest::keyClick(g, Qt::Key_H, Qt::ControlModifier);
        QCOMPARE(env->prompter.texts().last().left(22), QStringLiteral(" - Ctrl + H : 단축키 목록보기"));
        bool findShown = false;
        QTimer::singleShot(0, [&] {
            if (QWidget *w = QApplication::activeModalWidget()) {
                findShown = w->objectName() == QStringLiteral("FrmFindInSpread");
                w->close();
            }
        });
        QTest::keyClick(g, Qt::Key_F, Qt::ControlModifier);
        QVERIFY(findShown);
        QCOMPARE(childCount(), 1);
        QTRY_COMPARE(QApplication::focusWidget(), g); // back from the find window
        // Ctrl+W elsewhere in the child does not close it either: after F5, in a field
        // clicked into, on the frame itself.
        type(Qt::Key_F5);
        QTest::mouseClick(list->htField[3], Qt::LeftButton);
        type(Qt::Key_W, Qt::ControlModifier);
        frame()->setFocus();
        type(Qt::Key_W, Qt::ControlModifier);
        QCOMPARE(childCount(), 1);
    }

    // Keys as the user types them: into whatever has the focus now.
    static void type(Qt::Key key, Qt::KeyboardModifiers mods = {}) {
        QVERIFY(QApplication::focusWidget());
        QTest::keyClick(QApplication::focusWidget(), key, mods);
    }
    // Enter and Down go on to the next field, Up back: the fields reached from fields[2].
    static QList<QWidget *> walk(const std::array<QLineEdit *, 9> &fields, QList<QWidget *> *expected) {
        QList<QWidget *> seen;
        QTest::mouseClick(fields[2], Qt::LeftButton);
        for (const auto &[key, index] :
             {std::pair{Qt::Key_Down, 3}, {Qt::Key_Return, 4}, {Qt::Key_Up, 3}, {Qt::Key_Up, 2}, {Qt::Key_Enter, 3}}) {
            type(key);
            seen << QApplication::focusWidget();
            *expected << fields[size_t(index)];
        }
        return seen;
    }

    // In the list's search fields and in the entry window F2 opens; the grid keeps its arrows.
    void arrowsMoveBetweenFields() {
        QList<QWidget *> expected;
        QCOMPARE(walk(list->htField, &expected), expected);
        QList<QWidget *> seen;
        expected.clear();
        onNextModalOf<fbMobil_Save>(this, [&](fbMobil_Save *w) {
            QTRY_VERIFY(w->isActiveWindow());
            seen = walk(w->htField, &expected);
        });
        type(Qt::Key_F2);
        QCOMPARE(seen, expected);
        QTRY_COMPARE(QApplication::focusWidget(), list->spList); // after adding, the rows come next
        list->spList->setActiveCell(1, 3);
        type(Qt::Key_Down);
        QCOMPARE(list->spList->activeRow(), 4);
    }

    // After the print preview (F7) the focus is back where it was, after the entry window (F2)
    // on the grid, whose rows the user works on next; F5 works at once either way.
    void modalWindowsGiveTheFocusBack() {
        QTest::mouseClick(list->htField[2], Qt::LeftButton);
        for (const auto &[key, window, back] :
             {std::tuple<Qt::Key, const char *, QWidget *>{Qt::Key_F7, "FrmSPPrint_Preview", list->htField[2]},
              {Qt::Key_F2, "fbMobil_Save", list->spList}}) {
            QString shown;
            onNextModal(this, [&](QWidget *w) { shown = w->metaObject()->className(); });
            type(key);
            QCOMPARE(shown, QString::fromLatin1(window));
            QTRY_COMPARE(QApplication::focusWidget(), back);
            list->spList->setMaxRows(0);
            type(Qt::Key_F5);
            QCOMPARE(list->spList->maxRows(), 40);
        }
    }

    // The delete notice stands over the list, not in a corner of the screen or of the frame.
    void deleteNoticeOverTheList() {
        frame()->setGeometry(0, 0, 500, 320);
        list->spList->setFocus();
        env->prompter.answerYes();
        type(Qt::Key_F4);
        env->prompter.clear();
        const QString args = env->shell.starts.value(env->shell.starts.size() - 1).argumentText;
        QVERIFY2(args.startsWith(QStringLiteral(" 자료를 삭제하였습니다./T500/P")), qPrintable(args));
        const QStringList xy = args.section(QStringLiteral("/P"), 1).split(QLatin1Char(','));
        QVERIFY(QRect(frame()->mapToGlobal(QPoint(0, 0)), frame()->size())
                    .contains(QPoint(xy.value(0).toInt(), xy.value(1).toInt())));
    }

    // Alt+letter: the child's control with that letter before the main menu's.
    void mnemonicsReachTheChildFirst() {
        list->spList->setActiveCell(1, 3);
        list->htField[1]->setFocus();
        QString shown;
        QTimer closer;
        connect(&closer, &QTimer::timeout, [&] {
            if (auto *w = qobject_cast<fbMobil_Save *>(QApplication::activeModalWidget())) {
                shown = w->windowTitle();
                w->close();
            }
        });
        closer.start(20);
        QTest::keyClick(list->htField[1], Qt::Key_E, Qt::AltModifier); // "수정 &E", not "원격지원(&E)"
        QTRY_VERIFY(!shown.isEmpty());
        // A letter no control of the child carries still opens the main menu.
        QApplication::setActiveWindow(main.get());
        list->htField[1]->setFocus();
        QTest::keyClick(list->htField[1], Qt::Key_B, Qt::AltModifier);
        QTRY_VERIFY(QApplication::activePopupWidget());
        QApplication::activePopupWidget()->close();
    }

    void closingStaysOnEscAndCtrlF4() {
        list->htField[1]->setFocus();
        QTest::keyClick(list->htField[1], Qt::Key_Escape);
        QTRY_COMPARE(childCount(), 0);
        main->mnuBase_Mobil_Click();
        QCOMPARE(childCount(), 1);
        list = main->findChild<fbMobil_Admin *>();
        list->spList->setFocus();
        QTest::keyClick(list->spList, Qt::Key_F4, Qt::ControlModifier);
        QTRY_COMPARE(childCount(), 0);
    }

    QMdiSubWindow *frame() const { return qobject_cast<QMdiSubWindow *>(list->parentWidget()); }
    QByteArray layoutFile() const {
        QFile f(env->appFolder() + "/FormIni/fbMobil_Admin.ini");
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    // Closed as its Esc closes it, then opened again from the menu.
    bool reopen() {
        list->close();
        if (!QTest::qWaitFor([&] { return childCount() == 0; }))
            return false;
        main->mnuBase_Mobil_Click();
        list = main->findChild<fbMobil_Admin *>();
        return list && frame();
    }

    // The list opened from the menu stands where it was left, maximised or not, and a list
    // closed untouched leaves its stored place as it was.
    void reopensAtItsStoredPlace() {
        QCOMPARE(frame()->pos(), QPoint(0, 0)); // nothing stored yet: the designed place
        const QRect placed(40, 30, 700, 500);
        frame()->setGeometry(placed);
        QVERIFY(reopen());
        QCOMPARE(frame()->geometry(), placed);
        const QByteArray stored = layoutFile();
        QVERIFY(!stored.isEmpty());
        QVERIFY(reopen());
        QCOMPARE(layoutFile(), stored);
        QCOMPARE(frame()->geometry(), placed);

        frame()->showMaximized();
        QVERIFY(reopen());
        QVERIFY(frame()->isMaximized());
        QCOMPARE(frame()->geometry(), main->mdiArea()->viewport()->rect());
        QCOMPARE(list->geometry(), frame()->contentsRect()); // the list fills its frame
        frame()->showNormal();
        QCOMPARE(frame()->geometry(), placed);
    }
};

QTEST_MAIN(TestHandsetMdi)
#include "tst_handset_mdi.moc"
