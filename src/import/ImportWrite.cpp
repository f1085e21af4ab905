#include "ImportWrite.h"
#include "ArchiveNow.h"
#include "Clock.h"
#include "HandsetPictures.h"
#include "HandsetSave.h"
#include "HandsetSql.h"
#include "PictureStore.h"
#include "RepeatedSql.h"
#include "modMDB_Func.h"
#include <QDir>
#include <QHash>
#include <QImageReader>
#include <QSaveFile>
#include <QSet>

namespace ImportWrite {

using HandsetSave::Result;
using ImportPlan::Kind;

namespace {
constexpr int kCode = 0, kId = 1;

std::vector<bool> duplicateFlags(const ImportPlan::Plan &plan, const std::vector<ImportPlan::Existing> &catalogue) {
    QHash<QString, int> ids;
    for (const ImportPlan::Existing &e : catalogue)
        ++ids[e.fields[kId].toCaseFolded()];
    std::vector<bool> flags(plan.rows.size(), false);
    for (size_t i = 0; i < plan.rows.size(); ++i) {
        const ImportPlan::Row &r = plan.rows[i];
        const QString id = r.fields[kId].toCaseFolded();
        const bool writes = r.kind == Kind::Add || r.kind == Kind::Change;
        const bool newId = r.kind == Kind::Add || (r.kind == Kind::Change && id != r.before[kId].toCaseFolded());
        if (!writes || !newId)
            continue;
        flags[i] = ids.value(id) > 0;
        ++ids[id]; // a later row of the file with this ID meets this one
    }
    return flags;
}

QString refusal(const ImportPlan::Row &row, const Result &r) {
    const QString where = QStringLiteral("%1행 (관리번호 %2, ID %3): ").arg(row.line).arg(r.code, row.fields[kId]);
    switch (r.status) {
    case Result::ChangedElsewhere:
        return where +
               QStringLiteral("미리보기를 만든 뒤 다른 PC에서 이 핸드폰이 바뀌었습니다. 파일을 다시 읽어 주세요.");
    case Result::DeletedElsewhere:
        return where +
               QStringLiteral("미리보기를 만든 뒤 다른 PC에서 이 핸드폰이 삭제되었습니다. 파일을 다시 읽어 주세요.");
    case Result::DuplicateCode: return where + QStringLiteral("관리번호가 이미 등록되어 있습니다.");
    case Result::NumbersExhausted: return where + QStringLiteral("자동으로 붙일 관리번호가 남아 있지 않습니다.");
    case Result::NothingChanged: return where + QStringLiteral("자료를 저장하지 못했습니다.");
    default: return where + r.errorText;
    }
}

QString changesText(const ImportPlan::Row &row) {
    QStringList parts;
    for (int f = 0; f < HandsetColumns::kFieldCount; ++f)
        if (row.fields[size_t(f)] != row.before[size_t(f)])
            parts << QStringLiteral("%1: %2 → %3")
                         .arg(QString::fromUtf8(HandsetColumns::field(f).header), row.before[size_t(f)],
                              row.fields[size_t(f)]);
    if (!row.picture.isEmpty())
        parts << QStringLiteral("사진: ") + QDir::toNativeSeparators(row.picture);
    return parts.join(QStringLiteral("; "));
}

bool writeLog(const QString &file, const QStringList &lines) {
    QSaveFile f(file);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    f.write("\xEF\xBB\xBF");
    f.write(lines.join(QStringLiteral("\r\n")).toUtf8() + "\r\n");
    return f.commit();
}

// A picture the row brings, under the handset's ID, through the store of the open database.
bool storePicture(PictureStore &store, const ImportPlan::Row &row, const QString &id, QString *why) {
    QImageReader reader(row.picture);
    reader.setAutoTransform(true);
    const QImage image = reader.read();
    if (image.isNull()) {
        *why = QStringLiteral("그림 파일을 읽을 수 없습니다: ") + QDir::toNativeSeparators(row.picture);
        return false;
    }
    return store.store(id, image, why);
}
// New handsets with HandsetSave's statement and numbering. The transaction holds the write
// lock, so the numbers are taken once and counted on, past every number the file gives (a
// refused row's too: corrected and imported again, it would take the handset numbered so). The
// statement is prepared once; it outlives the transaction, so a server drops it after the
// rollback of a refused import.
class NewHandsets {
public:
    NewHandsets(const ImportPlan::Plan &plan, int codeLength)
        : m_length(codeLength), m_insert(HandsetSql::insertStatement({}).sql) {
        for (const ImportPlan::Row &row : plan.rows)
            if (!row.fields[kCode].isEmpty())
                m_given.insert(row.fields[kCode].toCaseFolded());
    }
    Result insert(HandsetColumns::Fields fields) {
        Result r;
        if (fields[kCode].isEmpty()) {
            do
                m_next = m_next.isEmpty()
                             ? modMDB_Func::GetNextCode(QStringLiteral("t_mobile"), QStringLiteral("mcode"), m_length)
                             : HandsetSave::following(m_next, m_length);
            while (!m_next.isEmpty() && m_given.contains(m_next.toCaseFolded()));
            if (m_next.isEmpty()) {
                r.status = Result::NumbersExhausted;
                return r;
            }
            fields[kCode] = m_next;
        }
        r.code = fields[kCode];
        r.fields = fields;
        try {
            r.status = m_insert.run(HandsetSql::insertValues(fields)) > 0 ? Result::Saved : Result::NothingChanged;
        } catch (const AppError &e) {
            r.status = modMDB_Func::IsDuplicateKey(e, QStringLiteral("mcode")) ? Result::DuplicateCode : Result::Failed;
            r.errorText = e.description;
        }
        return r;
    }

private:
    int m_length;
    RepeatedSql m_insert;
    QSet<QString> m_given;
    QString m_next;
};
} // namespace

int duplicateIds(const ImportPlan::Plan &plan, const std::vector<ImportPlan::Existing> &catalogue) {
    const std::vector<bool> flags = duplicateFlags(plan, catalogue);
    return int(std::count(flags.begin(), flags.end(), true));
}

Outcome write(const ImportPlan::Plan &plan, const std::vector<ImportPlan::Existing> &catalogue, bool skipDuplicateIds,
              const Options &o) {
    Outcome out;
    const std::vector<bool> duplicate = duplicateFlags(plan, catalogue);
    std::vector<size_t> todo;
    for (size_t i = 0; i < plan.rows.size(); ++i) {
        const Kind k = plan.rows[i].kind;
        if (k != Kind::Add && k != Kind::Change)
            continue;
        if (skipDuplicateIds && duplicate[i])
            ++out.skipped;
        else
            todo.push_back(i);
    }
    if (todo.empty()) {
        out.message = QStringLiteral("추가하거나 바꿀 자료가 없습니다.");
        return out;
    }
    QString why;
    const BackupArchive::Outcome archive = ArchiveNow::take(o.databaseFolder, o.archiveFolder, &why);
    if (!archive.ok) {
        out.message = QStringLiteral("가져오기 전에 백업하지 못해 아무것도 쓰지 않았습니다.\r\n") +
                      (why.isEmpty() ? archive.message : why);
        return out;
    }
    out.archive = archive.archive;
    const std::unique_ptr<PictureStore> store = HandsetPictures::openStore();
    QStringList log{QStringLiteral("핸드폰 자료 가져오기 %1").arg(appClock().now().toString(Qt::ISODate)),
                    QStringLiteral("가져오기 전 백업: ") + QDir::toNativeSeparators(out.archive)};
    std::vector<std::pair<size_t, QString>> later; // pictures of a store outside the transaction
    NewHandsets numbers(plan, o.codeLength);
    HandsetSave::Updates changes; // outlives the transaction, as the inserts' statement
    bool written = false;
    try {
        written = modMDB_Func::InTransaction([&] {
            for (size_t n = 0; n < todo.size(); ++n) {
                if (o.progress && (n & 255) == 0 && !o.progress(int(n * 1000 / todo.size()))) {
                    out.cancelled = true;
                    out.message = QStringLiteral("가져오기를 취소했습니다. 아무것도 쓰지 않았습니다.");
                    return false;
                }
                const ImportPlan::Row &row = plan.rows[todo[n]];
                const bool add = row.kind == Kind::Add;
                const Result r = add ? numbers.insert(row.fields) : changes.update(row.fields, row.code, row.before);
                if (r.status != Result::Saved) {
                    out.message = QStringLiteral("아무것도 쓰지 않았습니다.\r\n") + refusal(row, r);
                    return false;
                }
                const QString id = r.fields[kId];
                if (!row.picture.isEmpty()) {
                    if (!store->transactional()) {
                        later.emplace_back(todo[n], id);
                    } else if (QString pictureWhy; storePicture(*store, row, id, &pictureWhy)) {
                        ++out.pictures;
                    } else {
                        out.message = QStringLiteral("아무것도 쓰지 않았습니다.\r\n%1행: ").arg(row.line) + pictureWhy;
                        return false;
                    }
                }
                (add ? out.added : out.changed)++;
                log << (add ? QStringLiteral("추가\t%1행\t관리번호 %2\tID %3").arg(row.line).arg(r.code, id)
                            : QStringLiteral("변경\t%1행\t관리번호 %2\tID %3\t").arg(row.line).arg(r.code, id) +
                                  changesText(row));
            }
            return true;
        });
    } catch (const AppError &e) {
        out.message = QStringLiteral("아무것도 쓰지 않았습니다.\r\n") + e.description;
        written = false;
    }
    if (!written) {
        out.added = out.changed = out.pictures = 0;
        return out;
    }
    out.ok = true;
    QStringList failedPictures;
    for (const auto &[i, id] : later) {
        if (QString pictureWhy; storePicture(*store, plan.rows[i], id, &pictureWhy))
            ++out.pictures;
        else
            failedPictures << QStringLiteral("%1행: ").arg(plan.rows[i].line) + pictureWhy;
    }
    if (!failedPictures.isEmpty()) {
        out.message =
            QStringLiteral("자료는 가져왔지만 사진 %1장을 저장하지 못했습니다.\r\n").arg(failedPictures.size()) +
            failedPictures.join(QStringLiteral("\r\n"));
        log << failedPictures;
    }
    if (out.skipped > 0)
        log << QStringLiteral("같은 ID가 있어 뺀 자료: %1건").arg(out.skipped);
    QDir().mkpath(o.logFolder);
    out.log = o.logFolder + QStringLiteral("/Imp") + appClock().now().toString(QStringLiteral("yyMMdd_HHmmss")) +
              QStringLiteral("LOG.TXT");
    if (!writeLog(out.log, log))
        out.log.clear();
    return out;
}

} // namespace ImportWrite
