#include "AppPaths.h"
#include "AppState.h"
#include "Backup.h"
#include "BackupArchive.h"
#include "BackupServices.h"
#include "EnvFixture.h"
#include "FolderFiles.h"
#include "Schema.h"
#include "StartApp.h"
#include "mdlBackUp.h"
#include "modMDB_Func.h"
#include <QDateTime>
#include <QDir>
#include <QTest>

using namespace modMDB_Func;
using namespace FolderFiles;

namespace {
QStringList models() {
    Recordset rs;
    QStringList out;
    OpenRecordset(rs, "SELECT model FROM t_mobile WHERE mcode <> '' ORDER BY code");
    for (; !rs.eof(); rs.moveNext())
        out << rs.text("model");
    CloseObj(rs);
    return out;
}

void setWritten(const QString &file, const QDateTime &when) {
    QFile f(file);
    QVERIFY(f.open(QIODevice::ReadWrite));
    QVERIFY(f.setFileTime(when, QFileDevice::FileModificationTime));
}
} // namespace

class TestStartupRestore : public EnvFixture {
    Q_OBJECT
    BackupServices services;
    QString dbFolder() const { return env->appFolder() + "/DBS"; }
    QString dbFile() const { return dbFolder() + "/dbMain.db"; }
    QString pictures() const { return env->appFolder() + "/IMG"; }
    QString archives() const { return env->appFolder() + "/Backup"; }

    // The shop's database with the given models and one picture, archived as name.
    QString archiveOf(const QStringList &names, const QString &name, const QByteArray &picture) {
        QDir(dbFolder()).removeRecursively();
        QDir(pictures()).removeRecursively();
        if (!env->openFreshDatabase())
            return {};
        for (int i = 0; i < names.size(); ++i)
            ExecuteSQL(QString("INSERT INTO t_mobile (mcode, model) VALUES ('%1', '%2')")
                           .arg(i + 1, 6, 10, QChar('0'))
                           .arg(names.at(i)));
        DBTerminate();
        writeFile(pictures() + "/" + names.first() + ".jpg", picture);
        const auto made = BackupArchive::create(dbFolder(), archives() + "/" + name, pictures());
        return made.ok ? made.archive : QString();
    }

    // Two archives, the newest by time written made first; then the database goes missing.
    QString twoArchivesThenMissing() {
        const QString newest = archiveOf({"SM-S921", "SM-A556", "SM-F741"}, "DBS_20240514_180000.zip", "new picture");
        const QString older = archiveOf({"SM-G991"}, "DBS_20240510_090000.zip", "old picture");
        if (newest.isEmpty() || older.isEmpty())
            return {};
        setWritten(older, QDateTime::currentDateTime().addDays(-5));
        setWritten(newest, QDateTime::currentDateTime().addDays(-1));
        QFile::remove(dbFile());
        writeFile(pictures() + "/today.jpg", "taken today");
        return newest;
    }

private Q_SLOTS:
    void missingDatabase_newestArchiveRestoredAndOpened() {
        const QString newest = twoArchivesThenMissing();
        QVERIFY(!newest.isEmpty());
        env->prompter.clear();
        env->prompter.answerYes();
        QVERIFY(OpenDatabaseAtStartUp(&services));
        QVERIFY(IsOpen());
        QCOMPARE(gDBFile, dbFile());
        QCOMPARE(models(), (QStringList{"SM-S921", "SM-A556", "SM-F741"}));
        QCOMPARE(contents(pictures()), (QMap<QString, QByteArray>{{"SM-S921.jpg", "new picture"}}));

        const auto boxes = env->prompter.boxes();
        QCOMPARE(boxes.size(), 3);
        QVERIFY(boxes.at(0).text.startsWith("DB 연결 실패")); // why, as before
        QCOMPARE(boxes.at(1).kind, QString("question"));
        QVERIFY(boxes.at(1).text.startsWith("데이터베이스 파일이 없습니다.\r\n가장 최근의 백업으로 복원하시겠습니까?"));
        QVERIFY(boxes.at(1).text.contains(QDir::toNativeSeparators(newest)));
        QVERIFY(boxes.at(2).text.startsWith("복원이 완료되었습니다."));
        // The pictures of today are kept aside, not lost.
        const QStringList aside = QDir(env->appFolder()).entryList({"IMG_before_restore_*"}, QDir::Dirs);
        QCOMPARE(aside.size(), 1);
        QCOMPARE(readAll(env->appFolder() + "/" + aside.first() + "/today.jpg"), QByteArray("taken today"));
        QVERIFY(boxes.at(2).text.contains(aside.first()));
    }

