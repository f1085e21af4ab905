#pragma once
#include <QVariantList>

struct sqlite3_stmt;

// Binds values to the ? of a prepared statement in order: texts as UTF-16 with their length
// (sqlite3_bind_text16), whole numbers, decimals, blobs, nulls. SQLITE_OK or the engine's
// code of the first value it refused (SQLITE_RANGE for a value without its ?).
int SqliteBind(sqlite3_stmt *st, const QVariantList &values);
