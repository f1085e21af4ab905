#pragma once
#include <QString>

// Login passwords of local_user. A password is kept as a salted, slow hash; an account
// without a password keeps an empty text, and a password still kept in clear text from an
// older program is replaced by its hash at its first successful login.
namespace LoginPassword {

// Key derivations of a new hash, and of the stand-in an account without one costs: about
// 0.1 s on a shop PC, slow to guess, quick to log in. A stored hash keeps its own count.
inline constexpr int kIterations = 50000;

// "pbkdf2-sha256$<iterations>$<salt>$<key>" (salt and key Base64); empty for empty.
QString hash(const QString &password, int iterations = kIterations);
bool isHash(const QString &stored);
// Whether password opens an account whose stored text is stored. Takes the time of one
// hash whatever the outcome, so the time does not tell a wrong password from a right one.
// iterations is the cost of that hash where stored is not one.
bool matches(const QString &stored, const QString &password, int iterations = kIterations);

// The login check: the active account (code 1) whose ID equals id in upper case, with
// password. Converts a clear-text password that matched into a hash of iterations. Database
// errors are thrown as AppError.
bool check(const QString &id, const QString &password, int iterations = kIterations);

} // namespace LoginPassword
