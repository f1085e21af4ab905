#pragma once
#include "HeaderFooterCode.h"
#include "SheetPrintProps.h"
#include <QFont>
#include <QHash>
#include <QRectF>
#include <QSizeF>
#include <vector>

class SheetModel;
class QPainter;

// Lays a grid out into printed pages by its print properties and paints any page onto any
// painter (a printer, a PDF writer, an image). The layout is made once, at construction;
// painting a page touches only that page's rows. All lengths are in twips.
//
// Pages go down the rows first, then across the columns when the printed columns do not
// fit the width. Fit to page (scaling method 1) scales the grid so that the printed columns
// fit the width of one page; the rows then flow onto as many pages as they need.
class SheetPrinter {
public:
    SheetPrinter(const SheetModel &model, const SheetPrintProps &props, QSizeF portraitPaper = a4());
    static QSizeF a4() { return {11906, 16838}; }

    // The paper as printed (landscape swaps the sides).
    QSizeF paperSize() const { return m_paper; }
    bool landscape() const { return m_props.orientation == 2; }
    // Every page of the layout.
    int pageCount() const { return int(m_rowPages.size()) * int(m_colBands.size()); }
    // The pages a print job sends, by the print type, in order.
    std::vector<int> printedPages() const;
    // The first row of each page after the first, going down the rows.
    std::vector<int> pageBreakRows() const;

    // Paints the page (1-based) with the sheet of paper mapped onto target (device units).
    void paintPage(QPainter &painter, int page, const QRectF &target) const;

    // Layout figures, for the preview and for tests.
    double scale() const { return m_scale; }
    QRectF gridArea() const { return m_gridArea; } // below the header, above the footer
    double headerHeight() const { return m_headerH; }
    double footerHeight() const { return m_footerH; }
    int firstRowOf(int page) const; // sheet rows; 0 when the page has none
    int lastRowOf(int page) const;
    std::vector<int> columnsOf(int page) const; // printed sheet columns, left to right

    // Why the margins cannot print on the paper (less than an inch left across or down), in
    // the user's words; empty when they can.
    static QString marginsRefusal(const SheetPrintProps &props);

    // Font names of the other platform mapped to what this machine has.
    static void installFontSubstitutes();
    // The font that prints a family whose text reads back wrong from a PDF.
    static QFont printableFont(const QFont &font);

private:
    struct Band {
        int first = 0, last = 0; // indices into m_cols
    };
    template <typename Extent>
    static std::vector<Band> bands(const std::vector<int> &items, double fixed, double page, Extent extentOf);
    void layOut();
    double textHeight(const HeaderFooterCode::Document &doc) const;
    void paintLines(QPainter &p, const HeaderFooterCode::Document &doc, double top, int page) const;
    void paintGrid(QPainter &p, const Band &rows, const Band &cols) const;
    QFont cellFont(int col, int row) const;
    QFont hfFont(const HeaderFooterCode::Font &f) const;
    double colWidth(int sheetCol) const;
    double rowHeight(int sheetRow) const;
    QString rowHeaderText(int row) const;

    const SheetModel &m_model;
    SheetPrintProps m_props;
    QSizeF m_paper;
    QFont m_baseFont;
    mutable QHash<QString, QFont> m_fonts; // cell fonts by size, style flags and name
    HeaderFooterCode::Font m_hfDefault;
    HeaderFooterCode::Document m_header, m_footer;
    double m_headerH = 0, m_footerH = 0;
    QRectF m_gridArea;
    double m_charWidth = 100;
    double m_scale = 1;
    double m_rowHeaderW = 0, m_colHeaderH = 0;
    std::vector<int> m_rows; // printed sheet rows
    std::vector<int> m_cols; // printed sheet columns
    std::vector<Band> m_rowPages;
    std::vector<Band> m_colBands;
};
