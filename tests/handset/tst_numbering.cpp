#include "AppState.h"
#include "EnvFixture.h"
#include "HandsetSave.h"
#include "Schema.h"
#include "TestServer.h"
#include "modMDB_Func.h"
#include <QCoreApplication>
#include <QProcess>
#include <QSet>
#include <QTest>
#include <QThread>

using namespace modMDB_Func;

namespace {
std::array<QString, 9> handset(const QString &code, const QString &mid) {
    return {code, mid, QStringLiteral("2024"), QString(), QString(), QString(), QString(), QString(), QString()};
}

// The database a child process is given: the file, or the server database's name.
bool openNamed(const QString &database) {
    if (!TestEnv::onServer())
        return OpenDB(database, Schema::kPassword, false, false);
    ServerConnection c = TestServer::maintenance();
    c.database = database;
    return OpenServerDB(c, Schema::kPassword, false, false);
}

// Child process: saves count new handsets with automatic numbering into the database. With
// a count of 0 it saves one inside a transaction it never ends, and waits to be killed.
int runWorker(const QString &database, int count, const QString &tag) {
    TestEnv env;
    if (!openNamed(database))
        return 3;
    if (count == 0) {
        InTransaction([&] {
            if (HandsetSave::insert(handset({}, tag), true, 6).status != HandsetSave::Result::Saved)
                return false;
            fprintf(stdout, "inserted\n");
            fflush(stdout);
            QThread::sleep(60);
            return false;
        });
        return 5;
    }
    for (int i = 0; i < count; ++i) {
        const HandsetSave::Result r =
            HandsetSave::insert(handset({}, QStringLiteral("%1-%2").arg(tag).arg(i)), true, 6);
        if (r.status != HandsetSave::Result::Saved) {
            fprintf(stderr, "save %d: status %d %s\n", i, int(r.status), qPrintable(r.errorText));
            return 4;
        }
    }
    DBTerminate();
    return 0;
}
} // namespace

class TestNumbering : public EnvFixture {
    Q_OBJECT
    void setUp() override { QVERIFY(env->openFreshDatabase()); }
    void tearDown() override { DBTerminate(); }
    QString database() const { return TestEnv::onServer() ? env->server.database : env->databaseFile(); }
    int rows() const { return GetValue("SELECT COUNT(*) FROM t_mobile").toInt(); }

private Q_SLOTS:

    void twoProgramsNeverShareANumber() {
        DBTerminate();
        const int each = 500;
        QProcess a, b;
        const QStringList common{"--worker", database(), QString::number(each)};
        a.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        b.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        a.start(QCoreApplication::applicationFilePath(), common + QStringList{"A"});
        b.start(QCoreApplication::applicationFilePath(), common + QStringList{"B"});
        QVERIFY(a.waitForFinished(120000));
        QVERIFY(b.waitForFinished(120000));
        QCOMPARE(a.exitCode(), 0);
        QCOMPARE(b.exitCode(), 0);
        QVERIFY(env->reopenDatabase());
        Recordset rs;
        QCOMPARE(OpenRecordset(rs, "SELECT mcode FROM t_mobile WHERE code <> 1"), 2 * each);
        QSet<QString> codes;
        for (int r = 0; r < rs.recordCount(); ++r)
            codes.insert(rs.at(r, 0).toString());
        QCOMPARE(codes.size(), 2 * each);
        QVERIFY(codes.contains("000001") && codes.contains("001000"));
    }

    void typedNumberInUseSavesNothing() {
        QCOMPARE(HandsetSave::insert(handset("000007", "X-1"), false, 6).status, HandsetSave::Result::Saved);
        const HandsetSave::Result r = HandsetSave::insert(handset("000007", "X-2"), false, 6);
        QCOMPARE(r.status, HandsetSave::Result::DuplicateCode);
        QCOMPARE(r.code, QString("000007"));
        QCOMPARE(rows(), 2);
        // Nor can any other path write it twice: the index refuses, compared as typed or not.
        QCOMPARE(ExecuteSQL("INSERT INTO t_mobile (mcode, mid) VALUES ('000007', 'X-3')", true), 0);
        QCOMPARE(HandsetSave::insert(handset("ab1", "X-4"), false, 6).status, HandsetSave::Result::Saved);
        QCOMPARE(HandsetSave::insert(handset("AB1", "X-5"), false, 6).status, HandsetSave::Result::DuplicateCode);
        QCOMPARE(rows(), 3);
    }

