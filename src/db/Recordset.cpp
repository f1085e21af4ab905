#include "Recordset.h"
#include <QSqlQuery>
#include <QSqlRecord>

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

void Recordset::load(QSqlQuery &query) {
    close();
    const QSqlRecord rec = query.record();
    for (int i = 0; i < rec.count(); ++i)
        m_fields << rec.fieldName(i);
    const int n = int(m_fields.size());
    while (query.next()) {
        for (int i = 0; i < n; ++i)
            m_values.push_back(query.value(i));
        ++m_rows;
    }
    m_open = true;
    m_pos = 0;
}

void Recordset::close() {
    m_fields.clear();
    m_values.clear();
    m_values.shrink_to_fit();
    m_rows = 0;
    m_pos = 0;
    m_open = false;
}

void Recordset::assign(QStringList fields, std::vector<QVariant> values, int rows) {
    close();
    m_fields = std::move(fields);
    m_values = std::move(values);
    m_rows = rows;
    m_open = true;
}
