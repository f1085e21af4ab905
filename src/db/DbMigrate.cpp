#include "DbMigrate.h"
#include "EngineReasons.h"
#include "PictureTable.h"
#include "Schema.h"
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlField>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStringDecoder>
#include <algorithm>

namespace DbMigrate {

namespace {
bool onServer(const QSqlDatabase &db) { return db.driverName() == QLatin1String("QPSQL"); }

QString quoted(const QSqlDatabase &db, const QString &name) {
    return db.driver()->escapeIdentifier(name, QSqlDriver::TableName);
}

// One value as the checksum sees it: typed the way both engines hand it to the program.
void addValue(QByteArray &row, const QVariant &v) {
    if (v.isNull()) {
        row += "\x01N";
    } else {
        switch (v.metaType().id()) {
        case QMetaType::Double:
        case QMetaType::Float: row += QByteArray::number(v.toDouble(), 'g', 17); break;
        case QMetaType::QByteArray: row += "\x02" + v.toByteArray().toHex(); break;
        case QMetaType::Bool: row += v.toBool() ? "1" : "0"; break;
        default: row += v.toString().toUtf8();
        }
    }
    row += '\x1f';
}

// A table the program does not know is made with the source's columns, typed as near as the
// target has them.
QString genericCreate(const QSqlDatabase &to, const QString &table, const QSqlRecord &columns) {
    QStringList defs;
    for (int i = 0; i < columns.count(); ++i) {
        const int type = columns.field(i).metaType().id();
        QString t = QStringLiteral("TEXT");
        if (type == QMetaType::Int || type == QMetaType::LongLong || type == QMetaType::UInt ||
            type == QMetaType::ULongLong)
            t = onServer(to) ? QStringLiteral("BIGINT") : QStringLiteral("INTEGER");
        else if (type == QMetaType::Double)
            t = onServer(to) ? QStringLiteral("DOUBLE PRECISION") : QStringLiteral("REAL");
        else if (type == QMetaType::QByteArray)
            t = onServer(to) ? QStringLiteral("BYTEA") : QStringLiteral("BLOB");
        defs << quoted(to, columns.fieldName(i)) + QLatin1Char(' ') + t;
    }
    return QStringLiteral("CREATE TABLE %1 (%2)").arg(quoted(to, table), defs.join(QStringLiteral(", ")));
}

// The key counter of the handset table: the last key handed out, which may lie above the
// highest key still present (deleted rows are not numbered again).
qint64 lastKey(const QSqlDatabase &db) {
    QSqlQuery q(db);
    if (onServer(db))
        q.exec(QStringLiteral("SELECT COALESCE(pg_sequence_last_value(pg_get_serial_sequence('t_mobile', 'code')"
                              "::regclass), 0), (SELECT COALESCE(MAX(code), 0) FROM t_mobile)"));
    else
        q.exec(QStringLiteral("SELECT COALESCE((SELECT seq FROM sqlite_sequence WHERE name = 't_mobile'), 0),"
                              " (SELECT COALESCE(MAX(code), 0) FROM t_mobile)"));
    return q.next() ? std::max(q.value(0).toLongLong(), q.value(1).toLongLong()) : 0;
}

bool setLastKey(const QSqlDatabase &db, qint64 key, QString *why) {
    if (key <= 0)
        return true;
    QSqlQuery q(db);
    const bool ok =
        onServer(db)
            ? q.exec(QStringLiteral("SELECT setval(pg_get_serial_sequence('t_mobile', 'code'), %1)").arg(key))
            : q.exec(QStringLiteral("DELETE FROM sqlite_sequence WHERE name = 't_mobile'")) &&
                  q.exec(QStringLiteral("INSERT INTO sqlite_sequence (name, seq) VALUES ('t_mobile', %1)").arg(key));
    if (!ok)
        *why = engineWords(q.lastError());
    return ok;
}

class Copier {
public:
    Copier(const QSqlDatabase &from, const QSqlDatabase &to, const std::function<void(const QString &)> &progress)
        : m_from(from), m_to(to), m_progress(progress) {}

