#include "ChartLabels.h"
#include <QChart>
#include <QFontMetrics>
#include <QPainter>

namespace {
constexpr qreal kPadding = 4;
} // namespace

ChartLabels::ChartLabels(QChart &chart, QStringList labels, QList<qreal> shown, const ChartOptions &options,
                         const QFont &font, QAbstractSeries *series)
    : QGraphicsItem(&chart), m_chart(chart), m_labels(std::move(labels)), m_shown(std::move(shown)), m_options(options),
      m_font(font), m_series(series) {
    setZValue(10); // over the series
    // In chart units, so that a chart scaled onto paper scales its texts with it once.
    m_font.setPixelSize(QFontInfo(font).pixelSize());
}

ChartLabels *ChartLabels::of(const QChart &chart) {
    for (QGraphicsItem *item : chart.childItems())
        if (item->type() == Type)
            return static_cast<ChartLabels *>(item);
    return nullptr;
}

QRectF ChartLabels::boundingRect() const { return m_chart.rect(); }

QRectF ChartLabels::labelRect(int i) const {
    const QRectF plot = m_chart.plotArea();
    const qreal n = qMax<qsizetype>(1, m_labels.size());
    if (across()) {
        const qreal step = plot.height() / n;
        return QRectF(m_chart.rect().left() + kPadding, plot.top() + i * step,
                      plot.left() - m_chart.rect().left() - 2 * kPadding, step);
    }
    const qreal step = plot.width() / n;
    return QRectF(plot.left() + i * step, plot.bottom() + kPadding, step,
                  m_chart.rect().bottom() - plot.bottom() - kPadding);
}

QString ChartLabels::paintedLabel(int i) const {
    const QRectF r = labelRect(i);
    // Standing labels run up the room under the plot; others across their slot.
    const qreal room = m_options.rotateVertText && !across() ? r.height() : r.width();
    return QFontMetrics(m_font).elidedText(m_labels[i], Qt::ElideRight, int(qMax<qreal>(1, room - 2)));
}

void ChartLabels::paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *) {
    if (m_options.kind == ChartKinds::Pie)
        return;
    painter->save();
    painter->setFont(m_font);
    painter->setPen(Qt::black);
    const bool standing = m_options.rotateVertText && !across();
    for (int i = 0; i < m_labels.size(); ++i) {
        const QRectF r = labelRect(i);
        const QString text = paintedLabel(i);
        if (standing) {
            // Turned a quarter to the left, reading upwards, its end at the plot.
            painter->save();
            painter->translate(r.center().x(), r.top());
            painter->rotate(-90);
            painter->drawText(QRectF(-r.height(), -r.width() / 2, r.height(), r.width()),
                              Qt::AlignRight | Qt::AlignVCenter, text);
            painter->restore();
        } else {
            painter->drawText(r, (across() ? Qt::AlignRight | Qt::AlignVCenter : Qt::AlignHCenter | Qt::AlignTop),
                              text);
        }
    }
    if (m_options.showValues && m_series)
        paintValues(*painter);
    painter->restore();
}

void ChartLabels::paintValues(QPainter &painter) const {
    const QFontMetrics metrics(m_font);
    // A line runs through its points: its values stand clear of the point, on a light ground.
    const bool onLine = m_options.kind == ChartKinds::Lines || m_options.kind == ChartKinds::Areas ||
                        m_options.kind == ChartKinds::BarsAndLine;
    const qreal gap = onLine ? kPadding * 1.5 : kPadding / 2;
    for (int i = 0; i < m_shown.size(); ++i) {
        const qreal v = m_shown[i];
        const QString text = ChartKinds::valueText(v);
        const QPointF at = m_chart.mapToPosition(across() ? QPointF(v, i) : QPointF(i, v), m_series);
        const qreal w = metrics.horizontalAdvance(text), h = metrics.height();
        QRectF r;
        if (across())
            r = v >= 0 ? QRectF(at.x() + kPadding, at.y() - h / 2, w, h)
                       : QRectF(at.x() - kPadding - w, at.y() - h / 2, w, h);
        else
            r = v >= 0 ? QRectF(at.x() - w / 2, at.y() - h - gap, w, h) : QRectF(at.x() - w / 2, at.y() + gap, w, h);
        if (onLine)
            painter.fillRect(r.adjusted(-1, 0, 1, 0), QColor(255, 255, 255, 200));
        painter.drawText(r, Qt::AlignCenter, text);
    }
}
