#include "QtKorean.h"
#include "AppPaths.h"
#include <QCoreApplication>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

bool InstallQtKorean() {
    // Month and day names, weekdays and the calendar's first day follow the shop, not the
    // machine's locale.
    QLocale::setDefault(QLocale(QLocale::Korean, QLocale::SouthKorea));
    auto *translator = new QTranslator(QCoreApplication::instance());
    // The package's own copy first: Qt's may not be installed, or be of another Qt.
    const QString own = AppPaths::installedData(QStringLiteral("mobileshop/translations/qtbase_ko.qm"));
    const QStringList folders{own.isEmpty() ? QString() : QFileInfo(own).absolutePath(),
                              QLibraryInfo::path(QLibraryInfo::TranslationsPath),
                              QCoreApplication::applicationDirPath() + QStringLiteral("/translations")};
    for (const QString &folder : folders)
        if (!folder.isEmpty() && translator->load(QStringLiteral("qtbase_ko"), folder))
            return QCoreApplication::installTranslator(translator);
    delete translator;
    return false;
}
