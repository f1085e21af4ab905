#include "SheetPrinter.h"
#include "SheetModel.h"
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QPainter>
#include <QRawFont>
#include <algorithm>
#include <cmath>
#include <mutex>

using HeaderFooterCode::Align;

namespace {
constexpr double kTwipsPerPoint = 20;
constexpr double kCellPad = 40; // twips left and right of a cell's text
const QColor kShade(0xE0, 0xE0, 0xE0);
const QColor kGridLine(0xA0, 0xA0, 0xA0);

// Fonts sized in twips: the painter maps twips onto the device, so no device resolution
// enters the size twice.
QFont twipsFont(QFont f, double points) {
    f.setPixelSize(std::max(1, int(std::lround(points * kTwipsPerPoint))));
    return f;
}

Qt::Alignment toQt(HAlign h, VAlign v) {
    Qt::Alignment a = h == HAlign::Center ? Qt::AlignHCenter : (h == HAlign::Right ? Qt::AlignRight : Qt::AlignLeft);
    return a | (v == VAlign::Top ? Qt::AlignTop : (v == VAlign::Bottom ? Qt::AlignBottom : Qt::AlignVCenter));
}
} // namespace

void SheetPrinter::installFontSubstitutes() {
    static std::once_flag once;
    std::call_once(once, [] {
        const QStringList korean{QStringLiteral("NanumBarunGothic"), QStringLiteral("NanumGothic")};
        QFont::insertSubstitutions(QStringLiteral("굴림체"), korean);
        QFont::insertSubstitutions(QStringLiteral("굴림"), korean);
        QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"),
                                   {QStringLiteral("NanumGothic"), QStringLiteral("DejaVu Sans")});
    });
}

namespace {
// A font whose space glyph is also the glyph of U+0001 (NanumGothic and its coding variant)
// makes Qt's PDF text map it back to U+0001: copied or searched text loses its spaces.
bool spaceReadsBackWrong(const QFont &font) {
    static QHash<QString, bool> known;
    const QString family = QFontInfo(font).family();
    auto it = known.find(family);
    if (it == known.end()) {
        const QRawFont raw = QRawFont::fromFont(font);
        const QList<quint32> space = raw.glyphIndexesForString(QStringLiteral(" "));
        const QList<quint32> control = raw.glyphIndexesForString(QString(QChar(1)));
        it = known.insert(family, !space.isEmpty() && !control.isEmpty() && space[0] != 0 && space[0] == control[0]);
    }
    return *it;
}
} // namespace

// Hangul is also put before the system's fallback, which picks NanumGothic for it in a
// Latin font.
QFont SheetPrinter::printableFont(const QFont &font) {
    static const bool barun = QFontDatabase::hasFamily(QStringLiteral("NanumBarunGothic"));
    if (!barun)
        return font;
    QFont f = font;
    QString family = QFontInfo(font).family();
    if (spaceReadsBackWrong(font))
        family = QStringLiteral("NanumBarunGothic");
    f.setFamilies({family, QStringLiteral("NanumBarunGothic")});
    return f;
}

QString SheetPrinter::marginsRefusal(const SheetPrintProps &props) {
    constexpr double kLeast = 1440; // narrower holds no column worth a page of its own
    const bool landscape = props.orientation == 2;
    const double across = landscape ? props.paperHeight : props.paperWidth;
    const double down = landscape ? props.paperWidth : props.paperHeight;
    if (across - props.marginLeft - props.marginRight >= kLeast &&
        down - props.marginTop - props.marginBottom >= kLeast)
        return {};
    const auto inches = [](double twips) { return QString::number(std::floor(twips / 14.4) / 100.0, 'f', 2); };
    return QStringLiteral("여백이 너무 넓어 용지에 인쇄할 자리가 남지 않습니다.\r\n"
                          "왼쪽과 오른쪽 여백의 합은 %1인치 이하, 위쪽과 아래쪽 여백의 합은 %2인치 이하로 "
                          "입력하세요.")
        .arg(inches(across - kLeast), inches(down - kLeast));
}

