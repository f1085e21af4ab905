#include "ServerDump.h"
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace ServerDump {

namespace {
constexpr int kTimeoutMs = 30 * 60 * 1000; // a large catalogue on a slow network

QStringList connectionArguments(const ServerConnection &c) {
    return {QStringLiteral("--host"),     c.host, QStringLiteral("--port"),       QString::number(c.port),
            QStringLiteral("--username"), c.user, QStringLiteral("--no-password")};
}

// Runs one of the server's programs; its own words on failure. The password goes through
// the environment, never the command line that other users of the PC can see.
bool run(const QString &program, const QStringList &arguments, const ServerConnection &c, QString *error) {
    const QString path = QStandardPaths::findExecutable(program);
    if (path.isEmpty()) {
        *error = QStringLiteral("%1 프로그램을 찾을 수 없습니다. 이 PC에 PostgreSQL 클라이언트 프로그램을 "
                                "설치하세요.")
                     .arg(program);
        return false;
    }
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    if (!c.password.isEmpty())
        env.insert(QStringLiteral("PGPASSWORD"), c.password);
    env.insert(QStringLiteral("PGCONNECT_TIMEOUT"), QStringLiteral("10"));
    p.setProcessEnvironment(env);
    p.start(path, arguments);
    if (!p.waitForStarted(10000)) {
        *error = QStringLiteral("%1 을(를) 시작할 수 없습니다: %2").arg(program, p.errorString());
        return false;
    }
    if (!p.waitForFinished(kTimeoutMs)) {
        p.kill();
        p.waitForFinished(5000);
        *error = QStringLiteral("%1 이(가) 끝나지 않아 멈추었습니다.").arg(program);
        return false;
    }
    if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        const QString words = QString::fromLocal8Bit(p.readAllStandardError()).trimmed();
        *error = QStringLiteral("%1 이(가) 실패했습니다 (%2): %3").arg(program).arg(p.exitCode()).arg(words);
        return false;
    }
    return true;
}
} // namespace

bool dump(const ServerConnection &c, const QString &file, QString *error) {
    if (!run(QStringLiteral("pg_dump"),
             connectionArguments(c) + QStringList{QStringLiteral("--format=custom"), QStringLiteral("--file"), file,
                                                  QStringLiteral("--dbname"), c.database},
             c, error))
        return false;
    // A dump its own reader cannot list is no backup.
    if (!run(QStringLiteral("pg_restore"), {QStringLiteral("--list"), file}, c, error))
        return false;
    if (QFileInfo(file).size() == 0) {
        *error = QStringLiteral("pg_dump 이(가) 빈 파일을 썼습니다.");
        return false;
    }
    return true;
}

bool restore(const ServerConnection &c, const QString &file, QString *error) {
    return run(QStringLiteral("pg_restore"),
               connectionArguments(c) + QStringList{QStringLiteral("--clean"), QStringLiteral("--if-exists"),
                                                    QStringLiteral("--single-transaction"),
                                                    QStringLiteral("--exit-on-error"), QStringLiteral("--no-owner"),
                                                    QStringLiteral("--dbname"), c.database, file},
               c, error);
}

} // namespace ServerDump
