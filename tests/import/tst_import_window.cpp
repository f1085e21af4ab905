#include "../handset/HandsetFixture.h"
#include "EnvFixture.h"
#include "FrmHandsetImport.h"
#include "HandsetWindows.h"
#include "ImportFixture.h"
#include "ImportWindows.h"
#include "ModalHelp.h"
#include "Spread.h"
#include "WindowRegistry.h"
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QProgressDialog>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>

// The window as the list opens it (F9): a CP949 file with Korean headers, the mapping guessed,
// the preview by F5, the import after its question, the list searched again, and 되돌리기
// handing the archive to the backup program.
class TestImportWindow : public EnvFixture {
    Q_OBJECT
    QTemporaryDir dir;
    QString small; // a new handset and a changed one, in UTF-8

    void setUp() override {
        QVERIFY(openDemoDatabase(*env));
        registerHandsetWindows();
        registerImportWindows();
    }
    QString write(const QString &name, const QByteArray &bytes) {
        QFile f(dir.filePath(name));
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
            return {};
        return f.fileName();
    }
    // The window as F9 in the list through the main window opens it, act run on it; the
    // catalogue left as it was (nothing of act writes).
    void inImportWindow(const std::function<void(FrmHandsetImport *)> &act) {
        frmMain main;
        fbMobil_Admin *list = openListThroughMain(main);
        QVERIFY(list);
        const QStringList before = ImportFixture::catalogue(*env);
        QCOMPARE(before.size(), 40);
        bool ran = false;
        onNextModal(list, [&](QWidget *w) {
            auto *window = qobject_cast<FrmHandsetImport *>(w);
            QVERIFY(window);
            ran = true;
            act(window);
        });
        QTest::keyClick(list, Qt::Key_F9);
        QVERIFY(ran);
        QCOMPARE(ImportFixture::catalogue(*env), before);
    }
    // The small file, chosen as the window chooses a file, read and previewed.
    void loadsSmallFile(FrmHandsetImport *window) {
        env->prompter.answerText(small);
        window->btnFile->click();
        QCOMPARE(window->cboMapping.size(), size_t(4));
        window->btnPreview->click();
        QCOMPARE(window->lblCounts->text(), QString("추가 1 / 변경 1 / 같음 0 / 오류 0"));
        QVERIFY(window->btnImport->isEnabled());
    }

private Q_SLOTS:
    void initTestCase() {
        QVERIFY(dir.isValid());
        small = write("small.csv",
                      "관리번호,모델명,ID,출시년도\n000001,애니콜 W270 골드,SCH-W270,2008\n,새폰,NEW-1,2024\n");
        QJsonArray locked;
        for (const char *format : {"xlsx", "xls", "ods"})
            locked << dir.filePath(QString("locked.") + format);
        QVERIFY(!ImportFixture::calc({QJsonArray{"protect", small, locked, "암호 1234"}}).isEmpty());
    }

    void passwordProtected_data() {
        QTest::addColumn<QString>("format");
        QTest::newRow(".xlsx") << "xlsx";
        QTest::newRow(".xls") << "xls";
        QTest::newRow(".ods") << "ods";
    }
    // A workbook LibreOffice saved with a password: the window says it is protected (not
    // damaged), offers nothing to import, and a file chosen next reads as any other.
    void passwordProtected() {
        QFETCH(QString, format);
        inImportWindow([&](FrmHandsetImport *window) {
            env->prompter.answerText(dir.filePath("locked." + format));
            window->btnFile->click();
            const QString said = env->prompter.texts().value(env->prompter.texts().size() - 1);
            QVERIFY2(said.contains("암호가 걸린 파일입니다") && !said.contains("손상"), qPrintable(said));
            QVERIFY(window->cboMapping.empty() && !window->btnImport->isEnabled());
            loadsSmallFile(window);
        });
    }

