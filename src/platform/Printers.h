#pragma once
#include "Seam.h"
#include <QString>
#include <QStringList>

// The printers installed on this machine, as the system lists them: CUPS on Linux, the
// spooler on Windows. Tests install their own list.
class Printers : public Seam<Printers> {
public:
    virtual ~Printers() = default;
    // Device names in the system's order. Throws AppError when the system cannot list them.
    virtual QStringList installed() const = 0;
    // Empty when there is no default printer.
    virtual QString defaultPrinter() const = 0;
};
// The system's list.
template <> Printers &Seam<Printers>::fallback();

inline Printers &printers() { return Printers::instance(); }
