#include "AppPaths.h"
#include "AppState.h"
#include "Backup.h"
#include "EnvFixture.h"
#include "Settings.h"
#include "frmMsgBackUp.h"
#include "mdlBackUp.h"
#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QLabel>
#include <QLockFile>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>

using mdlBackUp::ExecBackUp;
using mdlBackUp::ExecBackUpAuto;

namespace {
QString storedFolder() { return Settings::GetSetting("Backup", "DB경로", "경로", "<none>"); }
QString storedServerFolder() { return Settings::GetSetting("Backup", "서버백업", "경로", "<none>"); }

// Acts on the question window once it is up; a window that never comes fails the test
// rather than leaving exec() waiting for a click.
// The watch stops when context goes.
void whenQuestionShown(const std::function<void(frmMsgBackUp *)> &act, int attempts = 200, QObject *context = qApp) {
    QTimer::singleShot(10, context, [act, attempts, context] {
        for (QWidget *w : QApplication::topLevelWidgets())
            if (auto *q = qobject_cast<frmMsgBackUp *>(w); q && q->isVisible())
                return act(q);
        if (attempts > 0)
            whenQuestionShown(act, attempts - 1, context);
    });
}

// The question window must not appear: if it does, it is closed and remembered. The watch
// ends with the refusal, so it cannot reach into the next case.
struct Refusal {
    std::shared_ptr<bool> shown = std::make_shared<bool>(false);
    std::unique_ptr<QObject> watch = std::make_unique<QObject>();
};
Refusal refuseQuestion() {
    Refusal r;
    whenQuestionShown(
        [shown = r.shown](frmMsgBackUp *q) {
            *shown = true;
            q->reject();
        },
        20, r.watch.get());
    return r;
}

} // namespace

class TestBackup : public EnvFixture {
    Q_OBJECT
    void setUp() override { Backup::resetStarted(); }
    QString dbFolder() const { return env->appFolder() + "/DBS\\"; }
    // A folder of the shop's server, as the folder chooser returns it.
    QString share(const QString &name = "nas/백업") const {
        const QString folder = env->root() + "/" + name;
        QDir().mkpath(folder);
        return folder;
    }
    void chooseServerFolderBefore(const QString &folder) {
        QVERIFY(Settings::SaveSetting("Backup", "서버백업", "경로", folder));
    }

private Q_SLOTS:
    void damagedDatabaseOffersNewestBackup() {
        const QString db = env->appFolder() + "/DBS";
        QDir().mkpath(db);
        QVERIFY(!mdlBackUp::OfferRestore(db));
        QVERIFY(env->prompter.texts().last().contains("복원할 백업 파일이 없습니다"));
        // Archives of this PC and of the server: the one written last is offered.
        const QString mine = Backup::archiveFolder(Backup::HardDisk, db) + "/DBS_20240510_090000.zip";
        const QString server = Backup::archiveFolder(Backup::Server, db) + "/DBS_20240514_180000.zip";
        const QString older = Backup::archiveFolder(Backup::HardDisk, db) + "/DBS_20240401_090000.zip";
        int age = 3;
        for (const QString &f : {older, mine, server}) {
            QDir().mkpath(QFileInfo(f).absolutePath());
            QFile file(f);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("zip");
            file.flush();
            file.setFileTime(QDateTime::currentDateTime().addDays(-age--), QFileDevice::FileModificationTime);
        }
        QCOMPARE(Backup::newestArchive(db), QFileInfo(server).absoluteFilePath());
        env->prompter.answerNo();
        QVERIFY(!mdlBackUp::OfferRestore(db));
        QVERIFY(env->prompter.texts().last().contains(QDir::toNativeSeparators(QFileInfo(server).absoluteFilePath())));
        QCOMPARE(env->shell.starts.size(), 0);
        env->prompter.answerYes();
        QVERIFY(mdlBackUp::OfferRestore(db));
        QCOMPARE(env->shell.starts.size(), 1);
        QCOMPARE(env->shell.starts.first().argumentText,
                 QString("--restore \"%1\" --yes").arg(QDir::toNativeSeparators(QFileInfo(server).absoluteFilePath())));
        QCOMPARE(storedFolder(), QDir::toNativeSeparators(db) + QDir::separator());
    }

