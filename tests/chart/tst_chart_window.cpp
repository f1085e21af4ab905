// The chart window as a user meets it: what it starts with, paging, the number boxes, the
// colour buttons, what it stores and when, and printing with F7.
#include "ChartDemo.h"
#include "ChartLabels.h"
#include "ChartView.h"
#include "CupsServer.h"
#include "DemoWindows.h"
#include "EnvFixture.h"
#include "FrmKVGraph.h"
#include "HandsetWindows.h"
#include "Settings.h"
#include "VbUnits.h"
#include "modMDB_Func.h"
#include <QApplication>
#include <QChart>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QLocale>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>
#include <QTimer>
#include <memory>

namespace {
const QString kApp = QStringLiteral("KolvaGraphOCX");
const QString kSection = QStringLiteral("Config");
const QString kTooSmall = QStringLiteral("1이상의 수치만 입력가능합니다.");

QString stored(const QString &key) { return Settings::GetSetting(kApp, kSection, key, QStringLiteral("<none>")); }
void store(const QString &key, const QString &value) { Settings::SaveSetting(kApp, kSection, key, value); }
QString storedTitle() {
    return Settings::GetSetting(QStringLiteral("휴대폰관리"), QStringLiteral("Config_Form"),
                                QStringLiteral("GraphA_인쇄제목"), QStringLiteral("<none>"));
}
} // namespace

class TestChartWindow : public EnvFixture {
    Q_OBJECT
    void tearDown() override { w.reset(); }
    std::unique_ptr<FrmKVGraph> w;

    void open(int items = 0, const QString &label = QStringLiteral("모델%1")) {
        w = std::make_unique<FrmKVGraph>();
        w->ClearGraph();
        for (int i = 1; i <= items; ++i)
            w->AddData(i, label.arg(i));
        w->ReDrawGraph();
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    }
    // The boxes shown since the last look, as "title|text".
    QStringList boxes() {
        QStringList seen;
        for (const auto &b : env->prompter.boxes())
            seen << b.kind + QLatin1Char('|') + b.title + QLatin1Char('|') + b.text;
        env->prompter.clear();
        return seen;
    }
    // Typed over the box's text; Korean goes in as an input method puts it, all at once.
    void typeInto(QLineEdit *box, const QString &text) {
        box->setFocus();
        box->selectAll();
        if (text.toLatin1() == text.toUtf8())
            QTest::keyClicks(box, text);
        else
            box->insert(text);
    }
    void tick(QCheckBox *box) { QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2)); }

