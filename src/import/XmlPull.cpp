#include "XmlPull.h"
#include <QIODevice>
#include <cstring>

namespace {
constexpr qsizetype kChunk = 1 << 16;

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

// A character XML allows in a document.
bool allowed(char32_t c) {
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD) ||
           (c >= 0x10000 && c <= 0x10FFFF);
}

// The character of a reference's name (without & and ;); 0 when it is none this reader knows.
char32_t reference(QByteArrayView name) {
    if (name == "lt")
        return '<';
    if (name == "gt")
        return '>';
    if (name == "amp")
        return '&';
    if (name == "quot")
        return '"';
    if (name == "apos")
        return '\'';
    if (name.size() < 2 || name[0] != '#')
        return 0;
    const bool hex = name[1] == 'x';
    const QByteArrayView digits = name.sliced(hex ? 2 : 1);
    if (digits.isEmpty() || digits.size() > 8)
        return 0;
    char32_t c = 0;
    for (char d : digits) {
        const int v = d >= '0' && d <= '9'                            ? d - '0'
                      : hex && (d | 0x20) >= 'a' && (d | 0x20) <= 'f' ? (d | 0x20) - 'a' + 10
                                                                      : -1;
        if (v < 0)
            return 0;
        c = c * (hex ? 16 : 10) + char32_t(v);
    }
    return allowed(c) ? c : 0;
}
} // namespace

bool XmlPull::fail() {
    m_state = State::Failed;
    m_token = Token::None;
    return false;
}

// Appends the next chunk; false at the end of the data (or when the device fails: the
// reading again says why).
bool XmlPull::fill() {
    if (m_eof)
        return false;
    const qsizetype had = m_buf.size();
    m_buf.resize(had + kChunk);
    const qint64 n = m_device->read(m_buf.data() + had, kChunk);
    m_buf.resize(had + qMax<qint64>(n, 0));
    if (n < 0)
        fail();
    if (n <= 0)
        m_eof = true;
    return n > 0;
}

bool XmlPull::need(qsizetype bytes) {
    while (m_buf.size() - m_pos < bytes)
        if (!fill())
            return false;
    return true;
}

qsizetype XmlPull::find(char c, qsizetype from) {
    for (;;) {
        if (const void *at = std::memchr(m_buf.constData() + from, c, size_t(m_buf.size() - from)))
            return static_cast<const char *>(at) - m_buf.constData();
        from = m_buf.size();
        if (!fill())
            return -1;
    }
}

qsizetype XmlPull::find(QByteArrayView what, qsizetype from) {
    for (;;) {
        const qsizetype at = QByteArrayView(m_buf).indexOf(what, from);
        if (at >= 0)
            return at;
        from = qMax(from, m_buf.size() - what.size() + 1);
        if (!fill())
            return -1;
    }
}

// Decodes raw bytes [from, to) into out: references resolved, line ends as one LF (in an
// attribute value every blank as a space), UTF-8 checked. False on anything XML refuses.
bool XmlPull::decode(qsizetype from, qsizetype to, QString *out, bool attribute) {
    const char *d = m_buf.constData();
    qsizetype run = from;
    bool ascii = true; // since run
    const auto flush = [&](qsizetype end) {
        if (end <= run)
            return true;
        if (ascii) {
            out->append(QLatin1String(d + run, end - run));
            return true;
        }
        ascii = true;
        const qsizetype before = out->size();
        if (out->isEmpty())
            *out = QString::fromUtf8(d + run, end - run);
        else
            out->append(QString::fromUtf8(d + run, end - run));
        // A replacement character or a non-character marks bytes that are no UTF-8, which
        // QXmlStreamReader alone judges.
        for (qsizetype i = before; i < out->size(); ++i) {
            const char16_t u = out->at(i).unicode();
            if (u >= 0xFFFD)
                return false;
        }
        return true;
    };
    for (qsizetype i = from; i < to; ++i) {
        const auto b = quint8(d[i]);
        if (b >= 0x80) {
            ascii = false;
            continue;
        }
        if (b >= 0x20 && b != '&' && b != '>' && b != '<')
            continue;
        if (!flush(i))
            return false;
        run = i + 1;
        if (b == '\r' || b == '\n' || b == '\t') {
            if (b == '\r' && i + 1 < to && d[i + 1] == '\n')
                ++i, ++run;
            out->append(attribute ? QLatin1Char(' ') : b == '\t' ? QLatin1Char('\t') : QLatin1Char('\n'));
        } else if (b == '&') {
            const qsizetype semi = QByteArrayView(d + i, to - i).indexOf(';');
            const char32_t c = semi > 1 ? reference(QByteArrayView(d + i + 1, semi - 1)) : 0;
            if (c == 0)
                return false;
            out->append(QChar::fromUcs4(c));
            i += semi;
            run = i + 1;
        } else if (b == '>') {
            if (!attribute && i - from >= 2 && d[i - 1] == ']' && d[i - 2] == ']')
                return false; // "]]>" outside a CDATA section
            run = i;          // kept as it is
        } else {
            return false; // '<' in a value, or a control character
        }
    }
    return flush(to);
}

