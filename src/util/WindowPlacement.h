#pragma once
#include <QList>
#include <QRect>
#include <QString>

// Where a top-level window opens: where it was last closed when that place is still on a
// screen, else its designed size (shrunk to fit) centred on the primary screen.
namespace WindowPlacement {
QRect place(const QRect &stored, const QSize &designed, const QList<QRect> &screens, const QRect &primary);
// A frame of frameSize centred on owner (the area itself when owner is empty) and moved inside
// area; an invalid rectangle when the frame is larger than area.
QRect centred(const QSize &frameSize, const QRect &owner, const QRect &area);
// "x,y,w,h" as the settings keep it; an invalid rectangle for anything else.
QRect parse(const QString &text);
QString format(const QRect &r);
} // namespace WindowPlacement
