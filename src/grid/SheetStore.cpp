#include "SheetStore.h"
#include "SortKeys.h"
#include <algorithm>
#include <iterator>
#include <numeric>

namespace {
void overlay(ResolvedFormat &out, const CellFormat &f) {
    if (f.type)
        out.type = *f.type;
    if (f.pictureFit)
        out.pictureFit = *f.pictureFit;
    if (f.hAlign)
        out.hAlign = *f.hAlign;
    if (f.vAlign)
        out.vAlign = *f.vAlign;
    if (f.bold)
        out.bold = *f.bold;
    if (f.fontSize)
        out.fontSize = *f.fontSize;
    if (f.fontName)
        out.fontName = *f.fontName;
    if (f.italic)
        out.italic = *f.italic;
    if (f.underline)
        out.underline = *f.underline;
    if (f.strikeout)
        out.strikeout = *f.strikeout;
    if (f.locked)
        out.locked = *f.locked;
    if (f.foreColor)
        out.foreColor = f.foreColor;
    if (f.borderColor)
        out.borderColor = f.borderColor;
}

} // namespace

SheetStore::SheetStore() {
    m_sheetFmt.type = CellType::Edit;
    m_sheetFmt.pictureFit = 0;
    m_sheetFmt.hAlign = HAlign::Left;
    m_sheetFmt.vAlign = VAlign::Center;
    m_sheetFmt.bold = false;
    m_sheetFmt.fontSize = 9;
    m_sheetFmt.fontName = QString();
    m_sheetFmt.italic = false;
    m_sheetFmt.underline = false;
    m_sheetFmt.strikeout = false;
    m_sheetFmt.locked = false;
    m_headerFmt.fontSize = 9; // the header keeps its size when the data font changes
    m_cols.resize(1);
    m_cols[0].width = 4;
    m_header.resize(1, std::vector<QString>(1));
}

void SheetStore::setMaxRows(int rows) {
    rows = std::max(0, rows);
    if (rows == m_maxRows)
        return;
    for (Column &c : m_cols) {
        c.text.resize(rows);
        if (c.pictures)
            c.pictures->resize(rows);
    }
    m_rows.resize(size_t(rows));
    if (rows < m_maxRows) {
        const auto drop = [rows](int r) { return r > rows ? -1 : r; };
        remapRows(m_cellFmt, drop);
        remapRows(m_tags, drop);
    }
    m_maxRows = rows;
}

void SheetStore::setMaxCols(int cols) {
    cols = std::max(0, cols);
    if (cols == m_maxCols)
        return;
    const double width = m_cols.size() > 1 ? m_cols.back().width : 9;
    const size_t old = m_cols.size();
    m_cols.resize(size_t(cols) + 1);
    for (size_t c = old; c < m_cols.size(); ++c) {
        m_cols[c].width = width;
        m_cols[c].text.resize(m_maxRows);
    }
    for (auto &h : m_header)
        h.resize(size_t(cols) + 1);
    if (cols < m_maxCols) {
        for (auto it = m_cellFmt.begin(); it != m_cellFmt.end();)
            it = keyCol(it.key()) > cols ? m_cellFmt.erase(it) : std::next(it);
        for (auto it = m_tags.begin(); it != m_tags.end();)
            it = keyCol(it.key()) > cols ? m_tags.erase(it) : std::next(it);
    }
    m_maxCols = cols;
}

int SheetStore::dataRowCnt() const {
    int last = -1;
    for (size_t c = 1; c < m_cols.size(); ++c) {
        last = std::max(last, m_cols[c].text.lastNonEmpty());
        if (m_cols[c].pictures)
            last = std::max(last, m_cols[c].pictures->lastNonEmpty());
    }
    return last + 1;
}

void SheetStore::setColHeaderRows(int count) {
    m_header.resize(size_t(std::max(1, count)), std::vector<QString>(size_t(m_maxCols) + 1));
}

