// xls-text FILE SHEET: the cells of one sheet of an Excel 97-2003 workbook, read by FreeXL, as
// lines on stdout. A program of its own because FreeXL can crash on a damaged file; the
// program that asked then reports the file as damaged and goes on.
//   S <tab> name           each sheet's name, in order
//   P <tab> permille       how far the reading is
//   C <tab> row <tab> col <tab> text   a text cell (0-based; \\ \t \n \r escaped)
//   N <tab> row <tab> col <tab> number a number cell
//   E <tab> code           FreeXL's error; exit 1
//   X                      the workbook is password-protected; exit 1
#include "AppState.h"
#include "CommandHelp.h"
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>
#include <cstdio>
#include <cstdlib>
#include <freexl.h>
#include <string>

namespace {
std::string escaped(const char *text) {
    std::string out;
    for (const char *p = text; *p; ++p) {
        switch (*p) {
        case '\\': out += "\\\\"; break;
        case '\t': out += "\\t"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        default: out += *p;
        }
    }
    return out;
}

int fail(const void *h, int code) {
    std::printf("E\t%d\n", code);
    if (h)
        freexl_close(h);
    return 1;
}

// Answers --help, --version and a mistake as every command of the program does; -1 when the
// arguments are a file and a sheet number.
int answerArguments(int argc, char **argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const QString program = QStringLiteral("xls-text");
    QTextStream out(stdout), err(stderr);
    QCommandLineParser parser;
    const CommandHelp::Command command{
        program, QStringLiteral("파일 시트번호"),
        QStringLiteral("Excel 97-2003 통합 문서(.xls) 한 시트의 셀을 한 줄에 하나씩 씁니다. 핸드폰 자료 "
                       "가져오기가 쓰는 보조 프로그램입니다."),
        CommandHelp::versionLine(program, AppState::title())};
    if (const int code = CommandHelp::answer(parser, {}, arguments, command, out, err); code >= 0)
        return code;
    if (parser.positionalArguments().size() != 2) {
        err << QStringLiteral("파일과 시트 번호를 주세요.\n도움말: xls-text --help") << Qt::endl;
        return 2;
    }
    return -1;
}
} // namespace

int main(int argc, char **argv) {
    if (const int code = answerArguments(argc, argv); code >= 0)
        return code;
    const void *h = nullptr;
    if (const int rc = freexl_open(argv[1], &h); rc != FREEXL_OK)
        return fail(h, rc);
    unsigned int info = 0;
    if (freexl_get_info(h, FREEXL_BIFF_PASSWORD, &info) == FREEXL_OK && info == FREEXL_BIFF_OBFUSCATED) {
        std::printf("X\n");
        freexl_close(h);
        return 1;
    }
    unsigned int sheets = 0;
    if (const int rc = freexl_get_info(h, FREEXL_BIFF_SHEET_COUNT, &sheets); rc != FREEXL_OK)
        return fail(h, rc);
    for (unsigned short i = 0; i < sheets; ++i) {
        const char *name = nullptr;
        std::printf("S\t%s\n",
                    freexl_get_worksheet_name(h, i, &name) == FREEXL_OK && name ? escaped(name).c_str() : "");
    }
    const int sheet = std::atoi(argv[2]);
    if (sheet < 0 || unsigned(sheet) >= sheets) {
        freexl_close(h);
        return 0;
    }
    unsigned int rows = 0;
    unsigned short cols = 0;
    if (int rc = freexl_select_active_worksheet(h, (unsigned short)sheet);
        rc != FREEXL_OK || (rc = freexl_worksheet_dimensions(h, &rows, &cols)) != FREEXL_OK)
        return fail(h, rc);
    for (unsigned int row = 0; row < rows; ++row) {
        if ((row & 1023) == 0)
            std::printf("P\t%u\n", unsigned(row * 1000ull / rows));
        for (unsigned short col = 0; col < cols; ++col) {
            FreeXL_CellValue v;
            if (freexl_get_cell_value(h, row, col, &v) != FREEXL_OK)
                continue;
            switch (v.type) {
            case FREEXL_CELL_INT: std::printf("N\t%u\t%u\t%d\n", row, col, v.value.int_value); break;
            case FREEXL_CELL_DOUBLE: std::printf("N\t%u\t%u\t%.15g\n", row, col, v.value.double_value); break;
            case FREEXL_CELL_TEXT:
            case FREEXL_CELL_SST_TEXT:
            case FREEXL_CELL_DATE:
            case FREEXL_CELL_DATETIME:
            case FREEXL_CELL_TIME: std::printf("C\t%u\t%u\t%s\n", row, col, escaped(v.value.text_value).c_str()); break;
            default: break;
            }
        }
    }
    freexl_close(h);
    return 0;
}
