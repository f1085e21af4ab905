#include "HandsetSave.h"
#include "ErrorBox.h"
#include "HandsetSql.h"
#include "Messages.h"
#include "modMDB_Func.h"

using namespace modMDB_Func;

namespace HandsetSave {

namespace {
// Inside the write transaction no other program can take a number, so a number met here
// comes from a path that bypassed the numbering; a few steps past it are plenty.
constexpr int kNumberAttempts = 20;

bool codeExists(const QString &code) {
    return GetValue(QStringLiteral("SELECT COUNT(*) FROM t_mobile WHERE mcode = '%1'").arg(SqlQuote(code))).toInt() > 0;
}

bool isDuplicate(const AppError &e) { return IsDuplicateKey(e, QStringLiteral("mcode")); }

// The number after code, keeping its prefix and width; empty when the digits run out.
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
} // namespace

int missingRequired(const HandsetColumns::Fields &fields, bool autoNumber) {
    for (const HandsetColumns::Column &c : HandsetColumns::all())
        if (c.required && fields[size_t(c.field)].isEmpty() && !(autoNumber && c.field == 0))
            return c.field;
    return -1;
}

Result save(const HandsetColumns::Fields &fields, int mode, bool autoNumber, int code, int codeLength) {
    if (const int missing = missingRequired(fields, autoNumber); missing >= 0) {
        Result r;
        r.status = Result::MissingField;
        r.missingField = missing;
        r.fields = fields;
        return r;
    }
    return mode == 1 ? insert(fields, autoNumber, codeLength) : update(fields, code);
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

Result update(const HandsetColumns::Fields &fields, int code) {
    Result r;
    r.fields = fields;
    r.code = fields[0];
    r.key = code;
    try {
        r.status = ExecuteSQL(HandsetSql::updateStatement(fields, code), true, true) > 0 ? Result::Saved
                                                                                         : Result::NothingChanged;
    } catch (const AppError &e) {
        r.status = isDuplicate(e) ? Result::DuplicateCode : Result::Failed;
        r.errorNumber = e.number;
        r.errorText = e.description;
    }
    return r;
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
    case Result::NothingChanged: MsgInfo(QStringLiteral("수정된 내용이 없거나, 자료저장을 실패하였습니다.")); return;
    }
}

} // namespace HandsetSave
