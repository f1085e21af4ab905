#include "WindowPlacement.h"
#include <QStringList>

namespace WindowPlacement {

QRect place(const QRect &stored, const QSize &designed, const QList<QRect> &screens, const QRect &primary) {
    if (stored.isValid()) {
        // The title bar must stay reachable: a strip along its top inside some screen.
        const QRect grip(stored.left(), stored.top(), stored.width(), 24);
        for (const QRect &s : screens) {
            const QRect seen = s.intersected(grip);
            if (seen.width() >= qMin(100, stored.width()) && seen.height() >= 8)
                return QRect(stored.topLeft(), stored.size().boundedTo(s.size()));
        }
    }
    const QSize size = designed.boundedTo(primary.size());
    QRect r(QPoint(0, 0), size);
    r.moveCenter(primary.center());
    return r;
}

QRect centred(const QSize &frameSize, const QRect &owner, const QRect &area) {
    if (frameSize.width() > area.width() || frameSize.height() > area.height())
        return {};
    QRect r(QPoint(0, 0), frameSize);
    r.moveCenter((owner.isEmpty() ? area : owner).center());
    r.moveLeft(qBound(area.left(), r.left(), area.right() + 1 - r.width()));
    r.moveTop(qBound(area.top(), r.top(), area.bottom() + 1 - r.height()));
    return r;
}

QRect parse(const QString &text) {
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() != 4)
        return {};
    int v[4];
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        v[i] = parts[i].trimmed().toInt(&ok);
        if (!ok)
            return {};
    }
    return v[2] > 0 && v[3] > 0 ? QRect(v[0], v[1], v[2], v[3]) : QRect();
}

QString format(const QRect &r) {
    return QStringLiteral("%1,%2,%3,%4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
}

} // namespace WindowPlacement
