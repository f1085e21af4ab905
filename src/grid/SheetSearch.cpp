#include "SheetSearch.h"
#include <algorithm>

namespace SheetSearch {

namespace {
std::optional<Cell> byRow(const SheetStore &s, int c0, int r0, int startCol, int endCol, const QString &text,
                          int flags) {
    // The first match in a visible column of the row after column `after`.
    const auto visibleMatch = [&](int row, int after) -> std::optional<Cell> {
        if (s.rowHidden(row)) // the cursor would vanish on a hidden row
            return std::nullopt;
        int c = s.searchRow(row, after, endCol, text, flags);
        while (c != -1 && s.colHidden(c))
            c = s.searchRow(row, c, endCol, text, flags);
        return c == -1 ? std::nullopt : std::optional<Cell>(Cell{c, row});
    };
    const int rows = s.maxRows();
    if (r0 >= 1 && r0 <= rows)
        if (auto hit = visibleMatch(r0, std::max(c0, startCol)))
            return hit;
    for (int r = std::max(r0 + 1, 1); r <= rows; ++r)
        if (auto hit = visibleMatch(r, startCol))
            return hit;
    for (int r = 1; r <= std::min(r0, rows); ++r)
        if (auto hit = visibleMatch(r, startCol))
            return hit;
    return std::nullopt;
}

std::optional<Cell> byColumn(const SheetStore &s, int c0, int r0, int startCol, int endCol, const QString &text,
                             int flags) {
    const auto searchable = [&](int c) { return c > startCol && c <= endCol && !s.colHidden(c); };
    const auto match = [&](int col, int after) -> std::optional<Cell> {
        int r = s.searchCol(col, after, -1, text, flags);
        while (r != -1 && s.rowHidden(r))
            r = s.searchCol(col, r, -1, text, flags);
        return r == -1 ? std::nullopt : std::optional<Cell>(Cell{col, r});
    };
    if (searchable(c0))
        if (auto hit = match(c0, r0))
            return hit;
    for (int c = std::max(c0 + 1, startCol + 1); c <= endCol; ++c)
        if (searchable(c))
            if (auto hit = match(c, 0))
                return hit;
    for (int c = startCol + 1; c <= std::min(c0, endCol); ++c)
        if (searchable(c))
            if (auto hit = match(c, 0))
                return hit;
    return std::nullopt;
}
} // namespace

std::optional<Cell> findNext(const SheetStore &sheet, int activeCol, int activeRow, int startCol, int endCol,
                             const QString &text, int flags, Direction direction) {
    const int last = endCol < 0 || endCol > sheet.maxCols() ? sheet.maxCols() : endCol;
    const int first = std::max(0, startCol);
    if (direction == ByColumn)
        return byColumn(sheet, activeCol, activeRow, first, last, text, flags);
    return byRow(sheet, activeCol, activeRow, first, last, text, flags);
}

} // namespace SheetSearch
