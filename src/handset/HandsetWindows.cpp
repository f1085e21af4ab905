#include "HandsetWindows.h"
#include "AppPaths.h"
#include "DemoCatalogue.h"
#include "DemoWindows.h"
#include "FrmSprRPTCol.h"
#include "ReportColumns.h"
#include "Spread.h"
#include "StartApp.h"
#include "WindowRegistry.h"
#include "fbMobil_Admin.h"
#include "frmMain.h"
#include "modMain.h"
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTextStream>

void registerHandsetWindows() {
    WindowRegistry::add(QStringLiteral("fbMobil_Admin"), [](QWidget *main) -> QWidget * {
        auto *frame = qobject_cast<frmMain *>(main);
        if (!frame)
            return nullptr;
        // One list window at a time: bring the open one forward.
        for (QMdiSubWindow *sub : frame->mdiArea()->subWindowList())
            if (auto *list = qobject_cast<fbMobil_Admin *>(sub->widget()))
                return list;
        return frame->addChild(new fbMobil_Admin);
    });
    modMain::addFreshFolderSeeder([](const QString &dbFile, QString *error) {
        return DemoCatalogue::seed(dbFile, AppPaths::inApp(QStringLiteral("IMG")), error);
    });
}

void registerHandsetDemos() {
    DemoWindows::add(QStringLiteral("rptcol"), QStringLiteral("보고서용 컬럼설정 (핸드폰 관리 목록)"),
                     [](const QStringList &, QTextStream &out) {
                         if (!OpenDatabaseForDemo())
                             return 1;
                         fbMobil_Admin list;
                         list.show();
                         list.QueryList();
                         FrmSprRPTCol chooser(&list);
                         chooser.SetParam(&list, list.spList);
                         chooser.exec();
                         // The choice as the file now holds it, one column a line.
                         std::vector<int> cols;
                         for (int col = 1; col <= list.spList->maxCols(); ++col)
                             if (!list.spList->colHidden(col))
                                 cols.push_back(col);
                         for (const auto &[col, on] : ReportColumns::read(ReportColumns::fileOf(list.objectName()),
                                                                          list.spList->objectName(), cols))
                             out << col << ' ' << list.spList->text(col, 0) << ' ' << (on ? 1 : 0) << Qt::endl;
                         return 0;
                     });
}
