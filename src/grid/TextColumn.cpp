#include "TextColumn.h"
#include <algorithm>
#include <stdexcept>

void TextColumn::resize(int rows) {
    for (size_t i = size_t(rows); i < m_refs.size(); ++i)
        m_garbage += m_refs[i].length;
    m_refs.resize(size_t(rows));
    compactIfWasteful();
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
    if (len <= r.length) {
        // Fits where the old text was: overwrite, no new pool space.
        std::copy(text.utf16(), text.utf16() + len, m_pool.begin() + r.offset);
        m_garbage += r.length - len;
        r.length = len;
        compactIfWasteful();
        return;
    }
    if (m_pool.size() + len > UINT32_MAX)
        compact();
    if (m_pool.size() + len > UINT32_MAX)
        throw std::length_error("grid column text exceeds 4G characters");
    m_garbage += r.length;
    r.offset = uint32_t(m_pool.size());
    r.length = len;
    m_pool.insert(m_pool.end(), text.utf16(), text.utf16() + len);
    compactIfWasteful();
}

void TextColumn::insert(int row, int count) {
    m_refs.insert(m_refs.begin() + row, size_t(count), Ref{});
}

void TextColumn::erase(int row, int count) {
    for (int i = row; i < row + count; ++i)
        m_garbage += m_refs[size_t(i)].length;
    m_refs.erase(m_refs.begin() + row, m_refs.begin() + row + count);
    compactIfWasteful();
}

void TextColumn::permute(const std::vector<int> &newOrder) {
    std::vector<Ref> refs(m_refs.size());
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
        const auto offset = uint32_t(pool.size());
        pool.insert(pool.end(), m_pool.begin() + r.offset, m_pool.begin() + r.offset + r.length);
        r.offset = r.length ? offset : 0;
    }
    m_pool.swap(pool);
    m_garbage = 0;
}
