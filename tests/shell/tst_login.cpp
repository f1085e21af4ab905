#include "AppState.h"
#include "EnvFixture.h"
#include "ErrorBox.h"
#include "FrmLogin.h"
#include "LoginAttempts.h"
#include "LoginPassword.h"
#include "Settings.h"
#include "mdlCommonKV.h"
#include "modMDB_Func.h"
#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPasswordDigestor>
#include <QPushButton>
#include <QTest>

using namespace modMDB_Func;

namespace {
QString cfg(const QString &key) { return Settings::GetSetting(AppState::title(), "Config", key, "<none>"); }
void setCfg(const QString &key, const QString &v) { Settings::SaveSetting(AppState::title(), "Config", key, v); }
// Hash cost where a case is about the login's rules, not the hash's price; the price itself is
// proved at the program's own cost below.
constexpr int kQuickHash = 100;
} // namespace

class TestLogin : public EnvFixture {
    Q_OBJECT
    void setUp() override {
        QVERIFY(env->openFreshDatabase());
        ExecuteSQL("INSERT INTO local_user VALUES ('KIM', '김점장', 'pw1', 1)");
        loggedIn = cancelled = 0;
    }
    int loggedIn = 0, cancelled = 0;
    bool shownWhileLoggingIn = false;

    std::unique_ptr<FrmLogin> open(bool quickHashes = true) {
        auto w = std::make_unique<FrmLogin>();
        if (quickHashes)
            w->setHashIterations(kQuickHash);
        connect(w.get(), &FrmLogin::loggedIn, this, [this, w = w.get()] {
            ++loggedIn;
            shownWhileLoggingIn = w->isVisible(); // the intro and main window come next
        });
        connect(w.get(), &FrmLogin::cancelled, this, [this] { ++cancelled; });
        w->show();
        QApplication::setActiveWindow(w.get());
        return w;
    }
    void typeInto(QLineEdit *e, const QString &text) {
        e->setFocus();
        e->selectAll();
        QTest::keyClick(e, Qt::Key_Backspace);
        QTest::keyClicks(e, text);
    }

private Q_SLOTS:
    void firstStartShowsAdminAndHint() {
        auto w = open();
        QCOMPARE(w->windowTitle(), AppState::title() + " 로그인");
        QCOMPARE(w->txtUser->text(), QString("ADMIN"));
        QCOMPARE(w->txtPass->text(), QString("엔터를 치세요"));
        QCOMPARE(w->txtPass->echoMode(), QLineEdit::Normal);
        w->txtPass->setFocus();
        QTest::keyClick(w->txtPass, Qt::Key_Return);
        QVERIFY(w->succeeded());
        QCOMPARE(loggedIn, 1);
        QVERIFY(!shownWhileLoggingIn);
        QCOMPARE(gLoginID, QString("ADMIN"));
        QCOMPARE(gUserName, QString("관리자"));
        QCOMPARE(cfg("RecentID"), QString("<none>")); // the ID was not changed
    }

    // Whatever way a password reaches the hint-showing field, not one character shows.
    void typingOverTheHintIsMasked() {
        auto w = open();
        w->txtPass->setFocus();
        w->txtPass->deselect();
        w->txtPass->end(false);
        QTest::keyClick(w->txtPass, Qt::Key_A);
        QCOMPARE(w->txtPass->echoMode(), QLineEdit::Password);
        QCOMPARE(w->txtPass->text(), QString("a"));
        QTest::keyClicks(w->txtPass, "bc");
        QCOMPARE(w->txtPass->text(), QString("abc"));
        QCOMPARE(w->txtPass->displayText(), QString("***"));

        w = open();
        w->txtPass->setFocus();
        QTest::keyClick(w->txtPass, Qt::Key_Backspace);
        QCOMPARE(w->txtPass->echoMode(), QLineEdit::Password);
        QCOMPARE(w->txtPass->text(), QString());

        w = open();
        w->txtPass->setFocus();
        w->txtPass->end(false);
        w->txtPass->insert("pw"); // as a paste or an input method would
        QCOMPARE(w->txtPass->echoMode(), QLineEdit::Password);
        QCOMPARE(w->txtPass->text(), QString("pw"));
        QTest::keyClick(w->txtPass, Qt::Key_Return);
        QVERIFY(!w->succeeded()); // ADMIN has no password: "pw" is wrong, not the hint
        QVERIFY(env->prompter.texts().last().startsWith("유저명과 암호가 일치하지 않습니다."));
    }

