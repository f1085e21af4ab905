#include "EnvFixture.h"
// Two PCs on one catalogue: the other PC is a real second process (the sqlite3 or psql tool)
// writing between the moment this PC's window read a handset and the moment it saves or
// deletes it. Nothing the other PC wrote is overwritten without the user saying so.
#include "HandsetFixture.h"
#include "HandsetPictures.h"
#include "ModalHelp.h"
#include "Spread.h"
#include "fbMobil_Admin.h"
#include "fbMobil_Save.h"
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>

using namespace modMDB_Func;

namespace {
const QString kChanged =
    QStringLiteral("다른 PC에서 이 핸드폰 정보가 바뀌었습니다. 덮어쓰시겠습니까? (아니요: 새로 읽기)");
const QString kDeleted = QStringLiteral("다른 PC에서 이 핸드폰이 삭제되었습니다. 새 핸드폰으로 저장하시겠습니까?");
constexpr int kCode = 5; // a demo handset
} // namespace

class TestHandsetConflict : public EnvFixture {
    Q_OBJECT
    void setUp() override {
        QVERIFY(openDemoDatabase(*env));
        DBTerminate(); // opened again as start-up does, beside the other PC's tool
        QVERIFY(env->reopenDatabase());
        list = std::make_unique<fbMobil_Admin>();
        list->show();
        list->QueryList();
        QVERIFY(rowOf(kCode) > 0);
    }
    void tearDown() override {
        list.reset();
        QVERIFY2(promptsLeftOver(*env).isEmpty(), qPrintable(promptsLeftOver(*env)));
    }
    std::unique_ptr<fbMobil_Admin> list;

