#pragma once
#include "ImportPlan.h"
#include <QString>
#include <functional>

// Writing a plan: the catalogue archived first (so the backup program's restore brings back
// the state before the import), then every new and changed handset in one transaction
// through HandsetSave's rules, then a log of what was written. Any refusal undoes it all.
namespace ImportWrite {

struct Options {
    int codeLength = 6;
    QString databaseFolder;                     // the folder the backup program archives
    QString archiveFolder;                      // where the archive goes
    QString logFolder;                          // where the log goes (ExpExcel)
    std::function<bool(int permille)> progress; // false cancels (nothing is written)
};

struct Outcome {
    bool ok = false;
    bool cancelled = false;
    int added = 0, changed = 0, skipped = 0;
    int pictures = 0;
    QString archive; // the archive taken before the import
    QString log;     // the log file written
    QString message; // why nothing was written, for the user
};

// How many rows to add or change give a handset an ID that another handset has (or another
// row of the file gives): the question the import asks once.
int duplicateIds(const ImportPlan::Plan &plan, const std::vector<ImportPlan::Existing> &catalogue);
inline const QString kDuplicateIdsQuestion =
    QStringLiteral("가져올 자료 중 %1건은 같은 ID의 핸드폰이 이미 있습니다. 그대로 가져오시겠습니까?\r\n"
                   "(아니요: 그 %1건은 빼고 가져옵니다.)");

// Writes the plan's 추가 and 변경 rows; with skipDuplicateIds the rows duplicateIds counts stay out.
Outcome write(const ImportPlan::Plan &plan, const std::vector<ImportPlan::Existing> &catalogue, bool skipDuplicateIds,
              const Options &options);

} // namespace ImportWrite
