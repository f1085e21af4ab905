// The preview's page setup and print windows, driven as a user would, over a real print job.
#include "CupsServer.h"
#include "EnvFixture.h"
#include "FrmSPPrint_HeaderFooter.h"
#include "FrmSPPrint_PageSetup.h"
#include "FrmSPPrint_Preview.h"
#include "FrmSPPrint_PrintDlg.h"
#include "PrinterChoice.h"
#include "Settings.h"
#include "SheetPreview.h"
#include "Spread.h"
#include "cFpPreview.h"
#include "modSpreadPrint.h"
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDeadlineTimer>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <functional>

namespace {
const QString kApp = QStringLiteral("휴대폰관리_PritSetUp");
const QString kSection = QStringLiteral("fbTest");

void fill(Spread &g, int rows, int cols = 3) {
    g.setMaxCols(cols);
    g.setMaxRows(rows);
    g.setColMerge(1, SheetStore::Merge::None);
    g.setRowHeight(-1, 18);
    for (int r = 1; r <= rows; ++r)
        for (int c = 1; c <= cols; ++c)
            g.setText(c, r, QStringLiteral("%1-%2").arg(r).arg(c));
}

QString stored(const QString &key) { return Settings::GetSetting(kApp, kSection, key, QStringLiteral("<none>")); }
void store(const QString &key, const QString &value) { Settings::SaveSetting(kApp, kSection, key, value); }

// Runs fn on the modal window of type T once it is up, as a user acts on what is shown; a
// window that never comes leaves *seen false. fn closes the window as the user would; one
// it leaves open fails the test and is closed, as is one a failed check inside fn left
// open: its exec() would otherwise wait for a click until ctest's time-out.
template <typename T> void whenModal(std::function<void(T *)> fn, bool *seen) {
    auto *poll = new QTimer;
    auto deadline = std::make_shared<QDeadlineTimer>(5000);
    QObject::connect(poll, &QTimer::timeout, [poll, fn, seen, deadline] {
        if (auto *w = qobject_cast<T *>(QApplication::activeModalWidget()); w && w->isVisible()) {
            poll->stop();
            poll->deleteLater();
            *seen = true;
            const QPointer<T> window(w);
            fn(w);
            if (window && window->isVisible()) {
                if (!QTest::currentTestFailed())
                    QTest::qFail(qPrintable(QStringLiteral("%1 is still open").arg(T::staticMetaObject.className())),
                                 __FILE__, __LINE__);
                window->reject();
            }
        } else if (deadline->hasExpired()) {
            poll->stop();
            poll->deleteLater();
        }
    });
    poll->start(10);
}

QByteArray readAll(const QString &file) {
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QPushButton *button(QWidget *w, const char *name) { return w->findChild<QPushButton *>(QLatin1String(name)); }

// pdftotext reports NanumGothic's space glyph as U+0001.
QString printedText(const QString &pdf, int page = 0) { return pdfText(pdf, page).replace(QChar(1), QLatin1Char(' ')); }
} // namespace

class TestPrintWindows : public EnvFixture {
    Q_OBJECT
    void setUp() override {
        preview = std::make_unique<cFpPreview>();
        preview->SetAppName(QStringLiteral("휴대폰관리"));
        PrinterChoice::reset();
        cups.clearOutput();
    }
    void tearDown() override { preview.reset(); }
    CupsServer cups{QStringLiteral("ShopPDF")};
    std::unique_ptr<cFpPreview> preview;
    const PrintRequest &job() const { return preview->request(); }