    // A million rows: the progress bar seen rising while the window reads, cancel pressed on
    // it stops the reading within a second and the window says so; then a small file reads.
    void millionRowsCancelled() {
        QByteArray rows = "관리번호,ID,출시년도\n";
        rows.reserve(25'000'000);
        for (int i = 1; i <= 1'000'000; ++i)
            rows += QByteArray::number(i).rightJustified(7, '0') + ",M-" + QByteArray::number(i) + ",2020\n";
        const QString million = write("million.csv", rows);
        QVERIFY(!million.isEmpty());
        inImportWindow([&](FrmHandsetImport *window) {
            QList<int> seen;
            QElapsedTimer sinceChosen, sinceCancel;
            qint64 shownAfter = -1;
            QTimer watch;
            connect(&watch, &QTimer::timeout, window, [&] {
                auto *bar = window->findChild<QProgressDialog *>();
                if (!bar || !bar->isVisible() || sinceCancel.isValid())
                    return;
                if (seen.isEmpty())
                    shownAfter = sinceChosen.elapsed();
                if (seen.isEmpty() || bar->value() != seen.last())
                    seen << bar->value();
                if (seen.size() == 4) { // as the user does: the dialog's own button
                    sinceCancel.start();
                    bar->findChild<QPushButton *>()->click();
                }
            });
            watch.start(25);
            env->prompter.answerText(million);
            sinceChosen.start();
            window->btnFile->click();
            const qint64 stopped = sinceCancel.isValid() ? sinceCancel.elapsed() : -1;
            watch.stop();
            QStringList values;
            for (int v : seen)
                values << QString::number(v);
            qInfo("progress shown %lld ms after the file was chosen, values %s; cancel pressed after %lld ms, "
                  "the reading stopped %lld ms later",
                  shownAfter, qPrintable(values.join(' ')), sinceChosen.elapsed() - stopped, stopped);
            QVERIFY2(seen.size() == 4 && std::is_sorted(seen.begin(), seen.end()) && seen.front() < seen.back(),
                     "the progress bar did not rise while reading");
            QVERIFY2(seen.back() < 1000, "the reading ended before cancel");
            QVERIFY2(stopped >= 0 && stopped < 1000, qPrintable(QString::number(stopped)));
            QCOMPARE(window->lblCounts->text(), QString("읽기를 취소했습니다."));
            QVERIFY(window->cboMapping.empty() && !window->btnImport->isEnabled());
            QCOMPARE(env->prompter.texts().filter("파일을 읽을 수 없습니다").size(), 0);
            loadsSmallFile(window);
        });
    }

    // A long model name does not push the reasons out of the window.
    void reasonsStayInSight() {
        const QString file = write(
            "long.csv", QString("관리번호,모델명,ID,출시년도\n," + QString(100, u'가') + ",LONG-1,2024\n").toUtf8());
        inImportWindow([&](FrmHandsetImport *window) {
            env->prompter.answerText(file);
            window->btnFile->click();
            window->btnPreview->click();
            QTableView *g = window->grdPreview;
            const int last = g->model()->columnCount() - 1;
            QVERIFY2(g->columnViewportPosition(last) + 100 < g->viewport()->width(),
                     qPrintable(QString("%1 of %2").arg(g->columnViewportPosition(last)).arg(g->viewport()->width())));
        });
    }

    void importThenUndo() {
        const QString csv = env->root() + "/목록.csv";
        const QString text = "관리번호,모델명,ID,출시년도\n000001,애니콜 W270 골드,SCH-W270,2008\n,새폰,NEW-1,2024\n";
        QFile f(csv);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(ImportFixture::run("/usr/bin/python3",
                                   {"-c", "import sys; sys.stdout.buffer.write(sys.argv[1].encode('cp949'))", text}));
        f.close();
        frmMain main;
        fbMobil_Admin *list = openListThroughMain(main);
        QVERIFY(list);
        env->prompter.answerText(csv);
        env->prompter.answerYes(); // 가져오기 전에 백업합니다. 계속하시겠습니까?
        onNextModal(list, [&](QWidget *w) {
            auto *window = qobject_cast<FrmHandsetImport *>(w);
            QVERIFY(window);
            window->btnFile->click();
            QCOMPARE(window->cboMapping.size(), size_t(4));
            QCOMPARE(window->cboMapping[1]->currentText(), QString("모델명"));
            QTest::keyClick(window, Qt::Key_F5);
            QCOMPARE(window->lblCounts->text(), QString("추가 1 / 변경 1 / 같음 0 / 오류 0"));
            QCOMPARE(window->grdPreview->model()->index(0, 5).data().toString(), QString("모델명"));
            window->btnImport->click();
            QCOMPARE(list->spList->maxRows(), 41); // searched again after the import
            QVERIFY(env->prompter.texts().last().startsWith("1건을 추가하고 1건을 바꾸었습니다."));
            env->prompter.answerYes(); // 되돌리기
            window->btnUndo->click();
        });
        QTest::keyClick(list, Qt::Key_F9);
        QCOMPARE(env->shell.starts.size(), 1);
        QVERIFY2(env->shell.starts[0].argumentText.startsWith("--restore \"" +
                                                              QDir::toNativeSeparators(env->appFolder() + "/Backup/")),
                 qPrintable(env->shell.starts[0].argumentText));
    }
};

QTEST_MAIN(TestImportWindow)
#include "tst_import_window.moc"
