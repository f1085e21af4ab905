#include "modMain.h"
#include "AppPaths.h"
#include "AppState.h"
#include "Backup.h"
#include "Companions.h"
#include "DatabaseCheck.h"
#include "ErrorBox.h"
#include "Messages.h"
#include "NetDrives.h"
#include "Prompter.h"
#include "Schema.h"
#include "ServerConnection.h"
#include "Settings.h"
#include "Shell.h"
#include "WindowRegistry.h"
#include "modMDB_Func.h"
#include "modNTDrv.h"
#include <QDir>
#include <QFileInfo>
#include <QLinearGradient>
#include <QLockFile>
#include <QPainter>
#include <vector>

using namespace modMDB_Func;

namespace modMain {

namespace {
const QString kConfig = QStringLiteral("Config");
const QString kEnv = QStringLiteral("환경설정");

QString setting(const QString &section, const QString &key, const QString &def = {}) {
    return Settings::GetSetting(AppState::title(), section, key, def);
}

// Settings written during start-up: a store that cannot be written is reported, and
// start-up goes on.
void store(const QString &section, const QString &key, const QString &value) {
    if (!Settings::SaveSetting(AppState::title(), section, key, value))
        ErrorBox::report(75, QStringLiteral("경로/파일 액세스 오류: ") + Settings::storeFile(AppState::title()),
                         QStringLiteral("InitApp"), QStringLiteral("Module modMain"));
}

std::vector<std::function<bool(const QString &, QString *)>> g_seeders;
QString g_folderToRecover; // set by InitApp when the local database folder is gone too

QString defaultDbFolder() { return AppPaths::inApp(QStringLiteral("DBS")); }

// A quiet logo for the main window's background, drawn rather than shipped.
void writeDefaultLogo(const QString &file) {
    QImage logo(240, 120, QImage::Format_RGB32);
    logo.fill(QColor(241, 241, 241));
    QPainter p(&logo);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QColor(214, 220, 228));
    QFont f = p.font();
    f.setPointSize(18);
    f.setBold(true);
    p.setFont(f);
    p.drawText(logo.rect(), Qt::AlignCenter, AppState::title());
    p.end();
    logo.save(file, "JPG", 92);
}

// The login window's picture: the program's name over a soft gradient.
void writeLoginBackground(const QString &file) {
    QImage bg(420, 230, QImage::Format_RGB32);
    QPainter p(&bg);
    QLinearGradient g(0, 0, 0, bg.height());
    g.setColorAt(0, QColor(32, 86, 150));
    g.setColorAt(0.38, QColor(204, 226, 244));
    g.setColorAt(1, QColor(246, 248, 252));
    p.fillRect(bg.rect(), g);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setPen(Qt::white);
    QFont f = p.font();
    f.setPointSize(20);
    f.setBold(true);
    p.setFont(f);
    p.drawText(QRect(0, 14, bg.width(), 48), Qt::AlignCenter, AppState::title());
    p.end();
    bg.save(file, "JPG", 92);
}
} // namespace

QString mainDbFile(const QString &folder) { return folder + QLatin1Char('/') + Schema::kMainFile; }

namespace {
// Where "this computer" keeps the database: drive C: where there are drives, else its folder.
QString thisComputer() {
#ifdef Q_OS_WIN
    return QStringLiteral("현재 컴퓨터[C:]");
#else
    return QStringLiteral("이 컴퓨터의 폴더[%1]").arg(QDir::toNativeSeparators(defaultDbFolder()));
#endif
}
} // namespace

QString shownDbFile() {
    if (IsServerDatabase())
        return gDBFile;
    // Stored folders such as "H:\DBS" meet names joined with '/'.
    return QDir::toNativeSeparators(QString(gDBFile).replace(QLatin1Char('\\'), QLatin1Char('/')));
}

