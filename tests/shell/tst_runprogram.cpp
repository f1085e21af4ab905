#include "AppPaths.h"
#include "AppState.h"
#include "EnvFixture.h"
#include "FrmLogin.h"
#include "ProgramServices.h"
#include "Settings.h"
#include "StartApp.h"
#include "WindowRegistry.h"
#include "frmIntroMsg.h"
#include "frmMain.h"
#include "modMDB_Func.h"
#include "modMain.h"
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QLockFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>
#include <sys/stat.h>

namespace {
struct Services : ProgramServices {
    int closeAsked = 0;
    QStringList restoreOffers;
    std::function<bool()> restore = [] { return false; };
    bool backupOnClose() override {
        ++closeAsked;
        return true;
    }
    bool offerRestore(const QString &folder, modMDB_Func::OpenProblem why) override {
        restoreOffers << folder + (why == modMDB_Func::OpenProblem::Damaged ? " 손상" : " 기타");
        return restore();
    }
};

template <class W> W *shown() {
    for (QWidget *w : QApplication::topLevelWidgets())
        if (auto *t = qobject_cast<W *>(w); t && t->isVisible())
            return t;
    return nullptr;
}

void setConfig(const QString &key, const QString &value) {
    Settings::SaveSetting(AppState::title(), QStringLiteral("Config"), key, value);
}
} // namespace

class TestRunProgram : public EnvFixture {
    Q_OBJECT
    void setUp() override {
        services = Services();
        windowsSeen.clear();
        WindowRegistry::add(QStringLiteral("fbMobil_Admin"), [](QWidget *main) {
            auto *child = new QWidget;
            child->setObjectName(QStringLiteral("fbMobil_Admin"));
            return static_cast<frmMain *>(main)->addChild(child);
        });
    }
    Services services;
    QStringList windowsSeen;

    // The program as main() runs it, on the test's folders. `drive` is called every 20 ms while
    // an event loop runs, as a user at the screen; a run that does not end within 20 s is
    // ended with exit code 99 so that a fault fails the case instead of hanging it.
    int run(const std::function<void()> &drive) {
        QObject guard;
        // The next tick is due before this one acts, so that a modal window the action opens
        // is driven from its own event loop.
        std::function<void()> tick = [&] {
            QTimer::singleShot(20, &guard, tick);
            drive();
        };
        QTimer::singleShot(20, &guard, tick);
        QTimer::singleShot(20000, &guard, [] {
            for (QWidget *w : QApplication::topLevelWidgets())
                w->hide();
            QCoreApplication::exit(99);
        });
        const int code = RunProgram({QStringLiteral("mobileshop"), QStringLiteral("--app-folder"), env->appFolder(),
                                     QStringLiteral("--settings-root"), AppPaths::settingsRoot()},
                                    services);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return code;
    }
    // The database as the setup left it, not yet opened by anyone.
    void prepareDatabase() {
        QVERIFY(env->openFreshDatabase());
        modMDB_Func::DBTerminate();
        Settings::SaveSetting(AppState::sharedApp(), QStringLiteral("MDAC_Check"), QStringLiteral("CHECK_VALUE"),
                              QStringLiteral("YES"));
    }

private Q_SLOTS:
    // Login, the intro message, the main window with the handset list, and closing after the
    // backup question: the whole day of a shop in one run.
    void loginToMainWindowAndClose() {
        prepareDatabase();
        int listsOpen = -1;
        const int code = run([&] {
            if (auto *intro = shown<frmIntroMsg>()) {
                windowsSeen << QStringLiteral("intro");
                intro->btnClose->click();
            } else if (auto *login = shown<FrmLogin>(); login && !windowsSeen.contains(QStringLiteral("login"))) {
                windowsSeen << QStringLiteral("login");
                login->txtPass->setFocus();
                QTest::keyClick(login->txtPass, Qt::Key_Return);
            } else if (auto *main = shown<frmMain>()) {
                windowsSeen << QStringLiteral("main");
                listsOpen = int(main->mdiArea()->subWindowList().size());
                main->close();
            }
        });
        QCOMPARE(code, 0);
        QCOMPARE(windowsSeen, (QStringList{"login", "intro", "main"}));
        QCOMPARE(listsOpen, 1);
        QCOMPARE(services.closeAsked, 1);
        QCOMPARE(gLoginID, QStringLiteral("ADMIN"));
        QVERIFY(!modMDB_Func::IsOpen());
    }

