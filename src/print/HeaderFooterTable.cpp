#include "HeaderFooterTable.h"
#include <limits>

using HeaderFooterCode::Align;

const QString HeaderFooterTable::kPageNumberText = QStringLiteral("<Page Number>");

namespace {
// How far a quoted value or a text run may reach before the text counts as broken.
constexpr qsizetype kReach = 100;
} // namespace

HeaderFooterTable::HeaderFooterTable(const Font &defaultFont) : m_default(defaultFont) {
    for (Cell &c : m_cells)
        c.font = defaultFont;
}

int HeaderFooterTable::indexOf(int col, int row) {
    return isTextColumn(col) && row >= 1 && row <= kRows ? (row - 1) * 3 + (col - 1) / 2 : -1;
}

HeaderFooterTable::Cell *HeaderFooterTable::at(int col, int row) {
    const int i = indexOf(col, row);
    return i < 0 ? nullptr : &m_cells[size_t(i)];
}

const HeaderFooterTable::Cell &HeaderFooterTable::cell(int col, int row) const {
    static const Cell none;
    const int i = indexOf(col, row);
    return i < 0 ? none : m_cells[size_t(i)];
}

void HeaderFooterTable::setText(int col, int row, const QString &text) {
    if (Cell *c = at(col, row))
        c->text = text;
}

void HeaderFooterTable::setFont(int col, int row, const Font &font) {
    if (Cell *c = at(col, row))
        c->font = font;
}

void HeaderFooterTable::clearTexts() {
    for (Cell &c : m_cells) {
        c.text.clear();
        c.pageNumber = false;
    }
}

void HeaderFooterTable::addCellData(int col) {
    m_col = col;
    m_joinText = false;
    if (Cell *c = at(col, m_row))
        c->font = m_font;
}

void HeaderFooterTable::setCurrentText(const QString &text, bool pageNumber) {
    m_joinText = false;
    Cell *c = at(m_col, m_row);
    if (!c) {
        m_dropped = m_dropped || !text.isEmpty();
        return;
    }
    c->text = text;
    if (pageNumber)
        c->pageNumber = true;
}

// Text that no code separates ("A", "/S", " 센터") is one text of the cell. A cell holds
// either text or a page field, and the field wins.
void HeaderFooterTable::addLiteral(const QString &text) {
    Cell *c = at(m_col, m_row);
    if (c && c->pageNumber)
        return;
    if (!m_joinText || !c)
        setCurrentText(text, false);
    else
        c->text += text;
    m_joinText = true;
}

HeaderFooterTable::ReadResult HeaderFooterTable::read(const QString &code) {
    clearTexts();
    m_row = 1;
    m_col = 1;
    m_font = m_default;
    m_stored.fill(m_default);
    m_dropped = false;
    m_joinText = false;
    ReadResult result;
    qsizetype pos = 0;
    while (pos < code.size()) {
        if (code[pos] != QLatin1Char('/')) {
            // A run that no code follows closely is not shown.
            const qsizetype end = HeaderFooterCode::nextCode(code, pos, kReach);
            if (end < 0)
                break;
            addLiteral(code.mid(pos, end - pos));
            pos = end;
            continue;
        }
        const QChar c = pos + 1 < code.size() ? code[pos + 1] : QChar();
        const QChar after = pos + 2 < code.size() ? code[pos + 2] : QChar();
        switch (c.unicode()) {
        case '/': addLiteral(QStringLiteral("/")); break;
        case 'n':
            ++m_row;
            m_joinText = false;
            break;
        case 'l': addCellData(1); break;
        case 'c': addCellData(3); break;
        case 'r': addCellData(5); break;
        case 'p':
            setCurrentText(kPageNumberText, true);
            if (after == QLatin1Char('c')) // the page count shows as the field too
                ++pos;
            break;
        case 'f':
            if (QStringLiteral("nzbiuks").contains(after) || after.isDigit()) {
                m_joinText = false;
                if (!readFontCode(code, pos, result)) {
                    result.linesDropped = m_dropped;
                    return result;
                }
                continue;
            }
            [[fallthrough]];
        default:
            // Not a code: printed as it stands, so shown so.
            addLiteral(QStringLiteral("/"));
            ++pos;
            continue;
        }
        pos += 2;
    }
    result.linesDropped = m_dropped;
    return result;
}

