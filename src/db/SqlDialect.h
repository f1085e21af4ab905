#pragma once
#include <QString>

// What differs between database engines, kept in one place so that statements built by
// the windows stay the same text on every backend.
class SqlDialect {
public:
    virtual ~SqlDialect() = default;
    virtual QString right(const QString &expr, int n) const = 0;
    virtual QString length(const QString &expr) const = 0;
    // True when expr consists of digits only.
    virtual QString isDigits(const QString &expr) const = 0;
    virtual QString lastIdentitySql() const = 0;
    // True when expr holds exactly the quoted text, letter case counted; a missing value counts
    // as empty text.
    virtual QString sameText(const QString &expr, const QString &quoted) const = 0;
    // Starts a transaction that takes the write lock at once: the statement, then (where
    // the engine has no such transaction) one that takes a lock all writers share.
    virtual QString beginWriteSql() const = 0;
    virtual QString writeLockSql() const { return {}; }

    // The dialect of the open main database (SQLite's while none is open).
    static const SqlDialect &current();
    static void setCurrent(const SqlDialect *dialect);
};

class SqliteDialect final : public SqlDialect {
public:
    QString right(const QString &expr, int n) const override;
    QString length(const QString &expr) const override;
    QString isDigits(const QString &expr) const override;
    QString sameText(const QString &expr, const QString &quoted) const override;
    QString lastIdentitySql() const override;
    QString beginWriteSql() const override;
};

class PostgresDialect final : public SqlDialect {
public:
    QString right(const QString &expr, int n) const override;
    QString length(const QString &expr) const override;
    QString isDigits(const QString &expr) const override;
    QString sameText(const QString &expr, const QString &quoted) const override;
    QString lastIdentitySql() const override;
    QString beginWriteSql() const override;
    QString writeLockSql() const override;
};
