#pragma once
#include <memory>
#include <vector>

class QPagedPaintDevice;
class SheetPrinter;
class Spread;

// The grid's printing: its pages as its print properties lay them out.
std::shared_ptr<SheetPrinter> printLayout(const Spread &grid);
int printPageCount(const Spread &grid);

// Prints the pages the print type selects onto a printer or PDF writer, set to the grid's
// paper and orientation. False when nothing could be printed (no such printer, nothing in
// the page range).
bool printSheet(const Spread &grid, QPagedPaintDevice &device);

// The page-break walk: restart, then the first row of each next printed page, -1 at the end.
class PageBreakWalk {
public:
    explicit PageBreakWalk(const SheetPrinter &layout);
    void restart() { m_next = 0; }
    int next() { return m_next < m_rows.size() ? m_rows[m_next++] : -1; }

private:
    std::vector<int> m_rows;
    size_t m_next = 0;
};
