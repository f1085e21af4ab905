#include "BackupArchive.h"
#include "ArchiveRoom.h"
#include "DatabaseCheck.h"
#include "EngineReasons.h"
#include "FolderSwap.h"
#include "Schema.h"
#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QSaveFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QUuid>
#include <memory>
#include <zip.h>

namespace BackupArchive {

namespace {

constexpr qint64 kChunk = 1 << 16;

// Pictures travel in the archive below this folder name, beside the database folder's files.
const QString kPictures = QStringLiteral("IMG");

bool samePath(const QString &a, const QString &b) {
#ifdef Q_OS_WIN
    return QString::compare(a, b, Qt::CaseInsensitive) == 0;
#else
    return a == b;
#endif
}

// A relative folder would be read again relative to itself when listing its files.
QString absolute(const QString &path) { return QDir::cleanPath(QFileInfo(path).absoluteFilePath()); }

QByteArray zipName(const QString &path) {
#ifdef Q_OS_WIN
    return QDir::toNativeSeparators(path).toUtf8(); // libzip takes UTF-8 names on Windows
#else
    return QFile::encodeName(path);
#endif
}

QString zipErrorText(int code) {
    zip_error_t e;
    zip_error_init_with_code(&e, code);
    const QString text = QString::fromLocal8Bit(zip_error_strerror(&e));
    zip_error_fini(&e);
    return text;
}

struct ZipCloser {
    void operator()(zip_t *za) const { zip_discard(za); }
};
using ZipPtr = std::unique_ptr<zip_t, ZipCloser>;

// A journal beside a copied database would be replayed over it after a restore; a
// database's snapshot already holds what its journal or write-ahead log held.
bool isTransient(const QString &folder, const QString &name) {
    for (const char *side : {"-journal", "-wal", "-shm"})
        if (name.endsWith(QLatin1String(side)))
            return QFileInfo::exists(folder + QLatin1Char('/') + name.chopped(int(qstrlen(side))));
    // The marks of programs that have the database open say nothing about the copy.
    const QString file = QFileInfo(name).fileName();
    return name.contains(QLatin1String(".zip.part")) ||
           (file.startsWith(QLatin1Char('.')) && file.contains(QLatin1String(".open-")));
}

bool isSqliteFile(const QString &path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) && f.read(16) == QByteArray("SQLite format 3\0", 16);
}

// Copies a database through SQLite itself, so that a write from another PC of the shop
// cannot leave a torn copy.
bool snapshot(const QString &source, const QString &target, QString *error) {
    static int counter = 0;
    const QString name = QStringLiteral("backup-snapshot-%1").arg(++counter);
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(source);
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=10000"));
        if (db.open()) {
            QSqlQuery q(db);
            // A damaged database is never packed: the archives before it stay the good ones.
            const bool sound = q.exec(QStringLiteral("PRAGMA quick_check(1)")) && q.next() &&
                               q.value(0).toString() == QLatin1String("ok");
            if (!sound)
                *error =
                    QStringLiteral("데이터베이스가 손상되었습니다. ") +
                    (q.lastError().isValid() ? explainSqliteText(engineWords(q.lastError())) : q.value(0).toString());
            q.finish();
            QString quoted = target;
            quoted.replace(QLatin1Char('\''), QStringLiteral("''"));
            ok = sound && q.exec(QStringLiteral("VACUUM INTO '%1'").arg(quoted));
            if (sound && !ok)
                *error = explainSqliteText(engineWords(q.lastError()));
        } else {
            *error = explainSqliteText(engineWords(db.lastError()));
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return ok;
}

bool safeEntryName(const QString &name) {
    if (name.isEmpty() || QDir::isAbsolutePath(name) || name.contains(QLatin1Char('\\')) ||
        name.contains(QLatin1Char(':')) || QDir::cleanPath(name) != name || name == QLatin1String("..") ||
        name.startsWith(QLatin1String("../")))
        return false;
    // Windows drops trailing dots and blanks, which would put a file somewhere else.
    for (const QString &part : name.split(QLatin1Char('/')))
        if (part.endsWith(QLatin1Char('.')) || part.endsWith(QLatin1Char(' ')))
            return false;
    return true;
}

// Receives each entry's data while the archive is read.
class EntrySink {
public:
    virtual ~EntrySink() = default;
    virtual bool begin(const QString &name, QString *error) = 0;
    virtual bool write(const char *data, qint64 size, QString *error) = 0;
    virtual bool end(QString *error) = 0;
};

// Reads every entry to its end, where libzip checks its CRC and size: a read that reaches the
// end of damaged data fails (ZIP_ER_CRC, ZIP_ER_INCONS).
bool readArchive(const QString &archive, EntrySink *sink, QStringList *names, QString *error) {
    int code = 0;
    ZipPtr za(zip_open(zipName(archive).constData(), ZIP_RDONLY | ZIP_CHECKCONS, &code));
    if (!za) {
        *error = QStringLiteral("백업 파일을 열 수 없습니다: ") + zipErrorText(code);
        return false;
    }
    const zip_int64_t count = zip_get_num_entries(za.get(), 0);
    QByteArray buffer(kChunk, Qt::Uninitialized);
    for (zip_int64_t i = 0; i < count; ++i) {
        zip_stat_t st;
        if (zip_stat_index(za.get(), zip_uint64_t(i), 0, &st) != 0) {
            *error = QString::fromLocal8Bit(zip_strerror(za.get()));
            return false;
        }
        const QString name = QString::fromUtf8(st.name);
        if (name.endsWith(QLatin1Char('/')))
            continue;
        if (!safeEntryName(name)) {
            *error = QStringLiteral("백업 파일에 잘못된 이름이 있습니다: ") + name;
            return false;
        }
        if (sink && !sink->begin(name, error))
            return false;
        zip_file_t *zf = zip_fopen_index(za.get(), zip_uint64_t(i), 0);
        if (!zf) {
            *error = name + QStringLiteral(": ") + QString::fromLocal8Bit(zip_strerror(za.get()));
            return false;
        }
        zip_int64_t n = 0;
        zip_uint64_t total = 0;
        while ((n = zip_fread(zf, buffer.data(), zip_uint64_t(buffer.size()))) > 0) {
            total += zip_uint64_t(n);
            if ((st.valid & ZIP_STAT_SIZE) && total > st.size)
                break; // more than it declares: reported as damaged below, the rest unread
            if (sink && !sink->write(buffer.constData(), n, error)) {
                zip_fclose(zf);
                return false;
            }
        }
        const QString readError = n < 0 ? QString::fromLocal8Bit(zip_file_strerror(zf)) : QString();
        const int closeCode = zip_fclose(zf);
        if (n < 0 || closeCode != 0 || ((st.valid & ZIP_STAT_SIZE) && total != st.size)) {
            *error = QStringLiteral("백업 파일이 손상되었습니다: ") + name +
                     (readError.isEmpty() ? QString() : QStringLiteral(" (") + readError + QLatin1Char(')'));
            return false;
        }
        if (sink && !sink->end(error))
            return false;
        names->append(name);
    }
    if (names->isEmpty()) {
        *error = QStringLiteral("백업 파일에 자료가 없습니다.");
        return false;
    }
    return true;
}

// Compares each entry with the file that was packed under its name.
class CompareSink final : public EntrySink {
public:
    explicit CompareSink(const QMap<QString, QString> &packed) : m_packed(packed) {}
    bool begin(const QString &name, QString *error) override {
        m_name = name;
        m_file.setFileName(m_packed.value(name));
        if (!m_packed.contains(name) || !m_file.open(QIODevice::ReadOnly))
            return fail(error);
        m_seen << name;
        return true;
    }
    bool write(const char *data, qint64 size, QString *error) override {
        return m_file.read(size) == QByteArray::fromRawData(data, size) || fail(error);
    }
    bool end(QString *error) override {
        const bool whole = m_file.atEnd();
        m_file.close();
        return whole || fail(error);
    }
    bool allSeen(QString *error) const {
        for (auto it = m_packed.keyBegin(); it != m_packed.keyEnd(); ++it)
            if (!m_seen.contains(*it)) {
                *error = QStringLiteral("백업 파일에 빠진 파일이 있습니다: ") + *it;
                return false;
            }
        return true;
    }

private:
    bool fail(QString *error) {
        *error = QStringLiteral("백업 파일의 내용이 원본과 다릅니다: ") + m_name;
        return false;
    }
    const QMap<QString, QString> &m_packed;
    QFile m_file;
    QString m_name;
    QStringList m_seen;
};

// Writes each entry where target() puts its name; a file exists only once it is complete on disk.
class ExtractSink final : public EntrySink {
public:
    explicit ExtractSink(std::function<QString(const QString &)> target) : m_target(std::move(target)) {}
    bool begin(const QString &name, QString *error) override {
        const QString path = m_target(name);
        m_file = std::make_unique<QSaveFile>(path);
        if (QDir().mkpath(QFileInfo(path).absolutePath()) && m_file->open(QIODevice::WriteOnly))
            return true;
        *error = QStringLiteral("파일을 쓸 수 없습니다: ") + path;
        return false;
    }
    bool write(const char *data, qint64 size, QString *error) override {
        if (m_file->write(data, size) == size)
            return true;
        *error = QStringLiteral("파일을 쓸 수 없습니다: ") + m_file->fileName() + QStringLiteral(" (") +
                 m_file->errorString() + QLatin1Char(')');
        return false;
    }
    bool end(QString *error) override {
        if (m_file->commit())
            return true;
        *error = QStringLiteral("파일을 쓸 수 없습니다: ") + m_file->fileName() + QStringLiteral(" (") +
                 m_file->errorString() + QLatin1Char(')');
        return false;
    }

private:
    std::function<QString(const QString &)> m_target;
    std::unique_ptr<QSaveFile> m_file;
};

QStringList filesBelow(const QString &folder) {
    QStringList out;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString rel = QDir(folder).relativeFilePath(it.next());
        if (!isTransient(folder, rel))
            out << rel;
    }
    out.sort();
    return out;
}

// Snapshot folders and partial archives of runs that died. Another PC's run may be
// writing into the same folder, so only what is hours old goes.
void removeStaleLeftovers(const QString &folder) {
    const QDateTime old = QDateTime::currentDateTime().addSecs(-6 * 3600);
    const QFileInfoList entries =
        QDir(folder).entryInfoList({QStringLiteral(".snapshot-*"), QStringLiteral("*.zip.part.*")},
                                   QDir::Files | QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot);
    for (const QFileInfo &fi : entries) {
        if (fi.lastModified() > old)
            continue;
        if (fi.isDir())
            QDir(fi.absoluteFilePath()).removeRecursively();
        else
            QFile::remove(fi.absoluteFilePath());
    }
}

Outcome failed(const QString &archive, const QString &message) {
    Outcome o;
    o.archive = archive;
    o.message = message;
    return o;
}

// The pictures' entries ("IMG/...") and their files. Pictures that are the database
// folder's own IMG are already among its files.
bool picturesToPack(const QString &databaseFolder, const QString &picturesGiven, QMap<QString, QString> *sources,
                    QString *error) {
    if (picturesGiven.isEmpty())
        return true;
    const QString pictures = absolute(picturesGiven);
    const QString own = databaseFolder + QLatin1Char('/') + kPictures;
    if (samePath(pictures, own))
        return true;
    // Two folders under one name could not be told apart when restoring.
    const QStringList clash =
        QDir(databaseFolder).entryList({kPictures}, QDir::AllEntries | QDir::Hidden | QDir::System);
    if (!clash.isEmpty()) {
        *error =
            QStringLiteral("데이터베이스 폴더에 %1 폴더가 있어 그림 파일을 함께 백업할 수 없습니다: ").arg(kPictures) +
            databaseFolder + QLatin1Char('/') + clash.first();
        return false;
    }
    for (const QString &rel : filesBelow(pictures))
        sources->insert(kPictures + QLatin1Char('/') + rel, pictures + QLatin1Char('/') + rel);
    return true;
}

} // namespace

