#include "AppPaths.h"
#include "AppState.h"
#include "EnvFixture.h"
#include "FloatMsg.h"
#include "FrmTool_NTSetup.h"
#include "NetResource.h"
#include "NetSetupWindows.h"
#include "NetTreePictures.h"
#include "NetworkFixture.h"
#include "Schema.h"
#include "ServerConnection.h"
#include "ServerDbBox.h"
#include "Settings.h"
#include "StartApp.h"
#include "frmMain.h"
#include "modMDB_Func.h"
#include "modOptionBtn.h"
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

namespace {
const QString kTitle = AppState::title();
QString cfg(const QString &section, const QString &key) { return Settings::GetSetting(kTitle, section, key, "<none>"); }
void setCfg(const QString &section, const QString &key, const QString &v) {
    Settings::SaveSetting(kTitle, section, key, v);
}
const QString kRestart = "설정이 저장되었습니다.\r\n프로그램을 다시 시작해야 정상적으로 적용됩니다.\r\n\r\n프로그램을 "
                         "종료후 다시 시작하세요.";
} // namespace

class TestNetSetupWindow : public EnvFixture {
    Q_OBJECT
    void setUp() override { ResetFloatMsg(); }
    QString net() const { return env->root() + "/network"; }

    std::unique_ptr<FrmTool_NTSetup> open() {
        auto w = std::make_unique<FrmTool_NTSetup>();
        w->show();
        return w;
    }
    // A client that types nothing: the search decides.
    void chooseClient(FrmTool_NTSetup &w) {
        QTest::mouseClick(w.optCSType[1], Qt::LeftButton, {}, QPoint(6, w.optCSType[1]->height() / 2));
        QVERIFY(w.optCSType[1]->isChecked());
    }
    QStringList floatMessages() const {
        QStringList texts;
        for (const auto &call : env->shell.starts)
            if (call.program.endsWith("FloatMsg"))
                texts << call.argumentText;
        return texts;
    }
    void networkKeysUnset() {
        QCOMPARE(cfg("환경설정", "네트웍경로"), QString("<none>"));
        QCOMPARE(cfg("환경설정", "네트웍드라이브"), QString("<none>"));
        QCOMPARE(cfg("환경설정", "CSType"), QString("<none>"));
        QCOMPARE(cfg("Config", "DB경로"), QString("<none>"));
    }

private Q_SLOTS:
    // A first start: server, nothing to type, the advanced frame folded away with its gap.
    void loadsAsServer() {
        auto w = open();
        QVERIFY(w->optCSType[0]->isChecked());
        QVERIFY(!w->txtInput[0]->isEnabled());
        QVERIFY(!w->FraSvrSetup->isEnabled());
        QCOMPARE(w->txtInput[0]->palette().color(QPalette::Base), QApplication::palette().color(QPalette::Button));
        QVERIFY(!w->chkAutoFindSvr->isEnabled());
        QVERIFY(w->FraSvrSetup->isHidden());
        QVERIFY(w->lblStatus->isHidden());
        QCOMPARE(w->height(), w->collapsedHeight());
        QVERIFY(w->collapsedHeight() < w->fullHeight() - w->FraSvrSetup->sizeHint().height());
        // Folded, the buttons keep their full size inside the window.
        QVERIFY(w->btnSave->height() >= w->btnSave->sizeHint().height());
        QVERIFY(w->btnSave->geometry().bottom() < w->height());

        w->chkAdven->click();
        QVERIFY(w->FraSvrSetup->isVisible());
        QCOMPARE(w->height(), w->fullHeight());
        QVERIFY(w->tvwNetwork->geometry().bottom() < w->FraSvrSetup->height()); // nothing cut off
        w->chkAdven->click();
        QVERIFY(w->FraSvrSetup->isHidden());
        QCOMPARE(w->height(), w->collapsedHeight());
    }

