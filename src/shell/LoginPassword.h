#pragma once
#include <QString>

// Login passwords of local_user. A password is kept as a salted, slow hash; an account
// without a password keeps an empty text, and a password still kept in clear text from an
// older program is replaced by its hash at its first successful login.
namespace LoginPassword {

// "pbkdf2-sha256$<iterations>$<salt>$<key>" (salt and key Base64); empty for empty.
QString hash(const QString &password);
bool isHash(const QString &stored);
// Whether password opens an account whose stored text is stored. Takes the time of one
// hash whatever the outcome, so the time does not tell a wrong password from a right one.
bool matches(const QString &stored, const QString &password);

// The login check: the active account (code 1) whose ID equals id in upper case, with
// password. Converts a clear-text password that matched. Database errors are thrown as AppError.
bool check(const QString &id, const QString &password);

} // namespace LoginPassword
