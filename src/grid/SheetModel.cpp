#include "SheetModel.h"
#include "PageRecycler.h"
#include <QTimer>
#include <QUrl>

namespace {
Qt::Alignment toQt(HAlign h, VAlign v) {
    Qt::Alignment a = h == HAlign::Center ? Qt::AlignHCenter : (h == HAlign::Right ? Qt::AlignRight : Qt::AlignLeft);
    return a | (v == VAlign::Top ? Qt::AlignTop : (v == VAlign::Bottom ? Qt::AlignBottom : Qt::AlignVCenter));
}
} // namespace

SheetModel::SheetModel(QObject *parent) : QAbstractTableModel(parent) {}

bool SheetModel::isCellIndex(const QModelIndex &index) const {
    return index.isValid() && index.model() == this && index.row() < m_store.maxRows() &&
           index.column() < m_store.maxCols();
}

int SheetModel::rowCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : m_store.maxRows(); }

int SheetModel::columnCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : m_store.maxCols(); }

QFont SheetModel::fontFor(const ResolvedFormat &fmt) const {
    QFont f = m_baseFont;
    if (!fmt.fontName.isEmpty())
        f.setFamily(fmt.fontName);
    if (fmt.fontSize > 0)
        f.setPointSizeF(fmt.fontSize);
    f.setBold(fmt.bold);
    f.setItalic(fmt.italic);
    f.setUnderline(fmt.underline);
    f.setStrikeOut(fmt.strikeout);
    return f;
}

QVariant SheetModel::data(const QModelIndex &index, int role) const {
    if (!isCellIndex(index))
        return {};
    const int col = index.column() + 1, row = index.row() + 1;
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole: return m_store.text(col, row);
    case Qt::TextAlignmentRole: {
        const ResolvedFormat f = m_store.format(col, row);
        return QVariant::fromValue(toQt(f.hAlign, f.vAlign));
    }
    case Qt::FontRole:
        if (m_store.hasOwnFont(col, row))
            return fontFor(m_store.format(col, row));
        return {};
    case Qt::BackgroundRole: {
        const QColor &c = row % 2 ? m_oddBack : m_evenBack;
        return c.isValid() ? QVariant(c) : QVariant();
    }
    case Qt::ForegroundRole: {
        if (const auto own = m_store.format(col, row).foreColor)
            return QColor::fromRgba(*own);
        const QColor &c = row % 2 ? m_oddText : m_evenText;
        return c.isValid() ? QVariant(c) : QVariant();
    }
    case BorderColorRole: {
        const auto border = m_store.format(col, row).borderColor;
        return border ? QVariant(QColor::fromRgba(*border)) : QVariant();
    }
    case PictureRole: {
        if (m_store.format(col, row).type != CellType::Picture)
            return {};
        const QImage thumb = m_pictures.thumbnail(m_store.picturePath(col, row));
        if (m_pictures.hasPending())
            fetchAfterPaint();
        return thumb;
    }
    case Qt::ToolTipRole: {
        // A thumbnail a row high is hard to make out: the tip shows the picture larger.
        if (m_store.format(col, row).type != CellType::Picture)
            return {};
        const QString path = m_store.picturePath(col, row);
        const QImage thumb = m_pictures.thumbnailNow(path);
        if (thumb.isNull())
            return {};
        const QSize size = thumb.size().scaled(200, 200, Qt::KeepAspectRatio);
        return QStringLiteral("<img src=\"%1\" width=\"%2\" height=\"%3\">")
            .arg(QUrl::fromLocalFile(path).toString().toHtmlEscaped())
            .arg(size.width())
            .arg(size.height());
    }
    case CellTypeRole: return int(m_store.format(col, row).type);
    case PictureFitRole: return int(m_store.format(col, row).pictureFit);
    default: return {};
    }
}

bool SheetModel::setData(const QModelIndex &index, const QVariant &value, int role) {
    if (role != Qt::EditRole || !isCellIndex(index) || !(flags(index) & Qt::ItemIsEditable))
        return false;
    m_store.setText(index.column() + 1, index.row() + 1, value.toString());
    Q_EMIT dataChanged(index, index, {Qt::DisplayRole, Qt::EditRole});
    return true;
}

