#pragma once
#include <QStringList>
#include <QVariant>
#include <vector>

class QSqlQuery;

// A client-side snapshot of a query result: every row is read at open, so the record count
// is known and the connection is free again at once.
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
    const QVariant &at(int row, int field) const { return m_values[size_t(row) * m_fields.size() + field]; }

    // Reads every row of an executed query.
    void load(QSqlQuery &query);
    // Takes rows read elsewhere (row-major values).
    void assign(QStringList fields, std::vector<QVariant> values, int rows);
    void close();

private:
    QStringList m_fields;
    std::vector<QVariant> m_values; // row-major
    int m_rows = 0;
    int m_pos = 0;
    bool m_open = false;
};
