#pragma once
#include <QString>
#include <vector>

// How many handsets the open catalogue holds per manufacturer or per release year, read
// through the shared connection (the base record left out).
namespace HandsetCounts {

enum class By { Maker, Year };
struct Count {
    QString label; // "(없음)" for handsets without one
    int handsets = 0;
};
// Makers with the most handsets first, years in order; empty after the error box when the
// catalogue cannot be read.
std::vector<Count> read(By by);

} // namespace HandsetCounts
