#include "AppPaths.h"
#include "Backup.h"
#include "BackupArchive.h"
#include "BackupToolRun.h"
#include "EnvFixture.h"
#include "FolderFiles.h"
#include "Schema.h"
#include "Settings.h"
#include "modMDB_Func.h"
#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QProcess>
#include <QRandomGenerator>
#include <QTest>
#include <utime.h>

using namespace modMDB_Func;
using namespace FolderFiles;

namespace {

QStringList mobileRows(const QString &dbFile) {
    QStringList rows;
    if (!OpenDB(dbFile, Schema::kPassword, true, false))
        return {"<cannot open>"};
    Recordset rs;
    OpenRecordset(rs, "SELECT code, mcode, model, nick, bigo FROM t_mobile ORDER BY code");
    for (; !rs.eof(); rs.moveNext())
        rows << QStringList{rs.text("code"), rs.text("mcode"), rs.text("model"), rs.text("nick"), rs.text("bigo")}.join(
            '|');
    CloseObj(rs);
    DBTerminate();
    return rows;
}

enum class Damage { FlipBytes, Truncate, NotAZip };

void damage(const QString &archive, Damage how) {
    QByteArray bytes = readAll(archive);
    switch (how) {
    case Damage::FlipBytes: // inside the packed data, away from the headers
        for (qsizetype i = bytes.size() / 3; i < bytes.size() / 3 + 16; ++i)
            bytes[i] = char(bytes[i] ^ 0x5A);
        break;
    case Damage::Truncate: bytes.truncate(bytes.size() / 2); break;
    case Damage::NotAZip: bytes = QByteArray(4096, 'z'); break;
    }
    writeFile(archive, bytes);
}

} // namespace

Q_DECLARE_METATYPE(Damage)

class TestArchive : public EnvFixture {
    Q_OBJECT
    QString dbFolder() const { return env->appFolder() + "/DBS"; }
    QString dbFile() const { return dbFolder() + "/dbMain.db"; }
    QString pictures() const { return env->appFolder() + "/IMG"; }

