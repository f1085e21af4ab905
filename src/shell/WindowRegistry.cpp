#include "WindowRegistry.h"
#include <QHash>

namespace WindowRegistry {
namespace {
QHash<QString, Opener> &openers() {
    static QHash<QString, Opener> map;
    return map;
}
} // namespace

void add(const QString &windowName, Opener opener) { openers().insert(windowName.toLower(), std::move(opener)); }

QWidget *open(const QString &windowName, QWidget *mainWindow) {
    const auto it = openers().constFind(windowName.toLower());
    return it == openers().constEnd() || !*it ? nullptr : (*it)(mainWindow);
}

} // namespace WindowRegistry
