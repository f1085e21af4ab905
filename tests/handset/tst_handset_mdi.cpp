#include "AppState.h"
#include "HandsetFixture.h"
#include "HandsetWindows.h"
#include "ModalHelp.h"
#include "Spread.h"
#include "WindowRegistry.h"
#include "cFpPreview.h"
#include "fbMobil_Admin.h"
#include "fbMobil_Save.h"
#include "frmMain.h"
#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QScopeGuard>
#include <QTimer>

// The handset list as the user meets it: a child of the main window's work area, keys
// typed into the real window stack.
class TestHandsetMdi : public QObject {
    Q_OBJECT
    std::unique_ptr<TestEnv> env;
    std::unique_ptr<frmMain> main;
    QPointer<fbMobil_Admin> list;

    int childCount() const { return int(main->mdiArea()->subWindowList().size()); }

private Q_SLOTS:
    void initTestCase() { registerHandsetWindows(); }
    void init() {
        env = std::make_unique<TestEnv>();
        QVERIFY(openDemoDatabase(*env));
        main = std::make_unique<frmMain>();
        main->show();
        QApplication::setActiveWindow(main.get());
        main->mnuBase_Mobil_Click();
        list = main->findChild<fbMobil_Admin *>();
        QVERIFY(list);
        list->QueryList();
        QCOMPARE(childCount(), 1);
    }
    void cleanup() {
        main.reset();
        QVERIFY2(env->noUnexpectedBoxes(), qPrintable(env->prompter.unexpected().join('\n')));
        env.reset();
    }

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
        // Ctrl+W elsewhere in the child does not close it either.
        list->htField[1]->setFocus();
        QTest::keyClick(list->htField[1], Qt::Key_W, Qt::ControlModifier);
        QCOMPARE(childCount(), 1);
    }

    // Keys as the user types them: into whatever has the focus now.
    void type(Qt::Key key, Qt::KeyboardModifiers mods = {}) {
        QWidget *w = QApplication::focusWidget();
        QVERIFY(w);
        QTest::keyClick(w, key, mods);
    }

    // Ctrl+W is the list's wherever its focus is: after F5, in a field clicked into, on the grid.
    void ctrlWKeepsTheList() {
        list->spList->setFocus();
        type(Qt::Key_F5);
        type(Qt::Key_W, Qt::ControlModifier);
        QCOMPARE(childCount(), 1);
        QTest::mouseClick(list->htField[3], Qt::LeftButton);
        QCOMPARE(QApplication::focusWidget(), list->htField[3]);
        type(Qt::Key_W, Qt::ControlModifier);
        QCOMPARE(childCount(), 1);
        frame()->setFocus(); // the frame itself, after a click on its title
        type(Qt::Key_W, Qt::ControlModifier);
        QCOMPARE(childCount(), 1);
        type(Qt::Key_F4, Qt::ControlModifier);
        QTRY_COMPARE(childCount(), 0);
    }

    // Enter and Down go on to the next search field, Up back; the grid keeps its arrows.
    void arrowsMoveBetweenSearchFields() {
        QTest::mouseClick(list->htField[1], Qt::LeftButton);
        const std::pair<Qt::Key, QWidget *> steps[] = {
            {Qt::Key_Down, list->htField[2]}, {Qt::Key_Return, list->htField[3]}, {Qt::Key_Up, list->htField[2]},
            {Qt::Key_Up, list->htField[1]},   {Qt::Key_Enter, list->htField[2]},  {Qt::Key_Down, list->htField[3]}};
        for (const auto &[key, next] : steps) {
            type(key);
            QCOMPARE(QApplication::focusWidget(), next);
        }
        list->spList->setFocus();
        list->spList->setActiveCell(1, 3);
        type(Qt::Key_Down);
        QCOMPARE(list->spList->activeRow(), 4);
        QCOMPARE(QApplication::focusWidget(), list->spList);
    }

    // After the print preview and the entry window the F-keys work at once, where the user was.
    void modalWindowsGiveTheFocusBack() {
        cFpPreview preview;
        preview.SetAppName(AppState::title());
        gPreview = &preview;
        const auto noPreview = qScopeGuard([] { gPreview = nullptr; });
        QTest::mouseClick(list->htField[2], Qt::LeftButton);
        QString shown;
        onNextModal(this, [&](QWidget *w) { shown = w->metaObject()->className(); });
        type(Qt::Key_F7);
        QCOMPARE(shown, QStringLiteral("FrmSPPrint_Preview"));
        QTRY_COMPARE(QApplication::focusWidget(), list->htField[2]);
        list->spList->setMaxRows(0);
        type(Qt::Key_F5);
        QCOMPARE(list->spList->maxRows(), 40);
        QString entry;
        onNextModal(this, [&](QWidget *w) { entry = w->objectName(); });
        type(Qt::Key_F2);
        QCOMPARE(entry, QStringLiteral("fbMobil_Save"));
        QTRY_COMPARE(QApplication::focusWidget(), list->htField[2]);
        list->spList->setMaxRows(0);
        type(Qt::Key_F5);
        QCOMPARE(list->spList->maxRows(), 40);
    }

    // The same keys in the entry window that F2 opens.
    void arrowsMoveBetweenEntryFields() {
        list->spList->setFocus();
        QStringList seen, expected;
        onNextModalOf<fbMobil_Save>(this, [&](fbMobil_Save *w) {
            QTRY_VERIFY(w->isActiveWindow());
            w->htField[2]->setFocus();
            for (const auto &[key, index] : {std::pair{Qt::Key_Down, 3},
                                             {Qt::Key_Return, 4},
                                             {Qt::Key_Up, 3},
                                             {Qt::Key_Up, 2},
                                             {Qt::Key_Enter, 3}}) {
                QTest::keyClick(QApplication::focusWidget(), key);
                seen << QApplication::focusWidget()->objectName();
                expected << w->htField[index]->objectName();
            }
        });
        type(Qt::Key_F2);
        QCOMPARE(seen, expected);
    }

    // The delete notice stands over the list, not in a corner of the screen or of the frame.
    void deleteNoticeOverTheList() {
        frame()->setGeometry(0, 0, 500, 320);
        list->spList->setFocus();
        list->spList->setActiveCell(1, 5);
        env->prompter.answerYes();
        type(Qt::Key_F4);
        QCOMPARE(env->prompter.boxes().size(), 1);
        env->prompter.clear();
        QVERIFY(!env->shell.starts.isEmpty());
        const QString args = env->shell.starts.last().argumentText;
        QVERIFY2(args.startsWith(QStringLiteral(" 자료를 삭제하였습니다./T500/P")), qPrintable(args));
        const QStringList xy = args.section(QStringLiteral("/P"), 1).split(QLatin1Char(','));
        const QPoint at(xy.value(0).toInt(), xy.value(1).toInt());
        const QRect shown(frame()->mapToGlobal(QPoint(0, 0)), frame()->size());
        QVERIFY2(shown.contains(at), qPrintable(QStringLiteral("%1,%2").arg(at.x()).arg(at.y())));
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