    // The shop's catalogue: enough rows that the database spans many pages.
    void fillCatalogue() {
        QVERIFY(env->openFreshDatabase());
        QVERIFY(InTransaction([] {
            for (int i = 1; i <= 300; ++i)
                ExecuteSQL(
                    QString("INSERT INTO t_mobile (mcode, model, nick, bigo) VALUES ('%1', 'SM-%2', '별명 %2', '%3')")
                        .arg(i, 6, 10, QChar('0'))
                        .arg(i)
                        .arg(QString(i % 7, QChar(0xAC00 + i))));
            return true;
        }));
        DBTerminate();
    }

private Q_SLOTS:
    void roundTrip_realProgram() {
        fillCatalogue();
        const QStringList rows = mobileRows(dbFile());
        QCOMPARE(rows.size(), 301); // the base record and the catalogue
        QVERIFY(Settings::SaveSetting("Backup", "DB경로", "경로", dbFolder() + "\\"));
        QByteArray photo(300000, Qt::Uninitialized);
        for (qsizetype i = 0; i < photo.size(); ++i)
            photo[i] = char((i * 7919) >> 3);
        writeFile(pictures() + "/SM-1.jpg", photo);
        writeFile(pictures() + "/모델/갤럭시 S24.png", "PNG picture");
        const auto picturesBefore = contents(pictures());

        QString out;
        QCOMPARE(runBackupTool({}, &out), 0);
        const QStringList archives = QDir(env->appFolder() + "/Backup").entryList({"*.zip"});
        QCOMPARE(archives.size(), 1);
        const QString archive = env->appFolder() + "/Backup/" + archives.first();
        QVERIFY2(out.contains(QDir::toNativeSeparators(archive)), qPrintable(out));

        // Pictures were changed, removed and added since.
        writeFile(pictures() + "/SM-1.jpg", "changed");
        QVERIFY(QFile::remove(pictures() + "/모델/갤럭시 S24.png"));
        writeFile(pictures() + "/new.jpg", "added later");
        const auto picturesLater = contents(pictures());
        // The database is wrecked, and a crashed writer left a journal behind.
        QByteArray wrecked = readAll(dbFile());
        wrecked.replace(0, 8192, QByteArray(8192, '\0'));
        writeFile(dbFile(), wrecked);
        writeFile(dbFile() + "-journal", "stale journal");
        QCOMPARE(mobileRows(dbFile()), QStringList{"<cannot open>"});
        env->prompter.clear();

        // A damaged copy of the archive is refused and nothing is touched.
        const QString broken = env->root() + "/broken.zip";
        QVERIFY(QFile::copy(archive, broken));
        damage(broken, Damage::FlipBytes);
        QCOMPARE(runBackupTool({"--restore", broken, "--yes"}), 1);
        QCOMPARE(readAll(dbFile()), wrecked);
        QCOMPARE(contents(pictures()), picturesLater);

        QCOMPARE(runBackupTool({"--restore", archive}), 2); // asks first: unanswered is no
        QCOMPARE(readAll(dbFile()), wrecked);
        QCOMPARE(contents(pictures()), picturesLater);

        QCOMPARE(runBackupTool({"--restore", archive, "--yes"}, &out), 0);
        QCOMPARE(mobileRows(dbFile()), rows);
        QVERIFY(!QFile::exists(dbFile() + "-journal"));

        // What was replaced is kept, byte for byte.
        const QStringList aside = QDir(env->appFolder()).entryList({"DBS_before_restore_*"}, QDir::Dirs);
        QCOMPARE(aside.size(), 1);
        const QString asideFolder = env->appFolder() + "/" + aside.first();
        QVERIFY2(out.contains(QDir::toNativeSeparators(asideFolder)), qPrintable(out));
        QCOMPARE(readAll(asideFolder + "/dbMain.db"), wrecked);
        QCOMPARE(readAll(asideFolder + "/dbMain.db-journal"), QByteArray("stale journal"));
        QCOMPARE(QDir(env->appFolder()).entryList({"DBS_restoring_*"}, QDir::Dirs), QStringList());

        // The pictures are back byte for byte; those they replaced are kept beside them.
        QCOMPARE(contents(pictures()), picturesBefore);
        const QStringList picturesAsideFolders = QDir(env->appFolder()).entryList({"IMG_before_restore_*"}, QDir::Dirs);
        QCOMPARE(picturesAsideFolders.size(), 1);
        const QString picturesAside = env->appFolder() + "/" + picturesAsideFolders.first();
        QVERIFY2(out.contains(QDir::toNativeSeparators(picturesAside)), qPrintable(out));
        QCOMPARE(contents(picturesAside), picturesLater);
        QCOMPARE(QDir(env->appFolder()).entryList({"IMG_restoring_*"}, QDir::Dirs), QStringList());
    }

    void pictures_inTheArchiveAndBack() {
        fillCatalogue();
        writeFile(pictures() + "/a.jpg", QByteArray(70000, 'a'));
        writeFile(pictures() + "/폴더/b.bmp", "BM b");
        const QString archive = env->root() + "/with-pictures.zip";
        const auto made = BackupArchive::create(dbFolder(), archive, pictures());
        QVERIFY2(made.ok, qPrintable(made.message));
        QCOMPARE(made.entries, (QStringList{"IMG/a.jpg", "IMG/폴더/b.bmp", "dbMain.db"}));

        // Into another shop's folders, whose pictures folder does not exist yet.
        const QString db = env->root() + "/other/DBS";
        const QString img = env->root() + "/other/IMG";
        BackupArchive::RestoreOptions options;
        options.picturesFolder = img;
        const auto restored = BackupArchive::restore(archive, db, "x", options);
        QVERIFY2(restored.ok, qPrintable(restored.message));
        QCOMPARE(contents(img), contents(pictures()));
        QCOMPARE(contents(db).keys(), QStringList{"dbMain.db"}); // no IMG inside the database folder
        QVERIFY(restored.picturesAsideFolder.isEmpty());

        // Restored without a pictures folder, the archive unpacks as it is.
        const auto plain = BackupArchive::restore(archive, env->root() + "/plain", "x");
        QVERIFY2(plain.ok, qPrintable(plain.message));
        QCOMPARE(contents(env->root() + "/plain").keys(), made.entries);
    }