    bool copyTable(const QString &table, QString *why) {
        const QSqlRecord columns = m_from.record(table);
        if (!allTextIsUtf8(table, columns, why))
            return false;
        if (!Schema::tableNames().contains(table)) {
            QSqlQuery create(m_to);
            if (!create.exec(genericCreate(m_to, table, columns))) {
                *why = engineWords(create.lastError());
                return false;
            }
        }
        QStringList names;
        for (int i = 0; i < columns.count(); ++i)
            names << quoted(m_from, columns.fieldName(i));
        QSqlQuery read(m_from);
        read.setForwardOnly(true);
        if (!read.exec(QStringLiteral("SELECT %1 FROM %2").arg(names.join(QLatin1Char(',')), quoted(m_from, table)))) {
            *why = engineWords(read.lastError());
            return false;
        }
        QStringList targetNames;
        for (int i = 0; i < columns.count(); ++i)
            targetNames << quoted(m_to, columns.fieldName(i));
        const QString head =
            QStringLiteral("INSERT INTO %1 (%2) VALUES ").arg(quoted(m_to, table), targetNames.join(QLatin1Char(',')));
        const QString oneRow = QLatin1Char('(') + QStringList(columns.count(), QStringLiteral("?")).join(',') + ')';
        QList<QVariant> pending;
        qint64 copied = 0;
        // Full batches share one prepared statement: parsing thousands of placeholders once.
        QSqlQuery full(m_to);
        bool fullPrepared = false;
        auto flush = [&]() {
            const int rows = int(pending.size() / columns.count());
            if (rows == 0)
                return true;
            const QString sql = head + QStringList(rows, oneRow).join(QLatin1Char(','));
            QSqlQuery partial(m_to);
            QSqlQuery &insert = rows == kRowsPerInsert ? full : partial;
            if (&insert == &partial || !fullPrepared) {
                if (!insert.prepare(sql)) {
                    *why = engineWords(insert.lastError());
                    return false;
                }
                fullPrepared = fullPrepared || &insert == &full;
            }
            for (int i = 0; i < pending.size(); ++i)
                insert.bindValue(i, pending.at(i));
            pending.clear();
            if (!insert.exec()) {
                *why = engineWords(insert.lastError());
                return false;
            }
            copied += rows;
            return true;
        };
        while (read.next()) {
            for (int i = 0; i < columns.count(); ++i)
                pending << read.value(i);
            if (pending.size() >= kRowsPerInsert * columns.count() && !flush())
                return false;
        }
        if (read.lastError().isValid()) {
            *why = engineWords(read.lastError());
            return false;
        }
        if (!flush())
            return false;
        if (m_progress)
            m_progress(QStringLiteral("%1: %2행 복사").arg(table).arg(copied));
        return true;
    }

private:
    // The file engine keeps whatever bytes it was given as text; read as text, bytes that are
    // not UTF-8 turn into U+FFFD on both sides of the comparison, and the copy would differ
    // from the file without a word. Such a value is named instead, and nothing is copied.
    bool allTextIsUtf8(const QString &table, const QSqlRecord &columns, QString *why) {
        if (onServer(m_from) || columns.isEmpty())
            return true;
        QStringList raw;
        QList<int> textColumns;
        for (int i = 0; i < columns.count(); ++i)
            if (columns.field(i).metaType().id() == QMetaType::QString) {
                raw << QStringLiteral("CAST(%1 AS BLOB)").arg(quoted(m_from, columns.fieldName(i)));
                textColumns << i;
            }
        if (raw.isEmpty())
            return true;
        QSqlQuery q(m_from);
        q.setForwardOnly(true);
        if (!q.exec(
                QStringLiteral("SELECT %1, %2 FROM %3")
                    .arg(quoted(m_from, columns.fieldName(0)), raw.join(QLatin1Char(',')), quoted(m_from, table)))) {
            *why = engineWords(q.lastError());
            return false;
        }
        while (q.next())
            for (qsizetype c = 0; c < textColumns.size(); ++c) {
                const QByteArray bytes = q.value(int(c) + 1).toByteArray();
                QStringDecoder utf8(QStringDecoder::Utf8);
                [[maybe_unused]] const QString decoded = utf8(bytes); // decodes only when converted
                if (!utf8.hasError())
                    continue;
                *why = QStringLiteral("%1 = %2 인 행의 %3 값이 UTF-8 글자가 아닙니다 (%4). 원본에서 그 값을 "
                                      "고친 뒤 다시 하세요.")
                           .arg(columns.fieldName(0), q.value(0).toString(), columns.fieldName(textColumns[c]),
                                QString::fromLatin1(bytes.left(40).toHex(' ')));
                return false;
            }
        return true;
    }

    QSqlDatabase m_from, m_to;
    const std::function<void(const QString &)> &m_progress;
};
} // namespace

QStringList tablesOf(const QSqlDatabase &db) {
    QStringList names;
    QSqlQuery q(db);
    q.exec(onServer(db) ? QStringLiteral("SELECT tablename FROM pg_tables WHERE schemaname = current_schema()")
                        : QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT LIKE "
                                         "'sqlite\\_%' ESCAPE '\\'"));
    while (q.next())
        names << q.value(0).toString();
    std::sort(names.begin(), names.end());
    return names;
}

TableCheck check(const QSqlDatabase &db, const QString &table) {
    TableCheck result{table, 0, {}};
    const QSqlRecord columns = db.record(table);
    QStringList names;
    for (int i = 0; i < columns.count(); ++i)
        names << quoted(db, columns.fieldName(i));
    // Sorted by name so that a table made with its columns in another order checks the same.
    std::sort(names.begin(), names.end());
    QSqlQuery q(db);
    q.setForwardOnly(true);
    q.exec(QStringLiteral("SELECT %1 FROM %2").arg(names.join(QLatin1Char(',')), quoted(db, table)));
    QList<QByteArray> digests;
    QByteArray row;
    while (q.next()) {
        row.clear();
        for (int i = 0; i < names.size(); ++i)
            addValue(row, q.value(i));
        digests << QCryptographicHash::hash(row, QCryptographicHash::Sha256);
    }
    std::sort(digests.begin(), digests.end());
    QCryptographicHash all(QCryptographicHash::Sha256);
    for (const QByteArray &d : digests)
        all.addData(d);
    result.rows = digests.size();
    result.checksum = all.result();
    return result;
}

