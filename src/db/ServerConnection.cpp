#include "ServerConnection.h"
#include "AppState.h"
#include "EngineReasons.h"
#include "Settings.h"
#include "mdlCommonKV.h"
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>

namespace {
const QString kEnv = QStringLiteral("환경설정");

QString setting(const QString &key) { return Settings::GetSetting(AppState::title(), kEnv, key); }
bool store(const QString &key, const QString &value) {
    return Settings::SaveSetting(AppState::title(), kEnv, key, value);
}
} // namespace

QString ServerConnection::describe() const {
    return QStringLiteral("%1@%2:%3/%4").arg(user, host).arg(port).arg(database);
}

QSqlDatabase ServerConnection::addDatabase(const QString &name) const {
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name);
    db.setHostName(host);
    db.setPort(port);
    db.setDatabaseName(database);
    db.setUserName(user);
    db.setPassword(password);
    return db;
}

bool ServerConnection::chosen() { return setting(QStringLiteral("CSType")).toInt() == 2; }

ServerConnection ServerConnection::load() {
    ServerConnection c;
    c.host = setting(QStringLiteral("DB서버"));
    bool ok = false;
    const int port = setting(QStringLiteral("DB포트")).toInt(&ok);
    if (ok && port > 0 && port < 65536)
        c.port = port;
    c.database = setting(QStringLiteral("DB이름"));
    c.user = setting(QStringLiteral("DB사용자"));
    const QString stored = setting(QStringLiteral("DB암호"));
    c.password = stored.isEmpty() ? QString() : mdlCommonKV::DecodeStr(stored);
    return c;
}

bool ServerConnection::save() const {
    bool ok = store(QStringLiteral("DB서버"), host);
    ok = store(QStringLiteral("DB포트"), QString::number(port)) && ok;
    ok = store(QStringLiteral("DB이름"), database) && ok;
    ok = store(QStringLiteral("DB사용자"), user) && ok;
    ok = store(QStringLiteral("DB암호"), password.isEmpty() ? QString() : mdlCommonKV::EncodeStr(password)) && ok;
    return ok;
}

namespace ServerTest {

bool tryConnect(const ServerConnection &c, QString *version, QString *error) {
    const QString name = QStringLiteral("server-test-") + QUuid::createUuid().toString(QUuid::WithoutBraces);
    bool ok = false;
    {
        QSqlDatabase db = c.addDatabase(name);
        if (!db.isValid()) {
            *error = QStringLiteral("PostgreSQL 드라이버(QPSQL)가 설치되어 있지 않습니다.");
        } else {
            db.setConnectOptions(QStringLiteral("connect_timeout=5"));
            if (!db.open()) {
                *error = db.lastError().databaseText().trimmed();
                if (error->isEmpty())
                    *error = db.lastError().text();
            } else {
                QSqlQuery q(db);
                ok = q.exec(QStringLiteral("SELECT version()")) && q.next();
                if (ok)
                    *version = q.value(0).toString();
                else
                    *error = q.lastError().databaseText();
            }
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(name);
    return ok;
}

} // namespace ServerTest

QString ServerConnection::explainFailure(const QString &serverText) {
    static const EngineReason kReasons[] = {
        {"password authentication failed", "사용자 이름이나 암호가 맞지 않습니다."},
        {"no password supplied", "암호가 필요합니다. 네트워크 설정에서 암호를 입력하세요."},
        {"no pg_hba.conf entry", "서버가 이 PC의 접속을 허용하지 않습니다(서버의 pg_hba.conf)."},
        {"role \"", "그런 사용자가 서버에 없습니다."},
        {"database \"", "그런 데이터베이스가 서버에 없습니다."},
        {"Connection refused", "서버가 접속을 받지 않습니다. 서버가 꺼져 있거나 주소나 포트가 다릅니다."},
        {"No such file or directory", "서버가 접속을 받지 않습니다. 서버가 꺼져 있거나 주소나 포트가 다릅니다."},
        {"could not translate host name", "서버 주소를 찾을 수 없습니다."},
        {"timeout expired", "서버가 응답하지 않습니다. 네트워크와 방화벽을 확인하세요."},
        {"No route to host", "서버에 닿을 수 없습니다. 네트워크 연결을 확인하세요."},
        {"Network is unreachable", "서버에 닿을 수 없습니다. 네트워크 연결을 확인하세요."},
        {"starting up", "서버가 시작하는 중입니다. 잠시 뒤 다시 시도하세요."},
        {"shutting down", "서버가 끝나는 중입니다. 잠시 뒤 다시 시도하세요."},
        {"server closed the connection", "서버가 연결을 끊었습니다."},
    };
    return explainEngineText(serverText, kReasons);
}
