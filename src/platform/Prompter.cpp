#include "Prompter.h"
#include <QDebug>

namespace {
// Used before a real prompter is installed (command-line tools): prints and declines.
class StderrPrompter final : public Prompter {
public:
    void message(Icon, const QString &title, const QString &text) override {
        qWarning().noquote() << title << ":" << text;
    }
    int question(const QString &title, const QString &text, bool) override {
        qWarning().noquote() << title << ":" << text << "-> No";
        return No;
    }
    std::optional<QString> input(const QString &, const QString &, const QString &) override { return {}; }
    QString openFileName(const QString &, const QString &, const QString &) override { return {}; }
    QString saveFileName(const QString &, const QString &, const QString &) override { return {}; }
    QString folder(const QString &, const QString &) override { return {}; }
    std::optional<QColor> color(const QString &, const QColor &) override { return {}; }
    std::optional<QFont> font(const QFont &) override { return {}; }
    int printer(const QStringList &, int) override { return -1; }
    bool printDialog(QPrinter &) override { return false; }
};

StderrPrompter fallbackPrompter;
Prompter *current = nullptr;
} // namespace

Prompter &Prompter::instance() { return current ? *current : fallbackPrompter; }
void Prompter::install(Prompter *p) { current = p; }
