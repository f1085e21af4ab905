#include "AppState.h"
#include "ServerConnection.h"
#include "Settings.h"
#include "TestEnv.h"
#include "modMDB_Func.h"
#include "modMain.h"
#include <QFile>
#include <QTest>

using namespace modMDB_Func;

// Start-up with the database on a server: what the setup window stored is what opens.
class TestServerStartup : public QObject {
    Q_OBJECT
    std::unique_ptr<TestEnv> env;

private Q_SLOTS:
    void init() {
        env = std::make_unique<TestEnv>();
        QVERIFY(env->openFreshDatabase()); // stores the connection as the setup window does
        DBTerminate();
    }
    void cleanup() { env.reset(); }

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

    void incompleteOrWrongSettingsAreRefusedWithReason() {
        ServerConnection c = env->server;
        c.database.clear();
        QVERIFY(c.save());
        QVERIFY(!modMain::InitApp());
        QVERIFY(env->prompter.texts().last().startsWith("DB 서버 접속 설정이 없습니다."));

        c = env->server;
        c.password = "wrong";
        QVERIFY(c.save());
        QVERIFY(!modMain::InitApp());
        QVERIFY2(
            env->prompter.texts().last().startsWith("DB 연결 실패\r\n91 : 데이터베이스 서버에 연결할 수 없습니다.") &&
                env->prompter.texts().last().contains("password authentication failed"),
            qPrintable(env->prompter.texts().last()));
        QVERIFY(!IsOpen());

        QString version, error;
        QVERIFY(!ServerTest::tryConnect(c, &version, &error));
        QVERIFY(error.contains("password authentication failed"));
        QVERIFY(ServerTest::tryConnect(env->server, &version, &error));
        QVERIFY(version.startsWith("PostgreSQL "));
    }
};

QTEST_MAIN(TestServerStartup)
#include "tst_server_startup.moc"
