#include "AppPaths.h"
#include "AppState.h"
#include "EnvFixture.h"
#include "Schema.h"
#include "Settings.h"
#include "WriteProtect.h"
#include "modMDB_Func.h"
#include "modMain.h"
#include "modNTDrv.h"
#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QTest>

using namespace modMain;

namespace {
const QString kTitle = AppState::title();
QString cfg(const QString &section, const QString &key) { return Settings::GetSetting(kTitle, section, key, "<none>"); }
void setCfg(const QString &section, const QString &key, const QString &v) {
    Settings::SaveSetting(kTitle, section, key, v);
}
} // namespace

class TestStartup : public EnvFixture {
    Q_OBJECT

    QString shareFolder() const { return env->drives->shareFolder("\\\\SRV\\shop"); }
    // A shop server's share holding the database, and the settings of a PC in network mode.
    void networkSetup(const QString &dbPath, const QString &storedDrive) {
        QVERIFY(Schema::createMainDatabase(shareFolder() + "/DBS/dbMain.db"));
        setCfg("환경설정", "CSType", "1");
        setCfg("환경설정", "네트웍경로", "\\\\SRV\\shop");
        setCfg("환경설정", "네트웍드라이브", storedDrive);
        setCfg("Config", "DB경로", dbPath);
    }

private Q_SLOTS:
    void firstCheck_skippedWhenPassed() {
        Settings::SaveSetting(AppState::sharedApp(), "MDAC_Check", "CHECK_VALUE", "YES");
        QVERIFY(RunFirstCheck("/DBS/dbMain.db", "local_user"));
        QCOMPARE(env->shell.starts.size(), 0);
    }
    void firstCheck_runsProgramAndRereads() {
        env->shell.onStart = [](const RecordingShell::Call &) {
            Settings::SaveSetting(AppState::sharedApp(), "MDAC_Check", "CHECK_VALUE", "YES");
            return 0;
        };
        QVERIFY(RunFirstCheck("/DBS/dbMain.db", "local_user"));
        QCOMPARE(env->shell.starts.size(), 1);
        const auto call = env->shell.starts.first();
        QCOMPARE(call.argumentText, " " + env->appFolder() + "/DBS/dbMain.db|local_user");
        QCOMPARE(call.workingDir, env->appFolder());
        QVERIFY(call.wait);
        QVERIFY(call.program.endsWith("FirstCheck"));
    }
    void firstCheck_failsWhenProgramDoesNotPass() {
        // A reason an earlier run left is not shown for this one.
        Settings::SaveSetting(AppState::sharedApp(), "MDAC_Check", "CHECK_ERROR", "stale");
        QVERIFY(!RunFirstCheck("/DBS/dbMain.db", "local_user"));
        QCOMPARE(env->shell.starts.size(), 1);
        QCOMPARE(env->prompter.boxes().size(), 1); // the program does not end unexplained
        QCOMPARE(env->prompter.boxes().first().icon, Prompter::Icon::Warning);
        QCOMPARE(env->prompter.texts().first(),
                 "데이터베이스 점검을 통과하지 못해 프로그램을 시작할 수 없습니다.\r\n\r\n"
                 "점검 프로그램이 결과를 남기지 않았습니다.\r\n\r\n점검한 파일: " +
                     env->appFolder() + "/DBS/dbMain.db");
    }
    void firstCheck_realProgram() {
        Shell::install(nullptr);                                 // the real process
        QVERIFY(!RunFirstCheck("/DBS/dbMain.db", "local_user")); // no database yet
        QVERIFY2(env->prompter.texts().last().contains("파일을 찾을 수 없습니다"),
                 qPrintable(env->prompter.texts().last()));
        QVERIFY(Schema::createMainDatabase(env->appFolder() + "/DBS/dbMain.db"));
        QVERIFY(!RunFirstCheck("/DBS/dbMain.db", "no_such_table"));
        QVERIFY(env->prompter.texts().last().contains("데이터베이스에 'no_such_table' 테이블이 없습니다."));
        QFile junk(env->appFolder() + "/DBS/junk.db");
        QVERIFY(junk.open(QIODevice::WriteOnly));
        junk.write(QByteArray(8192, 'j'));
        junk.close();
        QVERIFY(!RunFirstCheck("/DBS/junk.db", "local_user"));
        QVERIFY(env->prompter.texts().last().contains("DB 연결 실패"));
        QCOMPARE(env->prompter.boxes().size(), 3);
        QVERIFY(RunFirstCheck("/DBS/dbMain.db", "local_user"));
        QCOMPARE(env->prompter.boxes().size(), 3);
        QCOMPARE(Settings::GetSetting(AppState::sharedApp(), "MDAC_Check", "CHECK_VALUE"), QString("YES"));
        QCOMPARE(Settings::GetSetting(AppState::sharedApp(), "MDAC_Check", "CHECK_ERROR", "<none>"), QString("<none>"));
    }

