#pragma once
#include <QString>

// Which page the chart window shows after a redraw and which page buttons work.
struct GraphPaging {
    int page = 1;
    bool previous = false; // "<"
    bool next = false;     // ">"
    QString label;         // "3/3"

    // The page brought into 1..pageCount.
    static GraphPaging clamp(int page, int pageCount);
};