qsizetype XmlPull::nameEnd(qsizetype from) const {
    const char *d = m_buf.constData();
    qsizetype i = from;
    for (; i < m_buf.size(); ++i) {
        const char c = d[i];
        if (isSpace(c) || c == '>' || c == '/' || c == '=' || c == '<' || c == '"' || c == '\'')
            break;
    }
    return i;
}

QLatin1String XmlPull::localName(qsizetype from, qsizetype to) const {
    const qsizetype colon = QByteArrayView(m_buf).sliced(from, to - from).indexOf(':');
    return colon < 0 ? QLatin1String(m_buf.constData() + from, to - from)
                     : QLatin1String(m_buf.constData() + from + colon + 1, to - from - colon - 1);
}

// The XML declaration: only at the start, and only for UTF-8.
bool XmlPull::declaration(qsizetype end) {
    if (m_dropped + m_pos != m_docStart || m_rootSeen)
        return false;
    const QByteArray text = m_buf.mid(m_pos, end - m_pos).toLower();
    const qsizetype at = text.indexOf("encoding");
    if (at < 0)
        return true;
    const qsizetype quote = text.indexOf('=', at);
    const QByteArray value = text.mid(quote + 1).trimmed();
    return value.startsWith("\"utf-8\"") || value.startsWith("'utf-8'");
}

// At '<' not followed by a name or '/': a comment, a CDATA section (its text appended to text
// when inText), an instruction. False on anything else.
bool XmlPull::special(bool inText, QString *text) {
    need(9); // as much as the longest opening; fewer near the end
    const QByteArrayView at = QByteArrayView(m_buf).sliced(m_pos);
    if (at.startsWith("<!--")) {
        const qsizetype end = find("--", m_pos + 4);
        if (end < 0 || !need(end - m_pos + 3) || m_buf[end + 2] != '>')
            return false; // "--" inside a comment, or no end
        m_pos = end + 3;
        return true;
    }
    if (at.startsWith("<![CDATA[")) {
        const qsizetype end = find("]]>", m_pos + 9);
        if (end < 0 || m_depth == 0)
            return false;
        QString part = QString::fromUtf8(m_buf.constData() + m_pos + 9, end - m_pos - 9);
        part.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
        for (QChar c : part)
            if (c.unicode() >= 0xFFFD || (c.unicode() < 0x20 && c != u'\t' && c != u'\n'))
                return false;
        if (inText)
            text->append(part);
        m_pos = end + 3;
        return true;
    }
    if (at.startsWith("<?")) {
        const qsizetype end = find("?>", m_pos + 2);
        if (end < 0)
            return false;
        const QByteArrayView target = QByteArrayView(m_buf).sliced(m_pos + 2, nameEnd(m_pos + 2) - m_pos - 2);
        if (target.isEmpty() || (target.compare("xml", Qt::CaseInsensitive) == 0 && !declaration(end)))
            return false;
        m_pos = end + 2;
        return true;
    }
    return false; // a DOCTYPE or damage
}

bool XmlPull::startTag() {
    // The tag's end, outside quoted values.
    qsizetype i = m_pos + 1;
    char quote = 0;
    for (;; ++i) {
        if (i >= m_buf.size() && !fill())
            return false;
        const char c = m_buf.constData()[i];
        if (quote) {
            if (c == quote)
                quote = 0;
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == '>') {
            break;
        }
    }
    const char *d = m_buf.constData();
    const qsizetype close = i;
    const bool empty = d[close - 1] == '/';
    const qsizetype last = empty ? close - 1 : close;
    const qsizetype nameTo = nameEnd(m_pos + 1);
    if (nameTo == m_pos + 1 || nameTo > last)
        return false;
    m_attributeCount = 0;
    for (qsizetype p = nameTo;;) {
        const qsizetype gap = p;
        while (p < last && isSpace(d[p]))
            ++p;
        if (p == last)
            break;
        if (p == gap)
            return false; // attributes are set apart by blanks
        // The slots of earlier tags are used again: their texts keep their room.
        if (m_attributeCount == m_attributes.size())
            m_attributes.emplace_back();
        Attribute &a = m_attributes[m_attributeCount];
        a.name = p;
        a.decoded = false;
        a.text.resize(0);
        const qsizetype to = nameEnd(p);
        a.nameLength = to - p;
        p = to;
        while (p < last && isSpace(d[p]))
            ++p;
        if (a.nameLength == 0 || p >= last || d[p] != '=')
            return false;
        ++p;
        while (p < last && isSpace(d[p]))
            ++p;
        if (p >= last || (d[p] != '"' && d[p] != '\''))
            return false;
        const auto *end = static_cast<const char *>(std::memchr(d + p + 1, d[p], size_t(last - p - 1)));
        if (!end)
            return false;
        a.value = p + 1;
        a.valueLength = end - d - a.value;
        if (std::memchr(d + a.value, '&', size_t(a.valueLength)) ||
            std::memchr(d + a.value, '<', size_t(a.valueLength))) {
            if (!decode(a.value, end - d, &a.text, true))
                return false;
            a.decoded = true;
        }
        const QByteArrayView name(d + a.name, a.nameLength);
        for (size_t b = 0; b < m_attributeCount; ++b)
            if (QByteArrayView(d + m_attributes[b].name, m_attributes[b].nameLength) == name)
                return false;
        ++m_attributeCount;
        p = end - d + 1;
    }
    if (m_depth == 0 && m_rootSeen)
        return false; // a second root element
    m_rootSeen = true;
    // The slots of closed elements are used again: no allocation an element.
    if (m_depth == m_open.size())
        m_open.emplace_back();
    QByteArray &slot = m_open[m_depth++];
    slot.resize(nameTo - m_pos - 1);
    std::memcpy(slot.data(), m_buf.constData() + m_pos + 1, size_t(slot.size()));
    m_name = localName(m_pos + 1, nameTo);
    m_pendingEnd = empty;
    m_token = Token::Start;
    m_pos = close + 1;
    return true;
}

