#include "PrintRequest.h"
#include "Settings.h"

QString PrintRequest::settingsApp() const { return appName + QStringLiteral("_PritSetUp"); }

QString PrintRequest::setting(const QString &key, const QString &defaultValue) const {
    return Settings::GetSetting(settingsApp(), section, key, defaultValue);
}

bool PrintRequest::saveSetting(const QString &key, const QString &value) const {
    return Settings::SaveSetting(settingsApp(), section, key, value);
}
