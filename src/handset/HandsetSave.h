#pragma once
#include "HandsetColumns.h"
#include "HandsetSql.h"
#include "PictureStore.h"
#include "RepeatedSql.h"
#include <QImage>
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
        ChangedElsewhere, // another PC changed the record since it was read: nothing written
        DeletedElsewhere, // another PC deleted the record since it was read: nothing written
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

// The number after code, keeping its prefix and width; empty when the digits run out.
QString following(const QString &code, int codeLength);

// The first required field left empty, in field order, or -1. With automatic numbering the
// management number is not asked for.
int missingRequired(const HandsetColumns::Fields &fields, bool autoNumber);

// What a save does to the handset's picture, decided (and asked) before the record is written.
struct PictureChange {
    enum Action { None, Store, Copy, Move } action = None;
    QString oldId, newId;
    QImage chosen;
    bool dropOld = false; // the old ID keeps no picture
};

// What the entry window's save does below its fields: mode 1 inserts (numbered when
// autoNumber is on), any other mode updates record code, only while it still holds the
// fields it was read with (loaded; null: whatever it holds now). The picture change is made
// in the record's transaction where the store allows (a server): the record and its picture
// are saved together or not at all. In files it follows the saved record, and a failure there
// only costs the picture (its box is shown).
Result save(const HandsetColumns::Fields &fields, int mode, bool autoNumber, int code, int codeLength,
            const PictureChange &picture = {}, const HandsetColumns::Fields *loaded = nullptr);
// fields[0] is the management number, filled here when autoNumber is on.
Result insert(HandsetColumns::Fields fields, bool autoNumber, int codeLength);
Result update(const HandsetColumns::Fields &fields, int code, const HandsetColumns::Fields *loaded = nullptr);
// Many updates inside one transaction (an import's changes), each as update with loaded: the
// statement prepared once and run again; a failed one gives the transaction up.
class Updates {
public:
    Updates();
    ~Updates();
    Result update(const HandsetColumns::Fields &fields, int code, const HandsetColumns::Fields &loaded);

private:
    RepeatedSql m_statement;
};

// The box that tells the user why a save was refused; none for a saved record, a missing
// field (the required-field check speaks) or exhausted numbers (the numbering spoke).
void explainRefusal(const Result &r);

// The handset's ID is its picture's name (HandsetPictures); these keep the picture with the
// handset.
inline const QString kDuplicateIdQuestion = QStringLiteral("같은 ID의 핸드폰이 이미 있습니다. 저장하시겠습니까?");

// How many handsets other than record exceptKey (0: none) have the ID.
int handsetsWithId(const QString &id, int exceptKey = 0);
// Before a save: a new handset (mode 1) or a changed ID (oldId, the ID the record was read
// with) that another handset already has is saved only when the user says so, "No" being
// the default. True when the save may go on.
bool confirmId(const QString &id, int mode, int key, const QString &oldId);
// Before record key is saved with ID newId (oldId: the ID it has; empty for a new handset),
// chosen the picture picked in the entry window (null: none). The picture follows its
// handset: a chosen one is stored under the new ID; on an ID change the old picture moves
// along, or is copied when another handset still has the old ID. A picture the new ID
// already has that the window did not show (another handset's, or a file left behind) is
// replaced only when the user says so ("No" default: it stays, and what this handset
// brought is dropped). An old ID no handset has any more keeps no picture.
PictureChange planPicture(int key, const QString &oldId, const QString &newId, const QImage &chosen);
// Deletes record code, whose ID is id, only while it still holds the texts shown (column,
// text; none: whatever it holds); the picture goes with the last handset of its ID (in the
// same transaction where the store allows). Failed: refused, and the box saying why has been
// shown. Errors of the check that follows are thrown as AppError.
enum class Removal { Deleted, ChangedElsewhere, DeletedElsewhere, Failed };
Removal deleteHandset(int code, const QString &id, const HandsetSql::ColumnTexts &shown = {});
// After a handset with the ID was deleted: the picture goes with the last one of its ID.
void dropPictureIfUnused(const QString &id);

} // namespace HandsetSave
