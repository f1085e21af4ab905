#include "BackupArchive.h"
#include "DatabaseCheck.h"
#include "FolderFiles.h"
#include "Schema.h"
#include "SmallDisk.h"
#include <QElapsedTimer>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>
#include <atomic>
#include <sqlite3.h>
#include <thread>
#include <zip.h>

using namespace FolderFiles;
using Problem = DatabaseCheck::Result::Problem;

namespace {

// The first column of the last statement's rows, on a connection of the test's own.
QStringList runSql(const QString &file, const QStringList &statements) {
    static int count = 0;
    const QString name = QStringLiteral("restore-test-%1").arg(++count);
    QStringList rows;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(file);
        bool ok = db.open();
        QSqlQuery q(db);
        for (const QString &s : statements) {
            if (!ok)
                break;
            rows.clear();
            ok = q.exec(s);
            while (ok && q.next())
                rows << q.value(0).toString();
        }
        if (!ok)
            rows = QStringList{"<error> " + q.lastError().text() + db.lastError().text()};
    }
    QSqlDatabase::removeDatabase(name);
    return rows;
}

// Enough rows and the table spans many pages.
void makeMainDb(const QString &file, int rows, const QString &password = Schema::kPassword) {
    QVERIFY(Schema::createMainDatabase(file, password));
    QStringList s{"BEGIN"};
    for (int i = 1; i <= rows; ++i)
        s << QString("INSERT INTO t_mobile (mcode, model, nick, bigo) VALUES ('%1', 'SM-%1', '별명 %1', '비고 %1')")
                 .arg(i);
    QCOMPARE(runSql(file, s << "COMMIT"), QStringList());
}

// Overwrites the middle of t_mobile's first leaf page, which was filled before the next.
void scrambleLeafPage(const QString &file) {
    const int pageSize = runSql(file, {"PRAGMA page_size"}).value(0).toInt();
    const int root = runSql(file, {"SELECT rootpage FROM sqlite_master WHERE name = 't_mobile'"}).value(0).toInt();
    QByteArray bytes = readAll(file);
    QVERIFY(pageSize >= 512 && root > 1 && bytes.size() > qsizetype(root) * pageSize);
    auto u16 = [&](qsizetype at) { return (uint(uchar(bytes[at])) << 8) | uchar(bytes[at + 1]); };
    const qsizetype rootAt = qsizetype(root - 1) * pageSize;
    QCOMPARE(uchar(bytes[rootAt]), uchar(0x05)); // interior table page
    const qsizetype cell = rootAt + u16(rootAt + 12);
    const qsizetype leafAt = qsizetype((u16(cell) << 16 | u16(cell + 2)) - 1) * pageSize;
    QVERIFY(leafAt >= 2 * pageSize && leafAt < bytes.size());
    QCOMPARE(uchar(bytes[leafAt]), uchar(0x0D)); // leaf table page
    bytes.replace(leafAt + pageSize / 2 - 32, 64, QByteArray(64, '\xff'));
    writeFile(file, bytes);
}

// The entries as they are, past the checks BackupArchive::create makes.
void zipOf(const QString &archive, const QMap<QString, QByteArray> &entries) {
    int code = 0;
    zip_t *za = zip_open(QFile::encodeName(archive).constData(), ZIP_CREATE | ZIP_EXCL, &code);
    QVERIFY(za);
    for (auto it = entries.cbegin(); it != entries.cend(); ++it) {
        zip_source_t *src = zip_source_buffer(za, it.value().constData(), zip_uint64_t(it.value().size()), 0);
        QVERIFY(zip_file_add(za, it.key().toUtf8().constData(), src, ZIP_FL_ENC_UTF_8) >= 0);
    }
    QCOMPARE(zip_close(za), 0);
}

enum class Kind { Garbage, Truncated, OtherSchema, OtherPassword, ScrambledPage };

} // namespace

Q_DECLARE_METATYPE(Kind)
Q_DECLARE_METATYPE(Problem)

class TestRestore : public QObject {
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> tmp;
    QString root() const { return tmp->path(); }
    QString dbFolder() const { return root() + "/DBS"; }