SheetPrinter::SheetPrinter(const SheetModel &model, const SheetPrintProps &props, QSizeF portraitPaper)
    : m_model(model), m_props(props), m_paper(props.orientation == 2 ? portraitPaper.transposed() : portraitPaper) {
    installFontSubstitutes();
    const QFont base = printableFont(model.baseFont());
    m_baseFont = base;
    m_hfDefault.name = base.family();
    m_hfDefault.size = base.pointSizeF() > 0 ? base.pointSizeF() : 10;
    m_charWidth = std::max(1.0, QFontMetricsF(twipsFont(base, m_hfDefault.size)).horizontalAdvance(QLatin1Char('0')));
    m_header = HeaderFooterCode::parse(props.header, m_hfDefault);
    m_footer = HeaderFooterCode::parse(props.footer, m_hfDefault);
    layOut();
}

QFont SheetPrinter::hfFont(const HeaderFooterCode::Font &f) const {
    QFont font = printableFont(QFont(f.name.isEmpty() ? m_hfDefault.name : f.name));
    font = twipsFont(font, f.size);
    font.setBold(f.bold);
    font.setItalic(f.italic);
    font.setUnderline(f.underline);
    font.setStrikeOut(f.strike);
    return font;
}

QFont SheetPrinter::cellFont(int col, int row) const {
    const ResolvedFormat f = m_model.store().format(col, row);
    const int flags = (f.bold ? 1 : 0) | (f.italic ? 2 : 0) | (f.underline ? 4 : 0) | (f.strikeout ? 8 : 0);
    const QString key =
        QStringLiteral("%1|%2|%3").arg(std::lround(f.fontSize * kTwipsPerPoint)).arg(flags).arg(f.fontName);
    auto it = m_fonts.find(key);
    if (it == m_fonts.end()) {
        QFont font = f.fontName.isEmpty() ? m_baseFont : printableFont(QFont(f.fontName));
        font = twipsFont(font, f.fontSize);
        font.setBold(f.bold);
        font.setItalic(f.italic);
        font.setUnderline(f.underline);
        font.setStrikeOut(f.strikeout);
        it = m_fonts.insert(key, font);
    }
    return *it;
}

double SheetPrinter::colWidth(int sheetCol) const { return m_model.store().colWidth(sheetCol) * m_charWidth; }

double SheetPrinter::rowHeight(int sheetRow) const { return m_model.store().rowHeight(sheetRow) * kTwipsPerPoint; }

double SheetPrinter::textHeight(const HeaderFooterCode::Document &doc) const {
    double h = 0;
    for (const auto &line : doc) {
        double lineH = QFontMetricsF(hfFont(line.font)).height();
        if (!line.runs.empty()) {
            lineH = 0;
            for (const auto &run : line.runs)
                lineH = std::max(lineH, QFontMetricsF(hfFont(run.font)).height());
        }
        h += lineH;
    }
    return h;
}

// Consecutive items onto pages of the given extent after a fixed part (the headers); each
// page takes at least one item, so one too large for a page gets a page of its own.
template <typename Extent> std::vector<SheetPrinter::Band>
SheetPrinter::bands(const std::vector<int> &items, double fixed, double page, Extent extentOf) {
    std::vector<Band> out;
    for (int i = 0; i < int(items.size());) {
        Band b{i, i};
        double used = fixed + extentOf(items[size_t(i)]);
        while (b.last + 1 < int(items.size()) && used + extentOf(items[size_t(b.last + 1)]) <= page + 0.5)
            used += extentOf(items[size_t(++b.last)]);
        out.push_back(b);
        i = b.last + 1;
    }
    return out;
}

