#include "HeaderFooterCode.h"
#include <QHash>
#include <QLocale>

namespace HeaderFooterCode {
namespace {

class Reader {
public:
    Reader(const QString &code, const Font &font) : m_code(code), m_font(font) {}

    Document read() {
        if (m_code.isEmpty())
            return {};
        while (m_pos < m_code.size()) {
            const QChar c = m_code[m_pos];
            if (c != QLatin1Char('/') || !readCode())
                literal(c);
        }
        endLine();
        return m_doc;
    }

private:
    QChar at(qsizetype i) const { return i < m_code.size() ? m_code[i] : QChar(); }

    void literal(QChar c) {
        appendText(QString(c));
        ++m_pos;
    }

    void appendText(const QString &text) {
        auto &runs = m_line.runs;
        if (!runs.empty() && runs.back().kind == Run::Text && runs.back().font == m_font &&
            runs.back().align == m_align)
            runs.back().text += text;
        else
            runs.push_back({Run::Text, text, m_font, m_align});
    }

    void endLine() {
        m_line.font = m_font;
        m_doc.push_back(std::move(m_line));
        m_line = {};
    }

    // Reads the code at m_pos (a "/"); false leaves it to be printed as it stands.
    bool readCode() {
        const QChar a = at(m_pos + 1);
        const QChar b = at(m_pos + 2);
        switch (a.unicode()) {
        case '/':
            appendText(QStringLiteral("/"));
            m_pos += 2;
            return true;
        case 'l':
            m_align = Align::Left;
            m_pos += 2;
            return true;
        case 'c':
            m_align = Align::Center;
            m_pos += 2;
            return true;
        case 'r':
            m_align = Align::Right;
            m_pos += 2;
            return true;
        case 'n':
            endLine();
            m_pos += 2;
            return true;
        case 'p':
            if (b == QLatin1Char('c')) {
                m_line.runs.push_back({Run::PageCount, {}, m_font, m_align});
                m_pos += 3;
            } else {
                m_line.runs.push_back({Run::PageNumber, {}, m_font, m_align});
                m_pos += 2;
            }
            return true;
        case 'f': return readFontCode(b);
        default: return false;
        }
    }

    bool readFontCode(QChar b) {
        if (b.isDigit()) {
            m_font = m_stored.value(b.digitValue(), m_font);
            m_pos += 3;
            return true;
        }
        const QChar v = at(m_pos + 3);
        switch (b.unicode()) {
        case 'n':
        case 'z': {
            const std::optional<Quoted> quoted = readQuoted(m_code, m_pos + 3);
            if (!quoted)
                return false;
            const QString &value = quoted->value;
            if (b == QLatin1Char('n')) {
                m_font.name = value;
            } else {
                bool ok = false;
                const double size = value.trimmed().toDouble(&ok);
                if (ok && size > 0 && size <= 400)
                    m_font.size = size;
            }
            m_pos = quoted->end;
            return true;
        }
        case 'b':
        case 'i':
        case 'u':
        case 'k': {
            if (v != QLatin1Char('0') && v != QLatin1Char('1'))
                return false;
            const bool on = v == QLatin1Char('1');
            (b == QLatin1Char('b')   ? m_font.bold
             : b == QLatin1Char('i') ? m_font.italic
             : b == QLatin1Char('u') ? m_font.underline
                                     : m_font.strike) = on;
            m_pos += 4;
            return true;
        }
        case 's':
            if (!v.isDigit())
                return false;
            m_stored.insert(v.digitValue(), m_font);
            m_pos += 4;
            return true;
        default: return false;
        }
    }

    const QString &m_code;
    qsizetype m_pos = 0;
    Font m_font;
    Align m_align = Align::Left;
    QHash<int, Font> m_stored;
    Line m_line;
    Document m_doc;
};

QString flag(const char *code, bool on) { return QLatin1String(code) + QLatin1Char(on ? '1' : '0'); }

class Writer {
public:
    explicit Writer(const Font &font) : m_font(font) {}

