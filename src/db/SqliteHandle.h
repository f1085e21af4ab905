#pragma once
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QVariant>

struct sqlite3;

// The SQLite connection under a QSQLITE connection: null unless the driver's SQLite is the
// library linked here (the build checks it), so that a copy of SQLite inside the driver is
// never handed a handle of the other's.
inline sqlite3 *sqliteHandleOf(const QSqlDatabase &db) {
#ifdef MOBILESHOP_SQLITE_SHARED_WITH_QT
    const QVariant handle = db.driver() ? db.driver()->handle() : QVariant();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0)
        return nullptr;
    return *static_cast<sqlite3 *const *>(handle.constData());
#else
    Q_UNUSED(db);
    return nullptr;
#endif
}
