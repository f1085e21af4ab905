#include "Spread.h"
#include "PictureCache.h"
#include "SheetModel.h"
#include "SpreadDelegate.h"
#include <QAbstractButton>
#include <QCoreApplication>
#include <QFileInfo>
#include <QFontMetrics>
#include <QHeaderView>
#include <QScrollBar>
#include <QStyle>
#include <cmath>

Spread::Spread(QWidget *parent)
    : QTableView(parent), m_model(new SheetModel(this)), m_delegate(new SpreadDelegate(this)) {
    setModel(m_model);
    setItemDelegate(m_delegate);
    // A width unit is one digit of the default font, as the stored layouts count it; the
    // font's average character is narrower and would cut off codes and Korean headers.
    m_charWidth = std::max(1.0, QFontMetricsF(font()).horizontalAdvance(QLatin1Char('0')));
    m_model->setBaseFont(font());
    const double size = font().pointSizeF() > 0 ? font().pointSizeF() : 9;
    m_model->store().setFormat(-1, -1, &CellFormat::fontSize, size);
    m_model->store().setFormat(-1, 0, &CellFormat::fontSize, size);

    horizontalHeader()->setMinimumSectionSize(0);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setDefaultSectionSize(colWidthPx(m_model->store().colWidth(1)));
    horizontalHeader()->setHighlightSections(false);
    verticalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(pointsToPx(m_model->store().rowHeight(-1)));
    verticalHeader()->setHighlightSections(false);
    applyHeaderHeight();

    connect(horizontalHeader(), &QHeaderView::sectionResized, this, &Spread::onSectionResized);
    // A merged cell's text follows the top row on screen, which a scrolled copy would not.
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, [this] {
        if (m_delegate->drawsGrid)
            viewport()->update();
    });
    connect(horizontalHeader(), &QHeaderView::sectionClicked, this, &Spread::onHeaderClicked);
    connect(verticalHeader(), &QHeaderView::sectionClicked, this, [this](int r) { Q_EMIT cellClicked(0, r + 1); });
    for (QHeaderView *h : {horizontalHeader(), verticalHeader()}) {
        h->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(h, &QWidget::customContextMenuRequested, this, [this, h](const QPoint &pos) {
            const int section = h->logicalIndexAt(pos) + 1;
            const bool top = h->orientation() == Qt::Horizontal;
            Q_EMIT rightClicked(top ? section : 0, top ? 0 : section, h->mapToGlobal(pos));
        });
    }
    connect(this, &QAbstractItemView::clicked, this, [this](const QModelIndex &i) {
        Q_EMIT cellClicked(i.column() + 1, i.row() + 1);
        if (cellType(i.column() + 1, i.row() + 1) == CellType::Button)
            Q_EMIT buttonClicked(i.column() + 1, i.row() + 1);
    });
    connect(this, &QAbstractItemView::doubleClicked, this,
            [this](const QModelIndex &i) { Q_EMIT cellDoubleClicked(i.column() + 1, i.row() + 1); });
    if (auto *corner = findChild<QAbstractButton *>())
        corner->installEventFilter(this);
    setEditingGrid(false);
}

Spread::~Spread() = default;

const SheetStore &Spread::sheet() const { return m_model->store(); }

int Spread::arrayIndex() const {
    const QVariant index = property("Index");
    return index.isValid() ? index.toInt() : -1;
}

void Spread::setArrayIndex(int index) { setProperty("Index", index < 0 ? QVariant() : QVariant(index)); }

// ---- units

int Spread::colWidthPx(double chars) const { return int(std::lround(chars * m_charWidth)); }

double Spread::colWidthChars(int px) const { return std::round(px / m_charWidth * 100.0) / 100.0; }

int Spread::pointsToPx(double points) const { return int(std::lround(points * logicalDpiY() / 72.0)); }

// ---- size and shape

int Spread::maxRows() const { return sheet().maxRows(); }

void Spread::setMaxRows(int rows) {
    m_model->setMaxRows(rows);
    // An emptied grid starts a new list in its own order: no header may still claim a sort.
    if (rows <= 0) {
        m_sortCol = 0;
        horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    }
}

int Spread::maxCols() const { return sheet().maxCols(); }

