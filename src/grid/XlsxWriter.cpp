#include "XlsxWriter.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <array>
#include <xlsxwriter.h>

namespace {
constexpr int kRows = 1048576;
constexpr int kMaxText = 32767; // the most a cell holds

struct Book {
    lxw_workbook *wb = nullptr;
    ~Book() {
        if (wb)
            workbook_close(wb); // also when the writing stopped part-way: frees it
    }
};
} // namespace

XlsResult writeXlsxFile(const SheetStore &sheet, int lastRow, const std::vector<XlsColumn> &columns,
                        const XlsOptions &options, const QString &file) {
    XlsResult result;
    lastRow = std::clamp(lastRow, 0, sheet.maxRows());
    std::vector<int> rows;
    rows.reserve(size_t(lastRow));
    const int headerRows = std::clamp(options.headerRows, 0, lastRow);
    for (int r = 1; r <= lastRow; ++r)
        if (r <= headerRows || !sheet.rowHidden(r))
            rows.push_back(r);
    if (rows.size() > size_t(kRows)) {
        result.error = QStringLiteral("행이 %1개를 넘습니다").arg(kRows);
        return result;
    }
    const QFileInfo target(file);
    QTemporaryFile temp(target.absolutePath() + QStringLiteral("/.") + target.fileName() + QStringLiteral("-XXXXXX"));
    if (!temp.open()) {
        result.error = QStringLiteral("파일을 만들 수 없습니다: ") + QDir::toNativeSeparators(file);
        return result;
    }
    temp.close();
    const QByteArray tempName = QFile::encodeName(temp.fileName());
    const QByteArray tmpdir = QFile::encodeName(target.absolutePath());
    lxw_workbook_options o{};
    o.constant_memory = LXW_TRUE; // rows go out as they are written
    o.tmpdir = const_cast<char *>(tmpdir.constData());
    o.use_zip64 = LXW_TRUE;
    Book book;
    book.wb = workbook_new_opt(tempName.constData(), &o);
    if (!book.wb) {
        result.error = QStringLiteral("파일을 만들 수 없습니다: ") + QDir::toNativeSeparators(file);
        return result;
    }
    lxw_worksheet *ws = workbook_add_worksheet(book.wb, xlsSheetName(options.sheetName, 1).toUtf8().constData());
    const QByteArray font = (options.fontName.isEmpty() ? QStringLiteral("Arial") : options.fontName).toUtf8();
    // Bold x horizontal x vertical alignment, made once.
    std::array<lxw_format *, 18> formats{};
    for (int i = 0; i < 18; ++i) {
        lxw_format *f = workbook_add_format(book.wb);
        format_set_font_name(f, font.constData());
        format_set_font_size(f, std::clamp(options.fontSize, 1.0, 409.0));
        if (i >= 9)
            format_set_bold(f);
        const int h = (i % 9) / 3, v = i % 3;
        format_set_align(f, h == 1 ? LXW_ALIGN_CENTER : h == 2 ? LXW_ALIGN_RIGHT : LXW_ALIGN_LEFT);
        format_set_align(f, v == 0   ? LXW_ALIGN_VERTICAL_TOP
                            : v == 1 ? LXW_ALIGN_VERTICAL_CENTER
                                     : LXW_ALIGN_VERTICAL_BOTTOM);
        formats[size_t(i)] = f;
    }
    for (size_t c = 0; c < columns.size(); ++c)
        worksheet_set_column(ws, lxw_col_t(c), lxw_col_t(c), columns[c].widthChars, nullptr);
    for (size_t n = 0; n < rows.size(); ++n) {
        for (size_t c = 0; c < columns.size(); ++c) {
            const int col = columns[c].sheetCol;
            QString text = sheet.text(col, rows[n]);
            if (text.isEmpty())
                continue;
            if (text.size() > kMaxText) {
                result.cut.push_back({col, rows[n], int(text.size())});
                text.truncate(text.at(kMaxText - 1).isHighSurrogate() ? kMaxText - 1 : kMaxText);
            }
            const QByteArray utf8 = text.toUtf8();
            if (QString::fromUtf8(utf8) != text)
                result.mended.push_back({col, rows[n]});
            const ResolvedFormat f = sheet.format(col, rows[n]);
            const int h = f.hAlign == HAlign::Center ? 1 : f.hAlign == HAlign::Right ? 2 : 0;
            const int v = f.vAlign == VAlign::Top ? 0 : f.vAlign == VAlign::Center ? 1 : 2;
            const lxw_error e = worksheet_write_string(ws, lxw_row_t(n), lxw_col_t(c), utf8.constData(),
                                                       formats[size_t((f.bold ? 9 : 0) + h * 3 + v)]);
            if (e != LXW_NO_ERROR) {
                result.error = QString::fromUtf8(lxw_strerror(e));
                return result;
            }
        }
    }
    const lxw_error closed = workbook_close(book.wb);
    book.wb = nullptr;
    if (closed != LXW_NO_ERROR) {
        result.error =
            QStringLiteral("파일을 저장하지 못했습니다 (") + QString::fromUtf8(lxw_strerror(closed)) + QLatin1Char(')');
        return result;
    }
    QFile::remove(file);
    if (!QFile::rename(temp.fileName(), file)) {
        result.error = QStringLiteral("파일을 저장하지 못했습니다: ") + QDir::toNativeSeparators(file);
        return result;
    }
    temp.setAutoRemove(false);
    result.ok = true;
    result.sheets = 1;
    result.rows = int(rows.size());
    result.cols = int(columns.size());
    result.bytes = quint64(QFileInfo(file).size());
    return result;
}