QStringView SheetStore::textView(int col, int row, QString &scratch) const {
    if (!isCell(col, row))
        return {};
    if (row == 0)
        return m_header[0][size_t(col)];
    return m_cols[size_t(col)].text.view(row - 1, scratch);
}

QString SheetStore::text(int col, int row) const {
    if (!isCell(col, row))
        return {};
    return row == 0 ? m_header[0][size_t(col)] : m_cols[size_t(col)].text.text(row - 1);
}

bool SheetStore::setText(int col, int row, QStringView text) {
    if (!isCell(col, row))
        return false;
    if (row == 0)
        m_header[0][size_t(col)] = text.toString();
    else
        m_cols[size_t(col)].text.set(row - 1, text);
    return true;
}

void SheetStore::adoptTexts(int col, TextColumn::SharedPool pool, PodBuffer<CellRef> &&cells) {
    if (col < 0 || col > m_maxCols || int(cells.size()) != m_maxRows)
        return;
    m_cols[size_t(col)].text.adopt(std::move(pool), std::move(cells));
}

QString SheetStore::headerText(int col, int k) const {
    if (col < 0 || col > m_maxCols || k < 1 || k > colHeaderRows())
        return {};
    return m_header[size_t(k - 1)][size_t(col)];
}

void SheetStore::setHeaderText(int col, int k, const QString &text) {
    if (col < 0 || col > m_maxCols || k < 1 || k > colHeaderRows())
        return;
    m_header[size_t(k - 1)][size_t(col)] = text;
}

QString SheetStore::cellTag(int col, int row) const { return m_tags.value(key(col, row)); }

void SheetStore::setCellTag(int col, int row, const QString &tag) {
    if (!isCell(col, row))
        return;
    if (tag.isEmpty())
        m_tags.remove(key(col, row));
    else
        m_tags.insert(key(col, row), tag);
}

QString SheetStore::picturePath(int col, int row) const {
    if (!isCell(col, row) || row == 0)
        return {};
    const Column &c = m_cols[size_t(col)];
    if (c.pictures && !c.pictures->isEmpty(row - 1))
        return c.pictures->text(row - 1);
    if (c.pictureKeyCol < 1 || c.pictureKeyCol > m_maxCols)
        return {};
    QString scratch;
    const QStringView key = m_cols[size_t(c.pictureKeyCol)].text.view(row - 1, scratch);
    if (key.isEmpty())
        return {};
    return c.pictureName ? c.pictureName(key) : QString(c.picturePrefix).append(key).append(c.pictureSuffix);
}

void SheetStore::setPictureSource(int col, int keyCol, const QString &prefix, const QString &suffix) {
    if (col < 1 || col > m_maxCols)
        return;
    Column &c = m_cols[size_t(col)];
    c.pictureKeyCol = keyCol >= 1 && keyCol <= m_maxCols ? keyCol : 0;
    c.picturePrefix = prefix;
    c.pictureSuffix = suffix;
    c.pictureName = nullptr;
}

void SheetStore::setPictureSource(int col, int keyCol, PictureNamer nameOf) {
    if (col < 1 || col > m_maxCols)
        return;
    Column &c = m_cols[size_t(col)];
    c.pictureKeyCol = keyCol >= 1 && keyCol <= m_maxCols ? keyCol : 0;
    c.picturePrefix.clear();
    c.pictureSuffix.clear();
    c.pictureName = std::move(nameOf);
}

void SheetStore::setPicturePath(int col, int row, QStringView path) {
    if (!isCell(col, row) || row == 0)
        return;
    Column &c = m_cols[size_t(col)];
    if (!c.pictures) {
        if (path.isEmpty())
            return;
        c.pictures = std::make_unique<TextColumn>();
        c.pictures->resize(m_maxRows);
    }
    c.pictures->set(row - 1, path);
}