    void questionWindow() {
        frmMsgBackUp q;
        QCOMPARE(q.windowTitle(), QString("데이터 백업"));
        QCOMPARE(q.objectName(), QString("frmMsgBackUp"));
        QCOMPARE(q.Result(), qint16(frmMsgBackUp::StayOpen));
        const auto buttonsApartInside = [&q](const char *when) {
            for (int i = 0; i < 4; ++i) {
                const QRect b = q.cmdResult(i)->geometry();
                QCOMPARE(b.size(), QSize(108, 53)); // 1620 x 795 twips
                QVERIFY2(q.rect().contains(b), when);
                if (i == 0)
                    continue;
                const QRect left = q.cmdResult(i - 1)->geometry();
                QCOMPARE(b.top(), left.top());
                // A gap of at least one pixel: neither touching nor overlapping.
                QVERIFY2(b.left() > left.right() + 1,
                         qPrintable(QString("%1: button %2 at %3, the one before ends at %4")
                                        .arg(when)
                                        .arg(i)
                                        .arg(b.left())
                                        .arg(left.right())));
            }
        };
        q.show();
        QVERIFY(QTest::qWaitForWindowExposed(&q));
        buttonsApartInside("text");
        QVERIFY(q.cmdResult(0)->y() >= q.findChild<QLabel *>("lblQuestion")->geometry().bottom());
        QPixmap picture(640, 200);
        picture.fill(Qt::darkBlue);
        q.setPicture(picture);
        QVERIFY(q.width() >= 640);
        QVERIFY(q.cmdResult(0)->y() >= 200); // the buttons stay below the picture
        QVERIFY(!q.findChild<QLabel *>("lblQuestion")->isVisibleTo(&q));
        buttonsApartInside("wide picture");
        QPixmap narrow(100, 80);
        narrow.fill(Qt::white);
        q.setPicture(narrow);
        QVERIFY(q.cmdResult(0)->y() >= 80);
        buttonsApartInside("narrow picture");
    }

    void closeSequence_data() {
        QTest::addColumn<int>("button"); // -1: the window's own close box
        QTest::addColumn<bool>("mayClose");
        QTest::addColumn<QString>("arguments"); // "-" when nothing is started
        QTest::newRow("server") << 0 << true << " SERVERUP";
        QTest::newRow("this PC") << 1 << true << "";
        QTest::newRow("close without backup") << 2 << true << "-";
        QTest::newRow("cancel") << 3 << false << "-";
        QTest::newRow("close box") << -1 << false << "-";
    }
    void closeSequence() {
        QFETCH(int, button);
        QFETCH(bool, mayClose);
        QFETCH(QString, arguments);
        chooseServerFolderBefore(share());
        qint16 before = -1;
        whenQuestionShown([&](frmMsgBackUp *q) {
            before = q->Result();
            if (button < 0)
                q->close();
            else
                QTest::mouseClick(q->cmdResult(button), Qt::LeftButton);
        });
        QCOMPARE(ExecBackUpAuto("", dbFolder()), mayClose);
        QCOMPARE(before, qint16(3));
        const bool starts = arguments != "-";
        QCOMPARE(env->shell.starts.size(), starts ? 1 : 0);
        QCOMPARE(Backup::started(), starts);
        QCOMPARE(storedFolder(), starts ? dbFolder() : QString("<none>"));
        if (starts) {
            const auto call = env->shell.starts.first();
            QCOMPARE(call.argumentText, arguments);
            QVERIFY(call.program.endsWith("데이터압축"));
            QCOMPARE(call.workingDir, QString());
            QVERIFY(!call.wait);
            QCOMPARE(env->prompter.boxes().size(), 0); // no further question
        }
    }

