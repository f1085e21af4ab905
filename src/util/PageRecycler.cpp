#include "PageRecycler.h"
#include <algorithm>
#ifdef __linux__
#include <sys/mman.h>
#endif

namespace {
thread_local PageRecycler *t_current = nullptr;
}

PageRecycler::PageRecycler() {
    if (!t_current) {
        t_current = this;
        m_active = true;
    }
}

PageRecycler::~PageRecycler() {
    if (!m_active)
        return;
    t_current = nullptr;
#ifdef __linux__
    for (const Kept &k : m_kept)
        munmap(k.pages.data, k.pages.bytes);
#endif
}

bool PageRecycler::keep(Pages pages, size_t unit) {
    if (!t_current || !pages.data)
        return false;
#ifdef __linux__
    // A buffer sized but hardly written (a grid column about to be handed its rows) has few
    // pages to give: kept, it would be taken in place of one whose pages are all there.
    try {
        std::vector<unsigned char> resident((pages.bytes + 4095) / 4096);
        if (mincore(pages.data, pages.bytes, resident.data()) != 0)
            return false;
        const auto there = std::count_if(resident.begin(), resident.end(), [](unsigned char r) { return r & 1; });
        if (size_t(there) * 2 < resident.size())
            return false;
        t_current->m_kept.push_back({pages, unit});
    } catch (const std::bad_alloc &) {
        return false;
    }
    return true;
#else
    (void)unit;
    return false;
#endif
}

PageRecycler::Pages PageRecycler::take(size_t unit, size_t beyond) {
    if (!t_current)
        return {};
    std::vector<Kept> &kept = t_current->m_kept;
    auto best = kept.end();
    for (auto it = kept.begin(); it != kept.end(); ++it)
        if (it->unit == unit && it->pages.bytes > beyond && (best == kept.end() || it->pages.bytes < best->pages.bytes))
            best = it;
    if (best == kept.end())
        return {};
    const Pages pages = best->pages;
    kept.erase(best);
    return pages;
}
