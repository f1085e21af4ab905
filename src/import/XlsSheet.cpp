#include "XlsSheet.h"
#include <QFile>
#include <freexl.h>

namespace XlsSheet {

namespace {
const QString kLocked = QStringLiteral("암호가 걸린 파일입니다. 암호를 풀고 저장한 다음 고르세요.");

QString why(int code) {
    switch (code) {
    case FREEXL_FILE_NOT_FOUND: return QStringLiteral("파일을 열 수 없습니다.");
    case FREEXL_INSUFFICIENT_MEMORY: return QStringLiteral("메모리가 모자라 파일을 읽을 수 없습니다.");
    case FREEXL_INVALID_CFBF_HEADER:
        return QStringLiteral("엑셀 97-2003(.xls) 파일이 아닙니다. 다른 형식이면 그 확장자로 고르세요.");
    default: return QStringLiteral("엑셀 파일이 손상되었습니다 (FreeXL 오류 %1).").arg(code);
    }
}

QString cellText(const FreeXL_CellValue &v) {
    switch (v.type) {
    case FREEXL_CELL_INT: return QString::number(v.value.int_value);
    case FREEXL_CELL_DOUBLE: return SheetData::numberText(v.value.double_value);
    case FREEXL_CELL_TEXT:
    case FREEXL_CELL_SST_TEXT:
    case FREEXL_CELL_DATE:
    case FREEXL_CELL_DATETIME:
    case FREEXL_CELL_TIME: return QString::fromUtf8(v.value.text_value);
    default: return {};
    }
}

struct Handle {
    const void *h = nullptr;
    ~Handle() {
        if (h)
            freexl_close(h);
    }
};
} // namespace

SheetData::Read read(const QString &file, const SheetData::Options &o) {
    SheetData::Read r;
    Handle x;
    if (const int rc = freexl_open(QFile::encodeName(file).constData(), &x.h); rc != FREEXL_OK) {
        r.message = why(rc);
        return r;
    }
    unsigned int info = 0;
    if (freexl_get_info(x.h, FREEXL_BIFF_PASSWORD, &info) == FREEXL_OK && info == FREEXL_BIFF_OBFUSCATED) {
        r.message = kLocked;
        return r;
    }
    unsigned int sheets = 0;
    if (const int rc = freexl_get_info(x.h, FREEXL_BIFF_SHEET_COUNT, &sheets); rc != FREEXL_OK) {
        r.message = why(rc);
        return r;
    }
    for (unsigned short i = 0; i < sheets; ++i) {
        const char *name = nullptr;
        r.sheets << (freexl_get_worksheet_name(x.h, i, &name) == FREEXL_OK ? QString::fromUtf8(name) : QString());
    }
    if (o.sheet < 0 || o.sheet >= r.sheets.size()) {
        r.message = QStringLiteral("통합 문서에 시트가 없습니다.");
        return r;
    }
    unsigned int rows = 0;
    unsigned short cols = 0;
    if (int rc = freexl_select_active_worksheet(x.h, (unsigned short)o.sheet);
        rc != FREEXL_OK || (rc = freexl_worksheet_dimensions(x.h, &rows, &cols)) != FREEXL_OK) {
        r.message = why(rc);
        return r;
    }
    for (unsigned int row = 0; row < rows; ++row) {
        if ((row & 1023) == 0 && o.progress && !o.progress(int(qint64(row) * 1000 / rows))) {
            r.cancelled = true;
            r.message = SheetData::kCancelled;
            r.rows.clear();
            return r;
        }
        for (unsigned short col = 0; col < cols; ++col) {
            FreeXL_CellValue v;
            if (freexl_get_cell_value(x.h, row, col, &v) == FREEXL_OK)
                SheetData::put(r.rows, row, col, cellText(v));
        }
    }
    while (!r.rows.empty() && r.rows.back().isEmpty())
        r.rows.pop_back();
    r.ok = true;
    return r;
}

} // namespace XlsSheet
