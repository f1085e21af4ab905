#include "AppState.h"
#include "BackupArchive.h"
#include "DbBackend.h"
#include "EngineReasons.h"
#include "EnvFixture.h"
#include "ErrorBox.h"
#include "Recordset.h"
#include "RepeatedSql.h"
#include "Schema.h"
#include "ServerConnection.h"
#include "Settings.h"
#include "SqlLog.h"
#include "modMDB_Func.h"
#include "modMain.h"
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QProcess>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSysInfo>
#include <QTest>
#include <QThread>
#include <memory>

using namespace modMDB_Func;

class TestDb : public EnvFixture {
    Q_OBJECT
    void setUp() override { QVERIFY(env->openFreshDatabase()); }

    QString dbFile() const { return env->databaseFile(); }
    void insertCodes(const QStringList &codes) {
        for (const QString &c : codes)
            QCOMPARE(ExecuteSQL(QString("INSERT INTO t_mobile (mcode) VALUES ('%1')").arg(c)), 1);
    }

    // The mark a program of this PC leaves while it has the file open, left by one that is gone.
    void leaveMarkOfAProgramThatCrashed() {
        QProcess gone;
        gone.start("sleep", {"0.1"});
        QVERIFY(gone.waitForStarted());
        const qint64 pid = gone.processId();
        QVERIFY(gone.waitForFinished());
        QString host = QSysInfo::machineHostName();
        host.replace(QRegularExpression("[^A-Za-z0-9_]"), "_");
        QFile mark(QFileInfo(dbFile()).absolutePath() + "/.dbMain.db.open-" + host + "-" + QString::number(pid));
        QVERIFY(mark.open(QIODevice::WriteOnly));
    }
    QStringList marks() const {
        return QDir(QFileInfo(dbFile()).absolutePath()).entryList({".dbMain.db.open-*"}, QDir::Files | QDir::Hidden);
    }

private Q_SLOTS:

    void freshDatabaseHasSeed() {
        Recordset rs;
        QCOMPARE(OpenRecordset(rs, "SELECT loginid, loginpwd, code FROM local_user"), 1);
        QCOMPARE(rs.text("LOGINID"), QString("ADMIN"));
        QCOMPARE(rs.text("loginpwd"), QString());
        QCOMPARE(GetValue("SELECT COUNT(*) FROM t_mobile WHERE code = 1").toInt(), 1);
        QCOMPARE(OpenRecordset(rs, "SELECT * FROM options"), 0);
    }

    void passwordIsChecked() {
        DBTerminate();
        QVERIFY(!env->reopenDatabase("wrong"));
        QCOMPARE(env->prompter.boxes().size(), 1);
        QCOMPARE(env->prompter.boxes().last().title, QString("오류"));
        QCOMPARE(env->prompter.boxes().last().icon, Prompter::Icon::Warning);
        QVERIFY(env->prompter.texts().last().startsWith("DB 연결 실패\r\n-2147217843 : "));
        QVERIFY(!IsOpen());
        QVERIFY(!env->reopenDatabase(""));
        QVERIFY(env->reopenDatabase());
        QCOMPARE(env->prompter.boxes().size(), 2);
    }

    void missingFileIsNotCreated() {
        DBTerminate();
        if (TestEnv::onServer()) {
            // A database the server does not have is refused, not made.
            ServerConnection elsewhere = env->server;
            elsewhere.database = "nothere";
            QVERIFY(!OpenServerDB(elsewhere, Schema::kPassword, false, false));
            QVERIFY2(env->prompter.texts().last().startsWith(
                         "DB 연결 실패\r\n91 : 데이터베이스 서버에 연결할 수 없습니다. ") &&
                         env->prompter.texts().last().contains("nothere"),
                     qPrintable(env->prompter.texts().last()));
            QVERIFY(!IsOpen());
            QVERIFY(env->reopenDatabase());
            QVERIFY(!GetValue("SELECT COUNT(*) FROM pg_database WHERE datname = 'nothere'").toInt());
            return;
        }
        const QString missing = env->appFolder() + "/DBS/nothere.db";
        QVERIFY(!OpenDB(missing, Schema::kPassword, false, false));
        QVERIFY(!QFile::exists(missing));
        QVERIFY(env->prompter.texts().last().startsWith("DB 연결 실패"));
    }