Outcome create(const QString &folderGiven, const QString &archiveGiven, const QString &picturesFolder) {
    const QString databaseFolder = absolute(folderGiven);
    const QString archivePath = absolute(archiveGiven);
    const QStringList files = filesBelow(databaseFolder);
    if (files.isEmpty())
        return failed(archivePath, QStringLiteral("백업할 파일이 없습니다: ") + databaseFolder);
    QMap<QString, QString> sources; // entry name -> the file it is made from
    for (const QString &rel : files)
        sources.insert(rel, databaseFolder + QLatin1Char('/') + rel);
    QString clash;
    if (!picturesToPack(databaseFolder, picturesFolder, &sources, &clash))
        return failed(archivePath, clash);
    if (QFileInfo::exists(archivePath))
        return failed(archivePath, QStringLiteral("같은 이름의 백업 파일이 이미 있습니다: ") + archivePath);
    const QString folder = QFileInfo(archivePath).absolutePath();
    if (!QDir().mkpath(folder))
        return failed(archivePath, QStringLiteral("백업 폴더를 만들 수 없습니다: ") + folder);

    Outcome out;
    out.archive = archivePath;
    QTemporaryDir snapshots(folder + QStringLiteral("/.snapshot-XXXXXX"));
    QMap<QString, QString> packed; // entry name -> file whose bytes it holds
    for (auto it = sources.cbegin(); it != sources.cend(); ++it) {
        const QString &rel = it.key();
        const QString &source = it.value();
        packed[rel] = source;
        if (!isSqliteFile(source))
            continue;
        const QString copy = snapshots.filePath(QString::number(packed.size()));
        QString why = snapshots.isValid() ? QString() : QStringLiteral("임시 폴더를 만들 수 없습니다.");
        // A plain copy of a database someone is writing may hold half a transaction:
        // no backup is better than one that cannot be trusted.
        if (!snapshots.isValid() || !snapshot(source, copy, &why))
            return failed(archivePath, QStringLiteral("데이터베이스를 복사할 수 없습니다: ") + rel +
                                           QStringLiteral(" (") + why + QLatin1Char(')'));
        packed[rel] = copy;
    }

    removeStaleLeftovers(folder);
    const QString part = archivePath + QStringLiteral(".part.") + QUuid::createUuid().toString(QUuid::Id128).left(12);
    int code = 0;
    ZipPtr za(zip_open(zipName(part).constData(), ZIP_CREATE | ZIP_EXCL, &code));
    if (!za)
        return failed(archivePath, QStringLiteral("백업 파일을 만들 수 없습니다: ") + zipErrorText(code));
    for (auto it = packed.cbegin(); it != packed.cend(); ++it) {
        zip_source_t *src = zip_source_file_create(zipName(it.value()).constData(), 0, -1, nullptr);
        if (!src || zip_file_add(za.get(), it.key().toUtf8().constData(), src, ZIP_FL_ENC_UTF_8) < 0) {
            const QString why = QString::fromLocal8Bit(zip_strerror(za.get()));
            if (src)
                zip_source_free(src);
            return failed(archivePath, QStringLiteral("백업 파일을 만들 수 없습니다: ") + it.key() +
                                           QStringLiteral(" (") + why + QLatin1Char(')'));
        }
    }
    if (zip_close(za.get()) != 0) {
        const QString why = QString::fromLocal8Bit(zip_strerror(za.get()));
        QFile::remove(part);
        return failed(archivePath, QStringLiteral("백업 파일을 만들 수 없습니다: ") + why);
    }
    (void)za.release(); // zip_close freed it

    CompareSink compare(packed);
    QString error;
    if (!readArchive(part, &compare, &out.entries, &error) || !compare.allSeen(&error)) {
        QFile::remove(part);
        return failed(archivePath, error);
    }
    // Another PC may have finished an archive of the same second meanwhile.
    QString finalPath = archivePath;
    for (int n = 2; !QFile::rename(part, finalPath) && n < 100; ++n)
        finalPath = archivePath.chopped(4) + QStringLiteral("_%1.zip").arg(n);
    if (QFileInfo::exists(part)) {
        QFile::remove(part);
        return failed(archivePath, QStringLiteral("백업 파일의 이름을 바꿀 수 없습니다: ") + archivePath);
    }
    out.archive = finalPath;
    out.ok = true;
    return out;
}