    // A job as the handset list runs it; look() acts while the preview is open and leaves
    // it open or closed as the user would.
    bool runJob(Spread &g, const std::function<void(FrmSPPrint_Preview *)> &look, int scaling = 0,
                bool bPrintFoot = false) {
        bool seen = false;
        whenModal<FrmSPPrint_Preview>(
            [&](FrmSPPrint_Preview *w) {
                QCoreApplication::processEvents();
                look(w);
                if (w->isVisible())
                    w->ButtonClick(FrmSPPrint_Preview::ColClose);
            },
            &seen);
        const bool printed =
            preview->SpreadPreview(&g, kSection, QStringLiteral("모델 목록"), QStringLiteral("매장"), QString(), 1, 0.3,
                                   0.2, 0.5, 0.5, bPrintFoot, scaling, QStringLiteral("매장 메모"), false, 16);
        if (!seen)
            qWarning("the preview did not open");
        return printed;
    }
    // Opens the preview's page setup and lets act() work in it.
    static void inSetup(FrmSPPrint_Preview *w, const std::function<void(FrmSPPrint_PageSetup *)> &act) {
        bool seen = false;
        whenModal<FrmSPPrint_PageSetup>(act, &seen);
        w->ButtonClick(FrmSPPrint_Preview::ColSetup);
        QVERIFY2(seen, "page setup did not open");
    }
    static void inPrintDialog(FrmSPPrint_Preview *w, const std::function<void(FrmSPPrint_PrintDlg *)> &act) {
        bool seen = false;
        whenModal<FrmSPPrint_PrintDlg>(act, &seen);
        w->ButtonClick(FrmSPPrint_Preview::ColPrint);
        QVERIFY2(seen, "the print dialog did not open");
    }

private Q_SLOTS:
    void initTestCase() {
        QVERIFY2(cups.start(), qPrintable(cups.errorString()));
        qputenv("CUPS_SERVER", QFile::encodeName(cups.socketPath())); // before the first QPrinter
    }

    void pageSetup_fitToPageDisablesAndOkStoresTheUnchangedValues() {
        Spread g;
        fill(g, 10);
        store("CheckBox_7", "1");
        runJob(
            g,
            [](FrmSPPrint_Preview *w) {
                inSetup(w, [](FrmSPPrint_PageSetup *s) {
                    for (int i = 0; i < 4; ++i)
                        QVERIFY(!s->pagemargin(i)->isEnabled());
                    QVERIFY(!s->porientation(0)->isEnabled() && !s->porientation(1)->isEnabled());
                    QVERIFY(s->porientation(0)->isChecked());
                    QCOMPARE(s->pagemargin(0)->text(), QString("0.30"));
                    QCOMPARE(s->pagemargin(1)->text(), QString("0.20"));
                    QCOMPARE(s->Combo1->count(), 14);
                    QCOMPARE(s->Combo1->currentText(), QString("Page Height"));
                    button(s, "Command2_0")->click();
                });
            },
            1);
        QCOMPARE(stored("PrintMarginLeft"), QString("0.3"));
        QCOMPARE(stored("PrintMarginRight"), QString("0.2"));
        QCOMPARE(stored("PrintMarginTop"), QString("0.5"));
        QCOMPARE(stored("PrintMarginBottom"), QString("0.5"));
        QCOMPARE(stored("PrintOrientation"), QString("1"));
        QCOMPARE(stored("PrintZoomType"), QString("8"));
    }

    void pageSetup_typedMarginAppliedAndPreviewRecounted() {
        Spread g;
        fill(g, 120);
        int before = 0, after = 0;
        QString counter;
        runJob(g, [&](FrmSPPrint_Preview *w) {
            before = w->fpSpreadPreview1->pageCount();
            inSetup(w, [](FrmSPPrint_PageSetup *s) {
                s->activateWindow();
                // Not qWaitForWindowActive: a dialog's window counts as active while its parent,
                // the preview, still has the focus (its activation arrives late in a process
                // whose first window it is). Keys typed then reach the box without ever
                // focusing it, and leaving it by Tab sends no focus-out to fill in the zeros.
                QTRY_VERIFY(s->isActiveWindow());
                // Entered by Tab, as a user does: the box selects its text, so the digit replaces it.
                QLineEdit *top = s->pagemargin(2);
                s->pagemargin(1)->setFocus();
                QTest::keyClick(s->pagemargin(1), Qt::Key_Tab);
                QVERIFY(top->hasFocus());
                QCoreApplication::processEvents();
                QTest::keyClicks(top, "2"); // only the first digit
                QCOMPARE(top->displayText(), QString("2.__"));
                QTest::keyClick(top, Qt::Key_Tab);
                QVERIFY(!top->hasFocus());
                QCOMPARE(top->text(), QString("2.00"));
                s->porientation(1)->click();
                button(s, "Command2_0")->click();
            });
            after = w->fpSpreadPreview1->pageCount();
            counter = w->pageCounter()->text();
        });
        QCOMPARE(g.printProps().marginTop, 2.0 * 1440);
        QCOMPARE(g.printProps().orientation, 2);
        QCOMPARE(stored("PrintMarginTop"), QString("2"));
        QCOMPARE(stored("PrintOrientation"), QString("2"));
        // Landscape with a two-inch top margin holds fewer rows a page.
        QVERIFY2(after > before, qPrintable(QString("%1 -> %2").arg(before).arg(after)));
        QCOMPARE(counter, QString("Page 1 of %1").arg(after));
    }