    void recordsetCountsAndErrorBoxes() {
        Recordset rs;
        QCOMPARE(OpenRecordset(rs, "SELECT * FROM t_mobile WHERE code > 1"), 0);
        QVERIFY(rs.isOpen());
        insertCodes({"000001", "000002"});
        QCOMPARE(OpenRecordset(rs, "SELECT mcode FROM t_mobile WHERE code > 1 ORDER BY mcode"), 2);
        QCOMPARE(rs.text("mcode"), QString("000001"));
        rs.moveNext();
        QCOMPARE(rs.text("mcode"), QString("000002"));
        rs.moveNext();
        QVERIFY(rs.eof());

        QCOMPARE(OpenRecordset(rs, "SELECT * FROM no_table"), -1);
        QCOMPARE(env->prompter.boxes().last().title, QString("Query"));
        QCOMPARE(env->prompter.texts().last(),
                 QString("Jet Data Base Engine의 식을 확인하세요.\rSELECT * FROM no_table"));
        QCOMPARE(OpenRecordset(rs, "SELEKT 1"), -1);
        QCOMPARE(env->prompter.boxes().last().title, QString("ERROR"));
        QVERIFY(env->prompter.texts().last().endsWith("\rSELEKT 1"));
        DBTerminate();
        QCOMPARE(OpenRecordset(rs, "SELECT 1"), -1);
        QCOMPARE(env->prompter.boxes().last().title, QString("MDB 오류"));
        QCOMPARE(env->prompter.texts().last(), QString("Data Base MDB가 선언되지 않았습니다.\rSELECT 1"));
    }

    // The engine's own fast reader and Qt's generic one, which a driver without the fast
    // reader takes, fill a recordset alike: values, types, empty and missing values, Korean.
    void fastAndGenericReadersAgree() {
        const bool server = TestEnv::onServer();
        ExecuteSQL(QString("CREATE TABLE mixed (n BIGINT, r %1, t TEXT, b %2, e TEXT)")
                       .arg(server ? "DOUBLE PRECISION" : "REAL", server ? "BYTEA" : "BLOB"));
        ExecuteSQL(QString("INSERT INTO mixed VALUES (1, 1.5, '갤럭시 ''S''', %1, ''),"
                           " (-9000000000, NULL, NULL, NULL, NULL), (3, -0.25, 'x', %2, 'y')")
                       .arg(server ? "'\\x00ff'::bytea" : "x'00ff'", server ? "''::bytea" : "x''"));
        // Texts a field had lately, at and past the length kept once, longer than a cell's
        // length field, and the same in a column of no declared type.
        const QStringList texts{"가나다",
                                "가나다",
                                "abcdefghijklmnopqrstuvwx",
                                "abcdefghijklmnopqrstuvwx",
                                "abcdefghijklmnopqrstuvwxy",
                                "ABC",
                                "abc",
                                QString(70000, QChar('x')),
                                "",
                                "가나다"};
        for (int i = 0; i < texts.size(); ++i)
            ExecuteSQL(QString("INSERT INTO mixed VALUES (%1, NULL, '%2', NULL, '%3')")
                           .arg(10 + i)
                           .arg(texts[i], texts[(i + 3) % texts.size()]));
        const QString sql = "SELECT n, r, t, b, e, t || e AS x FROM mixed ORDER BY n";
        const int rows = 3 + int(texts.size());
        Recordset fast, generic;
        QVERIFY(DbBackend::of(connection()).snapshot(connection(), sql, fast));
        QSqlQuery q(connection());
        q.setForwardOnly(true);
        QVERIFY(q.exec(sql));
        generic.load(q);
        QCOMPARE(fast.fields(), generic.fields());
        QCOMPARE(fast.recordCount(), rows);
        QCOMPARE(generic.recordCount(), rows);
        for (int row = 0; row < rows; ++row)
            for (int field = 0; field < 6; ++field) {
                const QVariant a = fast.at(row, field), b = generic.at(row, field);
                QVERIFY2(a.isNull() == b.isNull() && a.toString() == b.toString() && a.toByteArray() == b.toByteArray(),
                         qPrintable(
                             QString("row %1 field %2: %3 / %4").arg(row).arg(field).arg(a.toString(), b.toString())));
            }
        QCOMPARE(fast.at(1, 2).toString(), QString("갤럭시 'S'"));
        QCOMPARE(fast.at(1, 3).toByteArray(), QByteArray("\x00\xff", 2));
        QCOMPARE(fast.at(0, 0).toLongLong(), -9000000000LL);
        QVERIFY(fast.at(0, 1).isNull() && fast.at(0, 2).isNull() && fast.at(0, 4).isNull());
        QVERIFY(!fast.at(1, 4).isNull());
        QCOMPARE(fast.at(10, 2).toString(), QString(70000, QChar('x')));
        QCOMPARE(fast.at(12, 2).toString(), QString("가나다"));
        QCOMPARE(fast.at(12, 5).toString(), QString("가나다abcdefghijklmnopqrstuvwx"));
    }

