#pragma once
#include "PictureCache.h"
#include "SheetStore.h"
#include <QAbstractTableModel>
#include <QColor>
#include <QFont>

// The table model of a Spread: model row r is sheet row r + 1, model column c sheet
// column c + 1; the column-header row and the row-header column are the header data.
// The store is changed directly by the Spread, which then tells the model what changed;
// structural changes (row counts, sorting) go through the model so that views follow.
class SheetModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Roles {
        PictureRole = Qt::UserRole + 1, // QImage: the cell's picture, read on first request
        CellTypeRole,                   // int: CellType
        PictureFitRole,                 // int: PictureFit flags
        BorderColorRole,                // QColor: a line round the cell, none when invalid
    };

    explicit SheetModel(QObject *parent = nullptr);

    SheetStore &store() { return m_store; }
    const SheetStore &store() const { return m_store; }
    // Filled as cells are painted, also by a const painter.
    PictureCache &pictures() const { return m_pictures; }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

    // Structural changes, with the model's signals.
    void setMaxRows(int rows);
    void setMaxCols(int cols);
    void insertSheetRows(int row, int count);
    void insertSheetCols(int col, int count);
    void deleteSheetCols(int col, int count);
    void deleteSheetRows(int row, int count);
    void setColHeaderRows(int count);

    // Sheet cells (1-based, 0 = header row or row-header column) whose look changed.
    void cellsChanged(int col1, int row1, int col2, int row2);
    void everythingChanged();
    // While off, changes are collected and announced once when it is switched on again.
    void setNotify(bool on);
    bool notifying() const { return m_notify; }

    void setProtect(bool on) { m_protect = on; }
    bool protect() const { return m_protect; }
    void setBaseFont(const QFont &font) { m_baseFont = font; }
    void setOddEvenColors(const QColor &oddBack, const QColor &oddText, const QColor &evenBack, const QColor &evenText);
    void setHeaderColors(const QColor &back, const QColor &text);
    void setRowHeadersNumbered(bool on) { m_numberRows = on; }
    bool rowHeadersNumbered() const { return m_numberRows; }
    const QFont &baseFont() const { return m_baseFont; }
    // Invalid colours mean the style's own.
    QColor rowBack(int row) const { return row % 2 ? m_oddBack : m_evenBack; }
    QColor rowText(int row) const { return row % 2 ? m_oddText : m_evenText; }
    QColor headerBack() const { return m_headerBack; }
    QColor headerText() const { return m_headerText; }

private:
    QFont fontFor(const ResolvedFormat &fmt) const;
    bool isCellIndex(const QModelIndex &index) const;

    SheetStore m_store;
    mutable PictureCache m_pictures;
    mutable bool m_fetchQueued = false;
    // Pictures a paint queued are read once the paint is over, and their cells drawn again.
    void fetchAfterPaint() const;
    QFont m_baseFont;
    QColor m_oddBack, m_oddText, m_evenBack, m_evenText;
    QColor m_headerBack, m_headerText;
    bool m_protect = true;
    bool m_notify = true;
    bool m_pending = false;
    bool m_numberRows = true;
};