void Spread::setMaxCols(int cols) {
    const int old = maxCols();
    m_syncing = true;
    m_model->setMaxCols(cols);
    m_syncing = false;
    for (int c = old + 1; c <= maxCols(); ++c)
        applyColumnToView(c);
}

int Spread::dataRowCnt() const { return sheet().dataRowCnt(); }

int Spread::colHeaderRows() const { return sheet().colHeaderRows(); }

void Spread::setColHeaderRows(int count) {
    m_model->setColHeaderRows(count);
    applyHeaderHeight();
}

double Spread::colWidth(int col) const { return sheet().colWidth(col); }

void Spread::setColWidth(int col, double chars) {
    m_model->store().setColWidth(col, chars);
    if (col == -1) {
        m_syncing = true;
        horizontalHeader()->setDefaultSectionSize(colWidthPx(chars));
        m_syncing = false;
        for (int c = 1; c <= maxCols(); ++c)
            applyColumnToView(c);
    } else {
        applyColumnToView(col);
    }
}

void Spread::applyColumnToView(int col) {
    m_syncing = true;
    if (col == 0) {
        m_rowHeaderWidthSet = true;
        verticalHeader()->setFixedWidth(colWidthPx(sheet().colWidth(0)));
    } else if (col >= 1 && col <= maxCols()) {
        horizontalHeader()->resizeSection(col - 1, colWidthPx(sheet().colWidth(col)));
        horizontalHeader()->setSectionHidden(col - 1, sheet().colHidden(col));
    }
    m_syncing = false;
}

double Spread::rowHeight(int row) const { return sheet().rowHeight(row); }

void Spread::setRowHeight(int row, double points) {
    m_model->store().setRowHeight(row, points);
    if (row == 0 || row == -1000) {
        applyHeaderHeight();
    } else if (row == -1) {
        verticalHeader()->setDefaultSectionSize(pointsToPx(points));
        syncRowsToView();
    } else {
        applyRowToView(row);
    }
}

void Spread::setDataRowHeight(double points) {
    setRowHeight(-1, points);
    setRowHeight(0, points + 2);
}

void Spread::growRowsToFont() {
    const double needed = std::ceil(QFontMetrics(font()).height() * 72.0 / logicalDpiY());
    if (rowHeight(-1) < needed)
        setDataRowHeight(needed);
}

void Spread::applyHeaderHeight() {
    horizontalHeader()->setFixedHeight(pointsToPx(sheet().rowHeight(0)) * colHeaderRows());
}

void Spread::applyRowToView(int row) {
    if (row < 1 || row > maxRows())
        return;
    // A hidden section keeps its size aside: show it before sizing it.
    const bool hide = sheet().rowHidden(row);
    if (!hide && QTableView::isRowHidden(row - 1))
        QTableView::setRowHidden(row - 1, false);
    const int px = pointsToPx(sheet().rowHeight(row));
    if (!hide && verticalHeader()->sectionSize(row - 1) != px)
        verticalHeader()->resizeSection(row - 1, px);
    if (hide && !QTableView::isRowHidden(row - 1))
        QTableView::setRowHidden(row - 1, true);
}

void Spread::syncRowsToView() {
    // Each hidden or resized section would otherwise relayout the whole header.
    const bool updates = updatesEnabled();
    setUpdatesEnabled(false);
    for (int r = 1; r <= maxRows(); ++r)
        applyRowToView(r);
    setUpdatesEnabled(updates);
}

bool Spread::colHidden(int col) const { return sheet().colHidden(col); }

void Spread::setColHidden(int col, bool hidden) {
    m_model->store().setColHidden(col, hidden);
    if (col == 0)
        verticalHeader()->setVisible(!hidden);
    for (int c = col == -1 ? 1 : col; c <= (col == -1 ? maxCols() : col); ++c)
        applyColumnToView(c);
}

bool Spread::rowHidden(int row) const { return sheet().rowHidden(row); }

void Spread::setRowHidden(int row, bool hidden) {
    m_model->store().setRowHidden(row, hidden);
    if (row == -1)
        syncRowsToView();
    else
        applyRowToView(row);
}

