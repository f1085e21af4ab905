#include "AppPaths.h"
#include "AppState.h"
#include "EnvFixture.h"
#include "ProgramServices.h"
#include "Settings.h"
#include "WindowPlacement.h"
#include "WindowRegistry.h"
#include "frmIntroMsg.h"
#include "frmMain.h"
#include "modMain.h"
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QTest>

namespace {
const QString kSection = "메인배경";
QString bg(const QString &key) { return Settings::GetSetting(AppState::sharedApp(), kSection, key, "<none>"); }
// The default logo is a JPEG: colours come back close, not exact.
bool isRed(const QColor &c) { return c.red() > 240 && c.green() < 16 && c.blue() < 16; }
void setBg(const QString &key, const QString &v) { Settings::SaveSetting(AppState::sharedApp(), kSection, key, v); }
} // namespace

namespace {
// Answers the frame's backups as a case sets them, counting the close questions.
struct Backups : ProgramServices {
    int asked = 0;
    bool closeAnswer = false, nowAnswer = false;
    bool backupOnClose() override {
        ++asked;
        return closeAnswer;
    }
    bool backupNow() override { return nowAnswer; }
};
} // namespace

class TestMainWindow : public EnvFixture {
    Q_OBJECT
    void setUp() override {
        QVERIFY(env->openFreshDatabase());
        writeLogo(AppPaths::inApp("Image/mainbg.jpg"), Qt::red);
    }

    void writeLogo(const QString &path, QColor c) {
        QDir().mkpath(QFileInfo(path).absolutePath());
        QImage img(40, 30, QImage::Format_RGB32);
        img.fill(c);
        QVERIFY(img.save(path));
    }
    std::unique_ptr<frmMain> open() {
        auto w = std::make_unique<frmMain>();
        w->show();
        return w;
    }

private Q_SLOTS:
    // Centred the first time, where it was closed the next; a place no screen shows any more
    // (a second monitor taken away) brings it back to the centre.
    void placement() {
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        QCOMPARE(WindowPlacement::place({}, {1100, 760}, {screen}, screen).center(), screen.center());
        const QRect small(0, 0, 640, 480);
        QCOMPARE(WindowPlacement::place({}, {1100, 760}, {small}, small), small);
        const QRect left(-1920, 0, 1920, 1080);
        QCOMPARE(WindowPlacement::place({-1500, 100, 900, 700}, {1100, 760}, {left, screen}, screen).topLeft(),
                 QPoint(-1500, 100));
        QCOMPARE(WindowPlacement::place({-1500, 100, 900, 700}, {1100, 760}, {screen}, screen).center(),
                 screen.center());
        QCOMPARE(WindowPlacement::parse("10,20,300,400"), QRect(10, 20, 300, 400));
        QVERIFY(!WindowPlacement::parse("10,20,0,400").isValid());
        QVERIFY(!WindowPlacement::parse("garbage").isValid());

        // The first start on a screen its frame does not fit (the test screen's 800x600) is maximised.
        auto w = open();
        QCOMPARE(w->isMaximized(), screen.width() < 1100 || screen.height() < 760);
        w->showNormal();
        const QRect moved(screen.left() + 30, screen.top() + 40, 700, 500);
        w->setGeometry(moved);
        w->close();
        w = open();
        QCOMPARE(w->geometry(), moved);
        w->close();
    }

    void menuAndHiddenItems() {
        auto w = open();
        QVERIFY(!w->findChild<QAction *>("mnuRegister_NetWorkOption")->isVisible());
        QVERIFY(!w->findChild<QAction *>("mnuHelp_UseHelp")->isVisible());
        QVERIFY(w->findChild<QAction *>("mnuETCRoot_Calc")->isVisible());
        QCOMPARE(w->findChild<QAction *>("mnuHomePage")->text(), QString("홈페이지(&H)"));
        QCOMPARE(w->findChild<QLabel *>("panelDatabase")->text(), gDBFile);
        QVERIFY(w->windowTitle().contains(" Ver."));
    }

    void modeOutOfRangeReadAsTileNotWritten() {
        setBg("로고배치형태", "5");
        auto w = open();
        QVERIFY(w->background.logoLoaded());
        QCOMPARE(w->background.mode(), 0);
        QCOMPARE(bg("로고배치형태"), QString("5"));
        // Command 1 while tiling changes nothing.
        const int redraws = w->redrawCount();
        w->background.command(1);
        QCOMPARE(bg("로고배치형태"), QString("5"));
        QCOMPARE(w->redrawCount(), redraws);
        w->background.command(2);
        QCOMPARE(bg("로고배치형태"), QString("1"));
        QCOMPARE(w->redrawCount(), redraws + 1);
        w->background.command(1);
        QCOMPARE(bg("로고배치형태"), QString("0"));
    }

    void composeTilesAndCentres() {
        auto w = open();
        w->background.command(7); // default colour: nothing stored, nothing shown
        const QImage tiled = w->background.compose(QSize(100, 100));
        QVERIFY(isRed(tiled.pixelColor(95, 95)));
        w->background.command(2);
        const QImage centred = w->background.compose(QSize(100, 100));
        QVERIFY(isRed(centred.pixelColor(50, 50)));
        QCOMPARE(centred.pixelColor(2, 2), QColor(241, 241, 241));
    }

