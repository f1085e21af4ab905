#include "Recordset.h"
#include <QSqlQuery>
#include <QSqlRecord>
#include <algorithm>
#include <cstring>

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

QString Recordset::textOf(CellRef r) const {
    QString s;
    CellText::decodeInto(s, m_bytes->data() + r.offset(), CellText::lengthIn(m_bytes->data(), r));
    return s;
}

QVariant Recordset::at(int row, int field) const {
    const PodBuffer<CellRef> &cells = m_cols[size_t(field)];
    if (size_t(row) >= cells.size()) // handed over to a grid
        return {};
    const CellRef r = cells[size_t(row)];
    switch (r.kind()) {
    case CellRef::Pooled: return QVariant(textOf(r));
    case CellRef::Number: return QVariant(qlonglong(r.number()));
    case CellRef::Special: return r.offset() ? m_others[r.offset() - 1] : QVariant();
    case CellRef::Own: break;
    }
    return {};
}

QString Recordset::rawText(int row, int field) const {
    const PodBuffer<CellRef> &cells = m_cols[size_t(field)];
    if (size_t(row) < cells.size() && cells[size_t(row)].kind() == CellRef::Pooled)
        return textOf(cells[size_t(row)]);
    return at(row, field).toString();
}

PodBuffer<CellRef> Recordset::takeTexts(int field) {
    PodBuffer<CellRef> cells = std::move(m_cols[size_t(field)]);
    if (cells.size() != size_t(m_rows)) { // taken before: nothing left but nulls
        cells.resize(size_t(m_rows));
        return cells;
    }
    for (CellRef &r : cells) {
        if (r.kind() != CellRef::Special)
            continue;
        if (r.offset() == 0) {
            r = CellRef{};
        } else {
            const QByteArray text = m_others[r.offset() - 1].toString().toUtf8();
            r = CellText::append(*m_bytes, CellRef::Pooled, text.constData(), size_t(text.size()));
        }
    }
    return cells;
}

void Recordset::beginFill(QStringList fields) {
    close();
    m_fields = std::move(fields);
    m_cols.resize(size_t(m_fields.size()));
    // Nothing remembered yet: a null (Special) place matches no text.
    m_recent.assign(m_cols.size(), std::vector<CellRef>(size_t(1) << kRecentBits, CellRef::at(CellRef::Special, 0, 0)));
    m_trial.assign(m_cols.size(), Trial());
    m_fillField = 0;
}

void Recordset::addUtf8(const char *text, int bytes) {
    const auto n = size_t(bytes);
    Trial &trial = m_trial[m_fillField];
    if (n == 0 || n > size_t(kRecentLongest) || trial.off) {
        add(CellText::append(*m_bytes, CellRef::Pooled, text, n));
        return;
    }
    quint64 h = 0xcbf29ce484222325ull ^ n;
    for (size_t i = 0; i < n; i += 8) {
        quint64 word = 0;
        std::memcpy(&word, text + i, std::min<size_t>(8, n - i));
        h = (h ^ word) * 0x100000001b3ull;
        h ^= h >> 29;
    }
    CellRef &recent = m_recent[m_fillField][size_t(h >> (64 - kRecentBits))];
    if (recent.length == n && recent.kind() == CellRef::Pooled &&
        std::memcmp(m_bytes->data() + recent.offset(), text, n) == 0) {
        ++trial.found;
        add(recent);
        return;
    }
    if (++trial.missed == kTrialMisses)
        trial.off = trial.found < kTrialMisses / 8;
    recent = CellText::append(*m_bytes, CellRef::Pooled, text, n);
    add(recent);
}

void Recordset::addText(QStringView text) {
    const QByteArray utf8 = text.toUtf8();
    addUtf8(utf8.constData(), int(utf8.size()));
}

void Recordset::addOther(const QVariant &v) {
    m_others.push_back(v);
    if (m_others.size() >= CellRef::kOffsetLimit)
        throw std::length_error("query result holds too many values");
    add(CellRef::at(CellRef::Special, uint32_t(m_others.size()), 0));
}

void Recordset::finishFill() {
    m_rows = m_cols.empty() ? 0 : int(m_cols.back().size());
    m_recent = {};
    m_trial = {};
    for (PodBuffer<CellRef> &c : m_cols)
        c.shrinkToFit();
    m_bytes->shrinkToFit();
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
    m_recent = {};
    m_trial = {};
    // A grid may still show the old texts: it keeps that pool, this snapshot starts a new one.
    m_bytes = std::make_shared<BytePool>();
    m_others = {};
    m_rows = 0;
    m_pos = 0;
    m_open = false;
}
