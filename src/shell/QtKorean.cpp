#include "QtKorean.h"
#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

bool InstallQtKorean() {
    auto *translator = new QTranslator(QCoreApplication::instance());
    const QStringList folders{QLibraryInfo::path(QLibraryInfo::TranslationsPath),
                              QCoreApplication::applicationDirPath() + QStringLiteral("/translations")};
    for (const QString &folder : folders)
        if (translator->load(QStringLiteral("qtbase_ko"), folder))
            return QCoreApplication::installTranslator(translator);
    delete translator;
    return false;
}
