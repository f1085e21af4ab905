// A second program writing the shared settings file: ini_writer settings|file <settings root>
// <prefix> <count> saves keys <prefix>0.. into section "Keys" of Shared.ini, through the
// settings store or straight through IniFile. Exit code 1 when any save reports failure.
#include "AppPaths.h"
#include "IniFile.h"
#include "Settings.h"
#include <QCoreApplication>

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 5)
        return 2;
    AppPaths::setSettingsRoot(args[2]);
    const bool viaSettings = args[1] == QLatin1String("settings");
    const QString &prefix = args[3];
    const int count = args[4].toInt();
    for (int i = 0; i < count; ++i) {
        const QString key = prefix + QString::number(i);
        const QString value = QString::number(i);
        const bool ok =
            viaSettings
                ? Settings::SaveSetting(QStringLiteral("Shared"), QStringLiteral("Keys"), key, value)
                : IniFile::write(Settings::storeFile(QStringLiteral("Shared")), QStringLiteral("Keys"), key, value);
        if (!ok)
            return 1;
    }
    return 0;
}
