#pragma once
#include <QByteArray>
#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <functional>

// Moves a shop's main database between the embedded engine and a database server.
namespace DbMigrate {

// Rows per INSERT: few round trips to the server, well under either engine's limit of bound values.
inline constexpr int kRowsPerInsert = 200;

struct TableCheck {
    QString table;
    qint64 rows = 0;
    QByteArray checksum; // SHA-256 over the rows, independent of their order
    bool operator==(const TableCheck &o) const = default;
};

struct Result {
    bool ok = false;
    QString error;            // in Korean, with the engine's own words where it gave any
    QList<TableCheck> tables; // what was copied, as checked in the target
};

// The tables of the open database, in name order.
QStringList tablesOf(const QSqlDatabase &db);
// Row count and checksum of one table. Values are compared as the program reads them, so
// the same rows give the same checksum on either engine.
TableCheck check(const QSqlDatabase &db, const QString &table);

// Copies every table and row of `from` into `to`, which must hold no table, in one
// transaction of `to`: the tables are made, filled, their key counters carried over, and
// every table's count and checksum compared with the source before anything is committed.
// On any failure `to` is left as it was. `from` is read in one snapshot and not changed.
// pictureFolder is the file database's IMG/: its pictures go into the server's picture table
// (file → server), or the table's rows become its files (server → file; the folder must hold
// no picture yet), compared like a table's rows before the commit; empty carries none.
Result copy(const QSqlDatabase &from, const QSqlDatabase &to, const std::function<void(const QString &)> &progress = {},
            const QString &pictureFolder = {});

} // namespace DbMigrate
