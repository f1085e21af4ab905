#include "Prompter.h"
#include <QDebug>

namespace {
// Used before a real prompter is installed (command-line tools): prints and declines.
class StderrPrompter final : public DecliningPrompter {
public:
    void message(Icon, const QString &title, const QString &text) override {
        qWarning().noquote() << title << ":" << text;
    }
    int question(const QString &title, const QString &text, bool) override {
        qWarning().noquote() << title << ":" << text << "-> No";
        return No;
    }
};
} // namespace

template <> Prompter &Seam<Prompter>::fallback() {
    static StderrPrompter printing;
    return printing;
}
