// screenshots OUTDIR: renders the login and main windows of a fresh application folder.
#include "AppPaths.h"
#include "AppState.h"
#include "FrmLogin.h"
#include "StartApp.h"
#include "frmMain.h"
#include "modMain.h"
#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    const QString out = app.arguments().value(1, QStringLiteral("docs"));
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
    wireMainWindow(main);
    main->resize(1100, 760);
    main->show();
    main->mnuBase_Mobil_Click();
    for (int i = 0; i < 5; ++i)
        QApplication::processEvents();
    main->grab().save(out + QStringLiteral("/main.png"));
    main->backupOnClose = [] { return true; };
    main->close();
    delete main;
    return 0;
}