    void loadsStoredClient() {
        setCfg("환경설정", "CSType", "1");
        setCfg("환경설정", "네트웍경로", "\\\\SRV1\\app");
        setCfg("환경설정", "네트웍드라이브", "K:");
        auto w = open();
        QVERIFY(w->optCSType[1]->isChecked());
        QCOMPARE(w->txtInput[0]->text(), QString("\\\\SRV1\\app"));
        QCOMPARE(w->txtInput[1]->text(), QString("K:"));
        QVERIFY(!w->chkAutoFindSvr->isChecked());
        QVERIFY(w->chkAutoFindSvr->isEnabled());
        QVERIFY(w->txtInput[0]->isEnabled());
        QCOMPARE(w->txtInput[0]->palette().color(QPalette::Base), QApplication::palette().color(QPalette::Base));
        QVERIFY(!w->btnAutoNTDrv->isEnabled()); // a drive is there already

        // Back to server: the inputs go, and so does the search choice.
        w->optCSType[0]->click();
        QVERIFY(!w->txtInput[1]->isEnabled());
        QVERIFY(!w->chkAutoFindSvr->isEnabled());
    }

    // Ticking the search gives up the path; typing a path unticks it, emptying it ticks it.
    void searchTickAndPathAgree() {
        setCfg("환경설정", "CSType", "1");
        setCfg("환경설정", "네트웍경로", "\\\\SRV1\\app");
        auto w = open();
        w->chkAutoFindSvr->click();
        QVERIFY(w->chkAutoFindSvr->isChecked());
        QCOMPARE(w->txtInput[0]->text(), QString());
        QVERIFY(!w->txtInput[0]->isEnabled()); // the search fills it in
        w->chkAutoFindSvr->click();
        QVERIFY(w->txtInput[0]->isEnabled());
        w->chkAdven->click();
        QTest::keyClicks(w->txtInput[0], "\\\\S");
        QVERIFY(!w->chkAutoFindSvr->isChecked());
        w->txtInput[0]->selectAll();
        QTest::keyClick(w->txtInput[0], Qt::Key_Backspace);
        QVERIFY(w->chkAutoFindSvr->isChecked());
        QVERIFY(w->txtInput[0]->isEnabled()); // still typing
        // Enter moves on to the drive box.
        QTest::keyClicks(w->txtInput[0], "\\\\SRV1\\app");
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        w->txtInput[0]->setFocus();
        QTest::keyClick(w->txtInput[0], Qt::Key_Return);
        QTRY_VERIFY(w->txtInput[1]->hasFocus());
    }

    void savesAsServer() {
        setCfg("환경설정", "네트웍경로", "\\\\OLD\\app");
        setCfg("환경설정", "네트웍드라이브", "J:");
        setCfg("환경설정", "CSType", "1");
        auto w = open();
        w->optCSType[0]->click();
        w->btnSave->click();
        QCOMPARE(cfg("환경설정", "CSType"), QString("0"));
        QCOMPARE(cfg("Config", "DB경로"), env->appFolder() + "/DBS");
        QCOMPARE(gDBPath, env->appFolder() + "/DBS");
        QCOMPARE(gCSType, 0);
        QCOMPARE(cfg("환경설정", "네트웍경로"), QString("\\\\OLD\\app"));
        QCOMPARE(cfg("환경설정", "네트웍드라이브"), QString("J:"));
        QCOMPARE(env->prompter.texts(), QStringList({kRestart}));
        QCOMPARE(floatMessages().size(), 1);
        QVERIFY(floatMessages().first().startsWith(" 설정이 저장되었습니다./T500"));
        QVERIFY(!w->isVisible());
        QCOMPARE(w->result(), int(QDialog::Accepted));
        QCOMPARE(w->tvwNetwork->topLevelItemCount(), 0); // a server never searches
    }

    void savesDatabaseServerWithPasswordEncoded() {
        auto w = open();
        QVERIFY(!w->FraDbServer->isEnabled()); // a file database needs no server
        w->optCSType[2]->click();
        QVERIFY(w->FraDbServer->isEnabled());
        QVERIFY(!w->chkAutoFindSvr->isEnabled());
        w->btnSave->click(); // nothing typed yet
        QCOMPARE(env->prompter.texts(), QStringList({"서버 주소, 데이터베이스와 사용자를 입력하세요."}));
        QCOMPARE(cfg("환경설정", "CSType"), QString("<none>"));
        const QStringList typed{"db.shop.local", "6543", "가게", "점원", "Pa'ss"};
        for (size_t i = 0; i < size_t(typed.size()); ++i) {
            w->FraDbServer->txtServer[i]->clear();
            if (typed[qsizetype(i)].front().unicode() < 128) // key clicks know ASCII only
                QTest::keyClicks(w->FraDbServer->txtServer[i], typed[qsizetype(i)]);
            else
                w->FraDbServer->txtServer[i]->setText(typed[qsizetype(i)]);
        }
        w->btnSave->click();
        QCOMPARE(cfg("환경설정", "CSType"), QString("2"));
        QCOMPARE(gCSType, 2);
        QCOMPARE(cfg("환경설정", "DB서버"), QString("db.shop.local"));
        QCOMPARE(cfg("환경설정", "DB포트"), QString("6543"));
        QCOMPARE(cfg("환경설정", "DB이름"), QString("가게"));
        QVERIFY(cfg("환경설정", "DB암호") != "Pa'ss");
        QCOMPARE(ServerConnection::load().password, QString("Pa'ss"));
        QCOMPARE(env->prompter.texts().last(), kRestart);
        // Opened again, the window shows what was stored.
        auto again = open();
        QVERIFY(again->optCSType[2]->isChecked());
        QCOMPARE(again->FraDbServer->connection().database, QString("가게"));
    }

