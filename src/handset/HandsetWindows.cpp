#include "HandsetWindows.h"
#include "AppPaths.h"
#include "DemoCatalogue.h"
#include "WindowRegistry.h"
#include "fbMobil_Admin.h"
#include "frmMain.h"
#include "modMain.h"
#include <QMdiArea>
#include <QMdiSubWindow>

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
