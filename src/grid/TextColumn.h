#pragma once
#include <QString>
#include <QStringView>
#include <cstdint>
#include <vector>

// One column of cell texts: all characters in one pool, a cell is an offset and a length.
// A grid of 100,000 rows then costs a few bytes per cell instead of one heap string each.
// Overwritten text leaves garbage in the pool; it is compacted once garbage outweighs text.
class TextColumn {
public:
    int size() const { return int(m_refs.size()); }
    void resize(int rows);
    QStringView view(int row) const {
        const Ref &r = m_refs[size_t(row)];
        return QStringView(m_pool.data() + r.offset, qsizetype(r.length));
    }
    QString text(int row) const { return view(row).toString(); }
    bool isEmpty(int row) const { return m_refs[size_t(row)].length == 0; }
    void set(int row, QStringView text);

    // Empty rows appear at / disappear from the given position; later rows move.
    void insert(int row, int count);
    void erase(int row, int count);
    // newOrder[i] is the old row that becomes row i (a permutation of all rows).
    void permute(const std::vector<int> &newOrder);

    // Highest row index holding text, -1 when none.
    int lastNonEmpty() const;
    size_t poolSize() const { return m_pool.size(); }

private:
    struct Ref {
        uint32_t offset = 0;
        uint32_t length = 0;
    };
    void compact();
    void compactIfWasteful();

    std::vector<char16_t> m_pool;
    std::vector<Ref> m_refs;
    size_t m_garbage = 0;
};
