#include "ChartDrawing.h"
#include "ChartLabels.h"
#include "VbUnits.h"
#include <QAreaSeries>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QFontMetrics>
#include <QHorizontalBarSeries>
#include <QLineSeries>
#include <QPieSeries>
#include <QValueAxis>
#include <algorithm>
#include <cmath>
#include <vector>

namespace ChartDrawing {

namespace {
constexpr int kGap = 12;
// Labels beside horizontal bars or around a pie take at most this share of the width.
constexpr double kMostLabelShare = 0.35;
// Pie slices below this share go without a label, which would only overlap its neighbours.
constexpr double kLeastLabelledSlice = 0.03;

struct PageValues {
    QList<qreal> shown;
    QStringList labels;
    qreal low = 0, high = 0;
};

PageValues pageValues(const ChartData &data, int page, double divisor) {
    const ChartData::Page p = data.page(page);
    PageValues v;
    v.shown.reserve(p.count);
    v.labels.reserve(p.count);
    for (int i = p.first; i < p.first + p.count; ++i) {
        // A value that is no number would take the whole axis with it.
        const qreal shown = std::isfinite(data.value(i)) ? data.value(i) / divisor : 0;
        v.shown << shown;
        v.low = std::min(v.low, shown);
        v.high = std::max(v.high, shown);
        v.labels << data.label(i);
    }
    if (v.low == v.high)
        v.high = v.low + 1;
    return v;
}

QColor colorOf(int bgr) { return VbUnits::toColor(bgr); }

QBrush fillOf(const ChartOptions &o) { return o.fillBars ? QBrush(colorOf(o.barColor)) : QBrush(Qt::NoBrush); }

template <class Series> Series *barSeries(const PageValues &v, const ChartOptions &o) {
    auto *set = new QBarSet(QString());
    set->append(v.shown);
    set->setBrush(fillOf(o));
    set->setPen(QPen(colorOf(o.barColor), o.fillBars ? 0.5 : 1.5));
    auto *series = new Series;
    series->append(set);
    series->setBarWidth(0.7);
    return series;
}

QLineSeries *lineSeries(const PageValues &v, int bgr) {
    auto *series = new QLineSeries;
    QList<QPointF> points;
    points.reserve(v.shown.size());
    for (int i = 0; i < v.shown.size(); ++i)
        points << QPointF(i, v.shown[i]);
    series->replace(points);
    series->setPen(QPen(colorOf(bgr), 2));
    series->setPointsVisible(true);
    return series;
}

QPieSeries *pieSeries(const PageValues &v, const ChartOptions &o, const QFont &font, int labelRoom) {
    const QFontMetrics metrics(font);
    auto *series = new QPieSeries;
    qreal total = 0;
    for (qreal s : v.shown)
        total += std::max<qreal>(0, s);
    const QColor base = colorOf(o.barColor);
    for (int i = 0; i < v.shown.size(); ++i) {
        if (v.shown[i] <= 0)
            continue; // a share of a whole has no room for nothing or less
        // Before the chart has its size there is nothing to cut to.
        QString text = labelRoom > 0 ? metrics.elidedText(v.labels[i], Qt::ElideRight, labelRoom) : v.labels[i];
        if (o.showValues)
            text += QLatin1Char(' ') + ChartKinds::valueText(v.shown[i]);
        QPieSlice *slice = series->append(text, v.shown[i]);
        const int hue = (std::max(0, base.hue()) + i * 360 / int(v.shown.size())) % 360;
        slice->setBrush(o.fillBars ? QBrush(QColor::fromHsv(hue, 160, 230)) : QBrush(Qt::NoBrush));
        slice->setPen(QPen(colorOf(o.lineColor), 1));
        slice->setLabelFont(font);
        slice->setLabelVisible(v.shown[i] / total >= kLeastLabelledSlice);
    }
    series->setPieSize(0.7);
    return series;
}

QString tickFormat(const QValueAxis &axis) {
    const qreal step = (axis.max() - axis.min()) / std::max(1, axis.tickCount() - 1);
    return step == std::round(step) ? QStringLiteral("%'.0f") : QStringLiteral("%'.2f");
}

QValueAxis *valueAxis(const PageValues &v, const ChartOptions &o, const QFont &font) {
    auto *axis = new QValueAxis;
    axis->setLabelsFont(font);
    axis->setTitleFont(font);
    axis->setRange(v.low, v.high);
    axis->applyNiceNumbers();
    axis->setLabelFormat(tickFormat(*axis));
    axis->setGridLineVisible(o.horizontalLines);
    axis->setTitleText(ChartKinds::axisTitle(o.unit));
    return axis;
}

// The items stand at 0, 1, 2, ... along an axis of their own, which the labels item labels.
QValueAxis *itemAxis(const PageValues &v, bool reverse) {
    auto *axis = new QValueAxis;
    axis->setRange(-0.5, std::max<qsizetype>(1, v.shown.size()) - 0.5);
    axis->setReverse(reverse);
    axis->setVisible(false);
    return axis;
}

void attach(QChart &chart, QAbstractAxis *axis, Qt::Alignment where, const std::vector<QAbstractSeries *> &series) {
    chart.addAxis(axis, where);
    for (QAbstractSeries *s : series)
        s->attachAxis(axis);
}
} // namespace

void draw(QChart &chart, const ChartData &data, int page, const ChartOptions &o, const QFont &font) {
    delete ChartLabels::of(chart);
    chart.removeAllSeries();
    for (QAbstractAxis *axis : chart.axes()) {
        chart.removeAxis(axis);
        delete axis;
    }
    PageValues v = pageValues(data, page, ChartKinds::divisor(o.unit));
    const QFontMetrics metrics(font);
    const int bottom = std::max(0, VbUnits::twipsToPx(o.bottomMargin));
    const bool across = o.kind == ChartKinds::HorizontalBars;
    int left = kGap;
    if (across) {
        for (const QString &label : v.labels)
            left = std::max(left, metrics.horizontalAdvance(label) + kGap);
        left = std::min(left, int(chart.size().width() * kMostLabelShare));
    }
    // Values shown past the longest bar need room beyond the plot.
    const int top = kGap + (o.showValues && !across ? metrics.height() : 0);
    int right = kGap * 2;
    if (o.showValues && across)
        for (qreal shown : v.shown)
            right = std::max(right, metrics.horizontalAdvance(ChartKinds::valueText(shown)) + kGap);
    chart.setMargins(QMargins(left, top, right, bottom));

    if (o.kind == ChartKinds::Pie) {
        chart.addSeries(pieSeries(v, o, font, int(chart.size().width() * kMostLabelShare / 2)));
        return;
    }
    std::vector<QAbstractSeries *> series;
    if (across)
        series.push_back(barSeries<QHorizontalBarSeries>(v, o));
    if (o.kind == ChartKinds::Bars || o.kind == ChartKinds::BarsAndLine)
        series.push_back(barSeries<QBarSeries>(v, o));
    if (o.kind == ChartKinds::Lines || o.kind == ChartKinds::BarsAndLine)
        series.push_back(lineSeries(v, o.lineColor));
    if (o.kind == ChartKinds::Areas) {
        QLineSeries *upper = lineSeries(v, o.lineColor);
        auto *area = new QAreaSeries(upper);
        upper->setParent(area); // an area series does not own its line, and redraws would leak it
        area->setBrush(fillOf(o));
        area->setPen(QPen(colorOf(o.lineColor), 2));
        series.push_back(area);
    }
    for (QAbstractSeries *s : series)
        chart.addSeries(s);
    // The first item on top, as it reads.
    attach(chart, valueAxis(v, o, font), across ? Qt::AlignBottom : Qt::AlignLeft, series);
    attach(chart, itemAxis(v, across), across ? Qt::AlignLeft : Qt::AlignBottom, series);
    new ChartLabels(chart, v.labels, v.shown, o, font, series.back());
}

} // namespace ChartDrawing
