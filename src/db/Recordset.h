#pragma once
#include "CellRef.h"
#include <QStringList>
#include <QVariant>
#include <vector>

class QSqlQuery;

// A client-side snapshot of a query result: every row is read at open, so the record count
// is known and the connection is free again at once. Texts stay in one pool as the database's
// UTF-8 and small numbers in the cell itself, field by field, so a million rows cost six bytes
// per cell besides their bytes; a text becomes a QString only when it is read.
class Recordset {
public:
    bool isOpen() const { return m_open; }
    int recordCount() const { return m_rows; }
    int fieldCount() const { return int(m_fields.size()); }
    const QStringList &fields() const { return m_fields; }
    // Index of a field by name, ignoring case; -1 when there is none.
    int fieldIndex(const QString &name) const;

    bool eof() const { return !m_open || m_pos >= m_rows; }
    bool bof() const { return !m_open || m_pos < 0 || m_rows == 0; }
    void moveFirst() { m_pos = 0; }
    void moveNext() { ++m_pos; }
    void move(int row) { m_pos = row; }
    int position() const { return m_pos; }

    // Value of the current row; an invalid QVariant when out of range.
    QVariant value(int field) const;
    QVariant value(const QString &field) const { return value(fieldIndex(field)); }
    // Text of the current row's field, empty for null.
    QString text(const QString &field) const { return value(field).toString(); }

    // Direct access for fast fills: row and field from 0.
    QVariant at(int row, int field) const;
    // The cell as text, empty for null.
    QString rawText(int row, int field) const;

    // The pool all texts live in, for a grid that shows them where they are; it outlives
    // the snapshot as long as someone holds it.
    SharedBytePool textPool() const { return m_bytes; }
    // Hands one field over to a grid column that shows it in place: texts where they are in
    // textPool(), small numbers as they are; other values get their text added to the pool
    // first, nulls are empty. The field reads as null afterwards.
    PodBuffer<CellRef> takeTexts(int field);

    // Reads every row of an executed query.
    void load(QSqlQuery &query);
    void close();

    // Filling, for readers that fetch rows themselves: begin, then one add per cell in
    // row order, then finish.
    void beginFill(QStringList fields);
    void addNull() { addSpecial(0); }
    void addInt(qint64 v) {
        if (CellRef::holds(v))
            add(CellRef::number(v));
        else
            addOther(QVariant(qlonglong(v)));
    }
    void addDouble(double v) { addOther(QVariant(v)); }
    // UTF-8 text, kept as it is; a short text the field had lately is not stored again.
    void addUtf8(const char *text, int bytes);
    void addText(QStringView text);
    void addBlob(const QByteArray &bytes) { addOther(QVariant(bytes)); }
    void finishFill();

private:
    void add(CellRef cell) {
        m_cols[m_fillField].push_back(cell);
        nextField();
    }
    void nextField() {
        if (++m_fillField == m_cols.size())
            m_fillField = 0;
    }
    // The text appended to the pool as the current field's cell.
    CellRef addPooled(const char *text, size_t n) {
        const CellRef cell = CellText::append(*m_bytes, CellRef::Pooled, text, n);
        add(cell);
        return cell;
    }
    // A null (0) or a value no cell holds in place (its index + 1 in m_others); the field
    // remembers having one, so that handing it over need not look at every cell.
    void addSpecial(uint32_t other) {
        m_special[m_fillField] = true;
        add(CellRef::at(CellRef::Special, other, 0));
    }
    void addOther(const QVariant &v);
    // Makers, years, opening types repeat on every other row: each field remembers where its
    // recent short texts are, by hash, so that they are kept once.
    static constexpr int kRecentBits = 11;
    static constexpr int kRecentLongest = 24;
    QString textOf(CellRef r) const;

    QStringList m_fields;
    std::vector<PodBuffer<CellRef>> m_cols;
    std::vector<std::vector<CellRef>> m_recent; // per field, 1 << kRecentBits places
    // A field whose texts hardly ever repeat (codes, IDs, model names) stops looking once
    // kTrialMisses of its texts were not found: per field, the texts not found and found.
    static constexpr int kTrialMisses = 4096;
    struct Trial {
        int missed = 0, found = 0;
        bool off = false;
    };
    std::vector<Trial> m_trial;
    std::vector<char> m_special; // per field: holds a null or another value
    size_t m_fillField = 0;
    std::shared_ptr<BytePool> m_bytes = std::make_shared<BytePool>();
    std::vector<QVariant> m_others;
    int m_rows = 0;
    int m_pos = 0;
    bool m_open = false;
};