    void prepareCurrent() {
        makeMainDb(dbFolder() + "/dbMain.db", 20);
        writeFile(dbFolder() + "/dbPost.dat", "current post");
        writeFile(dbFolder() + "/사진/old.bmp", "BM old");
    }
    void expectUntouched(const QMap<QString, QByteArray> &before) {
        QCOMPARE(contents(dbFolder()), before);
        QCOMPARE(QDir(root()).entryList({"DBS_*"}, QDir::AllEntries | QDir::Hidden), QStringList());
    }

private Q_SLOTS:
    void init() { tmp = std::make_unique<QTemporaryDir>(); }

    void check_passwordAndTables_data() {
        QTest::addColumn<QStringList>("change");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<Problem>("problem");
        QTest::addColumn<QString>("message");
        QTest::newRow("good") << QStringList() << Schema::kPassword << Problem::None << QString();
        QTest::newRow("other password") << QStringList() << "다른암호" << Problem::WrongPassword
                                        << "데이터베이스 암호가 맞지 않습니다.";
        QTest::newRow("no password stored") << QStringList() << QString() << Problem::None << QString();
        QTest::newRow("no t_mobile") << QStringList{"DROP TABLE t_mobile"} << Schema::kPassword << Problem::WrongSchema
                                     << "이 프로그램의 데이터베이스가 아닙니다 (t_mobile 표가 없습니다).";
        QTest::newRow("column gone") << QStringList{"ALTER TABLE t_mobile DROP COLUMN bigo"} << Schema::kPassword
                                     << Problem::WrongSchema
                                     << "이 프로그램의 데이터베이스가 아닙니다 (t_mobile 표에 bigo 항목이 없습니다).";
        QTest::newRow("column in capitals") << QStringList{"ALTER TABLE options RENAME COLUMN optvalue TO OPTVALUE"}
                                            << Schema::kPassword << Problem::None << QString();
    }
    void check_passwordAndTables() {
        QFETCH(QStringList, change);
        QFETCH(QString, stored);
        QFETCH(Problem, problem);
        QFETCH(QString, message);
        const QString file = root() + "/dbMain.db";
        makeMainDb(file, 5, stored);
        if (!change.isEmpty())
            QCOMPARE(runSql(file, change), QStringList());
        for (auto depth : {DatabaseCheck::Depth::Quick, DatabaseCheck::Depth::Full}) {
            const auto r = DatabaseCheck::checkMainDatabase(file, Schema::kPassword, depth);
            QCOMPARE(r.problem, problem);
            QCOMPARE(r.ok, problem == Problem::None);
            QCOMPARE(r.message, message);
        }
    }

    void check_emptyOrMissingFile() {
        writeFile(root() + "/empty.db", {});
        const auto empty = DatabaseCheck::checkMainDatabase(root() + "/empty.db", {}, DatabaseCheck::Depth::Quick);
        QCOMPARE(empty.problem, Problem::WrongSchema);
        const auto missing = DatabaseCheck::checkMainDatabase(root() + "/none.db", {}, DatabaseCheck::Depth::Quick);
        QCOMPARE(missing.problem, Problem::Missing);
        QVERIFY(!QFile::exists(root() + "/none.db"));
    }

    void check_waitsForALockThenGivesUp_data() {
        QTest::addColumn<int>("holdMs");
        QTest::addColumn<Problem>("problem");
        QTest::newRow("released soon") << 300 << Problem::None;
        QTest::newRow("held on") << 10000 << Problem::Locked;
    }
    void check_waitsForALockThenGivesUp() {
        QFETCH(int, holdMs);
        QFETCH(Problem, problem);
        const QString file = root() + "/dbMain.db";
        makeMainDb(file, 5);
        std::atomic<int> locked{0};
        std::atomic<bool> release{false};
        std::thread holder([&] {
            sqlite3 *db = nullptr;
            const bool ok = sqlite3_open(file.toUtf8().constData(), &db) == SQLITE_OK &&
                            sqlite3_exec(db, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr) == SQLITE_OK;
            locked = ok ? 1 : -1;
            QElapsedTimer held;
            held.start();
            while (ok && !release && held.elapsed() < holdMs)
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            sqlite3_close_v2(db); // rolls the transaction back
        });
        while (locked == 0)
            std::this_thread::yield();
        QElapsedTimer waited;
        waited.start();
        const auto r = DatabaseCheck::checkMainDatabase(file, Schema::kPassword, DatabaseCheck::Depth::Quick);
        const qint64 ms = waited.elapsed();
        release = true;
        holder.join();
        QCOMPARE(locked.load(), 1);
        QCOMPARE(r.problem, problem);
        QVERIFY2(ms >= (problem == Problem::None ? 250 : 1900) && ms < 5000, qPrintable(QString::number(ms)));
    }