    void pageSetup_fourPagesShowsTwoByTwo() {
        Spread g;
        fill(g, 200);
        int multiH = 0, multiV = 0, type = -1;
        runJob(g, [&](FrmSPPrint_Preview *w) {
            inSetup(w, [](FrmSPPrint_PageSetup *s) {
                s->Combo1->setCurrentIndex(s->Combo1->findText("Four Pages"));
                button(s, "Command2_0")->click();
            });
            type = w->fpSpreadPreview1->viewType();
            multiH = w->fpSpreadPreview1->multiH();
            multiV = w->fpSpreadPreview1->multiV();
        });
        QCOMPARE(type, int(SheetPreview::MultiplePages));
        QCOMPARE(multiH, 2);
        QCOMPARE(multiV, 2);
        QCOMPARE(stored("PrintZoomType"), QString("12"));
        // The next job starts from it.
        runJob(g, [&](FrmSPPrint_Preview *w) { type = w->fpSpreadPreview1->viewType(); });
        QCOMPARE(job().zoomIndex, 12);
        QCOMPARE(type, int(SheetPreview::MultiplePages));
    }

    void pageSetup_cancelAfterChangingEverythingChangesNothing() {
        Spread g;
        fill(g, 50);
        SheetPrintProps before;
        int view = -1, viewAfter = -2;
        QByteArray storeBefore;
        runJob(g, [&](FrmSPPrint_Preview *w) {
            before = g.printProps();
            view = w->fpSpreadPreview1->viewType();
            storeBefore = readAll(Settings::storeFile(kApp));
            inSetup(w, [](FrmSPPrint_PageSetup *s) {
                for (int i = 0; i < 4; ++i)
                    s->pagemargin(i)->setText("3.33");
                s->porientation(1)->click();
                s->Combo1->setCurrentIndex(13);
                button(s, "Command2_1")->click();
            });
            viewAfter = w->fpSpreadPreview1->viewType();
        });
        const SheetPrintProps &p = g.printProps();
        QCOMPARE(p.marginLeft, before.marginLeft);
        QCOMPARE(p.marginRight, before.marginRight);
        QCOMPARE(p.marginTop, before.marginTop);
        QCOMPARE(p.marginBottom, before.marginBottom);
        QCOMPARE(p.orientation, before.orientation);
        QCOMPARE(viewAfter, view);
        QCOMPARE(job().zoomIndex, 8);
        QCOMPARE(readAll(Settings::storeFile(kApp)), storeBefore);
    }

    // 5 in left and right leave nothing of A4's 8.27 in: refused, nothing stored or applied.
    void pageSetup_marginsLeavingNoWidthAreRefused() {
        Spread g;
        fill(g, 10);
        bool stillOpen = false;
        runJob(g, [&](FrmSPPrint_Preview *w) {
            inSetup(w, [&](FrmSPPrint_PageSetup *s) {
                for (int i : {0, 1})
                    s->pagemargin(i)->setText("5.00");
                button(s, "Command2_0")->click();
                stillOpen = s->isVisible();
                s->reject();
            });
        });
        QVERIFY(stillOpen);
        QCOMPARE(env->prompter.texts(),
                 QStringList{"여백이 너무 넓어 용지에 인쇄할 자리가 남지 않습니다.\r\n왼쪽과 오른쪽 여백의 합은 "
                             "7.26인치 이하, 위쪽과 아래쪽 여백의 합은 10.69인치 이하로 입력하세요."});
        QCOMPARE(stored("PrintMarginLeft"), QString("<none>"));
        QCOMPARE(g.printProps().marginLeft, 0.3 * 1440);
    }