    void automaticNumberStepsPastOneTakenUnderIt() {
        // A writer that slips a row in with the number just handed out, as another path could.
        QCOMPARE(ExecuteSQL(TestEnv::onServer()
                                ? "CREATE FUNCTION slip() RETURNS trigger LANGUAGE plpgsql AS $$ BEGIN"
                                  " INSERT INTO t_mobile (mcode, mid) VALUES ('000001', 'other'); RETURN NEW; END $$;"
                                  " CREATE TRIGGER slip BEFORE INSERT ON t_mobile FOR EACH ROW"
                                  " WHEN (NEW.mcode = '000001' AND NEW.mid <> 'other') EXECUTE FUNCTION slip()"
                                : "CREATE TRIGGER slip BEFORE INSERT ON t_mobile WHEN NEW.mcode = '000001' AND "
                                  "NEW.mid <> 'other' BEGIN INSERT INTO t_mobile (mcode, mid) VALUES ('000001', "
                                  "'other'); END"),
                 0);
        const HandsetSave::Result r = HandsetSave::insert(handset({}, "T-1"), true, 6);
        QCOMPARE(r.status, HandsetSave::Result::Saved);
        QCOMPARE(r.code, QString("000002"));
        QCOMPARE(GetValue(QString("SELECT mcode FROM t_mobile WHERE code = %1").arg(r.key)).toString(),
                 QString("000002"));
    }

    void failedInsertLeavesNothingBehind() {
        ExecuteSQL(TestEnv::onServer()
                       ? "CREATE FUNCTION refuse() RETURNS trigger LANGUAGE plpgsql AS $$ BEGIN"
                         " RAISE EXCEPTION 'no room'; END $$;"
                         " CREATE TRIGGER refuse AFTER INSERT ON t_mobile FOR EACH ROW EXECUTE FUNCTION refuse()"
                       : "CREATE TRIGGER refuse AFTER INSERT ON t_mobile BEGIN SELECT RAISE(ABORT, 'no room'); END");
        const HandsetSave::Result r = HandsetSave::insert(handset({}, "F-1"), true, 6);
        QCOMPARE(r.status, HandsetSave::Result::Failed);
        QVERIFY(r.errorText.contains("no room"));
        QCOMPARE(rows(), 1);
        // The write lock went with the transaction: a plain statement works at once.
        QCOMPARE(ExecuteSQL(TestEnv::onServer() ? "DROP TRIGGER refuse ON t_mobile" : "DROP TRIGGER refuse"), 0);
        QCOMPARE(HandsetSave::insert(handset({}, "F-2"), true, 6).status, HandsetSave::Result::Saved);
    }

    void programKilledMidSaveLosesOnlyItsOwnRow() {
        QCOMPARE(HandsetSave::insert(handset({}, "before"), true, 6).status, HandsetSave::Result::Saved);
        DBTerminate();
        QProcess victim;
        victim.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        // Killed, it cannot remove its temporary folder: it makes it inside this case's.
        QProcessEnvironment inCase = QProcessEnvironment::systemEnvironment();
        inCase.insert("TMPDIR", env->root());
        victim.setProcessEnvironment(inCase);
        victim.start(QCoreApplication::applicationFilePath(), {"--worker", database(), "0", "victim"});
        QTRY_VERIFY_WITH_TIMEOUT(victim.canReadLine() || victim.state() == QProcess::NotRunning, 20000);
        QCOMPARE(victim.readLine(), QByteArray("inserted\n"));
        victim.kill(); // SIGKILL: no rollback of its own, no goodbye to the database
        QVERIFY(victim.waitForFinished(10000));
        // Its uncommitted row is gone, what was saved before stays, and its lock went with it.
        setBusyTimeout(3000);
        QVERIFY(env->reopenDatabase());
        QCOMPARE(GetValue("SELECT COUNT(*) FROM t_mobile WHERE mid = 'victim'").toInt(), 0);
        QCOMPARE(GetValue("SELECT COUNT(*) FROM t_mobile WHERE mid = 'before'").toInt(), 1);
        const HandsetSave::Result r = HandsetSave::insert(handset({}, "after"), true, 6);
        setBusyTimeout(10000);
        QCOMPARE(r.status, HandsetSave::Result::Saved);
        QCOMPARE(r.code, QString("000002"));
    }
};

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    if (argc == 5 && QByteArray(argv[1]) == "--worker")
        return runWorker(QString::fromLocal8Bit(argv[2]), QByteArray(argv[3]).toInt(), QString::fromLocal8Bit(argv[4]));
    TestNumbering t;
    return QTest::qExec(&t, argc, argv);
}

#include "tst_numbering.moc"
