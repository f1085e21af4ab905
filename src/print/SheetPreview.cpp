#include "SheetPreview.h"
#include "SheetPrinter.h"
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <cmath>

namespace {
constexpr int kGap = 12;
const QColor kDesk(0x80, 0x80, 0x80);
} // namespace

SheetPreview::SheetPreview(QWidget *parent) : QAbstractScrollArea(parent), m_cache(64 * 1024) {
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setAutoFillBackground(false);
}

SheetPreview::~SheetPreview() = default;

int SheetPreview::pageCount() const { return m_printer ? m_printer->pageCount() : 0; }

void SheetPreview::setPrinter(std::shared_ptr<const SheetPrinter> printer) {
    m_printer = std::move(printer);
    m_cache.clear();
    m_page = std::clamp(m_page, 1, std::max(1, pageCount()));
    updateScrollBars();
    viewport()->update();
}

void SheetPreview::setView(ViewType type, int percentage, int multiH, int multiV) {
    m_type = type;
    m_percentage = std::clamp(percentage, 10, 400);
    m_multiH = std::max(1, multiH);
    m_multiV = std::max(1, multiV);
    m_zoomed = false;
    updateScrollBars();
    viewport()->update();
}

void SheetPreview::setPageCurrent(int page) {
    page = std::clamp(page, 1, std::max(1, pageCount()));
    if (page == m_page)
        return;
    m_page = page;
    verticalScrollBar()->setValue(0);
    viewport()->update();
    Q_EMIT pageChanged(m_page);
}

void SheetPreview::toggleZoom() {
    m_zoomed = !m_zoomed;
    updateScrollBars();
    viewport()->update();
}

double SheetPreview::singlePageScale() const {
    if (!m_printer)
        return 1;
    const QSizeF paper = m_printer->paperSize();
    const double actual = logicalDpiX() / 1440.0;
    const double w = std::max(1, viewport()->width() - 2 * kGap) / paper.width();
    const double h = std::max(1, viewport()->height() - 2 * kGap) / paper.height();
    double scale = actual;
    switch (m_type) {
    case Percentage: scale = actual * m_percentage / 100.0; break;
    case PageWidth: scale = w; break;
    case PageHeight: scale = h; break;
    case WholePage:
    case MultiplePages: scale = std::min(w, h); break;
    }
    if (m_zoomed) // magnified: actual size, or twice it when the view is that large already
        scale = scale < actual * 0.99 ? actual : actual * 2;
    return scale;
}

QList<QRect> SheetPreview::pageRects() const {
    QList<QRect> rects;
    if (!m_printer)
        return rects;
    const QSizeF paper = m_printer->paperSize();
    const QSize view = viewport()->size();
    if (pagesShown() > 1) {
        const double cellW = double(view.width() - kGap * (m_multiH + 1)) / m_multiH;
        const double cellH = double(view.height() - kGap * (m_multiV + 1)) / m_multiV;
        const double scale = std::max(0.001, std::min(cellW / paper.width(), cellH / paper.height()));
        const QSize size(int(paper.width() * scale), int(paper.height() * scale));
        for (int i = 0; i < pagesShown() && m_page + i <= pageCount(); ++i) {
            const int cx = i % m_multiH, cy = i / m_multiH;
            const int x = kGap + int(cx * (cellW + kGap) + (cellW - size.width()) / 2);
            const int y = kGap + int(cy * (cellH + kGap) + (cellH - size.height()) / 2);
            rects << QRect(QPoint(x, y), size);
        }
        return rects;
    }
    const double scale = singlePageScale();
    const QSize size(std::max(1, int(paper.width() * scale)), std::max(1, int(paper.height() * scale)));
    const int x = size.width() + 2 * kGap <= view.width() ? (view.width() - size.width()) / 2
                                                          : kGap - horizontalScrollBar()->value();
    const int y = size.height() + 2 * kGap <= view.height() ? (view.height() - size.height()) / 2
                                                            : kGap - verticalScrollBar()->value();
    rects << QRect(QPoint(x, y), size);
    return rects;
}

void SheetPreview::updateScrollBars() {
    QSize needed(0, 0);
    if (m_printer && pagesShown() == 1) {
        const double scale = singlePageScale();
        needed = QSize(int(m_printer->paperSize().width() * scale) + 2 * kGap,
                       int(m_printer->paperSize().height() * scale) + 2 * kGap);
    }
    const QSize view = viewport()->size();
    horizontalScrollBar()->setRange(0, std::max(0, needed.width() - view.width()));
    horizontalScrollBar()->setPageStep(view.width());
    verticalScrollBar()->setRange(0, std::max(0, needed.height() - view.height()));
    verticalScrollBar()->setPageStep(view.height());
    verticalScrollBar()->setSingleStep(20);
}

QImage SheetPreview::pageImage(int page, const QSize &size) {
    const QString key = QStringLiteral("%1:%2x%3").arg(page).arg(size.width()).arg(size.height());
    if (const QImage *img = m_cache.object(key))
        return *img;
    QImage img(size, QImage::Format_RGB32);
    img.fill(Qt::white);
    {
        QPainter p(&img);
        p.setRenderHint(QPainter::TextAntialiasing);
        m_printer->paintPage(p, page, QRectF(QPointF(0, 0), QSizeF(size)));
    }
    ++m_renders;
    m_cache.insert(key, new QImage(img), std::max<qsizetype>(1, img.sizeInBytes() / 1024)); // cost in KiB
    return img;
}

void SheetPreview::paintEvent(QPaintEvent *) {
    QPainter p(viewport());
    p.fillRect(viewport()->rect(), kDesk);
    if (!m_printer)
        return;
    const QList<QRect> rects = pageRects();
    for (int i = 0; i < rects.size(); ++i) {
        const QRect r = rects[i];
        p.fillRect(r.translated(3, 3), QColor(0x40, 0x40, 0x40));
        p.drawImage(r.topLeft(), pageImage(m_page + i, r.size()));
        p.setPen(Qt::black);
        p.drawRect(r.adjusted(0, 0, -1, -1));
    }
}

void SheetPreview::resizeEvent(QResizeEvent *event) {
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBars();
}

void SheetPreview::scrollContentsBy(int, int) { viewport()->update(); }

void SheetPreview::keyPressEvent(QKeyEvent *event) {
    switch (event->key()) {
    case Qt::Key_PageDown: setPageCurrent(m_page + pagesShown()); return;
    case Qt::Key_PageUp: setPageCurrent(m_page - pagesShown()); return;
    case Qt::Key_Home: setPageCurrent(1); return;
    case Qt::Key_End: setPageCurrent(pageCount()); return;
    default: QAbstractScrollArea::keyPressEvent(event);
    }
}

void SheetPreview::mousePressEvent(QMouseEvent *event) {
    if (event->button() == Qt::LeftButton)
        toggleZoom();
    QAbstractScrollArea::mousePressEvent(event);
}
