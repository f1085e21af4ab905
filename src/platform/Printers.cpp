#include "Printers.h"
#include <QPrinterInfo>

namespace {
class SystemPrinters final : public Printers {
public:
    QStringList installed() const override { return QPrinterInfo::availablePrinterNames(); }
    QString defaultPrinter() const override { return QPrinterInfo::defaultPrinterName(); }
};
} // namespace

template <> Printers &Seam<Printers>::fallback() {
    static SystemPrinters system;
    return system;
}