QVariant SheetModel::headerData(int section, Qt::Orientation orientation, int role) const {
    const bool horizontal = orientation == Qt::Horizontal;
    const int col = horizontal ? section + 1 : 0;
    const int row = horizontal ? 0 : section + 1;
    if (section < 0 || (horizontal ? section >= m_store.maxCols() : section >= m_store.maxRows()))
        return {};
    switch (role) {
    case Qt::DisplayRole: {
        if (!horizontal) {
            const QString t = m_store.text(0, row);
            return t.isEmpty() && m_numberRows ? QString::number(row) : t;
        }
        QStringList lines;
        for (int k = 1; k <= m_store.colHeaderRows(); ++k)
            lines << m_store.headerText(col, k);
        return lines.join(QLatin1Char('\n'));
    }
    case Qt::FontRole: return fontFor(m_store.format(col, horizontal ? 0 : row));
    case Qt::TextAlignmentRole: {
        const ResolvedFormat f = m_store.format(col, row);
        return QVariant::fromValue(toQt(f.hAlign, f.vAlign));
    }
    case Qt::BackgroundRole: return m_headerBack.isValid() ? QVariant(m_headerBack) : QVariant();
    case Qt::ForegroundRole: return m_headerText.isValid() ? QVariant(m_headerText) : QVariant();
    default: return {};
    }
}

Qt::ItemFlags SheetModel::flags(const QModelIndex &index) const {
    if (!isCellIndex(index))
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    const ResolvedFormat fmt = m_store.format(index.column() + 1, index.row() + 1);
    if (fmt.type == CellType::Edit && !(m_protect && fmt.locked))
        f |= Qt::ItemIsEditable;
    return f;
}

void SheetModel::sort(int column, Qt::SortOrder order) {
    if (column < 0 || column >= m_store.maxCols())
        return;
    const std::vector<int> newOrder = m_store.sortOrder(column + 1, order == Qt::AscendingOrder);
    Q_EMIT layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    std::vector<int> newRowOf(static_cast<size_t>(m_store.maxRows()));
    for (size_t i = 0; i < newRowOf.size(); ++i)
        newRowOf[i] = int(i);
    for (size_t i = 0; i < newOrder.size(); ++i)
        newRowOf[size_t(newOrder[i] - 1)] = int(i);
    const QModelIndexList from = persistentIndexList();
    QModelIndexList to;
    to.reserve(from.size());
    for (const QModelIndex &i : from)
        to << index(newRowOf[size_t(i.row())], i.column());
    {
        // Every column moves into new cells: each takes the pages the one before it left
        // (begun after the sort keys went, which no column could take).
        PageRecycler pages;
        m_store.permuteRows(newOrder);
    }
    changePersistentIndexList(from, to);
    Q_EMIT layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void SheetModel::fetchAfterPaint() const {
    if (m_fetchQueued)
        return;
    m_fetchQueued = true;
    QTimer::singleShot(0, const_cast<SheetModel *>(this), [this] {
        m_fetchQueued = false;
        if (m_pictures.fetchPending() > 0 && rowCount() > 0 && columnCount() > 0)
            Q_EMIT const_cast<SheetModel *>(this)->dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1),
                                                               {PictureRole});
    });
}

void SheetModel::setMaxRows(int rows) {
    rows = std::max(0, rows);
    // Emptying the grid starts a new list: pictures changed, added or removed since are read anew.
    if (rows == 0)
        m_pictures.renew();
    const int old = m_store.maxRows();
    if (rows > old) {
        beginInsertRows({}, old, rows - 1);
        m_store.setMaxRows(rows);
        endInsertRows();
    } else if (rows < old) {
        beginRemoveRows({}, rows, old - 1);
        m_store.setMaxRows(rows);
        endRemoveRows();
    }
}

