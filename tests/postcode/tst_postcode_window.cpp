#include "AppPaths.h"
#include "EnvFixture.h"
#include "PostcodeFixture.h"
#include "PostcodeWindows.h"
#include "Spread.h"
#include "frmZipcode.h"
#include "modMain.h"
#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTest>
#include <QTimer>

using namespace FolderFiles;

class TestPostcodeWindow : public EnvFixture {
    Q_OBJECT
    void setUp() override { PostcodeFixture::makeDatabase(dbFile()); }
    QString dbFile() const { return env->appFolder() + "/DBS/dbPost.db"; }

    // Runs check once the modal window is up and active, then closes it unless check did.
    static void whileShown(frmZipcode &w, const std::function<void()> &check) {
        QTimer::singleShot(0, &w, [&w, check] {
            w.activateWindow();
            if (QTest::qWaitForWindowActive(&w))
                check();
            else
                QFAIL("the window did not become active");
            if (w.isVisible())
                w.reject();
        });
        w.exec();
    }

private Q_SLOTS:
    void emptyTextShowsTheWindowWithoutSearching() {
        frmZipcode w;
        QCOMPARE(w.windowTitle(), QString("우편번호 검색"));
        QCOMPARE(w.InitForm(""), 2);
        QCOMPARE(w.spList->maxRows(), 0);
        QCOMPARE(w.txtInput->text(), QString());
        QVERIFY(env->prompter.boxes().isEmpty());
        QCOMPARE(w.Post(), QString());
    }

