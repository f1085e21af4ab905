#pragma once
#include <QString>
#include <vector>

// The labelled values of a chart and how they fall into pages of maxCols items. An empty
// chart is one empty page, so a window always has a page to show.
class ChartData {
public:
    struct Page {
        int first = 0; // index of the page's first item
        int count = 0;
    };

    void add(double value, const QString &label);
    void clear();
    int count() const { return int(m_values.size()); }
    double value(int i) const { return m_values[size_t(i)]; }
    const QString &label(int i) const { return m_labels[size_t(i)]; }

    // Items per page; values below 1 count as 1.
    void setMaxCols(int n);
    int maxCols() const { return m_maxCols; }
    int pageCount() const;
    // The items of page number (from 1), the number clamped into 1..pageCount().
    Page page(int number) const;

private:
    std::vector<double> m_values;
    std::vector<QString> m_labels;
    int m_maxCols = 50;
};
