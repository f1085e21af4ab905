#include "NetTreePictures.h"
#include <QHash>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace NetTreePictures {
namespace {
constexpr int kSize = 32; // drawn at twice the tree's 16 pixels so that it stays sharp when scaled

const QColor kOutline(70, 70, 80);

void globe(QPainter &p, const QRectF &r, const QColor &sea) {
    p.setPen(QPen(kOutline, 1.5));
    p.setBrush(sea);
    p.drawEllipse(r);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(230, 240, 255), 1.2));
    p.drawEllipse(r.adjusted(r.width() * 0.3, 0, -r.width() * 0.3, 0));
    p.drawLine(QPointF(r.left(), r.center().y()), QPointF(r.right(), r.center().y()));
}

void monitor(QPainter &p, const QRectF &r) {
    p.setPen(QPen(kOutline, 1.5));
    p.setBrush(QColor(225, 225, 230));
    const QRectF screen(r.left(), r.top(), r.width(), r.height() * 0.7);
    p.drawRect(screen);
    p.setBrush(QColor(80, 140, 210));
    p.drawRect(screen.adjusted(3, 3, -3, -3));
    p.setBrush(QColor(200, 200, 205));
    p.drawRect(
        QRectF(r.center().x() - r.width() * 0.3, r.bottom() - r.height() * 0.15, r.width() * 0.6, r.height() * 0.15));
}

void folder(QPainter &p, const QRectF &r, const QColor &colour) {
    QPainterPath path;
    path.moveTo(r.left(), r.top() + r.height() * 0.2);
    path.lineTo(r.left() + r.width() * 0.4, r.top() + r.height() * 0.2);
    path.lineTo(r.left() + r.width() * 0.5, r.top() + r.height() * 0.35);
    path.lineTo(r.right(), r.top() + r.height() * 0.35);
    path.lineTo(r.right(), r.bottom());
    path.lineTo(r.left(), r.bottom());
    path.closeSubpath();
    p.setPen(QPen(kOutline, 1.5));
    p.setBrush(colour);
    p.drawPath(path);
}

// The cable under a shared entry.
void cable(QPainter &p, const QRectF &r) {
    p.setPen(QPen(QColor(40, 90, 170), 2.5));
    p.drawLine(QPointF(r.center().x(), r.bottom() - 4), QPointF(r.center().x(), r.bottom()));
    p.drawLine(QPointF(r.left() + 2, r.bottom()), QPointF(r.right() - 2, r.bottom()));
}

void draw(QPainter &p, const QString &name) {
    const QRectF full(1, 1, kSize - 2, kSize - 2);
    const QRectF upper(1, 1, kSize - 2, kSize - 8);
    if (name == QLatin1String("root")) {
        globe(p, full, QColor(40, 110, 200));
    } else if (name == QLatin1String("network")) {
        globe(p, QRectF(1, 1, 22, 22), QColor(50, 160, 90));
        monitor(p, QRectF(16, 14, 15, 16));
    } else if (name == QLatin1String("domain") || name == QLatin1String("group")) {
        const bool domain = name == QLatin1String("domain");
        monitor(p, QRectF(1, 2, 15, 14));
        monitor(p, QRectF(16, 2, 15, 14));
        if (domain)
            monitor(p, QRectF(8, 16, 15, 14));
        else
            cable(p, QRectF(1, 14, 30, 14));
    } else if (name == QLatin1String("server")) {
        p.setPen(QPen(kOutline, 1.5));
        p.setBrush(QColor(205, 205, 212));
        p.drawRect(QRectF(8, 1, 16, 29));
        p.setPen(QPen(QColor(120, 120, 130), 2));
        for (int y : {7, 12, 17})
            p.drawLine(11, y, 21, y);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(40, 200, 60));
        p.drawEllipse(QRectF(18, 23, 4, 4));
    } else if (name == QLatin1String("share")) {
        folder(p, upper, QColor(250, 210, 90));
        cable(p, full);
    } else if (name == QLatin1String("adminshare")) {
        folder(p, upper, QColor(250, 210, 90));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(210, 50, 50));
        p.drawEllipse(QRectF(18, 14, 11, 11));
        cable(p, full);
    } else if (name == QLatin1String("directory")) {
        folder(p, full, QColor(250, 220, 120));
    } else if (name == QLatin1String("file")) {
        QPainterPath page;
        page.moveTo(6, 1);
        page.lineTo(20, 1);
        page.lineTo(27, 8);
        page.lineTo(27, 31);
        page.lineTo(6, 31);
        page.closeSubpath();
        p.setPen(QPen(kOutline, 1.5));
        p.setBrush(Qt::white);
        p.drawPath(page);
        p.drawLine(20, 1, 20, 8);
        p.drawLine(20, 8, 27, 8);
    } else if (name == QLatin1String("printer")) {
        p.setPen(QPen(kOutline, 1.5));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(8, 2, 16, 10));
        p.setBrush(QColor(190, 190, 198));
        p.drawRoundedRect(QRectF(2, 11, 28, 13), 3, 3);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(8, 20, 16, 10));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(40, 200, 60));
        p.drawEllipse(QRectF(24, 14, 3, 3));
    } else if (name == QLatin1String("tree")) {
        p.setPen(QPen(kOutline, 2));
        p.drawLine(16, 8, 8, 24);
        p.drawLine(16, 8, 24, 24);
        p.setBrush(QColor(60, 150, 80));
        for (const QPointF c : {QPointF(16, 7), QPointF(7, 25), QPointF(25, 25)})
            p.drawEllipse(c, 5, 5);
    } else if (name == QLatin1String("ndscontainer")) {
        p.setPen(QPen(kOutline, 1.5));
        p.setBrush(QColor(150, 110, 200));
        p.drawRect(QRectF(3, 10, 20, 20));
        p.setBrush(QColor(185, 155, 225));
        p.drawPolygon(QPolygonF({QPointF(3, 10), QPointF(11, 2), QPointF(31, 2), QPointF(23, 10)}));
        p.setBrush(QColor(120, 85, 170));
        p.drawPolygon(QPolygonF({QPointF(23, 10), QPointF(31, 2), QPointF(31, 22), QPointF(23, 30)}));
    } else { // generic
        p.setPen(QPen(kOutline, 1.5));
        p.setBrush(QColor(200, 200, 200));
        p.drawRoundedRect(QRectF(3, 3, 26, 26), 5, 5);
        p.setPen(QPen(QColor(90, 90, 90), 2.5));
        p.drawEllipse(QRectF(10, 10, 12, 12));
    }
}
} // namespace

QStringList names() {
    return {QStringLiteral("root"),       QStringLiteral("network"),   QStringLiteral("domain"),
            QStringLiteral("group"),      QStringLiteral("server"),    QStringLiteral("share"),
            QStringLiteral("adminshare"), QStringLiteral("directory"), QStringLiteral("file"),
            QStringLiteral("printer"),    QStringLiteral("tree"),      QStringLiteral("ndscontainer"),
            QStringLiteral("generic")};
}

QIcon picture(const QString &name) {
    static QHash<QString, QIcon> drawn;
    if (!names().contains(name))
        return {};
    if (const auto it = drawn.constFind(name); it != drawn.constEnd())
        return *it;
    QPixmap pm(kSize, kSize);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    draw(p, name);
    p.end();
    return *drawn.insert(name, QIcon(pm));
}

} // namespace NetTreePictures