std::unique_ptr<QLockFile> AcquireSingleInstance(QString *failure) {
    const QString root = AppPaths::settingsRoot();
    if (!QDir().mkpath(root)) {
        *failure = QStringLiteral("설정 폴더를 만들 수 없어 프로그램을 시작할 수 없습니다.\r\n"
                                  "디스크 공간과 폴더의 쓰기 권한을 확인하세요.\r\n") +
                   QDir::toNativeSeparators(root);
        return nullptr;
    }
    // The backup program waits on the same lock until this program has ended.
    auto lock = std::make_unique<QLockFile>(Backup::programLockFile());
    lock->setStaleLockTime(0); // only a dead owner makes the lock stale
    if (lock->tryLock(0))
        return lock;
    if (lock->error() == QLockFile::LockFailedError)
        *failure = kAlreadyRunning;
    else
        *failure = QStringLiteral("실행 확인용 잠금 파일을 만들 수 없어 프로그램을 시작할 수 없습니다.\r\n"
                                  "디스크 공간과 폴더의 쓰기 권한을 확인하세요.\r\n") +
                   QDir::toNativeSeparators(Backup::programLockFile());
    return nullptr;
}

bool HasRunBefore() {
    return !setting(kConfig, QStringLiteral("DB경로")).isEmpty() ||
           !setting(kConfig, QStringLiteral("AppPath")).isEmpty();
}

bool PrepareAppFolder(QString *error) {
    // Only the very first run of this settings root seeds: later, a database folder that is
    // gone (a share not mounted, a folder moved) goes to the path question, so that nobody
    // types into a stand-in catalogue and the shop's pictures stay as they are.
    if (HasRunBefore() || QDir(defaultDbFolder()).exists())
        return true;
    for (const char *sub : {"FormIni", "IMG", "Image", "log", "ExpExcel"})
        QDir().mkpath(AppPaths::inApp(QString::fromLatin1(sub)));
    for (const auto &[name, draw] :
         {std::pair{"Image/mainbg.jpg", &writeDefaultLogo}, std::pair{"Image/loginbg.jpg", &writeLoginBackground}}) {
        const QString file = AppPaths::inApp(QString::fromLatin1(name));
        if (!QFileInfo::exists(file))
            draw(file);
    }
    const QString file = mainDbFile(defaultDbFolder());
    if (!Schema::createMainDatabase(file, Schema::kPassword, error))
        return false;
    for (const auto &seed : g_seeders)
        if (!seed(file, error))
            return false;
    // Remembered at once: the database exists from now on, wherever it may go.
    SetDBPath(defaultDbFolder());
    return true;
}

void addFreshFolderSeeder(std::function<bool(const QString &, QString *)> seeder) {
    g_seeders.push_back(std::move(seeder));
}

bool RunFirstCheck(const QString &relativeDbPath, const QString &table) {
    const QString shared = AppState::sharedApp();
    if (Settings::GetSetting(shared, QStringLiteral("MDAC_Check"), QStringLiteral("CHECK_VALUE")) ==
        QLatin1String("YES"))
        return true;
    const QString args = QLatin1Char(' ') + AppPaths::appFolder() + relativeDbPath + QLatin1Char('|') + table;
    Settings::DeleteSetting(shared, QStringLiteral("MDAC_Check"), QStringLiteral("CHECK_ERROR")); // an older run's
    const int code = Companions::start(Companions::kFirstCheck, args, AppPaths::appFolder(), Shell::Show::Normal, true);
    if (Settings::GetSetting(shared, QStringLiteral("MDAC_Check"), QStringLiteral("CHECK_VALUE")) ==
        QLatin1String("YES"))
        return true;
    // A companion that could not run has been reported; one that ran and refused leaves its reason.
    if (code != Shell::kNotStarted && code != Shell::kCrashed) {
        QString why = Settings::GetSetting(shared, QStringLiteral("MDAC_Check"), QStringLiteral("CHECK_ERROR"))
                          .replace(QLatin1Char('\t'), QStringLiteral("\r\n"));
        if (why.isEmpty())
            why = QStringLiteral("점검 프로그램이 결과를 남기지 않았습니다.");
        MsgWarn(QStringLiteral("데이터베이스 점검을 통과하지 못해 프로그램을 시작할 수 없습니다.\r\n\r\n") + why +
                QStringLiteral("\r\n\r\n점검한 파일: ") +
                QDir::toNativeSeparators(AppPaths::appFolder() + relativeDbPath));
    }
    return false;
}

