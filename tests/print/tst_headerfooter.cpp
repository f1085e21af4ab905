// The header/footer editor, driven as the user drives it, over the print job's grid.
#include "CupsServer.h"
#include "EnvFixture.h"
#include "FrmSPPrint_HeaderFooter.h"
#include "PrintRequest.h"
#include "SheetModel.h"
#include "SheetPrinter.h"
#include "Spread.h"
#include "SpreadPrint.h"
#include "modSpreadPrint.h"
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QLineEdit>
#include <QPdfWriter>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTest>

namespace {
const QString kReplace = QStringLiteral("Inserting page numbering in this cell will overwrite your exiting text.  "
                                        "Do you want to replace the existing text with page numbers?");
const QString kPage = QStringLiteral("<Page Number>");
} // namespace

class TestHeaderFooter : public EnvFixture {
    Q_OBJECT
    void setUp() override {
        grid = std::make_unique<Spread>();
        job().grid = grid.get();
    }
    void tearDown() override {
        w.reset();
        job() = {};
        grid.reset();
    }
    std::unique_ptr<Spread> grid;
    std::unique_ptr<FrmSPPrint_HeaderFooter> w;
    PrintRequest request;
    PrintRequest &job() { return request; }

    FrmSPPrint_HeaderFooter &open(const QString &header, const QString &footer = {}) {
        grid->printProps().header = header;
        grid->printProps().footer = footer;
        w = std::make_unique<FrmSPPrint_HeaderFooter>(request);
        w->show();
        if (!QTest::qWaitForWindowExposed(w.get()))
            qWarning("the editor did not show");
        return *w;
    }
    Spread &table() { return *w->fpSpread1; }
    void rightClick(int col, int row) {
        table().setActiveCell(col, row);
        const QPoint p = table().visualRect(table().model()->index(row - 1, col - 1)).center();
        QContextMenuEvent e(QContextMenuEvent::Mouse, p, table().viewport()->mapToGlobal(p));
        QApplication::sendEvent(table().viewport(), &e);
    }
    void clickCell(int col, int row) {
        QTest::mouseClick(table().viewport(), Qt::LeftButton, {},
                          table().visualRect(table().model()->index(row - 1, col - 1)).center());
    }
    // Types into a cell through its editor, as the keyboard does.
    void type(int col, int row, const QString &text) {
        table().setActiveCell(col, row);
        QTest::keyClick(&table(), Qt::Key_F2);
        auto *editor = qobject_cast<QLineEdit *>(table().indexWidget(table().currentIndex()));
        QVERIFY(editor);
        QTest::keyClicks(editor, text);
        QTest::keyClick(editor, Qt::Key_Return);
        QCoreApplication::processEvents(); // Enter closes the editor from the event loop
    }
    bool isPageField(int col, int row) {
        return table().text(col, row) == kPage && table().cellType(col, row) == CellType::StaticText &&
               table().foreColor(col, row) == QColor(128, 128, 128);
    }
    bool isPlainEmpty(int col, int row) {
        return table().text(col, row).isEmpty() && table().cellType(col, row) == CellType::Edit &&
               table().foreColor(col, row) == QColor(Qt::black);
    }

private Q_SLOTS:

    void opensOnTheJobsHeaderAndDefaultsBackToIt() {
        job().appName = QStringLiteral("휴대폰관리");
        job().section = QStringLiteral("fbTest");
        job().title = QStringLiteral("핸드폰 관리");
        job().headLeft = QStringLiteral("홍길동");
        job().headCenter = QStringLiteral("서울점");
        job().marginLeft = job().marginRight = job().marginTop = job().marginBottom = 0.5;
        job().printFoot = true;
        modSpreadPrint::ApplyPrintSettings(job(), grid->printProps());
        QCOMPARE(job().fullHeader, modSpreadPrint::PageHeader(QStringLiteral("핸드폰 관리"), QStringLiteral("홍길동"),
                                                              QStringLiteral("서울점"), 16));
        open(job().fullHeader, QStringLiteral("/lOwn/n"));
        QCOMPARE(w->windowTitle(), QStringLiteral("Change Header/Footer Attributes"));
        QVERIFY(w->Option3[0]->isChecked() && w->Option3[0]->font().bold() && !w->Option3[1]->font().bold());
        QCOMPARE(w->Command3->text(), QStringLiteral("Save Header Text"));
        QVERIFY(!w->Command3->isEnabled());
        QCOMPARE(table().text(3, 1), QStringLiteral("핸드폰 관리"));
        QVERIFY(table().fontBold(3, 1));
        QCOMPARE(table().fontSize(3, 1), 16.0);
        QCOMPARE(table().fontName(3, 1), QStringLiteral("굴림체"));
        QCOMPARE(table().text(1, 3), QStringLiteral("홍길동"));
        QCOMPARE(table().text(3, 3), QStringLiteral("서울점"));
        for (int col : {1, 3}) {
            QVERIFY(table().fontBold(col, 3));
            QCOMPARE(table().fontSize(col, 3), 10.0);
        }
        QVERIFY(table().text(1, 2).isEmpty() && table().text(5, 1).isEmpty());

        // The footer, then its defaults: the job's footer, written only when saved.
        w->Option3[1]->click();
        QVERIFY(w->Option3[1]->font().bold() && !w->Option3[0]->font().bold());
        QCOMPARE(w->Command3->text(), QStringLiteral("Save Footer Text"));
        QCOMPARE(table().text(1, 1), QStringLiteral("Own"));
        w->Command5->click();
        QVERIFY(w->Command3->isEnabled());
        QVERIFY(table().text(1, 1).isEmpty());
        // "Page: /p///pc": the field replaces the text before it; the date after the last code is not shown.
        QCOMPARE(table().cellType(1, 2), CellType::StaticText);
        QVERIFY(table().text(3, 2).isEmpty());
        QCOMPARE(grid->printProps().footer, QStringLiteral("/lOwn/n"));
        w->Command3->click();
        QVERIFY(!w->Command3->isEnabled());
        QVERIFY(grid->printProps().footer.startsWith(QStringLiteral("/n/fn\"굴림체\"/fz\"10\"/fb0")));
        QCOMPARE(grid->printProps().header, job().fullHeader); // the other one untouched
    }

    void readingRules() {
        open(QStringLiteral("/lX/cY/rZ/n"));
        QCOMPARE(table().text(1, 1), QStringLiteral("X"));
        QCOMPARE(table().text(3, 1), QStringLiteral("Y"));
        QCOMPARE(table().text(5, 1), QStringLiteral("Z"));
        // Font 0 changes nothing, a stored font comes back, text after the last code is not shown.
        w->GetHeaderDetail(QStringLiteral("/fn\"Serif\"/fz\"14\"/fb1/fs1/fb0/lA/f0/cB/f1/rC/nTail"));
        QVERIFY(!table().fontBold(1, 1) && !table().fontBold(3, 1) && table().fontBold(5, 1));
        QCOMPARE(table().fontName(3, 1), QStringLiteral("Serif"));
        QCOMPARE(table().fontSize(5, 1), 14.0);
        QCOMPARE(table().text(3, 1), QStringLiteral("B"));
        QVERIFY(table().text(1, 2).isEmpty());
        QVERIFY(table().text(1, 1) == QStringLiteral("A") && table().text(5, 1) == QStringLiteral("C"));
        // Texts go, formats stay.
        w->GetHeaderDetail(QString());
        QVERIFY(table().text(5, 1).isEmpty() && table().fontBold(5, 1));
        QVERIFY(env->prompter.boxes().isEmpty());
    }

