// The chart control: what a page draws for each kind and option, values of any size and
// sign, labels that must not run into each other, and a page printed into a PDF file.
#include "ChartLabels.h"
#include "ChartPrint.h"
#include "ChartView.h"
#include "CupsServer.h"
#include "EnvFixture.h"
#include "VbUnits.h"
#include <QAreaSeries>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QFontMetrics>
#include <QHorizontalBarSeries>
#include <QLineSeries>
#include <QLocale>
#include <QPdfWriter>
#include <QPieSeries>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>
#include <QValueAxis>
#include <cmath>
#include <memory>

namespace {
// A 40-character Korean label that differs from its neighbours only at the end.
QString longLabel(int i) {
    return QStringLiteral("가나다라마바사아자차카타파하").repeated(3).left(37) +
           QStringLiteral("%1").arg(i, 3, 10, QLatin1Char('0'));
}

template <class T> QList<T *> seriesOf(const QChart &chart) {
    QList<T *> found;
    for (QAbstractSeries *s : chart.series())
        if (auto *t = qobject_cast<T *>(s))
            found << t;
    return found;
}

QValueAxis *valueAxis(const QChart &chart) {
    for (QAbstractAxis *a : chart.axes())
        if (a->isVisible())
            return qobject_cast<QValueAxis *>(a);
    return nullptr;
}

QList<qreal> barValues(const QChart &chart) {
    QList<qreal> values;
    for (QAbstractBarSeries *s : seriesOf<QAbstractBarSeries>(chart))
        for (int i = 0; i < s->barSets().first()->count(); ++i)
            values << s->barSets().first()->at(i);
    return values;
}
} // namespace

class TestChartView : public EnvFixture {
    Q_OBJECT
    void setUp() override { view = std::make_unique<ChartView>(); }
    void tearDown() override { view.reset(); }
    std::unique_ptr<ChartView> view;