void SheetModel::setMaxCols(int cols) {
    cols = std::max(0, cols);
    const int old = m_store.maxCols();
    if (cols > old) {
        beginInsertColumns({}, old, cols - 1);
        m_store.setMaxCols(cols);
        endInsertColumns();
    } else if (cols < old) {
        beginRemoveColumns({}, cols, old - 1);
        m_store.setMaxCols(cols);
        endRemoveColumns();
    }
}

void SheetModel::insertSheetRows(int row, int count) {
    const int max = m_store.maxRows();
    if (row < 1 || row > max || count < 1)
        return;
    count = std::min(count, max - row + 1);
    // Told as two steps: rows enter at row, then as many fall off the end.
    beginInsertRows({}, row - 1, row + count - 2);
    m_store.setMaxRows(max + count);
    m_store.insertRows(row, count);
    endInsertRows();
    beginRemoveRows({}, max, max + count - 1);
    m_store.setMaxRows(max);
    endRemoveRows();
}

void SheetModel::deleteSheetRows(int row, int count) {
    const int max = m_store.maxRows();
    if (row < 1 || row > max || count < 1)
        return;
    count = std::min(count, max - row + 1);
    beginRemoveRows({}, row - 1, row + count - 2);
    m_store.deleteRows(row, count);
    m_store.setMaxRows(max - count);
    endRemoveRows();
    beginInsertRows({}, max - count, max - 1);
    m_store.setMaxRows(max);
    endInsertRows();
}

void SheetModel::insertSheetCols(int col, int count) {
    if (col < 1 || col > m_store.maxCols() + 1 || count < 1)
        return;
    beginInsertColumns({}, col - 1, col + count - 2);
    m_store.insertCols(col, count);
    endInsertColumns();
}

void SheetModel::deleteSheetCols(int col, int count) {
    if (col < 1 || col > m_store.maxCols() || count < 1)
        return;
    count = std::min(count, m_store.maxCols() - col + 1);
    beginRemoveColumns({}, col - 1, col + count - 2);
    m_store.deleteCols(col, count);
    endRemoveColumns();
}

void SheetModel::setColHeaderRows(int count) {
    m_store.setColHeaderRows(count);
    if (m_store.maxCols() > 0)
        Q_EMIT headerDataChanged(Qt::Horizontal, 0, m_store.maxCols() - 1);
}

void SheetModel::cellsChanged(int col1, int row1, int col2, int row2) {
    if (!m_notify) {
        m_pending = true;
        return;
    }
    // -1 as an end means up to the last column or row.
    const int maxC = m_store.maxCols(), maxR = m_store.maxRows();
    const int c2 = col2 < 0 ? maxC : std::min(col2, maxC), r2 = row2 < 0 ? maxR : std::min(row2, maxR);
    const int c1 = std::max(1, col1), r1 = std::max(1, row1);
    if (row1 <= 0 && c1 <= c2)
        Q_EMIT headerDataChanged(Qt::Horizontal, c1 - 1, c2 - 1);
    if (col1 <= 0 && r1 <= r2)
        Q_EMIT headerDataChanged(Qt::Vertical, r1 - 1, r2 - 1);
    if (c1 <= c2 && r1 <= r2)
        Q_EMIT dataChanged(index(r1 - 1, c1 - 1), index(r2 - 1, c2 - 1));
}

void SheetModel::everythingChanged() { cellsChanged(0, 0, -1, -1); }

void SheetModel::setNotify(bool on) {
    m_notify = on;
    if (on && m_pending) {
        m_pending = false;
        everythingChanged();
    }
}

void SheetModel::setOddEvenColors(const QColor &oddBack, const QColor &oddText, const QColor &evenBack,
                                  const QColor &evenText) {
    m_oddBack = oddBack;
    m_oddText = oddText;
    m_evenBack = evenBack;
    m_evenText = evenText;
    everythingChanged();
}

void SheetModel::setHeaderColors(const QColor &back, const QColor &text) {
    m_headerBack = back;
    m_headerText = text;
    everythingChanged();
}
