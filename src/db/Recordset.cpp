#include "Recordset.h"
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStringDecoder>
#include <cstring>
#include <stdexcept>

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
    const Column &c = m_cols[size_t(field)];
    switch (c.kinds[size_t(row)]) {
    case Int: return QVariant(qlonglong(fromBits<qint64>(c.values[size_t(row)])));
    case Double: return QVariant(fromBits<double>(c.values[size_t(row)]));
    case Text: return QVariant(view(c.values[size_t(row)]).toString());
    case Blob: return QVariant(m_blobs[c.values[size_t(row)].offset]);
    default: break;
    }
    return {};
}

QString Recordset::rawText(int row, int field) const {
    const Column &c = m_cols[size_t(field)];
    if (c.kinds[size_t(row)] == Text) {
        const TextSpan v = c.values[size_t(row)];
        return QString::fromRawData(reinterpret_cast<const QChar *>(m_chars->data()) + v.offset, qsizetype(v.length));
    }
    return at(row, field).toString();
}

PodBuffer<TextSpan> Recordset::takeTexts(int field) {
    Column &c = m_cols[size_t(field)];
    if (c.values.size() != c.kinds.size()) { // taken before: nothing left but nulls
        PodBuffer<TextSpan> empty;
        empty.resize(c.kinds.size());
        return empty;
    }
    for (size_t r = 0; r < c.kinds.size(); ++r) {
        if (c.kinds[r] == Text)
            continue;
        if (c.kinds[r] == Int) { // a column of codes: a million of them, no QString each
            char16_t digits[24];
            const qint64 v = fromBits<qint64>(c.values[r]);
            quint64 u = v < 0 ? 0 - quint64(v) : quint64(v);
            int n = 24;
            do
                digits[--n] = char16_t(u'0' + u % 10);
            while (u /= 10);
            if (v < 0)
                digits[--n] = u'-';
            c.values[r] = appendChars(QStringView(digits + n, 24 - n));
        } else {
            c.values[r] = c.kinds[r] == Null ? TextSpan{} : appendChars(at(int(r), field).toString());
        }
        c.kinds[r] = Text;
    }
    PodBuffer<TextSpan> spans = std::move(c.values);
    std::memset(c.kinds.data(), Taken, c.kinds.size());
    return spans;
}

void Recordset::beginFill(QStringList fields) {
    close();
    m_fields = std::move(fields);
    m_cols.resize(size_t(m_fields.size()));
    m_fillField = 0;
}

void Recordset::addUtf8(const char *text, int bytes) {
    PodBuffer<char16_t> &chars = *m_chars;
    const size_t start = chars.size();
    if (start + size_t(bytes) > UINT32_MAX)
        throw std::length_error("query result exceeds 4G characters");
    // UTF-16 never needs more units than UTF-8 has bytes.
    chars.grow(size_t(bytes));
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
    add(Text, TextSpan{uint32_t(start), uint32_t(length)});
}

TextSpan Recordset::appendChars(QStringView text) {
    const size_t start = m_chars->size();
    if (start + size_t(text.size()) > UINT32_MAX)
        throw std::length_error("query result exceeds 4G characters");
    m_chars->append(text.utf16(), size_t(text.size()));
    return TextSpan{uint32_t(start), uint32_t(text.size())};
}

void Recordset::addText(QStringView text) { add(Text, appendChars(text)); }

void Recordset::addBlob(const QByteArray &bytes) {
    m_blobs.push_back(bytes);
    add(Blob, TextSpan{uint32_t(m_blobs.size() - 1), 0});
}

void Recordset::finishFill() {
    m_rows = m_cols.empty() ? 0 : int(m_cols.back().kinds.size());
    for (Column &c : m_cols) {
        c.kinds.shrinkToFit();
        c.values.shrinkToFit();
    }
    m_chars->shrinkToFit();
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
    m_cols.clear();
    // A grid may still show the old texts: it keeps that pool, this snapshot starts a new one.
    m_chars = std::make_shared<PodBuffer<char16_t>>();
    m_blobs = {};
    m_rows = 0;
    m_pos = 0;
    m_open = false;
}
