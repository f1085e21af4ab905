#include "PostcodeWindows.h"
#include "DemoWindows.h"
#include "Messages.h"
#include "PostcodeSample.h"
#include "frmZipcode.h"
#include "modMain.h"
#include <QFileInfo>
#include <QTextStream>

void registerPostcodeWindows() {
    modMain::addFreshFolderSeeder([](const QString &dbFile, QString *error) {
        return PostcodeSample::seed(QFileInfo(dbFile).absolutePath() + QStringLiteral("/dbPost.db"), error);
    });
}

void registerPostcodeDemos() {
    DemoWindows::add(QStringLiteral("postcode"), QStringLiteral("우편번호 검색 [찾을 동 또는 우편번호]"),
                     [](const QStringList &arguments, QTextStream &out) {
                         QString error;
                         if (!modMain::PrepareAppFolder(&error)) {
                             MsgWarn(error);
                             return 1;
                         }
                         frmZipcode lookup;
                         if (lookup.InitForm(arguments.join(QLatin1Char(' '))) == 2)
                             lookup.exec();
                         // Empty when nothing was chosen.
                         out << lookup.Post() << '\t' << lookup.Addr() << Qt::endl;
                         return 0;
                     });
}