    void restore_refusesUnusableDatabase_data() {
        QTest::addColumn<Kind>("kind");
        QTest::addColumn<Problem>("problem");
        QTest::addColumn<QString>("reason");
        QTest::newRow("garbage") << Kind::Garbage << Problem::NotADatabase << "데이터베이스 파일이 아닙니다.";
        QTest::newRow("first half") << Kind::Truncated << Problem::Damaged << "데이터베이스 파일이 손상되었습니다.";
        QTest::newRow("other schema") << Kind::OtherSchema << Problem::WrongSchema
                                      << "이 프로그램의 데이터베이스가 아닙니다 (dbinfo 표가 없습니다).";
        QTest::newRow("other password") << Kind::OtherPassword << Problem::WrongPassword << "암호가 맞지 않습니다.";
        QTest::newRow("scrambled page") << Kind::ScrambledPage << Problem::Damaged
                                        << "데이터베이스 파일이 손상되었습니다.";
    }
    void restore_refusesUnusableDatabase() {
        QFETCH(Kind, kind);
        QFETCH(Problem, problem);
        QFETCH(QString, reason);
        prepareCurrent();
        const QString bad = root() + "/bad.db";
        switch (kind) {
        case Kind::Garbage: {
            QByteArray bytes(8192, '\0');
            for (int i = 0; i < bytes.size(); ++i)
                bytes[i] = char(i * 37 + 11);
            writeFile(bad, bytes);
            break;
        }
        case Kind::Truncated: {
            makeMainDb(root() + "/good.db", 3000);
            const QByteArray whole = readAll(root() + "/good.db");
            writeFile(bad, whole.left(whole.size() / 2));
            break;
        }
        case Kind::OtherSchema:
            QCOMPARE(runSql(bad, {"CREATE TABLE customers (id INTEGER PRIMARY KEY, name TEXT)"}), QStringList());
            break;
        case Kind::OtherPassword: makeMainDb(bad, 10, "다른암호"); break;
        case Kind::ScrambledPage:
            makeMainDb(bad, 3000);
            scrambleLeafPage(bad);
            QVERIFY(runSql(bad, {"PRAGMA integrity_check"}) != QStringList{"ok"});
            break;
        }
        if (QTest::currentTestFailed())
            return;
        QCOMPARE(DatabaseCheck::checkMainDatabase(bad, Schema::kPassword, DatabaseCheck::Depth::Full).problem, problem);

        const QString archive = root() + "/backup.zip";
        zipOf(archive, {{"dbMain.db", readAll(bad)}, {"dbPost.dat", "archived post"}});
        QVERIFY(BackupArchive::verify(archive).ok); // the archive itself is sound
        const auto before = contents(dbFolder());
        const auto restored = BackupArchive::restore(archive, dbFolder(), "x");
        QVERIFY(!restored.ok);
        QVERIFY2(restored.message.startsWith("백업 파일의 데이터베이스를 쓸 수 없습니다: ") &&
                     restored.message.contains(reason),
                 qPrintable(restored.message));
        expectUntouched(before);
    }

