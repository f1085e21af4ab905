#include "EnvFixture.h"
#include "ErrorBox.h"
#include "FrmSPPrint_Preview.h"
#include "Settings.h"
#include "SheetPreview.h"
#include "SheetPrinter.h"
#include "Spread.h"
#include "cFpPreview.h"
#include "modSpreadPrint.h"
#include <QApplication>
#include <QLabel>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <functional>

namespace {
const QString kApp = QStringLiteral("휴대폰관리_PritSetUp");
const QString kSection = QStringLiteral("fbTest");

void fill(Spread &g, int rows) {
    g.setMaxCols(3);
    g.setMaxRows(rows);
    g.setRowHeight(-1, 18);
    for (int r = 1; r <= rows; ++r)
        for (int c = 1; c <= 3; ++c)
            g.setText(c, r, QStringLiteral("%1-%2").arg(r).arg(c));
}

void store(const QString &key, const QString &value) { Settings::SaveSetting(kApp, kSection, key, value); }
} // namespace

class TestPrintJob : public EnvFixture {
    Q_OBJECT
    void setUp() override {
        preview = std::make_unique<cFpPreview>();
        preview->SetAppName(QStringLiteral("휴대폰관리"));
    }
    void tearDown() override { preview.reset(); }
    std::unique_ptr<cFpPreview> preview;
    const PrintRequest &job() const { return preview->request(); }

    // Runs a job as the handset list does; while the preview is open, look() sees it.
    bool runJob(Spread &g, const std::function<void(FrmSPPrint_Preview *)> &look, bool bPrintFoot = false,
                int scaling = 1, const QString &foot = {}, bool skip = false) {
        bool seen = false;
        // A job that throws leaves the timer pending; the guard keeps it from firing into the next case.
        QObject guard;
        if (!skip)
            QTimer::singleShot(0, &guard, [&] {
                QCoreApplication::processEvents();
                auto *w = qobject_cast<FrmSPPrint_Preview *>(QApplication::activeModalWidget());
                if (!w)
                    return;
                seen = true;
                look(w);
                if (w->isVisible())
                    w->ButtonClick(FrmSPPrint_Preview::ColClose);
            });
        const bool printed =
            preview->SpreadPreview(&g, kSection, QStringLiteral("제목"), QStringLiteral("홍길동"), QString(), 1, 0.3,
                                   0.2, 0.5, 0.5, bPrintFoot, scaling, foot, skip, 16);
        if (!skip && !seen)
            qWarning("the preview did not open");
        return printed;
    }

private Q_SLOTS:

    void firstJobOnANewSection() {
        Spread g;
        fill(g, 10);
        int zoomType = -1;
        QVERIFY(!runJob(g, [&](FrmSPPrint_Preview *w) { zoomType = w->fpSpreadPreview1->viewType(); }));
        const SheetPrintProps &p = g.printProps();
        QCOMPARE(p.marginLeft, 0.3 * 1440);
        QCOMPARE(p.marginRight, 0.2 * 1440);
        QCOMPARE(p.marginTop, 0.5 * 1440);
        QCOMPARE(p.orientation, 1);
        QVERIFY(p.colHeaders && p.rowHeaders && p.grid && p.border && p.color && p.shadows && p.dataCellsOnly);
        QVERIFY(!p.useDataMax);
        QCOMPARE(p.scalingMethod, 0); // fit to page is off until chosen
        QVERIFY(p.footer.isEmpty());
        QCOMPARE(job().fullFooter, QString());
        QCOMPARE(job().zoomIndex, 8);
        QCOMPARE(zoomType, int(SheetPreview::PageHeight));
        QCOMPARE(job().section, kSection);
    }