    void typingAnotherIdMasksPassword() {
        auto w = open();
        typeInto(w->txtUser, "kim");
        QCOMPARE(w->txtUser->text(), QString("KIM"));
        QCOMPARE(w->txtPass->echoMode(), QLineEdit::Password);
        QCOMPARE(w->txtPass->text(), QString());
        typeInto(w->txtPass, "pw1");
        QTest::keyClick(w->txtPass, Qt::Key_Return);
        QVERIFY(w->succeeded());
        QCOMPARE(cfg("RecentID"), QString("KIM"));
        QCOMPARE(gUserName, QString("김점장"));
    }

    void passwordsAreStoredHashed() {
        const auto stored = [] { return GetValue("SELECT loginpwd FROM local_user WHERE loginid = 'KIM'").toString(); };
        // The clear text of an older program opens the account once and is then replaced, by a
        // hash of the program's own cost when nobody set one.
        auto w = open(false);
        typeInto(w->txtUser, "KIM");
        typeInto(w->txtPass, "pw1");
        QTest::keyClick(w->txtPass, Qt::Key_Return);
        QVERIFY(w->succeeded());
        const QString hashed = stored();
        QVERIFY2(LoginPassword::isHash(hashed), qPrintable(hashed));
        QVERIFY(!hashed.contains("pw1"));
        QVERIFY2(hashed.startsWith("pbkdf2-sha256$50000$"), qPrintable(hashed));
        QVERIFY(LoginPassword::check("kim", "pw1"));
        QVERIFY(!LoginPassword::check("KIM", "pw2"));
        QVERIFY(!LoginPassword::check("KIM", ""));
        QVERIFY(!LoginPassword::check("KIM", hashed)); // the stored text is not a password
        QCOMPARE(stored(), hashed);
        // Salted: the same password gives another text every time.
        QVERIFY(LoginPassword::hash("pw1", kQuickHash) != LoginPassword::hash("pw1", kQuickHash));
        QVERIFY(LoginPassword::hash("pw1", kQuickHash).startsWith("pbkdf2-sha256$100$"));
        // The empty account still logs in with nothing and still shows the hint.
        QVERIFY(LoginPassword::check("ADMIN", "", kQuickHash));
        QVERIFY(!LoginPassword::check("ADMIN", "x", kQuickHash));
        QVERIFY(!LoginPassword::check("NOBODY", "", kQuickHash));
        QCOMPARE(GetValue("SELECT loginpwd FROM local_user WHERE loginid = 'ADMIN'").toString(), QString());
    }

    void wrongPasswordTakesAsLongAsRightOne() {
        ExecuteSQL(
            QString("UPDATE local_user SET loginpwd = '%1' WHERE loginid = 'KIM'").arg(LoginPassword::hash("pw1")));
        // What one login check must cost at the least: the key derivation of a shop PC's
        // 0.1 s, done here on its own; then the right password and three wrong logins.
        const std::function<void()> runs[] = {
            [] {
                QPasswordDigestor::deriveKeyPbkdf2(QCryptographicHash::Sha256, "pw1", "sixteen byte salt", 50000, 32);
            },
            [] { LoginPassword::check("KIM", "pw1"); },
            [] { LoginPassword::check("KIM", "wrong"); },
            [] { LoginPassword::check("NOBODY", "pw1"); },
            [] { LoginPassword::check("ADMIN", "x"); },
        };
        // The fastest of two rounds, taken in turns so that a busy moment slows its
        // neighbours alike: a busy machine only ever makes a run slower.
        double fastest[std::size(runs)];
        std::fill(std::begin(fastest), std::end(fastest), std::numeric_limits<double>::max());
        for (int round = 0; round < 2; ++round)
            for (size_t i = 0; i < std::size(runs); ++i) {
                QElapsedTimer t;
                t.start();
                runs[i]();
                fastest[i] = std::min(fastest[i], double(t.nsecsElapsed()));
            }
        const double right = fastest[1];
        // A derivation made cheap would be a hundred times faster.
        QVERIFY2(right > 0.2 * fastest[0], qPrintable(QString("%1 of a derivation").arg(right / fastest[0])));
        for (size_t i = 2; i < std::size(runs); ++i) {
            const double ratio = fastest[i] / right;
            // A check that skipped the hash would be a thousand times faster.
            QVERIFY2(ratio > 0.25 && ratio < 4.0, qPrintable(QString("login %1: %2").arg(i - 1).arg(ratio)));
        }
    }