    void closeSequence_pictureIsShown() {
        QPixmap picture(500, 150);
        picture.fill(Qt::white);
        int width = 0;
        whenQuestionShown([&](frmMsgBackUp *q) {
            width = q->width();
            q->cmdResult_Click(2);
        });
        QVERIFY(ExecBackUpAuto("", dbFolder(), picture));
        QVERIFY(width >= 500);
    }

    void closeSequence_missingProgramStillCloses() {
        const QString hidden = env->hideTools();
        whenQuestionShown([](frmMsgBackUp *q) { q->cmdResult_Click(1); });
        env->prompter.clear();
        QVERIFY(ExecBackUpAuto("", dbFolder()));
        QCOMPARE(env->prompter.texts().size(), 1);
        const QString text = env->prompter.texts().first();
        QVERIFY(text.startsWith("다음 프로그램을 찾을 수 없습니다.\r\n데이터백업 프로그램 (데이터압축)\r\n"));
        QVERIFY(text.contains("\r\n  " + QDir::toNativeSeparators(hidden) + "\r\n"));
        QCOMPARE(env->prompter.boxes().first().icon, Prompter::Icon::Warning);
        QCOMPARE(env->shell.starts.size(), 0);
        QVERIFY(!Backup::started());
    }

    void manualBackup_no() {
        env->prompter.answerNo();
        QVERIFY(!ExecBackUp(Backup::HardDisk, false, "", dbFolder()));
        QCOMPARE(env->prompter.boxes().size(), 1);
        const auto box = env->prompter.boxes().first();
        QCOMPARE(box.title, QString("데이터 백업(하드)"));
        QCOMPARE(box.text, "안전한 백업을 위하여 현재 사용중인 " + AppState::title() +
                               " 프로그램을 종료합니다.\r\n계속하시겠습니까?");
        QCOMPARE(env->shell.starts.size(), 0);
        QVERIFY(!Backup::started());
        QCOMPARE(storedFolder(), QString("<none>"));
    }

    void manualBackup_yesThenCloseWithoutQuestion() {
        env->prompter.answerYes();
        QVERIFY(ExecBackUp(Backup::HardDisk, false, "", dbFolder()));
        QCOMPARE(env->shell.starts.size(), 1);
        QCOMPARE(env->shell.starts.first().argumentText, QString());
        QVERIFY(Backup::started());
        QCOMPARE(storedFolder(), dbFolder());

        const Refusal refusal = refuseQuestion();
        QVERIFY(ExecBackUpAuto("", dbFolder()));                      // the close request finds the backup started
        QVERIFY(!ExecBackUp(Backup::HardDisk, true, "", dbFolder())); // nothing twice
        QCOMPARE(env->shell.starts.size(), 1);
        QVERIFY(!*refusal.shown);
    }

