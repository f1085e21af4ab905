#pragma once
#include <QStringList>
#include <QStringDecoder>
#include <QVariant>
#include <memory>
#include <vector>

class QSqlQuery;

// A client-side snapshot of a query result: every row is read at open, so the record count
// is known and the connection is free again at once. Texts live in one character pool and
// numbers in the cell itself, so 100,000 rows cost a few bytes per cell.
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
    // The cell as text without copying it when it is text; valid while the snapshot lives.
    QString rawText(int row, int field) const;
    // The pool all texts live in, for a grid that shows them where they are; it outlives
    // the snapshot as long as someone holds it.
    std::shared_ptr<const std::vector<char16_t>> textPool() const { return m_chars; }
    // Where a text cell's characters are in textPool(); false for other cells.
    bool textSpan(int row, int field, quint32 *offset, quint32 *length) const;

    // Reads every row of an executed query.
    void load(QSqlQuery &query);
    void close();

    // Filling, for readers that fetch rows themselves: begin, then one add per cell in
    // row order, then finish.
    void beginFill(QStringList fields);
    void addNull() { m_cells.push_back(Cell{Cell::Null, 0, {0}}); }
    void addInt(qint64 v) { m_cells.push_back(Cell{Cell::Int, 0, {v}}); }
    void addDouble(double v);
    // UTF-8 text, decoded straight into the pool.
    void addUtf8(const char *text, int bytes);
    void addText(QStringView text);
    void addBlob(const QByteArray &bytes);
    void finishFill();

private:
    struct Cell {
        enum Kind : quint32 { Null, Int, Double, Text, Blob } kind;
        quint32 length;
        union {
            qint64 i;
            double d;
            quint64 offset;
        };
    };
    const Cell &cell(int row, int field) const { return m_cells[size_t(row) * m_fields.size() + size_t(field)]; }

    QStringList m_fields;
    std::vector<Cell> m_cells; // row-major
    std::shared_ptr<std::vector<char16_t>> m_chars = std::make_shared<std::vector<char16_t>>();
    QStringDecoder m_utf8{QStringDecoder::Utf8, QStringDecoder::Flag::Stateless};
    std::vector<QByteArray> m_blobs;
    int m_rows = 0;
    int m_pos = 0;
    bool m_open = false;
};
