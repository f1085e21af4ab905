// Where windows open on a 1024x768 screen whose windows have frames (test_placement runs on
// such an offscreen screen): each frame whole on the screen, centred on its owner or the screen.
#include "EnvFixture.h"
#include "FrmKVGraph.h"
#include "FrmLogin.h"
#include "ModalHelp.h"
#include "Spread.h"
#include "WindowReporter.h"
#include "frmMain.h"
#include "modSpread60.h"
#include <QMdiSubWindow>
#include <QScreen>

namespace {
QRect area() { return QGuiApplication::primaryScreen()->availableGeometry(); }

// The frame whole on the screen and centred on `on` within a pixel (odd sizes).
bool centredOn(const QRect &frame, const QRect &on) {
    const QPoint d = frame.center() - on.center();
    return area().contains(frame) && qAbs(d.x()) <= 1 && qAbs(d.y()) <= 1;
}

// The frame of the modal window that act opens, once the window manager (here: offscreen) placed it.
QRect modalFrame(QObject *context, const std::function<void()> &act) {
    QRect frame;
    onNextModal(context, [&](QWidget *w) {
        QTest::qWait(20);
        frame = w->frameGeometry();
    });
    act();
    return frame;
}
} // namespace

class TestPlacement : public EnvFixture {
    Q_OBJECT
    void setUp() override {
        QVERIFY(env->openFreshDatabase());
        QCOMPARE(area().size(), QSize(1024, 768));
    }

private Q_SLOTS:
    // The main window's 1100x760 does not fit with its frame: maximised, not with its title
    // bar above the screen. The others open centred on the screen.
    void ownWindows() {
        frmMain main;
        FrmLogin login;
        FrmKVGraph chart;
        WindowReporter restore;
        // --restore asks for the archive before its own window is up.
        const QRect chooser = modalFrame(this, [&] { QVERIFY(restore.chooseArchive(env->appFolder()).isEmpty()); });
        QVERIFY2(centredOn(chooser, area()), qPrintable(QDebug::toString(chooser)));
        for (QWidget *w :
             {static_cast<QWidget *>(&main), static_cast<QWidget *>(&login), static_cast<QWidget *>(&chart)})
            w->show();
        restore.status(QStringLiteral("복원 중"));
        QTest::qWait(20);
        QVERIFY(main.isMaximized() && area().contains(main.frameGeometry()));
        for (const QWidget *w : {static_cast<QWidget *>(&login), static_cast<QWidget *>(&chart), restore.window()})
            QVERIFY2(centredOn(w->frameGeometry(), area()), qPrintable(w->windowTitle()));
    }

    // The report-column chooser stands over the list it is for, a child away from the frame's centre.
    void columnChooserOverItsList() {
        frmMain main;
        main.show();
        auto *list = new QWidget;
        list->setObjectName(QStringLiteral("fbPlaced"));
        auto *grid = new Spread(list);
        grid->setObjectName(QStringLiteral("spList"));
        grid->setMaxCols(6);
        main.addChild(list);
        qobject_cast<QMdiSubWindow *>(list->parentWidget())->setGeometry(380, 240, 480, 330);
        QTest::qWait(20);
        const QRect chooser = modalFrame(this, [&] { modSpread60::RunSpreadMenuCommand(4, list, grid, QString()); });
        QVERIFY2(centredOn(chooser, QRect(list->mapToGlobal(QPoint(0, 0)), list->size())),
                 qPrintable(QDebug::toString(chooser)));
    }
};

QTEST_MAIN(TestPlacement)
#include "tst_placement.moc"
