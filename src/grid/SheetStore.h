#pragma once
#include "CellFormat.h"
#include "TextColumn.h"
#include <QHash>
#include <QString>
#include <functional>
#include <memory>
#include <type_traits>
#include <vector>

// The cells of one grid, without any widget: texts column by column, sparse formats, tags
// and picture files, hidden flags and sizes. Rows and columns count from 1; row 0 is the
// column-header row and column 0 the row-header column; -1 means all where noted.
class SheetStore {
public:
    enum SearchFlags { SearchWhole = 0, SearchPartial = 2 };

    SheetStore();

    int maxRows() const { return m_maxRows; }
    int maxCols() const { return m_maxCols; }
    void setMaxRows(int rows);
    void setMaxCols(int cols);
    // Last row holding text or a picture in any column, 0 when none.
    int dataRowCnt() const;
    int colHeaderRows() const { return int(m_header.size()); }
    void setColHeaderRows(int count);

    bool isCell(int col, int row) const { return col >= 0 && col <= m_maxCols && row >= 0 && row <= m_maxRows; }
    // Row 0 is the first column-header row; column 0 holds the row-header texts.
    QString text(int col, int row) const;
    // The text without a copy where the cell holds it as such, else decoded into scratch.
    QStringView textView(int col, int row, QString &scratch) const;
    bool setText(int col, int row, QStringView text);
    // Header row k counts from 1 to colHeaderRows().
    // Every row of a column shows a cell of a query result where it is (TextColumn::adopt).
    void adoptTexts(int col, TextColumn::SharedPool pool, PodBuffer<CellRef> &&cells);
    QString headerText(int col, int k) const;
    void setHeaderText(int col, int k, const QString &text);

    QString cellTag(int col, int row) const;
    void setCellTag(int col, int row, const QString &tag);

    // The cell's own picture file, else the one its column's picture source names.
    QString picturePath(int col, int row) const;
    void setPicturePath(int col, int row, QStringView path);
    // Picture files named after another column's text (prefix + text + suffix) for every row
    // without a file of its own; whether the file is there is found out when it is shown.
    // keyCol 0 stops it. The key column moves with inserted and deleted columns.
    void setPictureSource(int col, int keyCol, const QString &prefix, const QString &suffix);
    // The same with the file named by a function of the key text (called only for a non-empty
    // key, when the cell is shown); an empty name is no picture.
    using PictureNamer = std::function<QString(QStringView key)>;
    void setPictureSource(int col, int keyCol, PictureNamer nameOf);

    // col/row -1 address a whole column, a whole row or (both) every data cell; row 0 with
    // col -1 the whole header row. Setting a broad range overrides narrower settings; an
    // empty value gives the range back to the broader level.
    template <typename T>
    void setFormat(int col, int row, std::optional<T> CellFormat::*field, std::type_identity_t<std::optional<T>> value);
    ResolvedFormat format(int col, int row) const;
    // True when the cell's font differs from the sheet's data font.
    bool hasOwnFont(int col, int row) const;
    const CellFormat &sheetFormat() const { return m_sheetFmt; }

    // Widths in characters; col -1 sets every column, 0 is the row-header column.
    double colWidth(int col) const;
    void setColWidth(int col, double width);
    // Equal consecutive texts of a column shown as one cell: never, always, or only inside
    // the spans of the column to its left (which then must merge itself).
    enum class Merge : quint8 { None = 0, Always = 1, Restricted = 2 };
    Merge colMerge(int col) const;
    void setColMerge(int col, Merge mode);
    // True when the cell joins the one above it into one merged cell.
    bool mergesWithAbove(int col, int row) const;
    // A free identifier text per column.
    QString colId(int col) const;
    void setColId(int col, const QString &id);
    // Empty columns enter before col (maxCols() grows); deleteCols removes them (it shrinks).
    void insertCols(int col, int count);
    void deleteCols(int col, int count);
    // Last column holding text or a picture in any data row, 0 when none.
    int dataColCnt() const;

    bool colHidden(int col) const;
    void setColHidden(int col, bool hidden);
    bool rowHidden(int row) const;
    void setRowHidden(int row, bool hidden);
    // Heights in points: row 0 (or -1000) the header row, -1 every data row.
    double rowHeight(int row) const;
    void setRowHeight(int row, double points);
    bool rowHasOwnHeight(int row) const;
    // Some row is hidden or has a height of its own (else rows can move without the view).
    bool rowsDiffer() const;