    QString write(const Document &doc) {
        for (size_t i = 0; i < doc.size(); ++i) {
            if (i > 0)
                m_out += QStringLiteral("/n");
            for (const Run &run : doc[i].runs)
                writeRun(run);
            setFont(doc[i].font);
        }
        // "" reads as no line at all: one empty line needs a code that prints nothing.
        if (m_out.isEmpty() && !doc.empty())
            m_out = alignCode(Align::Left);
        return m_out;
    }

private:
    void writeRun(const Run &run) {
        setFont(run.font);
        // Re-stating the alignment also keeps "/p" from reading as "/pc" before a "c".
        const bool joinsPageNumber =
            m_afterPageNumber && run.kind == Run::Text && run.text.startsWith(QLatin1Char('c'));
        if (run.align != m_align || joinsPageNumber)
            m_out += alignCode(run.align);
        m_align = run.align;
        m_afterPageNumber = false;
        switch (run.kind) {
        case Run::PageNumber:
            m_out += kPageNumberCode;
            m_afterPageNumber = true;
            break;
        case Run::PageCount: m_out += QStringLiteral("/pc"); break;
        case Run::Text: m_out += QString(run.text).replace(QLatin1Char('/'), QStringLiteral("//")); break;
        }
    }

    void setFont(const Font &f) {
        if (f.name != m_font.name)
            m_out += QStringLiteral("/fn\"%1\"").arg(QString(f.name).remove(QLatin1Char('"')));
        if (f.size != m_font.size)
            m_out += QStringLiteral("/fz\"%1\"").arg(QString::number(f.size, 'g', QLocale::FloatingPointShortest));
        if (f.bold != m_font.bold)
            m_out += flag("/fb", f.bold);
        if (f.italic != m_font.italic)
            m_out += flag("/fi", f.italic);
        if (f.underline != m_font.underline)
            m_out += flag("/fu", f.underline);
        if (f.strike != m_font.strike)
            m_out += flag("/fk", f.strike);
        m_font = f;
    }

    QString m_out;
    Font m_font;
    Align m_align = Align::Left;
    bool m_afterPageNumber = false;
};

} // namespace

Document parse(const QString &code, const Font &defaultFont) { return Reader(code, defaultFont).read(); }

QString write(const Document &doc, const Font &defaultFont) { return Writer(defaultFont).write(doc); }

QString runText(const Run &run, int page, int pageCount) {
    switch (run.kind) {
    case Run::PageNumber: return QString::number(page);
    case Run::PageCount: return QString::number(pageCount);
    case Run::Text: break;
    }
    return run.text;
}

std::optional<Quoted> readQuoted(QStringView code, qsizetype open, qsizetype limit) {
    if (open >= code.size() || code[open] != QLatin1Char('"'))
        return std::nullopt;
    const qsizetype close = code.indexOf(QLatin1Char('"'), open + 1);
    if (close < 0 || (limit >= 0 && close - open - 1 > limit))
        return std::nullopt;
    return Quoted{code.mid(open + 1, close - open - 1).toString(), close + 1};
}

qsizetype nextCode(QStringView code, qsizetype from, qsizetype limit) {
    const qsizetype slash = code.indexOf(QLatin1Char('/'), from);
    return slash < 0 || slash - from > limit ? -1 : slash;
}

QString alignCode(Align a) {
    return a == Align::Center ? QStringLiteral("/c") : a == Align::Right ? QStringLiteral("/r") : QStringLiteral("/l");
}

QString fontCode(const Font &f) {
    // Not chained arg(): a "%2" in the name would take the size.
    return QStringLiteral("/fn\"") + QString(f.name).remove(QLatin1Char('"')) + QStringLiteral("\"/fz\"") +
           QString::number(qRound(f.size)) + QLatin1Char('"') + flag("/fb", f.bold) + flag("/fi", f.italic) +
           flag("/fu", f.underline) + flag("/fk", f.strike);
}

} // namespace HeaderFooterCode
