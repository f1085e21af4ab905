#include "FilePictureStore.h"
#include "PictureNames.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <filesystem>

namespace {
bool fail(QString *error, const QString &why) {
    if (error)
        *error = why;
    return false;
}

bool writeFile(const QString &to, const QByteArray &bytes, QString *error) {
    QDir().mkpath(QFileInfo(to).absolutePath());
    QSaveFile out(to);
    if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size() || !out.commit())
        return fail(error, out.errorString());
    return true;
}
} // namespace

QString FilePictureStore::fileIn(const QString &folder, const QString &id) {
    const QString name = PictureNames::fileName(id);
    return name.isEmpty() ? QString() : folder + QLatin1Char('/') + name;
}

bool FilePictureStore::exists(const QString &id) {
    const QString f = file(id);
    return !f.isEmpty() && QFileInfo(f).isFile();
}

QImage FilePictureStore::load(const QString &id) { return exists(id) ? QImage(file(id)) : QImage(); }

QByteArray FilePictureStore::read(const QString &id) const {
    QFile in(file(id));
    return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
}

bool FilePictureStore::write(const QString &id, const QByteArray &bytes, QString *error) const {
    const QString target = file(id);
    if (target.isEmpty())
        return fail(error, QStringLiteral("ID가 없는 핸드폰의 사진은 저장할 수 없습니다."));
    return writeFile(target, bytes, error);
}

bool FilePictureStore::store(const QString &id, const QImage &picture, QString *error) {
    const QString target = file(id);
    if (target.isEmpty())
        return fail(error, QStringLiteral("ID가 없는 핸드폰의 사진은 저장할 수 없습니다."));
    QDir().mkpath(QFileInfo(target).absolutePath());
    QSaveFile out(target);
    if (!out.open(QIODevice::WriteOnly) || !picture.save(&out, "BMP") || !out.commit())
        return fail(error, out.errorString());
    return true;
}

bool FilePictureStore::remove(const QString &id, QString *error) {
    const QString target = file(id);
    if (target.isEmpty() || !QFileInfo::exists(target))
        return true;
    QFile f(target);
    return f.remove() || fail(error, f.errorString());
}

bool FilePictureStore::transfer(const QString &from, const QString &to, bool replace, bool keepSource, QString *error) {
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
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        return fail(error, in.errorString());
    const QByteArray bytes = in.readAll();
    if (in.error() != QFileDevice::NoError)
        return fail(error, in.errorString());
    if (!writeFile(target, bytes, error))
        return false;
    if (!keepSource && !QFile::remove(source))
        return fail(error, QStringLiteral("이전 사진을 지우지 못했습니다."));
    return true;
}

bool FilePictureStore::sameFile(const QString &a, const QString &b) {
    if (a.isEmpty() || b.isEmpty())
        return false;
    const QString fa = PictureNames::fileName(a), fb = PictureNames::fileName(b);
    if (fa == fb)
        return true;
    if (fa.compare(fb, Qt::CaseInsensitive) != 0)
        return false;
    std::error_code ec;
    return std::filesystem::equivalent(file(a).toStdU16String(), file(b).toStdU16String(), ec) && !ec;
}