    void connectionTestReportsTheServersWords() {
        auto w = open();
        w->optCSType[2]->click();
        // A folder with no server socket in it: the driver's own reason comes back.
        const QStringList typed{env->root(), "5432", "shop", "clerk", ""};
        for (size_t i = 0; i < size_t(typed.size()); ++i)
            w->FraDbServer->txtServer[i]->setText(typed[qsizetype(i)]);
        w->FraDbServer->btnTest->click();
        QCOMPARE(env->prompter.texts().size(), 1);
        QVERIFY2(env->prompter.texts().first().startsWith("DB 서버에 연결하지 못했습니다.\r\n\r\n서버가 접속을 받지 "
                                                          "않습니다.") &&
                     env->prompter.texts().first().contains(env->root()),
                 qPrintable(env->prompter.texts().first()));
        // Enter and the arrows move between the server's boxes as between the other boxes.
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        const auto &box = w->FraDbServer->txtServer;
        box[0]->setFocus();
        QTest::keyClick(box[0], Qt::Key_Return);
        QVERIFY(box[1]->hasFocus());
        QTest::keyClick(box[1], Qt::Key_Down);
        QVERIFY(box[2]->hasFocus());
        QTest::keyClick(box[2], Qt::Key_Up);
        QVERIFY(box[1]->hasFocus());
        QCOMPARE(cfg("환경설정", "CSType"), QString("<none>")); // a test stores nothing
    }

    void savesTypedClientWithoutSearching() {
        addShare(net(), "SRV1/app");
        addShare(net(), "SRV3/app");
        auto w = open();
        chooseClient(*w);
        w->chkAutoFindSvr->click(); // off: typing
        w->txtInput[0]->setText("\\\\SRV9\\app");
        w->txtInput[1]->setText("K:");
        w->btnSave->click();
        QCOMPARE(cfg("환경설정", "CSType"), QString("1"));
        QCOMPARE(cfg("환경설정", "네트웍경로"), QString("\\\\SRV9\\app"));
        QCOMPARE(cfg("환경설정", "네트웍드라이브"), QString("K:"));
        QCOMPARE(cfg("Config", "DB경로"), QString("K:\\DBS"));
        QCOMPARE(gCSType, 1);
        QCOMPARE(w->tvwNetwork->topLevelItemCount(), 0);
        QVERIFY(!QFileInfo(env->drives->driveFolder("K:")).isSymLink());
        QCOMPARE(env->prompter.texts(), QStringList({kRestart}));
    }

    void typedPathNeedsADrive() {
        auto w = open();
        chooseClient(*w);
        w->chkAutoFindSvr->click();
        w->txtInput[0]->setText("\\\\SRV1\\app");
        w->btnSave->click();
        QCOMPARE(env->prompter.texts(), QStringList({"[네트웍 Drive]은(는) 필수 입력 사항입니다."}));
        QCOMPARE(env->prompter.boxes().first().title, QString("필수입력"));
        networkKeysUnset();
        QVERIFY(w->isVisible());
    }

