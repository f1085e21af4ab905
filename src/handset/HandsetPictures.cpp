#include "HandsetPictures.h"
#include "AppPaths.h"
#include "FilePictureStore.h"
#include "ServerPictureStore.h"
#include "modMDB_Func.h"
#include <QDir>

namespace HandsetPictures {

QString folder() { return AppPaths::inApp(QStringLiteral("IMG")); }

QString fileIn(const QString &pictureFolder, const QString &id) { return FilePictureStore::fileIn(pictureFolder, id); }

QString file(const QString &id) { return fileIn(folder(), id); }

std::unique_ptr<PictureStore> openStore() {
    if (modMDB_Func::IsOpen() && modMDB_Func::IsServerDatabase())
        return std::make_unique<ServerPictureStore>(modMDB_Func::connection(), folder());
    return std::make_unique<FilePictureStore>(folder());
}

bool transactional() { return openStore()->transactional(); }

std::function<QImage(const QString &file)> fetcher() {
    if (!modMDB_Func::IsOpen() || !modMDB_Func::IsServerDatabase())
        return {};
    return [pictures = folder()](const QString &file) {
        const QString id = idOfFile(QDir(pictures).relativeFilePath(file));
        return id.isEmpty() ? QImage() : ServerPictureStore(modMDB_Func::connection(), pictures).load(id);
    };
}

bool exists(const QString &id) { return openStore()->exists(id); }

QImage load(const QString &id) { return openStore()->load(id); }

bool store(const QString &id, const QImage &picture, QString *error) { return openStore()->store(id, picture, error); }

bool remove(const QString &id, QString *error) { return openStore()->remove(id, error); }

bool move(const QString &from, const QString &to, bool replace, QString *error) {
    return openStore()->transfer(from, to, replace, false, error);
}

bool copy(const QString &from, const QString &to, bool replace, QString *error) {
    return openStore()->transfer(from, to, replace, true, error);
}

bool sameFile(const QString &a, const QString &b) { return openStore()->sameFile(a, b); }

} // namespace HandsetPictures
