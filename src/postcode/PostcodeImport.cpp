#include "PostcodeImport.h"
#include "BackupArchive.h"
#include "PostcodeFiles.h"
#include "PostcodeSql.h"
#include <QFile>
#include <QFileInfo>
#include <memory>
#include <sqlite3.h>
#include <zip.h>

namespace PostcodeImport {

namespace {

QString engineError(sqlite3 *db) { return QString::fromUtf8(sqlite3_errmsg(db)); }

struct DbCloser {
    void operator()(sqlite3 *db) const { sqlite3_close(db); }
};
struct StmtCloser {
    void operator()(sqlite3_stmt *st) const { sqlite3_finalize(st); }
};

bool exec(sqlite3 *db, const QString &sql, QString *error) {
    if (sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, nullptr) == SQLITE_OK)
        return true;
    *error = engineError(db);
    return false;
}

// Reads every record into a new file; the caller renames it into place.
bool writeRecords(PostcodeTextReader &reader, const QString &file, Report *report) {
    sqlite3 *raw = nullptr;
    const int rc =
        sqlite3_open_v2(QFile::encodeName(file).constData(), &raw, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    std::unique_ptr<sqlite3, DbCloser> db(raw);
    if (rc != SQLITE_OK) {
        report->message = QStringLiteral("데이터베이스를 만들 수 없습니다: ") + (raw ? engineError(raw) : file);
        return false;
    }
    QString error;
    // A half-written file is never used, so it needs no journal; a large cache lets the
    // indexes of a national file be sorted in memory.
    if (!exec(db.get(), QStringLiteral("PRAGMA journal_mode = OFF"), &error) ||
        !exec(db.get(), QStringLiteral("PRAGMA cache_size = -65536"), &error) ||
        !exec(db.get(), QStringLiteral("PRAGMA temp_store = MEMORY"), &error) ||
        !exec(db.get(), PostcodeSql::createTableSql(), &error) || !exec(db.get(), QStringLiteral("BEGIN"), &error)) {
        report->message = QStringLiteral("데이터베이스를 만들 수 없습니다: ") + error;
        return false;
    }
    sqlite3_stmt *rawSt = nullptr;
    sqlite3_prepare_v2(db.get(), "INSERT INTO Post (ZIPCODE, SIDO, GUGUN, DONG, BUNJI) VALUES (?, ?, ?, ?, ?)", -1,
                       &rawSt, nullptr);
    std::unique_ptr<sqlite3_stmt, StmtCloser> insert(rawSt);
    PostcodeTextReader::Record record;
    while (reader.next(record)) {
        for (int c = 0; c < 5; ++c) {
            const QByteArray utf8 = record[size_t(c)].toUtf8();
            sqlite3_bind_text(insert.get(), c + 1, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
        }
        if (sqlite3_step(insert.get()) != SQLITE_DONE) {
            report->message = QStringLiteral("자료를 쓸 수 없습니다: ") + engineError(db.get());
            return false;
        }
        sqlite3_reset(insert.get());
        ++report->rows;
    }
    insert.reset();
    if (report->rows == 0) {
        report->message = QStringLiteral("읽을 수 있는 우편번호 줄이 하나도 없습니다.");
        return false;
    }
    bool ok = exec(db.get(), QStringLiteral("COMMIT"), &error);
    for (const QString &sql : PostcodeSql::createIndexSql())
        ok = ok && exec(db.get(), sql, &error);
    if (!ok)
        report->message = QStringLiteral("데이터베이스를 마칠 수 없습니다: ") + error;
    return ok && sqlite3_close(db.release()) == SQLITE_OK;
}

} // namespace

Report buildDatabase(const QString &textFile, const QString &dbFile, const PostcodeTextReader::Options &options) {
    Report report;
    QFile in(textFile);
    if (!in.open(QIODevice::ReadOnly)) {
        report.message = QStringLiteral("'%1' 파일을 열 수 없습니다: %2").arg(textFile, in.errorString());
        return report;
    }
    // A national file is tens of megabytes: map it rather than copy it where the system can.
    QByteArray data;
    if (const uchar *mapped = in.size() > 0 ? in.map(0, in.size()) : nullptr)
        data = QByteArray::fromRawData(reinterpret_cast<const char *>(mapped), in.size());
    else
        data = in.readAll();
    PostcodeTextReader reader;
    if (!reader.start(data, options, &report.message))
        return report;
    report.encoding = reader.encoding();
    report.delimiter = reader.delimiter();
    const QString part = dbFile + QStringLiteral(".part");
    PostcodeFiles::removeDatabaseFile(part);
    const bool written = writeRecords(reader, part, &report);
    report.badLines = reader.badLines();
    if (written && PostcodeFiles::replaceFile(part, dbFile, &report.message))
        report.ok = true;
    else
        PostcodeFiles::removeDatabaseFile(part);
    return report;
}

bool buildArchive(const QString &dbFile, const QString &zipFile, QString *error) {
    const QString part = zipFile + QStringLiteral(".part");
    QFile::remove(part);
    int code = 0;
    zip_t *za = zip_open(QFile::encodeName(part).constData(), ZIP_CREATE | ZIP_TRUNCATE, &code);
    if (!za) {
        *error = QStringLiteral("'%1' 파일을 만들 수 없습니다.").arg(zipFile);
        return false;
    }
    zip_source_t *src = zip_source_file_create(QFile::encodeName(dbFile).constData(), 0, -1, nullptr);
    if (!src || zip_file_add(za, "dbPost.db", src, ZIP_FL_ENC_UTF_8) < 0) {
        *error = QStringLiteral("압축 파일에 넣을 수 없습니다: ") + QString::fromLocal8Bit(zip_strerror(za));
        if (src)
            zip_source_free(src);
        zip_discard(za);
        QFile::remove(part);
        return false;
    }
    if (zip_close(za) != 0) {
        *error = QStringLiteral("압축 파일을 쓸 수 없습니다: ") + QString::fromLocal8Bit(zip_strerror(za));
        zip_discard(za);
        QFile::remove(part);
        return false;
    }
    const BackupArchive::Outcome check = BackupArchive::verify(part);
    if (!check.ok || !PostcodeFiles::replaceFile(part, zipFile, error)) {
        if (!check.ok)
            *error = check.message;
        QFile::remove(part);
        return false;
    }
    return true;
}

} // namespace PostcodeImport