ResolvedFormat SheetStore::format(int col, int row) const {
    ResolvedFormat out;
    overlay(out, m_sheetFmt);
    if (row == 0 || col == 0) {
        out.type = CellType::StaticText;
        out.hAlign = HAlign::Center;
        out.locked = true;
        if (row == 0)
            overlay(out, m_headerFmt);
    } else if (col > 0 && size_t(col) < m_cols.size()) {
        overlay(out, m_cols[size_t(col)].fmt);
    }
    const auto it = m_cellFmt.constFind(key(col, row));
    if (it != m_cellFmt.cend())
        overlay(out, *it);
    return out;
}

bool SheetStore::hasOwnFont(int col, int row) const {
    if (m_cellFmt.isEmpty() && m_cols[size_t(col)].fmt.isEmpty())
        return false;
    ResolvedFormat sheet;
    overlay(sheet, m_sheetFmt);
    return !format(col, row).sameFont(sheet);
}

double SheetStore::colWidth(int col) const {
    if (col < 0 || col > m_maxCols)
        return 0;
    return m_cols[size_t(col)].width;
}

void SheetStore::setColWidth(int col, double width) {
    width = std::max(0.0, width);
    if (col == -1) {
        for (size_t c = 1; c < m_cols.size(); ++c)
            m_cols[c].width = width;
    } else if (col >= 0 && col <= m_maxCols) {
        m_cols[size_t(col)].width = width;
    }
}

bool SheetStore::colHidden(int col) const { return col >= 0 && col <= m_maxCols && m_cols[size_t(col)].hidden; }

void SheetStore::setColHidden(int col, bool hidden) {
    if (col == -1) {
        for (size_t c = 1; c < m_cols.size(); ++c)
            m_cols[c].hidden = hidden;
    } else if (col >= 0 && col <= m_maxCols) {
        m_cols[size_t(col)].hidden = hidden;
    }
}

bool SheetStore::rowHidden(int row) const { return row >= 1 && row <= m_maxRows && m_rows[size_t(row - 1)].hidden; }

void SheetStore::setRowHidden(int row, bool hidden) {
    if (row == -1) {
        for (RowAttr &r : m_rows)
            r.hidden = hidden;
    } else if (row >= 1 && row <= m_maxRows) {
        m_rows[size_t(row - 1)].hidden = hidden;
    }
}

double SheetStore::rowHeight(int row) const {
    if (row == 0 || row == -1000)
        return m_headerRowHeight;
    if (row >= 1 && row <= m_maxRows && m_rows[size_t(row - 1)].height > 0)
        return m_rows[size_t(row - 1)].height;
    return m_defaultRowHeight;
}

void SheetStore::setRowHeight(int row, double points) {
    points = std::max(0.0, points);
    if (row == 0 || row == -1000) {
        m_headerRowHeight = points;
    } else if (row == -1) {
        m_defaultRowHeight = points;
        for (RowAttr &r : m_rows)
            r.height = 0;
    } else if (row >= 1 && row <= m_maxRows) {
        m_rows[size_t(row - 1)].height = float(points);
    }
}

bool SheetStore::rowHasOwnHeight(int row) const {
    return row >= 1 && row <= m_maxRows && m_rows[size_t(row - 1)].height > 0;
}

bool SheetStore::rowsDiffer() const {
    return std::any_of(m_rows.begin(), m_rows.end(), [](const RowAttr &r) { return r.hidden || r.height > 0; });
}

template <typename V, typename F> void SheetStore::remapRows(QHash<quint64, V> &map, F newRowOf) {
    QHash<quint64, V> out;
    out.reserve(map.size());
    for (auto it = map.cbegin(); it != map.cend(); ++it) {
        const int row = keyRow(it.key());
        const int to = row == 0 ? 0 : newRowOf(row);
        if (to >= 0)
            out.insert(key(keyCol(it.key()), to), it.value());
    }
    map.swap(out);
}

