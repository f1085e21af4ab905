// Moves a shop's main database from its file onto a database server, or back into a file.
#include "AppState.h"
#include "CommandHelp.h"
#include "DbMigrate.h"
#include "ServerConnection.h"
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QTextStream>

namespace {

const QString kProgram = QStringLiteral("mobileshop-db-migrate");

const char *kHelp =
    "가게의 주 데이터베이스(dbMain.db)를 PostgreSQL 서버의 빈 데이터베이스로 옮기거나(--to-server),\n"
    "서버의 데이터베이스를 새 dbMain.db 파일로 되돌립니다(--to-file).\n"
    "\n"
    "  - 모든 표와 모든 행을 한 트랜잭션으로 옮기고, 기록하기 전에 표마다 행 수와 체크섬(SHA-256)을\n"
    "    원본과 맞추어 봅니다. 하나라도 다르거나 실패하면 아무것도 기록하지 않습니다.\n"
    "  - 대상은 비어 있어야 합니다: 서버 데이터베이스에 표가 없어야 하고, 파일은 아직 없어야 합니다.\n"
    "  - 사진: 파일의 DBS 폴더 옆 IMG 폴더(--pictures 로 바꿀 수 있음)의 사진이 서버의 사진 표로\n"
    "    가고(--to-server), 서버의 사진은 새 파일의 DBS 폴더 옆 IMG 폴더에 파일로 옵니다(--to-file,\n"
    "    그 폴더에 사진이 아직 없어야 함). 사진도 표처럼 개수와 체크섬을 맞추어 봅니다.\n"
    "  - 원본은 읽기만 합니다. 옮기는 동안 다른 PC가 쓰더라도 시작할 때의 모습 그대로 옮깁니다.\n"
    "  - 서버 암호는 명령줄에 쓰지 않습니다: PGPASSWORD 환경 변수나 PostgreSQL의 암호 파일\n"
    "    (~/.pgpass, Windows는 %APPDATA%\\postgresql\\pgpass.conf)이 쓰입니다.\n"
    "  - 옮긴 뒤 각 PC의 네트워크 설정에서 '3. DB 서버'를 골라 같은 서버를 적습니다.\n"
    "\n"
    "예:\n"
    "  mobileshop-db-migrate --to-server --file C:/MobileShop/DBS/dbMain.db --host 192.168.0.10 --database shop --user "
    "shop\n"
    "  mobileshop-db-migrate --to-file --file D:/되돌린/dbMain.db --host 192.168.0.10 --database shop --user shop\n";

int usage(QTextStream &err, const QString &why) {
    err << why << " 사용법은 --help 로 봅니다." << Qt::endl;
    return 2;
}

} // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    QCommandLineParser parser;
    const QCommandLineOption toServer(QStringLiteral("to-server"), QStringLiteral("파일 → 서버"));
    const QCommandLineOption toFile(QStringLiteral("to-file"), QStringLiteral("서버 → 새 파일"));
    const QCommandLineOption file(QStringLiteral("file"), QStringLiteral("dbMain.db 파일"), QStringLiteral("파일"));
    const QCommandLineOption host(QStringLiteral("host"), QStringLiteral("서버 주소 (또는 소켓이 있는 폴더)"),
                                  QStringLiteral("주소"));
    const QCommandLineOption port(QStringLiteral("port"), QStringLiteral("포트 (기본 5432)"), QStringLiteral("번호"),
                                  QStringLiteral("5432"));
    const QCommandLineOption database(QStringLiteral("database"), QStringLiteral("서버의 데이터베이스 이름"),
                                      QStringLiteral("이름"));
    const QCommandLineOption user(QStringLiteral("user"), QStringLiteral("서버 사용자"), QStringLiteral("이름"));
    const QCommandLineOption pictures(
        QStringLiteral("pictures"), QStringLiteral("사진 폴더 (기본: 파일의 DBS 폴더 옆 IMG)"), QStringLiteral("폴더"));
    const CommandHelp::Command command{
        kProgram,
        QStringLiteral("--to-server|--to-file --file 파일 --host 주소 [--port 번호] --database 이름 --user 이름"),
        QString::fromUtf8(kHelp), CommandHelp::versionLine(kProgram, AppState::title())};
    if (const int code = CommandHelp::answer(parser, {toServer, toFile, file, host, port, database, user, pictures},
                                             app.arguments(), command, out, err);
        code >= 0)
        return code;
    if (parser.isSet(toServer) == parser.isSet(toFile))
        return usage(err, QStringLiteral("--to-server 와 --to-file 중 하나를 주세요."));
    ServerConnection server;
    server.host = parser.value(host);
    server.database = parser.value(database);
    server.user = parser.value(user);
    bool portOk = false;
    server.port = parser.value(port).toInt(&portOk);
    if (!portOk || server.port <= 0 || server.port > 65535)
        return usage(err, QStringLiteral("포트는 1부터 65535까지의 수입니다: ") + parser.value(port));
    if (!server.complete() || !parser.isSet(file))
        return usage(err, QStringLiteral("--file, --host, --database, --user 를 모두 주세요."));
    const bool upload = parser.isSet(toServer);
    const QString path = QFileInfo(parser.value(file)).absoluteFilePath();
    if (upload && !QFileInfo(path).isFile()) {
        err << "'" << path << "' 파일이 없습니다." << Qt::endl;
        return 1;
    }
    if (!upload && QFileInfo::exists(path)) {
        err << "'" << path << "' 파일이 이미 있습니다. 새 파일 이름을 주세요." << Qt::endl;
        return 1;
    }

    // The program keeps its pictures in IMG/ beside the database folder DBS/.
    const QString pictureFolder = parser.isSet(pictures)
                                      ? QFileInfo(parser.value(pictures)).absoluteFilePath()
                                      : QDir::cleanPath(QFileInfo(path).absolutePath() + QStringLiteral("/../IMG"));

    // The new file is written beside its place and renamed once complete.
    const QString newFile = path + QStringLiteral(".new");
    DbMigrate::Result result;
    {
        QSqlDatabase local = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("file"));
        local.setDatabaseName(upload ? path : newFile);
        if (upload)
            local.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY;QSQLITE_BUSY_TIMEOUT=30000"));
        else if (!QDir().mkpath(QFileInfo(path).absolutePath()) || (QFile::exists(newFile) && !QFile::remove(newFile)))
            result.error = QStringLiteral("'%1' 에 쓸 수 없습니다.").arg(newFile);
        QSqlDatabase remote = server.addDatabase(QStringLiteral("server"));
        if (result.error.isEmpty() && !local.open())
            result.error = QStringLiteral("파일을 열 수 없습니다: ") + local.lastError().text();
        else if (result.error.isEmpty() && !remote.open())
            result.error = QStringLiteral("서버에 접속할 수 없습니다 (%1): %2")
                               .arg(server.describe(), remote.lastError().databaseText().trimmed());
        if (result.error.isEmpty()) {
            QElapsedTimer timer;
            timer.start();
            out << (upload ? path + QStringLiteral(" → ") + server.describe()
                           : server.describe() + QStringLiteral(" → ") + path)
                << Qt::endl;
            result = DbMigrate::copy(
                upload ? local : remote, upload ? remote : local,
                [&](const QString &line) { out << "  " << line << Qt::endl; }, pictureFolder);
            if (result.ok) {
                for (const DbMigrate::TableCheck &t : result.tables)
                    out << QStringLiteral("  %1: %2행, 체크섬 %3 (원본과 같음)")
                               .arg(t.table, -12)
                               .arg(t.rows)
                               .arg(QString::fromLatin1(t.checksum.toHex().left(16)))
                        << Qt::endl;
                out << QStringLiteral("다 옮겼습니다 (%1초).").arg(double(timer.elapsed()) / 1000.0, 0, 'f', 1)
                    << Qt::endl;
            }
        }
        local.close();
        remote.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("file"));
    QSqlDatabase::removeDatabase(QStringLiteral("server"));
    if (result.ok && !upload && !QFile::rename(newFile, path))
        result = {false, QStringLiteral("'%1' 을(를) '%2' (으)로 바꿀 수 없습니다.").arg(newFile, path), {}};
    if (!result.ok) {
        if (!upload)
            QFile::remove(newFile);
        err << result.error << Qt::endl;
        return 1;
    }
    return 0;
}