    void brokenFontCodesSayWhichAndKeepWhatWasRead() {
        open(QString());
        w->GetHeaderDetail(QStringLiteral("/lA/fn\"") + QString(101, QLatin1Char('x')) + QStringLiteral("\"/cB/n"));
        QCOMPARE(env->prompter.boxes().size(), 1);
        QCOMPARE(env->prompter.boxes()[0].kind, QStringLiteral("message"));
        QCOMPARE(env->prompter.boxes()[0].title, QStringLiteral("GetHeaderDetail"));
        QCOMPARE(env->prompter.boxes()[0].text, QStringLiteral("Error parsing FONT NAME"));
        QCOMPARE(table().text(1, 1), QStringLiteral("A"));
        QVERIFY(table().text(3, 1).isEmpty());
        w->GetHeaderDetail(QStringLiteral("/fn\"") + QString(100, QLatin1Char('x')) + QStringLiteral("\"/cB/n"));
        QCOMPARE(table().fontName(3, 1), QString(100, QLatin1Char('x'))); // at the limit still read
        w->GetHeaderDetail(QStringLiteral("/rA/fz\"big\"/cB/n"));
        QCOMPARE(env->prompter.texts(), (QStringList{"Error parsing FONT NAME", "Error parsing FONT SIZE"}));
        QCOMPARE(env->prompter.boxes()[1].title, QStringLiteral("GetHeaderDetail"));
        QVERIFY(table().text(5, 1) == QStringLiteral("A") && table().text(3, 1).isEmpty());
    }

    void linesPastTheNinthAreAnnouncedOnce() {
        const QString tenLines = QStringLiteral("/lone/n/n/n/n/n/n/n/n/n/lten/n/leleven/n");
        open(tenLines, QStringLiteral("/lfoot/n/n/n/n/n/n/n/n/n/n/n/n")); // the footer's extra lines are empty
        QCOMPARE(env->prompter.boxes().size(), 1);
        QCOMPARE(env->prompter.boxes()[0].icon, Prompter::Icon::Warning);
        QVERIFY(env->prompter.boxes()[0].text.contains(QStringLiteral("9줄")));
        QCOMPARE(table().text(1, 1), QStringLiteral("one"));
        w->Option3[1]->click();
        QCOMPARE(env->prompter.boxes().size(), 1);
        w->Option3[0]->click();
        QCOMPARE(env->prompter.boxes().size(), 2);
    }

    void cellCodesAndSaving() {
        open(QStringLiteral("/fn\"굴림체\"/fz\"10\"/fb1/cTotal/n/rx/p/n"));
        QCOMPARE(w->GetCellData(3, 1), QStringLiteral("/fn\"굴림체\"/fz\"10\"/fb1/fi0/fu0/fk0/cTotal"));
        QCOMPARE(w->GetCellData(5, 2), QStringLiteral("/fn\"굴림체\"/fz\"10\"/fb1/fi0/fu0/fk0/r/p"));
        w->Option3[1]->click(); // an empty footer
        QCOMPARE(table().text(3, 1), QString());
        w->SaveConfiguration();
        QCOMPARE(grid->printProps().footer, QString());
        type(3, 2, QStringLiteral("Only"));
        QVERIFY(w->Command3->isEnabled()); // editing started
        w->Command3->click();
        QCOMPARE(grid->printProps().footer, QStringLiteral("/n") + w->GetCellData(3, 2) + QStringLiteral("/n"));
        QVERIFY(grid->printProps().footer.endsWith(QStringLiteral("/cOnly/n")));
        QVERIFY(grid->printProps().header.startsWith(QStringLiteral("/fn\"굴림체\"/fz\"10\"/fb1/cTotal")));
    }

    void rightClickTogglesPageFields() {
        open(QStringLiteral("/lText/n"));
        rightClick(3, 2);
        QVERIFY(isPageField(3, 2));
        QVERIFY(w->Command3->isEnabled());
        rightClick(3, 2);
        QVERIFY(isPlainEmpty(3, 2));
        rightClick(2, 2); // a font button: nothing
        QCOMPARE(table().text(2, 2), QStringLiteral("..."));

        env->prompter.answerNo();
        rightClick(1, 1);
        QCOMPARE(table().text(1, 1), QStringLiteral("Text"));
        QCOMPARE(env->prompter.boxes().last().title, QStringLiteral("Replace Existing Text"));
        QCOMPARE(env->prompter.boxes().last().text, kReplace);
        env->prompter.answerYes();
        rightClick(1, 1);
        QVERIFY(isPageField(1, 1));
        QCOMPARE(env->prompter.boxes().size(), 2);
    }