template <typename T> void Spread::setCellFormat(int col, int row, std::optional<T> CellFormat::*field,
                                                 std::type_identity_t<std::optional<T>> value) {
    m_model->store().setFormat(col, row, field, value);
    m_model->cellsChanged(col == -1 ? 0 : col, row == -1 ? 1 : row, col, row);
}

double Spread::fontSize(int col, int row) const { return sheet().format(col, row).fontSize; }

void Spread::setFontSize(int col, int row, double size) {
    setCellFormat(col, row, &CellFormat::fontSize, size);
    if (col == -1 && row == -1) {
        QFont f = font();
        f.setPointSizeF(size);
        setFont(f);
        m_model->setBaseFont(f);
        fitRowHeaderToCorner();
    }
}

bool Spread::fontBold(int col, int row) const { return sheet().format(col, row).bold; }

void Spread::setFontBold(int col, int row, bool bold) {
    setCellFormat(col, row, &CellFormat::bold, bold);
    if (col == -1 && row == -1) {
        QFont f = font();
        f.setBold(bold);
        setFont(f);
    }
}

QString Spread::fontName(int col, int row) const { return sheet().format(col, row).fontName; }

void Spread::setFontName(int col, int row, const QString &name) {
    setCellFormat(col, row, &CellFormat::fontName, name);
}

bool Spread::fontItalic(int col, int row) const { return sheet().format(col, row).italic; }

void Spread::setFontItalic(int col, int row, bool on) { setCellFormat(col, row, &CellFormat::italic, on); }

bool Spread::fontUnderline(int col, int row) const { return sheet().format(col, row).underline; }

void Spread::setFontUnderline(int col, int row, bool on) { setCellFormat(col, row, &CellFormat::underline, on); }

bool Spread::fontStrikeout(int col, int row) const { return sheet().format(col, row).strikeout; }

void Spread::setFontStrikeout(int col, int row, bool on) { setCellFormat(col, row, &CellFormat::strikeout, on); }

QColor Spread::colorOf(int col, int row, std::optional<QRgb> ResolvedFormat::*field) const {
    const std::optional<QRgb> c = sheet().format(col, row).*field;
    return c ? QColor::fromRgba(*c) : QColor();
}

namespace {
std::optional<QRgb> rgbOf(const QColor &c) { return c.isValid() ? std::optional<QRgb>(c.rgba()) : std::nullopt; }
} // namespace

QColor Spread::foreColor(int col, int row) const { return colorOf(col, row, &ResolvedFormat::foreColor); }

void Spread::setForeColor(int col, int row, const QColor &color) {
    setCellFormat(col, row, &CellFormat::foreColor, rgbOf(color));
}

QColor Spread::borderColor(int col, int row) const { return colorOf(col, row, &ResolvedFormat::borderColor); }

void Spread::setBorderColor(int col, int row, const QColor &color) {
    setCellFormat(col, row, &CellFormat::borderColor, rgbOf(color));
}

void Spread::insertRows(int row, int count) { m_model->insertSheetRows(row, count); }

void Spread::insertCols(int col, int count) {
    m_syncing = true;
    m_model->insertSheetCols(col, count);
    m_syncing = false;
    shiftLeftOutCols(col, count);
    for (int c = std::max(1, col); c <= maxCols(); ++c)
        applyColumnToView(c);
}

void Spread::deleteCols(int col, int count) {
    m_syncing = true;
    m_model->deleteSheetCols(col, count);
    m_syncing = false;
    shiftLeftOutCols(col, -count);
    for (int c = std::max(1, col); c <= maxCols(); ++c)
        applyColumnToView(c);
}

// The columns a report leaves out move with the columns, as their texts do.
void Spread::shiftLeftOutCols(int col, int by) {
    QSet<int> moved;
    for (const int c : std::as_const(m_print.leftOutCols)) {
        if (c < col)
            moved.insert(c);
        else if (by > 0 || c >= col - by)
            moved.insert(c + by);
    }
    m_print.leftOutCols = moved;
}

SheetStore::Merge Spread::colMerge(int col) const { return sheet().colMerge(col); }