    // Fit to page turns six pages across into one: "Next" goes with them. The buttons' tips are Korean.
    void printDlg_fitToPageLeavesNothingNext() {
        Spread g;
        fill(g, 5, 40);
        QStringList tips, counters;
        bool nextAfter = true;
        runJob(
            g,
            [&](FrmSPPrint_Preview *w) {
                for (int c : {FrmSPPrint_Preview::ColNext, FrmSPPrint_Preview::ColZoom, FrmSPPrint_Preview::ColPrint,
                              FrmSPPrint_Preview::ColSetup, FrmSPPrint_Preview::ColClose})
                    tips << w->button(c)->toolTip();
                counters << w->pageCounter()->text();
                inPrintDialog(w, [](FrmSPPrint_PrintDlg *d) {
                    d->findChild<QCheckBox *>("Check1_7")->click();
                    button(d, "Command3")->click();
                });
                counters << w->pageCounter()->text();
                nextAfter = w->button(FrmSPPrint_Preview::ColNext)->isEnabled();
            },
            1);
        QVERIFY2(counters.first() != "Page 1 of 1", qPrintable(counters.first()));
        QCOMPARE(counters.last(), QString("Page 1 of 1"));
        QVERIFY(!nextAfter);
        QCOMPARE(tips, (QStringList{"다음 페이지", "확대/축소", "인쇄", "페이지 설정", "닫기"}));
    }

    // The paper chosen in "프린터 설정" is the paper printed on, on this job and the next.
    void printerSetup_chosenPaperIsPrinted_data() {
        QTest::addColumn<QString>("paper");
        QTest::addColumn<QSizeF>("points");
        QTest::newRow("A5") << "A5" << QSizeF(419.5, 595.3);
        QTest::newRow("Letter") << "Letter" << QSizeF(612, 792);
    }
    void printerSetup_chosenPaperIsPrinted() {
        QFETCH(QString, paper);
        QFETCH(QSizeF, points);
        Spread g;
        fill(g, 150);
        for (int job = 0; job < 2; ++job)
            runJob(g, [&](FrmSPPrint_Preview *w) {
                inPrintDialog(w, [&](FrmSPPrint_PrintDlg *d) {
                    if (job == 0) {
                        env->prompter.answerText("|" + paper);
                        button(d, "Command4")->click();
                    }
                    button(d, "Command2")->click();
                });
            });
        const QStringList out = cups.waitForOutput(2);
        QCOMPARE(out.size(), 2);
        for (const QString &pdf : out) {
            const QSizeF size = pdfPageSize(pdf);
            QVERIFY2(qAbs(size.width() - points.width()) < 1 && qAbs(size.height() - points.height()) < 1,
                     qPrintable(QString("%1 x %2").arg(size.width()).arg(size.height())));
        }
    }

    void printDlg_optionsStoredAndAppliedOnlyWhenClicked() {
        Spread g;
        fill(g, 10);
        runJob(
            g,
            [&](FrmSPPrint_Preview *w) {
                inPrintDialog(w, [&](FrmSPPrint_PrintDlg *d) {
                    for (int i = 0; i < 9; ++i)
                        QCOMPARE(d->Check1(i)->isChecked(), i != 7);
                    QVERIFY(d->Check1(7)->isEnabled());                // this job allows fitting
                    QCOMPARE(stored("CheckBox_0"), QString("<none>")); // loading stores nothing
                    QTest::mouseClick(d->Check1(8), Qt::LeftButton);
                    QCOMPARE(stored("CheckBox_8"), QString("0"));
                    QCOMPARE(g.printProps().footer, QString());
                    QTest::mouseClick(d->Check1(8), Qt::LeftButton);
                    QCOMPARE(stored("CheckBox_8"), QString("1"));
                    QCOMPARE(g.printProps().footer, job().fullFooter); // page line and all
                    QVERIFY(g.printProps().footer.contains("Page: /p///pc"));
                    QTest::mouseClick(d->Check1(2), Qt::LeftButton);
                    QVERIFY(!g.printProps().grid);
                    QTest::mouseClick(d->Check1(7), Qt::LeftButton);
                    QCOMPARE(g.printProps().scalingMethod, 1);
                    QCOMPARE(stored("CheckBox_7"), QString("1"));
                    QTest::mouseClick(d->Check1(4), Qt::LeftButton);
                    QVERIFY(!g.printProps().dataCellsOnly && !g.printProps().useDataMax);
                    button(d, "Command3")->click();
                });
                QVERIFY(w->isVisible()); // "닫기" leaves the preview open
            },
            1, true);
        QCOMPARE(stored("CheckBox_2"), QString("0"));
        QCOMPARE(stored("CheckBox_4"), QString("0"));
    }

