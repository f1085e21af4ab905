#include "ChartPrint.h"
#include "ChartDrawing.h"
#include "SheetPrinter.h"
#include <QApplication>
#include <QChart>
#include <QGraphicsLayout>
#include <QGraphicsScene>
#include <QPagedPaintDevice>
#include <QPainter>

namespace {
// The chart is laid out at screen size and scaled onto the page, so that its texts keep
// the proportions they have on screen.
constexpr qreal kLayoutWidth = 1100;
} // namespace

bool printChart(QPagedPaintDevice &device, const ChartData &data, int page, const ChartOptions &options,
                const QString &title) {
    SheetPrinter::installFontSubstitutes();
    const QFont font = SheetPrinter::printableFont(QApplication::font());
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    const QRectF area(0, 0, device.width(), device.height());
    QFont titleFont = font;
    titleFont.setPointSizeF(16);
    titleFont.setBold(true);
    painter.setFont(titleFont);
    const qreal titleHeight = title.trimmed().isEmpty() ? 0 : painter.fontMetrics().height() * 2;
    painter.drawText(QRectF(area.left(), area.top(), area.width(), titleHeight), Qt::AlignCenter, title);

    const QRectF target = area.adjusted(0, titleHeight, 0, 0);
    if (target.height() <= 0) {
        painter.end();
        return false;
    }
    QGraphicsScene scene;
    auto *chart = new QChart;
    scene.addItem(chart);
    chart->legend()->hide();
    chart->setBackgroundRoundness(0);
    chart->setDropShadowEnabled(false);
    const QSizeF size(kLayoutWidth, kLayoutWidth * target.height() / target.width());
    chart->resize(size);
    ChartDrawing::draw(*chart, data, page, options, font);
    chart->layout()->activate();
    scene.render(&painter, target, QRectF(QPointF(0, 0), size));
    return painter.end();
}
