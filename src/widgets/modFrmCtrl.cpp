#include "modFrmCtrl.h"
#include "AppState.h"
#include "CaptionPanel.h"
#include "ErrorBox.h"
#include "Prompter.h"
#include "VbUnits.h"
#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTextEdit>
#include <QTimer>

using VbUnits::twipsToPx;

namespace {
QPointer<QWidget> g_main;

// The frame a user sees: the MDI sub-window around a child window, else the window itself.
QWidget *frameOf(QWidget *w) {
    if (auto *sub = qobject_cast<QMdiSubWindow *>(w->parentWidget()))
        return sub;
    return w->window();
}

QList<QWidget *> openWindows() {
    QList<QWidget *> out;
    const auto tops = QApplication::topLevelWidgets();
    for (QWidget *top : tops) {
        if (!top->isVisible())
            continue;
        out << top;
        for (QMdiArea *area : top->findChildren<QMdiArea *>())
            for (QMdiSubWindow *sub : area->subWindowList())
                if (sub->widget())
                    out << sub->widget();
    }
    return out;
}

class ArrowMove final : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject *, QEvent *e) override {
        if (e->type() != QEvent::KeyPress)
            return false;
        const auto *k = static_cast<QKeyEvent *>(e);
        if (k->modifiers() & ~Qt::KeypadModifier)
            return false;
        switch (k->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Down: EnterKeyMove(vbKeyDown); return true;
        case Qt::Key_Up: EnterKeyMove(vbKeyUp); return true;
        default: return false;
        }
    }
};

bool focusable(QWidget *w) {
    return w->isVisible() && w->isEnabled() && (w->focusPolicy() & Qt::TabFocus) && !w->focusProxy();
}
} // namespace

void setMainWindow(QWidget *w) { g_main = w; }
QWidget *mainWindow() { return g_main; }

QString controlText(const QWidget *c) {
    if (auto *e = qobject_cast<const QLineEdit *>(c))
        return e->text();
    if (auto *cb = qobject_cast<const QComboBox *>(c))
        return cb->currentText();
    if (auto *sb = qobject_cast<const QAbstractSpinBox *>(c))
        return sb->text();
    if (auto *pt = qobject_cast<const QPlainTextEdit *>(c))
        return pt->toPlainText();
    if (auto *te = qobject_cast<const QTextEdit *>(c))
        return te->toPlainText();
    if (auto *l = qobject_cast<const QLabel *>(c))
        return l->text();
    if (auto *b = qobject_cast<const QAbstractButton *>(c))
        return b->text();
    return {};
}

void FormFocus(QWidget *window) {
    if (!window)
        return;
    QWidget *frame = frameOf(window);
    frame->show();
    if (frame->isMinimized())
        frame->showNormal();
    if (auto *sub = qobject_cast<QMdiSubWindow *>(frame); sub && sub->mdiArea())
        sub->mdiArea()->setActiveSubWindow(sub);
    frame->activateWindow();
    window->setFocus();
}

void CloseAllFormsExcept(const QString &windowName) {
    for (QWidget *w : openWindows())
        if (w->objectName().compare(windowName, Qt::CaseInsensitive) != 0 && w != g_main)
            frameOf(w)->close();
}

void SetFormStyle(QWidget *window, bool takeIcon) {
    if (takeIcon && g_main)
        window->setWindowIcon(g_main->windowIcon());
    if (!gStyleOn)
        return;
    for (CaptionPanel *p : window->findChildren<CaptionPanel *>()) {
        if (p->backColor() == 8421376) {
            p->setBackColor(16048844);
            p->setForeColor(p->text().startsWith(QLatin1Char('*')) ? 9844483 : 0);
        } else if (p->backColor() == 9613499) {
            p->setBackColor(13468813);
            p->setForeColor(16777214);
        }
    }
    for (QAbstractButton *b : window->findChildren<QAbstractButton *>())
        if (b->property("pictureButton").toBool())
            b->unsetCursor();
}

