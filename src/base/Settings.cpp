#include "Settings.h"
#include "AppPaths.h"
#include "IniFile.h"

#ifdef Q_OS_WIN
#include <QSettings>
namespace {
QString regPath(const QString &app, const QString &section) {
    return QStringLiteral("HKEY_CURRENT_USER\\Software\\VB and VBA Program Settings\\") + app + QLatin1Char('\\') +
           section;
}
} // namespace
#endif

namespace Settings {

QString storeFile(const QString &app) {
    return AppPaths::settingsRoot() + QLatin1Char('/') + app + QStringLiteral(".ini");
}

QString GetSetting(const QString &app, const QString &section, const QString &key, const QString &defaultValue) {
#ifdef Q_OS_WIN
    return QSettings(regPath(app, section), QSettings::NativeFormat).value(key, defaultValue).toString();
#else
    return IniFile::read(storeFile(app), section, key, defaultValue);
#endif
}

bool SaveSetting(const QString &app, const QString &section, const QString &key, const QString &value) {
#ifdef Q_OS_WIN
    QSettings s(regPath(app, section), QSettings::NativeFormat);
    s.setValue(key, value);
    s.sync();
    return s.status() == QSettings::NoError;
#else
    return IniFile::write(storeFile(app), section, key, value);
#endif
}

void DeleteSetting(const QString &app, const QString &section, const QString &key) {
#ifdef Q_OS_WIN
    QSettings(regPath(app, section), QSettings::NativeFormat).remove(key);
#else
    IniFile::update(storeFile(app), [&](IniFile &ini) {
        ini.removeKey(section, key);
        return true;
    });
#endif
}

} // namespace Settings
