#include "SpreadPrint.h"
#include "SheetModel.h"
#include "SheetPrinter.h"
#include "Spread.h"
#include <QPageLayout>
#include <QPainter>
#include <QPrinter>

std::shared_ptr<SheetPrinter> printLayout(const Spread &grid) {
    const SheetPrintProps &props = grid.printProps();
    return std::make_shared<SheetPrinter>(*grid.sheetModel(), props, QSizeF(props.paperWidth, props.paperHeight));
}

int printPageCount(const Spread &grid) { return printLayout(grid)->pageCount(); }

bool printSheet(const Spread &grid, QPagedPaintDevice &device) {
    const auto layout = printLayout(grid);
    const std::vector<int> pages = layout->printedPages();
    if (pages.empty())
        return false;
    const SheetPrintProps &props = grid.printProps();
    const QPageSize paper(QSizeF(props.paperWidth / 20.0, props.paperHeight / 20.0), QPageSize::Point);
    // The layout has its own margins; the device prints the whole sheet.
    if (auto *printer = dynamic_cast<QPrinter *>(&device)) {
        if (!printer->isValid()) // a printer that is not (or no longer) installed
            return false;
        printer->setFullPage(true);
    }
    device.setPageLayout(QPageLayout(paper, layout->landscape() ? QPageLayout::Landscape : QPageLayout::Portrait,
                                     QMarginsF(0, 0, 0, 0)));
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    const QRectF target(0, 0, device.width(), device.height());
    for (size_t i = 0; i < pages.size(); ++i) {
        if (i > 0 && !device.newPage()) {
            painter.end();
            return false;
        }
        layout->paintPage(painter, pages[i], target);
    }
    return painter.end();
}

PageBreakWalk::PageBreakWalk(const SheetPrinter &layout) : m_rows(layout.pageBreakRows()) {}