    void pictures_olderArchiveWithoutThemLeavesThemAlone() {
        fillCatalogue();
        const QString archive = env->root() + "/old.zip";
        const auto made = BackupArchive::create(dbFolder(), archive); // as archives were made before
        QVERIFY2(made.ok, qPrintable(made.message));
        QCOMPARE(made.entries, QStringList{"dbMain.db"});
        const QStringList rows = mobileRows(dbFile());
        writeFile(pictures() + "/today.jpg", "taken today");
        QVERIFY(QFile::remove(dbFile()));

        BackupArchive::RestoreOptions options;
        options.picturesFolder = pictures();
        const auto restored = BackupArchive::restore(archive, dbFolder(), "x", options);
        QVERIFY2(restored.ok, qPrintable(restored.message));
        QCOMPARE(mobileRows(dbFile()), rows);
        QCOMPARE(contents(pictures()), (QMap<QString, QByteArray>{{"today.jpg", "taken today"}}));
        QVERIFY(restored.picturesAsideFolder.isEmpty());
        QCOMPARE(QDir(env->appFolder()).entryList({"IMG_*"}, QDir::AllEntries), QStringList());
    }

    void pictures_nameClashAndOwnFolder() {
        fillCatalogue();
        writeFile(pictures() + "/a.jpg", "a");
        // The database folder's own IMG and the pictures folder would share one name.
        writeFile(dbFolder() + "/IMG/x.jpg", "x");
        const auto clash = BackupArchive::create(dbFolder(), env->root() + "/clash.zip", pictures());
        QVERIFY(!clash.ok);
        QVERIFY2(clash.message.contains(dbFolder() + "/IMG"), qPrintable(clash.message));
        QVERIFY(!QFile::exists(env->root() + "/clash.zip"));

        // Pictures that are the database folder's own IMG go in once.
        const auto own = BackupArchive::create(dbFolder(), env->root() + "/own.zip", dbFolder() + "/IMG");
        QVERIFY2(own.ok, qPrintable(own.message));
        QCOMPARE(own.entries, (QStringList{"IMG/x.jpg", "dbMain.db"}));
        BackupArchive::RestoreOptions options;
        options.picturesFolder = env->root() + "/shop/DBS/IMG";
        const auto restored = BackupArchive::restore(own.archive, env->root() + "/shop/DBS", "x", options);
        QVERIFY2(restored.ok, qPrintable(restored.message));
        QCOMPARE(contents(env->root() + "/shop/DBS").keys(), own.entries);
    }

    void serverBackup_vanishedFolderRefusedByTheProgram() {
        fillCatalogue();
        QVERIFY(Settings::SaveSetting("Backup", "DB경로", "경로", dbFolder() + "\\"));
        const QString nas = env->root() + "/nas";
        QVERIFY(Settings::SaveSetting("Backup", "서버백업", "경로", nas));
        QString out;
        QCOMPARE(runBackupTool({"SERVERUP"}, &out), 1);
        QVERIFY2(out.contains("서버 백업 폴더를 사용할 수 없습니다: " + nas) && out.contains("폴더가 없습니다."),
                 qPrintable(out));
        QVERIFY(!QFileInfo::exists(nas));
        QVERIFY(!QDir(env->appFolder() + "/Backup").exists());
        QVERIFY(QDir().mkpath(nas));
        QCOMPARE(runBackupTool({"SERVERUP"}, &out), 0);
        QCOMPARE(QDir(nas).entryList({"DBS_*.zip"}).size(), 1);
    }

