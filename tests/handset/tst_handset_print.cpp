#include "AppState.h"
#include "CupsServer.h"
#include "EnvFixture.h"
#include "FrmSPPrint_Preview.h"
#include "FrmSPPrint_PrintDlg.h"
#include "HandsetFixture.h"
#include "SheetPrinter.h"
#include "Spread.h"
#include "SpreadPrint.h"
#include "cFpPreview.h"
#include "fbMobil_Admin.h"
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

// The handset list printed on a real print queue: a private CUPS daemon whose queue keeps
// each job's PDF, read back with poppler.
class TestHandsetPrint : public EnvFixture {
    Q_OBJECT
    void setUp() override {
        QVERIFY(openDemoDatabase(*env));
        preview = std::make_unique<cFpPreview>();
        preview->SetAppName(AppState::title());
        gUserName = QStringLiteral("홍길동");
        list = std::make_unique<fbMobil_Admin>();
        list->show();
        QApplication::setActiveWindow(list.get());
        list->htField[6]->setFocus();
        list->QueryList();
        QCOMPARE(list->spList->maxRows(), 40);
        cups.clearOutput();
    }
    void tearDown() override {
        list.reset();
        preview.reset();
    }
    CupsServer cups;
    std::unique_ptr<fbMobil_Admin> list;
    std::unique_ptr<cFpPreview> preview;

    QString modelName(int row) const { return list->spList->text(7, row); }

private Q_SLOTS:
    void initTestCase() {
        QVERIFY2(cups.start(), qPrintable(cups.errorString()));
        qputenv("CUPS_SERVER", cups.socketPath().toLocal8Bit());
    }

    // F7, then "Print" in the preview and "인쇄" in the print dialog: the default printer's
    // queue gets every page.
    void printFromThePreview() {
        bool clicked = false, printed = false;
        QTimer::singleShot(0, [&] {
            QCoreApplication::processEvents();
            if (auto *w = qobject_cast<FrmSPPrint_Preview *>(QApplication::activeModalWidget())) {
                clicked = true;
                QTimer::singleShot(0, [&] {
                    if (auto *d = qobject_cast<FrmSPPrint_PrintDlg *>(QApplication::activeModalWidget())) {
                        printed = true;
                        d->findChild<QPushButton *>("Command2")->click();
                    }
                });
                w->ButtonClick(FrmSPPrint_Preview::ColPrint);
            }
        });
        QTest::keyClick(list->htField[6], Qt::Key_F7);
        QVERIFY(clicked);
        QVERIFY(printed);
        QVERIFY(!qobject_cast<FrmSPPrint_Preview *>(QApplication::activeModalWidget())); // printing closed it

        const QStringList files = cups.waitForOutput(1, 20000);
        QCOMPARE(files.size(), 1);
        const auto layout = printLayout(*list->spList);
        QCOMPARE(pdfPageCount(files[0]), layout->pageCount());
        const QString title = list->windowTitle();
        QVERIFY(title.contains(QStringLiteral("40")));
        int withNames = 0;
        for (int page = 1; page <= layout->pageCount(); ++page) {
            const QString text = pdfText(files[0], page);
            QVERIFY2(text.contains(title), qPrintable(QStringLiteral("page %1: %2").arg(page).arg(text.left(300))));
            QVERIFY(text.contains(QStringLiteral("홍길동")));
            const auto cols = layout->columnsOf(page);
            if (std::find(cols.begin(), cols.end(), 7) == cols.end())
                continue; // a page of the columns to the right
            ++withNames;
            for (int row = layout->firstRowOf(page); row <= layout->lastRowOf(page); ++row)
                QVERIFY2(text.contains(modelName(row)), qPrintable(modelName(row)));
        }
        QVERIFY(withNames >= 1);
        // The columns that do not fit go onto their own page, after the rows; how many fit
        // depends on the font the system gives the grid.
        const auto rightCols = layout->columnsOf(layout->pageCount());
        QVERIFY(std::find(rightCols.begin(), rightCols.end(), 7) == rightCols.end());
        const QString right = pdfText(files[0], layout->pageCount());
        for (const int c : rightCols)
            QVERIFY2(right.contains(list->spList->headerText(c, 1)), qPrintable(list->spList->headerText(c, 1)));
        QVERIFY(right.contains(QStringLiteral("사진")));
        QVERIFY(!right.contains(modelName(1)));
    }

    // The job without preview, with the page line: straight to the default printer.
    void printWithoutPreviewCarriesPageLine() {
        list->spList->setRowHeight(-1, 40); // more pages
        QVERIFY(preview->SpreadPreview(list->spList, list->objectName(), list->windowTitle(), gUserName, QString(), 1,
                                       0.3, 0.2, 0.5, 0.5, true, 1, QString(), true, 16));
        const QStringList files = cups.waitForOutput(1, 20000);
        QCOMPARE(files.size(), 1);
        const int pages = printPageCount(*list->spList);
        QVERIFY(pages > 1);
        QCOMPARE(pdfPageCount(files[0]), pages);
        const QString first = pdfText(files[0], 1), last = pdfText(files[0], pages);
        QVERIFY2(first.contains(QStringLiteral("Page: 1/%1").arg(pages)), qPrintable(first.right(300)));
        QVERIFY(last.contains(QStringLiteral("Page: %1/%1").arg(pages)));
        QVERIFY(first.contains(QStringLiteral("출력일:2024.05.15")));
    }
};

QTEST_MAIN(TestHandsetPrint)
#include "tst_handset_print.moc"
