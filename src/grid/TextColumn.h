#pragma once
#include "CellRef.h"
#include <QString>
#include <QStringView>
#include <cstdint>
#include <memory>
#include <vector>

// One column of cell texts: all characters in one pool, a cell is six bytes saying where.
// A grid of 100,000 rows then costs a few bytes per cell instead of one heap string each.
// Overwritten text leaves garbage in the pool; it is compacted once garbage outweighs text.
// Texts can also stay where a query result keeps them (a shared pool of UTF-8, read only;
// small numbers in the cell): they are decoded when read. A cell set later gets its own
// storage.
class TextColumn {
public:
    using SharedPool = SharedBytePool;

    int size() const { return int(m_refs.size()); }
    void resize(int rows);
    // The cell's text: a view of the column's own text, or of scratch, which then holds the
    // decoded text of a result's cell. Valid while both live unchanged.
    QStringView view(int row, QString &scratch) const;
    QString text(int row) const;
    // The UTF-8 bytes of a result's text cell where they are; false for every other cell.
    bool utf8(int row, const char **text, size_t *bytes) const {
        const CellRef r = m_refs[size_t(row)];
        if (r.kind() != CellRef::Pooled || r.length == 0)
            return false;
        *text = m_shared->data() + r.offset();
        *bytes = CellText::lengthIn(m_shared->data(), r);
        return true;
    }
    bool isEmpty(int row) const {
        const CellRef r = m_refs[size_t(row)];
        return r.length == 0 && r.kind() != CellRef::Number;
    }
    void set(int row, QStringView text);
    // Every row shows the cell of a result (one per row, texts in the pool); the pool is kept
    // alive as long as a row shows it. What the column held before goes.
    void adopt(SharedPool pool, PodBuffer<CellRef> &&cells);

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
    size_t ownLength(CellRef r) const { return CellText::lengthIn(m_pool.data(), r); }
    // Pool units an own text takes, its stored length included.
    size_t ownUnits(CellRef r) const { return ownLength(r) + (r.length == CellRef::kLong ? 2 : 0); }
    void drop(CellRef r) {
        if (r.kind() == CellRef::Own)
            m_garbage += ownUnits(r);
    }
    void compact();
    void compactIfWasteful();
    void dropSharedIfUnused();

    PodBuffer<char16_t> m_pool;
    SharedPool m_shared;
    PodBuffer<CellRef> m_refs;
    size_t m_garbage = 0;
};
