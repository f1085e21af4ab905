#include "PostcodeUpdate.h"
#include "AppState.h"
#include "BackupArchive.h"
#include "PostcodeFiles.h"
#include "PostcodeSql.h"
#include "Settings.h"
#include <QAtomicInt>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <zip.h>
#include <zlib.h>

namespace PostcodeUpdate {

namespace {

QAtomicInt g_counter;

// Copies the database entry out of the archive, checking its CRC on the way.
bool extractEntry(const QString &archive, const QString &entry, const QString &target, QString *error) {
    int code = 0;
    zip_t *za = zip_open(QFile::encodeName(archive).constData(), ZIP_RDONLY, &code);
    if (!za) {
        *error = QStringLiteral("내려받은 파일이 압축 파일이 아닙니다.");
        return false;
    }
    const zip_int64_t index = zip_name_locate(za, entry.toUtf8().constData(), ZIP_FL_NOCASE | ZIP_FL_ENC_UTF_8);
    zip_stat_t st;
    zip_file_t *zf = index < 0 || zip_stat_index(za, zip_uint64_t(index), 0, &st) != 0
                         ? nullptr
                         : zip_fopen_index(za, zip_uint64_t(index), 0);
    QFile out(target);
    bool ok = zf && out.open(QIODevice::WriteOnly | QIODevice::Truncate);
    if (!zf)
        *error = QStringLiteral("내려받은 압축 파일에 %1이(가) 없습니다.").arg(entry);
    else if (!ok)
        *error = QStringLiteral("'%1' 파일을 만들 수 없습니다: %2").arg(target, out.errorString());
    uLong crc = crc32(0L, Z_NULL, 0);
    QByteArray buffer(1 << 16, Qt::Uninitialized);
    zip_int64_t n = 0;
    while (ok && (n = zip_fread(zf, buffer.data(), zip_uint64_t(buffer.size()))) > 0) {
        crc = crc32(crc, reinterpret_cast<const Bytef *>(buffer.constData()), uInt(n));
        if (out.write(buffer.constData(), n) != n) {
            *error = QStringLiteral("'%1' 파일을 쓸 수 없습니다: %2").arg(target, out.errorString());
            ok = false;
        }
    }
    if (ok && (n < 0 || ((st.valid & ZIP_STAT_CRC) && crc != st.crc))) {
        *error = QStringLiteral("내려받은 압축 파일이 손상되었습니다.");
        ok = false;
    }
    if (ok && !out.flush()) {
        *error = QStringLiteral("'%1' 파일을 쓸 수 없습니다: %2").arg(target, out.errorString());
        ok = false;
    }
    out.close();
    if (zf)
        zip_fclose(zf);
    zip_discard(za);
    return ok;
}

// Runs fn on a connection of its own to file; the connection is gone when it returns.
template <typename Fn> bool onDatabase(const QString &file, bool readOnly, QString *error, Fn fn) {
    const QString name = QStringLiteral("postcode-check-%1").arg(g_counter.fetchAndAddRelaxed(1));
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(file);
        if (readOnly)
            db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        if (!db.open())
            *error = QStringLiteral("받은 우편번호 DB를 열 수 없습니다: ") + db.lastError().text();
        else
            ok = fn(db);
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return ok;
}

} // namespace

QUrl archiveUrl() {
    QString server =
        Settings::GetSetting(AppState::title(), QStringLiteral("Postcode"), QStringLiteral("UpdateServer")).trimmed();
    while (server.endsWith(QLatin1Char('/')))
        server.chop(1);
    return server.isEmpty() ? QUrl() : QUrl(server + kArchivePath);
}

QString noServerMessage() {
#ifdef Q_OS_WIN
    const QString where = QStringLiteral("레지스트리의 ") + AppState::title() + QStringLiteral(" 설정");
#else
    const QString where = QStringLiteral("설정 파일 ") + Settings::storeFile(AppState::title());
#endif
    return QStringLiteral("우편번호 업데이트 서버가 설정되어 있지 않습니다.\r\n") + where +
           QStringLiteral("의 [Postcode] 항목에 UpdateServer=서버 주소(예: https://서버이름)를 넣으세요.");
}

bool checkDatabase(const QString &file, QString *error) {
    return onDatabase(file, true, error, [&](QSqlDatabase &db) {
        QSqlQuery q(db);
        if (!q.exec(QStringLiteral("PRAGMA quick_check(1)")) || !q.next() ||
            q.value(0).toString() != QLatin1String("ok")) {
            *error = QStringLiteral("받은 우편번호 DB가 손상되었습니다.");
            return false;
        }
        QStringList columns;
        q.exec(QStringLiteral("PRAGMA table_info(Post)"));
        while (q.next())
            columns << q.value(1).toString().toUpper();
        for (const QString &c : PostcodeSql::kColumns)
            if (!columns.contains(c)) {
                *error = columns.isEmpty()
                             ? QStringLiteral("받은 우편번호 DB에 Post 테이블이 없습니다.")
                             : QStringLiteral("받은 우편번호 DB의 Post 테이블에 %1 열이 없습니다.").arg(c);
                return false;
            }
        if (!q.exec(QStringLiteral("SELECT 1 FROM Post LIMIT 1")) || !q.next()) {
            *error = QStringLiteral("받은 우편번호 DB에 우편번호가 하나도 없습니다.");
            return false;
        }
        return true;
    });
}

Result install(const QString &archive, const QString &targetDb) {
    Result result;
    const QString part = targetDb + QStringLiteral(".new");
    PostcodeFiles::removeDatabaseFile(part);
    const BackupArchive::Outcome verified = BackupArchive::verify(archive);
    if (!verified.ok) {
        result.message = QStringLiteral("내려받은 압축 파일이 손상되었습니다.");
        return result;
    }
    const bool ok = extractEntry(archive, kEntryName, part, &result.message) && checkDatabase(part, &result.message) &&
                    onDatabase(part, false, &result.message,
                               [&](QSqlDatabase &db) {
                                   QSqlQuery q(db);
                                   for (const QString &sql : PostcodeSql::createIndexSql())
                                       if (!q.exec(sql)) {
                                           result.message = QStringLiteral("받은 우편번호 DB를 준비할 수 없습니다: ") +
                                                            q.lastError().text();
                                           return false;
                                       }
                                   return true;
                               }) &&
                    PostcodeFiles::replaceFile(part, targetDb, &result.message);
    if (!ok)
        PostcodeFiles::removeDatabaseFile(part);
    result.ok = ok;
    return result;
}

} // namespace PostcodeUpdate