    void twoServersAreListedAndNothingSaved() {
        addShare(net(), "SRV1/app");
        addShare(net(), "SRV3/app");
        addShare(net(), "SRV2/App");
        auto w = open();
        chooseClient(*w);
        QVERIFY(w->chkAutoFindSvr->isChecked());
        w->btnSave->click();
        QCOMPARE(env->prompter.texts().size(), 1);
        QVERIFY(env->prompter.texts().first().startsWith("네트워크상에 서버가 2개이상 존재합니다."));
        QVERIFY(env->prompter.texts().first().endsWith(
            "=====================================\r\n\\\\SRV1\\app\r\n\\\\SRV3\\app"));
        networkKeysUnset();
        QCOMPARE(w->txtInput[0]->text(), QString());
        QVERIFY(w->isVisible());
        QVERIFY(w->lblStatus->isHidden());
        QVERIFY(!QApplication::overrideCursor());
        // The tree the search built stays to look at, with a picture on every node.
        QCOMPARE(w->tvwNetwork->topLevelItemCount(), 1);
        QTreeWidgetItem *root = w->tvwNetwork->topLevelItem(0);
        QCOMPARE(root->text(0), QString("Entire Network"));
        QVERIFY(root->isExpanded());
        QTreeWidgetItem *windows = root->child(0);
        QCOMPARE(windows->text(0), QString("Microsoft Windows 네트워크"));
        QCOMPARE(windows->childCount(), 3);
        QCOMPARE(windows->child(2)->text(0), QString("SRV3"));
        QCOMPARE(windows->child(2)->child(0)->text(0), QString("app"));
        QVERIFY(!windows->child(2)->child(0)->icon(0).isNull());
    }

    void shareDifferingInCaseIsNotFound() {
        addShare(net(), "SRV2/App");
        auto w = open();
        chooseClient(*w);
        w->btnSave->click();
        QCOMPARE(env->prompter.texts(), QStringList({"네트워크상에서 서버를 찾을 수 없습니다.\r\n먼저, 서버 컴퓨터의 "
                                                     "해당 프로그램 폴더를 읽기/쓰기권한으로 "
                                                     "공유하세요.\r\n\r\n찾을 공유명:app"}));
        networkKeysUnset();
    }

    void autoConnectNeedsAPath() {
        auto w = open();
        chooseClient(*w);
        w->chkAutoFindSvr->click();
        w->btnAutoNTDrv->click();
        QCOMPARE(env->prompter.texts(), QStringList({"서버경로를 먼저 입력하세요."}));
        QCOMPARE(w->txtInput[1]->text(), QString());
    }

    void autoConnectMapsTheFirstFreeDrive() {
        addShare(net(), "SRV1/app");
        addShare(net(), "OTHER/x");
        QCOMPARE(env->drives->addConnection("H:", "\\\\OTHER\\x", "", "", true), 0);
        auto w = open();
        chooseClient(*w);
        w->chkAutoFindSvr->click();
        w->txtInput[0]->setText("  \\\\SRV1\\app ");
        w->btnAutoNTDrv->click();
        QCOMPARE(w->txtInput[1]->text(), QString("I:"));
        QVERIFY(!w->btnAutoNTDrv->isEnabled());
        QCOMPARE(QFileInfo(env->drives->driveFolder("I:")).symLinkTarget(),
                 QFileInfo(net() + "/SRV1/app").absoluteFilePath());
        QVERIFY(floatMessages().first().startsWith(" I:\\ 드라이브로 네트워크 드라이브 연결이 되었습니다./T500"));

        // An unreachable path: ConnectNetDrive says so, the drive box stays as it was.
        w->txtInput[0]->setText("\\\\NOWHERE\\app");
        w->txtInput[1]->clear();
        w->btnAutoNTDrv->setEnabled(true);
        w->btnAutoNTDrv->click();
        QCOMPARE(env->prompter.texts().last(), QString("J:드라이브 연결이 실패되었습니다."));
        QCOMPARE(w->txtInput[1]->text(), QString());
    }

    void browseTakesTheNetworkFolder() {
        addShare(net(), "SRV1/app");
        auto w = open();
        chooseClient(*w);
        w->chkAutoFindSvr->click();
        w->txtInput[1]->setText("K:");
        w->btnAutoNTDrv->setEnabled(false);
        env->prompter.answerText(net() + "/SRV1/app");
        w->btnPath->click();
        QCOMPARE(env->prompter.boxes().last().kind, QString("folder"));
        QCOMPARE(env->prompter.boxes().last().title, QString("서버 경로 설정(서버내『휴대폰관리』폴더를 선택하세요.)"));
        QCOMPARE(w->txtInput[0]->text(), QString("\\\\SRV1\\app"));
        QCOMPARE(w->txtInput[1]->text(), QString());
        QVERIFY(w->btnAutoNTDrv->isEnabled());
        env->prompter.answerCancel();
        w->btnPath->click();
        QCOMPARE(w->txtInput[0]->text(), QString());
    }

