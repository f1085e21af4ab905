// screenshots OUTDIR: renders the login and main windows of a fresh application folder.
#include "AppPaths.h"
#include "AppState.h"
#include "FrmImageZoom.h"
#include "FrmLogin.h"
#include "FrmSPPrint_HeaderFooter.h"
#include "FrmSPPrint_Preview.h"
#include "HandsetWindows.h"
#include "QtKorean.h"
#include "Spread.h"
#include "StartApp.h"
#include "cFpPreview.h"
#include "fbMobil_Admin.h"
#include "fbMobil_Save.h"
#include "frmMain.h"
#include "modMain.h"
#include "modSpreadPrint.h"
#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    InstallQtKorean();
    const QString out = app.arguments().value(1, QStringLiteral("docs"));
    registerHandsetWindows();
    QTemporaryDir temp;
    AppPaths::setAppFolder(temp.path() + QStringLiteral("/app"));
    AppPaths::setSettingsRoot(temp.path() + QStringLiteral("/settings"));
    QString error;
    if (!modMain::PrepareAppFolder(&error) || !modMain::InitApp()) {
        QTextStream(stderr) << "cannot prepare: " << error << Qt::endl;
        return 1;
    }
    QDir().mkpath(out);
    FrmLogin login;
    login.show();
    QApplication::processEvents();
    login.grab().save(out + QStringLiteral("/login.png"));

    gLoginID = QStringLiteral("ADMIN");
    modMain::GetLoginUserInfo(gLoginID);
    auto *main = new frmMain;
    main->resize(1100, 760);
    main->show();
    main->mnuBase_Mobil_Click();
    for (int i = 0; i < 5; ++i)
        QApplication::processEvents();
    main->grab().save(out + QStringLiteral("/main.png"));
    if (auto *list = main->findChild<fbMobil_Admin *>()) {
        list->QueryList();
        list->spList->setActiveCell(1, 3);
        for (int i = 0; i < 5; ++i)
            QApplication::processEvents();
        main->grab().save(out + QStringLiteral("/handset-list.png"));
        fbMobil_Save *entry = list->entryWindow();
        entry->Form_Load();
        entry->SetFormMode(2, list, list->GetSelectedCode(-2));
        entry->show();
        QApplication::processEvents();
        entry->grab().save(out + QStringLiteral("/handset-entry.png"));
        entry->hide();
        FrmImageZoom zoom;
        zoom.setPicture(list->spList->cellPicture(10, 3));
        zoom.resize(300, 400);
        zoom.show();
        QApplication::processEvents();
        zoom.grab().save(out + QStringLiteral("/image-viewer.png"));
        zoom.hide();

        // The print preview (F7) at its first zoom, then four pages at once.
        QTimer::singleShot(0, [&] {
            auto *w = qobject_cast<FrmSPPrint_Preview *>(QApplication::activeModalWidget());
            if (!w)
                return;
            w->resize(1000, 760);
            for (int i = 0; i < 5; ++i)
                QApplication::processEvents();
            w->grab().save(out + QStringLiteral("/print-preview-page-height.png"));
            modSpreadPrint::SetPreviewZoom(*w->fpSpreadPreview1, 12);
            w->Form_Activate();
            for (int i = 0; i < 5; ++i)
                QApplication::processEvents();
            w->grab().save(out + QStringLiteral("/print-preview-four-pages.png"));
            w->ButtonClick(FrmSPPrint_Preview::ColClose);
        });
        list->PrintList();

        // The header/footer editor over the header the list's job printed.
        FrmSPPrint_HeaderFooter editor(list->printJob().request());
        editor.show();
        for (int i = 0; i < 5; ++i)
            QApplication::processEvents();
        editor.grab().save(out + QStringLiteral("/headerfooter.png"));
        editor.hide();
    }
    main->close();
    delete main;
    return 0;
}
