#pragma once
#include <QString>

class QPushButton;
class QWidget;
class QLineEdit;

// Building blocks shared by the handset windows.
namespace HandsetUi {
// A picture button of the tool bar panels.
QPushButton *button(QWidget *parent, const char *name, const QString &caption, int standardIcon = -1);
// The small "..." lookup button beside a field.
QPushButton *lookupButton(QWidget *parent, const QString &name);
// A field of a control array: objectName "<array>_<index>", "Index" property set.
QLineEdit *field(QWidget *parent, const char *array, int index);
} // namespace HandsetUi