    void optionIndex() {
        QRadioButton a, b;
        QCOMPARE(GetSelOptionIdx({&a, &b}), 0);
        b.setChecked(true);
        QCOMPARE(GetSelOptionIdx({&a, &b}), 1);
        QCOMPARE(GetSelOptionIdx({&a, nullptr, &b}), 0);
        QCOMPARE(
            env->prompter.texts(),
            QStringList(
                {"Error 91 (개체 변수 또는 With 블록 변수가 설정되어 있지 않습니다.) in procedure GetSelOptionIdx of "
                 "Module modOptionBtn"}));
    }

    void picturesForEveryTypeName() {
        QList<QImage> seen;
        for (const QString &name : NetTreePictures::names()) {
            const QIcon icon = NetTreePictures::picture(name);
            QVERIFY2(!icon.isNull(), qPrintable(name));
            const QImage image = icon.pixmap(16, 16).toImage();
            QVERIFY2(!seen.contains(image), qPrintable(name + " looks like another picture"));
            seen << image;
        }
        // Every name a resource type gives, lower-cased, has its picture.
        NetResource r;
        for (std::uint32_t t = 0; t <= 11; ++t) {
            r.setRecord(NetRecord{0, 0, t, 0, {}, "x", {}, {}});
            QVERIFY2(NetTreePictures::names().contains(r.ResourceTypeName().toLower()),
                     qPrintable(r.ResourceTypeName()));
        }
        r.markPrinter();
        QVERIFY(NetTreePictures::names().contains(r.ResourceTypeName().toLower()));
        QVERIFY(NetTreePictures::picture("folder").isNull());
    }

    // The menu item stays hidden in both product lines; triggered, it opens the window modally.
    void menuItemOpensTheWindow() {
        QVERIFY(env->openFreshDatabase());
        registerNetSetupWindows();
        frmMain main;
        main.show();
        auto *item = main.findChild<QAction *>("mnuRegister_NetWorkOption");
        QVERIFY(item);
        QVERIFY(!item->isVisible());
        bool opened = false;
        QTimer::singleShot(0, this, [&opened] {
            auto *w = qobject_cast<FrmTool_NTSetup *>(QApplication::activeModalWidget());
            opened = w != nullptr;
            if (w)
                w->btnClose->click();
        });
        item->trigger();
        QVERIFY(opened);
        networkKeysUnset();
    }

    // This PC becomes a client in the window; at the next start the drive is mapped again
    // and the server's database opens.
    void roundTripThroughStartUp() {
        addShare(net(), "SRV1/data");
        QVERIFY(Schema::createMainDatabase(net() + "/SRV1/app/DBS/dbMain.db"));
        {
            auto w = open();
            chooseClient(*w);
            w->btnSave->click();
            QCOMPARE(env->prompter.texts(), QStringList({kRestart}));
        }
        QCOMPARE(cfg("환경설정", "네트웍경로"), QString("\\\\SRV1\\app"));
        QCOMPARE(cfg("환경설정", "네트웍드라이브"), QString("H:"));
        QCOMPARE(cfg("Config", "DB경로"), QString("H:\\DBS"));
        QCOMPARE(cfg("환경설정", "CSType"), QString("1"));

        // A new session: the mapping is gone, the program state empty.
        QCOMPARE(env->drives->cancelConnection("H:", true, false), 0);
        AppState::reset();
        QVERIFY(OpenDatabaseAtStartUp());
        QVERIFY(modMDB_Func::IsOpen());
        QCOMPARE(gCSType, 1);
        QCOMPARE(gDBFile, QString("H:\\DBS/dbMain.db"));
        QCOMPARE(QFileInfo(env->drives->driveFolder("H:")).symLinkTarget(),
                 QFileInfo(net() + "/SRV1/app").absoluteFilePath());
        QCOMPARE(QFileInfo(env->drives->localPath(gDBFile)).canonicalFilePath(),
                 QFileInfo(net() + "/SRV1/app/DBS/dbMain.db").canonicalFilePath());
        QCOMPARE(env->prompter.texts().size(), 1); // no path question
    }
};

QTEST_MAIN(TestNetSetupWindow)
#include "tst_netsetup_window.moc"
