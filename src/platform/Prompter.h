#pragma once
#include "Seam.h"
#include <QColor>
#include <QFont>
#include <QString>
#include <QStringList>
#include <optional>

class QPrinter;

// Every box, input and chooser the program shows goes through this seam so that tests can
// answer them from a script and see exactly what was asked.
class Prompter : public Seam<Prompter> {
public:
    enum class Icon { None, Information, Warning, Critical, Question };
    enum Answer { Yes = 6, No = 7 };

    virtual ~Prompter() = default;

    virtual void message(Icon icon, const QString &title, const QString &text) = 0;
    // Yes/No question; returns Yes (6) or No (7).
    virtual int question(const QString &title, const QString &text, bool yesIsDefault) = 0;
    // Empty optional when cancelled.
    virtual std::optional<QString> input(const QString &title, const QString &prompt, const QString &defaultText) = 0;
    virtual QString openFileName(const QString &title, const QString &dir, const QString &filter) = 0;
    virtual QString folder(const QString &title, const QString &dir) = 0;
    virtual std::optional<QColor> color(const QString &title, const QColor &initial) = 0;
    virtual std::optional<QFont> font(const QFont &initial) = 0;
    // The system's print dialog on the printer; false when cancelled.
    virtual bool printDialog(QPrinter &printer) = 0;
    // A box with one button per choice; the index of the one pressed. Enter presses
    // defaultIndex; Esc and the close box press the last, which must be the safe one. Without
    // a screen the last is the answer.
    virtual int choice(Icon icon, const QString &title, const QString &text, const QStringList &buttons,
                       int defaultIndex) {
        Q_UNUSED(icon);
        Q_UNUSED(title);
        Q_UNUSED(text);
        Q_UNUSED(defaultIndex);
        return int(buttons.size()) - 1;
    }
};
// Before a real prompter is installed (command-line tools): boxes are printed, questions
// answered No, choosers cancelled.
template <> Prompter &Seam<Prompter>::fallback();

inline Prompter &prompter() { return Prompter::instance(); }

// A prompter without a screen: boxes go nowhere, questions are answered No and every
// chooser is cancelled. Programs without windows override what they report.
class DecliningPrompter : public Prompter {
public:
    void message(Icon, const QString &, const QString &) override {}
    int question(const QString &, const QString &, bool) override { return No; }
    std::optional<QString> input(const QString &, const QString &, const QString &) override { return {}; }
    QString openFileName(const QString &, const QString &, const QString &) override { return {}; }
    QString folder(const QString &, const QString &) override { return {}; }
    std::optional<QColor> color(const QString &, const QColor &) override { return {}; }
    std::optional<QFont> font(const QFont &) override { return {}; }
    bool printDialog(QPrinter &) override { return false; }
};
