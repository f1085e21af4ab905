#pragma once
#include "HandsetColumns.h"
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

// What an import would do, row by row, before anything is written: each row of the file
// becomes a new handset (추가), a change of one (변경, with the fields that change), nothing
// (같음) or is refused (오류, with the reason). The same checks as the entry window's save.
namespace ImportPlan {

// How a row finds the handset it changes.
enum class Match { ByCode, ById, None };
enum class Kind { Add, Change, Same, Error };

QString kindLabel(Kind kind);

// A handset as the catalogue holds it.
struct Existing {
    int code = 0;
    HandsetColumns::Fields fields;
};

struct Row {
    int line = 0; // the file's row number, from 1
    Kind kind = Kind::Error;
    int code = 0;                  // the handset changed (Change, Same)
    HandsetColumns::Fields fields; // as it will be written; an Add's empty 관리번호 is numbered then
    HandsetColumns::Fields before; // what the handset held when the plan was made (Change)
    QStringList changed;           // labels of the fields that change
    QString reason;                // why it is refused (Error)
    QString picture;               // a picture file to bring in (absolute), empty: none
};

struct Counts {
    int add = 0, change = 0, same = 0, error = 0;
};

struct Plan {
    std::vector<Row> rows;
    Counts counts;
    bool cancelled = false;
};

struct Input {
    const std::vector<QStringList> *rows = nullptr; // the sheet
    int headerRows = 1;                             // rows above the data
    std::vector<int> mapping;                       // per file column: ImportMapping target
    Match match = Match::ByCode;
    int codeLength = 6;
    QString pictureFolder; // where relative picture names are looked for
    // Where <ID>.* pictures for rows without a picture name are looked for; empty: nowhere.
    QString idPictureFolder;
    std::function<bool(int permille)> progress;
};

// The catalogue as it is now, the base record left out. Errors are thrown as AppError.
std::vector<Existing> readCatalogue();
Plan build(const Input &input, const std::vector<Existing> &catalogue);

} // namespace ImportPlan
