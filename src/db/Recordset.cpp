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
    if (!m_special[size_t(field)])
        return cells;
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
    m_special.assign(m_cols.size(), false);
    m_fillField = 0;
}

namespace {
// Short texts only: the first and last eight bytes and the length. Texts that differ only
// in between land on one place and merely miss each other.
quint64 shortTextHash(const char *text, size_t n) {
    quint64 a = 0, b = 0;
    if (n >= 8) {
        std::memcpy(&a, text, 8);
        std::memcpy(&b, text + n - 8, 8);
    } else if (n >= 4) {
        quint32 x = 0, y = 0;
        std::memcpy(&x, text, 4);
        std::memcpy(&y, text + n - 4, 4);
        a = x;
        b = y;
    } else {
        a = quint64(quint8(text[0])) | quint64(quint8(text[n / 2])) << 8 | quint64(quint8(text[n - 1])) << 16;
    }
    quint64 h = (a ^ 0x9e3779b97f4a7c15ull * n) * 0xbf58476d1ce4e5b9ull;
    h ^= (b + (h >> 31)) * 0x94d049bb133111ebull;
    return h ^ (h >> 29);
}

// Equal short texts (at most 24 bytes), in a few loads instead of a call.
bool sameShortText(const char *a, const char *b, size_t n) {
    const auto load8 = [](const char *p) {
        quint64 v;
        std::memcpy(&v, p, 8);
        return v;
    };
    if (n >= 8)
        return load8(a) == load8(b) && load8(a + n - 8) == load8(b + n - 8) &&
               (n <= 16 || load8(a + 8) == load8(b + 8));
    if (n >= 4) {
        quint32 x, y, z, w;
        std::memcpy(&x, a, 4);
        std::memcpy(&y, b, 4);
        std::memcpy(&z, a + n - 4, 4);
        std::memcpy(&w, b + n - 4, 4);
        return x == y && z == w;
    }
    return a[0] == b[0] && a[n / 2] == b[n / 2] && a[n - 1] == b[n - 1];
}
} // namespace

void Recordset::addUtf8(const char *text, int bytes) {
    const auto n = size_t(bytes);
    Trial &trial = m_trial[m_fillField];
    if (n == 0 || n > size_t(kRecentLongest) || trial.off) {
        addPooled(text, n);
        return;
    }
    CellRef &recent = m_recent[m_fillField][size_t(shortTextHash(text, n) >> (64 - kRecentBits))];
    if (recent.length == n && recent.kind() == CellRef::Pooled &&
        sameShortText(m_bytes->data() + recent.offset(), text, n)) {
        ++trial.found;
        add(recent);
        return;
    }
    if (++trial.missed == kTrialMisses)
        trial.off = trial.found < kTrialMisses / 8;
    recent = addPooled(text, n);
}

void Recordset::addText(QStringView text) {
    const QByteArray utf8 = text.toUtf8();
    addUtf8(utf8.constData(), int(utf8.size()));
}

void Recordset::addOther(const QVariant &v) {
    m_others.push_back(v);
    if (m_others.size() >= CellRef::kOffsetLimit)
        throw std::length_error("query result holds too many values");
    addSpecial(uint32_t(m_others.size()));
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
    m_special.clear();
    m_recent = {};
    m_trial = {};
    // A grid may still show the old texts: it keeps that pool, this snapshot starts a new one.
    m_bytes = std::make_shared<BytePool>();
    m_others = {};
    m_rows = 0;
    m_pos = 0;
    m_open = false;
}
