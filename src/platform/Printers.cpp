#include "Printers.h"
#include <QPrinterInfo>

namespace {
class SystemPrinters final : public Printers {
public:
    QStringList installed() const override { return QPrinterInfo::availablePrinterNames(); }
    QString defaultPrinter() const override { return QPrinterInfo::defaultPrinterName(); }
};

SystemPrinters systemPrinters;
Printers *current = nullptr;
} // namespace

Printers &Printers::instance() { return current ? *current : systemPrinters; }
void Printers::install(Printers *p) { current = p; }
