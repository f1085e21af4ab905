// Where windows open on a 1024x768 screen whose windows have frames (test_placement runs on
// such an offscreen screen): each frame whole on the screen, centred on its owner or the screen.
#include "FrmKVGraph.h"
#include "FrmLogin.h"
#include "ModalHelp.h"
#include "Spread.h"
#include "TestEnv.h"
#include "WindowReporter.h"
#include "frmMain.h"
#include "modSpread60.h"
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScreen>
#include <QVBoxLayout>

namespace {
QRect area() { return QGuiApplication::primaryScreen()->availableGeometry(); }

// Centred within a pixel (odd sizes), the frame whole on the screen.
bool centredOn(const QWidget *w, const QRect &on) {
    const QRect f = w->frameGeometry();
    const QPoint d = f.center() - on.center();
    return area().contains(f) && qAbs(d.x()) <= 1 && qAbs(d.y()) <= 1;
}
} // namespace

class TestPlacement : public QObject {
    Q_OBJECT
    std::unique_ptr<TestEnv> env;

    // Shown as the program shows it, then placed as the window manager's frame asks.
    static void showAndSettle(QWidget *w) {
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        QTest::qWait(20);
    }

private Q_SLOTS:
    void init() {
        env = std::make_unique<TestEnv>();
        QVERIFY(env->openFreshDatabase());
        QCOMPARE(area().size(), QSize(1024, 768));
    }
    void cleanup() {
        QVERIFY2(env->noUnexpectedBoxes(), qPrintable(env->prompter.unexpected().join('\n')));
        env.reset();
    }

    // The main window's 1100x760 does not fit with its frame: it opens maximised, not with
    // its title bar above the screen.
    void mainWindowTooLargeOpensMaximised() {
        frmMain w;
        showAndSettle(&w);
        QVERIFY(w.isMaximized());
        QVERIFY(area().contains(w.frameGeometry()));
    }

    void topWindowsCentredOnTheScreen() {
        FrmLogin login;
        showAndSettle(&login);
        QVERIFY2(centredOn(&login, area()), qPrintable(QDebug::toString(login.frameGeometry())));
        FrmKVGraph chart;
        showAndSettle(&chart);
        QVERIFY2(centredOn(&chart, area()), qPrintable(QDebug::toString(chart.frameGeometry())));
        WindowReporter restore;
        // --restore asks for the archive before its own window is up.
        QRect chooser;
        onNextModal(this, [&](QWidget *w) {
            QTest::qWait(20);
            chooser = w->frameGeometry();
        });
        QVERIFY(restore.chooseArchive(env->appFolder()).isEmpty());
        QVERIFY2(area().contains(chooser) && (chooser.center() - area().center()).manhattanLength() <= 2,
                 qPrintable(QDebug::toString(chooser)));
        restore.status(QStringLiteral("복원할 백업 파일을 고르세요."));
        QVERIFY(QTest::qWaitForWindowExposed(restore.window()));
        QTest::qWait(20);
        QVERIFY2(centredOn(restore.window(), area()), qPrintable(QDebug::toString(restore.window()->frameGeometry())));
    }

    // The report-column chooser stands over the list it is for, a child in a corner of the frame.
    void columnChooserOverItsList() {
        frmMain main;
        main.showNormal();
        main.setGeometry(40, 40, 900, 650);
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        auto *list = new QWidget;
        list->setObjectName(QStringLiteral("fbPlaced"));
        auto *grid = new Spread(list);
        grid->setObjectName(QStringLiteral("spList"));
        grid->setMaxCols(6);
        grid->setMaxRows(3);
        (new QVBoxLayout(list))->addWidget(grid);
        main.addChild(list);
        auto *sub = qobject_cast<QMdiSubWindow *>(list->parentWidget());
        QVERIFY(sub);
        sub->setGeometry(380, 240, 480, 330);
        QTest::qWait(20);
        const QRect listOnScreen(sub->mapToGlobal(QPoint(0, 0)), sub->size());
        QRect chooser;
        onNextModal(this, [&](QWidget *w) {
            QTest::qWait(20);
            chooser = w->frameGeometry();
        });
        modSpread60::RunSpreadMenuCommand(4, list, grid, QString());
        QVERIFY(area().contains(chooser));
        const QPoint d = chooser.center() - QRect(list->mapToGlobal(QPoint(0, 0)), list->size()).center();
        QVERIFY2(qAbs(d.x()) <= 1 && qAbs(d.y()) <= 1, qPrintable(QDebug::toString(chooser)));
        QVERIFY(listOnScreen.contains(chooser.center()));
    }
};

QTEST_MAIN(TestPlacement)
#include "tst_placement.moc"