    void executeReportsAndReRaises() {
        QCOMPARE(ExecuteSQL("UPDATE missing_table SET a = 1", true), 0);
        QCOMPARE(env->prompter.boxes().size(), 0);
        QCOMPARE(ExecuteSQL("UPDATE missing_table SET a = 1"), 0);
        QVERIFY2(env->prompter.texts().last().startsWith("Error 3011: "), qPrintable(env->prompter.texts().last()));
        QFile errFile(env->root() + "/err.txt");
        QVERIFY(errFile.open(QIODevice::WriteOnly));
        bool thrown = false;
        try {
            ExecuteSQL("DELETE FROM missing_table", true, true, &errFile);
        } catch (const AppError &e) {
            thrown = e.number == 3011;
        }
        QVERIFY(thrown);
        errFile.close();
        QVERIFY(errFile.open(QIODevice::ReadOnly));
        QVERIFY(errFile.readAll().endsWith("\tDELETE FROM missing_table\r\n"));
    }

    void constraintAndAffectedCounts() {
        QCOMPARE(ExecuteSQL("INSERT INTO options (optname, optvalue) VALUES ('a', '1')"), 1);
        QCOMPARE(ExecuteSQL("INSERT INTO options (optname, optvalue) VALUES ('A', '2')"), 0); // names ignore case
        QVERIFY2(env->prompter.texts().last().startsWith("Error -2147467259: "),
                 qPrintable(env->prompter.texts().last()));
        // A statement that changes no rows reports none, whatever came before it.
        QCOMPARE(ExecuteSQL("CREATE TABLE scratch (a INTEGER)"), 0);
        QCOMPARE(ExecuteSQL("UPDATE options SET optvalue = optvalue"), 1);
        QCOMPARE(ExecuteSQL("SELECT * FROM options"), 0);
    }

    void readOnlyWriteNotice() {
        DBTerminate();
        QVERIFY(env->reopenDatabase(Schema::kPassword, true));
        QCOMPARE(ExecuteSQL("INSERT INTO options (optname, optvalue) VALUES ('a', 'b')"), 0);
        QCOMPARE(env->prompter.texts().last(), QString("읽기전용으로 DB가 열렸기 때문에 쓰기를 할 수 없습니다."));
    }