    // The other PC's statement, run by the engine's own command-line tool.
    bool otherPc(const QString &sql) {
        QProcess p;
        if (TestEnv::onServer()) {
            const ServerConnection &s = env->server;
            QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
            e.insert("PGPASSWORD", s.password);
            p.setProcessEnvironment(e);
            p.start("psql", {"-X", "-q", "-v", "ON_ERROR_STOP=1", "-h", s.host, "-p", QString::number(s.port), "-U",
                             s.user, "-d", s.database, "-c", sql});
        } else {
            p.start("sqlite3", {env->databaseFile(), sql});
        }
        const bool ok = p.waitForFinished(20000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
        if (!ok)
            qWarning("%s", p.readAllStandardError().constData());
        return ok;
    }
    // The other PC at work while this one waits: its statements run on in a process of its own.
    bool otherPcInBackground(const QString &sql) {
        const ServerConnection &s = env->server;
        auto *p = new QProcess(this);
        QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
        e.insert("PGPASSWORD", s.password);
        p->setProcessEnvironment(e);
        p->start("psql",
                 {"-X", "-q", "-h", s.host, "-p", QString::number(s.port), "-U", s.user, "-d", s.database, "-c", sql});
        return p->waitForStarted(5000);
    }
    QString column(const QString &name, int code = kCode) {
        return GetValue(QStringLiteral("SELECT %1 FROM t_mobile WHERE code = %2").arg(name).arg(code)).toString();
    }
    // Every record but the one the case is about, to see that nothing else changed.
    QString others() {
        Recordset rs;
        OpenRecordset(rs, QStringLiteral("SELECT code, mcode, mid, model, nick FROM t_mobile WHERE code <> %1 ORDER "
                                         "BY code")
                              .arg(kCode));
        QStringList rows;
        for (; !rs.eof(); rs.moveNext())
            rows << rs.text("code") + "|" + rs.text("mcode") + "|" + rs.text("mid") + "|" + rs.text("model") + "|" +
                        rs.text("nick");
        CloseObj(rs);
        return rows.join('\n');
    }
    int rowOf(int code) const {
        for (int r = 1; r <= list->spList->maxRows(); ++r)
            if (GetSpreadText(list->spList, HandsetColumns::gridColumn("code"), r).toInt() == code)
                return r;
        return 0;
    }
    // "수정" on the handset; act runs in its entry window.
    void edit(std::function<void(fbMobil_Save *)> act, int code = kCode) {
        list->spList->setActiveCell(1, rowOf(code));
        onNextModalOf<fbMobil_Save>(list.get(), act);
        list->btnRecEdit->click();
    }

private Q_SLOTS:

    // Changed on the other PC while open here: asked; "아니요" shows the other PC's record and
    // writes nothing, "예" writes this window's fields; no other record moves.
    void changedElsewhereIsAsked_data() {
        QTest::addColumn<bool>("overwrite");
        QTest::newRow("아니요: 새로 읽기") << false;
        QTest::newRow("예: 덮어쓰기") << true;
    }
    void changedElsewhereIsAsked() {
        QFETCH(bool, overwrite);
        const QString before = others(), model = column("model");
        bool saved = true;
        QString nickShown;
        edit([&](fbMobil_Save *e) {
            QVERIFY(otherPc(QStringLiteral("UPDATE t_mobile SET nick = 'Other''s' WHERE code = %1").arg(kCode)));
            e->htField[6]->setText("MY-MODEL");
            overwrite ? env->prompter.answerYes() : env->prompter.answerNo();
            saved = e->Save();
            nickShown = e->htField[8]->text();
            if (e->isVisible())
                e->reject();
        });
        QCOMPARE(env->prompter.boxes().size(), 1);
        QCOMPARE(env->prompter.boxes().first().text, kChanged);
        QVERIFY(!env->prompter.boxes().first().yesIsDefault);
        QCOMPARE(saved, overwrite);
        QCOMPARE(column("model"), overwrite ? QString("MY-MODEL") : model);
        QCOMPARE(column("nick"), overwrite ? nickShown : QString("Other's"));
        if (!overwrite)
            QCOMPARE(nickShown, QString("Other's")); // read again
        QCOMPARE(others(), before);
    }

    // A picture chosen here after the other PC gave the handset another: asked as for the texts.
    void pictureChangedElsewhereIsAsked_data() {
        QTest::addColumn<bool>("overwrite");
        QTest::addColumn<QString>("newId");
        QTest::newRow("아니요: 새로 읽기") << false << QString();
        QTest::newRow("예: 덮어쓰기") << true << QString();
        QTest::newRow("a new ID too, 아니요") << false << QString("NEW-ID");
    }
    void pictureChangedElsewhereIsAsked() {
        QFETCH(bool, overwrite);
        QFETCH(QString, newId);
        const QString id = column("mid"), mine = env->root() + "/mine.bmp";
        QFile file(mine);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bmpOf(Qt::red)) > 0);
        file.close();
        bool saved = !overwrite;
        edit([&](fbMobil_Save *e) {
            QVERIFY(putPicture(*env, id, bmpOf(Qt::blue)));
            env->prompter.answerText(mine);
            e->btnPicture->click();
            if (!newId.isEmpty())
                e->htField[1]->setText(newId);
            overwrite ? env->prompter.answerYes() : env->prompter.answerNo();
            saved = e->Save();
            if (e->isVisible())
                e->reject();
        });
        QCOMPARE(
            env->prompter.boxes().last().text,
            QString("다른 PC에서 이 핸드폰의 사진이 바뀌었습니다. 고른 사진으로 바꾸시겠습니까? (아니요: 새로 읽기)"));
        QVERIFY(!env->prompter.boxes().last().yesIsDefault);
        QCOMPARE(saved, overwrite);
        QCOMPARE(HandsetPictures::load(id).pixelColor(1, 1), overwrite ? QColor(Qt::red) : QColor(Qt::blue));
    }

    // Deleted on the other PC while open here: saved as a new handset only when asked so.
    void deletedElsewhereIsSavedAsNewOnlyWhenAsked() {
        const int count = GetValue("SELECT COUNT(*) FROM t_mobile").toInt();
        for (const auto &[code, asNew] : {std::pair{kCode, false}, std::pair{kCode + 2, true}}) {
            env->prompter.clear();
            bool saved = !asNew;
            edit(
                [&, code = code, asNew = asNew](fbMobil_Save *e) {
                    QVERIFY(otherPc(QStringLiteral("DELETE FROM t_mobile WHERE code = %1").arg(code)));
                    e->htField[6]->setText("KEPT");
                    asNew ? env->prompter.answerYes() : env->prompter.answerNo();
                    saved = e->Save();
                    if (e->isVisible())
                        e->reject();
                },
                code);
            QCOMPARE(env->prompter.texts(), QStringList{kDeleted});
            QCOMPARE(saved, asNew);
            QCOMPARE(GetValue("SELECT COUNT(*) FROM t_mobile WHERE model = 'KEPT'").toInt(), asNew ? 1 : 0);
        }
        QCOMPARE(GetValue("SELECT COUNT(*) FROM t_mobile").toInt(), count - 1);
    }

    // A row changed elsewhere since the list showed it is deleted only when asked; a row
    // deleted elsewhere leaves the list without an error.
    void deletingWhatTheListNoLongerShows() {
        QVERIFY(otherPc(QStringLiteral("UPDATE t_mobile SET model = 'NEWER' WHERE code = %1").arg(kCode)));
        for (const bool yes : {false, true}) {
            env->prompter.clear();
            list->spList->setActiveCell(1, rowOf(kCode));
            env->prompter.answerYes(); // "선택된 자료를 정말로 삭제 하시겠습니까?"
            yes ? env->prompter.answerYes() : env->prompter.answerNo();
            list->RecDelete();
            QCOMPARE(env->prompter.boxes().size(), 2);
            QVERIFY(env->prompter.boxes().at(1).text.startsWith("다른 PC에서 이 핸드폰 정보가 바뀌었습니다."));
            QVERIFY(!env->prompter.boxes().at(1).yesIsDefault);
            QCOMPARE(GetValue(QStringLiteral("SELECT COUNT(*) FROM t_mobile WHERE code = %1").arg(kCode)).toInt(),
                     yes ? 0 : 1);
            QCOMPARE(rowOf(kCode) > 0, !yes);
        }
        const int gone = 6;
        QVERIFY(otherPc(QStringLiteral("DELETE FROM t_mobile WHERE code = %1").arg(gone)));
        env->prompter.clear();
        const int rows = list->spList->maxRows();
        list->spList->setActiveCell(1, rowOf(gone));
        env->prompter.answerYes();
        list->RecDelete();
        QCOMPARE(env->prompter.texts().last(), QString("다른 PC에서 이미 삭제된 핸드폰입니다. 목록에서 뺍니다."));
        QCOMPARE(list->spList->maxRows(), rows - 1);
    }

    // The server drops this PC's connection in the middle of a save (here while the save waits
    // for the write lock another PC holds): the save says it failed, nothing of it is written,
    // and the next save reconnects and goes through.
    void connectionLostDuringASave() {
        if (!TestEnv::onServer())
            QSKIP("a file database has no connection to lose");
        const int pid = GetValue("SELECT pg_backend_pid()").toInt();
        QVERIFY(otherPcInBackground("BEGIN; SELECT pg_advisory_xact_lock(4946726); SELECT pg_sleep(30); COMMIT;"));
        QVERIFY(QTest::qWaitFor([&] {
            return GetValue("SELECT COUNT(*) FROM pg_locks WHERE locktype = 'advisory' AND granted").toInt() > 0;
        }));
        // Once this PC's save waits for the lock (20 s at the most), its connection is dropped;
        // then the lock's holder, so that the next save need not wait out its sleep.
        QVERIFY(otherPcInBackground(
            QStringLiteral("DO $$ BEGIN FOR i IN 1..2000 LOOP EXIT WHEN EXISTS (SELECT 1 FROM pg_locks WHERE pid = %1"
                           " AND NOT granted); PERFORM pg_sleep(0.01); END LOOP; END $$;"
                           " SELECT pg_terminate_backend(%1);"
                           " SELECT pg_terminate_backend(pid) FROM pg_locks WHERE locktype = 'advisory' AND granted"
                           " AND objid = 4946726;")
                .arg(pid)));
        bool first = true, second = false;
        onNextModalOf<fbMobil_Save>(list.get(), [&](fbMobil_Save *e) {
            e->htField[1]->setText("LOST-1");
            e->htField[2]->setText("2024");
            first = e->Save();
            second = e->Save();
            if (e->isVisible())
                e->reject();
        });
        list->btnRecAdd->click();
        QVERIFY(!first);
        QVERIFY2(
            env->prompter.texts().value(0).startsWith("자료를 저장하지 못했습니다.\r\n데이터베이스 서버와의 연결이 "
                                                      "끊어졌습니다."),
            qPrintable(env->prompter.texts().join('|')));
        QVERIFY(second);
        QCOMPARE(GetValue("SELECT COUNT(*) FROM t_mobile WHERE mid = 'LOST-1'").toInt(), 1);
        QVERIFY(GetValue("SELECT pg_backend_pid()").toInt() != pid);
        for (QProcess *p : findChildren<QProcess *>())
            p->waitForFinished(10000);
    }
};

QTEST_MAIN(TestHandsetConflict)
#include "tst_handset_conflict.moc"