template <typename V, typename F> void SheetStore::remapCols(QHash<quint64, V> &map, F newColOf) {
    QHash<quint64, V> out;
    out.reserve(map.size());
    for (auto it = map.cbegin(); it != map.cend(); ++it) {
        const int col = keyCol(it.key());
        const int to = col == 0 ? 0 : newColOf(col);
        if (to >= 0)
            out.insert(key(to, keyRow(it.key())), it.value());
    }
    map.swap(out);
}

void SheetStore::insertCols(int col, int count) {
    if (col < 1 || col > m_maxCols + 1 || count < 1)
        return;
    std::vector<Column> fresh(static_cast<size_t>(count));
    for (Column &c : fresh)
        c.text.resize(m_maxRows);
    m_cols.insert(m_cols.begin() + col, std::make_move_iterator(fresh.begin()), std::make_move_iterator(fresh.end()));
    for (auto &h : m_header)
        h.insert(h.begin() + col, size_t(count), QString());
    m_maxCols += count;
    const auto shift = [=](int c) { return c < col ? c : c + count; };
    remapCols(m_cellFmt, shift);
    remapCols(m_tags, shift);
    for (Column &c : m_cols)
        if (c.pictureKeyCol > 0)
            c.pictureKeyCol = shift(c.pictureKeyCol);
}

void SheetStore::deleteCols(int col, int count) {
    if (col < 1 || col > m_maxCols || count < 1)
        return;
    count = std::min(count, m_maxCols - col + 1);
    m_cols.erase(m_cols.begin() + col, m_cols.begin() + col + count);
    for (auto &h : m_header)
        h.erase(h.begin() + col, h.begin() + col + count);
    m_maxCols -= count;
    const auto shift = [=](int c) { return c < col ? c : (c < col + count ? -1 : c - count); };
    remapCols(m_cellFmt, shift);
    remapCols(m_tags, shift);
    for (Column &c : m_cols)
        if (c.pictureKeyCol > 0)
            c.pictureKeyCol = std::max(0, shift(c.pictureKeyCol));
}

SheetStore::Merge SheetStore::colMerge(int col) const {
    return col >= 1 && col <= m_maxCols ? m_cols[size_t(col)].merge : Merge::None;
}

void SheetStore::setColMerge(int col, Merge mode) {
    if (col >= 1 && col <= m_maxCols)
        m_cols[size_t(col)].merge = mode;
}

bool SheetStore::mergesWithAbove(int col, int row) const {
    // Walks left through restricted columns; each step is one column, so this is bounded.
    for (;;) {
        const Merge mode = colMerge(col);
        if (mode == Merge::None || row < 2 || row > m_maxRows)
            return false;
        const TextColumn &t = m_cols[size_t(col)].text;
        QString here, above;
        if (t.isEmpty(row - 1) || t.view(row - 1, here) != t.view(row - 2, above))
            return false;
        if (mode == Merge::Always || col == 1)
            return true;
        --col;
    }
}

QString SheetStore::colId(int col) const { return col >= 0 && col <= m_maxCols ? m_cols[size_t(col)].id : QString(); }

void SheetStore::setColId(int col, const QString &id) {
    if (col >= 0 && col <= m_maxCols)
        m_cols[size_t(col)].id = id;
}

int SheetStore::dataColCnt() const {
    for (int c = m_maxCols; c >= 1; --c) {
        const Column &col = m_cols[size_t(c)];
        if (col.text.lastNonEmpty() >= 0 || (col.pictures && col.pictures->lastNonEmpty() >= 0))
            return c;
    }
    return 0;
}

void SheetStore::insertRows(int row, int count) {
    if (row < 1 || row > m_maxRows || count < 1)
        return;
    count = std::min(count, m_maxRows - row + 1);
    for (Column &c : m_cols) {
        c.text.insert(row - 1, count);
        c.text.resize(m_maxRows);
        if (c.pictures) {
            c.pictures->insert(row - 1, count);
            c.pictures->resize(m_maxRows);
        }
    }
    m_rows.insert(m_rows.begin() + (row - 1), size_t(count), RowAttr{});
    m_rows.resize(size_t(m_maxRows));
    const int max = m_maxRows;
    const auto shift = [=](int r) { return r < row ? r : (r + count > max ? -1 : r + count); };
    remapRows(m_cellFmt, shift);
    remapRows(m_tags, shift);
}

