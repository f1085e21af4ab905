#pragma once
#include "ChartData.h"
#include "ChartKinds.h"
#include <QWidget>

class QChart;
class QChartView;
class QComboBox;

// The chart control of the chart window: keeps the labelled values, draws one page of them
// over Qt Charts and prints it. Settings take effect at the next DrawPage.
class ChartView : public QWidget {
    Q_OBJECT
public:
    explicit ChartView(QWidget *parent = nullptr);

    void FillGraphTypes(QComboBox *combo) const;
    void FillUnits(QComboBox *combo) const;
    void GraphType(int code) { m_options.kind = code; }
    void DataUnit(int code) { m_options.unit = code; }
    void BarColor(int bgr) { m_options.barColor = bgr; }
    void LineColor(int bgr) { m_options.lineColor = bgr; }
    void ShowValues(bool on) { m_options.showValues = on; }
    void HorizontalLines(bool on) { m_options.horizontalLines = on; }
    void FillBars(bool on) { m_options.fillBars = on; }
    void RotateVertText(bool on) { m_options.rotateVertText = on; }
    void MaxCols(qint16 n) { m_data.setMaxCols(n); }
    // Twips below the plot, where the item labels go.
    void BottomMargin(qint32 twips) { m_options.bottomMargin = twips; }

    void AddData(double value, const QString &label) { m_data.add(value, label); }
    void ClearData() { m_data.clear(); }
    int DataCount() const { return m_data.count(); }
    int PageCount() const { return m_data.pageCount(); }
    // Draws page number (clamped into the pages); without one, the page shown again.
    void DrawPage(int page);
    void DrawPage() { DrawPage(m_page); }
    // The shown page with the title above it, through the system's print dialog (which
    // also offers a PDF file). False when cancelled or when printing failed.
    bool PrintGraph(const QString &title);

    int currentPage() const { return m_page; }
    const ChartData &data() const { return m_data; }
    const ChartOptions &options() const { return m_options; }
    QChart *chart() const;

private:
    ChartData m_data;
    ChartOptions m_options;
    int m_page = 1;
    bool m_redrawPending = false;
    QChartView *m_view = nullptr;
};
