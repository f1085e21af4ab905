// The grid's spreadsheet export: its rows and visible columns into an .xls workbook, and a
// short log beside it.
#include "Clock.h"
#include "Spread.h"
#include "XlsxWriter.h"
#include <QFile>
#include <QSaveFile>

namespace {
void writeLog(const QString &logFile, const QString &file, const XlsResult &r) {
    if (logFile.isEmpty())
        return;
    QStringList lines;
    lines << QStringLiteral("시각: ") + appClock().now().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))
          << QStringLiteral("파일: ") + file << QStringLiteral("시트: %1").arg(r.sheets)
          << QStringLiteral("행: %1").arg(r.rows) << QStringLiteral("열: %1").arg(r.cols);
    if (r.sheets > 1)
        lines << QStringLiteral("한 시트에 65,536행까지 들어가므로 %1개 시트에 나누어 저장했습니다.").arg(r.sheets);
    if (r.cut.empty())
        lines << QStringLiteral("잘린 셀: 없음");
    for (const XlsCut &c : r.cut)
        lines << QStringLiteral("잘린 셀: 열 %1, 행 %2 (%3자 중 32,767자 저장)")
                     .arg(c.sheetCol)
                     .arg(c.sheetRow)
                     .arg(c.length);
    for (const XlsCell &c : r.mended)
        lines << QStringLiteral("깨진 문자: 열 %1, 행 %2 (짝이 없는 서로게이트 문자를 U+FFFD(\uFFFD)로 바꿔 저장)")
                     .arg(c.sheetCol)
                     .arg(c.sheetRow);
    lines << (r.ok ? QStringLiteral("결과: 성공") : QStringLiteral("결과: 실패 (") + r.error + QLatin1Char(')'));
    QSaveFile out(logFile);
    if (out.open(QIODevice::WriteOnly)) {
        out.write("\xEF\xBB\xBF"); // Notepad on Windows then reads the Korean as it is
        out.write(lines.join(QStringLiteral("\r\n")).toUtf8() + "\r\n");
        out.commit();
    }
}
} // namespace

XlsResult Spread::exportToExcel(const QString &file, const QString &sheetName, const QString &logFile, int headerRows) {
    std::vector<XlsColumn> columns;
    for (int c = 1; c <= maxCols(); ++c)
        if (!colHidden(c))
            columns.push_back({c, colWidth(c)});
    XlsOptions options;
    options.sheetName = sheetName;
    options.headerRows = headerRows;
    options.fontName = font().family();
    options.fontSize = font().pointSizeF() > 0 ? font().pointSizeF() : 9;
    const bool xlsx = file.endsWith(QLatin1String(".xlsx"), Qt::CaseInsensitive);
    const XlsResult r = xlsx ? writeXlsxFile(sheet(), dataRowCnt(), columns, options, file)
                             : writeXlsFile(sheet(), dataRowCnt(), columns, options, file);
    writeLog(logFile, file, r);
    return r;
}

XlsResult Spread::exportExcelBook(const QString &file, const QString &logFile, int headerRows) {
    return exportToExcel(file, QStringLiteral("Sheet1"), logFile, headerRows);
}
