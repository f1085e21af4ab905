#include "DbMigrate.h"
#include "DemoCatalogue.h"
#include "Schema.h"
#include "TestServer.h"
#include <QDirIterator>
#include <QProcess>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

namespace {
int g_connections = 0;

QSqlDatabase openFile(const QString &file) {
    QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", QString("file-%1").arg(++g_connections));
    db.setDatabaseName(file);
    db.open();
    return db;
}

QSqlDatabase openServer(const ServerConnection &c) {
    QSqlDatabase db = TestServer::addConnection(c, QString("server-%1").arg(++g_connections));
    db.open();
    return db;
}

bool exec(const QSqlDatabase &db, const QString &sql) {
    QSqlQuery q(db);
    if (q.exec(sql))
        return true;
    qWarning("%s: %s", qPrintable(sql), qPrintable(q.lastError().text()));
    return false;
}

// Every file below folder by its path there, with its bytes.
QMap<QString, QByteArray> filesOf(const QString &folder) {
    QMap<QString, QByteArray> out;
    QDirIterator it(folder, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QFile f(it.next());
        f.open(QIODevice::ReadOnly);
        out.insert(QDir(folder).relativeFilePath(f.fileName()), f.readAll());
    }
    return out;
}

qint64 scalar(const QSqlDatabase &db, const QString &sql) {
    QSqlQuery q(db);
    return q.exec(sql) && q.next() ? q.value(0).toLongLong() : -1;
}

// Rows of one file's table missing from the other's, in either direction: compared by the
// engine itself, not by the migration's own checksum.
qint64 differingRows(const QString &a, const QString &b, const QString &table) {
    QSqlDatabase db = openFile(a);
    exec(db, QString("ATTACH DATABASE '%1' AS other").arg(b));
    return scalar(db, QString("SELECT (SELECT COUNT(*) FROM (SELECT * FROM main.%1 EXCEPT SELECT * FROM other.%1))"
                              " + (SELECT COUNT(*) FROM (SELECT * FROM other.%1 EXCEPT SELECT * FROM main.%1))")
                          .arg(table));
}
} // namespace

class TestDbMigrate : public QObject {
    Q_OBJECT
    QTemporaryDir dir;

    QString path(const QString &name) const { return dir.filePath(name); }

    ServerConnection freshServer() {
        QString why;
        const ServerConnection c = TestServer::createDatabase(&why);
        if (!c.complete())
            qWarning("%s", qPrintable(why));
        return c;
    }

    // File → server → file; the tables of the last file must equal the first's.
    void roundTrip(const QString &original, const QString &back) {
        const ServerConnection server = freshServer();
        QVERIFY(server.complete());
        QSqlDatabase source = openFile(original);
        QSqlDatabase remote = openServer(server);
        QVERIFY2(remote.isOpen(), qPrintable(remote.lastError().text()));
        const DbMigrate::Result up = DbMigrate::copy(source, remote);
        QVERIFY2(up.ok, qPrintable(up.error));
        QCOMPARE(up.tables.size(), DbMigrate::tablesOf(source).size());

        QSqlDatabase local = openFile(back);
        const DbMigrate::Result down = DbMigrate::copy(remote, local);
        QVERIFY2(down.ok, qPrintable(down.error));
        QCOMPARE(DbMigrate::tablesOf(local), DbMigrate::tablesOf(source));
        for (const QString &table : DbMigrate::tablesOf(source)) {
            QCOMPARE(DbMigrate::check(local, table), DbMigrate::check(source, table));
            QCOMPARE(differingRows(original, back, table), 0);
            QCOMPARE(scalar(local, "SELECT COUNT(*) FROM " + table), scalar(source, "SELECT COUNT(*) FROM " + table));
        }
        // Keys handed out before go on where they stopped, on the server and back in a file.
        const qint64 last = scalar(source, "SELECT seq FROM sqlite_sequence WHERE name = 't_mobile'");
        QVERIFY(exec(remote, "INSERT INTO t_mobile (mcode) VALUES ('')"));
        QCOMPARE(scalar(remote, "SELECT MAX(code) FROM t_mobile"), last + 1);
        QCOMPARE(scalar(local, "SELECT seq FROM sqlite_sequence WHERE name = 't_mobile'"), last);
    }

    // db-migrate as a process against server; its exit code, its error output in *err.
    static int migrate(const ServerConnection &server, const QStringList &args, QString *err = nullptr) {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("PGPASSWORD", server.password);
        p.setProcessEnvironment(env);
        p.start(MOBILESHOP_DB_MIGRATE, args + QStringList{"--host", server.host, "--port", QString::number(server.port),
                                                          "--database", server.database, "--user", server.user});
        const int code = p.waitForFinished(60000) ? p.exitCode() : -1;
        if (err)
            *err = QString::fromUtf8(p.readAllStandardError());
        return code;
    }

private Q_SLOTS:
    void initTestCase() {
        QVERIFY(dir.isValid());
        QVERIFY2(TestServer::enabled(), "run through scripts/with-postgres");
    }

