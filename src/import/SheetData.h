#pragma once
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

// One sheet of a spreadsheet or text file as texts, whatever the format: what the import
// reads, maps and checks. Numbers come as the shortest text that reads back the same,
// date cells as yyyy-MM-dd, formulas as the value the file stored (never computed).
namespace SheetData {

enum class Encoding { Auto, Utf8, Cp949 };

struct Options {
    int sheet = 0;                      // which sheet (0: the first)
    Encoding encoding = Encoding::Auto; // text files only
    // Called now and then with how far the reading is (0..1000); false cancels it.
    std::function<bool(int permille)> progress;
};

struct Read {
    bool ok = false;
    bool cancelled = false;
    QString message;               // why nothing was read, for the user
    QStringList sheets;            // the file's sheet names (one for a text file)
    std::vector<QStringList> rows; // the chosen sheet, top row first; trailing empty cells left out
    QString encoding;              // text files: how they were read ("UTF-8", "CP949")
};

// The most rows a sheet may have: what Excel and LibreOffice themselves hold.
inline constexpr qsizetype kMaxRows = 1048576;
inline constexpr int kMaxCols = 16384;
// Beyond this a cell's text is cut here and the row is refused by the checks; no
// handset column is anywhere near it.
inline constexpr qsizetype kMaxCellText = 65536;

inline const QString kCancelled = QStringLiteral("읽기를 취소했습니다.");
inline const QString kNoSheet = QStringLiteral("통합 문서에 시트가 없습니다.");
inline const QString kPasswordProtected = QStringLiteral("암호가 걸린 파일입니다. 암호를 풀고 저장한 다음 고르세요.");

// A sheet read to its end: trailing empty rows dropped, ok; refused when the file has no
// sheet number sheet.
void finish(Read &r, int sheet);

// Puts text at (row, col), growing the sheet as needed.
void put(std::vector<QStringList> &rows, qsizetype row, int col, const QString &text);
// A number as its shortest text ("2004", "0.982").
QString numberText(double value);
// A spreadsheet's day number (days since 1899-12-30) as yyyy-MM-dd, with the time when it has one.
QString dateText(double serial);

} // namespace SheetData
