#include "WidgetPrompter.h"
#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QFontDatabase>
#include <QFontDialog>
#include <QFontInfo>
#include <QInputDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>

namespace {
QWidget *owner() { return QApplication::activeWindow(); }

QMessageBox::Icon toBoxIcon(Prompter::Icon icon) {
    switch (icon) {
    case Prompter::Icon::Information: return QMessageBox::Information;
    case Prompter::Icon::Warning: return QMessageBox::Warning;
    case Prompter::Icon::Critical: return QMessageBox::Critical;
    case Prompter::Icon::Question: return QMessageBox::Question;
    case Prompter::Icon::None: break;
    }
    return QMessageBox::NoIcon;
}
} // namespace

void WidgetPrompter::message(Icon icon, const QString &title, const QString &text) {
    QMessageBox box(toBoxIcon(icon), title, text, QMessageBox::Ok, owner());
    box.exec();
}

int WidgetPrompter::question(const QString &title, const QString &text, bool yesIsDefault) {
    QMessageBox box(QMessageBox::Question, title, text, QMessageBox::Yes | QMessageBox::No, owner());
    box.setDefaultButton(yesIsDefault ? QMessageBox::Yes : QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes ? Yes : No;
}

std::optional<QString> WidgetPrompter::input(const QString &title, const QString &prompt, const QString &defaultText) {
    bool ok = false;
    const QString text = QInputDialog::getText(owner(), title, prompt, QLineEdit::Normal, defaultText, &ok);
    if (!ok)
        return std::nullopt;
    return text;
}

QString WidgetPrompter::openFileName(const QString &title, const QString &dir, const QString &filter) {
    return QFileDialog::getOpenFileName(owner(), title, dir, filter);
}

QString WidgetPrompter::folder(const QString &title, const QString &dir) {
    return QFileDialog::getExistingDirectory(owner(), title, dir);
}

std::optional<QColor> WidgetPrompter::color(const QString &title, const QColor &initial) {
    const QColor c = QColorDialog::getColor(initial, owner(), title);
    if (!c.isValid())
        return std::nullopt;
    return c;
}

std::optional<QFont> WidgetPrompter::font(const QFont &initial) {
    // The dialog knows only installed families: for one this PC lacks (a Windows font in a
    // stored setting) it fell back to its first family in the plain style, so an unchanged OK
    // lost the bold. It shows the family standing in, and the stored name stays unless changed.
    const bool missing = !initial.family().isEmpty() && !QFontDatabase::hasFamily(initial.family());
    const QString standIn = QFontInfo(initial).family();
    QFont shown = initial;
    if (missing)
        shown.setFamily(standIn);
    bool ok = false;
    QFont f = QFontDialog::getFont(&ok, shown, owner());
    if (!ok)
        return std::nullopt;
    if (missing && f.family() == standIn)
        f.setFamily(initial.family());
    return f;
}

bool WidgetPrompter::printDialog(QPrinter &printer) {
    QPrintDialog dialog(&printer, owner());
    return dialog.exec() == QDialog::Accepted;
}

int WidgetPrompter::choice(Icon icon, const QString &title, const QString &text, const QStringList &buttons,
                           int defaultIndex) {
    QMessageBox box(toBoxIcon(icon), title, text, QMessageBox::NoButton, owner());
    QList<QAbstractButton *> made;
    for (qsizetype i = 0; i < buttons.size(); ++i)
        made << box.addButton(buttons[i], i + 1 == buttons.size() ? QMessageBox::RejectRole : QMessageBox::AcceptRole);
    if (defaultIndex >= 0 && defaultIndex < made.size())
        box.setDefaultButton(qobject_cast<QPushButton *>(made[defaultIndex]));
    box.setEscapeButton(made.isEmpty() ? nullptr : made.last());
    box.exec();
    const qsizetype pressed = made.indexOf(box.clickedButton());
    return pressed < 0 ? int(made.size()) - 1 : int(pressed);
}