    // An entry past the bound one file may have, or more than the disk holds, is refused
    // before anything is unpacked: the current data and the disk stay as they were.
    void restore_oversizedEntriesAreRefusedFirst_data() {
        QTest::addColumn<qint64>("declared"); // what the archive says the picture holds; 0: the truth
        QTest::addColumn<QString>("message");
        QTest::newRow("declares 3 GB") << (qint64(3) << 30) << "너무 큽니다. 한 파일은";
        QTest::newRow("inflates past the free space") << qint64(0) << "디스크 공간이 부족하여 복원하지 않았습니다";
    }
    void restore_oversizedEntriesAreRefusedFirst() {
        QFETCH(qint64, declared);
        QFETCH(QString, message);
        const QString disk = root() + "/disk", db = disk + "/DBS";
        QVERIFY(QDir().mkpath(disk));
        SmallDisk small(disk, 8 << 20);
        QVERIFY2(small.mounted(), "mounting a small file system needs root");
        makeMainDb(db + "/dbMain.db", 20);
        writeFile(db + "/dbPost.dat", "current post");
        const QString archive = root() + "/bomb.zip";
        zipOf(archive, {{"dbMain.db", readAll(db + "/dbMain.db")}, {"IMG/big.bmp", QByteArray(24 << 20, '\0')}});
        QVERIFY(QFileInfo(archive).size() < (1 << 20));
        if (declared > 0) {
            QByteArray z = readAll(archive);
            const QByteArray name = "IMG/big.bmp";
            for (qsizetype at = z.indexOf(name); at >= 0; at = z.indexOf(name, at + 1)) {
                if (at >= 30 && z.mid(at - 30, 4) == "PK\x03\x04")
                    qToLittleEndian(quint32(declared), z.data() + at - 30 + 22);
                else if (at >= 46 && z.mid(at - 46, 4) == "PK\x01\x02")
                    qToLittleEndian(quint32(declared), z.data() + at - 46 + 24);
            }
            writeFile(archive, z);
        }
        const auto before = contents(db);
        const auto restored = BackupArchive::restore(archive, db, "x");
        QVERIFY(!restored.ok);
        QVERIFY2(restored.message.contains(message) && restored.message.endsWith("현재 자료는 그대로입니다."),
                 qPrintable(restored.message));
        QCOMPARE(contents(db), before);
        QCOMPARE(QDir(disk).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList{"DBS"});
    }

    void restore_failedSwapPutsEverythingBack_data() {
        // Three originals go aside (moves 1-3), three unpacked entries come in (4-6), and a
        // roll-back after move n puts the originals back with the moves that follow.
        QTest::addColumn<QList<int>>("failing");
        QTest::addColumn<bool>("allBack");
        QTest::newRow("first move aside") << QList<int>{1} << true;
        QTest::newRow("part-way aside") << QList<int>{3} << true;
        QTest::newRow("first move in") << QList<int>{4} << true;
        QTest::newRow("part-way in") << QList<int>{5} << true;
        QTest::newRow("last move in") << QList<int>{6} << true;
        QTest::newRow("one original stuck") << QList<int>{5, 7} << false;
    }
    void restore_failedSwapPutsEverythingBack() {
        QFETCH(QList<int>, failing);
        QFETCH(bool, allBack);
        prepareCurrent();
        const QString source = root() + "/source";
        makeMainDb(source + "/dbMain.db", 50);
        writeFile(source + "/dbPost.dat", "archived post");
        writeFile(source + "/사진/new.bmp", "BM new");
        const auto made = BackupArchive::create(source, root() + "/backup.zip");
        QVERIFY2(made.ok, qPrintable(made.message));

        const auto before = contents(dbFolder());
        int calls = 0;
        BackupArchive::RestoreOptions options;
        options.move = [&](const QString &from, const QString &to) {
            return !failing.contains(++calls) && QDir().rename(from, to);
        };
        const auto restored = BackupArchive::restore(made.archive, dbFolder(), "x", options);
        QVERIFY(!restored.ok);
        QCOMPARE(restored.asideFolder.isEmpty(), allBack);
        if (allBack) {
            expectUntouched(before);
            return;
        }
        // Nothing of the archive stays, and every original is in one of the two places.
        QVERIFY2(restored.message.contains(restored.asideFolder), qPrintable(restored.message));
        auto found = contents(dbFolder());
        const auto aside = contents(restored.asideFolder);
        QCOMPARE(aside.size(), 1);
        found.insert(aside);
        QCOMPARE(found, before);
        QCOMPARE(QDir(root()).entryList({"DBS_restoring_*"}, QDir::AllEntries), QStringList());
    }