    void shown() {
        view->resize(1200, 900);
        view->show();
        QVERIFY(QTest::qWaitForWindowExposed(view.get()));
    }

private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::Korean, QLocale::SouthKorea)); }

    void valuesOfAnySizeAndSignAreShownDivided() {
        view->AddData(-5e8, QStringLiteral("음수"));
        view->AddData(0, QStringLiteral("영"));
        view->AddData(1e12, QStringLiteral("조"));
        view->DrawPage(1);
        QCOMPARE(barValues(*view->chart()), (QList<qreal>{-5e8, 0, 1e12}));
        QValueAxis *axis = valueAxis(*view->chart());
        QVERIFY(axis);
        QVERIFY(axis->min() <= -5e8 && axis->max() >= 1e12);
        QCOMPARE(axis->titleText(), QString());

        view->DataUnit(4);
        view->DrawPage();
        QCOMPARE(barValues(*view->chart()), (QList<qreal>{-5, 0, 10000}));
        view->AddData(qQNaN(), QStringLiteral("없음"));
        view->DrawPage();
        QCOMPARE(barValues(*view->chart()), (QList<qreal>{-5, 0, 10000, 0}));
        axis = valueAxis(*view->chart());
        QVERIFY(axis->min() <= -5 && axis->max() >= 10000 && axis->max() < 20000);
        QVERIFY(std::isfinite(axis->min()));
        QCOMPARE(axis->titleText(), QStringLiteral("(단위: 억)"));
    }

    void eachKindDrawsItsSeries() {
        for (int i = 0; i < 5; ++i)
            view->AddData(i - 1, QStringLiteral("항목%1").arg(i));
        const auto &chart = *view->chart();
        view->GraphType(0);
        view->DrawPage(1);
        QCOMPARE(seriesOf<QBarSeries>(chart).size(), 1);
        QCOMPARE(chart.series().size(), 1);
        view->GraphType(1);
        view->DrawPage();
        QCOMPARE(seriesOf<QLineSeries>(chart).size(), 1);
        QCOMPARE(seriesOf<QLineSeries>(chart).first()->count(), 5);
        QCOMPARE(seriesOf<QLineSeries>(chart).first()->at(4), QPointF(4, 3));
        view->GraphType(2);
        view->DrawPage();
        QCOMPARE(seriesOf<QBarSeries>(chart).size(), 1);
        QCOMPARE(seriesOf<QLineSeries>(chart).size(), 1);
        view->GraphType(3);
        view->DrawPage();
        QCOMPARE(seriesOf<QAreaSeries>(chart).size(), 1);
        QCOMPARE(chart.series().size(), 1);
        // The area's line goes with it when the page is drawn anew (shops leave charts open all day).
        const QPointer<QLineSeries> areaLine = seriesOf<QAreaSeries>(chart).first()->upperSeries();
        view->GraphType(4);
        view->DrawPage();
        QVERIFY(areaLine.isNull());
        QCOMPARE(seriesOf<QHorizontalBarSeries>(chart).size(), 1);
        QCOMPARE(chart.series().size(), 1);
        // A pie shares out what there is: nothing and less than nothing get no slice.
        view->GraphType(5);
        view->DrawPage();
        const auto pies = seriesOf<QPieSeries>(chart);
        QCOMPARE(pies.size(), 1);
        QCOMPARE(pies.first()->count(), 3);
        QCOMPARE(pies.first()->sum(), 6.0);
        QVERIFY(pies.first()->slices().first()->label().startsWith(QStringLiteral("항목2")));
        QVERIFY(chart.axes().isEmpty());
    }

    void optionsReachTheDrawing() {
        view->AddData(3, QStringLiteral("가"));
        view->AddData(4, QStringLiteral("나"));
        view->GraphType(2);
        view->BarColor(0x00FF00);  // green: red sits in the low byte
        view->LineColor(0x0000FF); // red
        view->DrawPage(1);
        const QChart &chart = *view->chart();
        QCOMPARE(seriesOf<QBarSeries>(chart).first()->barSets().first()->brush().color(), QColor(0, 255, 0));
        QCOMPARE(seriesOf<QLineSeries>(chart).first()->pen().color(), QColor(255, 0, 0));
        QVERIFY(valueAxis(chart)->isGridLineVisible());
        view->FillBars(false);
        view->HorizontalLines(false);
        view->DrawPage();
        QCOMPARE(seriesOf<QBarSeries>(chart).first()->barSets().first()->brush().style(), Qt::NoBrush);
        QVERIFY(!valueAxis(chart)->isGridLineVisible());
    }

    void longKoreanLabelsNeverRunIntoEachOther() {
        shown();
        for (int i = 0; i < 120; ++i)
            view->AddData(i * 10, longLabel(i));
        view->MaxCols(50);
        view->DrawPage(2);
        QApplication::processEvents();
        const ChartLabels *labels = ChartLabels::of(*view->chart());
        QVERIFY(labels);
        QCOMPARE(labels->labels().size(), 50);
        QCOMPARE(labels->labels().first(), longLabel(50));
        const QFontMetrics metrics(view->font());
        const qreal slot = view->chart()->plotArea().width() / 50;
        for (int i = 0; i < 50; ++i)
            QVERIFY2(metrics.horizontalAdvance(labels->paintedLabel(i)) <= slot, qPrintable(labels->paintedLabel(i)));

        // Standing on end they take the bottom margin; with room enough, the whole label.
        view->RotateVertText(true);
        view->DrawPage();
        QApplication::processEvents();
        const qreal room = view->height() - view->chart()->plotArea().bottom();
        QVERIFY(room >= VbUnits::twipsToPx(500) && room < VbUnits::twipsToPx(500) + 20);
        QVERIFY(ChartLabels::of(*view->chart())->paintedLabel(0).endsWith(QChar(0x2026)));
        QVERIFY(metrics.horizontalAdvance(ChartLabels::of(*view->chart())->paintedLabel(0)) <= room);
        view->BottomMargin(metrics.horizontalAdvance(longLabel(0)) * VbUnits::kTwipsPerPixel + 300);
        view->DrawPage();
        QApplication::processEvents();
        QCOMPARE(ChartLabels::of(*view->chart())->paintedLabel(0), longLabel(50));
    }

    void lastPageAndEmptyChart() {
        for (int i = 0; i < 51; ++i)
            view->AddData(i, QStringLiteral("같은 이름"));
        view->DrawPage(99);
        QCOMPARE(view->currentPage(), 2);
        QCOMPARE(barValues(*view->chart()), (QList<qreal>{50}));
        view->DrawPage(1);
        // Repeated labels are still one each.
        QCOMPARE(ChartLabels::of(*view->chart())->labels().size(), 50);

        view->ClearData();
        QCOMPARE(view->DataCount(), 0);
        QCOMPARE(view->PageCount(), 1);
        view->DrawPage();
        QCOMPARE(view->currentPage(), 1);
        QVERIFY(barValues(*view->chart()).isEmpty());
        QVERIFY(ChartLabels::of(*view->chart())->labels().isEmpty());
    }

    void printedPageHoldsTitleLabelsAndValues() {
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("chart.pdf"));
        ChartData data;
        data.setMaxCols(10);
        for (int i = 1; i <= 25; ++i)
            data.add(i == 14 ? 1e12 : i == 15 ? -7 : i * 100, QStringLiteral("모델%1호").arg(i));
        ChartOptions options;
        options.showValues = true;
        {
            QPdfWriter writer(pdf);
            writer.setPageOrientation(QPageLayout::Landscape);
            QVERIFY(printChart(writer, data, 2, options, QStringLiteral("제조회사별 모델 수")));
        }
        QCOMPARE(pdfPageCount(pdf), 1);
        const QString text = pdfText(pdf);
        QVERIFY2(text.contains(QStringLiteral("제조회사별 모델 수")), qPrintable(text));
        for (int i = 11; i <= 20; ++i)
            QVERIFY2(text.contains(QStringLiteral("모델%1호").arg(i)), qPrintable(text));
        QVERIFY2(!text.contains(QStringLiteral("모델10호")) && !text.contains(QStringLiteral("모델21호")),
                 qPrintable(text));
        QVERIFY2(text.contains(QStringLiteral("1,000,000,000,000")) && text.contains(QStringLiteral("-7")) &&
                     text.contains(QStringLiteral("1,300")),
                 qPrintable(text));
    }
};

QTEST_MAIN(TestChartView)
#include "tst_chart_view.moc"
