#pragma once
#include <QString>

// Where the program keeps its data (the application folder with DBS/, FormIni/, IMG/, Image/,
// log/, ExpExcel/) and its settings, and where the companion programs live.
namespace AppPaths {

// Resolves the folders once from the command line and the environment:
// --app-folder DIR / MOBILESHOP_APP_FOLDER, --settings-root DIR / MOBILESHOP_SETTINGS_ROOT.
// Both are exported to the environment so that companion programs use the same store.
void initFromArguments(const QStringList &arguments);

QString appFolder();
QString settingsRoot();
void setAppFolder(const QString &dir);
void setSettingsRoot(const QString &dir);

// appFolder() + "/" + relative, with either separator accepted in relative.
QString inApp(const QString &relative);

// File name of the running program without folder or extension.
QString programName();

// Full path of a companion program: looked for in the application folder, beside the
// running program, then in MOBILESHOP_TOOLS_DIR. Returns the application-folder path when
// it is found nowhere, so that the caller's "missing" message names the expected place.
QString toolPath(const QString &baseName);

} // namespace AppPaths
