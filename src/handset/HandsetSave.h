#pragma once
#include "HandsetColumns.h"
#include <QString>

// Saving the entry window's handset: the required fields, then the record. A new record
// takes its management number and is inserted in one write transaction, so two PCs saving
// at once never get the same number.
namespace HandsetSave {

struct Result {
    enum Status {
        Saved,
        MissingField,     // a required field is empty: nothing was written
        NothingChanged,   // the statement changed no row
        DuplicateCode,    // the typed management number is already used
        NumbersExhausted, // automatic numbering has no number left (the notice was shown)
        Failed,           // the engine refused; error holds its number and text
    } status = Failed;
    int missingField = -1;
    HandsetColumns::Fields fields; // as written, the management number included
    QString code;                  // the management number written
    int key = 0;                   // the record's code (new key after an insert)
    int errorNumber = 0;
    QString errorText;
};

// The first required field left empty, in field order, or -1. With automatic numbering the
// management number is not asked for.
int missingRequired(const HandsetColumns::Fields &fields, bool autoNumber);

// What the entry window's save does below its fields: mode 1 inserts (numbered when
// autoNumber is on), any other mode updates record code.
Result save(const HandsetColumns::Fields &fields, int mode, bool autoNumber, int code, int codeLength);
// fields[0] is the management number, filled here when autoNumber is on.
Result insert(HandsetColumns::Fields fields, bool autoNumber, int codeLength);
Result update(const HandsetColumns::Fields &fields, int code);

// The box that tells the user why a save was refused; none for a saved record, a missing
// field (the required-field check speaks) or exhausted numbers (the numbering spoke).
void explainRefusal(const Result &r);

} // namespace HandsetSave