    void archive_holdsTheWholeFolderButJournals() {
        fillCatalogue();
        writeFile(dbFolder() + "/dbPost.dat", QByteArray(70000, 'p'));
        writeFile(dbFolder() + "/사진/모델 1.bmp", "BM picture");
        writeFile(dbFolder() + "/dbMain.db-journal", "journal");
        const QString archive = Backup::newArchivePath(env->appFolder() + "/Backup", dbFolder(), env->clock.now());
        QCOMPARE(archive, env->appFolder() + "/Backup/DBS_20240515_103000.zip");

        const auto made = BackupArchive::create(dbFolder(), archive);
        QVERIFY2(made.ok, qPrintable(made.message));
        QCOMPARE(made.entries, (QStringList{"dbMain.db", "dbPost.dat", "사진/모델 1.bmp"}));
        QVERIFY(!QFile::exists(archive + ".part"));
        QCOMPARE(QDir(env->appFolder() + "/Backup").entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList{"DBS_20240515_103000.zip"}); // no snapshot left behind

        // Restored into an empty folder: the other files come back byte for byte.
        const QString other = env->root() + "/restored/DBS";
        const auto restored = BackupArchive::restore(archive, other, "x");
        QVERIFY2(restored.ok, qPrintable(restored.message));
        QVERIFY(restored.asideFolder.isEmpty());
        const auto back = contents(other);
        QCOMPARE(back.keys(), made.entries);
        QCOMPARE(back.value("dbPost.dat"), QByteArray(70000, 'p'));
        QCOMPARE(back.value("사진/모델 1.bmp"), QByteArray("BM picture"));
        QCOMPARE(mobileRows(other + "/dbMain.db"), mobileRows(dbFile()));

        // The next archive of the same second gets a name of its own; none is overwritten.
        const QString next = Backup::newArchivePath(env->appFolder() + "/Backup", dbFolder(), env->clock.now());
        QCOMPARE(next, env->appFolder() + "/Backup/DBS_20240515_103000_2.zip");
        QVERIFY(!BackupArchive::create(dbFolder(), archive).ok);
        QVERIFY(BackupArchive::verify(archive).ok);
    }

    void archive_unreadableDatabaseIsNoBackup() {
        QVERIFY(QDir().mkpath(dbFolder()));
        QByteArray broken("SQLite format 3");
        broken.append('\0');
        broken.append(QByteArray(8192, '\x7f'));
        writeFile(dbFolder() + "/dbMain.db", broken);
        const QString archive = env->root() + "/b/a.zip";
        const auto made = BackupArchive::create(dbFolder(), archive);
        QVERIFY(!made.ok);
        QVERIFY(made.message.contains("dbMain.db"));
        QVERIFY(!QFile::exists(archive));
        QCOMPARE(QDir(env->root() + "/b").entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList());
    }

    void restore_needsTheDatabase() {
        fillCatalogue();
        const QString other = env->root() + "/other";
        writeFile(other + "/ok.txt", "not a database");
        const QString archive = env->root() + "/other.zip";
        QVERIFY(BackupArchive::create(other, archive).ok);
        const auto before = contents(dbFolder());
        const auto restored = BackupArchive::restore(archive, dbFolder(), "x");
        QVERIFY(!restored.ok);
        QCOMPARE(contents(dbFolder()), before);
    }

    void archive_oldLeftoversCleared() {
        fillCatalogue();
        const QString folder = env->root() + "/arch";
        QVERIFY(QDir().mkpath(folder + "/.snapshot-old"));
        writeFile(folder + "/.snapshot-old/1", "copy");
        writeFile(folder + "/x.zip.part.dead", "half");
        writeFile(folder + "/y.zip.part.live", "half");
        const qint64 hoursAgo = QDateTime::currentDateTime().addSecs(-7 * 3600).toSecsSinceEpoch();
        for (const QString &f : {folder + "/.snapshot-old", folder + "/x.zip.part.dead"}) {
            const utimbuf times{time_t(hoursAgo), time_t(hoursAgo)};
            QCOMPARE(utime(QFile::encodeName(f).constData(), &times), 0);
        }
        QVERIFY(BackupArchive::create(dbFolder(), folder + "/a.zip").ok);
        QVERIFY(!QFileInfo::exists(folder + "/.snapshot-old"));
        QVERIFY(!QFileInfo::exists(folder + "/x.zip.part.dead"));
        QVERIFY(QFileInfo::exists(folder + "/y.zip.part.live")); // maybe another PC's run
    }

    void archive_emptyFolderIsNoBackup() {
        QVERIFY(QDir().mkpath(dbFolder()));
        const auto made = BackupArchive::create(dbFolder(), env->root() + "/a.zip");
        QVERIFY(!made.ok);
        QVERIFY(!QFile::exists(env->root() + "/a.zip"));
    }

