#include "QtKorean.h"
#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

bool InstallQtKorean() {
    // Month and day names, weekdays and the calendar's first day follow the shop, not the
    // machine's locale.
    QLocale::setDefault(QLocale(QLocale::Korean, QLocale::SouthKorea));
    auto *translator = new QTranslator(QCoreApplication::instance());
    const QStringList folders{QLibraryInfo::path(QLibraryInfo::TranslationsPath),
                              QCoreApplication::applicationDirPath() + QStringLiteral("/translations")};
    for (const QString &folder : folders)
        if (translator->load(QStringLiteral("qtbase_ko"), folder))
            return QCoreApplication::installTranslator(translator);
    delete translator;
    return false;
}
