#pragma once
#include "Prompter.h"
#include <QString>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

// What every harness shares: a prompter that shows nothing and counts the boxes it was
// asked for, a folder for the files the code under test reads, and a check that stops the
// run (libFuzzer then keeps the input) when a property does not hold.
class SilentPrompter final : public Prompter {
public:
    int messages = 0;
    void message(Icon, const QString &, const QString &) override { ++messages; }
    int question(const QString &, const QString &, bool) override { return No; }
    std::optional<QString> input(const QString &, const QString &, const QString &) override { return std::nullopt; }
    QString openFileName(const QString &, const QString &, const QString &) override { return {}; }
    QString folder(const QString &, const QString &) override { return {}; }
    std::optional<QColor> color(const QString &, const QColor &) override { return std::nullopt; }
    std::optional<QFont> font(const QFont &) override { return std::nullopt; }
    bool printDialog(QPrinter &) override { return false; }
};

namespace Fuzz {
// Installed on first use.
SilentPrompter &prompter();
// A private folder for this run, in memory where the system offers one (saves sync files).
QString file(const QString &name);
void writeFile(const QString &path, const uint8_t *data, size_t size);
} // namespace Fuzz

#define FUZZ_CHECK(cond)                                                                                               \
    do {                                                                                                               \
        if (!(cond)) {                                                                                                 \
            std::fprintf(stderr, "%s:%d: property failed: %s\n", __FILE__, __LINE__, #cond);                           \
            std::abort();                                                                                              \
        }                                                                                                              \
    } while (0)