    void damagedArchive_detected_data() {
        QTest::addColumn<Damage>("how");
        QTest::newRow("changed bytes") << Damage::FlipBytes;
        QTest::newRow("cut short") << Damage::Truncate;
        QTest::newRow("not a zip") << Damage::NotAZip;
    }
    void damagedArchive_detected() {
        QFETCH(Damage, how);
        fillCatalogue();
        const QString archive = env->root() + "/backup.zip";
        QVERIFY(BackupArchive::create(dbFolder(), archive).ok);
        QVERIFY(BackupArchive::verify(archive).ok);
        damage(archive, how);

        const auto checked = BackupArchive::verify(archive);
        QVERIFY(!checked.ok);
        QVERIFY(!checked.message.isEmpty());

        const auto before = contents(dbFolder());
        const auto restored = BackupArchive::restore(archive, dbFolder(), "x");
        QVERIFY(!restored.ok);
        QCOMPARE(contents(dbFolder()), before);
        QCOMPARE(QDir(env->appFolder()).entryList({"DBS_*"}, QDir::Dirs), QStringList());
    }

    // A flipped bit in data that deflate keeps as it is (stored blocks) leaves the stream
    // readable: only the entry's CRC tells, and the archive is refused all the same.
    void damagedArchive_oneFlippedBitDetected() {
        fillCatalogue();
        QByteArray noise(64 * 1024, Qt::Uninitialized);
        QRandomGenerator random(7);
        for (char &c : noise)
            c = char(random.bounded(256));
        writeFile(dbFolder() + "/noise.bin", noise);
        const QString archive = env->root() + "/backup.zip";
        QVERIFY(BackupArchive::create(dbFolder(), archive).ok);
        const QByteArray packed = readAll(archive);
        const qsizetype at = packed.indexOf(noise.mid(30000, 64));
        QVERIFY(at > 0);
        for (const int bit : {0, 7}) {
            QByteArray flipped = packed;
            flipped[at + 10] = char(flipped[at + 10] ^ (1 << bit));
            const QString broken = env->root() + "/broken.zip";
            writeFile(broken, flipped);
            const auto checked = BackupArchive::verify(broken);
            QVERIFY2(!checked.ok, qPrintable(QString::number(bit)));
            QVERIFY2(checked.message.contains("noise.bin"), qPrintable(checked.message));
        }
    }

    void locations() {
        // What the program stores ("folder\", possibly on a mapped drive) is the folder the
        // backup program works on.
        const QString share = env->drives->shareFolder("\\\\SRV\\shop");
        QVERIFY(QDir().mkpath(share + "/DBS"));
        QCOMPARE(env->drives->addConnection("H:", "\\\\SRV\\shop", "", "", false), int(NetDrives::Ok));
        QVERIFY(Settings::SaveSetting("Backup", "DB경로", "경로", "H:\\DBS\\"));
        const QString folder = Backup::storedDatabaseFolder();
        QCOMPARE(folder, env->drives->driveFolder("H:") + "/DBS");
        QCOMPARE(Backup::archiveFolder(Backup::Server, folder), env->drives->driveFolder("H:") + "/Backup");
        QCOMPARE(Backup::archiveFolder(Backup::HardDisk, folder), env->appFolder() + "/Backup");
        QCOMPARE(Backup::archiveFolder(Backup::HardDiskAuto, folder), env->appFolder() + "/Backup");
        // Once chosen, the server folder, also through a mapped drive.
        QVERIFY(Settings::SaveSetting("Backup", "서버백업", "경로", "H:\\백업\\"));
        QCOMPARE(Backup::storedServerFolder(), env->drives->driveFolder("H:") + "/백업");
        QCOMPARE(Backup::archiveFolder(Backup::Server, folder), env->drives->driveFolder("H:") + "/백업");
        QCOMPARE(Backup::archiveFolder(Backup::HardDisk, folder), env->appFolder() + "/Backup");
        QCOMPARE(Backup::picturesFolder(), env->appFolder() + "/IMG");
    }
};

QTEST_MAIN(TestArchive)
#include "tst_archive.moc"