    // Seeding is the first run's alone: a folder that went missing later is not made again,
    // and files that were there before are never rewritten.
    void freshFolderIsSeededOnce() {
        const QString logo = env->appFolder() + "/Image/mainbg.jpg";
        QVERIFY(QDir().mkpath(env->appFolder() + "/Image"));
        QFile own(logo);
        QVERIFY(own.open(QIODevice::WriteOnly) && own.write("the shop's own logo") > 0);
        own.close();
        QString error;
        QVERIFY(PrepareAppFolder(&error));
        QVERIFY(QFile::exists(env->appFolder() + "/DBS/dbMain.db"));
        QVERIFY(QFile::exists(env->appFolder() + "/Image/loginbg.jpg"));
        QVERIFY(QDir(env->appFolder() + "/FormIni").exists());
        QCOMPARE(cfg("Config", "DB경로"), env->appFolder() + "/DBS");
        QFile read(logo);
        QVERIFY(read.open(QIODevice::ReadOnly));
        QCOMPARE(read.readAll(), QByteArray("the shop's own logo"));
        QVERIFY(HasRunBefore());
        // The whole folder gone (a share not mounted), and a run that only stored "AppPath".
        for (const char *marker : {"DB경로", "AppPath"}) {
            QVERIFY(QDir(env->appFolder() + "/DBS").removeRecursively());
            setCfg("Config", "DB경로", "");
            setCfg("Config", "AppPath", "");
            setCfg("Config", marker, env->appFolder() + "/DBS");
            QVERIFY(PrepareAppFolder(&error));
            QVERIFY(!QDir(env->appFolder() + "/DBS").exists());
        }
    }

    void initApp_localDatabase() {
        QString error;
        QVERIFY(PrepareAppFolder(&error));
        setCfg("환경설정", "CSType", "0");
        QVERIFY(InitApp());
        QVERIFY(modMDB_Func::IsOpen());
        QVERIFY(gStyleOn);
        QCOMPARE(gDBPath, env->appFolder() + "/DBS");
        QCOMPARE(gDBFile, env->appFolder() + "/DBS/dbMain.db");
        QCOMPARE(cfg("Config", "AppPath"), env->appFolder());
        QCOMPARE(cfg("Config", "AppExeName"), AppPaths::programName() + ".exe");
    }
    // A write-protected database still opens, for reading, and the user hears of it once.
    void initApp_writeProtectedDatabase() {
        QString error;
        QVERIFY(PrepareAppFolder(&error));
        WriteProtect protect(env->appFolder());
        QVERIFY(InitApp());
        QVERIFY(modMDB_Func::IsWriteProtected());
        QCOMPARE(env->prompter.texts().size(), 1);
        QVERIFY(env->prompter.texts()[0].startsWith("데이터베이스 파일이 읽기 전용입니다."));
        QVERIFY(modMDB_Func::GetValue("SELECT COUNT(*) FROM local_user").toInt() > 0);
        QCOMPARE(modMDB_Func::ExecuteSQL("DELETE FROM local_user"), 0);
        QCOMPARE(env->prompter.texts().last(), QString("읽기전용으로 DB가 열렸기 때문에 쓰기를 할 수 없습니다."));
        modMDB_Func::DBTerminate();
    }
    void initApp_emptyDbPathWrittenBack() {
        QString error;
        QVERIFY(PrepareAppFolder(&error));
        setCfg("Config", "DB경로", "");
        QVERIFY(InitApp());
        QCOMPARE(cfg("Config", "DB경로"), env->appFolder() + "/DBS");
    }
    void initApp_appPathWrittenOnce() {
        QString error;
        QVERIFY(PrepareAppFolder(&error));
        setCfg("Config", "AppPath", "/elsewhere");
        QVERIFY(InitApp());
        QCOMPARE(cfg("Config", "AppPath"), QString("/elsewhere"));
        QCOMPARE(cfg("Config", "AppExeName"), QString("<none>"));
    }
    void initApp_wrongPassword() {
        QVERIFY(Schema::createMainDatabase(env->appFolder() + "/DBS/dbMain.db", "other"));
        QVERIFY(!InitApp());
        QVERIFY(env->prompter.texts().last().startsWith("DB 연결 실패"));
        QCOMPARE(gDBFile, QString());
    }

