#include "AppState.h"
#include "EnvFixture.h"
#include "LocalHttpServer.h"
#include "PostcodeDownload.h"
#include "PostcodeFixture.h"
#include "PostcodeUpdate.h"
#include "Settings.h"
#include "Spread.h"
#include "frmZipcode.h"
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace FolderFiles;

namespace {
const QString kQuestion = QStringLiteral("정말 최신 우편번호로 업그레이드 하시겠습니까?\r\n\r\n"
                                         "컴퓨터환경에 따라 수분의 시간이 소요될수 있으며,\r\n"
                                         "업그레이드 도중 다른작업은 할 수 없습니다.");
const QString kFailed = QStringLiteral("우편번호 최신 업그레이드 실패하였습니다.");
} // namespace

class TestPostcodeUpdate : public EnvFixture {
    Q_OBJECT
    void setUp() override {
        server = std::make_unique<LocalHttpServer>();
        QVERIFY(server->isListening());
        QVERIFY(server->baseUrl().startsWith("http://127.0.0.1:"));
        Settings::SaveSetting(AppState::title(), "Postcode", "UpdateServer", server->baseUrl() + "/");
        PostcodeFixture::makeDatabase(dbFile());
    }
    void tearDown() override { server.reset(); }
    std::unique_ptr<LocalHttpServer> server;
    QString dbs() const { return env->appFolder() + "/DBS"; }
    QString dbFile() const { return dbs() + "/dbPost.db"; }

    QTemporaryDir scratch; // what the data functions make, before init() runs
    // A newer database: one town more than the installed one.
    QByteArray newDatabase() {
        const QString file = scratch.path() + "/new.db";
        QFile::remove(file);
        PostcodeFixture::makeDatabase(file, PostcodeFixture::sampleText() + "04524|서울특별시|중구|명동|1~50\n");
        return readAll(file);
    }
    QByteArray archive(const QMap<QString, QByteArray> &entries) {
        const QString file = scratch.path() + "/made.zip";
        PostcodeFixture::makeZip(file, entries);
        const QByteArray bytes = readAll(file);
        QFile::remove(file);
        return bytes;
    }
    void serve(const LocalHttpServer::Reply &reply) { server->route(PostcodeUpdate::kArchivePath, reply); }

    // Answers Yes and runs the update in a window searching for 명동.
    void runUpdate(frmZipcode &w) {
        w.txtInput->setText("명동");
        env->prompter.answerYes();
        w.btnDBUpdate->click();
        QCOMPARE(env->prompter.boxes().first().text, kQuestion);
        QCOMPARE(env->prompter.boxes().first().yesIsDefault, false);
    }

private Q_SLOTS:
    void addressIsOurSetting() {
        QCOMPARE(PostcodeUpdate::archiveUrl().toString(), server->baseUrl() + "/download/zipcode/adozip/dbPost.zip");
        // None set: the button says so and where, before asking anything or touching the database.
        for (const QString &unset : {QString(), QString(" ")}) {
            if (unset.isNull())
                Settings::DeleteSetting(AppState::title(), "Postcode", "UpdateServer");
            else
                Settings::SaveSetting(AppState::title(), "Postcode", "UpdateServer", unset);
            env->prompter.clear();
            frmZipcode w;
            QCOMPARE(w.InitForm("역삼"), 2);
            w.btnDBUpdate->click();
            QCOMPARE(env->prompter.texts(),
                     QStringList{"우편번호 업데이트 서버가 설정되어 있지 않습니다.\r\n설정 파일 " +
                                 Settings::storeFile(AppState::title()) +
                                 "의 [Postcode] 항목에 UpdateServer=서버 주소(예: https://서버이름)를 넣으세요."});
            QVERIFY(w.hasConnection());
        }
    }

    void noKeepsEverything() {
        frmZipcode w;
        QCOMPARE(w.InitForm("역삼"), 2);
        env->prompter.answerNo();
        w.btnDBUpdate->click();
        QCOMPARE(env->prompter.boxes().size(), 1);
        QCOMPARE(env->prompter.boxes()[0].icon, Prompter::Icon::Question);
        QVERIFY(server->requests().isEmpty());
        QVERIFY(w.hasConnection());
        QCOMPARE(w.spList->maxRows(), 3);
        QCOMPARE(w.RefreshSheet(), 3);
    }

    void goodArchiveReplacesTheDatabase() {
        serve({200, archive({{"dbPost.db", newDatabase()}})});
        frmZipcode w;
        QCOMPARE(w.InitForm("명동"), 0);
        runUpdate(w);
        QCOMPARE(env->prompter.texts().last(), QString("우편번호 최신 업그레이드가 정상적으로 완료 되었습니다."));
        QCOMPARE(server->requests(), QStringList{"/download/zipcode/adozip/dbPost.zip"});
        QCOMPARE(QDir(dbs()).entryList(QDir::Files | QDir::Hidden), QStringList{"dbPost.db"});
        // Reopened on the new database, the search shown again.
        QVERIFY(w.hasConnection());
        QCOMPARE(w.spList->maxRows(), 1);
        QCOMPARE(w.InitForm("명동"), 1);
        QCOMPARE(w.Post(), QString("04524"));
    }