    void resetTextAsksFirst() {
        open(QStringLiteral("/lA/cB/n"));
        rightClick(5, 1);
        env->prompter.answerNo();
        w->Command4->click();
        QCOMPARE(env->prompter.boxes()[0].title, QStringLiteral("Clear Text"));
        QCOMPARE(env->prompter.boxes()[0].text,
                 QStringLiteral("Are you sure you want to clear the text and formatting for the selected header?"));
        QCOMPARE(grid->printProps().header, QStringLiteral("/lA/cB/n"));
        QVERIFY(table().text(1, 1) == QStringLiteral("A") && isPageField(5, 1));
        env->prompter.answerYes();
        w->Command4->click();
        QCOMPARE(grid->printProps().header, QString());
        QVERIFY(isPlainEmpty(1, 1) && isPlainEmpty(3, 1) && isPlainEmpty(5, 1));
    }

    void fontButtonSetsTheFontOfTheCellToItsLeft() {
        open(QStringLiteral("/fn\"굴림체\"/fz\"12\"/fb1/cTitle/n"));
        env->prompter.answerCancel();
        clickCell(4, 1);
        QCOMPARE(env->prompter.boxes().size(), 1);
        QFont asked;
        QVERIFY(asked.fromString(env->prompter.boxes()[0].text));
        QVERIFY(asked.family() == QStringLiteral("굴림체") && asked.pointSizeF() == 12.0 && asked.bold());
        QVERIFY(table().fontBold(3, 1) && table().fontSize(3, 1) == 12.0);
        QVERIFY(!w->Command3->isEnabled());

        QFont chosen(QStringLiteral("DejaVu Serif"), 14);
        chosen.setItalic(true);
        chosen.setStrikeOut(true);
        env->prompter.answerFont(chosen);
        clickCell(4, 1);
        QCOMPARE(table().fontName(3, 1), QStringLiteral("DejaVu Serif"));
        QCOMPARE(table().fontSize(3, 1), 14.0);
        QVERIFY(!table().fontBold(3, 1) && table().fontItalic(3, 1) && table().fontStrikeout(3, 1));
        QCOMPARE(table().foreColor(3, 1), QColor(Qt::black)); // no colour taken
        QCOMPARE(w->GetCellData(3, 1), QStringLiteral("/fn\"DejaVu Serif\"/fz\"14\"/fb0/fi1/fu0/fk1/cTitle"));
        QVERIFY(w->Command3->isEnabled());
        // The row grew for the larger font: the table still shows every line whole.
        QVERIFY(table().verticalHeader()->sectionSize(0) >= QFontMetrics(chosen).height());
        QVERIFY(table().visualRect(table().model()->index(8, 0)).bottom() < table().viewport()->height());
    }

    // Typed into the footer, OK, printed: every page of the PDF carries it.
    void editedFooterPrintsOnEveryPage() {
        grid->setMaxCols(2);
        grid->setMaxRows(160);
        for (int r = 1; r <= 160; ++r)
            grid->setText(1, r, QStringLiteral("모델%1").arg(r));
        open(QStringLiteral("/cList/n"), QStringLiteral("/lOld/n"));
        w->Option3[1]->click();
        type(1, 1, QStringLiteral("Shop Total"));
        rightClick(3, 1);
        QVERIFY(isPageField(3, 1));
        w->Command1->click();
        QVERIFY(!w->isVisible());
        QCOMPARE(grid->printProps().header, QStringLiteral("/cList/n"));
        QVERIFY(grid->printProps().footer.contains(QStringLiteral("/lShop Total")));

        const QString file = env->root() + QStringLiteral("/footer.pdf");
        {
            QPdfWriter pdf(file);
            QVERIFY(printSheet(*grid, pdf));
        }
        const int pages = pdfPageCount(file);
        QVERIFY2(pages >= 3, qPrintable(QString::number(pages)));
        QCOMPARE(pages, printPageCount(*grid));
        for (int page = 1; page <= pages; ++page) {
            const QString text = pdfText(file, page).replace(QChar(1), QLatin1Char(' '));
            QVERIFY2(text.contains(QRegularExpression(QStringLiteral("Shop Total\\s+%1\\s*$").arg(page),
                                                      QRegularExpression::MultilineOption)),
                     qPrintable(text.right(300)));
            QVERIFY(!text.contains(QStringLiteral("Old")));
        }
    }