    void logoCommands() {
        auto w = open();
        const QString other = env->root() + "/pics/other.bmp";
        writeLogo(other, Qt::blue);
        env->prompter.answerText(other);
        w->background.command(3);
        QCOMPARE(bg("로고파일경로"), other);
        QCOMPARE(w->background.logo().pixelColor(0, 0), QColor(Qt::blue));
        env->prompter.answerText(QString()); // cancelled
        w->background.command(3);
        QCOMPARE(bg("로고파일경로"), other);
        QVERIFY(env->prompter.boxes().last().text.startsWith(env->root() + "/pics/")); // remembered folder
        w->background.command(4);
        QCOMPARE(bg("로고파일경로"), QString());
        QVERIFY(!w->background.logoLoaded());
        w->background.command(5);
        QCOMPARE(bg("로고파일경로"), AppPaths::inApp("Image/mainbg.jpg"));
        QVERIFY(w->background.logoLoaded());
    }

    void colourCommandsAndNote() {
        auto w = open();
        env->prompter.answerColor(QColor(10, 20, 30));
        w->background.command(6);
        QCOMPARE(env->prompter.boxes().first().title, QString("배경색상 선택"));
        QCOMPARE(bg("배경색상"), QString::number(10 | (20 << 8) | (30 << 16)));
        QVERIFY(env->prompter.texts().last().startsWith("로고가 타일형으로 배치되어 있으면"));
        w->background.command(2);
        const int boxes = int(env->prompter.boxes().size());
        w->background.command(7);
        QCOMPARE(bg("배경색상"), QString("15856113"));
        QCOMPARE(env->prompter.boxes().size(), boxes); // centred: no note
        w->background.command(7);                      // already default: nothing
        QCOMPARE(env->prompter.boxes().size(), boxes);
        env->prompter.answerCancel();
        w->background.command(6);
        QCOMPARE(bg("배경색상"), QString("15856113"));
    }

    void brokenLogoReported() {
        QFile f(AppPaths::inApp("Image/mainbg.jpg"));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("not a picture");
        f.close();
        auto w = open();
        QVERIFY(!w->background.logoLoaded());
        QVERIFY(env->prompter.texts().last().endsWith("in procedure LoadMainBG of Module modCompileEnv"));
    }

    // The user panel in its colours; the database path in one form of separators, also when
    // the stored folder has the other system's ("H:\\DBS"); a server's description as it is.
    void userPanelColoursAndOnePathForm() {
        gUserName = QStringLiteral("홍길동");
        const QString described = gDBFile;
        if (!TestEnv::onServer())
            gDBFile = modMain::mainDbFile("H:\\DBS");
        auto w = open();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        const QImage shot = w->findChild<QLabel *>("pnlUserName")->grab().toImage();
        QHash<QRgb, int> count;
        bool textColour = false;
        for (int y = 0; y < shot.height(); ++y)
            for (int x = 0; x < shot.width(); ++x) {
                const QColor c = shot.pixelColor(x, y);
                ++count[c.rgb()];
                textColour |= qAbs(c.red() - 87) + qAbs(c.green() - 159) + qAbs(c.blue() - 174) < 12;
            }
        QCOMPARE(QColor(std::max_element(count.begin(), count.end()).key()), QColor(234, 233, 233));
        QVERIFY(textColour);
        const QString path = w->findChild<QLabel *>("panelDatabase")->text();
        if (TestEnv::onServer())
            QCOMPARE(path, described);
        else
            QVERIFY2(!(path.contains('/') && path.contains('\\')), qPrintable(path));
        if (!TestEnv::onServer())
            env->prompter.answerNo(); // no check of the file now
        w->mnuHelp_AS_Click();
        QVERIFY(env->prompter.texts()[env->prompter.texts().size() - (TestEnv::onServer() ? 1 : 2)].contains(
            "\r\n" + path + "\r\n"));
    }

    void noRedrawWhileMinimized() {
        auto w = open();
        w->showMinimized();
        const int redraws = w->redrawCount();
        w->ReDrawMainBG();
        w->resize(900, 700);
        QCOMPARE(w->redrawCount(), redraws);
        w->showNormal();
        QVERIFY(w->redrawCount() > redraws);
    }

    void closeSequence() {
        auto w = open();
        Backups backups;
        w->setServices(&backups);
        int &asked = backups.asked;
        bool &answer = backups.closeAnswer;
        QVERIFY(!w->close());
        QVERIFY(w->isVisible());
        answer = true;
        auto *child = new QWidget;
        child->setObjectName("fbMobil_Admin");
        w->addChild(child);
        QVERIFY(w->close());
        QCOMPARE(asked, 2);
        QVERIFY(w->mdiArea()->subWindowList().isEmpty() || !w->mdiArea()->subWindowList().first()->isVisible());
    }

