#pragma once
#include "LoginPassword.h"
#include <QString>

// The login's rule: three refused attempts end the program. An attempt the database could
// not answer (AppError, thrown on) is not the user's fault and does not count.
class LoginAttempts {
public:
    static constexpr int kLimit = 3;
    enum class Outcome { Succeeded, Refused, LastRefused };

    Outcome attempt(const QString &id, const QString &password);
    int refused() const { return m_refused; }
    // The cost of the password hashes the attempts derive (LoginPassword::kIterations).
    void setHashIterations(int iterations) { m_hashIterations = iterations; }

    // Whether the account id (in upper case) has no password yet: the first login is made
    // with an empty one.
    static bool hasEmptyPassword(const QString &id);

private:
    int m_refused = 0;
    int m_hashIterations = LoginPassword::kIterations;
};
