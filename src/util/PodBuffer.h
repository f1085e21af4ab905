#pragma once
#include "PageRecycler.h"
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>
#include <type_traits>
#include <utility>
#ifdef __linux__
#include <sys/mman.h>
#endif

// A growable array of plain values. Large buffers are pages of their own (mmap on Linux):
// they grow by remapping, not copying, come zero-filled without being touched, and go back
// to the system when freed. Filling a million-row result therefore never holds two copies
// of it, a column sized for it costs nothing until its rows are set, and a second search
// does not land on top of the first one's leftovers in the heap.
template <class T> class PodBuffer {
    static_assert(std::is_trivially_copyable_v<T> && std::is_trivially_destructible_v<T>);

public:
    PodBuffer() = default;
    PodBuffer(const PodBuffer &other) { *this = other; }
    PodBuffer(PodBuffer &&other) noexcept { swap(other); }
    PodBuffer &operator=(const PodBuffer &other) {
        if (this != &other) {
            clear();
            append(other.m_data, other.m_size);
        }
        return *this;
    }
    PodBuffer &operator=(PodBuffer &&other) noexcept {
        PodBuffer gone(std::move(*this));
        swap(other);
        return *this;
    }
    ~PodBuffer() { release(); }
    void swap(PodBuffer &other) noexcept {
        std::swap(m_data, other.m_data);
        std::swap(m_size, other.m_size);
        std::swap(m_capacity, other.m_capacity);
        std::swap(m_mapped, other.m_mapped);
    }

    size_t size() const { return m_size; }
    bool empty() const { return m_size == 0; }
    T *data() { return m_data; }
    const T *data() const { return m_data; }
    T *begin() { return m_data; }
    T *end() { return m_data + m_size; }
    const T *begin() const { return m_data; }
    const T *end() const { return m_data + m_size; }
    T &operator[](size_t i) { return m_data[i]; }
    const T &operator[](size_t i) const { return m_data[i]; }

    // Gives the memory back.
    void clear() {
        release();
        m_data = nullptr;
        m_size = m_capacity = 0;
        m_mapped = false;
    }
    void reserve(size_t n) {
        if (n > m_capacity)
            reallocate(n);
    }
    // New values are zero bytes; resizing to 0 gives the memory back.
    void resize(size_t n) {
        if (n == 0) {
            clear();
            return;
        }
        if (!m_data) {
            // Fresh pages and calloc's large blocks are zero already; recycled ones are not.
            reallocate(n, false);
            if (!m_mapped)
                std::memset(static_cast<void *>(m_data), 0, n * sizeof(T));
            m_size = n;
            return;
        }
        if (n > m_capacity)
            reallocate(std::max(n, m_capacity + m_capacity / 2));
        if (n > m_size)
            std::memset(static_cast<void *>(m_data + m_size), 0, (n - m_size) * sizeof(T));
        m_size = n;
    }
    // Doubles, so that n calls cost O(n); pages not yet written cost no memory.
    void grow(size_t extra) {
        if (m_size + extra > m_capacity)
            reallocate(std::max(m_size + extra, 2 * m_capacity + 64));
        m_size += extra;
    }
    void push_back(const T &v) {
        grow(1);
        m_data[m_size - 1] = v;
    }
    void append(const T *v, size_t n) {
        if (n == 0)
            return;
        grow(n);
        std::memcpy(static_cast<void *>(m_data + m_size - n), v, n * sizeof(T));
    }
    // count zero values at pos; later values move up.
    void insert(size_t pos, size_t count) {
        const size_t tail = m_size - pos;
        grow(count);
        std::memmove(static_cast<void *>(m_data + pos + count), m_data + pos, tail * sizeof(T));
        std::memset(static_cast<void *>(m_data + pos), 0, count * sizeof(T));
    }
    void erase(size_t pos, size_t count) {
        std::memmove(static_cast<void *>(m_data + pos), m_data + pos + count, (m_size - pos - count) * sizeof(T));
        m_size -= count;
    }
    // Drops the spare capacity of a buffer that is full now.
    void shrinkToFit() {
        if (m_size == 0)
            clear();
        else if (m_capacity > m_size)
            reallocate(m_size);
    }

private:
#ifdef __linux__
    static constexpr size_t kMapFrom = size_t(1) << 20;
    static constexpr size_t kRecycleFrom = size_t(64) << 10;
    static constexpr size_t kHugeFrom = size_t(2) << 20;
    static size_t mapped(size_t n) { return (n * sizeof(T) + 4095) & ~size_t(4095); }
    void reallocate(size_t n, bool recycled = true) {
        void *p = nullptr;
        // Taken early, before the heap holds a copy of the start beside the recycled pages.
        if (const PageRecycler::Pages reused =
                recycled && n > m_capacity && n * sizeof(T) >= kRecycleFrom ? reusedPages(n) : PageRecycler::Pages{};
            reused.data) {
            if (m_size)
                std::memcpy(reused.data, static_cast<void *>(m_data), m_size * sizeof(T));
            release();
            p = reused.data;
            m_mapped = true;
            n = reused.bytes / sizeof(T); // the pages may hold more than asked for
        } else if (n * sizeof(T) < kMapFrom) {
            if (m_mapped) {
                p = std::malloc(n * sizeof(T));
                if (p)
                    std::memcpy(p, static_cast<void *>(m_data), std::min(n, m_size) * sizeof(T));
            } else {
                p = std::realloc(static_cast<void *>(m_data), n * sizeof(T));
            }
            if (!p)
                throw std::bad_alloc();
            if (m_mapped)
                unmap(m_data, m_capacity);
            m_mapped = false;
        } else {
            if (m_mapped) {
                p = mremap(static_cast<void *>(m_data), mapped(m_capacity), mapped(n), MREMAP_MAYMOVE);
            } else {
                p = mmap(nullptr, mapped(n), PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
                if (p != MAP_FAILED && m_data) {
                    std::memcpy(p, static_cast<void *>(m_data), std::min(n, m_size) * sizeof(T));
                    std::free(m_data);
                }
            }
            if (p == MAP_FAILED)
                throw std::bad_alloc();
            adviseHuge(p, mapped(n));
            m_mapped = true;
        }
        m_data = static_cast<T *>(p);
        m_capacity = n;
    }
    // Pages another buffer of this kind freed, more than this one has, made room for n
    // values; none when there are none.
    PageRecycler::Pages reusedPages(size_t n) const {
        PageRecycler::Pages kept =
            PageRecycler::take(sizeof(T), m_mapped ? mapped(m_capacity) : m_capacity * sizeof(T));
        if (kept.data && kept.bytes < mapped(n)) {
            void *p = mremap(kept.data, kept.bytes, mapped(n), MREMAP_MAYMOVE);
            if (p == MAP_FAILED) {
                munmap(kept.data, kept.bytes);
                return {};
            }
            kept = {p, mapped(n)};
            adviseHuge(p, kept.bytes);
        }
        return kept;
    }
    // Large pages where the system gives them on request: a million-row column then costs a
    // few dozen page faults instead of tens of thousands.
    static void adviseHuge(void *p, size_t bytes) {
        if (bytes >= kHugeFrom)
            madvise(p, bytes, MADV_HUGEPAGE);
    }
    static void unmap(T *data, size_t capacity) {
        if (!PageRecycler::keep({data, mapped(capacity)}, sizeof(T)))
            munmap(static_cast<void *>(data), mapped(capacity));
    }
    void release() {
        if (m_mapped)
            unmap(m_data, m_capacity);
        else
            std::free(m_data);
    }
#else
    void reallocate(size_t n, bool = true) {
        void *p = std::realloc(static_cast<void *>(m_data), n * sizeof(T));
        if (!p)
            throw std::bad_alloc();
        m_data = static_cast<T *>(p);
        m_capacity = n;
    }
    void release() { std::free(m_data); }
#endif

    T *m_data = nullptr;
    size_t m_size = 0;
    size_t m_capacity = 0;
    bool m_mapped = false; // pages of its own, not from the heap
};
