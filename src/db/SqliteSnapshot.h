#pragma once
#include <QString>
#include <QVariantList>

class QSqlDatabase;
class Recordset;
struct AppError;

// Reads a whole result straight from the SQLite library into a Recordset, without Qt SQL's
// per-row record copies (several times faster on large lists). False when the connection is
// not SQLite or its driver carries an SQLite of its own (the caller then takes the generic
// path). On an engine error *failed is set and
// *code / *message hold what the engine reported.
// Rows changed on the connection since it opened; -1 when that cannot be read (as above).
qint64 SqliteTotalChanges(const QSqlDatabase &db);
// Whether the engine opened the main file read-only (it does so quietly when the file is
// write-protected): 1 yes, 0 no, -1 cannot be read (as above).
int SqliteReadOnly(const QSqlDatabase &db);

bool SqliteSnapshot(const QSqlDatabase &db, const QString &sql, Recordset &rs, bool *failed, int *code,
                    QString *message, const QVariantList &values = {});
