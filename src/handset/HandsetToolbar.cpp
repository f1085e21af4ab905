#include "HandsetToolbar.h"
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>

namespace HandsetUi {

QPushButton *button(QWidget *parent, const char *name, const QString &caption, int standardIcon) {
    auto *b = new QPushButton(caption, parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setProperty("pictureButton", true);
    // A click takes the focus, so the field being left checks its text first.
    b->setFocusPolicy(Qt::StrongFocus);
    b->setAutoDefault(false);
    b->setMinimumWidth(77);
    if (standardIcon >= 0)
        b->setIcon(QApplication::style()->standardIcon(QStyle::StandardPixmap(standardIcon)));
    return b;
}

QPushButton *lookupButton(QWidget *parent, const QString &name) {
    auto *b = new QPushButton(QStringLiteral("…"), parent);
    b->setObjectName(name);
    b->setProperty("pictureButton", true);
    b->setFocusPolicy(Qt::NoFocus);
    b->setFixedWidth(24);
    b->setAutoDefault(false);
    return b;
}

QLineEdit *field(QWidget *parent, const char *array, int index) {
    auto *e = new QLineEdit(parent);
    e->setObjectName(QStringLiteral("%1_%2").arg(QLatin1String(array)).arg(index));
    e->setProperty("Index", index);
    return e;
}

} // namespace HandsetUi