    void getValueAndIdentity() {
        QCOMPARE(GetValue("SELECT mcode FROM t_mobile WHERE code = 99"), QVariant(QString()));
        QCOMPARE(GetValue("SELECT NULL"), QVariant(QString()));
        ExecuteSQL("INSERT INTO t_mobile (mcode) VALUES ('000007')");
        const int id = GetIdentity();
        QVERIFY(id > 1);
        QCOMPARE(GetValue(QString("SELECT mcode FROM t_mobile WHERE code = %1").arg(id)).toString(), QString("000007"));
        QVERIFY_THROWS_EXCEPTION(AppError, GetValue("SELECT x FROM nowhere"));
    }

    void nextCodeWithoutPrefix() {
        QCOMPARE(GetNextCode("t_mobile", "mcode", 6), QString("000001"));
        insertCodes({"000041", "12345", "00009A", "0000420"});
        QCOMPARE(GetNextCode("t_mobile", "mcode", 6), QString("000042"));
        insertCodes({"999999"});
        QCOMPARE(GetNextCode("t_mobile", "mcode", 6), QString());
        QCOMPARE(env->prompter.texts().last(),
                 QString("해당 순번이 최대값을 넘어 자동으로 값을 구할 수가 없습니다.(t_mobile.mcode)"));
        QCOMPARE(GetNextCode("t_mobile", "mcode", 6, QString(), "mcode < '000100'"), QString("000042"));
    }

    void nextCodeWithPrefix() {
        QCOMPARE(GetNextCode("t_mobile", "mcode", 6, "AB"), QString("AB0001"));
        insertCodes({"AB0009", "AC0500", "0AB999"});
        QCOMPARE(GetNextCode("t_mobile", "mcode", 6, "AB"), QString("AB0010"));
        QCOMPARE(GetNextCode("t_mobile", "mcode", 6, "AC"), QString("AC0501"));
        // A prefix as long as the code reads nothing, even without a table.
        QCOMPARE(GetNextCode("no_table", "x", 6, "ABCDEF"), QString("ABCDEF"));
        insertCodes({"AB12X4"});
        QVERIFY_THROWS_EXCEPTION(AppError, GetNextCode("t_mobile", "mcode", 6, "AB"));
        // A quote in the prefix cannot break the statement.
        QCOMPARE(GetNextCode("t_mobile", "mcode", 6, "O'"), QString("O'0001"));
        // Nor do % and _ act as wildcards: "A%" must not pick up AX0007.
        insertCodes({"AX0007", "A%0003", "AB0099"});
        QCOMPARE(GetNextCode("t_mobile", "mcode", 6, "A%"), QString("A%0004"));
        QCOMPARE(GetNextCode("t_mobile", "mcode", 6, "A_"), QString("A_0001"));
        QCOMPARE(GetNextCode("t_mobile", "mcode", 6, "A\\"), QString("A\\0001"));
    }

    // SQLite's own words for its common failures each get a Korean reason and are kept after it.
    void sqliteReasonsAreSaidInKorean_data() {
        QTest::addColumn<QString>("engine");
        for (const char *text :
             {"database disk image is malformed", "file is not a database", "database is locked",
              "database table is locked", "attempt to write a readonly database", "database or disk is full",
              "unable to open database file", "access permission denied", "disk I/O error"})
            QTest::newRow(text) << QString(text);
    }
    void sqliteReasonsAreSaidInKorean() {
        QFETCH(QString, engine);
        const QString said = explainSqliteText(engine);
        QVERIFY2(said.front() >= QChar(0xAC00) && said.front() <= QChar(0xD7A3), qPrintable(said));
        QVERIFY(said.endsWith("\r\n(" + engine + ")"));
    }