void SetDBPath(const QString &folder) {
    gDBPath = folder;
    store(kConfig, QStringLiteral("DB경로"), folder);
}

namespace {
enum ServerChoice { Retry, Setup, Quit };

// A server that cannot be reached is often only switched off or still starting: the user may
// try again, change the setup, or end.
ServerChoice askAboutServer(const ServerConnection &server, const QString &why) {
    const QString text = QStringList{QStringLiteral("DB 서버에 연결하지 못했습니다."),
                                     QString(),
                                     why,
                                     QString(),
                                     QStringLiteral("서버: ") + server.describe(),
                                     QStringLiteral("서버 PC가 켜져 있고 네트워크에 연결되어 있는지 확인하세요.")}
                             .join(QStringLiteral("\r\n"));
    return ServerChoice(prompter().choice(
        Prompter::Icon::Warning, QStringLiteral("DB 서버 연결"), text,
        {QStringLiteral("다시 시도"), QStringLiteral("네트워크 설정"), QStringLiteral("종료")}, Retry));
}

// The shop's database on a server, as the setup window stored it.
bool openServerDatabase() {
    ServerConnection server;
    for (;;) {
        server = ServerConnection::load(); // a retry reads what the setup may have stored meanwhile
        QString failure;
        if (!server.complete())
            failure = QStringLiteral("DB 서버 접속 설정이 없습니다.\r\n네트워크 설정에서 DB 서버의 주소, 데이터베이스 "
                                     "이름과 사용자를 입력하세요.");
        else if (OpenServerDB(server, Schema::kPassword, false, false, &failure))
            break;
        switch (askAboutServer(server, failure)) {
        case Retry: continue;
        case Setup:
            // The setup may choose another kind of database altogether: start over from the settings.
            WindowRegistry::open(QStringLiteral("FrmTool_NTSetup"), nullptr);
            return InitApp();
        case Quit: return false;
        }
    }
    gDBFile = server.describe();
    if (IsWriteProtected())
        MsgInfo(QStringLiteral("데이터베이스가 읽기 전용입니다.\r\n자료를 조회할 수는 있지만 저장하거나 삭제할 "
                               "수는 없습니다.\r\n") +
                gDBFile);
    return true;
}
} // namespace

bool DatabaseOnServer() { return ServerConnection::chosen(); }

QString FolderToRecover() { return g_folderToRecover; }

