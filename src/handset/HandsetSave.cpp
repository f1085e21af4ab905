#include "HandsetSave.h"
#include "ErrorBox.h"
#include "HandsetPictures.h"
#include "HandsetSql.h"
#include "Messages.h"
#include "modMDB_Func.h"
#include <QDir>
#include <functional>

using namespace modMDB_Func;

namespace HandsetSave {

namespace {
// Inside the write transaction no other program can take a number, so a number met here
// comes from a path that bypassed the numbering; a few steps past it are plenty.
constexpr int kNumberAttempts = 20;

bool codeExists(const QString &code) {
    return GetValue({QStringLiteral("SELECT COUNT(*) FROM t_mobile WHERE mcode = ?"), {code}}).toInt() > 0;
}

bool isDuplicate(const AppError &e) { return IsDuplicateKey(e, QStringLiteral("mcode")); }
} // namespace

QString following(const QString &code, int codeLength) {
    qsizetype digits = 0;
    while (digits < code.size() && code[code.size() - 1 - digits].isDigit())
        ++digits;
    if (digits == 0)
        return {};
    const qlonglong next = code.right(digits).toLongLong() + 1;
    const QString tail = QStringLiteral("%1").arg(next, int(digits), 10, QLatin1Char('0'));
    return tail.size() > digits || code.size() > codeLength ? QString() : code.left(code.size() - digits) + tail;
}

int missingRequired(const HandsetColumns::Fields &fields, bool autoNumber) {
    for (const HandsetColumns::Column &c : HandsetColumns::all())
        if (c.required && fields[size_t(c.field)].isEmpty() && !(autoNumber && c.field == 0))
            return c.field;
    return -1;
}

namespace {
Result write(const HandsetColumns::Fields &fields, int mode, bool autoNumber, int code, int codeLength,
             const HandsetColumns::Fields *loaded) {
    return mode == 1 ? insert(fields, autoNumber, codeLength) : update(fields, code, loaded);
}
bool applyPicture(const PictureChange &c, PictureStore &store, QString *why, QString *which);
void warnPicture(const QString &id, const QString &why);
} // namespace

Result save(const HandsetColumns::Fields &fields, int mode, bool autoNumber, int code, int codeLength,
            const PictureChange &picture, const HandsetColumns::Fields *loaded) {
    if (const int missing = missingRequired(fields, autoNumber); missing >= 0) {
        Result r;
        r.status = Result::MissingField;
        r.missingField = missing;
        r.fields = fields;
        return r;
    }
    const std::unique_ptr<PictureStore> store = HandsetPictures::openStore();
    QString why, which;
    if (!store->transactional() || (picture.action == PictureChange::None && !picture.dropOld)) {
        Result r = write(fields, mode, autoNumber, code, codeLength, loaded);
        if (r.status == Result::Saved && !applyPicture(picture, *store, &why, &which))
            warnPicture(which, why);
        return r;
    }
    Result r;
    try {
        InTransaction([&] {
            r = write(fields, mode, autoNumber, code, codeLength, loaded);
            if (r.status != Result::Saved)
                return false;
            if (applyPicture(picture, *store, &why, &which))
                return true;
            r.status = Result::Failed;
            r.errorText = QStringLiteral("사진을 저장하지 못했습니다 (ID [%1]).\r\n").arg(which) + why;
            return false;
        });
    } catch (const AppError &e) {
        r.status = Result::Failed;
        r.errorNumber = e.number;
        r.errorText = e.description;
    }
    return r;
}

Result insert(HandsetColumns::Fields fields, bool autoNumber, int codeLength) {
    Result r;
    try {
        InTransaction([&] {
            if (autoNumber) {
                fields[0] = GetNextCode(QStringLiteral("t_mobile"), QStringLiteral("mcode"), codeLength);
                if (fields[0].isEmpty()) {
                    r.status = Result::NumbersExhausted;
                    return false;
                }
            } else if (codeExists(fields[0])) {
                r.status = Result::DuplicateCode;
                r.code = fields[0];
                return false;
            }
            for (int attempt = 1;; ++attempt) {
                r.code = fields[0];
                try {
                    if (ExecuteSQL(HandsetSql::insertStatement(fields), true, true) < 1) {
                        r.status = Result::NothingChanged;
                        return false;
                    }
                    break;
                } catch (const AppError &e) {
                    // Only this statement was undone; the transaction and its lock stay.
                    if (!autoNumber || !isDuplicate(e) || attempt == kNumberAttempts)
                        throw;
                    fields[0] = following(fields[0], codeLength);
                    if (fields[0].isEmpty())
                        throw;
                }
            }
            r.key = GetIdentity();
            r.fields = fields;
            r.status = Result::Saved;
            return true;
        });
    } catch (const AppError &e) {
        r.status = isDuplicate(e) ? Result::DuplicateCode : Result::Failed;
        r.errorNumber = e.number;
        r.errorText = e.description;
    }
    return r;
}

namespace {
bool recordExists(int code) { return GetValue(HandsetSql::existsQuery(code)).toInt() > 0; }

// update's outcome, the statement run by run (the rows it changed; errors thrown).
Result updated(const HandsetColumns::Fields &fields, int code, const HandsetColumns::Fields *loaded,
               const std::function<int()> &run) {
    Result r;
    r.fields = fields;
    r.code = fields[0];
    r.key = code;
    try {
        if (run() > 0)
            r.status = Result::Saved;
        else if (!loaded)
            r.status = Result::NothingChanged;
        else
            r.status = recordExists(code) ? Result::ChangedElsewhere : Result::DeletedElsewhere;
    } catch (const AppError &e) {
        r.status = isDuplicate(e) ? Result::DuplicateCode : Result::Failed;
        r.errorNumber = e.number;
        r.errorText = e.description;
    }
    return r;
}
} // namespace

Result update(const HandsetColumns::Fields &fields, int code, const HandsetColumns::Fields *loaded) {
    return updated(fields, code, loaded, [&] {
        const auto expected = loaded ? HandsetSql::fieldTexts(*loaded) : HandsetSql::ColumnTexts{};
        return ExecuteSQL(HandsetSql::updateStatement(fields, code, expected), true, true);
    });
}

Updates::Updates()
    : m_statement(HandsetSql::updateStatement({}, 0, HandsetSql::fieldTexts(HandsetColumns::Fields{})).sql) {}
Updates::~Updates() = default;

Result Updates::update(const HandsetColumns::Fields &fields, int code, const HandsetColumns::Fields &loaded) {
    return updated(fields, code, &loaded,
                   [&] { return m_statement.run(HandsetSql::updateValues(fields, code, loaded)); });
}

void explainRefusal(const Result &r) {
    switch (r.status) {
    case Result::Saved:
    case Result::MissingField:
    case Result::NumbersExhausted: return;
    case Result::DuplicateCode:
        MsgWarn(QStringLiteral("관리번호 [%1]은(는) 이미 등록되어 있습니다. 다른 관리번호를 입력하세요.").arg(r.code));
        return;
    case Result::Failed:
        // One box that names the cause; the input stays for another try.
        MsgWarn(QStringLiteral("자료를 저장하지 못했습니다.\r\n") + r.errorText);
        return;
    case Result::ChangedElsewhere:
    case Result::DeletedElsewhere: return; // the entry window asks what to do
    case Result::NothingChanged: MsgInfo(QStringLiteral("수정된 내용이 없거나, 자료저장을 실패하였습니다.")); return;
    }
}

namespace {
void warnPicture(const QString &id, const QString &why) {
    MsgWarn(QStringLiteral("사진을 저장하지 못했습니다.\r\n") + QDir::toNativeSeparators(HandsetPictures::file(id)) +
            QStringLiteral("\r\n") + why);
}
} // namespace

int handsetsWithId(const QString &id, int exceptKey) {
    return GetValue(HandsetSql::idCountQuery(id, exceptKey)).toInt();
}

namespace {
// The count, or -1 when it cannot be read (the box of the failure has been shown or the save
// that follows shows it).
int handsetsWithIdOr(const QString &id, int exceptKey) {
    try {
        return handsetsWithId(id, exceptKey);
    } catch (const AppError &) {
        return -1;
    }
}
} // namespace

bool confirmId(const QString &id, int mode, int key, const QString &oldId) {
    if (id.isEmpty() || (mode != 1 && id == oldId))
        return true;
    if (handsetsWithIdOr(id, mode == 1 ? 0 : key) <= 0) // unreadable: the save itself says why
        return true;
    return MsgAsk(kDuplicateIdQuestion, QString(), false) == vbYes;
}

PictureChange planPicture(int key, const QString &oldId, const QString &newId, const QImage &chosen) {
    namespace P = HandsetPictures;
    PictureChange c{PictureChange::None, oldId, newId, chosen, false};
    if (newId.isEmpty())
        return c;
    const std::unique_ptr<PictureStore> store = P::openStore();
    const bool idChanged = !oldId.isEmpty() && oldId != newId;
    const bool bringsOld = idChanged && store->exists(oldId);
    if (chosen.isNull() && !bringsOld)
        return c;
    // Unreadable counts as used: the old picture is not taken from anyone.
    const bool oldStillUsed = idChanged && handsetsWithIdOr(oldId, key) != 0;
    const bool samePicture = idChanged && store->sameFile(oldId, newId);
    // The window showed the old ID's picture (or none, for a new handset), never this one.
    bool replace = true;
    if ((oldId.isEmpty() || idChanged) && store->exists(newId) && !samePicture) {
        QString question = QStringLiteral("ID [%1]의 사진이 이미 있습니다.\r\n이 핸드폰의 사진으로 바꾸시겠습니까?\r\n"
                                          "(아니요: ID [%1]의 사진을 그대로 둡니다.")
                               .arg(newId);
        if (bringsOld && !oldStillUsed)
            question += QStringLiteral("\r\n이 핸드폰의 지금 사진은 ID [%1]의 사진으로 남습니다.").arg(oldId);
        replace = MsgAsk(question + QLatin1Char(')'), QString(), false) == vbYes;
    }
    if (replace)
        c.action = !chosen.isNull() ? PictureChange::Store : oldStillUsed ? PictureChange::Copy : PictureChange::Move;
    // An old ID no handset has any more keeps no picture, which a later handset would take; but a
    // picture the user chose to leave where it was is its only copy and stays.
    c.dropOld = replace && idChanged && !oldStillUsed && !samePicture;
    return c;
}

namespace {
bool applyPicture(const PictureChange &c, PictureStore &store, QString *why, QString *which) {
    *which = c.newId;
    bool ok = true;
    switch (c.action) {
    case PictureChange::None: break;
    case PictureChange::Store: ok = store.store(c.newId, c.chosen, why); break;
    case PictureChange::Copy: ok = store.transfer(c.oldId, c.newId, true, true, why); break;
    case PictureChange::Move: ok = store.transfer(c.oldId, c.newId, true, false, why); break;
    }
    if (!ok)
        return false; // the old picture stays rather than none at all
    *which = c.oldId;
    return !c.dropOld || store.remove(c.oldId, why);
}
} // namespace

Removal deleteHandset(int code, const QString &id, const HandsetSql::ColumnTexts &shown) {
    const std::unique_ptr<PictureStore> store = HandsetPictures::openStore();
    int deleted = 0;
    QString pictureFailure;
    const auto run = [&] {
        deleted = ExecuteSQL(HandsetSql::deleteStatement(code, shown), false, true);
        QString why;
        if (store->transactional() && deleted > 0 && !id.isEmpty() && handsetsWithId(id, 0) == 0 &&
            !store->remove(id, &why)) {
            pictureFailure = QStringLiteral("사진을 지우지 못했습니다 (ID [%1]).\r\n").arg(id) + why;
            throw AppError(errFail, pictureFailure);
        }
        return deleted > 0;
    };
    try {
        store->transactional() ? InTransaction(run) : run();
    } catch (const AppError &) {
        if (!pictureFailure.isEmpty()) // the engine's own refusals have been shown
            MsgWarn(pictureFailure);
        return Removal::Failed;
    }
    if (deleted > 0) {
        if (!store->transactional())
            dropPictureIfUnused(id);
        return Removal::Deleted;
    }
    if (!recordExists(code))
        return Removal::DeletedElsewhere;
    return shown.isEmpty() ? Removal::Failed : Removal::ChangedElsewhere;
}

void dropPictureIfUnused(const QString &id) {
    QString why;
    if (!id.isEmpty() && handsetsWithIdOr(id, 0) == 0 && !HandsetPictures::remove(id, &why))
        MsgWarn(QStringLiteral("사진을 지우지 못했습니다.\r\n") + QDir::toNativeSeparators(HandsetPictures::file(id)) +
                QStringLiteral("\r\n") + why);
}

} // namespace HandsetSave
