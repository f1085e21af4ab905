#include "XlsxSheet.h"
#include "XmlPull.h"
#include "ZipBook.h"
#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QXmlStreamReader>

namespace XlsxSheet {

namespace {
const QString kDamaged = QStringLiteral("통합 문서 파일이 손상되었습니다: ");

struct Book {
    QStringList names;
    QStringList parts; // the sheets' entries inside the archive
    QStringList strings;
    QSet<int> dateStyles; // cell style numbers whose number format shows a date
};

// A failed part names itself; a missing optional part is no failure.
bool failed(const QXmlStreamReader &x, const QString &part, QString *error) {
    if (!x.hasError())
        return false;
    *error = kDamaged + part + QStringLiteral(" (") + x.errorString() + QLatin1Char(')');
    return true;
}

QString partPath(const QString &target) {
    if (target.startsWith(QLatin1Char('/')))
        return target.mid(1);
    return QStringLiteral("xl/") + target;
}

bool readSheetList(const ZipBook &zip, Book &book, QString *error) {
    QHash<QString, QString> targets;
    if (auto dev = zip.open(QStringLiteral("xl/_rels/workbook.xml.rels"))) {
        QXmlStreamReader x(dev.get());
        while (!x.atEnd()) {
            x.readNext();
            if (x.isStartElement() && x.name() == QLatin1String("Relationship"))
                targets.insert(x.attributes().value(QLatin1String("Id")).toString(),
                               x.attributes().value(QLatin1String("Target")).toString());
        }
        if (failed(x, QStringLiteral("workbook.xml.rels"), error))
            return false;
    }
    auto dev = zip.open(QStringLiteral("xl/workbook.xml"));
    if (!dev) {
        *error = QStringLiteral("통합 문서 파일이 아니거나 손상되었습니다 (xl/workbook.xml이 없습니다).");
        return false;
    }
    QXmlStreamReader x(dev.get());
    while (!x.atEnd()) {
        x.readNext();
        if (x.isStartElement() && x.name() == QLatin1String("sheet")) {
            QString rid;
            for (const QXmlStreamAttribute &a : x.attributes())
                if (a.name() == QLatin1String("id"))
                    rid = a.value().toString();
            book.names << x.attributes().value(QLatin1String("name")).toString();
            book.parts << partPath(targets.value(rid));
        }
    }
    return !failed(x, QStringLiteral("workbook.xml"), error);
}

// A part's attribute through either reader.
QStringView attribute(XmlPull &x, QLatin1String name) { return x.attribute(name); }
QString attribute(const QXmlStreamReader &x, QLatin1String name) { return x.attributes().value(name).toString(); }

template <class Reader> void stringsFrom(Reader &x, Book &book) {
    QString text;
    int phonetic = 0;
    while (!x.atEnd()) {
        x.readNext();
        if (x.isStartElement()) {
            if (x.name() == QLatin1String("si"))
                text.clear();
            else if (x.name() == QLatin1String("rPh"))
                ++phonetic;
            else if (x.name() == QLatin1String("t") && phonetic == 0)
                text += x.readElementText();
        } else if (x.isEndElement()) {
            if (x.name() == QLatin1String("si"))
                book.strings << text.left(SheetData::kMaxCellText);
            else if (x.name() == QLatin1String("rPh"))
                --phonetic;
        }
    }
}

// The fast reader first; what it does not take is read again by Qt's, which names the damage.
bool readStrings(const ZipBook &zip, Book &book, QString *error) {
    const QString part = QStringLiteral("xl/sharedStrings.xml");
    if (auto dev = zip.open(part)) {
        XmlPull fast(dev.get());
        stringsFrom(fast, book);
        if (!fast.hasError())
            return true;
        book.strings.clear();
    }
    auto dev = zip.open(part);
    if (!dev)
        return true;
    QXmlStreamReader x(dev.get());
    stringsFrom(x, book);
    return !failed(x, QStringLiteral("sharedStrings.xml"), error);
}

// A number format shows a date when it has day, month or year letters outside quotes and brackets.
bool isDateFormat(int id, const QString &code) {
    if ((id >= 14 && id <= 22) || (id >= 45 && id <= 47))
        return true;
    static const QRegularExpression noise(QStringLiteral("\"[^\"]*\"|\\[[^\\]]*\\]|\\\\.|_.|\\*."));
    const QString bare = QString(code).remove(noise).toLower();
    return bare.contains(QLatin1Char('y')) || bare.contains(QLatin1Char('d')) ||
           (bare.contains(QLatin1Char('m')) && !bare.contains(QLatin1Char('0')) && !bare.contains(QLatin1Char('#')));
}

bool readStyles(const ZipBook &zip, Book &book, QString *error) {
    auto dev = zip.open(QStringLiteral("xl/styles.xml"));
    if (!dev)
        return true;
    QXmlStreamReader x(dev.get());
    QHash<int, QString> formats;
    bool inCellXfs = false;
    int xf = 0;
    while (!x.atEnd()) {
        x.readNext();
        if (x.isStartElement()) {
            if (x.name() == QLatin1String("numFmt"))
                formats.insert(x.attributes().value(QLatin1String("numFmtId")).toInt(),
                               x.attributes().value(QLatin1String("formatCode")).toString());
            else if (x.name() == QLatin1String("cellXfs"))
                inCellXfs = true;
            else if (inCellXfs && x.name() == QLatin1String("xf")) {
                const int id = x.attributes().value(QLatin1String("numFmtId")).toInt();
                if (isDateFormat(id, formats.value(id)))
                    book.dateStyles.insert(xf);
                ++xf;
            }
        } else if (x.isEndElement() && x.name() == QLatin1String("cellXfs")) {
            inCellXfs = false;
        }
    }
    return !failed(x, QStringLiteral("styles.xml"), error);
}

// "BC12" as column 54 (0-based), row 11; false when it is no cell reference.
bool reference(QStringView ref, int *col, qsizetype *row) {
    qsizetype i = 0;
    qint64 c = 0;
    while (i < ref.size() && ref[i].isLetter() && ref[i].unicode() < 0x80) {
        c = c * 26 + (ref[i].toUpper().unicode() - 'A' + 1);
        if (c > SheetData::kMaxCols)
            return false;
        ++i;
    }
    bool ok = false;
    const qint64 r = ref.mid(i).toLongLong(&ok);
    if (i == 0 || !ok || r < 1 || r > SheetData::kMaxRows)
        return false;
    *col = int(c - 1);
    *row = r - 1;
    return true;
}

struct Cell {
    // The cell's t attribute: a shared text, its own text, a truth value, a text as it is
    // (a formula's text, an error, an ISO date); anything else is a number.
    enum Type { Number, Shared, Inline, Boolean, Plain } type = Number;
    QString value, inlineText;
    int style = 0;
};

Cell::Type cellType(QStringView t) {
    if (t == QLatin1String("s"))
        return Cell::Shared;
    if (t == QLatin1String("inlineStr"))
        return Cell::Inline;
    if (t == QLatin1String("b"))
        return Cell::Boolean;
    if (t == QLatin1String("str") || t == QLatin1String("e") || t == QLatin1String("d"))
        return Cell::Plain;
    return Cell::Number;
}

QString cellText(const Cell &c, const Book &book) {
    if (c.type == Cell::Shared) {
        bool ok = false;
        const int i = c.value.toInt(&ok);
        return ok && i >= 0 && i < book.strings.size() ? book.strings[i] : QString();
    }
    if (c.type == Cell::Inline)
        return c.inlineText;
    if (c.type == Cell::Boolean)
        return c.value == QLatin1String("1") ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
    if (c.type == Cell::Plain)
        return c.value;
    bool ok = false;
    const double v = c.value.toDouble(&ok);
    if (!ok)
        return c.value;
    return book.dateStyles.contains(c.style) ? SheetData::dateText(v) : SheetData::numberText(v);
}

// The cells of a sheet part into r; false with r.message on a refusal of the content. Errors
// of the reader itself are the caller's.
template <class Reader>
bool cellsFrom(Reader &x, qint64 size, const Book &book, const SheetData::Options &o, SheetData::Read &r) {
    qsizetype row = -1;
    int col = -1;
    Cell cell;
    bool inCell = false;
    qint64 seen = 0;
    while (!x.atEnd()) {
        x.readNext();
        if (!x.isStartElement()) {
            if (x.isEndElement() && inCell && x.name() == QLatin1String("c")) {
                inCell = false;
                SheetData::put(r.rows, row, col, cellText(cell, book));
            }
            continue;
        }
        const auto name = x.name();
        if (name == QLatin1String("row")) {
            const qsizetype given = attribute(x, QLatin1String("r")).toLongLong();
            row = given > 0 ? given - 1 : row + 1;
            col = -1;
            if (row >= SheetData::kMaxRows) {
                r.message = kDamaged + QStringLiteral("행 번호가 너무 큽니다.");
                return false;
            }
            if ((++seen & 1023) == 0 && o.progress &&
                !o.progress(int(qMin<qint64>(x.characterOffset() * 1000 / size, 1000)))) {
                r.cancelled = true;
                r.message = SheetData::kCancelled;
                return false;
            }
        } else if (name == QLatin1String("c")) {
            const auto ref = attribute(x, QLatin1String("r"));
            qsizetype refRow = row;
            if (ref.isEmpty()) {
                ++col;
            } else if (!reference(ref, &col, &refRow)) {
                r.message = kDamaged + QStringLiteral("셀 주소 [%1]를 읽을 수 없습니다.").arg(ref);
                return false;
            }
            row = qMax<qsizetype>(refRow, 0);
            cell = Cell{cellType(attribute(x, QLatin1String("t"))), {}, {}, attribute(x, QLatin1String("s")).toInt()};
            inCell = true;
        } else if (inCell && name == QLatin1String("v")) {
            cell.value = x.readElementText();
        } else if (inCell && name == QLatin1String("t")) {
            cell.inlineText += x.readElementText();
        }
    }
    return true;
}

bool readCells(const ZipBook &zip, const Book &book, int sheet, const SheetData::Options &o, SheetData::Read &r) {
    const QString part = book.parts.value(sheet);
    auto dev = zip.open(part);
    if (!dev) {
        r.message = kDamaged + QStringLiteral("시트 [%1]의 내용이 없습니다.").arg(book.names.value(sheet));
        return false;
    }
    const qint64 size = qMax<qint64>(dev->size(), 1);
    // The fast reader first; what it does not take is read again by Qt's, which names the damage.
    {
        XmlPull fast(dev.get());
        const bool ok = cellsFrom(fast, size, book, o, r);
        if (!fast.hasError() || !ok)
            return ok;
        r.rows.clear();
        dev = zip.open(part);
    }
    QXmlStreamReader x(dev.get());
    if (!cellsFrom(x, size, book, o, r))
        return false;
    if (x.hasError()) {
        r.message = x.error() == QXmlStreamReader::PrematureEndOfDocumentError
                        ? QStringLiteral("파일을 끝까지 읽지 못했습니다. 파일이 잘렸거나 손상되었습니다.")
                        : kDamaged + QStringLiteral("시트 [%1] (%2)").arg(book.names.value(sheet), x.errorString());
        if (!dev->errorString().isEmpty() && dev->errorString() != QLatin1String("Unknown error"))
            r.message += QStringLiteral("\r\n") + dev->errorString();
        return false;
    }
    return true;
}
} // namespace

SheetData::Read read(const QString &file, const SheetData::Options &options) {
    SheetData::Read r;
    const ZipBook zip(file);
    if (!zip.isOpen()) {
        r.message = zip.error();
        return r;
    }
    Book book;
    if (!readSheetList(zip, book, &r.message) || !readStrings(zip, book, &r.message) ||
        !readStyles(zip, book, &r.message))
        return r;
    r.sheets = book.names;
    if (options.sheet < 0 || options.sheet >= book.names.size()) {
        r.message = SheetData::kNoSheet;
        return r;
    }
    if (!readCells(zip, book, options.sheet, options, r)) {
        r.rows.clear();
        return r;
    }
    SheetData::finish(r, options.sheet);
    return r;
}

} // namespace XlsxSheet
