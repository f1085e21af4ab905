// The print-column chooser: what it lists and ticks, what it stores, when it asks.
#include "EnvFixture.h"
#include "FormLayoutFile.h"
#include "FrmSprRPTCol.h"
#include "IniFile.h"
#include "ReportColumns.h"
#include "Spread.h"
#include "modSpread60.h"
#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace {
const QString kWindow = QStringLiteral("fbTestList");
QString layoutFile() { return FormLayoutFile::path(kWindow); }
QString stored(int col) { return IniFile::read(layoutFile(), "spList_RPTCOL", QString::number(col), "<none>"); }
void store(int col, const QString &v) {
    QVERIFY(IniFile::write(layoutFile(), "spList_RPTCOL", QString::number(col), v));
}
} // namespace

class TestRptCol : public EnvFixture {
    Q_OBJECT
    void setUp() override {
        window = std::make_unique<QWidget>();
        window->setObjectName(kWindow);
        sp = new Spread(window.get());
        sp->setObjectName("spList");
        sp->setMaxCols(5);
        sp->setMaxRows(3);
        for (int c = 1; c <= 5; ++c)
            sp->setHeaderText(c, 1, QString("열%1").arg(c));
        sp->setColHidden(3, true);
    }
    void tearDown() override { window.reset(); }
    std::unique_ptr<QWidget> window;
    Spread *sp = nullptr;

    QStringList listed(const FrmSprRPTCol &w) const {
        QStringList out;
        for (int i = 0; i < w.List1->count(); ++i)
            out << QString("%1:%2:%3")
                       .arg(w.List1->item(i)->data(Qt::UserRole).toInt())
                       .arg(w.List1->item(i)->text())
                       .arg(w.List1->item(i)->checkState() == Qt::Checked ? 1 : 0);
        return out;
    }
    std::unique_ptr<FrmSprRPTCol> open() {
        auto w = std::make_unique<FrmSprRPTCol>(window.get());
        w->SetParam(window.get(), sp);
        w->show();
        if (!QTest::qWaitForWindowExposed(w.get()))
            qWarning("the chooser did not show");
        return w;
    }

private Q_SLOTS:
    void withoutAFileEveryVisibleColumnIsTicked() {
        QVERIFY(!QFile::exists(layoutFile()));
        auto w = open();
        QCOMPARE(listed(*w), (QStringList{"1:열1:1", "2:열2:1", "4:열4:1", "5:열5:1"}));
        QVERIFY(!w->changed()); // filling is no change: closing asks nothing
        w->close();
        QVERIFY(!w->isVisible());
        QCOMPARE(env->prompter.boxes().size(), 0);
    }

    void storedTicksAndAHiddenColumnThatKeepsItsValue() {
        store(2, "0");
        store(3, "0"); // the hidden column's earlier choice
        store(5, "1");
        auto w = open();
        QCOMPARE(listed(*w), (QStringList{"1:열1:1", "2:열2:0", "4:열4:1", "5:열5:1"}));
        w->List1->item(0)->setCheckState(Qt::Unchecked);
        w->List1->item(1)->setCheckState(Qt::Checked);
        QVERIFY(w->changed());
        w->findChild<QPushButton *>("cmdSave")->click();
        QCOMPARE(env->prompter.texts(), QStringList{"저장을 완료하였습니다."});
        QVERIFY(!w->isVisible());
        QCOMPARE(stored(1), QString("0"));
        QCOMPARE(stored(2), QString("1"));
        QCOMPARE(stored(3), QString("0")); // neither listed nor overwritten
        QCOMPARE(stored(4), QString("1"));
        QCOMPARE(ReportColumns::leftOut(layoutFile(), "spList", 5), (QSet<int>{1, 3}));
    }

    void allBoxTicksAndClearsEverything() {
        store(1, "0");
        auto w = open();
        w->chkAll->click();
        QVERIFY(w->chkAll->isChecked());
        QVERIFY(!listed(*w).join(',').contains(":0"));
        w->chkAll->click();
        QVERIFY(!listed(*w).join(',').contains(":1"));
        QVERIFY(w->changed());
    }

    void closingAfterAChangeAsksAndNoKeepsTheTicks() {
        auto w = open();
        w->List1->item(2)->setCheckState(Qt::Unchecked);
        env->prompter.answerNo();
        w->findChild<QPushButton *>("cmdClose")->click();
        QVERIFY(w->isVisible());
        QCOMPARE(env->prompter.boxes().size(), 1);
        QCOMPARE(env->prompter.boxes().first().icon, Prompter::Icon::Question);
        QVERIFY(!env->prompter.boxes().first().yesIsDefault);
        QCOMPARE(env->prompter.texts().first(), QString("수정된 내용이 저장되지 않았습니다. 그래도, 닫으시겠습니까?"));
        QCOMPARE(listed(*w), (QStringList{"1:열1:1", "2:열2:1", "4:열4:0", "5:열5:1"}));
        // Esc goes the same way; Yes closes without storing.
        env->prompter.answerYes();
        QTest::keyClick(w.get(), Qt::Key_Escape);
        QVERIFY(!w->isVisible());
        QVERIFY(!QFile::exists(layoutFile()));
    }

    void gridMenuCommandFourOpensItOverTheGrid() {
        QStringList seen;
        QTimer::singleShot(0, [&] {
            if (auto *w = qobject_cast<FrmSprRPTCol *>(QApplication::activeModalWidget())) {
                seen = listed(*w);
                w->close();
            }
        });
        modSpread60::RunSpreadMenuCommand(4, window.get(), sp, QString());
        QCOMPARE(seen, (QStringList{"1:열1:1", "2:열2:1", "4:열4:1", "5:열5:1"}));
    }
};

QTEST_MAIN(TestRptCol)
#include "tst_rptcol.moc"
