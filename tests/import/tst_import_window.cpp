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
#include <QLabel>
#include <QTableView>

// The window as the list opens it (F9): a CP949 file with Korean headers, the mapping guessed,
// the preview by F5, the import after its question, the list searched again, and 되돌리기
// handing the archive to the backup program.
class TestImportWindow : public EnvFixture {
    Q_OBJECT

    void setUp() override {
        QVERIFY(openDemoDatabase(*env));
        registerHandsetWindows();
        registerImportWindows();
    }

private Q_SLOTS:

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
