#include "SqliteSnapshot.h"
#include "Recordset.h"
#include "SqliteBind.h"
#include "SqliteHandle.h"
#include <QSqlDatabase>
#include <QSqlDriver>
#include <memory>
#include <sqlite3.h>
#include <vector>

namespace {
// A column declared as text (the engine's affinity rule): what it stores reads as text or null.
bool hasTextAffinity(const char *declared) {
    if (!declared)
        return false;
    const QByteArray type = QByteArray(declared).toUpper();
    return !type.contains("INT") && (type.contains("CHAR") || type.contains("CLOB") || type.contains("TEXT"));
}
} // namespace

int SqliteReadOnly(const QSqlDatabase &db) {
    sqlite3 *h = sqliteHandleOf(db);
    return h ? sqlite3_db_readonly(h, "main") : -1;
}

qint64 SqliteTotalChanges(const QSqlDatabase &db) {
    sqlite3 *h = sqliteHandleOf(db);
    return h ? qint64(sqlite3_total_changes64(h)) : -1;
}

bool SqliteSnapshot(const QSqlDatabase &db, const QString &sql, Recordset &rs, bool *failed, int *code,
                    QString *message, const QVariantList &values) {
    sqlite3 *h = sqliteHandleOf(db);
    if (!h)
        return false;
    *failed = false;
    auto fail = [&](int rc) {
        *failed = true;
        *code = rc;
        *message = QString::fromUtf16(static_cast<const char16_t *>(sqlite3_errmsg16(h)));
        return true;
    };
    sqlite3_stmt *st = nullptr;
    int rc = sqlite3_prepare16_v2(h, sql.utf16(), int(sql.size() * sizeof(QChar)), &st, nullptr);
    // Finalized however the read ends, a result too large to hold included: an open read
    // statement would keep other PCs' saves waiting.
    const std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt *)> statement(st, sqlite3_finalize);
    if (rc == SQLITE_OK)
        rc = SqliteBind(st, values);
    if (rc != SQLITE_OK)
        return fail(rc);
    const int n = sqlite3_column_count(st);
    QStringList fields;
    std::vector<char> textColumn(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        fields << QString::fromUtf16(static_cast<const char16_t *>(sqlite3_column_name16(st, i)));
        textColumn[size_t(i)] = hasTextAffinity(sqlite3_column_decltype(st, i));
    }
    rs.beginFill(fields);
    // One lock of the connection for the whole read: every call below finds it held by this
    // thread already instead of taking and giving it back (Qt's driver opens connections
    // without a lock; then there is none to take).
    struct Held {
        sqlite3_mutex *lock;
        explicit Held(sqlite3_mutex *m) : lock(m) { sqlite3_mutex_enter(lock); }
        ~Held() { sqlite3_mutex_leave(lock); }
        Held(const Held &) = delete;
        Held &operator=(const Held &) = delete;
    };
    auto held = std::make_unique<Held>(sqlite3_db_mutex(h));
    bool outOfMemory = false;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
        for (int i = 0; i < n && !outOfMemory; ++i) {
            // The cell's value once, then what it holds from the value: each column call would
            // check the statement and the error state again (a fifth of a million-row read).
            // The connection is this thread's alone, as the value calls need.
            sqlite3_value *value = sqlite3_column_value(st, i);
            // A text column holds texts and nulls: its type need not be asked.
            switch (textColumn[size_t(i)] ? SQLITE_TEXT : sqlite3_value_type(value)) {
            case SQLITE_INTEGER: rs.addInt(sqlite3_value_int64(value)); break;
            case SQLITE_FLOAT: rs.addDouble(sqlite3_value_double(value)); break;
            case SQLITE_NULL: rs.addNull(); break;
            case SQLITE_BLOB:
                rs.addBlob(
                    QByteArray(static_cast<const char *>(sqlite3_value_blob(value)), sqlite3_value_bytes(value)));
                break;
            default:
                if (const unsigned char *text = sqlite3_value_text(value))
                    rs.addUtf8(reinterpret_cast<const char *>(text), sqlite3_value_bytes(value));
                else if (!(outOfMemory = sqlite3_errcode(h) == SQLITE_NOMEM))
                    rs.addNull();
            }
        }
        if (outOfMemory) {
            rc = SQLITE_NOMEM;
            break;
        }
    }
    held.reset();
    if (rc != SQLITE_DONE) {
        rs.close();
        return fail(rc);
    }
    rs.finishFill();
    return true;
}
