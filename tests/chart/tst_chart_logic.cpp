// The chart's paging, units, stored choices and the catalogue counts, without any window.
#include "ChartData.h"
#include "ChartKinds.h"
#include "GraphPaging.h"
#include "GraphSettings.h"
#include "HandsetCounts.h"
#include "Settings.h"
#include "TestEnv.h"
#include "modMDB_Func.h"
#include <QLocale>
#include <QTest>

namespace {
const QString kApp = QStringLiteral("KolvaGraphOCX");
const QString kSection = QStringLiteral("Config");
QString stored(const QString &key) { return Settings::GetSetting(kApp, kSection, key, QStringLiteral("<none>")); }
} // namespace

class TestChartLogic : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::Korean, QLocale::SouthKorea)); }

    void pageCountAtFiftyPerPage_data() {
        QTest::addColumn<int>("items");
        QTest::addColumn<int>("pages");
        QTest::newRow("none: one empty page") << 0 << 1;
        QTest::newRow("one") << 1 << 1;
        QTest::newRow("a full page") << 50 << 1;
        QTest::newRow("one over") << 51 << 2;
        QTest::newRow("ten thousand") << 10000 << 200;
    }
    void pageCountAtFiftyPerPage() {
        QFETCH(int, items);
        ChartData data;
        data.setMaxCols(50);
        for (int i = 0; i < items; ++i)
            data.add(i, QString::number(i));
        QCOMPARE(data.count(), items);
        QFETCH(int, pages);
        QCOMPARE(data.pageCount(), pages);
    }

    void pagesHoldTheirItems() {
        ChartData data;
        for (int i = 0; i < 51; ++i)
            data.add(i * 2.5, QStringLiteral("모델%1").arg(i));
        data.setMaxCols(50);
        QCOMPARE(data.page(1).first, 0);
        QCOMPARE(data.page(1).count, 50);
        // The last page holds the one item left over, and a page past the end is the last one.
        QCOMPARE(data.page(2).first, 50);
        QCOMPARE(data.page(2).count, 1);
        QCOMPARE(data.page(9).first, 50);
        QCOMPARE(data.page(0).first, 0);
        QCOMPARE(data.label(50), QStringLiteral("모델50"));
        QCOMPARE(data.value(50), 125.0);
        data.setMaxCols(0);
        QCOMPARE(data.maxCols(), 1);
        QCOMPARE(data.pageCount(), 51);
        data.clear();
        QCOMPARE(data.count(), 0);
        QCOMPARE(data.page(1).count, 0);
    }

    void pageButtons_data() {
        QTest::addColumn<int>("page");
        QTest::addColumn<int>("pages");
        QTest::addColumn<int>("shown");
        QTest::addColumn<bool>("previous");
        QTest::addColumn<bool>("next");
        QTest::addColumn<QString>("label");
        QTest::newRow("only page") << 1 << 1 << 1 << false << false << "1/1";
        QTest::newRow("first of three") << 1 << 3 << 1 << false << true << "1/3";
        QTest::newRow("middle") << 2 << 3 << 2 << true << true << "2/3";
        QTest::newRow("last") << 3 << 3 << 3 << true << false << "3/3";
        QTest::newRow("past the last") << 4 << 3 << 3 << true << false << "3/3";
        QTest::newRow("before the first") << 0 << 3 << 1 << false << true << "1/3";
        // Fewer columns than before made one page of many: nothing left to move to.
        QTest::newRow("page 2 of what became one") << 2 << 1 << 1 << false << false << "1/1";
    }
    void pageButtons() {
        QFETCH(int, page);
        QFETCH(int, pages);
        QFETCH(int, shown);
        QFETCH(bool, previous);
        QFETCH(bool, next);
        QFETCH(QString, label);
        const GraphPaging p = GraphPaging::clamp(page, pages);
        QCOMPARE(p.page, shown);
        QCOMPARE(p.previous, previous);
        QCOMPARE(p.next, next);
        QCOMPARE(p.label, label);
    }

    void unitsDivideAndTitleTheAxis() {
        QCOMPARE(ChartKinds::unitNames(), (QStringList{"1", "천", "만", "백만", "억"}));
        QCOMPARE(ChartKinds::kindNames().size(), 6);
        const double expected[] = {1e12, 1e9, 1e8, 1e6, 1e4};
        for (int unit = 0; unit < 5; ++unit)
            QCOMPARE(1e12 / ChartKinds::divisor(unit), expected[unit]);
        QCOMPARE(ChartKinds::divisor(5), 1.0);
        QCOMPARE(ChartKinds::divisor(-1), 1.0);
        QCOMPARE(ChartKinds::axisTitle(0), QString());
        QCOMPARE(ChartKinds::axisTitle(2), QStringLiteral("(단위: 만)"));
        QCOMPARE(ChartKinds::axisTitle(4), QStringLiteral("(단위: 억)"));
        QCOMPARE(ChartKinds::valueText(1e12), QStringLiteral("1,000,000,000,000"));
        QCOMPARE(ChartKinds::valueText(-1234.5), QStringLiteral("-1,234.50"));
        QCOMPARE(ChartKinds::valueText(0), QStringLiteral("0"));
        QCOMPARE(ChartKinds::valueText(12345 / ChartKinds::divisor(1)), QStringLiteral("12.35"));
    }

    void numberBoxesReadAsThePatternShowsThem_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("most");
        QTest::addColumn<int>("value");
        QTest::newRow("zero") << "0" << 32767 << 0;
        QTest::newRow("empty") << "" << 32767 << 0;
        QTest::newRow("no number") << "열" << 32767 << 0;
        QTest::newRow("rounded") << "12.6" << 32767 << 13;
        QTest::newRow("blanks") << " 40 " << 32767 << 40;
        QTest::newRow("negative") << "-3" << 32767 << -3;
        QTest::newRow("beyond 16 bits") << "99999" << 32767 << 32767;
        QTest::newRow("beyond 32 bits") << "1e30" << INT_MAX << INT_MAX;
    }
    void numberBoxesReadAsThePatternShowsThem() {
        QFETCH(QString, text);
        QFETCH(int, most);
        QFETCH(int, value);
        QCOMPARE(GraphSettings::boxValue(text, most), value);
    }

    void choicesAreStoredUnderTheirKeys() {
        TestEnv env;
        GraphSettings::saveOption(0, true);
        GraphSettings::saveOption(1, false);
        GraphSettings::saveOption(3, true);
        GraphSettings::saveGraphType(4);
        GraphSettings::saveDataUnit(2);
        GraphSettings::saveColor(0, 65280);
        GraphSettings::saveColor(1, 0);
        GraphSettings::saveNumber(0, 20);
        GraphSettings::saveNumber(2, 1500);
        GraphSettings::saveTitle(QStringLiteral("제조회사별 모델 수"));
        QCOMPARE(stored(QStringLiteral("값보기")), QStringLiteral("1"));
        QCOMPARE(stored(QStringLiteral("가로선")), QStringLiteral("0"));
        QCOMPARE(stored(QStringLiteral("막대채움")), QStringLiteral("<none>"));
        QCOMPARE(stored(QStringLiteral("세로글자회전")), QStringLiteral("1"));
        QCOMPARE(stored(QStringLiteral("GraphType")), QStringLiteral("4"));
        QCOMPARE(stored(QStringLiteral("DataUnit")), QStringLiteral("2"));
        QCOMPARE(stored(QStringLiteral("막대색")), QStringLiteral("65280"));
        QCOMPARE(stored(QStringLiteral("꺾은선색")), QStringLiteral("0"));
        QCOMPARE(stored(QStringLiteral("MaxCols")), QStringLiteral("20"));
        QCOMPARE(stored(QStringLiteral("MGBottom")), QStringLiteral("1500"));
        QCOMPARE(Settings::GetSetting(QStringLiteral("휴대폰관리"), QStringLiteral("Config_Form"),
                                      QStringLiteral("GraphA_인쇄제목")),
                 QStringLiteral("제조회사별 모델 수"));

        // What was saved is what the next window loads.
        const GraphSettings::Values v = GraphSettings::load();
        QCOMPARE(v.maxCols, 20);
        QCOMPARE(v.chart.bottomMargin, 1500);
        QVERIFY(v.chart.showValues && !v.chart.horizontalLines && v.chart.fillBars && v.chart.rotateVertText);
        QCOMPARE(v.chart.lineColor, 0);
        QCOMPARE(v.title, QStringLiteral("제조회사별 모델 수"));

        // Columns per page are at least one, whatever was stored.
        Settings::SaveSetting(kApp, kSection, QStringLiteral("MaxCols"), QStringLiteral("0"));
        QCOMPARE(GraphSettings::load().maxCols, 1);
        Settings::SaveSetting(kApp, kSection, QStringLiteral("MaxCols"), QStringLiteral("열"));
        QCOMPARE(GraphSettings::load().maxCols, 1);
    }

    void handsetsPerMakerAndYear() {
        TestEnv env;
        QVERIFY(env.openFreshDatabase());
        const char *rows[][2] = {{"삼성전자", "2010"}, {"LG전자", "2008"}, {"삼성전자", "2008"},
                                 {"", "2012"},         {"삼성전자", ""},   {"LG전자 ", "2010"}};
        for (const auto &r : rows)
            QVERIFY(
                modMDB_Func::ExecuteSQL(QStringLiteral("INSERT INTO t_mobile (makecom, makeyear) VALUES ('%1', '%2')")
                                            .arg(QString::fromUtf8(r[0]), QString::fromUtf8(r[1]))) == 1);
        const auto makers = HandsetCounts::read(HandsetCounts::By::Maker);
        QCOMPARE(int(makers.size()), 3);
        // The base record (code 1) has no maker either, and is not a handset.
        QCOMPARE(makers[0].label, QStringLiteral("삼성전자"));
        QCOMPARE(makers[0].handsets, 3);
        QCOMPARE(makers[1].label, QStringLiteral("LG전자"));
        QCOMPARE(makers[1].handsets, 2);
        QCOMPARE(makers[2].label, QStringLiteral("(없음)"));
        QCOMPARE(makers[2].handsets, 1);
        const auto years = HandsetCounts::read(HandsetCounts::By::Year);
        QStringList labels;
        for (const auto &c : years)
            labels << QStringLiteral("%1:%2").arg(c.label).arg(c.handsets);
        QCOMPARE(labels, (QStringList{"(없음):1", "2008:2", "2010:2", "2012:1"}));
        QVERIFY(env.noUnexpectedBoxes());
    }
};

QTEST_MAIN(TestChartLogic)
#include "tst_chart_logic.moc"
