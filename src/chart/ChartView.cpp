#include "ChartView.h"
#include "ChartDrawing.h"
#include "ChartPrint.h"
#include "Messages.h"
#include "PrinterChoice.h"
#include "Prompter.h"
#include <QApplication>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QPrinter>
#include <QVBoxLayout>
#include <algorithm>

ChartView::ChartView(QWidget *parent) : QWidget(parent) {
    setObjectName(QStringLiteral("KVGraph"));
    auto *chart = new QChart;
    chart->legend()->hide();
    chart->setBackgroundRoundness(0);
    m_view = new QChartView(chart, this);
    m_view->setRenderHint(QPainter::Antialiasing);
    // A page replaces every item; repainting all of it leaves nothing of the last one behind.
    m_view->setViewportUpdateMode(QGraphicsView::FullViewportUpdate);
    auto *lay = new QVBoxLayout(this);
    lay->setContentsMargins(0, 0, 0, 0);
    lay->addWidget(m_view);
    // Labels are cut to the width the chart has: drawn again once the chart's own layout
    // for the new size is done, not from inside it.
    connect(chart, &QGraphicsWidget::geometryChanged, this, [this] {
        if (m_redrawPending)
            return;
        m_redrawPending = true;
        QMetaObject::invokeMethod(
            this,
            [this] {
                m_redrawPending = false;
                DrawPage();
            },
            Qt::QueuedConnection);
    });
}

QChart *ChartView::chart() const { return m_view->chart(); }

void ChartView::FillGraphTypes(QComboBox *combo) const {
    combo->clear();
    combo->addItems(ChartKinds::kindNames());
}

void ChartView::FillUnits(QComboBox *combo) const {
    combo->clear();
    combo->addItems(ChartKinds::unitNames());
}

void ChartView::DrawPage(int page) {
    m_page = std::clamp(page, 1, m_data.pageCount());
    ChartDrawing::draw(*chart(), m_data, m_page, m_options, font());
}

bool ChartView::PrintGraph(const QString &title) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(title);
    printer.setPageOrientation(QPageLayout::Landscape);
    PrinterChoice::applyTo(printer);
    PrinterChoice::offerPdfFile(printer, title);
    if (!prompter().printDialog(printer))
        return false;
    PrinterChoice::takeFrom(printer);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool ok = printChart(printer, m_data, m_page, m_options, title);
    QApplication::restoreOverrideCursor();
    if (!ok)
        MsgWarn(QStringLiteral("인쇄하지 못했습니다. 프린터를 확인하세요."));
    return ok;
}
