#include "TextColumn.h"
#include <algorithm>

QStringView TextColumn::view(int row, QString &scratch) const {
    const CellRef r = m_refs[size_t(row)];
    switch (r.kind()) {
    case CellRef::Own: return QStringView(m_pool.data() + r.offset(), qsizetype(ownLength(r)));
    case CellRef::Number: CellText::numberInto(scratch, r.number()); return scratch;
    case CellRef::Pooled:
        if (r.length == 0)
            return {};
        CellText::decodeInto(scratch, m_shared->data() + r.offset(), CellText::lengthIn(m_shared->data(), r));
        return scratch;
    case CellRef::Special: break;
    }
    return {};
}

QString TextColumn::text(int row) const {
    QString scratch;
    const QStringView v = view(row, scratch);
    return v.data() == scratch.constData() ? scratch : v.toString();
}

void TextColumn::resize(int rows) {
    // Only own texts leave garbage, and an emptied column drops its whole pool anyway.
    if (rows > 0 && !m_pool.empty())
        for (size_t i = size_t(rows); i < m_refs.size(); ++i)
            drop(m_refs[i]);
    m_refs.resize(size_t(rows));
    compactIfWasteful();
    dropSharedIfUnused();
}

// A result no cell shows any more is given back at once.
void TextColumn::dropSharedIfUnused() {
    if (!m_shared)
        return;
    for (const CellRef &r : m_refs)
        if (r.kind() == CellRef::Pooled && r.length)
            return;
    m_shared.reset();
}

void TextColumn::adopt(SharedPool pool, PodBuffer<CellRef> &&cells) {
    if (!pool || cells.size() != m_refs.size())
        return;
    m_refs = std::move(cells);
    m_pool.clear();
    m_garbage = 0;
    m_shared = std::move(pool);
    dropSharedIfUnused();
}

// Dropped and shortened texts leave garbage; give the memory back once it outweighs the text.
void TextColumn::compactIfWasteful() {
    if (m_refs.empty()) {
        m_pool.clear();
        m_garbage = 0;
    } else if (m_garbage > 4096 && m_garbage > m_pool.size() / 2) {
        compact();
    }
}

void TextColumn::set(int row, QStringView text) {
    CellRef &r = m_refs[size_t(row)];
    const auto len = size_t(text.size());
    if (r.kind() != CellRef::Own) {
        // The result's cell stays as the result has it; this cell gets its own.
        r = CellRef{};
        if (len == 0) {
            dropSharedIfUnused();
            return;
        }
    }
    if (r.kind() == CellRef::Own && r.length != CellRef::kLong && len <= r.length) {
        // Fits where the old text was: overwrite, no new pool space.
        std::copy(text.utf16(), text.utf16() + len, m_pool.begin() + r.offset());
        m_garbage += r.length - len;
        r.length = uint16_t(len);
        compactIfWasteful();
        return;
    }
    drop(r);
    r = CellRef{};
    if (len == 0) {
        compactIfWasteful();
        return;
    }
    if (m_pool.size() + len + 2 >= CellRef::kOffsetLimit)
        compact();
    r = CellText::append(m_pool, CellRef::Own, text.utf16(), len);
    compactIfWasteful();
}

void TextColumn::insert(int row, int count) { m_refs.insert(size_t(row), size_t(count)); }

void TextColumn::erase(int row, int count) {
    for (int i = row; i < row + count; ++i)
        drop(m_refs[size_t(i)]);
    m_refs.erase(size_t(row), size_t(count));
    compactIfWasteful();
}

void TextColumn::permute(const std::vector<int> &newOrder) {
    PodBuffer<CellRef> refs;
    refs.reserve(m_refs.size()); // not zeroed: every row is set
    refs.grow(m_refs.size());
    const size_t moved = std::min(newOrder.size(), m_refs.size());
    for (size_t i = 0; i < moved; ++i)
        refs[i] = m_refs[size_t(newOrder[i])];
    std::fill(refs.begin() + moved, refs.end(), CellRef{});
    m_refs.swap(refs);
}

int TextColumn::lastNonEmpty() const {
    for (int i = size() - 1; i >= 0; --i)
        if (!isEmpty(i))
            return i;
    return -1;
}

void TextColumn::compact() {
    PodBuffer<char16_t> pool;
    pool.reserve(m_pool.size() - std::min(m_garbage, m_pool.size()));
    for (CellRef &r : m_refs)
        if (r.kind() == CellRef::Own)
            r = CellText::append(pool, CellRef::Own, m_pool.data() + r.offset(), ownLength(r));
    m_pool.swap(pool);
    m_garbage = 0;
}
