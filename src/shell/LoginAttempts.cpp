#include "LoginAttempts.h"
#include "LoginPassword.h"
#include "modMDB_Func.h"

LoginAttempts::Outcome LoginAttempts::attempt(const QString &id, const QString &password) {
    if (LoginPassword::check(id, password, m_hashIterations))
        return Outcome::Succeeded;
    return ++m_refused >= kLimit ? Outcome::LastRefused : Outcome::Refused;
}

bool LoginAttempts::hasEmptyPassword(const QString &id) {
    return modMDB_Func::GetValue({QStringLiteral("SELECT loginpwd FROM local_user WHERE loginid = ?"), {id.toUpper()}})
        .toString()
        .isEmpty();
}