private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::Korean, QLocale::SouthKorea)); }

    void startsWithTheDefaultsAndStoresNothingWhileLoading() {
        w = std::make_unique<FrmKVGraph>();
        QCOMPARE(w->windowTitle(), QStringLiteral("그래프"));
        QCOMPARE(w->objectName(), QStringLiteral("FrmKVGraph"));
        QCOMPARE(w->htMax[0]->text(), QStringLiteral("50"));
        QCOMPARE(w->htMax[2]->text(), QStringLiteral("500"));
        const bool ticks[4] = {false, true, true, false};
        for (int i = 0; i < 4; ++i)
            QCOMPARE(w->chkGrpStat[size_t(i)]->isChecked(), ticks[i]);
        QCOMPARE(w->cboGraphType->count(), 6);
        QCOMPARE(w->cboGraphType->currentIndex(), 0);
        QCOMPARE(w->cboUnit->count(), 5);
        QCOMPARE(w->cboUnit->currentIndex(), 0);
        QCOMPARE(w->btnColor[0]->property("Tag").toInt(), 255);
        QCOMPARE(w->btnColor[1]->property("Tag").toInt(), 16711680);
        const ChartOptions &o = w->KVGraph->options();
        QCOMPARE(o.barColor, 255);
        QCOMPARE(o.lineColor, 16711680);
        QCOMPARE(o.kind, 0);
        QCOMPARE(o.unit, 0);
        QCOMPARE(o.bottomMargin, 500);
        QVERIFY(!o.showValues && o.horizontalLines && o.fillBars && !o.rotateVertText);
        QCOMPARE(w->KVGraph->data().maxCols(), 50);
        QCOMPARE(w->currentPage(), 1);

        w->ClearGraph();
        w->ReDrawGraph();
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        QCOMPARE(w->lblDataCnt->text(), QStringLiteral("총 0건"));
        QCOMPARE(w->lblPage->text(), QStringLiteral("1/1"));
        QVERIFY(!w->cmdMovePage[0]->isEnabled() && !w->cmdMovePage[1]->isEnabled());
        QVERIFY(!QFile::exists(Settings::storeFile(kApp)));
        QCOMPARE(storedTitle(), QStringLiteral("<none>"));
    }

    void takesWhatWasStored() {
        store(QStringLiteral("MaxCols"), QStringLiteral("0"));
        store(QStringLiteral("MGBottom"), QStringLiteral("1200"));
        store(QStringLiteral("값보기"), QStringLiteral("1"));
        store(QStringLiteral("막대채움"), QStringLiteral("0"));
        store(QStringLiteral("GraphType"), QStringLiteral("4"));
        store(QStringLiteral("DataUnit"), QStringLiteral("1"));
        store(QStringLiteral("막대색"), QStringLiteral("65280"));
        Settings::SaveSetting(QStringLiteral("휴대폰관리"), QStringLiteral("Config_Form"),
                              QStringLiteral("GraphA_인쇄제목"), QStringLiteral("월별 판매"));
        const QByteArray before = [] {
            QFile f(Settings::storeFile(kApp));
            return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
        }();
        open(3);
        QCOMPARE(w->htMax[0]->text(), QStringLiteral("1"));
        QCOMPARE(w->KVGraph->data().maxCols(), 1);
        QCOMPARE(w->lblPage->text(), QStringLiteral("1/3"));
        QCOMPARE(w->htMax[2]->text(), QStringLiteral("1200"));
        QVERIFY(w->chkGrpStat[0]->isChecked() && !w->chkGrpStat[2]->isChecked());
        QCOMPARE(w->cboGraphType->currentText(), QStringLiteral("가로막대"));
        QCOMPARE(w->cboUnit->currentText(), QStringLiteral("천"));
        QCOMPARE(w->KVGraph->options().kind, 4);
        QCOMPARE(w->KVGraph->options().unit, 1);
        QCOMPARE(w->KVGraph->options().barColor, 65280);
        QCOMPARE(w->txtTitle->text(), QStringLiteral("월별 판매"));
        // Filling the controls stored nothing: the store is as it was.
        QFile f(Settings::storeFile(kApp));
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), before);
    }

    void storedCodesBeyondTheListsAreIgnored_data() {
        QTest::addColumn<QString>("code");
        QTest::newRow("one past the end") << "6";
        QTest::newRow("far past") << "99";
        QTest::newRow("negative") << "-1";
    }
    void storedCodesBeyondTheListsAreIgnored() {
        QFETCH(QString, code);
        store(QStringLiteral("GraphType"), code);
        store(QStringLiteral("DataUnit"), code == QLatin1String("6") ? QStringLiteral("5") : code);
        open(2);
        QCOMPARE(w->cboGraphType->currentIndex(), 0);
        QCOMPARE(w->cboUnit->currentIndex(), 0);
        QCOMPARE(w->KVGraph->options().kind, 0);
        QCOMPARE(w->KVGraph->options().unit, 0);
        QCOMPARE(stored(QStringLiteral("GraphType")), code);
    }

    void pagesStopAtTheLast() {
        open(120);
        QCOMPARE(w->lblDataCnt->text(), QStringLiteral("총 120건"));
        QCOMPARE(w->lblPage->text(), QStringLiteral("1/3"));
        QVERIFY(!w->cmdMovePage[0]->isEnabled() && w->cmdMovePage[1]->isEnabled());
        QTest::mouseClick(w->cmdMovePage[1], Qt::LeftButton);
        QCOMPARE(w->lblPage->text(), QStringLiteral("2/3"));
        QVERIFY(w->cmdMovePage[0]->isEnabled() && w->cmdMovePage[1]->isEnabled());
        QTest::mouseClick(w->cmdMovePage[1], Qt::LeftButton);
        QCOMPARE(w->lblPage->text(), QStringLiteral("3/3"));
        QVERIFY(w->cmdMovePage[0]->isEnabled() && !w->cmdMovePage[1]->isEnabled());
        QCOMPARE(ChartLabels::of(*w->KVGraph->chart())->labels().first(), QStringLiteral("모델101"));
        QCOMPARE(ChartLabels::of(*w->KVGraph->chart())->labels().size(), 20);
        // One more ">" (as a key press would) stays on the last page.
        w->cmdMovePage_Click(1);
        QCOMPARE(w->currentPage(), 3);
        QCOMPARE(w->KVGraph->currentPage(), 3);
        QCOMPARE(w->lblPage->text(), QStringLiteral("3/3"));
        QTest::mouseClick(w->cmdMovePage[0], Qt::LeftButton);
        QCOMPARE(w->lblPage->text(), QStringLiteral("2/3"));
        QCOMPARE(ChartLabels::of(*w->KVGraph->chart())->labels().first(), QStringLiteral("모델51"));

        // More columns per page, Enter: the page is brought back into the fewer pages.
        typeInto(w->htMax[0], QStringLiteral("100"));
        QCOMPARE(w->lblPage->text(), QStringLiteral("2/3")); // taken at the next redraw
        QTest::keyClick(w->htMax[0], Qt::Key_Return);
        QCOMPARE(stored(QStringLiteral("MaxCols")), QStringLiteral("100"));
        QCOMPARE(w->lblPage->text(), QStringLiteral("2/2"));
        QCOMPARE(ChartLabels::of(*w->KVGraph->chart())->labels().size(), 20);
        QVERIFY(boxes().isEmpty());
    }

    // A number box is checked when it is left or on Enter, not at each key: "50" erased to
    // type "30" passes through an empty box. Below 1 the box is told and 1 put back.
    void numberBoxesTakeOneOrMoreWhenLeft_data() {
        QTest::addColumn<int>("box");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("leaveBy");
        QTest::addColumn<QString>("taken");
        QTest::newRow("30 over 50, Tab") << 0 << "30" << int(Qt::Key_Tab) << "30";
        QTest::newRow("0, Enter") << 0 << "0" << int(Qt::Key_Return) << "1";
        QTest::newRow("cleared, Tab") << 2 << "" << int(Qt::Key_Tab) << "1";
        QTest::newRow("1500, Enter") << 2 << "1500" << int(Qt::Key_Return) << "1500";
    }
    void numberBoxesTakeOneOrMoreWhenLeft() {
        QFETCH(int, box);
        QFETCH(QString, typed);
        QFETCH(int, leaveBy);
        QFETCH(QString, taken);
        const QString key = box == 0 ? QStringLiteral("MaxCols") : QStringLiteral("MGBottom");
        store(key, QStringLiteral("50"));
        open(10);
        QLineEdit *edit = w->htMax[size_t(box)];
        edit->setFocus();
        for (Qt::Key k : {Qt::Key_End, Qt::Key_Backspace, Qt::Key_Backspace})
            QTest::keyClick(edit, k);
        QTest::keyClicks(edit, typed);
        QCOMPARE(edit->text(), typed); // nothing put back or stored while typing
        QCOMPARE(stored(key), QStringLiteral("50"));
        QTest::keyClick(edit, Qt::Key(leaveBy));
        QCOMPARE(boxes(),
                 taken != typed ? QStringList{QStringLiteral("message|휴대폰관리|") + kTooSmall} : QStringList());
        QCOMPARE(edit->text(), taken);
        QCOMPARE(stored(key), taken);
        if (leaveBy == Qt::Key_Return) // Enter draws again
            QCOMPARE(box == 0 ? w->lblPage->text() : QString::number(w->KVGraph->options().bottomMargin),
                     box == 0 ? QStringLiteral("1/10") : taken);
    }

    // Esc closes the window unless an open list takes it.
    void escCloses() {
        open(3);
        w->cboGraphType->setFocus();
        w->cboGraphType->showPopup();
        QTRY_VERIFY(QApplication::activePopupWidget());
        QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Escape);
        QTRY_VERIFY(!QApplication::activePopupWidget());
        QVERIFY(w->isVisible());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        QVERIFY(!w->isVisible());
    }

    void cancellingTheColourChangesNothing() {
        open(3);
        env->prompter.answerCancel();
        QTest::mouseClick(w->btnColor[0], Qt::LeftButton);
        QCOMPARE(boxes(), QStringList{QStringLiteral("color|막대색 선택|#ff0000")});
        QCOMPARE(w->btnColor[0]->property("Tag").toInt(), 255);
        QCOMPARE(w->KVGraph->options().barColor, 255);
        QVERIFY(!QFile::exists(Settings::storeFile(kApp)));
    }

    void aChosenColourIsKeptStoredAndDrawn() {
        open(3);
        env->prompter.answerColor(QColor(0, 128, 255));
        QTest::mouseClick(w->btnColor[1], Qt::LeftButton);
        QCOMPARE(boxes(), QStringList{QStringLiteral("color|꺾은선색 선택|#0000ff")});
        const int bgr = 0 | (128 << 8) | (255 << 16);
        QCOMPARE(stored(QStringLiteral("꺾은선색")), QString::number(bgr));
        QCOMPARE(w->btnColor[1]->property("Tag").toInt(), bgr);
        QVERIFY(w->btnColor[1]->styleSheet().contains(QStringLiteral("#0080ff")));
        QCOMPARE(w->KVGraph->options().lineColor, bgr);
        QCOMPARE(stored(QStringLiteral("막대색")), QStringLiteral("<none>"));
        // The next choice starts from it.
        env->prompter.answerCancel();
        QTest::mouseClick(w->btnColor[1], Qt::LeftButton);
        QCOMPARE(boxes(), QStringList{QStringLiteral("color|꺾은선색 선택|#0080ff")});
    }

    void displayChoicesAreStoredAndDrawn() {
        open(5);
        tick(w->chkGrpStat[0]);
        QCOMPARE(stored(QStringLiteral("값보기")), QStringLiteral("1"));
        QVERIFY(w->KVGraph->options().showValues);
        tick(w->chkGrpStat[1]);
        QCOMPARE(stored(QStringLiteral("가로선")), QStringLiteral("0"));
        tick(w->chkGrpStat[3]);
        QCOMPARE(stored(QStringLiteral("세로글자회전")), QStringLiteral("1"));
        QVERIFY(w->KVGraph->options().rotateVertText);
        QCOMPARE(stored(QStringLiteral("막대채움")), QStringLiteral("<none>"));

        w->cboGraphType->setCurrentIndex(1);
        QCOMPARE(stored(QStringLiteral("GraphType")), QStringLiteral("1"));
        const auto series = w->KVGraph->chart()->series();
        QCOMPARE(series.size(), 1);
        QVERIFY(qobject_cast<QLineSeries *>(series.first()));
        w->cboUnit->setCurrentIndex(3);
        QCOMPARE(stored(QStringLiteral("DataUnit")), QStringLiteral("3"));
        QCOMPARE(w->KVGraph->options().unit, 3);

        typeInto(w->txtTitle, QStringLiteral("판매"));
        QCOMPARE(storedTitle(), QStringLiteral("판매"));
        QVERIFY(boxes().isEmpty());
    }

    void f7PrintsTheShownPageWithTheTitle() {
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("그래프.pdf"));
        store(QStringLiteral("MaxCols"), QStringLiteral("10"));
        open(25, QStringLiteral("기종%1번"));
        QTest::mouseClick(w->cmdMovePage[1], Qt::LeftButton);
        typeInto(w->txtTitle, QStringLiteral("기종별 재고"));
        env->prompter.answerText(pdf);
        QTest::keyClick(w->cboUnit, Qt::Key_F7);
        const auto seen = env->prompter.boxes();
        QCOMPARE(seen.size(), 1);
        QCOMPARE(seen.first().kind, QStringLiteral("print"));
        env->prompter.clear();
        QCOMPARE(pdfPageCount(pdf), 1);
        const QString text = pdfText(pdf);
        QVERIFY2(text.contains(QStringLiteral("기종별 재고")), qPrintable(text));
        for (int i = 11; i <= 20; ++i)
            QVERIFY2(text.contains(QStringLiteral("기종%1번").arg(i)), qPrintable(text));
        QVERIFY2(!text.contains(QStringLiteral("기종10번")) && !text.contains(QStringLiteral("기종21번")),
                 qPrintable(text));

        // Cancelled: nothing is written.
        QFile::remove(pdf);
        env->prompter.answerCancel();
        QTest::mouseClick(w->btnPrint, Qt::LeftButton);
        QCOMPARE(boxes().size(), 1);
        QVERIFY(!QFile::exists(pdf));
    }

    // In a fresh home the demo prepares the folder as the first start does and counts the demo
    // catalogue's makers; a count it cannot make is refused.
    void demoOnAFreshHome() {
        registerChartDemos();
        registerHandsetWindows(); // the demo catalogue's seeder
        QString out;
        QTextStream stream(&out);
        QCOMPARE(DemoWindows::run(QStringLiteral("chart"), {QStringLiteral("month")}, stream), 2);
        QVERIFY(out.isEmpty());
        QTimer::singleShot(0, this, [] {
            for (QWidget *t : QApplication::topLevelWidgets())
                if (auto *g = qobject_cast<FrmKVGraph *>(t); g && g->isVisible())
                    g->close();
        });
        QCOMPARE(DemoWindows::run(QStringLiteral("chart"), {}, stream), 0);
        QVERIFY(QFile::exists(env->appFolder() + QStringLiteral("/DBS/dbMain.db")));
        QVERIFY(
            modMDB_Func::OpenDB(env->appFolder() + QStringLiteral("/DBS/dbMain.db"), Schema::kPassword, true, false));
        const int makers =
            modMDB_Func::GetValue(QStringLiteral("SELECT COUNT(DISTINCT makecom) FROM t_mobile WHERE code <> 1"))
                .toInt();
        QVERIFY(makers > 1);
        QCOMPARE(out.trimmed().toInt(), makers);
    }

    void keepsItsMinimumSize() {
        open(3);
        w->resize(120, 90);
        QTRY_VERIFY(w->width() >= VbUnits::twipsToPx(5000));
        QTRY_VERIFY(w->height() >= VbUnits::twipsToPx(5000));
        QTest::mouseClick(w->btnClose, Qt::LeftButton);
        QVERIFY(!w->isVisible());
    }
};

QTEST_MAIN(TestChartWindow)
#include "tst_chart_window.moc"