void Spread::setColMerge(int col, SheetStore::Merge mode) {
    m_model->store().setColMerge(col, mode);
    bool anyMerge = false;
    for (int c = 1; c <= maxCols() && !anyMerge; ++c)
        anyMerge = sheet().colMerge(c) != SheetStore::Merge::None;
    if (anyMerge != m_delegate->drawsGrid) {
        m_delegate->drawsGrid = anyMerge;
        setShowGrid(!anyMerge);
    }
    m_model->cellsChanged(col, 1, col, -1);
}

QString Spread::colID(int col) const { return sheet().colId(col); }

void Spread::setColID(int col, const QString &id) { m_model->store().setColId(col, id); }

void Spread::deleteRows(int row, int count) { m_model->deleteSheetRows(row, count); }

// ---- cells

QString Spread::text(int col, int row) const { return sheet().text(col, row); }

void Spread::setText(int col, int row, const QString &text) {
    if (m_model->store().setText(col, row, text))
        m_model->cellsChanged(col, row, col, row);
    if (col == 0 && row == 0) {
        fitRowHeaderToCorner();
        if (auto *corner = findChild<QAbstractButton *>())
            corner->update();
    }
}

// The row header is as wide as its numbers: with fewer than 10 rows one digit, which would
// leave the corner's "No" a sliver.
void Spread::fitRowHeaderToCorner() {
    if (m_rowHeaderWidthSet)
        return;
    const int margin = style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, verticalHeader());
    const QString corner = text(0, 0);
    verticalHeader()->setMinimumWidth(corner.isEmpty() ? 0 : fontMetrics().horizontalAdvance(corner) + 2 * margin + 2);
}

void Spread::adoptTexts(int col, TextColumn::SharedPool pool, PodBuffer<CellRef> &&cells) {
    if (cells.empty())
        return;
    m_model->store().adoptTexts(col, std::move(pool), std::move(cells));
    m_model->cellsChanged(col, 1, col, maxRows());
}

QString Spread::headerText(int col, int headerRow) const { return sheet().headerText(col, headerRow); }

void Spread::setHeaderText(int col, int headerRow, const QString &text) {
    m_model->store().setHeaderText(col, headerRow, text);
    m_model->cellsChanged(col, 0, col, 0);
}

QVariant Spread::value(int col, int row) const { return text(col, row); }

void Spread::setValue(int col, int row, const QVariant &value) { setText(col, row, value.toString()); }

QString Spread::cellTag(int col, int row) const { return sheet().cellTag(col, row); }

void Spread::setCellTag(int col, int row, const QString &tag) { m_model->store().setCellTag(col, row, tag); }

CellType Spread::cellType(int col, int row) const { return sheet().format(col, row).type; }

void Spread::setCellType(int col, int row, CellType type) { setCellFormat(col, row, &CellFormat::type, type); }

int Spread::pictureFit(int col, int row) const { return sheet().format(col, row).pictureFit; }

void Spread::setPictureFit(int col, int row, int fit) { setCellFormat(col, row, &CellFormat::pictureFit, quint8(fit)); }

void Spread::setCellPicture(int col, int row, const QString &file) {
    m_model->store().setPicturePath(col, row, file);
    m_model->cellsChanged(col, row, col, row);
}

void Spread::reloadPicture(int col, int row, const QString &file) {
    m_model->pictures().forget(file);
    setCellPicture(col, row, file);
}

QString Spread::cellPictureFile(int col, int row) const { return sheet().picturePath(col, row); }

void Spread::setPictureSource(int col, int keyCol, const QString &prefix, const QString &suffix) {
    m_model->store().setPictureSource(col, keyCol, prefix, suffix);
    viewport()->update();
}

void Spread::setPictureSource(int col, int keyCol, SheetStore::PictureNamer nameOf) {
    m_model->store().setPictureSource(col, keyCol, std::move(nameOf));
    viewport()->update();
}

void Spread::setPictureFetcher(PictureCache::Fetcher fetcher) { m_model->pictures().setFetcher(std::move(fetcher)); }

bool Spread::hasCellPicture(int col, int row) const {
    if (cellType(col, row) != CellType::Picture)
        return false;
    const QString file = cellPictureFile(col, row);
    return !file.isEmpty() && QFileInfo::exists(file);
}

QImage Spread::cellPicture(int col, int row) const {
    return hasCellPicture(col, row) ? PictureCache::full(cellPictureFile(col, row)) : QImage();
}

