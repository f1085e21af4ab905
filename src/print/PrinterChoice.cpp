#include "PrinterChoice.h"
#include "SheetPrintProps.h"
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
    g_choice.paper = printer.pageLayout().pageSize();
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

void applyPaperTo(SheetPrintProps &props) {
    const QSizeF points = g_choice.paper.size(QPageSize::Point);
    if (points.isEmpty()) {
        props.paperWidth = SheetPrintProps().paperWidth;
        props.paperHeight = SheetPrintProps().paperHeight;
        return;
    }
    // Portrait sides, as the layout keeps them; the orientation is the page setup's.
    props.paperWidth = std::min(points.width(), points.height()) * 20;
    props.paperHeight = std::max(points.width(), points.height()) * 20;
}

void showPaperOf(const SheetPrintProps &props, QPrinter &printer) {
    printer.setPageSize(QPageSize(QSizeF(props.paperWidth / 20.0, props.paperHeight / 20.0), QPageSize::Point));
}

void offerPdfFile(QPrinter &printer, const QString &documentTitle) {
    // A name the file system takes.
    QString fileName = documentTitle.trimmed();
    fileName.replace(QRegularExpression(QStringLiteral("[\\\\/:*?\"<>|]")), QStringLiteral("_"));
    if (printer.outputFormat() == QPrinter::PdfFormat && printer.outputFileName().isEmpty() && !fileName.isEmpty())
        printer.setOutputFileName(QDir::home().filePath(fileName + QStringLiteral(".pdf")));
}

} // namespace PrinterChoice