    void printDlg_fitToPageOffWithoutScaling() {
        Spread g;
        fill(g, 10);
        store("CheckBox_7", "1");
        bool checked = true, enabled = true;
        runJob(
            g,
            [&](FrmSPPrint_Preview *w) {
                inPrintDialog(w, [&](FrmSPPrint_PrintDlg *d) {
                    checked = d->Check1(7)->isChecked();
                    enabled = d->Check1(7)->isEnabled();
                    d->reject();
                });
            },
            0);
        QVERIFY(!checked && !enabled);
        QCOMPARE(stored("CheckBox_7"), QString("1"));
    }

    void printDlg_pageBoxesTakeNumbersOnly() {
        Spread g;
        fill(g, 10);
        runJob(g, [&](FrmSPPrint_Preview *w) {
            inPrintDialog(w, [&](FrmSPPrint_PrintDlg *d) {
                QVERIFY(!d->Text1(0)->isEnabled() && !d->Text1(1)->isEnabled());
                d->Option1(3)->click();
                QVERIFY(d->Text1(0)->isEnabled() && d->Text1(1)->isEnabled());
                QLineEdit *from = d->Text1(0);
                from->selectAll();
                QTest::keyClicks(from, "a");
                QCOMPARE(from->text(), QString("1"));
                from->selectAll();
                QTest::keyClicks(from, "12");
                QCOMPARE(from->text(), QString("12"));
                QTest::keyClick(from, Qt::Key_Backspace);
                QTest::keyClick(from, Qt::Key_Backspace);
                QCOMPARE(from->text(), QString("1")); // empty is no number either
                d->Option1(0)->click();
                QVERIFY(!d->Text1(0)->isEnabled());
                d->reject();
            });
        });
    }

    void printDlg_selectedCellsPrintExactlyThatBlock() {
        Spread g;
        fill(g, 10, 6);
        g.setSelBlock(2, 3, 4, 5);
        const QString pdf = env->root() + "/선택.pdf";
        bool previewOpenAfter = true;
        const bool printed = runJob(g, [&](FrmSPPrint_Preview *w) {
            inPrintDialog(w, [&](FrmSPPrint_PrintDlg *d) {
                env->prompter.answerText(pdf); // the system dialog: print to a file
                button(d, "Command4")->click();
                d->Option1(1)->click();
                button(d, "Command2")->click();
                QVERIFY(!d->isVisible());
            });
            previewOpenAfter = w->isVisible();
        });
        QVERIFY(printed);
        QVERIFY(!previewOpenAfter);
        QCOMPARE(env->prompter.boxes().size(), 1);
        QCOMPARE(pdfPageCount(pdf), 1);
        const QString text = printedText(pdf);
        for (int r = 1; r <= 10; ++r)
            for (int c = 1; c <= 6; ++c) {
                const QString cell = QString("%1-%2").arg(r).arg(c);
                const bool inBlock = r >= 3 && r <= 5 && c >= 2 && c <= 4;
                QVERIFY2(text.contains(QRegularExpression("(^|\\s)" + cell + "(\\s|$)")) == inBlock,
                         qPrintable(cell + (inBlock ? " missing from:\n" : " printed:\n") + text));
            }
        QCOMPARE(cups.outputFiles().size(), 0);
    }

    void printDlg_printsToTheDefaultPrinterAndClosesBoth() {
        Spread g;
        fill(g, 150);
        int pages = 0;
        const bool printed = runJob(g, [&](FrmSPPrint_Preview *w) {
            pages = w->fpSpreadPreview1->pageCount();
            inPrintDialog(w, [](FrmSPPrint_PrintDlg *d) { button(d, "Command2")->click(); });
            QVERIFY(!w->isVisible());
        });
        QVERIFY(printed);
        QVERIFY(pages > 1);
        const QStringList out = cups.waitForOutput(1);
        QCOMPARE(out.size(), 1);
        QCOMPARE(pdfPageCount(out.first()), pages);
        QVERIFY(printedText(out.first(), pages).contains("150-1"));
    }

