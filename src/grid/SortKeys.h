#pragma once
#include "TextColumn.h"
#include <vector>

namespace SortKeys {
// The order that sorts the first n rows of a column: numbers by value before texts, texts
// without regard to case, empty cells last either way, ties in their old order. Every text is
// case-folded once, not in every comparison. order[i] is the old row (0-based) for row i.
std::vector<int> order(const TextColumn &texts, int n, bool ascending);
} // namespace SortKeys
