#include "modNTDrv.h"
#include "AppState.h"
#include "NetDrives.h"
#include "Prompter.h"

namespace modNTDrv {

bool AddNetDrive(const QString &drive, const QString &path, const QString &password, const QString &user) {
    return netDrives().addConnection(drive.left(1) + QLatin1Char(':'), path, password, user, true) == NetDrives::Ok;
}

bool CancelNetDrive(const QString &drive) {
    return netDrives().cancelConnection(drive.left(1) + QLatin1Char(':'), true, false) == NetDrives::Ok;
}

QString ConnectNetDrive(const QString &path, const QString &password, const QString &drive, bool retry) {
    QString d = drive;
    if (d.isEmpty()) {
        for (char letter = 'H'; letter <= 'Z'; ++letter) {
            const QString candidate = QString(QLatin1Char(letter)) + QLatin1Char(':');
            if (!netDrives().rootInUse(candidate)) {
                d = candidate;
                break;
            }
        }
    }
    d = d.left(2);
    // With every letter taken nothing is tried: a retry must never drop a drive in use.
    if (!d.isEmpty() && AddNetDrive(d, path, password))
        return d;
    if (retry && !d.isEmpty()) {
        CancelNetDrive(d);
        if (AddNetDrive(d, path, password))
            return d;
    }
    prompter().message(Prompter::Icon::None, AppState::title(), d + QStringLiteral("드라이브 연결이 실패되었습니다."));
    return {};
}

} // namespace modNTDrv
