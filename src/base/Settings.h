#pragma once
#include <QString>

// Per-user string settings addressed by application name, section and key; a missing key
// reads as the caller's default. Windows keeps them in the current user's registry;
// elsewhere each application name is one INI file below the settings root, which the
// companion programs share.
namespace Settings {
QString GetSetting(const QString &app, const QString &section, const QString &key, const QString &defaultValue = {});
// False when the store cannot be written (the value is then lost; callers may warn).
bool SaveSetting(const QString &app, const QString &section, const QString &key, const QString &value);
void DeleteSetting(const QString &app, const QString &section, const QString &key);
// The file that holds one application name's settings (not used on Windows).
QString storeFile(const QString &app);
} // namespace Settings