void SheetPrinter::layOut() {
    const SheetStore &s = m_model.store();
    const bool range = m_props.type == SheetPrintProps::CellRange;
    int lastCol = m_props.dataCellsOnly ? s.dataColCnt() : s.maxCols();
    int lastRow = m_props.dataCellsOnly ? s.dataRowCnt() : s.maxRows();
    int firstCol = 1, firstRow = 1;
    if (range) {
        firstCol = std::max(1, m_props.col);
        firstRow = std::max(1, m_props.row);
        if (m_props.col2 >= 0)
            lastCol = std::min(lastCol, m_props.col2);
        if (m_props.row2 >= 0)
            lastRow = std::min(lastRow, m_props.row2);
    }
    double totalW = 0;
    for (int c = firstCol; c <= lastCol; ++c)
        if (!s.colHidden(c) && !m_props.leftOutCols.contains(c)) {
            m_cols.push_back(c);
            totalW += colWidth(c);
        }
    m_rows.reserve(size_t(std::max(0, lastRow - firstRow + 1)));
    for (int r = firstRow; r <= lastRow; ++r)
        if (!s.rowHidden(r))
            m_rows.push_back(r);

    m_headerH = textHeight(m_header);
    m_footerH = textHeight(m_footer);
    const QRectF content(m_props.marginLeft, m_props.marginTop,
                         std::max(1.0, m_paper.width() - m_props.marginLeft - m_props.marginRight),
                         std::max(1.0, m_paper.height() - m_props.marginTop - m_props.marginBottom));
    m_gridArea = QRectF(content.left(), content.top() + m_headerH, content.width(),
                        std::max(1.0, content.height() - m_headerH - m_footerH));

    m_rowHeaderW = m_props.rowHeaders ? colWidth(0) : 0;
    m_colHeaderH = m_props.colHeaders ? rowHeight(0) * std::max(1, s.colHeaderRows()) : 0;
    if (m_props.scalingMethod == 1 && m_rowHeaderW + totalW > m_gridArea.width())
        m_scale = m_gridArea.width() / (m_rowHeaderW + totalW);

    // Widths and heights below are in grid units; the page holds area / scale of them.
    const double pageW = m_gridArea.width() / m_scale, pageH = m_gridArea.height() / m_scale;
    m_colBands = bands(m_cols, m_rowHeaderW, pageW, [this](int c) { return colWidth(c); });
    m_rowPages = bands(m_rows, m_colHeaderH, pageH, [this](int r) { return rowHeight(r); });
    // An empty grid still prints one page with its headers.
    if (m_colBands.empty())
        m_colBands.push_back({0, -1});
    if (m_rowPages.empty())
        m_rowPages.push_back({0, -1});
}

std::vector<int> SheetPrinter::printedPages() const {
    const int count = pageCount();
    int from = 1, to = count;
    if (m_props.type == SheetPrintProps::CurrentPage) {
        from = to = std::clamp(m_props.currentPage, 1, count);
    } else if (m_props.type == SheetPrintProps::PageRange) {
        from = std::max(1, m_props.pageStart);
        to = std::min(count, m_props.pageEnd);
    }
    std::vector<int> pages;
    for (int p = from; p <= to; ++p)
        pages.push_back(p);
    return pages;
}

std::vector<int> SheetPrinter::pageBreakRows() const {
    std::vector<int> rows;
    for (size_t i = 1; i < m_rowPages.size(); ++i)
        rows.push_back(m_rows[size_t(m_rowPages[i].first)]);
    return rows;
}

int SheetPrinter::firstRowOf(int page) const {
    if (page < 1 || page > pageCount())
        return 0;
    const Band &b = m_rowPages[size_t((page - 1) % int(m_rowPages.size()))];
    return b.last >= b.first ? m_rows[size_t(b.first)] : 0;
}

int SheetPrinter::lastRowOf(int page) const {
    if (page < 1 || page > pageCount())
        return 0;
    const Band &b = m_rowPages[size_t((page - 1) % int(m_rowPages.size()))];
    return b.last >= b.first ? m_rows[size_t(b.last)] : 0;
}

std::vector<int> SheetPrinter::columnsOf(int page) const {
    if (page < 1 || page > pageCount())
        return {};
    const Band &b = m_colBands[size_t((page - 1) / int(m_rowPages.size()))];
    return b.last >= b.first ? std::vector<int>(m_cols.begin() + b.first, m_cols.begin() + b.last + 1)
                             : std::vector<int>{};
}