    void threeAttempts() {
        auto w = open();
        typeInto(w->txtUser, "KIM");
        for (int i = 1; i <= 2; ++i) {
            typeInto(w->txtPass, "bad");
            QTest::keyClick(w->txtPass, Qt::Key_Return);
            QCOMPARE(w->attempts(), i);
            QVERIFY(w->isVisible());
            QVERIFY(env->prompter.texts().last().startsWith("유저명과 암호가 일치하지 않습니다.\r\n\r\n"));
        }
        typeInto(w->txtPass, "bad");
        QTest::keyClick(w->txtPass, Qt::Key_Return);
        QCOMPARE(env->prompter.texts().last(), QString("암호입력 제한 횟수를 초과하여, 프로그램이 종료됩니다."));
        QVERIFY(!w->isVisible());
        QCOMPARE(cancelled, 1);
        QCOMPARE(loggedIn, 0);
    }

    // An account set inactive (staff who left) is refused like a wrong password and counts.
    void inactiveAccountIsRefused() {
        ExecuteSQL("INSERT INTO local_user VALUES ('LEFT', '퇴사', 'pw9', 0)");
        auto w = open();
        typeInto(w->txtUser, "left");
        typeInto(w->txtPass, "pw9");
        QTest::keyClick(w->txtPass, Qt::Key_Return);
        QVERIFY(!w->succeeded());
        QCOMPARE(w->attempts(), 1);
        QVERIFY(env->prompter.texts().last().startsWith("유저명과 암호가 일치하지 않습니다."));
        ExecuteSQL("UPDATE local_user SET code = 1 WHERE loginid = 'LEFT'");
        QTest::keyClick(w->txtPass, Qt::Key_Return);
        QVERIFY(w->succeeded());
    }

    // Ticking "저장" while the hint shows saves no password (the hint is not one) and no error.
    void savingOverTheHintSavesNothing() {
        auto w = open();
        QCOMPARE(w->txtPass->text(), FrmLogin::hint());
        w->chkSavePwd->click();
        QCOMPARE(cfg("SavePWD"), QString("1"));
        QCOMPARE(cfg("passwd"), QString());
        w->txtPass->setFocus();
        QTest::keyClick(w->txtPass, Qt::Key_Return);
        QVERIFY(w->succeeded());
        QCOMPARE(cfg("passwd"), QString());
        QVERIFY(env->prompter.texts().isEmpty());
    }

    void blankIdIsNotAnAttempt() {
        auto w = open();
        typeInto(w->txtUser, "   ");
        w->DoLogin();
        QCOMPARE(w->attempts(), 0);
        QCOMPARE(env->prompter.texts().last(), QString("사용자 ID를 입력하세요."));
    }

    void savedPassword() {
        setCfg("RecentID", "KIM");
        setCfg("SavePWD", "1");
        setCfg("passwd", mdlCommonKV::EncodeStr("pw1"));
        {
            auto w = open();
            QCOMPARE(w->txtUser->text(), QString("KIM"));
            QCOMPARE(w->txtPass->text(), QString("pw1"));
            QVERIFY(w->chkSavePwd->isChecked());
            w->btnLogin->click();
            QVERIFY(w->succeeded());
            // Not typed this time: stored text untouched.
            QCOMPARE(cfg("passwd"), mdlCommonKV::EncodeStr("pw1"));
        }
        ExecuteSQL("UPDATE local_user SET loginpwd = 'new2' WHERE loginid = 'KIM'");
        auto w = open();
        typeInto(w->txtPass, "new2");
        w->btnLogin->click();
        QVERIFY(w->succeeded());
        QCOMPARE(cfg("passwd"), mdlCommonKV::EncodeStr("new2"));
    }