void SheetStore::deleteRows(int row, int count) {
    if (row < 1 || row > m_maxRows || count < 1)
        return;
    count = std::min(count, m_maxRows - row + 1);
    for (Column &c : m_cols) {
        c.text.erase(row - 1, count);
        c.text.resize(m_maxRows);
        if (c.pictures) {
            c.pictures->erase(row - 1, count);
            c.pictures->resize(m_maxRows);
        }
    }
    m_rows.erase(m_rows.begin() + (row - 1), m_rows.begin() + (row - 1 + count));
    m_rows.resize(size_t(m_maxRows));
    const auto shift = [=](int r) { return r < row ? r : (r < row + count ? -1 : r - count); };
    remapRows(m_cellFmt, shift);
    remapRows(m_tags, shift);
}

std::vector<int> SheetStore::sortOrder(int col, bool ascending) const {
    const int n = dataRowCnt();
    std::vector<int> order(static_cast<size_t>(n));
    std::iota(order.begin(), order.end(), 1);
    if (col < 1 || col > m_maxCols)
        return order;
    order = SortKeys::order(m_cols[size_t(col)].text, n, ascending);
    for (int &row : order)
        ++row;
    return order;
}

void SheetStore::permuteRows(const std::vector<int> &newOrder) {
    // Extend to all rows (0-based) so every column moves the same way.
    std::vector<int> full(static_cast<size_t>(m_maxRows));
    std::iota(full.begin(), full.end(), 0);
    for (size_t i = 0; i < newOrder.size() && i < full.size(); ++i)
        full[i] = newOrder[i] - 1;
    for (Column &c : m_cols) {
        c.text.permute(full);
        if (c.pictures)
            c.pictures->permute(full);
    }
    std::vector<RowAttr> rows(m_rows.size());
    std::vector<int> newRowOf(size_t(m_maxRows) + 1);
    for (size_t i = 0; i < full.size(); ++i) {
        rows[i] = m_rows[size_t(full[i])];
        newRowOf[size_t(full[i]) + 1] = int(i) + 1;
    }
    m_rows.swap(rows);
    const auto move = [&](int r) { return newRowOf[size_t(r)]; };
    remapRows(m_cellFmt, move);
    remapRows(m_tags, move);
}

bool SheetStore::matches(QStringView cell, const QString &text, int flags) {
    if (text.isEmpty())
        return false;
    if (flags & SearchPartial)
        return cell.contains(text, Qt::CaseInsensitive);
    return cell.compare(text, Qt::CaseInsensitive) == 0;
}

int SheetStore::searchRow(int row, int colStart, int colEnd, const QString &text, int flags) const {
    if (row < 1 || row > m_maxRows)
        return -1;
    const int end = colEnd < 0 || colEnd > m_maxCols ? m_maxCols : colEnd;
    QString scratch;
    for (int c = std::max(colStart + 1, 1); c <= end; ++c)
        if (matches(m_cols[size_t(c)].text.view(row - 1, scratch), text, flags))
            return c;
    return -1;
}

int SheetStore::searchCol(int col, int rowStart, int rowEnd, const QString &text, int flags) const {
    if (col < 1 || col > m_maxCols)
        return -1;
    const TextColumn &texts = m_cols[size_t(col)].text;
    const int end = rowEnd < 0 || rowEnd > m_maxRows ? m_maxRows : rowEnd;
    QString scratch;
    for (int r = std::max(rowStart + 1, 1); r <= end; ++r)
        if (matches(texts.view(r - 1, scratch), text, flags))
            return r;
    return -1;
}