    void storedSettingsDriveTheGrid() {
        Spread g;
        fill(g, 10);
        store("PrintMarginLeft", "1.25");
        store("PrintOrientation", "2");
        store("CheckBox_2", "0");
        store("CheckBox_5", "0");
        store("CheckBox_7", "1");
        store("CheckBox_8", "0");
        runJob(
            g, [](FrmSPPrint_Preview *) {}, true);
        const SheetPrintProps &p = g.printProps();
        QCOMPARE(p.marginLeft, 1.25 * 1440);
        QCOMPARE(p.orientation, 2);
        QVERIFY(!p.grid && !p.color && p.border);
        QCOMPARE(p.scalingMethod, 1);
        QVERIFY(p.footer.isEmpty()); // option 8 off: no footer although one was asked for
        QVERIFY(job().fullFooter.contains(QStringLiteral("Page: /p///pc/f5/c출력일:2024.05.15")));

        // Scaling not allowed: option 7 is not read, whatever is stored.
        runJob(
            g, [](FrmSPPrint_Preview *) {}, true, 0);
        QCOMPARE(g.printProps().scalingMethod, 0);
        store("CheckBox_7", "0");
        runJob(
            g, [](FrmSPPrint_Preview *) {}, true, 1);
        QCOMPARE(g.printProps().scalingMethod, 0);
    }

    void footerLines() {
        Spread g;
        fill(g, 3);
        runJob(
            g, [](FrmSPPrint_Preview *) {}, false, 1, QStringLiteral("첫째\r\n둘째"));
        QCOMPARE(g.printProps().footer, QStringLiteral("첫째/n둘째"));
        const SheetPrinter two(*g.sheetModel(), g.printProps());
        g.printProps().footer = QStringLiteral("첫째");
        const SheetPrinter one(*g.sheetModel(), g.printProps());
        QVERIFY(two.footerHeight() > one.footerHeight() * 1.9);
    }

    void brokenStoredValues() {
        Spread g;
        fill(g, 3);
        store("PrintZoomType", "확대");
        int percent = 0;
        runJob(g, [&](FrmSPPrint_Preview *w) { percent = w->fpSpreadPreview1->percentage(); });
        QCOMPARE(job().zoomIndex, 0);
        QCOMPARE(percent, 200);

        store("PrintMarginTop", "반인치");
        try {
            runJob(g, [](FrmSPPrint_Preview *) {});
            QFAIL("a margin that is no number must fail the job");
        } catch (const AppError &e) {
            QCOMPARE(e.number, 13);
        }
    }

    void missingApplicationName() {
        preview->SetAppName(QString());
        Spread g;
        fill(g, 3);
        Settings::SaveSetting(QStringLiteral("_PritSetUp"), kSection, QStringLiteral("PrintOrientation"),
                              QStringLiteral("2"));
        runJob(g, [](FrmSPPrint_Preview *) {});
        QVERIFY(env->prompter.texts().contains(QStringLiteral("사용 프로그램이 설정되지 않았습니다.")));
        QCOMPARE(g.printProps().orientation, 2);
        env->prompter.clear();
    }

    void onePageHasNoStepping() {
        Spread g;
        fill(g, 5);
        bool next = true, previous = true;
        QString counter;
        runJob(g, [&](FrmSPPrint_Preview *w) {
            next = w->button(FrmSPPrint_Preview::ColNext)->isEnabled();
            previous = w->button(FrmSPPrint_Preview::ColPrevious)->isEnabled();
            counter = w->pageCounter()->text();
        });
        QVERIFY(!next);
        QVERIFY(!previous);
        QCOMPARE(counter, QStringLiteral("Page 1 of 1"));
    }

