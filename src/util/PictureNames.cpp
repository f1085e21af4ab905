#include "PictureNames.h"

namespace PictureNames {

namespace {
const QString kSuffix = QStringLiteral(".bmp");

bool refusedChar(QChar c) {
    const char16_t u = c.unicode();
    return u < 0x20 || u == 0x7F || QStringView(u"/\\<>:\"|?*").contains(c);
}

bool trailingDotOrBlank(QChar c) { return c == QLatin1Char('.') || c == QLatin1Char(' '); }

// Windows' device names, which are no file whatever their extension.
bool reservedName(const QString &id) {
    QString base = id.left(id.indexOf(QLatin1Char('.')));
    while (base.endsWith(QLatin1Char(' ')))
        base.chop(1);
    base = base.toUpper();
    for (const char *name : {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"})
        if (base == QLatin1String(name))
            return true;
    if (base.size() != 4 || !(base.startsWith(QLatin1String("COM")) || base.startsWith(QLatin1String("LPT"))))
        return false;
    const QChar d = base[3];
    return (d >= QLatin1Char('0') && d <= QLatin1Char('9')) || d == QChar(0xB9) || d == QChar(0xB2) || d == QChar(0xB3);
}

void escapeInto(QString &out, QChar c) {
    for (const char byte : QString(c).toUtf8())
        out += QStringLiteral("%%1").arg(uchar(byte), 2, 16, QLatin1Char('0')).toUpper();
}

QString escaped(const QString &id) {
    qsizetype keep = id.size(); // the trailing dots and blanks are escaped
    while (keep > 0 && trailingDotOrBlank(id[keep - 1]))
        --keep;
    const bool reserved = reservedName(id);
    QString out;
    for (qsizetype i = 0; i < id.size(); ++i) {
        const QChar c = id[i];
        if (refusedChar(c) || c == QLatin1Char('%') || i >= keep || (i == 0 && (reserved || c == QLatin1Char('.'))))
            escapeInto(out, c);
        else
            out += c;
    }
    return out;
}

// %XX back to the bytes they stand for; empty for a malformed text.
QString unescaped(const QString &text, bool *ok) {
    QByteArray bytes;
    const QByteArray utf8 = text.toUtf8();
    *ok = true;
    for (qsizetype i = 0; i < utf8.size(); ++i) {
        if (utf8[i] != '%') {
            bytes += utf8[i];
            continue;
        }
        bool hex = false;
        const int v = i + 2 < utf8.size() ? utf8.mid(i + 1, 2).toInt(&hex, 16) : 0;
        if (!hex) {
            *ok = false;
            return {};
        }
        bytes += char(v);
        i += 2;
    }
    return QString::fromUtf8(bytes);
}

} // namespace

bool isSafeId(const QString &id) {
    if (id.isEmpty() || trailingDotOrBlank(id.back()) || reservedName(id))
        return false;
    for (const QChar c : id)
        if (refusedChar(c))
            return false;
    return true;
}

QString fileName(const QString &id) {
    if (id.isEmpty())
        return {};
    if (isSafeId(id))
        return id + kSuffix;
    return QLatin1String(kEscapedFolder) + QLatin1Char('/') + escaped(id) + kSuffix;
}

QString idOfFile(const QString &relative) {
    if (!relative.endsWith(kSuffix))
        return {};
    const QString escapedPrefix = QLatin1String(kEscapedFolder) + QLatin1Char('/');
    QString id = relative.chopped(kSuffix.size());
    if (relative.startsWith(escapedPrefix)) {
        bool ok = false;
        id = unescaped(id.mid(escapedPrefix.size()), &ok);
        if (!ok)
            return {};
    }
    // Only the name fileName gives for it: anything else is no handset's picture.
    return !id.isEmpty() && fileName(id) == relative ? id : QString();
}

} // namespace PictureNames