    void missingDatabase_quitCreatesNothing() {
        QVERIFY(!twoArchivesThenMissing().isEmpty());
        const auto folders = QDir(env->appFolder()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
        const auto before = contents(env->appFolder());
        env->prompter.clear();
        env->prompter.answerNo();
        QVERIFY(!OpenDatabaseAtStartUp(&services));
        QVERIFY(!IsOpen());
        QVERIFY(!QFile::exists(dbFile()));
        QCOMPARE(QDir(env->appFolder()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), folders);
        QCOMPARE(contents(env->appFolder()), before);
        QCOMPARE(env->prompter.boxes().size(), 2);
    }

    void missingDatabase_noArchiveSaysSoAndQuits() {
        QVERIFY(env->openFreshDatabase());
        DBTerminate();
        QFile::remove(dbFile());
        env->prompter.clear();
        QVERIFY(!OpenDatabaseAtStartUp(&services));
        QCOMPARE(env->prompter.texts().size(), 2);
        QCOMPARE(env->prompter.texts().last(),
                 QString("데이터베이스 파일이 없습니다.\r\n복원할 백업 파일이 없습니다. 구입처에 문의하세요."));
        QVERIFY(!QFile::exists(dbFile()));
    }

    void missingDatabase_damagedArchiveChangesNothing() {
        const QString newest = twoArchivesThenMissing();
        QVERIFY(!newest.isEmpty());
        QByteArray bytes = readAll(newest);
        for (qsizetype i = bytes.size() / 3; i < bytes.size() / 3 + 16; ++i)
            bytes[i] = char(bytes[i] ^ 0x5A);
        writeFile(newest, bytes);
        setWritten(newest, QDateTime::currentDateTime().addDays(-1));
        const auto before = contents(env->appFolder());
        env->prompter.clear();
        env->prompter.answerYes();
        QVERIFY(!OpenDatabaseAtStartUp(&services));
        QVERIFY(env->prompter.texts().last().startsWith("복원하지 못했습니다.\r\n"));
        QCOMPARE(contents(env->appFolder()), before);
        QCOMPARE(QDir(env->appFolder()).entryList({"*_restoring_*", "*_before_restore_*"}, QDir::Dirs), QStringList());
    }

    void damagedDatabase_stillGoesToTheBackupProgram() {
        QVERIFY(!archiveOf({"SM-S921"}, "DBS_20240514_180000.zip", "p").isEmpty());
        QByteArray wrecked = readAll(dbFile());
        wrecked.replace(0, 8192, QByteArray(8192, '\0'));
        writeFile(dbFile(), wrecked);
        env->prompter.clear();
        env->prompter.answerYes();
        QVERIFY(!OpenDatabaseAtStartUp(&services)); // the backup program restores once the program has ended
        QCOMPARE(lastOpenProblem(), OpenProblem::Damaged);
        QCOMPARE(env->shell.starts.size(), 1);
        QVERIFY(env->shell.starts.first().argumentText.startsWith("--restore "));
        QCOMPARE(readAll(dbFile()), wrecked);
    }
};

QTEST_MAIN(TestStartupRestore)
#include "tst_startup_restore.moc"