Outcome verify(const QString &archivePath) {
    Outcome out;
    out.archive = absolute(archivePath);
    out.ok = readArchive(out.archive, nullptr, &out.entries, &out.message);
    return out;
}

Outcome extract(const QString &archivePath, const QString &folder) {
    Outcome out;
    out.archive = absolute(archivePath);
    if (!QDir().mkpath(folder))
        return failed(out.archive, QStringLiteral("복원용 폴더를 만들 수 없습니다: ") + folder);
    const auto target = [&](const QString &name) { return folder + QLatin1Char('/') + name; };
    if (const QString room = ArchiveRoom::check(out.archive, target); !room.isEmpty())
        return failed(out.archive, room);
    ExtractSink sink(target);
    out.ok = readArchive(out.archive, &sink, &out.entries, &out.message);
    return out;
}

Outcome restore(const QString &archiveGiven, const QString &folderGiven, const QString &stamp,
                const RestoreOptions &options) {
    const QString archivePath = absolute(archiveGiven);
    const QString databaseFolder = absolute(folderGiven);
    const QString pictures = options.picturesFolder.isEmpty() ? QString() : absolute(options.picturesFolder);
    // The database folder's own IMG comes back with the rest of that folder.
    const bool picturesApart =
        !pictures.isEmpty() && !samePath(pictures, databaseFolder + QLatin1Char('/') + kPictures);
    Outcome out;
    out.archive = archivePath;
    const QString staging = FolderSwap::uniqueSibling(databaseFolder, QStringLiteral("_restoring_") + stamp);
    const QString picturesStaging =
        picturesApart ? FolderSwap::uniqueSibling(pictures, QStringLiteral("_restoring_") + stamp) : QString();
    const auto clearStaging = [&] { // only unpacked copies live there
        QDir(staging).removeRecursively();
        if (picturesApart)
            QDir(picturesStaging).removeRecursively();
    };
    const QString picturePrefix = kPictures + QLatin1Char('/');
    const auto target = [&](const QString &name) {
        if (picturesApart && name.startsWith(picturePrefix))
            return picturesStaging + QLatin1Char('/') + name.mid(picturePrefix.size());
        return staging + QLatin1Char('/') + name;
    };
    if (const QString room = ArchiveRoom::check(archivePath, target); !room.isEmpty())
        return failed(archivePath, room);
    if (!QDir().mkpath(staging))
        return failed(archivePath, QStringLiteral("복원용 폴더를 만들 수 없습니다: ") + staging);
    ExtractSink extract(target);
    if (!readArchive(archivePath, &extract, &out.entries, &out.message)) {
        clearStaging();
        return out;
    }
    // An archive without a usable main database would leave the program nothing to open.
    const QString mainFile = staging + QLatin1Char('/') + Schema::kMainFile;
    if (!QFileInfo(mainFile).isFile()) {
        clearStaging();
        return failed(archivePath, QStringLiteral("백업 파일에 데이터베이스(%1)가 없습니다.").arg(Schema::kMainFile));
    }
    const DatabaseCheck::Result check =
        DatabaseCheck::checkMainDatabase(mainFile, options.password, DatabaseCheck::Depth::Full);
    if (!check.ok) {
        clearStaging();
        return failed(archivePath, QStringLiteral("백업 파일의 데이터베이스를 쓸 수 없습니다: ") + check.message);
    }

    FolderSwap database(databaseFolder, options.move);
    FolderSwap picturesSwap(pictures, options.move);
    auto undo = [&](QString message) {
        Outcome o = failed(archivePath, message);
        const bool moved = database.moved() || picturesSwap.moved();
        bool whole = true;
        for (auto [swap, aside] :
             {std::pair{&picturesSwap, &o.picturesAsideFolder}, std::pair{&database, &o.asideFolder}}) {
            if (swap->undo())
                continue;
            whole = false;
            *aside = swap->asideFolder();
            o.message += QStringLiteral("\n원래 파일 일부를 되돌리지 못했습니다. 다음 폴더에 있습니다: ") + *aside;
        }
        if (whole && moved)
            o.message += QStringLiteral("\n원래 파일을 되돌려 놓았습니다.");
        clearStaging();
        return o;
    };
    switch (database.swapIn(staging, QStringLiteral("_before_restore_") + stamp)) {
    case FolderSwap::AsideFailed:
        return undo(QStringLiteral("사용 중인 파일이 있어 복원하지 못했습니다: ") + databaseFolder);
    case FolderSwap::InFailed:
        return undo(QStringLiteral("복원한 파일을 데이터베이스 폴더로 옮기지 못했습니다: ") + databaseFolder);
    case FolderSwap::Done: break;
    }
    // An archive without pictures (made before they were kept) leaves today's pictures alone.
    if (picturesApart && QFileInfo(picturesStaging).isDir()) {
        switch (picturesSwap.swapIn(picturesStaging, QStringLiteral("_before_restore_") + stamp)) {
        case FolderSwap::AsideFailed:
            return undo(QStringLiteral("사용 중인 그림 파일이 있어 복원하지 못했습니다: ") + pictures);
        case FolderSwap::InFailed:
            return undo(QStringLiteral("복원한 그림 파일을 그림 폴더로 옮기지 못했습니다: ") + pictures);
        case FolderSwap::Done: break;
        }
        QDir().rmdir(picturesStaging);
        out.picturesAsideFolder = picturesSwap.asideFolder();
    }
    QDir().rmdir(staging);
    out.asideFolder = database.asideFolder();
    out.ok = true;
    return out;
}

} // namespace BackupArchive
