#include "AppPaths.h"
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {
QString g_appFolder;
QString g_settingsRoot;

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
    if (app.isEmpty()) {
        // A portable install carries its data beside the program.
        app = QDir(programDir()).exists(QStringLiteral("DBS"))
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

QString toolPath(const QString &baseName) {
    const QString file = baseName + exeSuffix();
    const QString inAppFolder = inApp(file);
    QStringList candidates{inAppFolder, programDir() + QLatin1Char('/') + file};
    const QString toolsDir = qEnvironmentVariable("MOBILESHOP_TOOLS_DIR");
    if (!toolsDir.isEmpty()) {
        // Build trees keep each tool in a folder of its own below tools/.
        candidates << toolsDir + QLatin1Char('/') + file;
        const auto subdirs = QDir(toolsDir).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
        for (const QString &sub : subdirs)
            candidates << toolsDir + QLatin1Char('/') + sub + QLatin1Char('/') + file;
    }
    for (const QString &c : candidates)
        if (QFileInfo(c).isFile())
            return c;
    return inAppFolder;
}

} // namespace AppPaths