    // With the intro turned off, cancelling the login ends the program and closes the database.
    void cancelledLoginEnds() {
        prepareDatabase();
        setConfig(QStringLiteral("NoMsg"), QStringLiteral("1"));
        const int code = run([&] {
            if (auto *login = shown<FrmLogin>()) {
                windowsSeen << QStringLiteral("login");
                login->close();
            } else if (shown<frmMain>() || shown<frmIntroMsg>()) {
                windowsSeen << QStringLiteral("unexpected");
            }
        });
        QCOMPARE(code, 0);
        QCOMPARE(windowsSeen, QStringList{"login"});
        QVERIFY(!modMDB_Func::IsOpen());
        QCOMPARE(services.closeAsked, 0);
    }

    void secondInstanceSaysSoAndEnds() {
        prepareDatabase();
        AppPaths::initFromArguments({QStringLiteral("mobileshop"), QStringLiteral("--app-folder"), env->appFolder(),
                                     QStringLiteral("--settings-root"), AppPaths::settingsRoot()});
        QString failure;
        const auto first = modMain::AcquireSingleInstance(&failure);
        QVERIFY(first);
        const int code = run([&] { windowsSeen << QStringLiteral("window"); });
        QCOMPARE(env->prompter.texts(), QStringList{"이미 프로그램이 실행 중입니다."});
        QCOMPARE(code, 0);
        QVERIFY(windowsSeen.isEmpty());
        QVERIFY(!modMDB_Func::IsOpen());
        env->prompter.clear();
    }

    // The data-access check reads the database file; a server database is checked by opening
    // its connection, so there the check is never run and the login follows.
    void failedDataAccessCheckEndsBeforeTheDatabase() {
        prepareDatabase();
        Settings::SaveSetting(AppState::sharedApp(), QStringLiteral("MDAC_Check"), QStringLiteral("CHECK_VALUE"),
                              QStringLiteral("NO"));
        const int code = run([&] {
            if (auto *login = shown<FrmLogin>()) {
                windowsSeen << QStringLiteral("login");
                login->close();
            }
        });
        QCOMPARE(code, TestEnv::onServer() ? 0 : 1);
        if (TestEnv::onServer()) {
            QCOMPARE(env->shell.starts.size(), 0);
            QCOMPARE(windowsSeen, QStringList{"login"});
            return;
        }
        QCOMPARE(env->shell.starts.size(), 1);
        QVERIFY(windowsSeen.isEmpty());
        QCOMPARE(env->prompter.texts().size(), 1);
        QVERIFY(env->prompter.texts().first().startsWith("데이터베이스 점검을 통과하지 못해"));
        env->prompter.clear();
    }

    // A start that only reaches the login window, closed there; the exit code.
    int runToLogin() {
        return run([&] {
            if (auto *login = shown<FrmLogin>()) {
                windowsSeen << QStringLiteral("login");
                login->close();
            }
        });
    }

    // No backup to offer: a new database only after a second question that names the folder.
    void lostFolderWithoutBackupAsksBeforeANewDatabase() {
        if (TestEnv::onServer())
            QSKIP("a server database has no folder here to lose");
        prepareDatabase();
        setConfig(QStringLiteral("NoMsg"), QStringLiteral("1"));
        setConfig(QStringLiteral("DB경로"), env->appFolder() + "/DBS");
        QVERIFY(QDir(env->appFolder() + "/DBS").removeRecursively());
        for (const bool create : {false, true}) {
            env->prompter.clear();
            env->prompter.answerYes();
            create ? env->prompter.answerYes() : env->prompter.answerNo();
            windowsSeen.clear();
            QCOMPARE(runToLogin(), create ? 0 : 1);
            QCOMPARE(env->prompter.boxes().size(), 2);
            const auto second = env->prompter.boxes().at(1);
            QVERIFY(!second.yesIsDefault);
            QVERIFY(second.text.endsWith(QDir::toNativeSeparators(env->appFolder() + "/DBS")));
            QCOMPARE(QFileInfo::exists(env->databaseFile()), create);
            QCOMPARE(windowsSeen, create ? QStringList{"login"} : QStringList{});
        }
        QVERIFY(services.restoreOffers.isEmpty());
        modMDB_Func::DBTerminate();
        QVERIFY(modMDB_Func::OpenDB(env->databaseFile(), Schema::kPassword, true, false));
        QCOMPARE(modMDB_Func::GetValue("SELECT COUNT(*) FROM t_mobile WHERE code <> 1").toInt(), 0); // no demo rows
    }

