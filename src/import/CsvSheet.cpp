#include "CsvSheet.h"
#include "AnsiCodec.h"
#include <QFile>
#include <QStringDecoder>

namespace CsvSheet {

namespace {
bool validUtf8(QByteArrayView bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8(bytes); // decoding happens here, not at the call
    return !utf8.hasError();
}

bool ascii(QByteArrayView bytes) {
    return std::all_of(bytes.begin(), bytes.end(), [](char c) { return quint8(c) < 0x80; });
}

// Lines that are UTF-8 beside lines that are not: a file pasted together from two sources,
// which neither reading would show right.
bool mixed(QByteArrayView bytes) {
    bool utf8Line = false, otherLine = false;
    for (qsizetype start = 0; start < bytes.size();) {
        qsizetype end = bytes.indexOf('\n', start);
        if (end < 0)
            end = bytes.size();
        const QByteArrayView line = bytes.sliced(start, end - start);
        if (!ascii(line))
            (validUtf8(line) ? utf8Line : otherLine) = true;
        if (utf8Line && otherLine)
            return true;
        start = end + 1;
    }
    return false;
}

QString decodeCp949(QByteArrayView bytes, bool *ok) {
    QStringDecoder dec("windows-949");
    const QString text = dec(bytes);
    *ok = dec.isValid() && !dec.hasError() && !text.contains(QChar::ReplacementCharacter);
    return text;
}

QChar delimiterOf(const QString &text) {
    const qsizetype end = text.indexOf(QLatin1Char('\n'));
    const QStringView first = QStringView(text).left(end < 0 ? text.size() : end);
    QChar best = QLatin1Char(',');
    qsizetype most = first.count(best);
    for (QChar c : {QLatin1Char('\t'), QLatin1Char(';')})
        if (first.count(c) > most) {
            best = c;
            most = first.count(c);
        }
    return best;
}
} // namespace

SheetData::Read parse(const QByteArray &raw, const SheetData::Options &options) {
    SheetData::Read r;
    QByteArrayView bytes(raw);
    const bool bom = bytes.startsWith("\xEF\xBB\xBF");
    if (bom)
        bytes = bytes.sliced(3);
    SheetData::Encoding encoding = options.encoding;
    if (encoding == SheetData::Encoding::Auto) {
        if (!bom && !validUtf8(bytes) && mixed(bytes)) {
            r.message = QStringLiteral("파일 안에 UTF-8 글자와 CP949(완성형) 글자가 섞여 있어 읽을 수 없습니다.\r\n"
                                       "한 가지 인코딩으로 저장한 파일을 고르세요.");
            return r;
        }
        encoding = bom || validUtf8(bytes) ? SheetData::Encoding::Utf8 : SheetData::Encoding::Cp949;
    }
    QString text;
    if (encoding == SheetData::Encoding::Utf8) {
        if (!validUtf8(bytes)) {
            r.message = QStringLiteral("UTF-8 파일이 아닙니다. 인코딩을 CP949로 바꾸어 보세요.");
            return r;
        }
        text = QString::fromUtf8(bytes);
        r.encoding = QStringLiteral("UTF-8");
    } else {
        bool ok = false;
        text = decodeCp949(bytes, &ok);
        if (!ok) {
            r.message = QStringLiteral("CP949(완성형)로 읽을 수 없는 글자가 있습니다. 인코딩을 UTF-8로 바꾸어 보세요.");
            return r;
        }
        r.encoding = QStringLiteral("CP949");
    }
    const QChar delimiter = delimiterOf(text);
    qsizetype row = 0;
    int col = 0;
    QString cell;
    bool quoted = false, any = false;
    const qsizetype n = text.size();
    const qsizetype step = qMax<qsizetype>(n / 100, 1 << 16);
    for (qsizetype i = 0; i < n; ++i) {
        if (options.progress && i % step == 0 && !options.progress(int(i * 1000 / qMax<qsizetype>(n, 1)))) {
            r.cancelled = true;
            r.message = SheetData::kCancelled;
            r.rows.clear();
            return r;
        }
        const QChar c = text[i];
        if (quoted) {
            if (c == QLatin1Char('"')) {
                if (i + 1 < n && text[i + 1] == QLatin1Char('"')) {
                    cell += c;
                    ++i;
                } else {
                    quoted = false;
                }
            } else {
                cell += c;
            }
            continue;
        }
        if (c == QLatin1Char('"') && cell.isEmpty()) {
            quoted = true;
            any = true;
        } else if (c == delimiter) {
            SheetData::put(r.rows, row, col++, cell);
            cell.clear();
            any = true;
        } else if (c == QLatin1Char('\n') || c == QLatin1Char('\r')) {
            if (c == QLatin1Char('\r') && i + 1 < n && text[i + 1] == QLatin1Char('\n'))
                ++i;
            SheetData::put(r.rows, row, col, cell);
            cell.clear();
            col = 0;
            any = false;
            if (qsizetype(r.rows.size()) <= row)
                r.rows.resize(size_t(row) + 1);
            if (++row >= SheetData::kMaxRows) {
                r.message = QStringLiteral("행이 너무 많습니다 (%1행까지 읽습니다).").arg(SheetData::kMaxRows);
                r.rows.clear();
                return r;
            }
        } else {
            cell += c;
            any = true;
        }
        if (col >= SheetData::kMaxCols) {
            r.message = QStringLiteral("열이 너무 많습니다 (%1열까지 읽습니다).").arg(SheetData::kMaxCols);
            r.rows.clear();
            return r;
        }
    }
    if (any || !cell.isEmpty())
        SheetData::put(r.rows, row, col, cell);
    if (quoted) {
        r.message = QStringLiteral("따옴표(\")가 닫히지 않은 채 파일이 끝납니다. 파일이 잘렸거나 손상되었습니다.");
        r.rows.clear();
        return r;
    }
    r.sheets = QStringList{QStringLiteral("CSV")};
    SheetData::finish(r, 0);
    return r;
}

SheetData::Read read(const QString &file, const SheetData::Options &options) {
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly)) {
        SheetData::Read r;
        r.message = QStringLiteral("파일을 열 수 없습니다.\r\n") + f.errorString();
        return r;
    }
    const QByteArray bytes = f.readAll();
    if (f.error() != QFileDevice::NoError) {
        SheetData::Read r;
        r.message = QStringLiteral("파일을 끝까지 읽지 못했습니다.\r\n") + f.errorString();
        return r;
    }
    return parse(bytes, options);
}

} // namespace CsvSheet
