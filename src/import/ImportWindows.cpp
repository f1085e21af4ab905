#include "ImportWindows.h"
#include "DemoWindows.h"
#include "FrmHandsetImport.h"
#include "StartApp.h"
#include "WindowRegistry.h"
#include "modFrmCtrl.h"
#include <QTextStream>

void registerImportWindows() {
    // Modal over the window that asks (the handset list, which is refreshed after an import).
    WindowRegistry::add(QStringLiteral("FrmHandsetImport"), [](QWidget *caller) -> QWidget * {
        FrmHandsetImport window(caller);
        ShowModalOver(&window, caller);
        return caller;
    });
}

void registerImportDemos() {
    DemoWindows::add(QStringLiteral("import"), QStringLiteral("핸드폰 자료 가져오기 (현재 목록에, [파일])"),
                     [](const QStringList &arguments, QTextStream &out) {
                         if (!OpenDatabaseForDemo())
                             return 1;
                         FrmHandsetImport window;
                         if (!arguments.isEmpty())
                             window.openFile(arguments.first());
                         window.exec();
                         // What the last import wrote.
                         const ImportWrite::Outcome &done = window.lastImport();
                         out << QStringLiteral("추가 %1 변경 %2").arg(done.added).arg(done.changed) << Qt::endl;
                         return 0;
                     });
}