    void uncheckingSaveEmptiesPassword() {
        setCfg("RecentID", "KIM");
        setCfg("SavePWD", "1");
        setCfg("passwd", mdlCommonKV::EncodeStr("pw1"));
        auto w = open();
        w->chkSavePwd->click();
        QCOMPARE(cfg("SavePWD"), QString("0"));
        QCOMPARE(cfg("passwd"), QString());
        w->chkSavePwd->click();
        QCOMPARE(cfg("SavePWD"), QString("1"));
        QCOMPARE(cfg("passwd"), mdlCommonKV::EncodeStr("pw1"));
    }

    void escapeAsksAndCloseBoxEnds() {
        auto w = open();
        env->prompter.answerNo();
        QTest::keyClick(w.get(), Qt::Key_Escape);
        QVERIFY(w->isVisible());
        QCOMPARE(env->prompter.boxes().last().text, QString("프로그램을 종료하시겠습니까?"));
        QVERIFY(env->prompter.boxes().last().yesIsDefault);
        const int boxes = int(env->prompter.boxes().size());
        w->close();
        QCOMPARE(cancelled, 1);
        QCOMPARE(env->prompter.boxes().size(), boxes);
    }

    void quoteInIdCannotLogIn() {
        auto w = open();
        typeInto(w->txtUser, "X' OR '1'='1");
        typeInto(w->txtPass, "' OR '1'='1");
        w->DoLogin();
        QVERIFY(!w->succeeded());
        QCOMPARE(w->attempts(), 1);
    }

    // The rule without the window: refusals count to three, a success or an unanswerable
    // database does not count, and the first login of an account without a password is empty.
    void attemptsCountOnlyRefusals() {
        ExecuteSQL(QString("UPDATE local_user SET loginpwd = '%1' WHERE loginid = 'ADMIN'")
                       .arg(LoginPassword::hash("pw", kQuickHash)));
        LoginAttempts a;
        a.setHashIterations(kQuickHash);
        QVERIFY(!LoginAttempts::hasEmptyPassword("admin"));
        QCOMPARE(a.attempt("admin", "wrong"), LoginAttempts::Outcome::Refused);
        QCOMPARE(a.attempt("admin", "pw"), LoginAttempts::Outcome::Succeeded);
        QCOMPARE(a.refused(), 1);
        ExecuteSQL("ALTER TABLE local_user RENAME TO lu_old");
        QVERIFY_THROWS_EXCEPTION(AppError, a.attempt("admin", "pw"));
        ExecuteSQL("ALTER TABLE lu_old RENAME TO local_user");
        QCOMPARE(a.attempt("nobody", ""), LoginAttempts::Outcome::Refused);
        QCOMPARE(a.attempt("admin", "PW"), LoginAttempts::Outcome::LastRefused);
        ExecuteSQL("UPDATE local_user SET loginpwd = '' WHERE loginid = 'ADMIN'");
        QVERIFY(LoginAttempts::hasEmptyPassword("admin"));
    }

    void databaseErrorKeepsWindowUsable() {
        auto w = open();
        ExecuteSQL("ALTER TABLE local_user RENAME TO lu_old");
        w->DoLogin();
        QVERIFY(w->isVisible());
        QCOMPARE(w->attempts(), 0);
        QVERIFY(env->prompter.texts().last().contains("in procedure DoLogin of Form FrmLogin"));
        ExecuteSQL("ALTER TABLE lu_old RENAME TO local_user");
        w->DoLogin();
        QVERIFY(w->succeeded());
    }
};

QTEST_MAIN(TestLogin)
#include "tst_login.moc"