    // The demo catalogue with what a shop's data holds besides: quotes, Korean, empty and
    // missing values, case-differing names, users, options, a table of its own, and deleted
    // rows that put the key counter above the highest key.
    void demoCatalogueRoundTrip() {
        const QString file = path("demo.db");
        QVERIFY(Schema::createMainDatabase(file));
        QString why;
        QVERIFY2(DemoCatalogue::seed(file, path("img"), &why), qPrintable(why));
        {
            QSqlDatabase db = openFile(file);
            QVERIFY(exec(db, "INSERT INTO t_mobile (mcode, model, nick, bigo) VALUES ('900001', 'O''Neil \"폰\"',"
                             " 'Mixed Case', NULL)"));
            QVERIFY(exec(db, "INSERT INTO t_mobile (mcode, model) VALUES ('900002', 'gone')"));
            QVERIFY(exec(db, "DELETE FROM t_mobile WHERE mcode = '900002'"));
            QVERIFY(exec(db, "INSERT INTO local_user VALUES ('Kim', '김점장', 'Pw''1', 2)"));
            QVERIFY(exec(db, "INSERT INTO options VALUES ('CodeLength', '6')"));
            QVERIFY(exec(db, "CREATE TABLE memo (id INTEGER, body TEXT, amount REAL, pic BLOB)"));
            QVERIFY(exec(db, "INSERT INTO memo VALUES (1, '첫 메모', 1.25, x'00ff10'), (2, NULL, NULL, NULL)"));
        }
        roundTrip(file, path("demo-back.db"));
    }

    // Many full batches and a table ending exactly on a batch's end: the prepared statement
    // used again, no empty last batch.
    void largeCatalogueRoundTrip() {
        const int handsets = 10 * DbMigrate::kRowsPerInsert;
        const QString file = path("large.db");
        QVERIFY(Schema::createMainDatabase(file));
        {
            QSqlDatabase db = openFile(file);
            QVERIFY(db.transaction());
            QSqlQuery q(db);
            q.prepare("INSERT INTO t_mobile (mcode, mid, makeyear, makecom, opentype, ant, model, sar, nick, imgpath,"
                      " bigo) VALUES (?, ?, '2024', ?, 'SKT', '내장', ?, '1.2', ?, '', ?)");
            for (int i = 1; i <= handsets; ++i) {
                q.addBindValue(QString("%1").arg(i, 6, 10, QChar('0')));
                q.addBindValue(QString("SM-%1").arg(i));
                q.addBindValue(i % 3 ? "삼성" : "LG");
                q.addBindValue(QString("갤럭시 %1").arg(i % 977));
                q.addBindValue(i % 7 ? QString() : QString("별명%1").arg(i));
                q.addBindValue(i % 11 ? QVariant(QString()) : QVariant());
                QVERIFY(q.exec());
            }
            QVERIFY(db.commit());
        }
        roundTrip(file, path("large-back.db"));
    }

    // A target with tables is refused untouched; a copy that fails half-way leaves the
    // target without a table, and the command-line program says so with its own exit code.
    void refusedAndFailedCopiesLeaveTheTargetAsItWas() {
        const QString file = path("odd.db");
        QVERIFY(Schema::createMainDatabase(file));
        QSqlDatabase source = openFile(file);
        // The server keeps no NUL in text: the last table fails after the others were copied.
        QVERIFY(exec(source, "CREATE TABLE zz_notes (body TEXT)"));
        QVERIFY(exec(source, "INSERT INTO zz_notes VALUES ('a' || char(0) || 'b')"));
        const ServerConnection server = freshServer();
        QSqlDatabase remote = openServer(server);
        const DbMigrate::Result failed = DbMigrate::copy(source, remote);
        QVERIFY(!failed.ok);
        QVERIFY2(failed.error.startsWith("'zz_notes' 표를 옮기지 못했습니다"), qPrintable(failed.error));
        QCOMPARE(DbMigrate::tablesOf(remote), QStringList());

        // Bytes that are not UTF-8 would arrive changed: the value is named and nothing copied.
        QVERIFY(exec(source, "DELETE FROM zz_notes"));
        QVERIFY(exec(source, "INSERT INTO t_mobile (code, mcode, mid, nick) VALUES (7, '000007', 'A', "
                             "CAST(X'41FF42' AS TEXT))"));
        const DbMigrate::Result changed = DbMigrate::copy(source, remote);
        QVERIFY(!changed.ok);
        QVERIFY2(changed.error.contains("code = 7") && changed.error.contains("nick") &&
                     changed.error.contains("41 ff 42"),
                 qPrintable(changed.error));
        QCOMPARE(DbMigrate::tablesOf(remote), QStringList());
        QVERIFY(exec(source, "DELETE FROM t_mobile WHERE code = 7"));

        QVERIFY(exec(remote, "CREATE TABLE other (x INTEGER)"));
        const DbMigrate::Result refused = DbMigrate::copy(source, remote);
        QVERIFY(!refused.ok);
        QVERIFY(refused.error.contains("비어 있지 않습니다"));
        QCOMPARE(DbMigrate::tablesOf(remote), QStringList{"other"});
    }