bool XmlPull::endTag() {
    const qsizetype close = find('>', m_pos);
    if (close < 0 || m_depth == 0)
        return false;
    qsizetype nameTo = m_pos + 2;
    const char *d = m_buf.constData();
    while (nameTo < close && !isSpace(d[nameTo]))
        ++nameTo;
    for (qsizetype i = nameTo; i < close; ++i)
        if (!isSpace(d[i]))
            return false;
    if (QByteArrayView(m_buf).sliced(m_pos + 2, nameTo - m_pos - 2) != m_open[m_depth - 1])
        return false;
    m_name = localName(m_pos + 2, nameTo);
    --m_depth;
    m_token = Token::End;
    m_pos = close + 1;
    return true;
}

void XmlPull::readNext() {
    if (m_state != State::Reading)
        return;
    m_token = Token::None;
    if (m_pendingEnd) {
        m_pendingEnd = false;
        m_token = Token::End;
        --m_depth;
        return;
    }
    if (m_docStart < 0) {
        need(4);
        const QByteArrayView head(m_buf);
        if (head.startsWith("\xEF\xBB\xBF"))
            m_pos = 3;
        else if (head.startsWith("\xFE\xFF") || head.startsWith("\xFF\xFE") || head.startsWith('\0') ||
                 (head.size() > 1 && head[1] == '\0'))
            return void(fail()); // UTF-16 or UTF-32: QXmlStreamReader's
        m_docStart = m_pos;
    }
    // What was read before the last start tag is no longer looked at.
    if (m_pos >= kChunk) {
        m_buf.remove(0, m_pos);
        m_dropped += m_pos;
        m_pos = 0;
    }
    for (;;) {
        const qsizetype lt = find('<', m_pos);
        const qsizetype to = lt < 0 ? m_buf.size() : lt;
        if (m_depth == 0) {
            for (qsizetype i = m_pos; i < to; ++i)
                if (!isSpace(m_buf.constData()[i]))
                    return void(fail());
        } else if (to > m_pos) {
            m_scratch.resize(0);
            if (!decode(m_pos, to, &m_scratch, false))
                return void(fail());
        }
        m_pos = to;
        if (lt < 0) {
            if (m_state == State::Reading)
                m_state = m_rootSeen && m_depth == 0 ? State::End : State::Failed;
            return;
        }
        if (!need(2))
            return void(fail());
        const char next = m_buf[m_pos + 1];
        if (next == '/') {
            if (!endTag())
                fail();
            return;
        }
        if (next == '!' || next == '?') {
            if (!special(false, nullptr))
                return void(fail());
            continue;
        }
        if (!startTag())
            fail();
        return;
    }
}

QStringView XmlPull::attribute(QLatin1String qualifiedName) {
    if (m_token != Token::Start)
        return {};
    for (size_t i = 0; i < m_attributeCount; ++i) {
        Attribute &a = m_attributes[i];
        if (QLatin1String(m_buf.constData() + a.name, a.nameLength) != qualifiedName)
            continue;
        if (!a.decoded) {
            if (!decode(a.value, a.value + a.valueLength, &a.text, true))
                return fail(), QStringView();
            a.decoded = true;
        }
        return a.text;
    }
    return {};
}

QString XmlPull::readElementText() {
    QString text;
    if (m_token != Token::Start)
        return text;
    if (m_pendingEnd) {
        readNext();
        return text;
    }
    for (;;) {
        const qsizetype lt = find('<', m_pos);
        if (lt < 0 || !decode(m_pos, lt, &text, false))
            return fail(), QString();
        m_pos = lt;
        if (!need(2))
            return fail(), QString();
        const char next = m_buf[m_pos + 1];
        if (next == '/') {
            if (!endTag())
                return fail(), QString();
            return text;
        }
        if ((next != '!' && next != '?') || !special(true, &text))
            return fail(), QString(); // an element inside, or damage
    }
}