    void restore_failedPicturesSwapPutsTheDatabaseBackToo_data() {
        // The database folder swaps first (moves 1-6), then the pictures: one aside (7), one in (8).
        QTest::addColumn<QList<int>>("failing");
        QTest::addColumn<bool>("allBack");
        QTest::newRow("pictures aside") << QList<int>{7} << true;
        QTest::newRow("pictures in") << QList<int>{8} << true;
        QTest::newRow("old picture stuck") << QList<int>{8, 9} << false;
    }
    void restore_failedPicturesSwapPutsTheDatabaseBackToo() {
        QFETCH(QList<int>, failing);
        QFETCH(bool, allBack);
        prepareCurrent();
        const QString pictures = root() + "/IMG";
        writeFile(pictures + "/old.jpg", "old picture");
        const QString source = root() + "/source";
        makeMainDb(source + "/dbMain.db", 50);
        writeFile(source + "/dbPost.dat", "archived post");
        writeFile(source + "/사진/new.bmp", "BM new");
        writeFile(root() + "/sourceImg/new.jpg", "new picture");
        const auto made = BackupArchive::create(source, root() + "/backup.zip", root() + "/sourceImg");
        QVERIFY2(made.ok, qPrintable(made.message));

        const auto before = contents(dbFolder());
        const auto picturesBefore = contents(pictures);
        int calls = 0;
        BackupArchive::RestoreOptions options;
        options.picturesFolder = pictures;
        options.move = [&](const QString &from, const QString &to) {
            return !failing.contains(++calls) && QDir().rename(from, to);
        };
        const auto restored = BackupArchive::restore(made.archive, dbFolder(), "x", options);
        QVERIFY(!restored.ok);
        QVERIFY2(restored.message.contains("그림"), qPrintable(restored.message));
        QCOMPARE(contents(dbFolder()), before);
        QVERIFY(restored.asideFolder.isEmpty());
        QCOMPARE(restored.picturesAsideFolder.isEmpty(), allBack);
        QCOMPARE(QDir(root()).entryList({"DBS_*", "IMG_restoring_*"}, QDir::AllEntries | QDir::Hidden), QStringList());
        if (allBack) {
            QCOMPARE(contents(pictures), picturesBefore);
            QCOMPARE(QDir(root()).entryList({"IMG_*"}, QDir::AllEntries), QStringList());
            return;
        }
        QVERIFY2(restored.message.contains(restored.picturesAsideFolder), qPrintable(restored.message));
        QCOMPARE(contents(pictures), (QMap<QString, QByteArray>{}));
        QCOMPARE(contents(restored.picturesAsideFolder), picturesBefore);
    }

    void relativeFolder_roundTrip() {
        const QString shop = root() + "/shop";
        makeMainDb(shop + "/DBS/dbMain.db", 30);
        writeFile(shop + "/DBS/사진/a.bmp", "BM a");
        const QString cwd = QDir::currentPath();
        QVERIFY(QDir::setCurrent(shop));
        const auto made = BackupArchive::create("DBS", "Backup/a.zip");
        const auto checked = BackupArchive::verify("Backup/a.zip");
        writeFile("DBS/dbPost.dat", "written after the backup");
        const auto restored = BackupArchive::restore("Backup/a.zip", "DBS", "x");
        const QString real = QDir::currentPath();
        QVERIFY(QDir::setCurrent(cwd));

        QVERIFY2(made.ok, qPrintable(made.message));
        QCOMPARE(made.entries, (QStringList{"dbMain.db", "사진/a.bmp"}));
        QCOMPARE(made.archive, real + "/Backup/a.zip");
        QVERIFY2(checked.ok, qPrintable(checked.message));
        QVERIFY2(restored.ok, qPrintable(restored.message));
        QCOMPARE(restored.asideFolder, real + "/DBS_before_restore_x");
        QCOMPARE(contents(shop + "/DBS").keys(), made.entries);
        QCOMPARE(readAll(restored.asideFolder + "/dbPost.dat"), QByteArray("written after the backup"));
        QVERIFY(DatabaseCheck::checkMainDatabase(shop + "/DBS/dbMain.db", Schema::kPassword, DatabaseCheck::Depth::Full)
                    .ok);
    }
};

QTEST_GUILESS_MAIN(TestRestore)
#include "tst_restore.moc"
