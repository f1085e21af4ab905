#include "PrinterChoice.h"
#include <QDir>
#include <QPrinter>
#include <QPrinterInfo>
#include <QRegularExpression>

namespace PrinterChoice {
namespace {
Choice g_choice;
} // namespace

const Choice &current() { return g_choice; }

void takeFrom(const QPrinter &printer) {
    g_choice.copies = std::max(1, printer.copyCount());
    if (printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty()) {
        g_choice.outputFile = printer.outputFileName();
        g_choice.printerName.clear();
    } else {
        g_choice.outputFile.clear();
        g_choice.printerName = printer.printerName();
    }
}

bool applyTo(QPrinter &printer) {
    printer.setCopyCount(g_choice.copies);
    if (!g_choice.outputFile.isEmpty()) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(g_choice.outputFile);
    } else if (!g_choice.printerName.isEmpty()) {
        if (!QPrinterInfo::availablePrinterNames().contains(g_choice.printerName))
            return false;
        printer.setPrinterName(g_choice.printerName);
    }
    return true;
}

void reset() { g_choice = {}; }

void offerPdfFile(QPrinter &printer, const QString &documentTitle) {
    // A name the file system takes.
    QString fileName = documentTitle.trimmed();
    fileName.replace(QRegularExpression(QStringLiteral("[\\\\/:*?\"<>|]")), QStringLiteral("_"));
    if (printer.outputFormat() == QPrinter::PdfFormat && printer.outputFileName().isEmpty() && !fileName.isEmpty())
        printer.setOutputFileName(QDir::home().filePath(fileName + QStringLiteral(".pdf")));
}

} // namespace PrinterChoice
