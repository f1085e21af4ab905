#include "WindowFit.h"
#include "WindowPlacement.h"
#include <QApplication>
#include <QEvent>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QWidget>

namespace {
QMargins marginsOf(const QWidget *w) {
    const QRect f = w->frameGeometry(), g = w->geometry();
    return {g.left() - f.left(), g.top() - f.top(), f.right() - g.right(), f.bottom() - g.bottom()};
}

// Not shown yet, a window's frame is unknown: the one of a window already shown is the best guess.
QMargins expectedMargins(const QWidget *window) {
    if (window->isVisible())
        return marginsOf(window);
    for (const QWidget *top : QApplication::topLevelWidgets())
        if (top != window && top->isVisible() && !top->isMaximized() && top->windowType() != Qt::ToolTip &&
            top->windowType() != Qt::Popup)
            if (const QMargins m = marginsOf(top); !m.isNull())
                return m;
    return {};
}

void place(QWidget *window, const QWidget *owner) {
    const QScreen *screen = owner ? owner->screen() : nullptr;
    if (!screen)
        screen = window->isVisible() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    const QMargins m = expectedMargins(window);
    const QRect frame =
        WindowPlacement::centred(window->size().grownBy(m), owner ? WindowFit::onScreen(owner) : QRect(), area);
    if (!frame.isValid()) {
        window->setWindowState(window->windowState() | Qt::WindowMaximized);
        return;
    }
    window->setGeometry(frame - m);
}

// Once shown, the frame is the window manager's: the window is placed again by it.
class PlaceOnShow : public QObject {
public:
    PlaceOnShow(QWidget *window, const QWidget *owner) : QObject(window), m_owner(owner) {}
    bool eventFilter(QObject *watched, QEvent *e) override {
        if (e->type() == QEvent::Show) {
            auto *w = static_cast<QWidget *>(watched);
            QTimer::singleShot(0, w, [w, owner = m_owner] {
                if (!w->isMaximized() && !w->isMinimized())
                    place(w, owner);
            });
            deleteLater();
        }
        return false;
    }

private:
    QPointer<const QWidget> m_owner;
};
} // namespace

namespace WindowFit {

QRect onScreen(const QWidget *w) {
    return w->isWindow() ? w->frameGeometry() : QRect(w->mapToGlobal(QPoint(0, 0)), w->size());
}

void centre(QWidget *window, const QWidget *owner) {
    if (!window->testAttribute(Qt::WA_Resized))
        window->adjustSize();
    place(window, owner);
    if (!window->isVisible())
        window->installEventFilter(new PlaceOnShow(window, owner));
}

} // namespace WindowFit