// pos is at the "/" of a "/f" code and moves past it; false on a broken name or size.
bool HeaderFooterTable::readFontCode(const QString &code, qsizetype &pos, ReadResult &result) {
    const auto charAt = [&](qsizetype i) { return i < code.size() ? code[i] : QChar(); };
    const QChar kind = charAt(pos + 2);
    switch (kind.unicode()) {
    case 'n': {
        const auto name = HeaderFooterCode::readQuoted(code, pos + 3, kReach);
        if (!name) {
            result.error = QStringLiteral("Error parsing FONT NAME");
            return false;
        }
        m_font.name = name->value;
        pos = name->end;
        return true;
    }
    case 'z': {
        const auto size = HeaderFooterCode::readQuoted(code, pos + 3, kReach);
        bool ok = false;
        const double points = size ? size->value.trimmed().toDouble(&ok) : 0;
        if (!ok || points < std::numeric_limits<qint16>::min() || points > std::numeric_limits<qint16>::max()) {
            result.error = QStringLiteral("Error parsing FONT SIZE");
            return false;
        }
        m_font.size = qint16(qRound(points));
        pos = size->end;
        return true;
    }
    case 'b':
    case 'i':
    case 'u':
    case 'k': {
        const bool on = charAt(pos + 3) != QLatin1Char('0');
        (kind == QLatin1Char('b')   ? m_font.bold
         : kind == QLatin1Char('i') ? m_font.italic
         : kind == QLatin1Char('u') ? m_font.underline
                                    : m_font.strike) = on;
        pos += 4;
        return true;
    }
    case 's': {
        const int d = charAt(pos + 3).digitValue();
        if (d >= 0 && d <= 9)
            m_stored[size_t(d)] = m_font;
        pos += 4;
        return true;
    }
    default: {
        // Font 0 is the one in effect: "/f0" changes nothing.
        const int d = kind.digitValue();
        if (d > 0 && d <= 9)
            m_font = m_stored[size_t(d)];
        pos += 3;
        return true;
    }
    }
}

QString HeaderFooterTable::cellCode(int col, int row) const {
    const Cell &c = cell(col, row);
    const Align align = col == 1 ? Align::Left : col == 3 ? Align::Center : Align::Right;
    return HeaderFooterCode::fontCode(c.font) + HeaderFooterCode::alignCode(align) +
           (c.pageNumber ? QString(HeaderFooterCode::kPageNumberCode)
                         : QString(c.text).replace(QLatin1Char('/'), QStringLiteral("//")));
}

QString HeaderFooterTable::write() const {
    int last = 0;
    for (int row = 1; row <= kRows; ++row)
        for (int col : {1, 3, 5})
            if (!cell(col, row).text.isEmpty())
                last = row;
    QString out;
    for (int row = 1; row <= last; ++row) {
        for (int col : {1, 3, 5})
            if (!cell(col, row).text.isEmpty())
                out += cellCode(col, row);
        out += QStringLiteral("/n");
    }
    return out;
}

HeaderFooterTable::PageClick HeaderFooterTable::togglePageNumber(int col, int row,
                                                                 const std::function<bool()> &replaceText) {
    Cell *c = at(col, row);
    if (!c)
        return PageClick::Ignored;
    if (c->pageNumber) {
        c->pageNumber = false;
        c->text.clear();
        return PageClick::Removed;
    }
    const bool hadText = !c->text.isEmpty();
    if (hadText && !replaceText())
        return PageClick::Kept;
    c->pageNumber = true;
    c->text = kPageNumberText;
    return hadText ? PageClick::Replaced : PageClick::Inserted;
}