Result copy(const QSqlDatabase &from, const QSqlDatabase &to, const std::function<void(const QString &)> &progress,
            const QString &pictureFolder) {
    Result result;
    QStringList tables = tablesOf(from);
    // The server's pictures become files, never a table of the file database.
    tables.removeAll(PictureTable::kTable);
    if (tables.isEmpty()) {
        result.error = QStringLiteral("원본 데이터베이스에 표가 없습니다.");
        return result;
    }
    if (const QStringList present = tablesOf(to); !present.isEmpty()) {
        result.error = QStringLiteral("대상 데이터베이스가 비어 있지 않습니다 (표: %1). 빈 데이터베이스에만 옮깁니다.")
                           .arg(present.join(QStringLiteral(", ")));
        return result;
    }
    if (!pictureFolder.isEmpty() && onServer(from) && PictureTable::digestOfFolder(pictureFolder).pictures > 0) {
        result.error = QStringLiteral("'%1' 폴더에 사진이 이미 있습니다. 사진이 없는 폴더에만 옮깁니다.")
                           .arg(QDir::toNativeSeparators(pictureFolder));
        return result;
    }
    QSqlDatabase source = from, target = to;
    QStringList written; // picture files made in the file database's folder, gone again on failure
    // One snapshot of the source: a PC still writing to it cannot tear the copy.
    QSqlQuery snapshot(source);
    if (!source.transaction() ||
        (onServer(source) && !snapshot.exec(QStringLiteral("SET TRANSACTION ISOLATION LEVEL REPEATABLE READ")))) {
        result.error = QStringLiteral("원본을 읽을 수 없습니다: ") + engineWords(source.lastError());
        return result;
    }
    auto fail = [&](const QString &why) {
        for (const QString &f : written)
            QFile::remove(f);
        target.rollback();
        source.rollback();
        result.ok = false;
        result.tables.clear();
        result.error = why;
        return result;
    };
    // A start-up making the tables, or a copy killed a moment ago that the server is still
    // undoing, is waited for instead of colliding with it.
    struct TablesLock {
        QSqlDatabase db;
        explicit TablesLock(const QSqlDatabase &d) : db(onServer(d) ? d : QSqlDatabase()) {
            if (db.isValid())
                QSqlQuery(db).exec(Schema::kLockTablesSql);
        }
        ~TablesLock() {
            if (db.isValid())
                QSqlQuery(db).exec(Schema::kUnlockTablesSql);
        }
    } tablesLock(target);
    if (!target.transaction())
        return fail(QStringLiteral("대상에 쓸 수 없습니다: ") + engineWords(target.lastError()));
    QString why;
    if (!Schema::createTables(target, &why))
        return fail(QStringLiteral("대상에 표를 만들 수 없습니다: ") + why);
    Copier copier(source, target, progress);
    for (const QString &table : tables)
        if (!copier.copyTable(table, &why))
            return fail(QStringLiteral("'%1' 표를 옮기지 못했습니다: %2").arg(table, why));
    if (tables.contains(QStringLiteral("t_mobile")) && !setLastKey(target, lastKey(source), &why))
        return fail(QStringLiteral("번호 카운터를 옮기지 못했습니다: ") + why);
    for (const QString &table : tables) {
        const TableCheck original = check(source, table);
        const TableCheck copied = check(target, table);
        if (!(original == copied))
            return fail(QStringLiteral("'%1' 표가 원본과 다릅니다 (원본 %2행, 사본 %3행). 아무것도 옮기지 않았습니다.")
                            .arg(table)
                            .arg(original.rows)
                            .arg(copied.rows));
        result.tables << copied;
    }
    if (!pictureFolder.isEmpty()) {
        const bool upload = onServer(target);
        if (!(upload ? PictureTable::fromFolder(target, pictureFolder, &why)
                     : PictureTable::toFolder(source, pictureFolder, &written, &why)))
            return fail(QStringLiteral("사진을 옮기지 못했습니다: ") + why);
        const PictureTable::Digest files = PictureTable::digestOfFolder(pictureFolder);
        const PictureTable::Digest rows = PictureTable::digestOfTable(upload ? target : source);
        if (!(files == rows))
            return fail(QStringLiteral("사진이 원본과 다릅니다 (파일 %1개, 서버 %2개). 아무것도 옮기지 않았습니다.")
                            .arg(files.pictures)
                            .arg(rows.pictures));
        result.tables << TableCheck{PictureTable::kTable, rows.pictures, rows.checksum};
        if (progress)
            progress(QStringLiteral("사진: %1개 복사").arg(rows.pictures));
    }
    if (!target.commit())
        return fail(QStringLiteral("대상에 기록하지 못했습니다: ") + engineWords(target.lastError()));
    source.rollback();
    result.ok = true;
    return result;
}

} // namespace DbMigrate