    void twoPagesStepByTwo() {
        Spread g;
        fill(g, 1000);
        int perPage = 0;
        runJob(g, [&](FrmSPPrint_Preview *w) { perPage = w->fpSpreadPreview1->printer()->lastRowOf(1); });
        QVERIFY(perPage > 10);
        g.setMaxRows(perPage * 4 + 1); // five pages
        store("PrintZoomType", "10");
        QList<int> pages;
        QList<bool> nextEnabled;
        int renders = 0, count = 0;
        runJob(g, [&](FrmSPPrint_Preview *w) {
            SheetPreview *pv = w->fpSpreadPreview1;
            count = pv->pageCount();
            QCOMPARE(pv->pagesShown(), 2);
            pv->viewport()->repaint();
            renders = pv->renders();
            pages << pv->pageCurrent();
            for (int i = 0; i < 3; ++i) {
                w->ButtonClick(FrmSPPrint_Preview::ColNext);
                pages << pv->pageCurrent();
                nextEnabled << w->button(FrmSPPrint_Preview::ColNext)->isEnabled();
            }
            w->ButtonClick(FrmSPPrint_Preview::ColPrevious);
            pages << pv->pageCurrent();
            QCOMPARE(w->button(FrmSPPrint_Preview::ColPrevious)->toolTip(), QStringLiteral("이전 페이지"));
            QCOMPARE(w->pageCounter()->text(), QStringLiteral("Page 3 of 5"));
        });
        QCOMPARE(count, 5);
        QCOMPARE(pages, (QList<int>{1, 3, 5, 5, 3}));
        QCOMPARE(nextEnabled, (QList<bool>{true, false, false}));
        QVERIFY(renders >= 1 && renders <= 2); // what is on screen, not every page
    }

    void firstColumnWithoutMergingIsLeftAlone() {
        Spread g;
        fill(g, 100);
        int colsWhileOpen = 0;
        runJob(g, [&](FrmSPPrint_Preview *w) {
            w->Form_Activate();
            colsWhileOpen = g.maxCols();
        });
        QCOMPARE(colsWhileOpen, 3);
        QCOMPARE(g.text(1, 1), QStringLiteral("1-1"));
        QVERIFY(g.colID(1).isEmpty());
    }

    // The hidden page column: added once, numbered by page, gone with the window.
    void mergedFirstColumnBreaksAtPages() {
        Spread g;
        fill(g, 120);
        for (int r = 1; r <= 120; ++r)
            g.setText(1, r, QStringLiteral("같은 제조사"));
        g.setColMerge(1, SheetStore::Merge::Always);
        int cols = 0;
        bool hidden = false;
        SheetStore::Merge second = SheetStore::Merge::None;
        QStringList pageOfRow;
        std::vector<int> breaks;
        runJob(g, [&](FrmSPPrint_Preview *w) {
            w->Form_Activate();
            w->Form_Activate();
            cols = g.maxCols();
            hidden = g.colHidden(1);
            second = g.colMerge(2);
            breaks = w->fpSpreadPreview1->printer()->pageBreakRows();
            for (int r = 1; r <= 120; ++r)
                pageOfRow << g.text(1, r);
            QCOMPARE(g.colID(1), QStringLiteral("MERGE_COL"));
            QCOMPARE(g.colMerge(1), SheetStore::Merge::Always);
            QVERIFY(!g.sheet().mergesWithAbove(2, breaks.at(0))); // the merged cell breaks with the page
            QVERIFY(g.sheet().mergesWithAbove(2, breaks.at(0) + 1));
        });
        QCOMPARE(cols, 4);
        QVERIFY(hidden);
        QCOMPARE(second, SheetStore::Merge::Restricted);
        QVERIFY(!breaks.empty());
        QCOMPARE(pageOfRow.at(0), QStringLiteral("0"));
        QCOMPARE(pageOfRow.at(breaks[0] - 2), QStringLiteral("0"));
        QCOMPARE(pageOfRow.at(breaks[0] - 1), QStringLiteral("1"));
        QCOMPARE(g.maxCols(), 3);
        QVERIFY(g.colID(1).isEmpty());
        QCOMPARE(g.colMerge(1), SheetStore::Merge::Always);
        QCOMPARE(g.text(1, 1), QStringLiteral("같은 제조사"));
    }

    void skipPreviewWithoutAPrinterSaysSo() {
        Spread g;
        fill(g, 3);
        qputenv("CUPS_SERVER", "/nonexistent/cups.sock");
        QVERIFY(!runJob(g, {}, false, 1, {}, true));
        QVERIFY(env->prompter.texts().last().startsWith(QStringLiteral("인쇄하지 못했습니다")));
        env->prompter.clear();
    }
};

QTEST_MAIN(TestPrintJob)
#include "tst_print_job.moc"