    void printDlg_currentPageAndAFailedPrint() {
        Spread g;
        fill(g, 150);
        bool stillOpen = false;
        const bool printed = runJob(g, [&](FrmSPPrint_Preview *w) {
            // A printer that has gone since it was chosen: said so, and nothing closes.
            QCOMPARE(cups.runClient("lpadmin", {"-p", "Counter2", "-E", "-v", "pdfout:/"}), 0);
            inPrintDialog(w, [&](FrmSPPrint_PrintDlg *d) {
                env->prompter.answerText("Counter2");
                button(d, "Command4")->click();
                QCOMPARE(PrinterChoice::current().printerName, QString("Counter2"));
                QCOMPARE(cups.runClient("lpadmin", {"-x", "Counter2"}), 0);
                button(d, "Command2")->click();
                stillOpen = d->isVisible();
                d->reject();
            });
            QVERIFY(w->isVisible());
            QVERIFY(!w->m_bPrintedOK);
            PrinterChoice::reset();
            w->ButtonClick(FrmSPPrint_Preview::ColNext);
            inPrintDialog(w, [](FrmSPPrint_PrintDlg *d) {
                d->Option1(2)->click();
                button(d, "Command2")->click();
            });
        });
        QVERIFY(stillOpen);
        QVERIFY(printed);
        QCOMPARE(env->prompter.boxes().size(), 2);
        QCOMPARE(env->prompter.texts().last(), QString("프린터를 찾을 수 없습니다: Counter2\r\n"
                                                       "'프린터 설정'에서 프린터를 다시 선택하세요."));
        const QStringList out = cups.waitForOutput(1);
        QCOMPARE(out.size(), 1);
        QCOMPARE(pdfPageCount(out.first()), 1);
        const QString text = printedText(out.first());
        QVERIFY2(!text.contains(QRegularExpression("(^|\\s)1-1(\\s|$)")), qPrintable(text)); // not the first page
    }

    // Setup → "머릿말/꼬릿말 변경" → footer edited → OK, OK → "인쇄" into a PDF file.
    void editedFooterThroughTheWindowsPrintsOnEveryPage() {
        Spread g;
        fill(g, 150);
        const QString pdf = env->root() + "/footer.pdf";
        const bool printed = runJob(g, [&](FrmSPPrint_Preview *w) {
            inSetup(w, [&](FrmSPPrint_PageSetup *s) {
                bool seen = false;
                whenModal<FrmSPPrint_HeaderFooter>(
                    [](FrmSPPrint_HeaderFooter *e) {
                        e->Option3[1]->click();
                        Spread *t = e->fpSpread1;
                        t->setActiveCell(5, 1);
                        QTest::keyClick(t, Qt::Key_F2);
                        auto *editor = qobject_cast<QLineEdit *>(t->indexWidget(t->currentIndex()));
                        QVERIFY(editor);
                        // Korean arrives as text, as an input method delivers it.
                        QKeyEvent hangul(QEvent::KeyPress, 0, Qt::NoModifier, QStringLiteral("매장 합계"));
                        QApplication::sendEvent(editor, &hangul);
                        QTest::keyClick(editor, Qt::Key_Return);
                        QCoreApplication::processEvents();
                        e->Command1->click();
                    },
                    &seen);
                button(s, "Command1")->click();
                QVERIFY2(seen, "the editor did not open");
                button(s, "Command2_0")->click();
            });
            inPrintDialog(w, [&](FrmSPPrint_PrintDlg *d) {
                env->prompter.answerText(pdf);
                button(d, "Command4")->click();
                button(d, "Command2")->click();
            });
        });
        QVERIFY(printed);
        const int pages = pdfPageCount(pdf);
        QVERIFY2(pages >= 3, qPrintable(QString::number(pages)));
        for (int page = 1; page <= pages; ++page) {
            const QString text = printedText(pdf, page);
            QVERIFY2(text.trimmed().endsWith("매장 합계"), qPrintable(text.right(200)));
        }
    }
};

QTEST_MAIN(TestPrintWindows)
#include "tst_print_windows.moc"
