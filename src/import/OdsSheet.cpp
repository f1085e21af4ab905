#include "OdsSheet.h"
#include "ZipBook.h"
#include <QXmlStreamReader>

namespace OdsSheet {

namespace {
// An attribute by its local name: OpenDocument's are all prefixed (table:, office:, text:).
QStringView attribute(const QXmlStreamAttributes &a, QLatin1String name) {
    for (const QXmlStreamAttribute &at : a)
        if (at.name() == name)
            return at.value();
    return {};
}

int repeat(const QXmlStreamReader &x, QLatin1String name) {
    const int n = attribute(x.attributes(), name).toInt();
    return qBound(1, n, int(SheetData::kMaxRows));
}

// The paragraphs of a cell, joined by line breaks; the reader stands on the cell's end after.
QString cellParagraphs(QXmlStreamReader &x) {
    QString text;
    int paragraphs = 0, depth = 1;
    while (depth > 0 && !x.atEnd()) {
        x.readNext();
        if (x.isStartElement()) {
            ++depth;
            const QStringView n = x.name();
            if (n == QLatin1String("p") && paragraphs++ > 0)
                text += QLatin1Char('\n');
            else if (n == QLatin1String("s"))
                text +=
                    QString(qBound(1, attribute(x.attributes(), QLatin1String("c")).toInt(), 1000), QLatin1Char(' '));
            else if (n == QLatin1String("tab"))
                text += QLatin1Char('\t');
            else if (n == QLatin1String("line-break"))
                text += QLatin1Char('\n');
            else if (n == QLatin1String("annotation")) {
                x.skipCurrentElement(); // a comment is no part of the value
                --depth;
            }
        } else if (x.isEndElement()) {
            --depth;
        } else if (x.isCharacters() && paragraphs > 0) {
            text += x.text();
        }
        if (text.size() > SheetData::kMaxCellText)
            text.truncate(SheetData::kMaxCellText);
    }
    return text;
}

QString cellValue(QXmlStreamReader &x) {
    const QXmlStreamAttributes a = x.attributes();
    const QStringView type = attribute(a, QLatin1String("value-type"));
    const QString shown = cellParagraphs(x);
    if (type == QLatin1String("float") || type == QLatin1String("percentage") || type == QLatin1String("currency")) {
        bool ok = false;
        const double v = attribute(a, QLatin1String("value")).toDouble(&ok);
        return ok ? SheetData::numberText(v) : shown;
    }
    if (type == QLatin1String("date"))
        return attribute(a, QLatin1String("date-value")).toString().replace(QLatin1Char('T'), QLatin1Char(' '));
    if (type == QLatin1String("boolean"))
        return attribute(a, QLatin1String("boolean-value")) == QLatin1String("true") ? QStringLiteral("TRUE")
                                                                                     : QStringLiteral("FALSE");
    return shown;
}

// A document saved with a password lists how each of its encrypted entries was encrypted
// in the manifest, itself left plain.
bool encrypted(const ZipBook &zip) {
    auto dev = zip.open(QStringLiteral("META-INF/manifest.xml"));
    if (!dev)
        return false;
    QXmlStreamReader x(dev.get());
    while (!x.atEnd())
        if (x.readNext() == QXmlStreamReader::StartElement && x.name() == QLatin1String("encryption-data"))
            return true;
    return false;
}
} // namespace

SheetData::Read read(const QString &file, const SheetData::Options &o) {
    SheetData::Read r;
    const ZipBook zip(file);
    if (!zip.isOpen()) {
        r.message = zip.error();
        return r;
    }
    if (encrypted(zip)) {
        r.message = SheetData::kPasswordProtected;
        return r;
    }
    auto dev = zip.open(QStringLiteral("content.xml"));
    if (!dev) {
        r.message = QStringLiteral("OpenDocument 스프레드시트가 아니거나 손상되었습니다 (content.xml이 없습니다).");
        return r;
    }
    const qint64 size = qMax<qint64>(dev->size(), 1);
    QXmlStreamReader x(dev.get());
    int table = -1;
    qsizetype row = 0, rowsSeen = 0;
    int col = 0, rowRepeat = 1;
    std::vector<QStringList> oneRow; // the current row's cells, put rowRepeat times at its end
    while (!x.atEnd()) {
        x.readNext();
        if (x.isStartElement()) {
            const QStringView n = x.name();
            if (n == QLatin1String("table")) {
                ++table;
                r.sheets << attribute(x.attributes(), QLatin1String("name")).toString();
                row = 0;
            } else if (table != o.sheet) {
                continue;
            } else if (n == QLatin1String("table-row")) {
                rowRepeat = repeat(x, QLatin1String("number-rows-repeated"));
                col = 0;
                oneRow.clear();
                if ((++rowsSeen & 1023) == 0 && o.progress &&
                    !o.progress(int(qMin<qint64>(x.characterOffset() * 1000 / size, 1000)))) {
                    r.cancelled = true;
                    r.message = SheetData::kCancelled;
                    r.rows.clear();
                    return r;
                }
            } else if (n == QLatin1String("table-cell") || n == QLatin1String("covered-table-cell")) {
                const int cols = repeat(x, QLatin1String("number-columns-repeated"));
                const QString text = cellValue(x);
                if (!text.isEmpty() && col + cols > SheetData::kMaxCols) {
                    r.message = QStringLiteral("열이 너무 많습니다 (%1열까지 읽습니다).").arg(SheetData::kMaxCols);
                    r.rows.clear();
                    return r;
                }
                for (int k = 0; !text.isEmpty() && k < cols; ++k)
                    SheetData::put(oneRow, 0, col + k, text);
                col += cols;
            }
        } else if (x.isEndElement() && table == o.sheet && x.name() == QLatin1String("table-row")) {
            if (!oneRow.empty()) {
                if (row + rowRepeat > SheetData::kMaxRows) {
                    r.message = QStringLiteral("행이 너무 많습니다 (%1행까지 읽습니다).").arg(SheetData::kMaxRows);
                    r.rows.clear();
                    return r;
                }
                for (int k = 0; k < rowRepeat; ++k)
                    for (int c = 0; c < oneRow[0].size(); ++c)
                        SheetData::put(r.rows, row + k, c, oneRow[0][c]);
            }
            row += rowRepeat;
        }
    }
    if (x.hasError()) {
        r.message = x.error() == QXmlStreamReader::PrematureEndOfDocumentError
                        ? QStringLiteral("파일을 끝까지 읽지 못했습니다. 파일이 잘렸거나 손상되었습니다.")
                        : QStringLiteral("OpenDocument 파일이 손상되었습니다: ") + x.errorString();
        r.rows.clear();
        return r;
    }
    SheetData::finish(r, o.sheet);
    return r;
}

} // namespace OdsSheet