    // What the program makes is this user's alone, unless the folder was set up for sharing
    // through its group (setgid): then the group may read and write as the user does.
    void filesArePrivateUnlessTheFolderIsShared() {
        if (TestEnv::onServer())
            QSKIP("the database lives on the server");
        const auto modeOf = [](const QString &path) {
            struct stat st {};
            return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? int(st.st_mode & 07777) : -1;
        };
        ::umask(022); // as a desktop session starts programs
        for (const bool shared : {false, true}) {
            const QString app = env->root() + (shared ? "/shared" : "/private");
            QVERIFY(QDir().mkpath(app));
            QVERIFY(::chmod(QFile::encodeName(app).constData(), shared ? 02775 : 0755) == 0);
            AppPaths::setAppFolder(app);
            AppPaths::setSettingsRoot(app + "-settings"); // each a first run
            setConfig(QStringLiteral("NoMsg"), QStringLiteral("1"));
            Settings::SaveSetting(AppState::sharedApp(), QStringLiteral("MDAC_Check"), QStringLiteral("CHECK_VALUE"),
                                  QStringLiteral("YES"));
            windowsSeen.clear();
            QCOMPARE(runToLogin(), 0);
            QCOMPARE(windowsSeen, QStringList{"login"});
            const int dir = shared ? 02770 : 0700, file = shared ? 0660 : 0600;
            QCOMPARE(modeOf(app), dir);
            QCOMPARE(modeOf(app + "/DBS"), dir);
            QCOMPARE(modeOf(app + "/DBS/dbMain.db"), file);
            QCOMPARE(modeOf(app + "/Image/loginbg.jpg"), file);
            QVERIFY(!(modeOf(AppPaths::settingsRoot()) & 077));
        }
    }

    // A named data folder that is not there is refused before anything is made.
    void missingNamedAppFolderIsRefused() {
        const QString missing = env->root() + "/typo/app";
        const int code = RunProgram({QStringLiteral("mobileshop"), QStringLiteral("--app-folder"), missing,
                                     QStringLiteral("--settings-root"), AppPaths::settingsRoot()},
                                    services);
        QCOMPARE(code, 1);
        QCOMPARE(env->prompter.texts().size(), 1);
        QVERIFY(env->prompter.texts().first().startsWith("데이터 폴더가 없습니다."));
        QVERIFY(!QFileInfo::exists(env->root() + "/typo"));
        env->prompter.clear();
    }

    // A damaged database file is offered for restore; once restored, start-up goes on to the
    // login. Refused, the program ends without a window.
    void damagedDatabaseOfferedForRestore() {
        if (TestEnv::onServer())
            QSKIP("a server database has no file here to damage; a lost server is tested in test_db");
        prepareDatabase();
        setConfig(QStringLiteral("NoMsg"), QStringLiteral("1"));
        const QString file = env->databaseFile();
        const auto damage = [&] {
            QFile f(file);
            QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
            f.write(QByteArray(8192, 'x'));
        };
        damage();
        QCOMPARE(run([&] { windowsSeen << QStringLiteral("window"); }), 1);
        QVERIFY(windowsSeen.isEmpty());
        QCOMPARE(services.restoreOffers.size(), 1);
        QVERIFY(services.restoreOffers.first().endsWith(" 손상"));
        // The reason was shown before the offer: number kept, the engine's words said in Korean.
        QCOMPARE(env->prompter.texts(),
                 QStringList{"DB 연결 실패\r\n-2147467259 : 데이터베이스 파일이 손상되었습니다. 데이터베이스 파일이 "
                             "아니거나 파일의 앞부분이 깨져 있습니다.\r\n(file is not a database)"});
        env->prompter.clear();

        services.restore = [&] { return QFile::remove(file) && Schema::createMainDatabase(file); };
        const int code = run([&] {
            if (auto *login = shown<FrmLogin>()) {
                windowsSeen << QStringLiteral("login");
                login->close();
            }
        });
        QCOMPARE(code, 0);
        QCOMPARE(services.restoreOffers.size(), 2);
        QCOMPARE(windowsSeen, QStringList{"login"});
        env->prompter.clear();
    }
};

QTEST_MAIN(TestRunProgram)
#include "tst_runprogram.moc"
