#pragma once
#include <QString>
#include <array>
#include <span>

// The columns of t_mobile as the handset windows know them. The statements, the list's grid
// and search fields, the entry window's fields and the lookups all read this one table.
namespace HandsetColumns {

// How the list's search field of a column matches it.
enum class Match { None, Contains, Exact };
// Where a lookup of the values already used in a column is offered.
enum Lookup { NoLookup = 0, ListLookup = 1, EntryLookup = 2 };

struct Column {
    const char *name;  // database column
    int field;         // entry field and search member number; -1 none
    const char *label; // entry label without the required mark
    bool required;
    int maxLength;      // longest text; 0 no limit
    const char *header; // list grid header; null: not in the grid
    int gridCol;
    double width;            // grid width in digits; 0 the grid's default
    const char *searchLabel; // list search field label; null: no search field
    Match match;
    int lookup; // Lookup flags

    QString columnName() const { return QString::fromLatin1(name); }
    // As the entry window shows it: a required field's label starts with "*".
    QString entryLabel() const;
    // As the required-field message names it.
    QString requiredName() const;
};

inline constexpr int kFieldCount = 9;
// The nine entry fields' texts in field order.
using Fields = std::array<QString, kFieldCount>;

// Every column in the order the statements read them.
std::span<const Column> all();
// The column of entry field f (0 to 8).
const Column &field(int f);
// The column by database name (case ignored); null when the table has none.
const Column *find(const QString &name);
// The grid column of a database column; 0 when it is not in the grid.
int gridColumn(const QString &name);
// The longest text a column takes; 0 when it has no limit or is unknown.
int maxLength(const QString &name);
int gridColumnCount();

} // namespace HandsetColumns