QString SheetPrinter::rowHeaderText(int row) const {
    const QString t = m_model.store().text(0, row);
    return t.isEmpty() && m_model.rowHeadersNumbered() ? QString::number(row) : t;
}

void SheetPrinter::paintPage(QPainter &p, int page, const QRectF &target) const {
    if (page < 1 || page > pageCount() || target.isEmpty())
        return;
    p.save();
    p.translate(target.topLeft());
    p.scale(target.width() / m_paper.width(), target.height() / m_paper.height());
    p.fillRect(QRectF(QPointF(0, 0), m_paper), Qt::white);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    paintLines(p, m_header, m_props.marginTop, page);
    paintLines(p, m_footer, m_gridArea.bottom(), page);
    const int rowPages = int(m_rowPages.size());
    p.translate(m_gridArea.topLeft());
    p.scale(m_scale, m_scale);
    paintGrid(p, m_rowPages[size_t((page - 1) % rowPages)], m_colBands[size_t((page - 1) / rowPages)]);
    p.restore();
}

void SheetPrinter::paintLines(QPainter &p, const HeaderFooterCode::Document &doc, double top, int page) const {
    const double left = m_gridArea.left(), right = m_gridArea.right(), centre = m_gridArea.center().x();
    p.setPen(Qt::black);
    for (const auto &line : doc) {
        double ascent = 0, height = QFontMetricsF(hfFont(line.font)).height();
        if (!line.runs.empty())
            height = 0;
        struct Piece {
            QString text;
            QFont font;
            double width;
        };
        std::vector<Piece> pieces[3];
        double widths[3] = {0, 0, 0};
        for (const auto &run : line.runs) {
            const QFont font = hfFont(run.font);
            const QFontMetricsF fm(font);
            ascent = std::max(ascent, fm.ascent());
            height = std::max(height, fm.height());
            const QString text = HeaderFooterCode::runText(run, page, pageCount());
            const int a = int(run.align);
            pieces[a].push_back({text, font, fm.horizontalAdvance(text)});
            widths[a] += pieces[a].back().width;
        }
        const double starts[3] = {left, centre - widths[1] / 2, right - widths[2]};
        for (int a = 0; a < 3; ++a) {
            // A part wider than the printable width is narrowed to it rather than cut at the
            // paper's edge.
            const bool narrowed = widths[a] > right - left;
            p.save();
            p.translate(narrowed ? left : starts[a], 0);
            if (narrowed)
                p.scale((right - left) / widths[a], 1);
            double x = 0;
            for (const Piece &piece : pieces[a]) {
                p.setFont(piece.font);
                p.drawText(QPointF(x, top + ascent), piece.text);
                x += piece.width;
            }
            p.restore();
        }
        top += height;
    }
}