    // A page damaged while a program crashed is refused at the next open, before anything is
    // written; after a clean close only the header and schema are read, so the start does not
    // grow with the catalogue, and the backup refuses to pack the damaged file instead.
    void damagedPageRefusedAtOpen() {
        if (TestEnv::onServer())
            QSKIP("The server keeps its own files; there is no database file here to damage.");
        QCOMPARE(marks().size(), 1); // this test's own, while open
        QVERIFY(InTransaction([] {
            for (int i = 0; i < 3000; ++i)
                ExecuteSQL(QString("INSERT INTO t_mobile (mcode, mid, model) VALUES ('%1', 'ID-%1', '%2')")
                               .arg(i, 6, 10, QChar('0'))
                               .arg(QString(40, QChar(0xAC00 + i % 100))));
            return true;
        }));
        DBTerminate();
        QFile f(dbFile());
        QVERIFY(f.open(QIODevice::ReadWrite));
        const qint64 pageSize = 4096, pages = f.size() / pageSize;
        QVERIFY(pages > 20);
        f.seek(pageSize * (pages / 2) + 8); // past the page header, into the cells
        f.write(QByteArray(512, char(0x5A)));
        f.close();
        QVERIFY(marks().isEmpty()); // closed cleanly
        QVERIFY(OpenDB(dbFile(), Schema::kPassword, false, false));
        // Asked for from the A/S box, the check reads every page and finds it.
        QVERIFY2(modMain::CheckOpenDatabase().startsWith("데이터베이스 파일이 손상되었습니다."),
                 qPrintable(modMain::CheckOpenDatabase()));
        // A search that meets a damaged page says so in Korean, not in the engine's words only.
        DBTerminate();
        QVERIFY(f.open(QIODevice::ReadWrite));
        f.seek(16);
        const QByteArray size = f.read(2);
        const qint64 realPage =
            (uchar(size[0]) << 8 | uchar(size[1])) == 1 ? 65536 : (uchar(size[0]) << 8 | uchar(size[1]));
        f.seek(realPage * (f.size() / realPage / 3)); // a page header of the handsets' table
        f.write(QByteArray(16, char(0xFF)));
        f.close();
        QVERIFY(OpenDB(dbFile(), Schema::kPassword, false, false));
        env->prompter.clear();
        Recordset rs;
        QCOMPARE(OpenRecordset(rs, "SELECT model FROM t_mobile ORDER BY model"), -1);
        QVERIFY2(!env->prompter.texts().isEmpty() &&
                     env->prompter.texts().last().contains("파일의 내용이 깨져 있습니다"),
                 qPrintable(env->prompter.texts().join('|')));
        DBTerminate();
        BackupArchive::Outcome packed =
            BackupArchive::create(QFileInfo(dbFile()).absolutePath(), env->root() + "/b.zip");
        QVERIFY(!packed.ok);
        QVERIFY2(packed.message.contains("데이터베이스가 손상되었습니다."), qPrintable(packed.message));
        QVERIFY(!QFile::exists(env->root() + "/b.zip"));

        leaveMarkOfAProgramThatCrashed();
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray before = f.readAll();
        f.close();

        QVERIFY(!OpenDB(dbFile(), Schema::kPassword, false, false));
        QCOMPARE(lastOpenProblem(), OpenProblem::Damaged);
        QVERIFY2(env->prompter.texts().last().startsWith(
                     "DB 연결 실패\r\n-2147467259 : 데이터베이스 파일이 손상되었습니다."),
                 qPrintable(env->prompter.texts().last()));
        QVERIFY(!IsOpen());
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), before); // nothing was written into it
    }

    void databaseLockedByAnotherProgram() {
        if (TestEnv::onServer())
            QSKIP("A server takes no lock at connect; waiting for another writer is secondWriterWaitsForLock.");
        DBTerminate();
        const QString holder = QStringLiteral("holder");
        {
            QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", holder);
            db.setDatabaseName(dbFile());
            QVERIFY(db.open());
            QSqlQuery q(db);
            QVERIFY(q.exec("BEGIN EXCLUSIVE"));
            QVERIFY(q.exec("UPDATE options SET optvalue = optvalue"));
            setBusyTimeout(300);
            QElapsedTimer t;
            t.start();
            QVERIFY(!OpenDB(dbFile(), Schema::kPassword, false, false));
            QVERIFY(t.elapsed() >= 300);
            QCOMPARE(lastOpenProblem(), OpenProblem::Locked);
            QVERIFY2(
                env->prompter.texts().last().startsWith("DB 연결 실패\r\n3261 : 다른 프로그램이 데이터베이스를 잠그고"),
                qPrintable(env->prompter.texts().last()));
            QVERIFY(q.exec("ROLLBACK"));
        }
        QSqlDatabase::removeDatabase(holder);
        QVERIFY(OpenDB(dbFile(), Schema::kPassword, false, false));
        setBusyTimeout(10000);
    }

    void quoting() {
        QCOMPARE(SqlQuote("O'Neil"), QString("O''Neil"));
        QCOMPARE(SqlQuote(QString("ab") + QChar(0) + "c'" + QChar(0)), QString("abc''"));
        QCOMPARE(SqlLikeEscape(QString("%") + QChar(0) + "_"), QString("\\%\\_"));
        QCOMPARE(SqlQuote("''"), QString("''''"));
        const QString evil = "x'); DELETE FROM t_mobile; --";
        QCOMPARE(ExecuteSQL(QString("INSERT INTO t_mobile (model) VALUES ('%1')").arg(SqlQuote(evil))), 1);
        QCOMPARE(GetValue(QString("SELECT COUNT(*) FROM t_mobile WHERE model = '%1'").arg(SqlQuote(evil))).toInt(), 1);
        QCOMPARE(GetValue("SELECT COUNT(*) FROM t_mobile").toInt(), 2);
    }

    void logLineEncoding() {
        QCOMPARE(EncodeLogLine("A"), QString("0041"));
        QCOMPARE(EncodeLogLine("\t"), QString("0900"));
        QCOMPARE(EncodeLogLine("AB"), QString("00410042"));
        QCOMPARE(EncodeLogLine(QString::fromUtf8("가")), QString("A1B0"));
        QCOMPARE(EncodeLogLine(QString::fromUtf8("A가")), QString("0041A1B0"));
    }

    void logRotatesOncePerDay() {
        DBTerminate();
        const QString today = SqlLog::fileFor(15);
        QCOMPARE(today, env->appFolder() + "/log/SQLLog_15.dat");
        QVERIFY(QDir(env->appFolder() + "/log").exists()); // created by the first open
        // Last month's file of the same day is deleted on the first open of the day ...
        Settings::SaveSetting(AppState::title(), "Config", "SQLLogLast", "2024-04-15");
        QFile old(today);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("old\r\n");
        old.close();
        QVERIFY(env->reopenDatabase(Schema::kPassword, false, true));
        QVERIFY(!QFile::exists(today));
        QCOMPARE(Settings::GetSetting(AppState::title(), "Config", "SQLLogLast"), QString("2024-05-15"));
        ExecuteSQL("DELETE FROM options");
        QFile log(today);
        QVERIFY(log.open(QIODevice::ReadOnly));
        const QByteArray line = log.readAll();
        log.close();
        QCOMPARE(line, (EncodeLogLine("240515103000\tDELETE FROM options; -> 0") + "\r\n").toLatin1());
        // ... and kept by a second open on the same day.
        QVERIFY(env->reopenDatabase());
        QVERIFY(QFile::exists(today));
        ExecuteSQL("DELETE FROM options"); // log off: nothing appended
        QCOMPARE(QFileInfo(today).size(), qint64(line.size()));
    }

    void logFolderThatCannotBeMadeFailsOpen() {
        DBTerminate();
        QDir(env->appFolder() + "/log").removeRecursively();
        QFile blocker(env->appFolder() + "/log");
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        QVERIFY(!env->reopenDatabase());
        QVERIFY(env->prompter.texts().last().startsWith("DB 연결 실패"));
        QVERIFY(!IsOpen());
    }

    void secondWriterWaitsForLock() {
        // Another program holds a write lock for a moment; our statement waits, then succeeds.
        // The other thread only reports; the checks are made here, where a failure ends the case.
        QCOMPARE(ExecuteSQL("INSERT INTO options (optname, optvalue) VALUES ('shared', '0')"), 1);
        std::atomic<int> locked{0};
        std::atomic<bool> committed{false};
        const auto waitAndDelete = [](QThread *t) {
            t->wait();
            delete t;
        };
        std::unique_ptr<QThread, decltype(waitAndDelete)> thread(
            QThread::create([&] {
                {
                    QSqlDatabase db = env->addOtherConnection("other");
                    QSqlQuery q(db);
                    const bool ok = db.open() && q.exec(TestEnv::beginExclusiveSql()) &&
                                    q.exec("UPDATE options SET optvalue = '1' WHERE optname = 'shared'");
                    locked = ok ? 1 : -1;
                    if (ok) {
                        QThread::msleep(600);
                        committed = q.exec("COMMIT");
                    }
                    db.close();
                }
            }),
            waitAndDelete);
        thread->start();
        QTRY_VERIFY_WITH_TIMEOUT(locked != 0, 10000);
        QCOMPARE(locked.load(), 1);
        QElapsedTimer t;
        t.start();
        QCOMPARE(ExecuteSQL("UPDATE options SET optvalue = '2' WHERE optname = 'shared'"), 1);
        QVERIFY(t.elapsed() >= 300);
        thread.reset();
        QSqlDatabase::removeDatabase("other");
        QVERIFY(committed);
        QCOMPARE(GetValue("SELECT optvalue FROM options WHERE optname = 'shared'").toString(), QString("2"));
    }

    void textComparesWithoutCaseButPasswordsWithIt() {
        // Names and codes match whatever case was typed, on every engine; passwords do not.
        QCOMPARE(GetValue("SELECT COUNT(*) FROM local_user WHERE loginid = 'admin'").toInt(), 1);
        QCOMPARE(ExecuteSQL("UPDATE local_user SET loginpwd = 'Secret' WHERE loginid = 'Admin'"), 1);
        QCOMPARE(GetValue("SELECT COUNT(*) FROM local_user WHERE loginpwd = 'secret'").toInt(), 0);
        insertCodes({"ab0001"});
        QCOMPARE(ExecuteSQL("UPDATE t_mobile SET model = 'Galaxy' WHERE mcode = 'AB0001'"), 1);
        QCOMPARE(GetValue("SELECT COUNT(*) FROM t_mobile WHERE model LIKE 'gal%'").toInt(), 1);
        QCOMPARE(GetValue("SELECT COUNT(*) FROM t_mobile WHERE model LIKE '%AX%'").toInt(), 1);
        // The unique code ignores case as the lookups do.
        QCOMPARE(ExecuteSQL("INSERT INTO t_mobile (mcode) VALUES ('AB0001')", true), 0);
    }

    void lostServerIsReportedThenMended() {
        if (!TestEnv::onServer())
            QSKIP("A file has no link to lose; this is the server's case.");
        insertCodes({"000001"});
        const int pid = GetValue("SELECT pg_backend_pid()").toInt();
        {
            QSqlDatabase admin = env->addOtherConnection("admin");
            QVERIFY(admin.open());
            QSqlQuery q(admin);
            QVERIFY(q.exec(QString("SELECT pg_terminate_backend(%1)").arg(pid)));
            const auto gone = [&] {
                return q.exec(QString("SELECT COUNT(*) FROM pg_stat_activity WHERE pid = %1").arg(pid)) && q.next() &&
                       q.value(0).toInt() == 0;
            };
            QTRY_VERIFY_WITH_TIMEOUT(gone(), 5000);
            q.finish();
            admin.close();
        }
        QSqlDatabase::removeDatabase("admin");
        Recordset rs;
        QCOMPARE(OpenRecordset(rs, "SELECT mcode FROM t_mobile WHERE code > 1"), -1);
        QVERIFY2(
            env->prompter.texts().last().startsWith("DB 연결 실패\r\n91 : 데이터베이스 서버와의 연결이 끊어졌습니다."),
            qPrintable(env->prompter.texts().last()));
        // The next try connects again: nothing saved before is lost, and saving works.
        QCOMPARE(OpenRecordset(rs, "SELECT mcode FROM t_mobile WHERE code > 1"), 1);
        QCOMPARE(ExecuteSQL("INSERT INTO t_mobile (mcode) VALUES ('000002')"), 1);
        QVERIFY(GetValue("SELECT pg_backend_pid()").toInt() != pid);
    }

    // One statement prepared once and run with other values each time, on either engine: every
    // run binds its own values, counts its own rows, and a refused run is the engine's error.
    void repeatedStatement() {
        struct Run {
            QString name, value, stored;
        };
        const Run runs[] = {{"plain", "1", "1"},
                            {"quote", "it's ? -- ;", "it's ? -- ;"},
                            {"nul", QString("a") + QChar(0) + "b", "ab"},
                            {"null text", QString(), ""},
                            {"한글", "가나다", "가나다"}};
        const auto stored = [] {
            Recordset rs;
            OpenRecordset(rs, "SELECT optname, optvalue FROM options ORDER BY optname");
            QMap<QString, QString> out;
            for (int r = 0; r < rs.recordCount(); ++r)
                out.insert(rs.at(r, 0).toString(), rs.at(r, 1).toString());
            return out;
        };
        QMap<QString, QString> expected;
        QVERIFY(InTransaction([&] {
            RepeatedSql insert("INSERT INTO options (optname, optvalue) VALUES (?, ?)");
            RepeatedSql update("UPDATE options SET optvalue = ? WHERE optname IN (?, ?)");
            for (const Run &r : runs) {
                if (insert.run({r.name, r.value}) != 1)
                    return false;
                expected.insert(r.name, r.stored);
            }
            const int none = update.run({"x", "missing", "absent"});
            const int two = update.run({"2", "plain", "quote"});
            expected["plain"] = expected["quote"] = "2";
            return none == 0 && two == 2;
        }));
        QCOMPARE(stored(), expected);
        QCOMPARE(GetValue("SELECT COUNT(*) FROM options WHERE optvalue IS NULL").toInt(), 0);
        // A name the table has already (its names ignore case): refused as a repeated key, and
        // the transaction given up keeps nothing of its runs.
        bool duplicate = false;
        QVERIFY(!InTransaction([&] {
            RepeatedSql insert("INSERT INTO options (optname, optvalue) VALUES (?, ?)");
            insert.run({"new", "1"});
            try {
                insert.run({"PLAIN", "1"});
            } catch (const AppError &e) {
                duplicate = IsDuplicateKey(e, "optname");
            }
            return false;
        }));
        QVERIFY(duplicate);
        QCOMPARE(stored(), expected);
        RepeatedSql again("INSERT INTO options (optname, optvalue) VALUES (?, ?)");
        QCOMPARE(again.run({"new", "1"}), 1);
        QVERIFY_THROWS_EXCEPTION(AppError, RepeatedSql("INSERT INTO nowhere VALUES (?)").run({1}));
    }

    void transactionRollsBack() {
        QVERIFY(!InTransaction([] {
            ExecuteSQL("INSERT INTO options (optname, optvalue) VALUES ('a', '1')");
            return false;
        }));
        QCOMPARE(GetValue("SELECT COUNT(*) FROM options").toInt(), 0);
        QVERIFY(
            InTransaction([] { return ExecuteSQL("INSERT INTO options (optname, optvalue) VALUES ('a', '1')") == 1; }));
        QCOMPARE(GetValue("SELECT COUNT(*) FROM options").toInt(), 1);
    }
};

QTEST_MAIN(TestDb)
#include "tst_db.moc"
