#include "Recordset.h"
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStringDecoder>

int Recordset::fieldIndex(const QString &name) const {
    for (int i = 0; i < m_fields.size(); ++i)
        if (m_fields[i].compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

QVariant Recordset::value(int field) const {
    if (field < 0 || field >= m_fields.size() || eof() || m_pos < 0)
        return {};
    return at(m_pos, field);
}

QVariant Recordset::at(int row, int field) const {
    const Cell &c = cell(row, field);
    switch (c.kind) {
    case Cell::Int: return QVariant(qlonglong(c.i));
    case Cell::Double: return QVariant(c.d);
    case Cell::Text: return QVariant(QString(reinterpret_cast<const QChar *>(m_chars->data()) + c.offset, qsizetype(c.length)));
    case Cell::Blob: return QVariant(m_blobs[size_t(c.offset)]);
    case Cell::Null: break;
    }
    return {};
}

QString Recordset::rawText(int row, int field) const {
    const Cell &c = cell(row, field);
    if (c.kind == Cell::Text)
        return QString::fromRawData(reinterpret_cast<const QChar *>(m_chars->data()) + c.offset, qsizetype(c.length));
    return at(row, field).toString();
}

bool Recordset::textSpan(int row, int field, quint32 *offset, quint32 *length) const {
    const Cell &c = cell(row, field);
    if (c.kind != Cell::Text)
        return false;
    *offset = quint32(c.offset);
    *length = c.length;
    return true;
}

void Recordset::beginFill(QStringList fields) {
    close();
    m_fields = std::move(fields);
    m_cells.reserve(size_t(qMax<qsizetype>(1, m_fields.size())) * 256);
}

void Recordset::addDouble(double v) {
    Cell c{Cell::Double, 0, {0}};
    c.d = v;
    m_cells.push_back(c);
}

void Recordset::addUtf8(const char *text, int bytes) {
    std::vector<char16_t> &chars = *m_chars;
    const size_t start = chars.size();
    // UTF-16 never needs more units than UTF-8 has bytes.
    chars.resize(start + size_t(bytes));
    char16_t *out = chars.data() + start;
    int i = 0;
    // Most catalogue texts are codes and numbers: ASCII is widened without the decoder.
    while (i < bytes && static_cast<unsigned char>(text[i]) < 0x80) {
        out[i] = char16_t(text[i]);
        ++i;
    }
    size_t length = size_t(i);
    if (i < bytes) {
        QChar *rest = reinterpret_cast<QChar *>(out + i);
        length += size_t(m_utf8.appendToBuffer(rest, QByteArrayView(text + i, bytes - i)) - rest);
    }
    chars.resize(start + length);
    m_cells.push_back(Cell{Cell::Text, quint32(length), {qint64(start)}});
}

void Recordset::addText(QStringView text) {
    const size_t start = m_chars->size();
    m_chars->insert(m_chars->end(), text.utf16(), text.utf16() + text.size());
    m_cells.push_back(Cell{Cell::Text, quint32(text.size()), {qint64(start)}});
}

void Recordset::addBlob(const QByteArray &bytes) {
    m_blobs.push_back(bytes);
    m_cells.push_back(Cell{Cell::Blob, 0, {qint64(m_blobs.size() - 1)}});
}

void Recordset::finishFill() {
    m_rows = m_fields.isEmpty() ? 0 : int(m_cells.size() / size_t(m_fields.size()));
    m_open = true;
    m_pos = 0;
}

void Recordset::load(QSqlQuery &query) {
    const QSqlRecord rec = query.record();
    QStringList fields;
    for (int i = 0; i < rec.count(); ++i)
        fields << rec.fieldName(i);
    beginFill(fields);
    const int n = int(fields.size());
    while (query.next()) {
        for (int i = 0; i < n; ++i) {
            const QVariant v = query.value(i);
            if (v.isNull())
                addNull();
            else if (v.typeId() == QMetaType::LongLong || v.typeId() == QMetaType::Int)
                addInt(v.toLongLong());
            else if (v.typeId() == QMetaType::Double)
                addDouble(v.toDouble());
            else if (v.typeId() == QMetaType::QByteArray)
                addBlob(v.toByteArray());
            else
                addText(v.toString());
        }
    }
    finishFill();
}

void Recordset::close() {
    m_fields.clear();
    m_cells = {};
    // A grid may still show the old texts: it keeps that pool, this snapshot starts a new one.
    m_chars = std::make_shared<std::vector<char16_t>>();
    m_blobs = {};
    m_rows = 0;
    m_pos = 0;
    m_open = false;
}
