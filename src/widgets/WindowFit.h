#pragma once
#include <QRect>

class QWidget;

// Where a window opens: centred on its owner, or on the screen without one, its frame inside
// the screen's free area (no task bar over it, the title bar on the screen); a window too large
// for that opens maximised.
namespace WindowFit {
// Call before the window is first shown; it is placed again once the window manager has told
// its frame.
void centre(QWidget *window, const QWidget *owner = nullptr);
// Where w is on the screen: a window with its frame, a control without.
QRect onScreen(const QWidget *w);
} // namespace WindowFit