    void oneMatchIsChosenAtOnce_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("post");
        QTest::addColumn<QString>("addr");
        QTest::newRow("six digits get the dash") << "역삼동"
                                                 << "135-080"
                                                 << "서울특별시 강남구 역삼동";
        QTest::newRow("by code as typed") << "135080"
                                          << "135-080"
                                          << "서울특별시 강남구 역삼동";
        QTest::newRow("by code as shown") << "135-080"
                                          << "135-080"
                                          << "서울특별시 강남구 역삼동";
        QTest::newRow("stored with its dash, typed without") << "135090"
                                                             << "135-090"
                                                             << "서울특별시 강남구 삼성동";
        QTest::newRow("stored with its dash") << "삼성"
                                              << "135-090"
                                              << "서울특별시 강남구 삼성동";
        QTest::newRow("five digits as they are") << "06252"
                                                 << "06252"
                                                 << "서울특별시 강남구 역삼2동";
        QTest::newRow("no district") << "조치원"
                                     << "30007"
                                     << "세종특별자치시 조치원읍";
        QTest::newRow("a quote finds itself") << "O'Neil"
                                              << "63100"
                                              << "제주특별자치도 제주시 O'Neil동";
        QTest::newRow("% finds itself") << "100%"
                                        << "63101"
                                        << "제주특별자치도 제주시 100%동";
    }
    void oneMatchIsChosenAtOnce() {
        QFETCH(QString, text);
        QFETCH(QString, post);
        QFETCH(QString, addr);
        frmZipcode w;
        QCOMPARE(w.InitForm(text), 1);
        QCOMPARE(w.Post(), post);
        QCOMPARE(w.Addr(), addr);
        QVERIFY(!w.isVisible());
        QVERIFY(env->prompter.boxes().isEmpty());
    }

    // A single match without a code cannot be handed back.
    void singleMatchWithoutCode() {
        {
            QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "edit");
            db.setDatabaseName(dbFile());
            QVERIFY(db.open());
            QVERIFY(QSqlQuery(db).exec("UPDATE Post SET ZIPCODE = '' WHERE DONG = '삼성동'"));
        }
        QSqlDatabase::removeDatabase("edit");
        frmZipcode w;
        QCOMPARE(w.InitForm("삼성"), 0);
        QCOMPARE(env->prompter.texts(), QStringList{"데이터에 문제가 있어 우편번호를 찾을 수 없습니다."});
        QCOMPARE(w.Post(), QString());
        QCOMPARE(w.Addr(), QString());
    }

    void severalOrNoneMatch() {
        frmZipcode w;
        QCOMPARE(w.InitForm("역삼"), 2);
        QCOMPARE(w.spList->maxRows(), 3);
        // Ordered by code, shown in the form a choice returns, the other columns as stored.
        QCOMPARE(w.spList->text(1, 1), QString("06236"));
        QCOMPARE(w.spList->text(1, 3), QString("135-080"));
        QCOMPARE(w.spList->text(5, 3), QString("1~100"));
        QCOMPARE(w.spList->headerText(4, 1), QString("동/면"));
        QCOMPARE(w.Post(), QString());
        QCOMPARE(w.InitForm("O_Neil"), 0); // _ is no wildcard
        QCOMPARE(w.InitForm("135-08"), 0);
        QCOMPARE(w.spList->maxRows(), 0);
        QVERIFY(env->prompter.boxes().isEmpty());
    }

    void choosingInTheWindow() {
        {
            frmZipcode w;
            QCOMPARE(w.InitForm("역삼"), 2);
            whileShown(w, [&] {
                QCOMPARE(w.focusWidget(), static_cast<QWidget *>(w.spList)); // rows: the grid takes the focus
                w.spList->setActiveCell(1, 2);
                QTest::keyClick(w.spList, Qt::Key_Return);
            });
            QCOMPARE(w.result(), int(QDialog::Accepted));
            QCOMPARE(w.Post(), QString("06252"));
            QCOMPARE(w.Addr(), QString("서울특별시 강남구 역삼2동"));
        }
        {
            frmZipcode w;
            w.InitForm("역삼");
            QString shown;
            whileShown(w, [&] {
                w.spList->setActiveCell(2, 3);
                shown = w.spList->model()->index(2, 0).data().toString(); // what the screen shows
                w.btnSel->click();
            });
            QCOMPARE(w.Post(), QString("135-080"));
            QCOMPARE(shown, w.Post());
        }
        {
            frmZipcode w;
            w.InitForm("역삼");
            whileShown(w, [&] {
                const QRect cell = w.spList->visualRect(w.spList->model()->index(1, 0));
                // The view takes a double click on the cell it was pressed on.
                QTest::mousePress(w.spList->viewport(), Qt::LeftButton, {}, cell.center());
                QTest::mouseDClick(w.spList->viewport(), Qt::LeftButton, {}, cell.center());
            });
            QCOMPARE(w.Post(), QString("06252"));
        }
    }

    void searchingInTheWindow() {
        frmZipcode w;
        QCOMPARE(w.InitForm(""), 2);
        whileShown(w, [&] {
            QCOMPARE(w.focusWidget(), static_cast<QWidget *>(w.txtInput)); // no rows: the search box
            QTest::keyClick(w.txtInput, Qt::Key_Return);
            QCOMPARE(env->prompter.texts(), QStringList{"검색어를 입력하세요."});
            w.txtInput->setText("없는동");
            QTest::keyClick(w.txtInput, Qt::Key_F5);
            QCOMPARE(env->prompter.texts().last(), QString("'없는동' 를 찾을 수 없습니다."));
            QCOMPARE(env->prompter.boxes().last().icon, Prompter::Icon::Information);
            w.txtInput->setText("역삼");
            QTest::keyClick(w.txtInput, Qt::Key_Return);
            QCOMPARE(w.spList->maxRows(), 3);
            QCOMPARE(w.focusWidget(), static_cast<QWidget *>(w.spList));
            QTest::keyClick(w.spList, Qt::Key_F3);
            QCOMPARE(w.focusWidget(), static_cast<QWidget *>(w.txtInput));
            QTRY_COMPARE(w.txtInput->selectedText(), QString("역삼"));
        });
        QCOMPARE(w.Post(), QString()); // closed without choosing
    }

    void nothingToChoose() {
        frmZipcode w;
        QCOMPARE(w.InitForm(""), 2);
        whileShown(w, [&] {
            // Enter in the empty grid does nothing; the button says what is missing.
            QTest::keyClick(w.spList, Qt::Key_Return);
            QVERIFY(env->prompter.boxes().isEmpty());
            QVERIFY(w.isVisible());
            w.btnSel->click();
            QCOMPARE(env->prompter.texts(), QStringList{"리스트에서 선택하세요."});
            QVERIFY(w.isVisible());
        });
        QCOMPARE(w.result(), int(QDialog::Rejected));
    }

    void missingDatabase() {
        QFile::remove(dbFile());
        frmZipcode w;
        QCOMPARE(env->prompter.texts(), QStringList{"우편번호 DB를 찾을 수 없습니다.\r\n" + dbFile()});
        QCOMPARE(env->prompter.boxes().first().icon, Prompter::Icon::Warning);
        QCOMPARE(w.InitForm("역삼"), 0);
        QCOMPARE(w.exec(), int(QDialog::Rejected));
        QCOMPARE(env->prompter.boxes().size(), 1);
    }

    void unreadableDatabase() {
        writeFile(dbFile(), QByteArray(8192, 'x'));
        frmZipcode w;
        QCOMPARE(env->prompter.boxes().size(), 1);
        QCOMPARE(env->prompter.boxes()[0].title, QString("오류"));
        QVERIFY(env->prompter.boxes()[0].text.startsWith("DB 연결 실패\r\n"));
        QVERIFY(!w.hasConnection());
        // The window stays, without a usable connection.
        QCOMPARE(w.InitForm("역삼"), 0);
        QCOMPARE(env->prompter.boxes()[1].title, QString("MDB 오류"));
        QVERIFY(env->prompter.boxes()[1].text.startsWith("Data Base MDB가 선언되지 않았습니다.\r"));
        QVERIFY(env->prompter.boxes()[1].text.endsWith("DONG LIKE '역삼%' ESCAPE '\\' ORDER BY ZIPCODE;"));
        QCOMPARE(w.spList->maxRows(), 0);
    }

    void tableMissingIsAQueryError() {
        PostcodeFixture::makeDatabase(dbFile(), "ZIPCODE|SIDO|GUGUN|DONG\n1|a|b|c\n");
        {
            QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "drop");
            db.setDatabaseName(dbFile());
            QVERIFY(db.open());
            QSqlQuery(db).exec("ALTER TABLE Post RENAME TO Old");
        }
        QSqlDatabase::removeDatabase("drop");
        frmZipcode w;
        QCOMPARE(w.InitForm("역삼"), 0);
        QCOMPARE(env->prompter.boxes().size(), 1);
        QCOMPARE(env->prompter.boxes()[0].title, QString("Query"));
        QVERIFY(env->prompter.boxes()[0].text.startsWith("Jet Data Base Engine의 식을 확인하세요.\r"));
    }

    // The connection lives exactly as long as the window.
    void connectionFollowsTheWindow() {
        const int before = int(QSqlDatabase::connectionNames().size());
        {
            frmZipcode w;
            QVERIFY(w.hasConnection());
            QCOMPARE(int(QSqlDatabase::connectionNames().size()), before + 1);
        }
        QCOMPARE(int(QSqlDatabase::connectionNames().size()), before);
    }

    // A fresh application folder gets the sample database beside the main one.
    void freshFolderGetsTheSample() {
        QFile::remove(dbFile());
        QDir(env->appFolder() + "/DBS").removeRecursively();
        registerPostcodeWindows();
        QString error;
        QVERIFY2(modMain::PrepareAppFolder(&error), qPrintable(error));
        frmZipcode w;
        QCOMPARE(w.InitForm("역삼"), 2);
        QCOMPARE(w.spList->maxRows(), 3);
        QCOMPARE(w.InitForm("역삼동"), 1);
        QCOMPARE(w.Post(), QString("135-080"));
    }
};

QTEST_MAIN(TestPostcodeWindow)
#include "tst_postcode_window.moc"
