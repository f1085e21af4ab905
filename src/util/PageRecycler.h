#pragma once
#include <cstddef>
#include <vector>

// While one lives on a thread, the pages of large buffers freed on that thread are kept for
// the large buffers it makes next, instead of going back to the system and coming again one
// page fault at a time: a search that replaces the last one's million rows refills the pages
// the last one had. What nobody took goes back when it ends. An inner one adds nothing.
class PageRecycler {
public:
    PageRecycler();
    ~PageRecycler();
    PageRecycler(const PageRecycler &) = delete;
    PageRecycler &operator=(const PageRecycler &) = delete;

    struct Pages {
        void *data = nullptr;
        size_t bytes = 0;
    };
    // Takes freed pages of a buffer of `unit`-byte values; false when no recycler lives here.
    static bool keep(Pages pages, size_t unit);
    // The smallest pages kept from buffers of `unit`-byte values that are more than `beyond`
    // bytes (a small buffer does not sit on a large block); none otherwise. They hold old
    // bytes, not zeros.
    static Pages take(size_t unit, size_t beyond);

private:
    struct Kept {
        Pages pages;
        size_t unit;
    };
    std::vector<Kept> m_kept;
    bool m_active = false;
};