    // Empty rows enter before row; the rows below move down and the last ones drop off,
    // so maxRows() stays. deleteRows moves the rows below up and leaves empty rows at the end.
    void insertRows(int row, int count);
    void deleteRows(int row, int count);

    // The order that sorts rows 1..dataRowCnt() by the column (numbers by value, texts
    // without regard to case, empty cells last, ties in their old order). newOrder[i] is the
    // old row (1-based) for row i + 1.
    std::vector<int> sortOrder(int col, bool ascending) const;
    void permuteRows(const std::vector<int> &newOrder);

    // First column after colStart up to colEnd (-1: the last) whose text matches, or -1.
    int searchRow(int row, int colStart, int colEnd, const QString &text, int flags) const;
    // First row after rowStart up to rowEnd (-1: the last) whose text matches, or -1.
    int searchCol(int col, int rowStart, int rowEnd, const QString &text, int flags) const;
    static bool matches(QStringView cell, const QString &text, int flags);

private:
    struct Column {
        TextColumn text;
        std::unique_ptr<TextColumn> pictures; // created with the first picture
        int pictureKeyCol = 0;                // picture source: 0 none
        QString picturePrefix, pictureSuffix;
        PictureNamer pictureName; // when set, instead of prefix + key + suffix
        double width = 9;
        bool hidden = false;
        Merge merge = Merge::None;
        QString id;
        CellFormat fmt;
    };
    struct RowAttr {
        float height = 0; // 0: the default height
        bool hidden = false;
    };
    static quint64 key(int col, int row) { return (quint64(quint32(col)) << 32) | quint32(row); }
    static int keyCol(quint64 k) { return int(k >> 32); }
    static int keyRow(quint64 k) { return int(quint32(k)); }
    template <typename V, typename F> static void remapRows(QHash<quint64, V> &map, F newRowOf);
    template <typename V, typename F> static void remapCols(QHash<quint64, V> &map, F newColOf);
    template <typename Pred, typename Clear> void clearCellField(Pred pred, Clear clear) {
        for (auto it = m_cellFmt.begin(); it != m_cellFmt.end();) {
            if (pred(keyCol(it.key()), keyRow(it.key()))) {
                clear(it.value());
                if (it.value().isEmpty()) {
                    it = m_cellFmt.erase(it);
                    continue;
                }
            }
            ++it;
        }
    }

    int m_maxRows = 0;
    int m_maxCols = 0;
    std::vector<Column> m_cols;                 // index 0: the row-header column
    std::vector<RowAttr> m_rows;                // index row - 1
    std::vector<std::vector<QString>> m_header; // [header row - 1][col]
    CellFormat m_sheetFmt;
    CellFormat m_headerFmt;
    double m_defaultRowHeight = 13.5;
    double m_headerRowHeight = 14;
    QHash<quint64, CellFormat> m_cellFmt;
    QHash<quint64, QString> m_tags;
};

template <typename T> void SheetStore::setFormat(int col, int row, std::optional<T> CellFormat::*field,
                                                 std::type_identity_t<std::optional<T>> value) {
    if (col > m_maxCols || row > m_maxRows || col < -1 || row < -1)
        return;
    if (col == -1 && row == -1) {
        m_sheetFmt.*field = value;
        for (size_t c = 1; c < m_cols.size(); ++c)
            (m_cols[c].fmt.*field).reset();
        clearCellField([](int, int r) { return r > 0; }, [field](CellFormat &f) { (f.*field).reset(); });
    } else if (col == -1 && row == 0) {
        m_headerFmt.*field = value;
        clearCellField([](int, int r) { return r == 0; }, [field](CellFormat &f) { (f.*field).reset(); });
    } else if (col == -1) {
        for (int c = 1; c <= m_maxCols; ++c)
            m_cellFmt[key(c, row)].*field = value;
    } else if (row == -1) {
        m_cols[size_t(col)].fmt.*field = value;
        clearCellField([col](int c, int r) { return c == col && r > 0; },
                       [field](CellFormat &f) { (f.*field).reset(); });
    } else {
        m_cellFmt[key(col, row)].*field = value;
    }
}