    void failuresKeepTheOldDatabase_data() {
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<qint64>("dropAfter");
        QTest::addColumn<QString>("why");
        const QByteArray good = archive({{"dbPost.db", newDatabase()}});
        QByteArray damaged = good;
        for (qsizetype i = damaged.size() / 2; i < damaged.size() / 2 + 8; ++i)
            damaged[i] = char(damaged[i] ^ 0x55);
        QByteArray noTable;
        {
            const QString file = scratch.path() + "/other.db";
            QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "other");
            db.setDatabaseName(file);
            QVERIFY(db.open());
            QSqlQuery(db).exec("CREATE TABLE Other (ZIPCODE TEXT)");
            QSqlQuery(db).exec("INSERT INTO Other VALUES ('1')");
            db.close();
            noTable = readAll(file);
        }
        QSqlDatabase::removeDatabase("other");
        QTest::newRow("404") << 404 << QByteArray("missing") << qint64(-1) << "HTTP 404";
        QTest::newRow("dropped halfway") << 200 << good << good.size() / 2 << "끊겼습니다";
        QTest::newRow("damaged archive") << 200 << damaged << qint64(-1) << "손상";
        QTest::newRow("not an archive") << 200 << QByteArray(4096, 'z') << qint64(-1) << "손상";
        QTest::newRow("archive without the database")
            << 200 << archive({{"readme.txt", "hello"}}) << qint64(-1) << "dbPost.db이(가) 없습니다";
        QTest::newRow("database without the table")
            << 200 << archive({{"dbPost.db", noTable}}) << qint64(-1) << "Post 테이블이 없습니다";
        QTest::newRow("not a database") << 200 << archive({{"dbPost.db", QByteArray(8192, 'q')}}) << qint64(-1) << "";
    }
    void failuresKeepTheOldDatabase() {
        QFETCH(int, status);
        QFETCH(QByteArray, body);
        QFETCH(qint64, dropAfter);
        QFETCH(QString, why);
        LocalHttpServer::Reply reply{status, body};
        reply.dropAfter = dropAfter;
        serve(reply);
        const QByteArray before = readAll(dbFile());
        frmZipcode w;
        runUpdate(w);
        const auto &last = env->prompter.boxes().last();
        QVERIFY2(last.text.startsWith(kFailed + "\r\n"), qPrintable(last.text));
        QVERIFY2(last.text.contains(why), qPrintable(last.text));
        QCOMPARE(readAll(dbFile()), before);
        QCOMPARE(QDir(dbs()).entryList(QDir::Files | QDir::Hidden), QStringList{"dbPost.db"});
        QVERIFY(w.hasConnection());
        QCOMPARE(w.InitForm("역삼"), 2);
    }

    void noServer() {
        const QString url = server->baseUrl();
        server.reset(); // nobody listens on that port now
        server = std::make_unique<LocalHttpServer>();
        Settings::SaveSetting(AppState::title(), "Postcode", "UpdateServer", url);
        const QByteArray before = readAll(dbFile());
        frmZipcode w;
        runUpdate(w);
        QVERIFY(env->prompter.texts().last().startsWith(kFailed));
        QCOMPARE(readAll(dbFile()), before);
        QCOMPARE(QDir(dbs()).entryList(QDir::Files | QDir::Hidden), QStringList{"dbPost.db"});
    }

    void cancelStopsTheDownload() {
        LocalHttpServer::Reply slow{200, QByteArray(4 << 20, 'x')};
        slow.pieceSize = 4096;
        slow.paceMs = 20;
        serve(slow);
        const QByteArray before = readAll(dbFile());
        frmZipcode w;
        bool sawDialog = false;
        QTimer poke;
        connect(&poke, &QTimer::timeout, &w, [&] {
            if (QProgressDialog *p = w.progress(); p && p->isVisible()) {
                sawDialog = true;
                p->cancel();
            }
        });
        poke.start(100);
        QElapsedTimer timer;
        timer.start();
        runUpdate(w);
        QVERIFY(sawDialog);
        QVERIFY(timer.elapsed() < 10000); // the whole body would take 20 s
        QVERIFY(env->prompter.texts().last().contains("취소"));
        QCOMPARE(readAll(dbFile()), before);
        QCOMPARE(QDir(dbs()).entryList(QDir::Files | QDir::Hidden), QStringList{"dbPost.db"});
    }

    // A server offering more than any postal-code archive is stopped at once: its header
    // promises the whole body, of which it sends a megabyte.
    void oversizedDownloadStopsAtTheCap() {
        LocalHttpServer::Reply huge{200, QByteArray(PostcodeUpdate::kMaxArchiveBytes + 1, 'x')};
        huge.dropAfter = 1 << 20;
        serve(huge);
        const QByteArray before = readAll(dbFile());
        frmZipcode w;
        runUpdate(w);
        QVERIFY2(
            env->prompter.texts().last().contains("파일이 너무 커서 내려받기를 멈췄습니다. 우편번호 자료는 256 MB를"),
            qPrintable(env->prompter.texts().last()));
        QCOMPARE(readAll(dbFile()), before);
        QCOMPARE(QDir(dbs()).entryList(QDir::Files | QDir::Hidden), QStringList{"dbPost.db"});
    }

    void silentServerTimesOut() {
        LocalHttpServer::Reply stalled{200, QByteArray(100000, 'x')};
        stalled.pieceSize = 100;
        stalled.paceMs = 60000;
        serve(stalled);
        const QString file = env->root() + "/part.zip";
        PostcodeDownload::Options options;
        options.timeoutMs = 300;
        QElapsedTimer timer;
        timer.start();
        const auto result = PostcodeDownload::fetch(PostcodeUpdate::archiveUrl(), file, options);
        QVERIFY(!result.ok);
        QVERIFY(timer.elapsed() < 5000);
        QVERIFY2(result.message.contains("응답이 없어"), qPrintable(result.message));
        QVERIFY(!QFileInfo::exists(file));
    }
};

QTEST_MAIN(TestPostcodeUpdate)
#include "tst_postcode_update.moc"
