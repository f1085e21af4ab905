#include "AppPaths.h"
#include "AppState.h"
#include "EnvFixture.h"
#include "FrmTool_NTSetup.h"
#include "ModalHelp.h"
#include "NetSetupWindows.h"
#include "ServerConnection.h"
#include "ServerDbBox.h"
#include "Settings.h"
#include "StartApp.h"
#include "TestServer.h"
#include "WindowRegistry.h"
#include "modMDB_Func.h"
#include "modMain.h"
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSqlError>
#include <QTemporaryDir>
#include <QTest>
#include <atomic>
#include <thread>

using namespace modMDB_Func;

// Start-up with the database on a server: what the setup window stored is what opens.
class TestServerStartup : public EnvFixture {
    Q_OBJECT
    void setUp() override {
        QVERIFY(env->openFreshDatabase()); // stores the connection as the setup window does
        DBTerminate();
    }

private Q_SLOTS:
    void storedServerOpensAtStartUp() {
        QVERIFY(modMain::DatabaseOnServer());
        QVERIFY(modMain::InitApp());
        QVERIFY(IsServerDatabase());
        QCOMPARE(gDBFile, env->server.describe());
        QVERIFY(!gDBFile.contains(env->server.password));
        QCOMPARE(GetValue("SELECT loginid FROM local_user").toString(), QString("ADMIN"));
        QVERIFY2(env->noUnexpectedBoxes(), qPrintable(env->prompter.unexpected().join('\n')));
    }

    void passwordIsNotStoredInClear() {
        QFile store(Settings::storeFile(AppState::title()));
        QVERIFY(store.open(QIODevice::ReadOnly));
        QVERIFY(!store.readAll().contains(env->server.password.toUtf8()));
        QCOMPARE(ServerConnection::load().password, env->server.password);
    }

    // A server that cannot be opened gets one box with the reason in Korean and three ways on;
    // "종료" ends the start.
    void incompleteOrWrongSettingsAreRefusedWithReason() {
        ServerConnection c = env->server;
        c.database.clear();
        QVERIFY(c.save());
        env->prompter.answerIndex(2);
        QVERIFY(!modMain::InitApp());
        const auto box = env->prompter.boxes().last();
        QCOMPARE(box.kind, QString("choice"));
        QVERIFY(box.text.contains("DB 서버 접속 설정이 없습니다."));
        QVERIFY(box.text.endsWith("|*다시 시도/네트워크 설정/종료"));

        c = env->server;
        c.password = "wrong";
        QVERIFY(c.save());
        env->prompter.answerIndex(2);
        QVERIFY(!modMain::InitApp());
        const QString text = env->prompter.boxes().last().text;
        QVERIFY2(text.startsWith("DB 서버에 연결하지 못했습니다.") &&
                     text.contains("사용자 이름이나 암호가 맞지 않습니다.") &&
                     text.contains("password authentication failed") && text.contains(c.describe()),
                 qPrintable(text));
        QVERIFY(!IsOpen());
        QCOMPARE(env->prompter.boxes().size(), 2); // no second box beside the choice

        QString version, error;
        QVERIFY(!ServerTest::tryConnect(c, &version, &error));
        QVERIFY(error.contains("password authentication failed"));
        QVERIFY(ServerTest::tryConnect(env->server, &version, &error));
        QVERIFY(version.startsWith("PostgreSQL "));
    }

    // The server switched off at start-up: "다시 시도" once it is back opens the catalogue.
    // Down is a socket folder without the server's socket; back is the socket appearing there.
    void serverDownThenBackOnRetry() {
        QTemporaryDir socketFolder;
        ServerConnection c = env->server;
        c.host = socketFolder.path();
        QVERIFY(c.save());
        const QString socket = QStringLiteral("/.s.PGSQL.%1").arg(c.port);
        env->prompter.answerIndex(0); // still down: asked again
        env->prompter.answerIndexAfter(0, [&] { QVERIFY(QFile::link(env->server.host + socket, c.host + socket)); });
        QVERIFY(modMain::InitApp());
        QVERIFY(IsServerDatabase());
        QCOMPARE(env->prompter.boxes().size(), 2);
        QVERIFY(env->prompter.boxes().first().text.contains("서버가 접속을 받지 않습니다."));
        QCOMPARE(GetValue("SELECT loginid FROM local_user").toString(), QString("ADMIN"));
    }

    // "네트워크 설정" opens the setup; what it stores is what the start goes on with.
    void setupFromTheServerBox() {
        ServerConnection wrong = env->server;
        wrong.database = "nothere";
        QVERIFY(wrong.save());
        int opened = 0;
        WindowRegistry::add("FrmTool_NTSetup", [&](QWidget *) -> QWidget * {
            ++opened;
            env->server.save(); // as the user corrects the setup and saves
            return nullptr;
        });
        env->prompter.answerIndex(1);
        QVERIFY(modMain::InitApp());
        QCOMPARE(opened, 1);
        QVERIFY(IsServerDatabase());
        QVERIFY(env->prompter.boxes().first().text.contains("그런 데이터베이스가 서버에 없습니다."));
        WindowRegistry::add("FrmTool_NTSetup", {});
    }

    // "mobileshop --network-setup": the real window, the DB server chosen and typed in, saved;
    // the next start opens that server.
    void networkSetupOnItsOwnStoresWhatTheNextStartOpens() {
        Settings::SaveSetting(AppState::title(), "환경설정", "CSType", "0");
        registerNetSetupWindows();
        onNextModalOf<FrmTool_NTSetup>(this, [&](FrmTool_NTSetup *w) {
            w->optCSType[2]->click();
            const ServerConnection &s = env->server;
            const QStringList typed{s.host, QString::number(s.port), s.database, s.user, s.password};
            for (int i = 0; i < typed.size(); ++i)
                w->FraDbServer->txtServer[size_t(i)]->setText(typed[i]);
            w->btnSave->click();
        });
        QCOMPARE(RunNetworkSetup(
                     {"mobileshop", "--app-folder", env->appFolder(), "--settings-root", AppPaths::settingsRoot()}),
                 0);
        QCOMPARE(Settings::GetSetting(AppState::title(), "환경설정", "CSType"), QString("2"));
        AppState::reset();
        QVERIFY(modMain::InitApp());
        QVERIFY(IsServerDatabase());
        QCOMPARE(gDBFile, env->server.describe());
    }

    // Two PCs starting at once on an empty server database both open it, the tables made once.
    void twoPcsPrepareAnEmptyDatabaseAtOnce() {
        for (int round = 0; round < 5; ++round) {
            QString error;
            const ServerConnection empty = TestServer::createDatabase(&error);
            QVERIFY2(empty.complete(), qPrintable(error));
            std::atomic<int> ready = 0;
            bool ok[2] = {false, false};
            QString why[2];
            const auto pc = [&](int i) {
                {
                    QSqlDatabase db = TestServer::addConnection(empty, QStringLiteral("pc%1").arg(i));
                    if (db.open()) {
                        for (++ready; ready < 2;) // both connected before either looks
                            std::this_thread::yield();
                        ok[i] = Schema::prepareServerDatabase(db, Schema::kPassword, &why[i]);
                    } else {
                        ++ready;
                        why[i] = db.lastError().text();
                    }
                }
                QSqlDatabase::removeDatabase(QStringLiteral("pc%1").arg(i));
            };
            std::thread first(pc, 0), second(pc, 1);
            first.join();
            second.join();
            QVERIFY2(ok[0] && ok[1], qPrintable(why[0] + " / " + why[1]));
        }
    }
};

QTEST_MAIN(TestServerStartup)
#include "tst_server_startup.moc"
