#include "AppPaths.h"
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {
QString g_appFolder;
QString g_settingsRoot;
bool g_appFolderChosen = false;

QString optionValue(const QStringList &args, const QString &name) {
    const int i = args.indexOf(name);
    return (i >= 0 && i + 1 < args.size()) ? args.at(i + 1) : QString();
}

QString programDir() {
    return QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : QDir::currentPath();
}

QString exeSuffix() {
#ifdef Q_OS_WIN
    return QStringLiteral(".exe");
#else
    return {};
#endif
}
} // namespace

namespace AppPaths {

void initFromArguments(const QStringList &args) {
    QString app = optionValue(args, QStringLiteral("--app-folder"));
    if (app.isEmpty())
        app = qEnvironmentVariable("MOBILESHOP_APP_FOLDER");
    g_appFolderChosen = !app.isEmpty();
    if (app.isEmpty()) {
        // A portable install carries its data beside the program.
        app =
            QDir(programDir()).exists(QStringLiteral("DBS"))
                ? programDir()
                : QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/MobileShop");
    }
    QString root = optionValue(args, QStringLiteral("--settings-root"));
    if (root.isEmpty())
        root = qEnvironmentVariable("MOBILESHOP_SETTINGS_ROOT");
    if (root.isEmpty())
        root = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QStringLiteral("/MobileShop");
    setAppFolder(app);
    setSettingsRoot(root);
}

void setAppFolder(const QString &dir) {
    g_appFolder = QDir::cleanPath(QDir(dir).absolutePath());
    qputenv("MOBILESHOP_APP_FOLDER", g_appFolder.toUtf8());
}

void setSettingsRoot(const QString &dir) {
    g_settingsRoot = QDir::cleanPath(QDir(dir).absolutePath());
    qputenv("MOBILESHOP_SETTINGS_ROOT", g_settingsRoot.toUtf8());
}

bool appFolderChosen() { return g_appFolderChosen; }

QString appFolder() {
    if (g_appFolder.isEmpty())
        initFromArguments({});
    return g_appFolder;
}

QString settingsRoot() {
    if (g_settingsRoot.isEmpty())
        initFromArguments({});
    return g_settingsRoot;
}

QString inApp(const QString &relative) {
    QString rel = relative;
    rel.replace(QLatin1Char('\\'), QLatin1Char('/'));
    while (rel.startsWith(QLatin1Char('/')))
        rel.remove(0, 1);
    return appFolder() + QLatin1Char('/') + rel;
}

QString programName() {
    return QCoreApplication::instance() ? QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName()
                                        : QStringLiteral("mobileshop");
}

QStringList toolFolders() {
    QStringList folders{appFolder(), programDir()};
    const QString toolsDir = qEnvironmentVariable("MOBILESHOP_TOOLS_DIR");
    if (!toolsDir.isEmpty()) {
        folders << QDir::cleanPath(toolsDir);
        return folders;
    }
    folders << QDir::cleanPath(programDir() + QStringLiteral("/" MOBILESHOP_TOOLS_FROM_BIN));
    // Only a program inside a build tree (the folder that holds CMakeCache.txt, a few levels
    // up) looks there; the build's path is not compiled in, so an installed one never does.
    QDir dir(QFileInfo(programDir()).canonicalFilePath());
    for (int level = 0; level < 4 && dir.cdUp(); ++level)
        if (dir.exists(QStringLiteral("CMakeCache.txt"))) {
            folders << dir.path() + QStringLiteral("/tools");
            break;
        }
    return folders;
}

QString installedData(const QString &relative) {
    for (const char *up : {MOBILESHOP_DATA_FROM_BIN, MOBILESHOP_DATA_FROM_TOOLS}) {
        const QString file =
            QDir::cleanPath(programDir() + QLatin1Char('/') + QLatin1String(up) + QLatin1Char('/') + relative);
        if (QFileInfo(file).isFile())
            return file;
    }
    return {};
}

QString toolPath(const QString &baseName) {
    const QString file = baseName + exeSuffix();
    const QStringList folders = toolFolders();
    QStringList candidates;
    for (qsizetype i = 0; i < folders.size(); ++i) {
        candidates << folders.at(i) + QLatin1Char('/') + file;
        // The first two are never a tools folder; build trees keep each tool in a folder of its own.
        if (i >= 2)
            for (const QString &sub : QDir(folders.at(i)).entryList(QDir::Dirs | QDir::NoDotAndDotDot))
                candidates << folders.at(i) + QLatin1Char('/') + sub + QLatin1Char('/') + file;
    }
    for (const QString &c : candidates)
        if (QFileInfo(c).isFile())
            return c;
    return candidates.first();
}

} // namespace AppPaths
