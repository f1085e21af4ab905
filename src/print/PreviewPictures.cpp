#include "PreviewPictures.h"
#include <QPainter>
#include <QPainterPath>

namespace {
const QColor kInk(0x20, 0x40, 0x90);
const QColor kGrey(0x80, 0x80, 0x80);

void arrow(QPainter &p, double s, bool right, const QColor &c) {
    QPainterPath path;
    const double l = s * 0.25, r = s * 0.75, m = s / 2;
    if (right) {
        path.moveTo(l, s * 0.2);
        path.lineTo(r, m);
        path.lineTo(l, s * 0.8);
    } else {
        path.moveTo(r, s * 0.2);
        path.lineTo(l, m);
        path.lineTo(r, s * 0.8);
    }
    path.closeSubpath();
    p.fillPath(path, c);
}
} // namespace

QPixmap previewPicture(int index, int side) {
    QPixmap pm(side, side);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const double s = side;
    switch (index) {
    case 1: // magnifier
        p.setPen(QPen(kInk, s / 10));
        p.setBrush(QColor(0xD8, 0xE8, 0xFF));
        p.drawEllipse(QRectF(s * 0.15, s * 0.15, s * 0.5, s * 0.5));
        p.setPen(QPen(kInk, s / 7, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(s * 0.6, s * 0.6), QPointF(s * 0.85, s * 0.85));
        break;
    case 3: arrow(p, s, false, kInk); break;
    case 4: arrow(p, s, false, kGrey); break;
    case 7: arrow(p, s, true, kInk); break;
    case 8: arrow(p, s, true, kGrey); break;
    case 6: // printer
        p.setPen(QPen(Qt::black, 1));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(s * 0.28, s * 0.1, s * 0.44, s * 0.35));
        p.setBrush(QColor(0x90, 0x90, 0x98));
        p.drawRoundedRect(QRectF(s * 0.1, s * 0.4, s * 0.8, s * 0.32), 2, 2);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(s * 0.28, s * 0.62, s * 0.44, s * 0.28));
        break;
    case 9: // a page with its margins
        p.setPen(QPen(Qt::black, 1));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(s * 0.2, s * 0.08, s * 0.6, s * 0.84));
        p.setPen(QPen(kInk, 1, Qt::DashLine));
        p.drawRect(QRectF(s * 0.3, s * 0.2, s * 0.4, s * 0.6));
        break;
    case 10: // close
        p.setPen(QPen(QColor(0xB0, 0x20, 0x20), s / 7, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(s * 0.25, s * 0.25), QPointF(s * 0.75, s * 0.75));
        p.drawLine(QPointF(s * 0.75, s * 0.25), QPointF(s * 0.25, s * 0.75));
        break;
    default: break;
    }
    return pm;
}
