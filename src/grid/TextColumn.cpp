#include "TextColumn.h"
#include <algorithm>
#include <stdexcept>

void TextColumn::resize(int rows) {
    for (size_t i = size_t(rows); i < m_refs.size(); ++i)
        if (!(m_refs[i].offset & kShared))
            m_garbage += m_refs[i].length;
    m_refs.resize(size_t(rows));
    compactIfWasteful();
    dropSharedIfUnused();
}

// A result no cell shows any more is given back at once.
void TextColumn::dropSharedIfUnused() {
    if (!m_shared)
        return;
    for (const Ref &r : m_refs)
        if (r.offset & kShared)
            return;
    m_shared.reset();
}

void TextColumn::adopt(SharedPool pool, PodBuffer<TextSpan> &&texts) {
    if (!pool || pool->size() >= kShared || texts.size() != m_refs.size()) {
        // Beyond what a shared offset can address: copied as any text is.
        for (size_t i = 0; i < texts.size() && i < m_refs.size(); ++i)
            set(int(i), pool ? QStringView(pool->data() + texts[i].offset, qsizetype(texts[i].length)) : QStringView());
        return;
    }
    for (Ref &r : texts)
        r = r.length ? Ref{r.offset | kShared, r.length} : Ref{};
    m_refs = std::move(texts);
    m_pool = {};
    m_garbage = 0;
    m_shared = std::move(pool);
    dropSharedIfUnused();
}

// Dropped and shortened texts leave garbage; give the memory back once it outweighs the text.
void TextColumn::compactIfWasteful() {
    if (m_refs.empty()) {
        m_pool = {};
        m_garbage = 0;
    } else if (m_garbage > 4096 && m_garbage > m_pool.size() / 2) {
        compact();
    }
}

void TextColumn::set(int row, QStringView text) {
    Ref &r = m_refs[size_t(row)];
    const auto len = uint32_t(text.size());
    if (r.offset & kShared) {
        // The shared text stays as the result has it; this cell gets its own.
        r = Ref{};
        if (len == 0) {
            dropSharedIfUnused();
            return;
        }
    }
    if (len <= r.length) {
        // Fits where the old text was: overwrite, no new pool space.
        std::copy(text.utf16(), text.utf16() + len, m_pool.begin() + r.offset);
        m_garbage += r.length - len;
        r.length = len;
        compactIfWasteful();
        return;
    }
    if (m_pool.size() + len >= kShared)
        compact();
    if (m_pool.size() + len >= kShared)
        throw std::length_error("grid column text exceeds 2G characters");
    m_garbage += r.length;
    r.offset = uint32_t(m_pool.size());
    r.length = len;
    m_pool.insert(m_pool.end(), text.utf16(), text.utf16() + len);
    compactIfWasteful();
}

void TextColumn::insert(int row, int count) { m_refs.insert(size_t(row), size_t(count)); }

void TextColumn::erase(int row, int count) {
    for (int i = row; i < row + count; ++i)
        if (!(m_refs[size_t(i)].offset & kShared))
            m_garbage += m_refs[size_t(i)].length;
    m_refs.erase(size_t(row), size_t(count));
    compactIfWasteful();
}

void TextColumn::permute(const std::vector<int> &newOrder) {
    PodBuffer<Ref> refs;
    refs.resize(m_refs.size());
    for (size_t i = 0; i < newOrder.size(); ++i)
        refs[i] = m_refs[size_t(newOrder[i])];
    m_refs.swap(refs);
}

int TextColumn::lastNonEmpty() const {
    for (int i = size() - 1; i >= 0; --i)
        if (m_refs[size_t(i)].length)
            return i;
    return -1;
}

void TextColumn::compact() {
    std::vector<char16_t> pool;
    pool.reserve(m_pool.size() - std::min(m_garbage, m_pool.size()));
    for (Ref &r : m_refs) {
        if (r.offset & kShared)
            continue;
        const auto offset = uint32_t(pool.size());
        pool.insert(pool.end(), m_pool.begin() + r.offset, m_pool.begin() + r.offset + r.length);
        r.offset = r.length ? offset : 0;
    }
    m_pool.swap(pool);
    m_garbage = 0;
}
