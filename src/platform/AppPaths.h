#pragma once
#include <QString>
#include <QStringList>

// Where the program keeps its data (the application folder with DBS/, FormIni/, IMG/, Image/,
// log/, ExpExcel/) and its settings, and where the companion programs live.
namespace AppPaths {

// Resolves the folders once from the command line and the environment:
// --app-folder DIR / MOBILESHOP_APP_FOLDER, --settings-root DIR / MOBILESHOP_SETTINGS_ROOT.
// Both are exported to the environment so that companion programs use the same store.
void initFromArguments(const QStringList &arguments);

QString appFolder();
// Whether the application folder was named (option or environment) rather than found: a
// named folder that does not exist is a mistake to report, not a place to make.
bool appFolderChosen();
QString settingsRoot();
void setAppFolder(const QString &dir);
void setSettingsRoot(const QString &dir);

// appFolder() + "/" + relative, with either separator accepted in relative.
QString inApp(const QString &relative);

// File name of the running program without folder or extension.
QString programName();

// The folders a companion program is looked for in, in order: the application folder, the
// running program's folder, then MOBILESHOP_TOOLS_DIR when it is set, else the folder the
// companions are installed in beside the program (../libexec/mobileshop from bin/) and, for
// a program started from its build tree, the build's tools/ folder. In MOBILESHOP_TOOLS_DIR
// and tools/ each program may also sit in a folder of its own.
QStringList toolFolders();

// A file the package installs below share/ (icons, Qt's catalogues), found from the running
// program's folder whether that is bin/ or the companions' libexec/mobileshop/; empty when
// it is not there (a program started from its build tree).
QString installedData(const QString &relative);

// Full path of a companion program, the first found in toolFolders(). Returns the
// application-folder path when it is found nowhere.
QString toolPath(const QString &baseName);

} // namespace AppPaths
