#include "SheetFiles.h"
#include "CsvSheet.h"
#include "OdsSheet.h"
#include "XlsSheet.h"
#include "XlsxSheet.h"
#include <QFileInfo>

namespace SheetFiles {

bool isText(const QString &file) {
    const QString ext = QFileInfo(file).suffix().toLower();
    return ext == QLatin1String("csv") || ext == QLatin1String("txt");
}

SheetData::Read read(const QString &file, const SheetData::Options &options) {
    const QFileInfo info(file);
    if (!info.isFile()) {
        SheetData::Read r;
        r.message = QStringLiteral("파일이 없습니다.");
        return r;
    }
    const QString ext = info.suffix().toLower();
    SheetData::Read r = ext == QLatin1String("xls")    ? XlsSheet::read(file, options)
                        : ext == QLatin1String("xlsx") ? XlsxSheet::read(file, options)
                        : ext == QLatin1String("ods")  ? OdsSheet::read(file, options)
                        : isText(file)                 ? CsvSheet::read(file, options)
                                                       : SheetData::Read{};
    if (!r.ok && r.message.isEmpty())
        r.message = QStringLiteral("읽을 수 없는 파일 형식입니다 (.xls, .xlsx, .ods, .csv).");
    if (r.ok && r.rows.empty()) {
        r.ok = false;
        r.message = QStringLiteral("시트가 비어 있습니다.");
    }
    return r;
}

QString fileFilter() {
    return QStringLiteral("표 파일 (*.xls *.xlsx *.ods *.csv *.txt);;엑셀 파일 (*.xls *.xlsx);;"
                          "OpenDocument (*.ods);;CSV 파일 (*.csv *.txt)");
}

} // namespace SheetFiles
