#include "AppPaths.h"
#include "AppState.h"
#include "Backup.h"
#include "BackupArchive.h"
#include "BackupToolRun.h"
#include "EnvFixture.h"
#include "PictureTable.h"
#include "Recordset.h"
#include "Schema.h"
#include "ServerDump.h"
#include "Settings.h"
#include "modMDB_Func.h"
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTest>

using namespace modMDB_Func;

namespace {

QStringList archivesIn(const QString &folder) { return QDir(folder).entryList({"*.zip"}, QDir::Files, QDir::Name); }

bool writeFile(const QString &path, const QByteArray &bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

} // namespace

// The backup program on a server database: the dump goes into the verified archive, and a
// restore puts it back after asking, keeping what the server held before.
class TestServerBackup : public EnvFixture {
    Q_OBJECT
    void setUp() override {
        QVERIFY2(TestEnv::onServer(), "run through scripts/with-postgres");
        QVERIFY(env->openFreshDatabase());
        ExecuteSQL("INSERT INTO t_mobile (mcode, model, bigo) VALUES ('000001', '갤럭시 S24', 'O''Neil')");
        ExecuteSQL("INSERT INTO t_mobile (mcode, model, bigo) VALUES ('000002', 'V50', '')");
        QString why;
        QVERIFY2(PictureTable::put(connection(), "SM-1", "picture one", &why), qPrintable(why));
        QVERIFY(writeFile(Backup::picturesFolder() + "/SM-1.bmp", "picture one")); // this PC's cached copy
    }

    QString backupFolder() const { return AppPaths::inApp("Backup"); }
    QStringList rows() {
        // The tables were dropped and made anew by the restore: a fresh connection sees them.
        if (!env->reopenDatabase())
            return {"<cannot open>"};
        QStringList out;
        Recordset rs;
        OpenRecordset(rs, "SELECT code, mcode, model, bigo FROM t_mobile ORDER BY code");
        for (; !rs.eof(); rs.moveNext())
            out << QStringList{rs.text("code"), rs.text("mcode"), rs.text("model"), rs.text("bigo")}.join('|');
        CloseObj(rs);
        return out;
    }

private Q_SLOTS:
    void backupThenRestoreAfterAsking() {
        const QStringList atBackup = rows();
        QString out;
        QCOMPARE(runBackupTool({}, &out), 0);
        QVERIFY2(out.contains("백업이 완료되었습니다"), qPrintable(out));
        QCOMPARE(archivesIn(backupFolder()).size(), 1);
        const QString archive = backupFolder() + "/" + archivesIn(backupFolder()).first();
        const BackupArchive::Outcome verified = BackupArchive::verify(archive);
        QVERIFY(verified.ok);
        QStringList entries = verified.entries;
        entries.sort();
        // The pictures are in the dump: IMG/ is only this PC's cache.
        QCOMPARE(entries, (QStringList{ServerDump::kEntryName}));

        // A day's work after the backup.
        ExecuteSQL("DELETE FROM t_mobile WHERE mcode = '000001'");
        ExecuteSQL("UPDATE t_mobile SET model = '바뀐 이름' WHERE mcode = '000002'");
        ExecuteSQL("INSERT INTO t_mobile (mcode, model) VALUES ('000003', '새 모델')");
        QString why;
        QVERIFY(PictureTable::remove(connection(), "SM-1", &why));
        const QStringList changed = rows();
        QVERIFY(changed != atBackup);

        QCOMPARE(runBackupTool({"--restore", archive}, &out), 2); // asks first: unanswered is no
        QCOMPARE(rows(), changed);

        QCOMPARE(runBackupTool({"--restore", archive, "--yes"}, &out), 0);
        QVERIFY2(out.contains("복원이 완료되었습니다"), qPrintable(out));
        QCOMPARE(rows(), atBackup);
        PictureTable::Row picture;
        QVERIFY(PictureTable::fetch(connection(), "SM-1", {}, &picture, &why));
        QCOMPARE(picture.bytes, QByteArray("picture one"));
        QCOMPARE(picture.hash, PictureTable::hashOf("picture one"));
        // The key counter comes back with the rows: the next key follows the restored ones.
        ExecuteSQL("INSERT INTO t_mobile (mcode, model) VALUES ('000004', '다음')");
        const QStringList after = rows();
        QCOMPARE(after.last(), QString("%1|000004|다음|").arg(atBackup.last().section('|', 0, 0).toInt() + 1));

        // What the server held before the restore was kept, and puts the day's work back.
        const QStringList kept = archivesIn(backupFolder());
        QCOMPARE(kept.size(), 2);
        QCOMPARE(runBackupTool({"--restore", backupFolder() + "/" + kept.last(), "--yes"}, &out), 0);
        QCOMPARE(archivesIn(backupFolder()).size(), 3);
        QCOMPARE(rows(), changed);
    }

    void fileArchiveIsRefusedOnTheServer() {
        const QString folder = env->root() + "/filedb";
        QVERIFY(Schema::createMainDatabase(folder + "/dbMain.db"));
        const QString archive = env->root() + "/file.zip";
        QVERIFY(BackupArchive::create(folder, archive).ok);
        const QStringList before = rows();
        QString out;
        QCOMPARE(runBackupTool({"--restore", archive, "--yes"}, &out), 1);
        QVERIFY2(out.contains("서버 데이터베이스가 없습니다"), qPrintable(out));
        QCOMPARE(rows(), before);
    }

    void unreachableServerLeavesNoArchive() {
        // A port nobody listens on: the private server's socket folder has no other.
        Settings::SaveSetting(AppState::title(), "환경설정", "DB포트", "1");
        QString out;
        QCOMPARE(runBackupTool({}, &out), 1);
        QVERIFY2(out.contains("서버 데이터베이스") && out.contains("받아 오지 못했습니다"), qPrintable(out));
        QVERIFY(archivesIn(backupFolder()).isEmpty());
        QVERIFY(QDir(backupFolder()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden).isEmpty());
    }
};

QTEST_MAIN(TestServerBackup)
#include "tst_server_backup.moc"
