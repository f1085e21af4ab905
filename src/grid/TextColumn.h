#pragma once
#include "PodBuffer.h"
#include <QString>
#include <QStringView>
#include <cstdint>
#include <memory>
#include <vector>

// One column of cell texts: all characters in one pool, a cell is an offset and a length.
// A grid of 100,000 rows then costs a few bytes per cell instead of one heap string each.
// Overwritten text leaves garbage in the pool; it is compacted once garbage outweighs text.
// Texts can also stay where a query result keeps them (a shared pool, read only): a cell
// set later gets its own storage.
class TextColumn {
public:
    using SharedPool = std::shared_ptr<const PodBuffer<char16_t>>;

    int size() const { return int(m_refs.size()); }
    void resize(int rows);
    QStringView view(int row) const {
        const Ref &r = m_refs[size_t(row)];
        if (r.offset & kShared)
            return QStringView(m_shared->data() + (r.offset & ~kShared), qsizetype(r.length));
        return QStringView(m_pool.data() + r.offset, qsizetype(r.length));
    }
    QString text(int row) const { return view(row).toString(); }
    bool isEmpty(int row) const { return m_refs[size_t(row)].length == 0; }
    void set(int row, QStringView text);
    // Every row shows the pool's text at its span (one span per row); the pool is kept alive
    // as long as a row shows it. What the column held before goes.
    void adopt(SharedPool pool, PodBuffer<TextSpan> &&texts);

    // Empty rows appear at / disappear from the given position; later rows move.
    void insert(int row, int count);
    void erase(int row, int count);
    // newOrder[i] is the old row that becomes row i (a permutation of all rows).
    void permute(const std::vector<int> &newOrder);

    // Highest row index holding text, -1 when none.
    int lastNonEmpty() const;
    size_t poolSize() const { return m_pool.size(); }
    bool sharesPool() const { return m_shared != nullptr; }

private:
    using Ref = TextSpan;
    static constexpr uint32_t kShared = 0x80000000u; // offset bit: the text is in m_shared
    void compact();
    void compactIfWasteful();
    void dropSharedIfUnused();

    std::vector<char16_t> m_pool;
    SharedPool m_shared;
    PodBuffer<Ref> m_refs;
    size_t m_garbage = 0;
};
