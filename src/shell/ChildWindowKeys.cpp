#include "ChildWindowKeys.h"
#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QTimer>

ChildWindowKeys::ChildWindowKeys(QMdiArea *area) : QObject(area), m_area(area) { qApp->installEventFilter(this); }

ChildWindowKeys::~ChildWindowKeys() { qApp->removeEventFilter(this); }

void ChildWindowKeys::adopt(QMdiSubWindow *sub) { sub->installEventFilter(this); }

QMdiSubWindow *ChildWindowKeys::childOf(QObject *o) const {
    for (auto *w = qobject_cast<QWidget *>(o); w; w = w->parentWidget())
        if (auto *sub = qobject_cast<QMdiSubWindow *>(w))
            return sub->mdiArea() == m_area ? sub : nullptr;
    return nullptr;
}

QWidget *ChildWindowKeys::mnemonicTarget(QWidget *root, QKeyCombination key) {
    const QKeySequence wanted(key);
    const auto usable = [root](QWidget *w) { return w->isEnabled() && w->isVisibleTo(root); };
    for (QAbstractButton *b : root->findChildren<QAbstractButton *>())
        if (QKeySequence::mnemonic(b->text()) == wanted && usable(b))
            return b;
    for (QLabel *l : root->findChildren<QLabel *>())
        if (l->buddy() && QKeySequence::mnemonic(l->text()) == wanted && usable(l->buddy()))
            return l->buddy();
    return nullptr;
}

bool ChildWindowKeys::eventFilter(QObject *watched, QEvent *e) {
    if (auto *sub = qobject_cast<QMdiSubWindow *>(watched); sub && sub->mdiArea() == m_area) {
        if (e->type() == QEvent::Shortcut) {
            // The frame's own close shortcut includes Ctrl+W on some desktops.
            const auto *s = static_cast<QShortcutEvent *>(e);
            if (s->key() == QKeySequence(Qt::CTRL | Qt::Key_W))
                return true;
        } else if (e->type() == QEvent::KeyPress && static_cast<QKeyEvent *>(e)->key() == Qt::Key_Escape &&
                   static_cast<QKeyEvent *>(e)->modifiers() == Qt::NoModifier) {
            // Reached the frame: no control of the child wanted it.
            QTimer::singleShot(0, sub, &QWidget::close);
            return true;
        }
        return false;
    }
    if (e->type() != QEvent::ShortcutOverride && e->type() != QEvent::KeyPress)
        return false;
    auto *k = static_cast<QKeyEvent *>(e);
    const QKeyCombination combo = k->keyCombination();
    if (e->type() == QEvent::KeyPress) {
        if (m_swallow != QKeyCombination{} && combo == m_swallow) {
            m_swallow = {};
            return true;
        }
        return false;
    }
    if (combo == QKeyCombination(Qt::ControlModifier, Qt::Key_W) && childOf(watched)) {
        // Whatever control has the focus, Ctrl+W is the child's key, never the frame's close.
        k->accept();
        return true;
    }
    if ((k->modifiers() & ~Qt::KeypadModifier) != Qt::AltModifier || k->isAutoRepeat())
        return false;
    QMdiSubWindow *sub = childOf(watched);
    if (!sub || !sub->widget())
        return false;
    QWidget *target = mnemonicTarget(sub->widget(), QKeyCombination(Qt::AltModifier, combo.key()));
    if (!target)
        return false;
    k->accept();
    m_swallow = combo;
    // Queued: the key's own delivery finishes before a window the command opens takes over.
    QTimer::singleShot(0, target, [t = QPointer<QWidget>(target)] {
        if (!t)
            return;
        if (auto *b = qobject_cast<QAbstractButton *>(t.data())) {
            if (b->focusPolicy() & Qt::TabFocus)
                b->setFocus(Qt::ShortcutFocusReason);
            b->click();
        } else {
            t->setFocus(Qt::ShortcutFocusReason);
        }
    });
    return true;
}
