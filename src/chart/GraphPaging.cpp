#include "GraphPaging.h"

GraphPaging GraphPaging::clamp(int page, int pageCount) {
    GraphPaging p;
    // A single page leaves nothing to move to, whichever page was shown before.
    if (pageCount <= 1) {
        p.page = 1;
        pageCount = 1;
    } else if (page >= pageCount) {
        p = {pageCount, true, false, {}};
    } else if (page <= 1) {
        p = {1, false, true, {}};
    } else {
        p = {page, true, true, {}};
    }
    p.label = QStringLiteral("%1/%2").arg(p.page).arg(pageCount);
    return p;
}
