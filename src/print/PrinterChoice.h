#pragma once
#include <QPageSize>
#include <QString>

struct SheetPrintProps;

class QPrinter;

// The printer the user chose in the system's printer dialog ("프린터 설정"): the next
// printing of any window goes there, as the system's own printer settings would. Empty
// until then: the system's default printer.
namespace PrinterChoice {

struct Choice {
    QString printerName; // empty: the default printer
    QString outputFile;  // a PDF file instead of a printer (the dialog's "print to file")
    int copies = 1;
    QPageSize paper; // invalid: the layout's own (A4)
    bool operator==(const Choice &) const = default;
};

const Choice &current();
// Remembers what the dialog left in the printer.
void takeFrom(const QPrinter &printer);
// Points a printer at the choice. False when the chosen printer is no longer installed: the
// printer would otherwise quietly stay on the default one.
bool applyTo(QPrinter &printer);
void reset();
// The chosen paper into a grid's layout; the layout's own paper when none was chosen.
void applyPaperTo(SheetPrintProps &props);
// The system dialog opens on the paper the layout prints on.
void showPaperOf(const SheetPrintProps &props, QPrinter &printer);
// A printer that would write a PDF file without a name gets one after the document, in the
// home folder, for the print dialog to offer.
void offerPdfFile(QPrinter &printer, const QString &documentTitle);

} // namespace PrinterChoice