bool InitApp() {
    g_folderToRecover.clear();
    gStyleOn = true;
    gCSType = setting(kEnv, QStringLiteral("CSType"), QStringLiteral("0")).toInt();
    gDBPath = setting(kConfig, QStringLiteral("DB경로"), defaultDbFolder());
    if (setting(kConfig, QStringLiteral("AppPath")).isEmpty()) {
        store(kConfig, QStringLiteral("AppPath"), AppPaths::appFolder());
        store(kConfig, QStringLiteral("AppExeName"), AppPaths::programName() + QStringLiteral(".exe"));
    }
    if (gDBPath.isEmpty())
        SetDBPath(defaultDbFolder());
    if (gCSType == 2)
        return openServerDatabase();

    bool folderFound = QDir(netDrives().localPath(gDBPath)).exists();
    if (!folderFound && gCSType == 1) {
        const QString netPath = setting(kEnv, QStringLiteral("네트웍경로"));
        const QString netDrive = setting(kEnv, QStringLiteral("네트웍드라이브"));
        if (!netPath.isEmpty() && !netDrive.isEmpty()) {
            const QString drive = gDBPath.left(2);
            modNTDrv::CancelNetDrive(drive);
            const QString mapped = modNTDrv::ConnectNetDrive(netPath, QString(), drive, false);
            if (!mapped.isEmpty()) {
                folderFound = true;
                if (mapped != netDrive) {
                    SetDBPath(mapped + QStringLiteral("\\DBS"));
                    store(kEnv, QStringLiteral("네트웍드라이브"), mapped);
                }
            }
        }
    }
    if (!folderFound) {
        const QString question =
            QStringList{QStringLiteral("데이터베이스 파일 경로가 없어졌거나 옮겨졌습니다."),
                        QStringLiteral("데이터베이스 파일 경로를 확인하세요."),
                        QStringLiteral("DB경로를 %1로 변경하시겠습니까?").arg(thisComputer()), gDBPath}
                .join(QStringLiteral("\r\n"));
        if (MsgAsk(question, QStringLiteral("파일 경로 오류"), false) == vbNo)
            return false;
        const QString local = defaultDbFolder();
        if (!QDir(local).exists()) {
            // Resetting to a folder that is gone as well would ask the same at every start:
            // the caller offers the backups, or a new database there.
            g_folderToRecover = local;
            return false;
        }
        SetDBPath(local);
        store(kEnv, QStringLiteral("CSType"), QStringLiteral("0"));
        MsgInfo(QStringLiteral("DB경로가 현재 컴퓨터로 변경되었습니다.\r\n프로그램을 다시 시작하세요."));
        return false;
    }
    if (!OpenDB(mainDbFile(gDBPath), Schema::kPassword, false, false))
        return false;
    gDBFile = mainDbFile(gDBPath);
    if (IsWriteProtected())
        MsgInfo(QStringLiteral("데이터베이스 파일이 읽기 전용입니다.\r\n자료를 조회할 수는 있지만 저장하거나 삭제할 "
                               "수는 없습니다.\r\n") +
                QDir::toNativeSeparators(netDrives().localPath(gDBFile)));
    return true;
}

void GetLoginUserInfo(const QString &) {
    Recordset rs;
    const BoundSql sql(
        QStringLiteral("SELECT loginid, local_name, loginpwd FROM local_user WHERE code = 1 AND loginid = ?"),
        {gLoginID});
    if (OpenRecordset(rs, sql, adOpenForwardOnly, adLockReadOnly, adCmdText) > 0)
        gUserName = rs.text(QStringLiteral("local_name"));
    CloseObj(rs);
}

QString GetOption(const QString &name, const QString &defaultValue) {
    Recordset rs;
    const int n = OpenRecordset(rs, {QStringLiteral("SELECT optvalue FROM options WHERE optname = ?"), {name}});
    if (n < 0) {
        ShowErrMsg(QStringLiteral("프로그램 수행도중 오류가 발생했습니다."), 3704,
                   QStringLiteral("개체가 닫혀 있으면 작업이 허용되지 않습니다."));
        return defaultValue;
    }
    if (n > 0)
        return rs.text(QStringLiteral("optvalue"));
    ExecuteSQL({QStringLiteral("INSERT INTO options (optname, optvalue) VALUES (?, ?)"), {name, defaultValue}});
    return defaultValue;
}

bool SetOption(const QString &name, const QString &value) {
    Recordset rs;
    if (OpenRecordset(rs, {QStringLiteral("SELECT * FROM options WHERE optname = ?"), {name}}) > 0)
        ExecuteSQL({QStringLiteral("UPDATE options SET optvalue = ? WHERE optname = ?"), {value, name}});
    else
        ExecuteSQL({QStringLiteral("INSERT INTO options (optname, optvalue) VALUES (?, ?)"), {name, value}});
    CloseObj(rs);
    return true;
}

void DestroyApp() { DBTerminate(); }

QString CheckOpenDatabase() {
    const DatabaseCheck::Result r = DatabaseCheck::checkMainDatabase(modMDB_Func::connection().databaseName(),
                                                                     Schema::kPassword, DatabaseCheck::Depth::Quick);
    return r.ok ? QString() : r.message + (r.detail.isEmpty() ? QString() : QStringLiteral(" (") + r.detail + u')');
}

} // namespace modMain
