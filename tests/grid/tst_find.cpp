// The find window over a real grid: moving to matches, the failure message, remembering.
#include "EnvFixture.h"
#include "FrmFindInSpread.h"
#include "ModalHelp.h"
#include "Spread.h"
#include "modSpread60.h"
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

class TestFind : public EnvFixture {
    Q_OBJECT
    void setUp() override {
        FrmFindInSpread::resetRemembered();
        sp = std::make_unique<Spread>();
        sp->resize(400, 300);
    }
    void tearDown() override { sp.reset(); }
    std::unique_ptr<Spread> sp;

    // rows x 4 columns of "item"; "Galaxy" at the given cells.
    void fill(int rows, std::initializer_list<QPoint> hits) {
        sp->setMaxCols(4);
        sp->setMaxRows(rows);
        for (int r = 1; r <= rows; ++r)
            for (int c = 1; c <= 4; ++c)
                sp->setText(c, r, QStringLiteral("item"));
        for (const QPoint &p : hits)
            sp->setText(p.x(), p.y(), QStringLiteral("Galaxy"));
        sp->setActiveCell(1, 1);
    }
    QPoint active() const { return QPoint(sp->activeCol(), sp->activeRow()); }
    int failures() const {
        int n = 0;
        for (const auto &b : env->prompter.boxes())
            if (b.title == QStringLiteral("검색실패") && b.text == QStringLiteral("일치하는 데이터가 없습니다.") &&
                b.icon == Prompter::Icon::Information)
                ++n;
        return n;
    }

private Q_SLOTS:
    void firstOpeningIsEmptyRowByRowWithoutWholeMatch() {
        FrmFindInSpread f;
        QCOMPARE(f.windowTitle(), QStringLiteral("찾기"));
        QCOMPARE(f.txtFindWd->text(), QString());
        QCOMPARE(f.cboFindDir->currentIndex(), 0);
        QCOMPARE(f.cboFindDir->itemText(1), QStringLiteral("열(세로방향)"));
        QVERIFY(!f.chkSameAll->isChecked());
    }

    void aSingleMatchIsFoundOnceThenReportedMissing() {
        fill(5, {{3, 4}});
        FrmFindInSpread f;
        f.SetFormInit(sp.get(), -1, -1);
        f.txtFindWd->setText(QStringLiteral("galaxy"));
        f.cmdFind_Click();
        QCOMPARE(active(), QPoint(3, 4));
        QCOMPARE(failures(), 0);
        f.cmdFind_Click();
        QCOMPARE(active(), QPoint(3, 4));
        QCOMPARE(failures(), 1);
    }

    void wholeCellFlagAndDirection() {
        fill(6, {{2, 5}, {4, 2}});
        sp->setText(1, 3, QStringLiteral("Galaxy Note"));
        FrmFindInSpread f;
        f.SetFormInit(sp.get(), -1, -1);
        f.txtFindWd->setText(QStringLiteral("GALAXY"));
        f.cmdFind_Click();
        QCOMPARE(active(), QPoint(4, 2));
        f.cmdFind_Click();
        QCOMPARE(active(), QPoint(1, 3)); // partial: "Galaxy Note" counts
        f.chkSameAll->setChecked(true);
        f.cmdFind_Click();
        QCOMPARE(active(), QPoint(2, 5));
        f.cboFindDir->setCurrentIndex(1); // down column 2, then on to column 4, wrapping
        f.cmdFind_Click();
        QCOMPARE(active(), QPoint(4, 2));
        f.cmdFind_Click();
        QCOMPARE(active(), QPoint(2, 5));
    }

    void hiddenColumnsAndTheColumnRangeAreRespected() {
        fill(4, {{1, 2}, {2, 3}, {4, 3}});
        sp->setColHidden(2, true);
        FrmFindInSpread f;
        f.SetFormInit(sp.get(), 2, 4); // columns 2..4
        f.txtFindWd->setText(QStringLiteral("Galaxy"));
        f.cmdFind_Click();
        QCOMPARE(active(), QPoint(4, 3));
        f.cmdFind_Click();
        QCOMPARE(failures(), 1);
    }

    void hiddenRowsAreSkipped() {
        fill(4, {{1, 2}, {3, 3}});
        sp->setRowHidden(3, true);
        FrmFindInSpread f;
        f.SetFormInit(sp.get(), -1, -1);
        f.txtFindWd->setText(QStringLiteral("Galaxy"));
        f.cmdFind_Click();
        QCOMPARE(active(), QPoint(1, 2));
        f.cmdFind_Click(); // the other match is on a hidden row: back to itself
        QCOMPARE(active(), QPoint(1, 2));
        QCOMPARE(failures(), 1);
        f.cboFindDir->setCurrentIndex(1);
        f.cmdFind_Click();
        QCOMPARE(active(), QPoint(1, 2));
        QCOMPARE(failures(), 2);
    }

    void theFoundRowBecomesTheTopRow() {
        fill(300, {{2, 250}});
        sp->show();
        QVERIFY(QTest::qWaitForWindowExposed(sp.get()));
        FrmFindInSpread f;
        f.SetFormInit(sp.get(), -1, -1);
        f.txtFindWd->setText(QStringLiteral("Galaxy"));
        f.cmdFind_Click();
        QCOMPARE(active(), QPoint(2, 250));
        QCOMPARE(sp->topRow(), 250);
    }

    void reopeningShowsThePreviousSearchSelected() {
        fill(2, {});
        {
            FrmFindInSpread f;
            f.SetFormInit(sp.get(), -1, -1);
            f.txtFindWd->setText(QStringLiteral("SCH-X"));
            f.cboFindDir->setCurrentIndex(1);
            f.chkSameAll->setChecked(true);
            f.cmdClose_Click();
        }
        FrmFindInSpread again;
        QCOMPARE(again.txtFindWd->text(), QStringLiteral("SCH-X"));
        QCOMPARE(again.txtFindWd->selectedText(), QStringLiteral("SCH-X"));
        QCOMPARE(again.cboFindDir->currentIndex(), 1);
        QVERIFY(again.chkSameAll->isChecked());
    }

    void ctrlFOpensTheWindowModallyOverTheWholeGrid() {
        fill(3, {{4, 3}});
        QString title;
        onNextModalOf<FrmFindInSpread>(this, [&](FrmFindInSpread *f) {
            title = f->windowTitle();
            f->txtFindWd->setText(QStringLiteral("galaxy"));
            f->cmdFind_Click();
            f->cmdClose_Click();
        });
        QVERIFY(modSpread60::SpreadKeyDown(sp.get(), 70, 2));
        QCOMPARE(title, QStringLiteral("찾기"));
        QCOMPARE(active(), QPoint(4, 3));
    }
};

QTEST_MAIN(TestFind)
#include "tst_find.moc"
