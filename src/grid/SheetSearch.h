#pragma once
#include "SheetStore.h"
#include <optional>

// The "find next" walk of the find window over a sheet, without the window.
namespace SheetSearch {

enum Direction { ByRow = 0, ByColumn = 1 };

struct Cell {
    int col = 0;
    int row = 0;
    bool operator==(const Cell &) const = default;
};

// The next cell after (activeCol, activeRow) whose text matches, walking row by row or
// column by column through the columns after startCol up to endCol (-1: the last), going
// on from the top when the end is reached. Hidden columns are never a result. The walk can
// come round to the active cell itself; the caller decides what that means.
std::optional<Cell> findNext(const SheetStore &sheet, int activeCol, int activeRow, int startCol, int endCol,
                             const QString &text, int flags, Direction direction);

} // namespace SheetSearch