HAlign Spread::typeHAlign(int col, int row) const { return sheet().format(col, row).hAlign; }

void Spread::setTypeHAlign(int col, int row, HAlign align) { setCellFormat(col, row, &CellFormat::hAlign, align); }

VAlign Spread::typeVAlign(int col, int row) const { return sheet().format(col, row).vAlign; }

void Spread::setTypeVAlign(int col, int row, VAlign align) { setCellFormat(col, row, &CellFormat::vAlign, align); }

bool Spread::lock(int col, int row) const { return sheet().format(col, row).locked; }

void Spread::setLock(int col, int row, bool locked) { setCellFormat(col, row, &CellFormat::locked, locked); }

bool Spread::protect() const { return m_model->protect(); }

void Spread::setProtect(bool on) { m_model->setProtect(on); }

void Spread::endEdit() {
    // Enter closes the editor by a queued call; one still waiting must not be closed twice.
    QCoreApplication::sendPostedEvents(m_delegate, QEvent::MetaCall);
    if (state() != QAbstractItemView::EditingState)
        return;
    if (QWidget *editor = indexWidget(currentIndex())) {
        commitData(editor);
        closeEditor(editor, QAbstractItemDelegate::NoHint);
    }
}

// ---- position and search

int Spread::activeRow() const { return currentIndex().isValid() ? currentIndex().row() + 1 : 0; }

int Spread::activeCol() const { return currentIndex().isValid() ? currentIndex().column() + 1 : 0; }

void Spread::setActiveCell(int col, int row) {
    const QModelIndex i = m_model->index(row - 1, col - 1);
    if (i.isValid())
        setCurrentIndex(i);
}

int Spread::topRow() const {
    const int r = rowAt(0);
    return r < 0 ? (maxRows() > 0 ? 1 : 0) : r + 1;
}

void Spread::setTopRow(int row) {
    if (row < 1 || row > maxRows())
        return;
    const int col = std::max(0, activeCol() - 1);
    scrollTo(m_model->index(row - 1, col), QAbstractItemView::PositionAtTop);
}

int Spread::searchRow(int row, int colStart, int colEnd, const QString &text, int flags) const {
    return sheet().searchRow(row, colStart, colEnd, text, flags);
}

int Spread::searchCol(int col, int rowStart, int rowEnd, const QString &text, int flags) const {
    return sheet().searchCol(col, rowStart, rowEnd, text, flags);
}

namespace {
// Bounding block of the selection, the active cell when nothing is selected (1-based).
QRect selectedBlock(const Spread *s) {
    QRect block;
    if (const QItemSelectionModel *sel = s->selectionModel())
        for (const QItemSelectionRange &r : sel->selection())
            block |= QRect(QPoint(r.left() + 1, r.top() + 1), QPoint(r.right() + 1, r.bottom() + 1));
    if (block.isNull())
        block = QRect(s->activeCol(), s->activeRow(), 1, 1);
    return block;
}
} // namespace

int Spread::selBlockCol() const { return selectedBlock(this).left(); }
int Spread::selBlockRow() const { return selectedBlock(this).top(); }
int Spread::selBlockCol2() const { return selectedBlock(this).right(); }
int Spread::selBlockRow2() const { return selectedBlock(this).bottom(); }

void Spread::setSelBlock(int col, int row, int col2, int row2) {
    const QModelIndex a = m_model->index(row - 1, col - 1), b = m_model->index(row2 - 1, col2 - 1);
    if (a.isValid() && b.isValid())
        selectionModel()->select(QItemSelection(a, b), QItemSelectionModel::ClearAndSelect);
}

// ---- redraw

void Spread::setRedraw(bool on) {
    m_redraw = on;
    m_model->setNotify(on);
    setUpdatesEnabled(on);
}

void Spread::refresh() {
    viewport()->update();
    horizontalHeader()->viewport()->update();
    verticalHeader()->viewport()->update();
}

QString GetSpreadText(const Spread *grid, int col, int row) {
    if (!grid)
        return {};
    // With no current cell, -2 has nothing to give (not the header).
    if (col == -2 && (col = grid->activeCol()) < 1)
        return {};
    if (row == -2 && (row = grid->activeRow()) < 1)
        return {};
    return grid->text(col, row);
}