    void pathQuestion_no() {
        setCfg("Config", "DB경로", "/gone/DBS");
        env->prompter.answerNo();
        QVERIFY(!InitApp());
        const auto box = env->prompter.boxes().first();
        QCOMPARE(box.title, QString("파일 경로 오류"));
        QVERIFY(!box.yesIsDefault);
        QCOMPARE(box.text,
                 QString("데이터베이스 파일 경로가 없어졌거나 옮겨졌습니다.\r\n데이터베이스 파일 경로를 확인하세요.\r\n"
                         "DB경로를 이 컴퓨터의 폴더[" +
                         QDir::toNativeSeparators(env->appFolder() + "/DBS") + "]로 변경하시겠습니까?\r\n/gone/DBS"));
        QCOMPARE(cfg("Config", "DB경로"), QString("/gone/DBS"));
    }
    void pathQuestion_yesResetsAndEnds() {
        QVERIFY(Schema::createMainDatabase(env->appFolder() + "/DBS/dbMain.db"));
        setCfg("Config", "DB경로", "/gone/DBS");
        setCfg("환경설정", "CSType", "1");
        env->prompter.answerYes();
        QVERIFY(!InitApp());
        QVERIFY(!modMDB_Func::IsOpen()); // never opened in the same run
        QCOMPARE(cfg("Config", "DB경로"), env->appFolder() + "/DBS");
        QCOMPARE(cfg("환경설정", "CSType"), QString("0"));
        QCOMPARE(env->prompter.texts().last(),
                 QString("DB경로가 현재 컴퓨터로 변경되었습니다.\r\n프로그램을 다시 시작하세요."));
    }

    // "Yes" with the local folder gone too leads on to recovery instead of storing the same
    // missing folder again; nothing is made here.
    void pathQuestion_yesWithLocalFolderGone() {
        setCfg("Config", "DB경로", env->appFolder() + "/DBS");
        env->prompter.answerYes();
        QVERIFY(!InitApp());
        QCOMPARE(FolderToRecover(), env->appFolder() + "/DBS");
        QCOMPARE(env->prompter.boxes().size(), 1);
        QVERIFY(!QDir(env->appFolder() + "/DBS").exists());
        setCfg("Config", "DB경로", "/gone/DBS");
        env->prompter.answerNo();
        QVERIFY(!InitApp());
        QCOMPARE(FolderToRecover(), QString()); // "No" ends, nothing to recover
    }

    void network_sameDriveRemapped() {
        networkSetup("H:\\DBS", "H:");
        QVERIFY(InitApp());
        QVERIFY(QFileInfo(env->drives->driveFolder("H:")).isSymLink());
        QCOMPARE(cfg("Config", "DB경로"), QString("H:\\DBS"));
        QCOMPARE(gDBFile, QString("H:\\DBS/dbMain.db"));
        QVERIFY(modMDB_Func::IsOpen());
    }
    void network_staleMappingReplaced() {
        networkSetup("H:\\DBS", "H:");
        QDir().mkpath(env->drives->shareFolder("\\\\OLD\\gone"));
        QCOMPARE(env->drives->addConnection("H:", "\\\\OLD\\gone", "", "", true), 0);
        QVERIFY(InitApp());
        QCOMPARE(QFileInfo(env->drives->driveFolder("H:")).symLinkTarget(),
                 QFileInfo(shareFolder()).absoluteFilePath());
    }
    void network_otherDriveStored() {
        networkSetup("I:\\DBS", "H:");
        QVERIFY(InitApp());
        QCOMPARE(cfg("환경설정", "네트웍드라이브"), QString("I:"));
        QCOMPARE(cfg("Config", "DB경로"), QString("I:\\DBS"));
    }
    void network_emptyPathAsksLikeLocal() {
        networkSetup("H:\\DBS", "H:");
        setCfg("환경설정", "네트웍경로", "");
        env->prompter.answerNo();
        QVERIFY(!InitApp());
        QCOMPARE(env->prompter.boxes().size(), 1);
        QCOMPARE(env->prompter.boxes().first().title, QString("파일 경로 오류"));
        QCOMPARE(env->shell.starts.size(), 0);
    }
    void network_unreachableShare() {
        networkSetup("H:\\DBS", "H:");
        QDir(env->root() + "/network").removeRecursively();
        env->prompter.answerNo();
        QVERIFY(!InitApp());
        QCOMPARE(env->prompter.texts().first(), QString("H:드라이브 연결이 실패되었습니다."));
        QCOMPARE(env->prompter.boxes().at(1).title, QString("파일 경로 오류"));
    }

