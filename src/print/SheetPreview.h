#pragma once
#include <QAbstractScrollArea>
#include <QCache>
#include <QImage>
#include <memory>

class SheetPrinter;

// Shows printed pages as the print engine lays them out, painting only the pages on screen
// (and keeping a few rendered pages for repaints).
class SheetPreview : public QAbstractScrollArea {
    Q_OBJECT
public:
    enum ViewType { WholePage = 0, Percentage = 2, PageWidth = 3, PageHeight = 4, MultiplePages = 5 };

    explicit SheetPreview(QWidget *parent = nullptr);
    ~SheetPreview() override;

    // A new layout (after the settings changed); the current page stays where it can.
    void setPrinter(std::shared_ptr<const SheetPrinter> printer);
    const SheetPrinter *printer() const { return m_printer.get(); }
    int pageCount() const;

    void setView(ViewType type, int percentage, int multiH, int multiV);
    ViewType viewType() const { return m_type; }
    int percentage() const { return m_percentage; }
    int multiH() const { return m_multiH; }
    int multiV() const { return m_multiV; }
    // Pages on screen at once in the chosen view.
    int pagesShown() const { return m_type == MultiplePages && !m_zoomed ? m_multiH * m_multiV : 1; }

    int pageCurrent() const { return m_page; }
    void setPageCurrent(int page);

    // Switches between the chosen view and the magnified one.
    void toggleZoom();
    bool zoomed() const { return m_zoomed; }

    // Pages rendered so far (each at most once per size while cached).
    int renders() const { return m_renders; }
    // The screen rectangles of the pages shown, first page first.
    QList<QRect> pageRects() const;

Q_SIGNALS:
    void pageChanged(int page);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    double singlePageScale() const; // pixels per twip
    void updateScrollBars();
    QImage pageImage(int page, const QSize &size);

    std::shared_ptr<const SheetPrinter> m_printer;
    ViewType m_type = PageHeight;
    int m_percentage = 100, m_multiH = 1, m_multiV = 1;
    bool m_zoomed = false;
    int m_page = 1;
    int m_renders = 0;
    QCache<QString, QImage> m_cache;
};
