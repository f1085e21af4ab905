#include "ChartDrawing.h"
#include "VbUnits.h"
#include <QAreaSeries>
#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QFontMetrics>
#include <QHorizontalBarSeries>
#include <QLineSeries>
#include <QPieSeries>
#include <QSet>
#include <QValueAxis>
#include <algorithm>
#include <cmath>
#include <vector>

namespace ChartDrawing {

namespace {
constexpr int kGap = 12;
// What an axis puts between the plot and its labels, beside the labels themselves.
constexpr int kLabelPadding = 8;
// Pie slices below this share go without a label, which would only overlap its neighbours.
constexpr double kLeastLabelledSlice = 0.03;

struct PageValues {
    QList<qreal> shown;
    QStringList labels;
    qreal low = 0, high = 0;
};

// A category axis takes each text once: repeated labels get invisible marks to stay apart.
// Labels standing on end are cut to the room under the plot.
PageValues pageValues(const ChartData &data, int page, double divisor, const QFontMetrics *cut, int room) {
    const ChartData::Page p = data.page(page);
    PageValues v;
    v.shown.reserve(p.count);
    v.labels.reserve(p.count);
    QSet<QString> seen;
    for (int i = p.first; i < p.first + p.count; ++i) {
        const qreal shown = data.value(i) / divisor;
        v.shown << shown;
        v.low = std::min(v.low, shown);
        v.high = std::max(v.high, shown);
        QString label = cut ? cut->elidedText(data.label(i), Qt::ElideRight, room) : data.label(i);
        while (seen.contains(label))
            label += QChar(0x200B);
        seen.insert(label);
        v.labels << label;
    }
    if (v.low == v.high)
        v.high = v.low + 1;
    return v;
}

QColor colorOf(int bgr) { return VbUnits::toColor(bgr); }

QBrush fillOf(const ChartOptions &o) { return o.fillBars ? QBrush(colorOf(o.barColor)) : QBrush(Qt::NoBrush); }

template <class Series> Series *barSeries(const PageValues &v, const ChartOptions &o, const QFont &font) {
    auto *set = new QBarSet(QString());
    set->setLabelFont(font);
    set->append(v.shown);
    set->setBrush(fillOf(o));
    set->setPen(QPen(colorOf(o.barColor), o.fillBars ? 0.5 : 1.5));
    set->setLabelColor(Qt::black);
    auto *series = new Series;
    series->append(set);
    series->setBarWidth(0.7);
    series->setLabelsVisible(o.showValues);
    series->setLabelsPosition(QAbstractBarSeries::LabelsOutsideEnd);
    series->setLabelsPrecision(15);
    return series;
}

QLineSeries *lineSeries(const PageValues &v, int bgr, bool showValues, const QFont &font) {
    auto *series = new QLineSeries;
    series->setPointLabelsFont(font);
    QList<QPointF> points;
    points.reserve(v.shown.size());
    for (int i = 0; i < v.shown.size(); ++i)
        points << QPointF(i, v.shown[i]);
    series->replace(points);
    series->setPen(QPen(colorOf(bgr), 2));
    series->setPointsVisible(true);
    series->setPointLabelsVisible(showValues);
    series->setPointLabelsFormat(QStringLiteral("@yPoint"));
    series->setPointLabelsClipping(false);
    return series;
}

QPieSeries *pieSeries(const PageValues &v, const ChartOptions &o, const QFont &font) {
    auto *series = new QPieSeries;
    qreal total = 0;
    for (qreal s : v.shown)
        total += std::max<qreal>(0, s);
    const QColor base = colorOf(o.barColor);
    for (int i = 0; i < v.shown.size(); ++i) {
        if (v.shown[i] <= 0)
            continue; // a share of a whole has no room for nothing or less
        QString text = v.labels[i];
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

QBarCategoryAxis *categoryAxis(const PageValues &v, const ChartOptions &o, const QFont &font) {
    auto *axis = new QBarCategoryAxis;
    axis->setLabelsFont(font);
    axis->append(v.labels);
    axis->setGridLineVisible(false);
    axis->setLabelsAngle(o.rotateVertText ? -90 : 0);
    return axis;
}

void attach(QChart &chart, QAbstractAxis *axis, Qt::Alignment where, const std::vector<QAbstractSeries *> &series) {
    chart.addAxis(axis, where);
    for (QAbstractSeries *s : series)
        s->attachAxis(axis);
}
} // namespace

void draw(QChart &chart, const ChartData &data, int page, const ChartOptions &o, const QFont &font) {
    chart.removeAllSeries();
    for (QAbstractAxis *axis : chart.axes()) {
        chart.removeAxis(axis);
        delete axis;
    }
    const QFontMetrics metrics(font);
    const int bottom = std::max(0, VbUnits::twipsToPx(o.bottomMargin));
    const int labelRoom = std::max(metrics.height(), bottom - kLabelPadding);
    const bool standing = o.rotateVertText && o.kind != ChartKinds::HorizontalBars && o.kind != ChartKinds::Pie;
    const PageValues v = pageValues(data, page, ChartKinds::divisor(o.unit), standing ? &metrics : nullptr, labelRoom);
    // What the axis under the plot takes of the bottom margin; the rest stays empty.
    int used = 0;
    if (o.kind == ChartKinds::HorizontalBars)
        used = metrics.height() * (ChartKinds::axisTitle(o.unit).isEmpty() ? 1 : 2) + kLabelPadding;
    else if (o.kind != ChartKinds::Pie)
        used = (standing ? labelRoom : metrics.height()) + kLabelPadding;
    chart.setMargins(QMargins(kGap, kGap, kGap * 2, std::max(kGap / 2, bottom - used)));

    if (o.kind == ChartKinds::Pie) {
        chart.addSeries(pieSeries(v, o, font));
        return;
    }
    QValueAxis *values = valueAxis(v, o, font);
    QBarCategoryAxis *categories = categoryAxis(v, o, font);
    std::vector<QAbstractSeries *> series;
    if (o.kind == ChartKinds::HorizontalBars) {
        series.push_back(barSeries<QHorizontalBarSeries>(v, o, font));
        categories->setReverse(true); // the first item on top, as it reads
    }
    if (o.kind == ChartKinds::Bars || o.kind == ChartKinds::BarsAndLine)
        series.push_back(barSeries<QBarSeries>(v, o, font));
    if (o.kind == ChartKinds::Lines || o.kind == ChartKinds::BarsAndLine)
        series.push_back(lineSeries(v, o.lineColor, o.showValues && o.kind == ChartKinds::Lines, font));
    if (o.kind == ChartKinds::Areas) {
        auto *area = new QAreaSeries(lineSeries(v, o.lineColor, false, font));
        area->setBrush(fillOf(o));
        area->setPen(QPen(colorOf(o.lineColor), 2));
        area->setPointLabelsVisible(o.showValues);
        area->setPointLabelsFormat(QStringLiteral("@yPoint"));
        area->setPointLabelsFont(font);
        series.push_back(area);
    }
    for (QAbstractSeries *s : series)
        chart.addSeries(s);
    const bool across = o.kind == ChartKinds::HorizontalBars;
    attach(chart, values, across ? Qt::AlignBottom : Qt::AlignLeft, series);
    attach(chart, categories, across ? Qt::AlignLeft : Qt::AlignBottom, series);
}

} // namespace ChartDrawing
