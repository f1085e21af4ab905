#pragma once
#include <QByteArray>
#include <QLatin1String>
#include <QString>
#include <QStringView>
#include <vector>

class QIODevice;

// A pull reader for the large parts of a workbook (a sheet, its shared texts) as zip writers
// produce them: UTF-8 XML read in chunks, with the calls of QXmlStreamReader that those
// readers use, several times faster. It stops with hasError() at whatever it does not take:
// a DOCTYPE, another encoding, an entity of a DTD, and anything that is not well-formed;
// the caller reads the part again with QXmlStreamReader, which then reads it or says what
// is wrong. Namespaces are not checked: elements are known by their local names.
class XmlPull {
public:
    explicit XmlPull(QIODevice *device) : m_device(device) {}

    bool atEnd() const { return m_state != State::Reading; }
    bool hasError() const { return m_state == State::Failed; }
    // Moves to the next start or end of an element; text, comments and instructions between
    // them are checked and passed over.
    void readNext();
    bool isStartElement() const { return m_token == Token::Start; }
    bool isEndElement() const { return m_token == Token::End; }
    // The element's local name (its bytes: ASCII names compare as they are).
    QLatin1String name() const { return m_name; }
    // The value of the start element's attribute of that qualified name; empty when it has none.
    QStringView attribute(QLatin1String qualifiedName);
    // At a start element: its text up to its end, which becomes the current token; an element
    // inside it fails, as QXmlStreamReader's readElementText does.
    QString readElementText();
    // Bytes read so far, for progress.
    qint64 characterOffset() const { return m_dropped + m_pos; }

private:
    enum class State { Reading, End, Failed };
    enum class Token { None, Start, End };
    struct Attribute {
        qsizetype name, nameLength, value, valueLength;
        QString text; // decoded when asked for
        bool decoded = false;
    };

    bool fill();
    bool need(qsizetype bytes);
    qsizetype find(char c, qsizetype from);
    qsizetype find(QByteArrayView what, qsizetype from);
    bool fail();
    bool startTag();
    bool endTag();
    bool special(bool inText, QString *text);
    bool declaration(qsizetype end);
    bool decode(qsizetype from, qsizetype to, QString *out, bool attribute);
    qsizetype nameEnd(qsizetype from) const;
    QLatin1String localName(qsizetype from, qsizetype to) const;

    QIODevice *m_device;
    QByteArray m_buf;
    qsizetype m_pos = 0;
    qint64 m_dropped = 0; // bytes before m_buf's start
    bool m_eof = false;
    bool m_rootSeen = false;
    bool m_pendingEnd = false; // <x/>: its end comes at the next call
    State m_state = State::Reading;
    Token m_token = Token::None;
    QLatin1String m_name;
    qint64 m_docStart = -1;         // where the document starts, after a byte order mark
    std::vector<QByteArray> m_open; // qualified names of the open elements, m_depth of them
    size_t m_depth = 0;
    std::vector<Attribute> m_attributes; // of the last start tag, m_attributeCount of them
    size_t m_attributeCount = 0;
    QString m_scratch; // text between elements, decoded only to be checked
};
