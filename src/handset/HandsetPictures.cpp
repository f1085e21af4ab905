#include "HandsetPictures.h"
#include "AppPaths.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <filesystem>

namespace HandsetPictures {

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

bool fail(QString *error, const QString &why) {
    if (error)
        *error = why;
    return false;
}

// The bytes of one file written as another's, replacing it at once.
bool copyFile(const QString &from, const QString &to, QString *error) {
    QFile in(from);
    if (!in.open(QIODevice::ReadOnly))
        return fail(error, in.errorString());
    const QByteArray bytes = in.readAll();
    if (in.error() != QFileDevice::NoError)
        return fail(error, in.errorString());
    QDir().mkpath(QFileInfo(to).absolutePath());
    QSaveFile out(to);
    if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size() || !out.commit())
        return fail(error, out.errorString());
    return true;
}

bool transfer(const QString &from, const QString &to, bool replace, bool keepSource, QString *error) {
    const QString source = file(from), target = file(to);
    if (source.isEmpty() || target.isEmpty() || !QFileInfo(source).isFile())
        return fail(error, QStringLiteral("옮길 사진이 없습니다."));
    if (sameFile(from, to)) {
        // Only the letter case differs where the file system ignores it: the name's case follows.
        if (keepSource || source == target)
            return true;
        return QFile::rename(source, target) || fail(error, QStringLiteral("사진의 이름을 바꾸지 못했습니다."));
    }
    if (QFileInfo::exists(target) && !replace)
        return fail(error, QStringLiteral("ID의 사진이 이미 있습니다."));
    if (!copyFile(source, target, error))
        return false;
    if (!keepSource && !QFile::remove(source))
        return fail(error, QStringLiteral("이전 사진을 지우지 못했습니다."));
    return true;
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

QString folder() { return AppPaths::inApp(QStringLiteral("IMG")); }

QString fileIn(const QString &pictureFolder, const QString &id) {
    const QString name = fileName(id);
    return name.isEmpty() ? QString() : pictureFolder + QLatin1Char('/') + name;
}

QString file(const QString &id) { return fileIn(folder(), id); }

bool exists(const QString &id) {
    const QString f = file(id);
    return !f.isEmpty() && QFileInfo(f).isFile();
}

QImage load(const QString &id) { return exists(id) ? QImage(file(id)) : QImage(); }

bool store(const QString &id, const QImage &picture, QString *error) {
    const QString target = file(id);
    if (target.isEmpty())
        return fail(error, QStringLiteral("ID가 없는 핸드폰의 사진은 저장할 수 없습니다."));
    QDir().mkpath(QFileInfo(target).absolutePath());
    QSaveFile out(target);
    if (!out.open(QIODevice::WriteOnly) || !picture.save(&out, "BMP") || !out.commit())
        return fail(error, out.errorString());
    return true;
}

bool remove(const QString &id, QString *error) {
    const QString target = file(id);
    if (target.isEmpty() || !QFileInfo::exists(target))
        return true;
    QFile f(target);
    return f.remove() || fail(error, f.errorString());
}

bool move(const QString &from, const QString &to, bool replace, QString *error) {
    return transfer(from, to, replace, false, error);
}

bool copy(const QString &from, const QString &to, bool replace, QString *error) {
    return transfer(from, to, replace, true, error);
}

bool sameFile(const QString &a, const QString &b) {
    if (a.isEmpty() || b.isEmpty())
        return false;
    if (fileName(a) == fileName(b))
        return true;
    if (fileName(a).compare(fileName(b), Qt::CaseInsensitive) != 0)
        return false;
    std::error_code ec;
    return std::filesystem::equivalent(file(a).toStdU16String(), file(b).toStdU16String(), ec) && !ec;
}

} // namespace HandsetPictures
