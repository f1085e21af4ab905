#pragma once
#include "CellFormat.h"
#include "PictureCache.h"
#include "SheetPrintProps.h"
#include "SheetStore.h"
#include "XlsWriter.h"
#include <QColor>
#include <QImage>
#include <QTableView>

class SheetModel;
class SheetStore;
class SpreadDelegate;
class QAbstractButton;

// The program's data grid: a QTableView over a SheetModel, addressed as the list windows
// address their grids. Rows and columns count from 1; row 0 is the column-header row,
// column 0 the row-header column and -1 means all rows or all columns. Column widths are in
// characters of the grid's initial font (what the layout files store), row heights in
// points. Where a name equals one of QTableView's (setRowHidden, setRowHeight) it hides it
// with these 1-based meanings.
class Spread : public QTableView {
    Q_OBJECT
public:
    explicit Spread(QWidget *parent = nullptr);
    ~Spread() override;

    SheetModel *sheetModel() const { return m_model; }
    const SheetStore &sheet() const;

    // Index within a control array (the "Index" property),
    // -1 when the grid is not a member of one.
    int arrayIndex() const;
    void setArrayIndex(int index);

    // Size and shape.
    int maxRows() const;
    void setMaxRows(int rows);
    int maxCols() const;
    void setMaxCols(int cols);
    int dataRowCnt() const;
    int colHeaderRows() const;
    void setColHeaderRows(int count);
    double colWidth(int col) const;
    void setColWidth(int col, double chars);
    // Row 0 or -1000: the header row; -1: every data row.
    double rowHeight(int row) const;
    void setRowHeight(int row, double points);
    // Every data row points high, the header row 2 points more.
    void setDataRowHeight(double points);
    // Data rows too low for the grid's font grow to hold it.
    void growRowsToFont();
    bool colHidden(int col) const;
    void setColHidden(int col, bool hidden);
    bool rowHidden(int row) const;
    void setRowHidden(int row, bool hidden);
    double fontSize(int col, int row) const;
    void setFontSize(int col, int row, double size);
    bool fontBold(int col, int row) const;
    void setFontBold(int col, int row, bool bold);
    // An empty name: the grid's font.
    QString fontName(int col, int row) const;
    void setFontName(int col, int row, const QString &name);
    bool fontItalic(int col, int row) const;
    void setFontItalic(int col, int row, bool on);
    bool fontUnderline(int col, int row) const;
    void setFontUnderline(int col, int row, bool on);
    bool fontStrikeout(int col, int row) const;
    void setFontStrikeout(int col, int row, bool on);
    // Text and border colours; an invalid colour gives the cells back to the broader level
    // (for the text, the grid's row colours; for the border, none).
    QColor foreColor(int col, int row) const;
    void setForeColor(int col, int row, const QColor &color);
    QColor borderColor(int col, int row) const;
    void setBorderColor(int col, int row, const QColor &color);
    // Columns enter before col and leave, maxCols() following.
    void insertCols(int col, int count);
    void deleteCols(int col, int count);
    SheetStore::Merge colMerge(int col) const;
    void setColMerge(int col, SheetStore::Merge mode);
    QString colID(int col) const;
    void setColID(int col, const QString &id);
    // Both keep maxRows(): inserted rows push the last rows out, deleted ones leave empty
    // rows at the end.
    void insertRows(int row, int count);
    void deleteRows(int row, int count);

    // Cells. text(col, 0) is the first header row, text(0, 0) the corner cell.
    QString text(int col, int row) const;
    void setText(int col, int row, const QString &text);
    // A whole column's texts as a query result keeps them (one span per row), without
    // copying them.
    void adoptTexts(int col, TextColumn::SharedPool pool, PodBuffer<CellRef> &&cells);
    QString headerText(int col, int headerRow) const;
    void setHeaderText(int col, int headerRow, const QString &text);
    // This grid has no number or date cells, so a value is the cell text.
    QVariant value(int col, int row) const;
    void setValue(int col, int row, const QVariant &value);
    QString cellTag(int col, int row) const;
    void setCellTag(int col, int row, const QString &tag);
    CellType cellType(int col, int row) const;
    void setCellType(int col, int row, CellType type);
    int pictureFit(int col, int row) const;
    void setPictureFit(int col, int row, int fit);
    // The picture file of a picture cell; it is read when the cell is first painted.
    void setCellPicture(int col, int row, const QString &file);
    // Pictures named after the text of keyCol (see SheetStore::setPictureSource).
    void setPictureSource(int col, int keyCol, const QString &prefix, const QString &suffix);
    void setPictureSource(int col, int keyCol, SheetStore::PictureNamer nameOf);
    // Picture files read through fetcher after the cells showing them are painted (a server's
    // pictures); none reads them as they paint.
    void setPictureFetcher(PictureCache::Fetcher fetcher);
    // As setCellPicture, for a file whose picture has just changed.
    void reloadPicture(int col, int row, const QString &file);
    QString cellPictureFile(int col, int row) const;
    // A picture cell whose file is there.
    bool hasCellPicture(int col, int row) const;
    // The full picture, read from its file.
    QImage cellPicture(int col, int row) const;
    HAlign typeHAlign(int col, int row) const;
    void setTypeHAlign(int col, int row, HAlign align);
    VAlign typeVAlign(int col, int row) const;
    void setTypeVAlign(int col, int row, VAlign align);
    bool lock(int col, int row) const;
    void setLock(int col, int row, bool locked);
    // Locked cells refuse input only while the grid is protected (the default).
    bool protect() const;
    void setProtect(bool on);
    // Closes an open cell editor, keeping what was typed.
    void endEdit();

