#pragma once
#include "ErrorBox.h"
#include <QString>
#include <QVariantList>
#include <memory>

class QSqlDatabase;
class QSqlError;
class Recordset;
class SqlDialect;

// What one database engine does differently below the shared helpers: its SQL dialect,
// how its errors read in the numbers the windows know, its fast result reader, and what
// a connection needs once open. Nothing above db/ sees which engine runs.
class DbBackend {
public:
    virtual ~DbBackend() = default;
    virtual const SqlDialect &dialect() const = 0;

    // An engine error (its own code as text, its message) as the windows number it.
    virtual AppError toAppError(const QString &nativeCode, const QString &text) const = 0;
    AppError toAppError(const QSqlError &e) const;
    // The link to the database is gone (a server that went away); a reconnect may mend it.
    virtual bool connectionLost(const QSqlDatabase &db) const = 0;
    // A statement was refused because it would repeat a unique value of column.
    virtual bool isDuplicateKey(const AppError &e, const QString &column) const = 0;

    // Reads a whole result into rs, values bound to the ? of sql in order; false when the
    // connection is not this engine's (the generic path then serves). An engine error is
    // thrown as AppError.
    virtual bool snapshot(const QSqlDatabase &db, const QString &sql, Recordset &rs,
                          const QVariantList &values = {}) const = 0;
    // A statement prepared once and run again and again with other values (an import's
    // rows), straight through the engine's library. A failed run spoils the transaction on a
    // server: the caller gives the transaction up.
    class Prepared {
    public:
        virtual ~Prepared() = default;
        // Binds values to the ? in order and runs the statement: the rows it changed. An
        // engine error is thrown as AppError.
        virtual qint64 run(const QVariantList &values) = 0;
    };
    // Null when the connection is not this engine's own (Qt's prepared query then serves). An
    // engine error is thrown as AppError.
    virtual std::unique_ptr<Prepared> prepare(const QSqlDatabase &db, const QString &sql) const = 0;
    // Rows the last statement changed, given the executed query's own count; -1 unknown.
    virtual qint64 totalChanges(const QSqlDatabase &db) const = 0;
    // The connection cannot write (a write-protected file, a read-only server or login).
    virtual bool cannotWrite(const QSqlDatabase &db) const = 0;
    // A failed statement spoils its whole transaction, so statements inside one run under
    // a savepoint of their own (what the other engine does by itself).
    virtual bool failedStatementAbortsTransaction() const = 0;
    // Session settings after every (re)connect; lock waits end after busyTimeoutMs.
    virtual void prepareSession(const QSqlDatabase &db, int busyTimeoutMs, bool readOnly) const = 0;

    static const DbBackend &sqlite();
    static const DbBackend &postgres();
    // The backend of a connection, by its driver.
    static const DbBackend &of(const QSqlDatabase &db);
};
