#include "LoginPassword.h"
#include "modMDB_Func.h"
#include <QCryptographicHash>
#include <QPasswordDigestor>
#include <QRandomGenerator>
#include <QStringList>

using namespace modMDB_Func;

namespace LoginPassword {

namespace {
const QString kScheme = QStringLiteral("pbkdf2-sha256");
constexpr int kSaltBytes = 16;
constexpr int kKeyBytes = 32;

QByteArray derive(const QString &password, const QByteArray &salt, int iterations) {
    return QPasswordDigestor::deriveKeyPbkdf2(QCryptographicHash::Sha256, password.toUtf8(), salt, iterations,
                                              kKeyBytes);
}

bool sameBytes(const QByteArray &a, const QByteArray &b) {
    if (a.size() != b.size())
        return false;
    unsigned char diff = 0;
    for (qsizetype i = 0; i < a.size(); ++i)
        diff |= static_cast<unsigned char>(a[i] ^ b[i]);
    return diff == 0;
}

struct Parsed {
    int iterations = 0;
    QByteArray salt, key;
};

bool parse(const QString &stored, Parsed *out) {
    const QStringList parts = stored.split(QLatin1Char('$'));
    if (parts.size() != 4 || parts[0] != kScheme)
        return false;
    bool ok = false;
    out->iterations = parts[1].toInt(&ok);
    out->salt = QByteArray::fromBase64(parts[2].toLatin1());
    out->key = QByteArray::fromBase64(parts[3].toLatin1());
    // Bounded so that a tampered row cannot hang the login.
    return ok && out->iterations > 0 && out->iterations <= 10 * kIterations && !out->salt.isEmpty() &&
           out->key.size() == kKeyBytes;
}
} // namespace

QString hash(const QString &password, int iterations) {
    if (password.isEmpty())
        return {};
    QByteArray salt(kSaltBytes, Qt::Uninitialized);
    QRandomGenerator::system()->fillRange(reinterpret_cast<quint32 *>(salt.data()), kSaltBytes / 4);
    return QStringLiteral("%1$%2$%3$%4")
        .arg(kScheme)
        .arg(iterations)
        .arg(QString::fromLatin1(salt.toBase64()), QString::fromLatin1(derive(password, salt, iterations).toBase64()));
}

bool isHash(const QString &stored) {
    Parsed p;
    return parse(stored, &p);
}

bool matches(const QString &stored, const QString &password, int iterations) {
    Parsed p;
    if (parse(stored, &p))
        return sameBytes(derive(password, p.salt, p.iterations), p.key);
    // Empty and clear-text accounts cost a hash too, and compare without an early exit.
    static const QByteArray dummySalt = QByteArrayLiteral("mobileshop-login");
    derive(password, dummySalt, iterations);
    return sameBytes(stored.toUtf8(), password.toUtf8());
}

bool check(const QString &id, const QString &password, int iterations) {
    // The ID is the key without regard to case, so at most one account answers. An account
    // set inactive (staff who left) answers like an unknown one.
    const BoundSql where(QStringLiteral(" WHERE UPPER(loginid) = ? AND code = 1"), {id.toUpper()});
    const auto withWhere = [&](const QString &head, const QVariantList &before = {}) {
        return BoundSql(head + where.sql, before + where.values);
    };
    const bool known = GetValue(withWhere(QStringLiteral("SELECT COUNT(*) FROM local_user"))).toInt() > 0;
    const QString stored =
        known ? GetValue(withWhere(QStringLiteral("SELECT loginpwd FROM local_user"))).toString() : QString();
    // An unknown ID is compared too, so that it takes as long as a known one.
    const bool ok = matches(stored, password, iterations) && known;
    if (ok && !stored.isEmpty() && !isHash(stored))
        ExecuteSQL(withWhere(QStringLiteral("UPDATE local_user SET loginpwd = ?"), {hash(password, iterations)}), true);
    return ok;
}

} // namespace LoginPassword
