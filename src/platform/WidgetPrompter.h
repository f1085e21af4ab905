#pragma once
#include "Prompter.h"

// The real boxes and choosers, shown over the active window.
class WidgetPrompter final : public Prompter {
public:
    void message(Icon icon, const QString &title, const QString &text) override;
    int question(const QString &title, const QString &text, bool yesIsDefault) override;
    std::optional<QString> input(const QString &title, const QString &prompt, const QString &defaultText) override;
    QString openFileName(const QString &title, const QString &dir, const QString &filter) override;
    QString folder(const QString &title, const QString &dir) override;
    std::optional<QColor> color(const QString &title, const QColor &initial) override;
    std::optional<QFont> font(const QFont &initial) override;
    bool printDialog(QPrinter &printer) override;
    int choice(Icon icon, const QString &title, const QString &text, const QStringList &buttons,
               int defaultIndex) override;
};
