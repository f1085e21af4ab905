#pragma once
#include <QString>
#include <QStringList>

// The printers installed on this machine, as the system lists them: CUPS on Linux, the
// spooler on Windows. Tests install their own list.
class Printers {
public:
    virtual ~Printers() = default;
    // Device names in the system's order. Throws AppError when the system cannot list them.
    virtual QStringList installed() const = 0;
    // Empty when there is no default printer.
    virtual QString defaultPrinter() const = 0;

    static Printers &instance();
    // Installs p (not owned); nullptr restores the system's list.
    static void install(Printers *p);
};

inline Printers &printers() { return Printers::instance(); }