    void connectNetDrive_picksFreeLetter() {
        QDir().mkpath(shareFolder());
        QDir().mkpath(env->drives->shareFolder("\\\\A\\b"));
        QCOMPARE(env->drives->addConnection("H:", "\\\\A\\b", "", "", true), 0);
        QCOMPARE(env->drives->addConnection("I:", "\\\\A\\b", "", "", true), 0);
        QCOMPARE(modNTDrv::ConnectNetDrive("\\\\SRV\\shop", "", "", false), QString("J:"));
    }
    void connectNetDrive_retryRemaps() {
        QDir().mkpath(shareFolder());
        QDir().mkpath(env->drives->shareFolder("\\\\A\\b"));
        QCOMPARE(env->drives->addConnection("H:", "\\\\A\\b", "", "", true), 0);
        QCOMPARE(modNTDrv::ConnectNetDrive("\\\\SRV\\shop", "", "H:", true), QString("H:"));
        QCOMPARE(QFileInfo(env->drives->driveFolder("H:")).symLinkTarget(),
                 QFileInfo(shareFolder()).absoluteFilePath());
        // A drive with open files is not broken: the connection fails.
        env->drives->setOpenFiles("H:", true);
        QCOMPARE(modNTDrv::ConnectNetDrive("\\\\A\\b", "", "H:", true), QString());
        QCOMPARE(env->prompter.texts().last(), QString("H:드라이브 연결이 실패되었습니다."));
    }
    void connectNetDrive_allLettersTaken() {
        QDir().mkpath(shareFolder());
        for (char l = 'H'; l <= 'Z'; ++l)
            QCOMPARE(env->drives->addConnection(QString(QChar(l)) + ":", "\\\\SRV\\shop", "", "", true), 0);
        QCOMPARE(modNTDrv::ConnectNetDrive("\\\\SRV\\shop", "", "", true), QString());
        QVERIFY(env->prompter.texts().last().endsWith("드라이브 연결이 실패되었습니다."));
        QVERIFY(QFileInfo(env->drives->driveFolder("Z:")).isSymLink()); // nothing was dropped
    }

    void options_getInsertsOnceThenReads() {
        QVERIFY(env->openFreshDatabase());
        QCOMPARE(GetOption("PrintTitle", "기본"), QString("기본"));
        QCOMPARE(modMDB_Func::GetValue("SELECT COUNT(*) FROM options").toInt(), 1);
        QCOMPARE(GetOption("PrintTitle", "other"), QString("기본"));
        QCOMPARE(modMDB_Func::GetValue("SELECT COUNT(*) FROM options").toInt(), 1);
        QVERIFY(SetOption("PrintTitle", "새값"));
        QCOMPARE(GetOption("PrintTitle", "x"), QString("새값"));
        QVERIFY(SetOption("Other", "O'Neil"));
        QCOMPARE(GetOption("Other", ""), QString("O'Neil"));
        QCOMPARE(modMDB_Func::GetValue("SELECT COUNT(*) FROM options").toInt(), 2);
    }
    void options_errorGivesDefault() {
        QVERIFY(env->openFreshDatabase());
        modMDB_Func::ExecuteSQL("DROP TABLE options");
        QCOMPARE(GetOption("a", "dflt"), QString("dflt"));
        QCOMPARE(env->prompter.boxes().last().title, QString("오류"));
        QVERIFY(env->prompter.texts().last().startsWith("프로그램 수행도중 오류가 발생했습니다.\r\n오류번호 : "));
    }

    void loginUserInfo() {
        QVERIFY(env->openFreshDatabase());
        modMDB_Func::ExecuteSQL("INSERT INTO local_user VALUES ('OFF', '퇴사자', '', 0)");
        modMDB_Func::ExecuteSQL("INSERT INTO local_user VALUES ('O''K', '따옴표', '', 1)");
        gUserName = "이전";
        gLoginID = "OFF";
        GetLoginUserInfo(gLoginID);
        QCOMPARE(gUserName, QString("이전"));
        gLoginID = "ADMIN";
        GetLoginUserInfo(gLoginID);
        QCOMPARE(gUserName, QString("관리자"));
        gLoginID = "O'K";
        GetLoginUserInfo(gLoginID);
        QCOMPARE(gUserName, QString("따옴표"));
        gLoginID = "x' OR '1'='1";
        gUserName = "이전";
        GetLoginUserInfo(gLoginID);
        QCOMPARE(gUserName, QString("이전"));
    }

    void singleInstance() {
        QString failure;
        auto first = AcquireSingleInstance(&failure);
        QVERIFY(first);
        QVERIFY(!AcquireSingleInstance(&failure));
        QCOMPARE(failure, QString("이미 프로그램이 실행 중입니다."));
        first.reset();
        QVERIFY(AcquireSingleInstance(&failure));
        // A settings folder that cannot be made is said as such, not as a second instance.
        QFile blocker(env->root() + "/file");
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        AppPaths::setSettingsRoot(env->root() + "/file/settings");
        QVERIFY(!AcquireSingleInstance(&failure));
        QVERIFY2(failure.startsWith("설정 폴더를 만들 수 없어"), qPrintable(failure));
        QVERIFY(failure.contains(QDir::toNativeSeparators(env->root() + "/file/settings")));
    }

    void destroyClosesConnection() {
        QVERIFY(env->openFreshDatabase());
        DestroyApp();
        QVERIFY(!modMDB_Func::IsOpen());
    }
};

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