int ShowModalOver(QWidget *dialog, QWidget *caller) {
    // The keys of the window below go on where they were: its F-keys work without a click.
    const QPointer<QWidget> hadFocus = QApplication::focusWidget();
    const auto giveFocusBack = [&hadFocus] {
        if (!hadFocus || !hadFocus->isVisible())
            return;
        hadFocus->activateWindow();
        hadFocus->setFocus(Qt::ActiveWindowFocusReason);
    };
    QWidget *owner = caller;
    if (g_main && caller && (caller == g_main || g_main->isAncestorOf(caller)))
        owner = g_main;
    const Qt::WindowFlags flags = dialog->windowFlags();
    QWidget *const parent = dialog->parentWidget();
    dialog->setParent(owner, flags | Qt::Dialog);
    if (auto *d = qobject_cast<QDialog *>(dialog)) {
        // The owner is for this showing only: the dialog stays with whoever created it.
        const QPointer<QDialog> guard(d);
        const int result = d->exec();
        if (guard && parent != owner)
            guard->setParent(parent, flags | Qt::Dialog);
        giveFocusBack();
        return result;
    }
    dialog->setWindowModality(Qt::ApplicationModal);
    dialog->show();
    return 0;
}

bool CheckRequired(QWidget *control, const QString &fieldName, bool zeroIsEmpty) {
    const QString text = controlText(control);
    if (!text.isEmpty() && !(zeroIsEmpty && text == QLatin1String("0")))
        return false;
    prompter().message(Prompter::Icon::Information, QStringLiteral("필수입력"),
                       fieldName.isEmpty()
                           ? QStringLiteral("필수 입력사항을 입력하지 않았습니다.")
                           : QLatin1Char('[') + fieldName + QStringLiteral("]은(는) 필수 입력 사항입니다."));
    SafeSetFocus(control, false);
    return true;
}

int SelectAllLength(const QWidget *control) {
    // A masked box's text includes its literals and blanks, as the user sees it.
    auto *edit = qobject_cast<const QLineEdit *>(control);
    if (edit && !edit->inputMask().isEmpty())
        return edit->displayText().isEmpty() ? 0 : int(edit->displayText().size()) + 2;
    return int(controlText(control).size());
}

void SelectAllText() {
    QWidget *w = QApplication::focusWidget();
    if (!w)
        return;
    const int length = SelectAllLength(w);
    if (auto *e = qobject_cast<QLineEdit *>(w))
        e->setSelection(0, qMin(length, int(e->text().size())));
    else if (auto *cb = qobject_cast<QComboBox *>(w); cb && cb->lineEdit())
        cb->lineEdit()->selectAll();
    else if (auto *sb = qobject_cast<QAbstractSpinBox *>(w))
        sb->selectAll();
}

void SelectAllWhenEntered(QLineEdit *box, Qt::FocusReason reason) {
    if (reason != Qt::MouseFocusReason)
        QTimer::singleShot(0, box, &QLineEdit::selectAll);
}

void EnterKeyMove(int keyCode) {
    const bool forward = keyCode == vbKeyReturn || keyCode == vbKeyDown;
    if (!forward && keyCode != vbKeyUp)
        return;
    QWidget *current = QApplication::focusWidget();
    if (!current)
        return;
    QWidget *w = current;
    do {
        w = forward ? w->nextInFocusChain() : w->previousInFocusChain();
        if (w->window() == current->window() && focusable(w)) {
            w->setFocus(forward ? Qt::TabFocusReason : Qt::BacktabFocusReason);
            return;
        }
    } while (w != current);
}

void MoveByEnterAndArrows(QWidget *control) { control->installEventFilter(new ArrowMove(control)); }

bool CanFocus(const QWidget *control) { return control->isVisible() && control->isEnabled(); }

void SafeSetFocus(QWidget *control, bool force) {
    if (force || CanFocus(control))
        control->setFocus();
}

bool KeepMinSize(QWidget *window, int minWidth, int minHeight) {
    QWidget *frame = frameOf(window);
    if (minWidth < 0)
        minWidth = 4635;
    if (minHeight < 0)
        minHeight = 5000;
    if (frame->isMinimized() || frame->isMaximized())
        return !frame->isMinimized() && frame->width() > 0 && frame->height() > 0;
    const int w = qMax(twipsToPx(minWidth), frame->width());
    const int h = qMax(twipsToPx(minHeight), frame->height());
    if (w != frame->width() || h != frame->height())
        frame->resize(w, h);
    return frame->width() > 0 && frame->height() > 0;
}