    void manualBackup_modes_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("arguments");
        QTest::newRow("server") << 1 << "데이터 백업(서버)"
                                << " SERVERUP";
        QTest::newRow("AS") << 2 << "데이터 백업(AS)"
                            << " AS";
        QTest::newRow("hard disk auto") << 3 << "데이터 백업(하드)"
                                        << " HDDAUTO";
    }
    void manualBackup_modes() {
        QFETCH(int, mode);
        QFETCH(QString, title);
        QFETCH(QString, arguments);
        chooseServerFolderBefore(share());
        env->prompter.answerYes();
        QVERIFY(ExecBackUp(mode, false, "", ""));
        QCOMPARE(env->prompter.boxes().first().title, title);
        QCOMPARE(env->shell.starts.first().argumentText, arguments);
        QCOMPARE(storedFolder(), QString("<none>"));            // no folder given, none written
        QCOMPARE(Backup::modeFromArguments({arguments}), mode); // what the backup program reads
    }

    void manualBackup_startFailsKeepsProgramOpen() {
        env->shell.onStart = [](const RecordingShell::Call &) { return -1; };
        QVERIFY(!ExecBackUp(Backup::HardDisk, true, "", dbFolder()));
        QVERIFY(!Backup::started());
        QCOMPARE(env->prompter.texts().size(), 1);
        QVERIFY(env->prompter.texts().first().startsWith(
            "다음 프로그램을 실행할 수 없습니다.\r\n데이터백업 프로그램 (데이터압축)"));
    }

    void manualBackup_unwritableSettingNeverStarts() {
        // The backup program would otherwise back up whatever folder was stored before.
        QVERIFY(QDir().mkpath(Settings::storeFile("Backup"))); // a folder where the file belongs
        QVERIFY(!ExecBackUp(Backup::HardDisk, true, "", dbFolder()));
        QCOMPARE(env->shell.starts.size(), 0);
        QVERIFY(!Backup::started());
        QCOMPARE(env->prompter.texts().size(), 1);
        const QString text = env->prompter.texts().first();
        QVERIFY2(text.startsWith("Error 75 (") && text.endsWith(") in procedure ExecBackUp of Module mdlBackUp"),
                 qPrintable(text));
    }

    void serverFolder_askedOnceThenRemembered() {
        const QString nas = share();
        whenQuestionShown([](frmMsgBackUp *q) { q->cmdResult_Click(frmMsgBackUp::ToServer); });
        env->prompter.answerText(nas);
        QVERIFY(ExecBackUpAuto("", dbFolder()));
        QCOMPARE(env->prompter.boxes().size(), 1);
        QCOMPARE(env->prompter.boxes().first().kind, QString("folder"));
        // The chooser starts where the database's folder lives.
        QCOMPARE(env->prompter.boxes().first().text, QDir::toNativeSeparators(env->appFolder()));
        QCOMPARE(storedServerFolder(), QDir::toNativeSeparators(nas));
        QCOMPARE(env->shell.starts.size(), 1);
        QCOMPARE(env->shell.starts.first().argumentText, QString(" SERVERUP"));
        QCOMPARE(Backup::archiveFolder(Backup::Server, env->appFolder() + "/DBS"), nas);

        Backup::resetStarted(); // the next day's run
        env->prompter.clear();
        whenQuestionShown([](frmMsgBackUp *q) { q->cmdResult_Click(frmMsgBackUp::ToServer); });
        QVERIFY(ExecBackUpAuto("", dbFolder()));
        QCOMPARE(env->prompter.boxes().size(), 0);
        QCOMPARE(env->shell.starts.size(), 2);
        QCOMPARE(storedServerFolder(), QDir::toNativeSeparators(nas));
        // This PC's backup neither asks for nor changes the server folder.
        Backup::resetStarted();
        whenQuestionShown([](frmMsgBackUp *q) { q->cmdResult_Click(frmMsgBackUp::ToThisPC); });
        QVERIFY(ExecBackUpAuto("", dbFolder()));
        QCOMPARE(env->prompter.boxes().size(), 0);
        QCOMPARE(env->shell.starts.last().argumentText, QString());
    }

    void serverFolder_goneOrUnwritableAsksAgain() {
        const QString gone = share("nas/old");
        chooseServerFolderBefore(gone);
        QVERIFY(QDir(gone).removeRecursively());
        const QString fresh = share("nas/new");
        // /proc takes no files, not even from root: a folder that exists but cannot be written.
        env->prompter.answerText("/proc");
        env->prompter.answerText(fresh);
        whenQuestionShown([](frmMsgBackUp *q) { q->cmdResult_Click(frmMsgBackUp::ToServer); });
        QVERIFY(ExecBackUpAuto("", dbFolder()));
        const auto boxes = env->prompter.boxes();
        QCOMPARE(boxes.size(), 4);
        QCOMPARE(boxes.at(0).icon, Prompter::Icon::Warning);
        QCOMPARE(boxes.at(0).text, QStringList({"서버 백업 폴더를 사용할 수 없습니다.", gone, "폴더가 없습니다.",
                                                "백업할 폴더를 다시 선택하세요."})
                                       .join("\r\n"));
        QCOMPARE(boxes.at(1).kind, QString("folder"));
        QCOMPARE(boxes.at(1).text, gone); // starts from the folder that was
        QCOMPARE(boxes.at(2).text, QString("선택한 폴더를 사용할 수 없습니다.\r\n/proc\r\n폴더에 쓸 수 없습니다."));
        QCOMPARE(boxes.at(3).kind, QString("folder"));
        QCOMPARE(storedServerFolder(), fresh);
        QCOMPARE(env->shell.starts.size(), 1);
        QVERIFY(!QFileInfo::exists(gone)); // not made anew
        QCOMPARE(QDir(fresh).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList());
    }

    void serverFolder_chooserCancelledStaysOpen() {
        const QString gone = share("nas/old");
        chooseServerFolderBefore(gone);
        QVERIFY(QDir(gone).removeRecursively());
        env->prompter.answerCancel();
        whenQuestionShown([](frmMsgBackUp *q) { q->cmdResult_Click(frmMsgBackUp::ToServer); });
        QVERIFY(!ExecBackUpAuto("", dbFolder())); // back to the program, no backup lost unseen
        QCOMPARE(env->prompter.boxes().size(), 2);
        QCOMPARE(env->shell.starts.size(), 0);
        QVERIFY(!Backup::started());
        QCOMPARE(storedServerFolder(), gone);
        // The menu's server backup likewise starts nothing.
        env->prompter.answerYes();
        env->prompter.answerCancel();
        QVERIFY(!ExecBackUp(Backup::Server, false, "", dbFolder()));
        QCOMPARE(env->shell.starts.size(), 0);
    }

    void closeSequence_realProgramWritesToTheChosenServerFolder() {
        const QString server = env->root() + "/server";
        QVERIFY(QDir().mkpath(server + "/DBS"));
        QFile data(server + "/DBS/data.bin");
        QVERIFY(data.open(QIODevice::WriteOnly));
        data.write(QByteArray(100000, 'x'));
        data.close();
        const QString nas = share();

        QLockFile running(Backup::programLockFile()); // this test plays the running program
        QVERIFY(running.tryLock(0));
        QProcess tool;
        env->shell.onStart = [&tool](const RecordingShell::Call &c) {
            tool.start(c.program, {c.argumentText, "--no-window", "--wait-seconds", "60"});
            return tool.waitForStarted() ? 0 : -1;
        };
        env->prompter.answerText(nas);
        whenQuestionShown([](frmMsgBackUp *q) { q->cmdResult_Click(0); });
        QVERIFY(ExecBackUpAuto("", server + "/DBS\\"));

        QVERIFY(!tool.waitForFinished(1500)); // still waiting for the program to end
        QCOMPARE(QDir(nas).entryList({"DBS_*.zip"}), QStringList());
        running.unlock();
        QVERIFY(tool.waitForFinished(60000));
        QCOMPARE(tool.exitCode(), 0);
        QCOMPARE(QDir(nas).entryList({"DBS_*.zip"}).size(), 1);
        QVERIFY(!QDir(server + "/Backup").exists());
        QVERIFY(!QDir(env->appFolder() + "/Backup").exists());

        // The next close asks nothing and writes there again.
        Backup::resetStarted();
        env->prompter.clear();
        QVERIFY(running.tryLock(0));
        whenQuestionShown([](frmMsgBackUp *q) { q->cmdResult_Click(0); });
        QVERIFY(ExecBackUpAuto("", server + "/DBS\\"));
        running.unlock();
        QVERIFY(tool.waitForFinished(60000));
        QCOMPARE(tool.exitCode(), 0);
        QCOMPARE(env->prompter.boxes().size(), 0);
        QCOMPARE(QDir(nas).entryList({"DBS_*.zip"}).size(), 2);
    }
};

QTEST_MAIN(TestBackup)
#include "tst_backup.moc"
