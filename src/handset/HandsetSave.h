#pragma once
#include <QString>
#include <array>

// Writing one handset record. A new record takes its management number and is inserted in
// one write transaction, so two PCs saving at once never get the same number.
namespace HandsetSave {

struct Result {
    enum Status {
        Saved,
        NothingChanged,   // the statement changed no row
        DuplicateCode,    // the typed management number is already used
        NumbersExhausted, // automatic numbering has no number left (the notice was shown)
        Failed,           // the engine refused; error holds its number and text
    } status = Failed;
    QString code;       // the management number written
    int key = 0;        // the record's code (new key after an insert)
    int errorNumber = 0;
    QString errorText;
};

// fields: the nine entry fields in field order (field 0 the management number, filled
// here when autoNumber is on).
Result insert(std::array<QString, 9> fields, bool autoNumber, int codeLength);
Result update(const std::array<QString, 9> &fields, int code);

} // namespace HandsetSave
