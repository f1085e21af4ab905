#include "AppIdentity.h"
#include "AppPaths.h"
#include <QGuiApplication>
#include <QIcon>

void InstallAppIdentity() {
    QGuiApplication::setDesktopFileName(QStringLiteral("mobileshop"));
    QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
    // The installed icon is the one the desktop entry shows; a build tree has only its copy.
    QString icon = AppPaths::installedData(QStringLiteral("icons/hicolor/scalable/apps/mobileshop.svg"));
    if (icon.isEmpty())
        icon = QStringLiteral(":/icons/mobileshop.svg");
    QGuiApplication::setWindowIcon(QIcon(icon));
}
