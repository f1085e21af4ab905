#pragma once
#include <QString>
#include <Qt>

class QLineEdit;
class QWidget;

// Helpers every window uses for focus, styling, modal display, required fields, keyboard
// movement and resizing. Sizes are twips, as the stored layouts keep them.
void setMainWindow(QWidget *w);
QWidget *mainWindow();

void FormFocus(QWidget *window);
void CloseAllFormsExcept(const QString &windowName);
void SetFormStyle(QWidget *window, bool takeIcon);
int ShowModalOver(QWidget *dialog, QWidget *caller);
bool CheckRequired(QWidget *control, const QString &fieldName = {}, bool zeroIsEmpty = false);
void SelectAllText();
// Selection length SelectAllText gives control: a masked box counts its text plus 2.
int SelectAllLength(const QWidget *control);
// A box entered from the keyboard or by the program selects all its text, once the box has
// placed its own cursor; a click keeps the cursor where it landed.
void SelectAllWhenEntered(QLineEdit *box, Qt::FocusReason reason);
void EnterKeyMove(int keyCode);
// Enter and Down in control move to the next input control, Up to the previous.
void MoveByEnterAndArrows(QWidget *control);
bool CanFocus(const QWidget *control);
void SafeSetFocus(QWidget *control, bool force = false);
bool KeepMinSize(QWidget *window, int minWidth = -1, int minHeight = -1);

// Names a control as the code calls it: name, or "<name>_<index>" with the "Index"
// property when it belongs to a control array.
template <class W> W *NameControl(W *w, const QString &name, int index = -1) {
    w->setObjectName(index < 0 ? name : QStringLiteral("%1_%2").arg(name).arg(index));
    if (index >= 0)
        w->setProperty("Index", index);
    return w;
}

// The text a control shows (line edits, combo boxes, spin boxes, text edits, labels).
QString controlText(const QWidget *control);

// Key codes EnterKeyMove understands.
inline constexpr int vbKeyReturn = 13, vbKeyUp = 38, vbKeyDown = 40;