    // What is typed reads back as typed and prints as typed; texts saved before a typed "/"
    // was written as "//" show what they print.
    void slashesReadBackAsTheyPrint_data() {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("shown");
        const auto typed = [](const QString &text) {
            HeaderFooterTable t({QStringLiteral("굴림체"), 10});
            t.setText(3, 2, text);
            return t.write();
        };
        for (const QString &text : {QStringLiteral("A/S 센터"), QStringLiteral("/l/c/r/n/p/pc/fb1/f1"),
                                    QStringLiteral("a//b/"), QStringLiteral("\"/fn\"x\"/")})
            QTest::newRow(qPrintable(QStringLiteral("typed ") + text)) << typed(text) << text;
        QTest::newRow("saved A/S") << QStringLiteral("/n/cA/S 센터/n") << QStringLiteral("A/S 센터");
        QTest::newRow("saved 50/50") << QStringLiteral("/n/c50/50/fx/n") << QStringLiteral("50/50/fx");
        QTest::newRow("saved slash at the end") << QStringLiteral("/n/cx/") << QStringLiteral("x/");
    }
    void slashesReadBackAsTheyPrint() {
        QFETCH(QString, code);
        QFETCH(QString, shown);
        HeaderFooterTable t({QStringLiteral("굴림체"), 10});
        QVERIFY(t.read(code).error.isEmpty());
        QCOMPARE(t.cell(3, 2).text, shown);
        QVERIFY(!t.cell(3, 2).pageNumber && t.cell(1, 2).text.isEmpty() && t.cell(3, 1).text.isEmpty());
        const HeaderFooterCode::Document printed = HeaderFooterCode::parse(code, {});
        QVERIFY(printed.size() >= 2 && printed[1].runs.size() == 1);
        QCOMPARE(printed[1].runs[0].text, shown);
    }

    // A font name is written as it is, whatever it holds.
    void fontNamesSurviveSaving() {
        const HeaderFooterCode::Font font{QStringLiteral("50%2 굴림%1 /n"), 12, true};
        HeaderFooterTable t({QStringLiteral("굴림체"), 10});
        t.setFont(5, 1, font);
        t.setText(5, 1, QStringLiteral("x"));
        HeaderFooterTable again({QStringLiteral("굴림체"), 10});
        QVERIFY(again.read(t.write()).error.isEmpty());
        QCOMPARE(again.cell(5, 1).font, font);
        QCOMPARE(again.cell(5, 1).text, QStringLiteral("x"));
    }

    void typedFooterWithSlashSurvivesReopening() {
        open(QString(), QStringLiteral("/lOld/n"));
        w->Option3[1]->click();
        type(1, 1, QStringLiteral("A/S Center")); // the test's keyboard types ASCII only
        w->Command1->click();
        open(grid->printProps().header, grid->printProps().footer);
        w->Option3[1]->click();
        QCOMPARE(table().text(1, 1), QStringLiteral("A/S Center"));
        w->Command1->click();
        QVERIFY(grid->printProps().footer.contains(QStringLiteral("/lA//S Center/n")));
    }

    void cancelKeepsWhatWasSaved() {
        open(QStringLiteral("/lA/n"));
        type(1, 1, QStringLiteral("Saved"));
        w->Command3->click();
        type(1, 1, QStringLiteral("Dropped"));
        w->Command2->click();
        QVERIFY(!w->isVisible());
        QVERIFY(grid->printProps().header.endsWith(QStringLiteral("/lSaved/n")));
    }
};

QTEST_MAIN(TestHeaderFooter)
#include "tst_headerfooter.moc"
