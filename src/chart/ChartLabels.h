#pragma once
#include "ChartKinds.h"
#include <QFont>
#include <QGraphicsItem>
#include <QList>
#include <QStringList>

class QAbstractSeries;
class QChart;

// The item labels beside the plot and the values at the bars or points of one page, painted
// as plain text in one item. The chart's own axis labels are rich-text items that are
// measured and laid out one by one, which costs more than all the rest of a page.
class ChartLabels : public QGraphicsItem {
public:
    enum { Type = UserType + 0x4b56 };

    ChartLabels(QChart &chart, QStringList labels, QList<qreal> shown, const ChartOptions &options, const QFont &font,
                QAbstractSeries *series);

    // The chart's labels item, null when it has none.
    static ChartLabels *of(const QChart &chart);

    const QStringList &labels() const { return m_labels; }
    // The label of item i as painted: cut to its room.
    QString paintedLabel(int i) const;

    int type() const override { return Type; }
    QRectF boundingRect() const override;
    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option, QWidget *widget) override;

private:
    bool across() const { return m_options.kind == ChartKinds::HorizontalBars; }
    // Where item i's label goes, in chart coordinates.
    QRectF labelRect(int i) const;
    void paintValues(QPainter &painter) const;

    QChart &m_chart;
    QStringList m_labels;
    QList<qreal> m_shown;
    ChartOptions m_options;
    QFont m_font;
    QAbstractSeries *m_series;
};
