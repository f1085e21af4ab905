#pragma once
#include "PodBuffer.h"
#include <QStringDecoder>
#include <QStringList>
#include <QVariant>
#include <bit>
#include <memory>
#include <vector>

class QSqlQuery;

// A client-side snapshot of a query result: every row is read at open, so the record count
// is known and the connection is free again at once. Texts live in one character pool and
// numbers in the cell itself, field by field, so a million rows cost nine bytes per cell
// besides their characters.
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

    using TextPool = std::shared_ptr<const PodBuffer<char16_t>>;
    // The pool all texts live in, for a grid that shows them where they are; it outlives
    // the snapshot as long as someone holds it.
    TextPool textPool() const { return m_chars; }
    // Hands one field over to a grid column that shows it in place: where each row's text is
    // in textPool(). Numbers and other cells get their text added to the pool first, nulls
    // are empty. The field reads as null afterwards.
    PodBuffer<TextSpan> takeTexts(int field);

    // Reads every row of an executed query.
    void load(QSqlQuery &query);
    void close();

    // Filling, for readers that fetch rows themselves: begin, then one add per cell in
    // row order, then finish.
    void beginFill(QStringList fields);
    void addNull() { add(Null, TextSpan{}); }
    void addInt(qint64 v) { add(Int, bitsOf(v)); }
    void addDouble(double v) { add(Double, bitsOf(v)); }
    // UTF-8 text, decoded straight into the pool.
    void addUtf8(const char *text, int bytes);
    void addText(QStringView text);
    void addBlob(const QByteArray &bytes);
    void finishFill();

private:
    // One field of every row: its kind and 8 bytes that are a text's span or a number's bits.
    enum Kind : quint8 { Null, Int, Double, Text, Blob, Taken };
    struct Column {
        PodBuffer<quint8> kinds;
        PodBuffer<TextSpan> values;
    };
    template <class T> static TextSpan bitsOf(T v) { return std::bit_cast<TextSpan>(v); }
    template <class T> static T fromBits(TextSpan s) { return std::bit_cast<T>(s); }
    void add(Kind kind, TextSpan value) {
        Column &c = m_cols[m_fillField];
        c.kinds.push_back(kind);
        c.values.push_back(value);
        if (++m_fillField == m_cols.size())
            m_fillField = 0;
    }
    TextSpan appendChars(QStringView text);
    QStringView view(TextSpan s) const { return QStringView(m_chars->data() + s.offset, qsizetype(s.length)); }

    QStringList m_fields;
    std::vector<Column> m_cols;
    size_t m_fillField = 0;
    std::shared_ptr<PodBuffer<char16_t>> m_chars = std::make_shared<PodBuffer<char16_t>>();
    QStringDecoder m_utf8{QStringDecoder::Utf8, QStringDecoder::Flag::Stateless};
    std::vector<QByteArray> m_blobs;
    int m_rows = 0;
    int m_pos = 0;
    bool m_open = false;
};