    // Look.
    void setClassicAppearance();
    QColor shadowColor() const { return m_shadowColor; }
    QColor shadowText() const { return m_shadowText; }
    void setShadowColors(const QColor &back, const QColor &text);
    void setOddEvenRowColor(const QColor &oddBack, const QColor &oddText, const QColor &evenBack,
                            const QColor &evenText);
    QColor selBackColor() const;
    void setSelBackColor(const QColor &color);
    // One whole row selected at a time, no blocks.
    bool singleRowSelect() const;
    void setSingleRowSelect(bool on);
    bool blockSelect() const;
    void setBlockSelect(bool on);
    // A tip with the whole text over a cell whose text does not fit.
    bool textTip() const;
    void setTextTip(bool on);
    bool rowHeadersShow() const;
    void setRowHeadersShow(bool on);
    // An editing grid keeps an editor on the current cell and typing replaces its text.
    bool editingGrid() const { return m_editing; }
    void setEditingGrid(bool on);
    // The keys that act on the current cell by themselves (F2 edit); off in list grids.
    void setActionKeysEnabled(bool on);

    // Behaviour.
    bool sortByHeader() const { return m_sortByHeader; }
    void setSortByHeader(bool on);
    void sortRows(int col, bool ascending);

    // Position and search.
    int activeRow() const;
    int activeCol() const;
    void setActiveCell(int col, int row);
    int topRow() const;
    void setTopRow(int row);
    enum SearchFlags { SearchWhole = 0, SearchPartial = 2 };
    int searchRow(int row, int colStart, int colEnd, const QString &text, int flags) const;
    int searchCol(int col, int rowStart, int rowEnd, const QString &text, int flags) const;
    int selBlockCol() const;
    int selBlockRow() const;
    int selBlockCol2() const;
    int selBlockRow2() const;
    void setSelBlock(int col, int row, int col2, int row2);

    // The window whose report-column choice (ReportColumns) printing follows; empty when the
    // window asks for none and every visible column prints.
    QString reportColumnsWindow() const { return m_reportColumnsWindow; }
    void setReportColumnsWindow(const QString &windowName) { m_reportColumnsWindow = windowName; }

    // What and how the grid prints (the print engine reads them).
    const SheetPrintProps &printProps() const { return m_print; }
    SheetPrintProps &printProps() { return m_print; }

    // Spreadsheet export of the rows and visible columns; headerRows leading rows are header
    // rows, repeated on every further sheet. Both write a log when logFile is given.
    XlsResult exportToExcel(const QString &file, const QString &sheetName, const QString &logFile, int headerRows = 0);
    XlsResult exportExcelBook(const QString &file, const QString &logFile, int headerRows = 0);

    bool redraw() const { return m_redraw; }
    void setRedraw(bool on);
    void refresh();

    // Unit conversions of this grid.
    int colWidthPx(double chars) const;
    double colWidthChars(int px) const;
    int pointsToPx(double points) const;

    // Windows key code of a Qt key (letters and digits as they are, 13 Enter, 116 F5...),
    // 0 for keys without one; and the shift state (1 Shift, 2 Ctrl, 4 Alt).
    static int keyCodeOf(int qtKey);
    static int shiftStateOf(Qt::KeyboardModifiers mods);

Q_SIGNALS:
    void cellClicked(int col, int row);
    void cellDoubleClicked(int col, int row);
    void buttonClicked(int col, int row);
    // Set *consumed to keep the grid from handling the key itself.
    void keyDown(int keyCode, int shift, bool *consumed);
    void keyPress(const QString &text);
    void rightClicked(int col, int row, const QPoint &globalPos);
    // A cell editor opened (entering) or closed.
    void editMode(int col, int row, bool entering);
    // The user dragged column borders; col1..col2 changed width.
    void colWidthChanged(int col1, int col2);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    bool event(QEvent *event) override;
    // Typing a letter must not move the cursor: Enter would then pick another row.
    void keyboardSearch(const QString &) override {}
    void contextMenuEvent(QContextMenuEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    bool edit(const QModelIndex &index, EditTrigger trigger, QEvent *event) override;
    void closeEditor(QWidget *editor, QAbstractItemDelegate::EndEditHint hint) override;

private:
    void onSectionResized(int logical, int oldSize, int newSize);
    void onHeaderClicked(int logical);
    void applyColumnToView(int col);
    void applyRowToView(int row);
    void applyHeaderHeight();
    void syncRowsToView();
    void paintCorner(QAbstractButton *corner);
    void fitRowHeaderToCorner();
    void shiftLeftOutCols(int col, int by);
    template <typename T> void setCellFormat(int col, int row, std::optional<T> CellFormat::*field,
                                             std::type_identity_t<std::optional<T>> value);
    // The colour of a format field, invalid when unset.
    QColor colorOf(int col, int row, std::optional<QRgb> ResolvedFormat::*field) const;

    SheetModel *m_model = nullptr;
    SpreadDelegate *m_delegate = nullptr;
    double m_charWidth = 7;
    bool m_syncing = false;
    bool m_rowHeaderWidthSet = false; // a layout's width for column 0 wins over the corner's text
    bool m_redraw = true;
    bool m_editing = false;
    bool m_actionKeys = true;
    bool m_sortByHeader = false;
    int m_sortCol = 0;
    bool m_sortAscending = true;
    QColor m_shadowColor, m_shadowText;
    SheetPrintProps m_print;
    QString m_reportColumnsWindow;
};

// The text of a cell, -2 standing for the active column or row; empty when the grid has
// no such cell.
QString GetSpreadText(const Spread *grid, int col, int row);