void SheetPrinter::paintGrid(QPainter &p, const Band &rows, const Band &cols) const {
    const SheetStore &s = m_model.store();
    const bool colour = m_props.color;
    // Column edges of this page, the row-header column first.
    std::vector<double> xs{0};
    std::vector<int> sheetCols;
    if (m_props.rowHeaders) {
        xs.push_back(m_rowHeaderW);
        sheetCols.push_back(0);
    }
    for (int i = cols.first; i <= cols.last; ++i) {
        sheetCols.push_back(m_cols[size_t(i)]);
        xs.push_back(xs.back() + colWidth(m_cols[size_t(i)]));
    }
    std::vector<double> ys{0};
    if (m_props.colHeaders)
        ys.push_back(m_colHeaderH);
    const int firstData = int(ys.size()) - 1; // index into ys of the first data row's top
    for (int i = rows.first; i <= rows.last; ++i)
        ys.push_back(ys.back() + rowHeight(m_rows[size_t(i)]));
    const double width = xs.back(), height = ys.back();
    if (sheetCols.empty())
        return;

    const auto shade = [&](const QRectF &r, bool header, int row) {
        QColor back;
        if (header)
            back =
                m_props.shadows ? (colour && m_model.headerBack().isValid() ? m_model.headerBack() : kShade) : QColor();
        else if (colour)
            back = m_model.rowBack(row);
        if (back.isValid() && back != Qt::white)
            p.fillRect(r, back);
    };
    const auto textPen = [&](bool header, int row, const ResolvedFormat &f) {
        QColor c = !colour ? QColor(Qt::black) : header ? m_model.headerText() : m_model.rowText(row);
        if (colour && !header && f.foreColor)
            c = QColor::fromRgba(*f.foreColor);
        p.setPen(c.isValid() ? c : QColor(Qt::black));
    };
    const auto drawText = [&](const QRectF &cell, int col, int row, const QString &text, bool header) {
        if (text.isEmpty())
            return;
        const ResolvedFormat f = s.format(col, row);
        p.setFont(cellFont(col, header ? 0 : row));
        textPen(header, row, f);
        const Qt::Alignment a = header && col > 0 ? Qt::AlignCenter : toQt(f.hAlign, f.vAlign);
        p.drawText(cell.adjusted(kCellPad, 0, -kCellPad, 0), int(a), text);
    };

    // Column headers: one band of header rows, each header row its share of the height.
    if (m_props.colHeaders) {
        const int k = std::max(1, s.colHeaderRows());
        const double rowH = m_colHeaderH / k;
        for (size_t i = 0; i < sheetCols.size(); ++i) {
            const QRectF cell(xs[i], 0, xs[i + 1] - xs[i], m_colHeaderH);
            shade(cell, true, 0);
            for (int h = 1; h <= s.colHeaderRows(); ++h)
                drawText(QRectF(cell.x(), (h - 1) * rowH, cell.width(), rowH), sheetCols[i], 0,
                         sheetCols[i] == 0 ? QString() : s.headerText(sheetCols[i], h), true);
        }
    }

    // Horizontal lines are left out inside merged cells, so they are collected per column.
    std::vector<QLineF> lines;
    for (size_t i = 0; i < sheetCols.size(); ++i) {
        const int col = sheetCols[i];
        const bool merging = col > 0 && s.colMerge(col) != SheetStore::Merge::None;
        for (int j = rows.first; j <= rows.last;) {
            int end = j; // last printed row of the cell's span
            if (merging)
                while (end < rows.last && s.mergesWithAbove(col, m_rows[size_t(end + 1)]))
                    ++end;
            const int row = m_rows[size_t(j)];
            const double top = ys[size_t(firstData + j - rows.first)];
            const double bottom = ys[size_t(firstData + end - rows.first + 1)];
            const QRectF cell(xs[i], top, xs[i + 1] - xs[i], bottom - top);
            if (col == 0) {
                shade(cell, true, 0);
                drawText(cell, 0, row, rowHeaderText(row), true);
            } else {
                shade(cell, false, row);
                const ResolvedFormat f = s.format(col, row);
                QImage picture;
                if (f.type == CellType::Picture)
                    picture = m_model.pictures().thumbnail(s.picturePath(col, row));
                if (!picture.isNull()) {
                    p.save();
                    p.setClipRect(cell);
                    p.drawImage(PictureCache::fitRect(cell.adjusted(20, 20, -20, -20), picture.size(), f.pictureFit),
                                picture);
                    p.restore();
                } else {
                    drawText(cell, col, row, s.text(col, row), false);
                }
            }
            lines.emplace_back(xs[i], bottom, xs[i + 1], bottom);
            j = end + 1;
        }
    }
    if (m_props.grid) {
        p.setPen(QPen(colour ? kGridLine : QColor(Qt::black), 10));
        for (size_t i = 1; i + 1 < xs.size(); ++i)
            lines.emplace_back(xs[i], 0, xs[i], height);
        if (m_props.colHeaders)
            lines.emplace_back(0, m_colHeaderH, width, m_colHeaderH);
        p.drawLines(lines.data(), int(lines.size()));
    }
    if (m_props.border) {
        p.setPen(QPen(Qt::black, 20));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(0, 0, width, height));
    }
}
