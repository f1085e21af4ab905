#include "ChartData.h"
#include <algorithm>

void ChartData::add(double value, const QString &label) {
    m_values.push_back(value);
    m_labels.push_back(label);
}

void ChartData::clear() {
    m_values.clear();
    m_labels.clear();
}

void ChartData::setMaxCols(int n) { m_maxCols = std::max(1, n); }

int ChartData::pageCount() const { return int(std::max<qint64>(1, (qint64(count()) + m_maxCols - 1) / m_maxCols)); }

ChartData::Page ChartData::page(int number) const {
    const int n = std::clamp(number, 1, pageCount());
    const int first = (n - 1) * m_maxCols;
    return {first, std::min(m_maxCols, count() - first)};
}