    void manualBackupClosesOnSuccess() {
        auto w = open();
        Backups backups;
        backups.closeAnswer = true;
        w->setServices(&backups);
        w->mnuETCRoot_Backup_Click();
        QVERIFY(w->isVisible());
        backups.nowAnswer = true;
        w->mnuETCRoot_Backup_Click();
        QVERIFY(!w->isVisible());
    }

    void closeAllKeepsMain() {
        auto w = open();
        WindowRegistry::add("fbMobil_Admin", [&](QWidget *main) {
            auto *child = new QWidget;
            child->setObjectName("fbMobil_Admin");
            return static_cast<frmMain *>(main)->addChild(child);
        });
        w->mnuBase_Mobil_Click();
        QCOMPARE(w->mdiArea()->subWindowList().size(), 1);
        w->mnuWindow_AllClose_Click();
        QVERIFY(w->isVisible());
        QTRY_COMPARE(w->mdiArea()->subWindowList().size(), 0);
    }

    // Enter and Esc close the notice like its button; Space on the box does not tick it.
    void introMessage_data() {
        QTest::addColumn<int>("key");
        QTest::newRow("Enter") << int(Qt::Key_Return);
        QTest::newRow("keypad Enter") << int(Qt::Key_Enter);
        QTest::newRow("Esc") << int(Qt::Key_Escape);
    }
    void introMessage() {
        QFETCH(int, key);
        frmIntroMsg intro;
        intro.show();
        QApplication::setActiveWindow(&intro);
        intro.Check1->setFocus();
        QTest::keyClick(intro.Check1, Qt::Key_Space);
        QVERIFY(intro.isVisible());
        QVERIFY(!intro.Check1->isChecked());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key(key));
        QVERIFY(!intro.isVisible());
        QCOMPARE(intro.result(), int(QDialog::Accepted));
        QCOMPARE(Settings::GetSetting(AppState::title(), "Config", "NoMsg", "<none>"), QString("<none>"));
        intro.show();
        intro.Check1->click();
        QVERIFY(!intro.isVisible());
        QCOMPARE(Settings::GetSetting(AppState::title(), "Config", "NoMsg"), QString("1"));
    }

    void childClosingItselfTakesItsFrame() {
        auto w = open();
        WindowRegistry::add("fbMobil_Admin", [&](QWidget *main) -> QWidget * {
            for (QMdiSubWindow *sub : static_cast<frmMain *>(main)->mdiArea()->subWindowList())
                return sub->widget();
            auto *child = new QWidget;
            child->setObjectName("fbMobil_Admin");
            return static_cast<frmMain *>(main)->addChild(child);
        });
        w->mnuBase_Mobil_Click();
        QWidget *first = w->mdiArea()->subWindowList().first()->widget();
        first->close();
        QTRY_COMPARE(w->mdiArea()->subWindowList().size(), 0);
        w->mnuBase_Mobil_Click();
        QCOMPARE(w->mdiArea()->subWindowList().size(), 1);
        QVERIFY(w->mdiArea()->subWindowList().first()->widget()->isVisible());
        w->mnuWindow_AllClose_Click();
        QTRY_COMPARE(w->mdiArea()->subWindowList().size(), 0);
    }

    void calculatorAndLinks() {
        auto w = open();
        w->mnuETCRoot_Calc_Click();
        if (frmMain::calculatorProgram().isEmpty())
            QCOMPARE(env->prompter.texts().last(), QString("계산기 파일을 찾을 수 없습니다."));
        else
            QCOMPARE(env->shell.starts.size(), 1);
        env->prompter.answerNo();
        w->mnuHomePage_Click();
        QCOMPARE(env->shell.opened.size(), 0);
        env->prompter.answerYes();
        w->mnuHomePage_Click();
        QCOMPARE(env->prompter.boxes().last().text, QString("고객지원센터 홈페이지로 이동하시겠습니까?"));
        QCOMPARE(env->shell.opened.size(), 1);
        QVERIFY(env->shell.opened.first().startsWith("https://"));
        // A PC without a web browser says so instead of doing nothing.
        env->shell.openResult = false;
        env->prompter.answerYes();
        QApplication::setActiveWindow(w.get());
        QTest::keyClick(w.get(), Qt::Key_E, Qt::AltModifier); // 원격지원(&E)
        QTRY_COMPARE(env->shell.opened.size(), 2);
        QCOMPARE(env->prompter.boxes().last().kind, QString("message"));
        QVERIFY(env->prompter.texts().last().startsWith("웹 브라우저를 열 수 없습니다."));
        QVERIFY(env->prompter.texts().last().endsWith(env->shell.opened.last()));
        // The A/S box, then on a database file the offer to check it now: every page is read.
        if (!TestEnv::onServer())
            env->prompter.answerYes();
        w->mnuHelp_AS_Click();
        const QStringList said =
            env->prompter.texts().mid(env->prompter.texts().size() - (TestEnv::onServer() ? 1 : 3));
        QVERIFY(said.first().startsWith("DB관련 문제발생시\r\n\r\n" + gDBFile + "\r\n\r\n"));
        QVERIFY(said.first().endsWith("Kolva소프트 개발팀"));
        if (!TestEnv::onServer())
            QCOMPARE(said.last(), QString("데이터베이스 파일을 점검했습니다. 이상이 없습니다."));
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