    // The pictures of IMG/ beside DBS/ go into the server's table and come back as the same
    // files beside the new file's DBS/; a folder that has pictures already is not written into.
    void picturesGoToTheServerAndBack() {
        const QString file = path("shop/DBS/dbMain.db"), pictures = path("shop/IMG");
        QVERIFY(Schema::createMainDatabase(file));
        QString why;
        QVERIFY2(DemoCatalogue::seed(file, pictures, &why), qPrintable(why));
        QDir().mkpath(pictures + "/escaped");
        QFile odd(pictures + "/escaped/UX%2F3.bmp"), other(pictures + "/notes.txt");
        QVERIFY(odd.open(QIODevice::WriteOnly) && odd.write("UX/3's picture") > 0);
        QVERIFY(other.open(QIODevice::WriteOnly) && other.write("no picture") > 0);
        odd.close();
        other.close();
        QMap<QString, QByteArray> expected = filesOf(pictures);
        expected.remove("notes.txt");
        QCOMPARE(expected.size(), 41);

        const ServerConnection server = freshServer();
        QCOMPARE(migrate(server, {"--to-server", "--file", file}, &why), 0);
        QSqlDatabase remote = openServer(server);
        QCOMPARE(scalar(remote, "SELECT COUNT(*) FROM t_mobile_picture"), 41);
        QCOMPARE(scalar(remote, "SELECT COUNT(*) FROM t_mobile_picture WHERE mid = 'ux/3' AND "
                                "hash = encode(sha256(bytes), 'hex') AND bytes = 'UX/3''s picture'::bytea"),
                 1);

        QCOMPARE(migrate(server, {"--to-file", "--file", path("back/DBS/dbMain.db")}, &why), 0);
        QCOMPARE(filesOf(path("back/IMG")), expected);
        QCOMPARE(differingRows(file, path("back/DBS/dbMain.db"), "t_mobile"), 0);
        QCOMPARE(DbMigrate::tablesOf(openFile(path("back/DBS/dbMain.db"))), DbMigrate::tablesOf(openFile(file)));

        QCOMPARE(migrate(server, {"--to-file", "--file", path("back/DBS/again.db")}, &why), 1);
        QVERIFY2(why.contains("사진이 이미 있습니다"), qPrintable(why));
        QVERIFY(!QFile::exists(path("back/DBS/again.db")));
    }

    void commandLineProgram() {
        QProcess p;
        p.start(MOBILESHOP_DB_MIGRATE, {"--help"});
        QVERIFY(p.waitForFinished(10000));
        QCOMPARE(p.exitCode(), 0);
        const QString help = QString::fromUtf8(p.readAllStandardOutput());
        QVERIFY(help.contains("--to-server") && help.contains("PGPASSWORD"));

        const QString file = path("tool.db");
        QVERIFY(Schema::createMainDatabase(file));
        const ServerConnection server = freshServer();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("PGPASSWORD", server.password);
        p.setProcessEnvironment(env);
        const QStringList where{"--host",     server.host,     "--port", QString::number(server.port),
                                "--database", server.database, "--user", server.user};
        const auto run = [&](const QStringList &args) {
            p.start(MOBILESHOP_DB_MIGRATE, args + where);
            return p.waitForFinished(60000) ? p.exitCode() : -1;
        };
        QCOMPARE(run({"--to-server", "--file", file}), 0);
        QVERIFY(QString::fromUtf8(p.readAllStandardOutput()).contains("다 옮겼습니다"));
        QCOMPARE(run({"--to-server", "--file", file}), 1);
        QVERIFY(QString::fromUtf8(p.readAllStandardError()).contains("비어 있지 않습니다"));
        QCOMPARE(run({"--to-file", "--file", file}), 1); // never over an existing file
        QCOMPARE(run({"--to-file", "--file", path("tool-back.db")}), 0);
        QCOMPARE(differingRows(file, path("tool-back.db"), "local_user"), 0);
        QCOMPARE(run({"--to-server", "--to-file", "--file", file}), 2);
    }
};

QTEST_MAIN(TestDbMigrate)
#include "tst_db_migrate.moc"
