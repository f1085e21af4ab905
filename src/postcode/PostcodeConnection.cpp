#include "PostcodeConnection.h"
#include "AppPaths.h"
#include "Messages.h"
#include "modMDB_Func.h"
#include <QAtomicInt>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>

namespace {
QAtomicInt g_counter;
}

PostcodeConnection::PostcodeConnection() : m_name(QStringLiteral("postcode-%1").arg(g_counter.fetchAndAddRelaxed(1))) {}

PostcodeConnection::~PostcodeConnection() { close(); }

QString PostcodeConnection::defaultFile() { return AppPaths::inApp(QStringLiteral("DBS/dbPost.db")); }

PostcodeConnection::Result PostcodeConnection::open(const QString &file) {
    close();
    // The engine would quietly create a missing file.
    if (!QFileInfo(file).isFile()) {
        MsgWarn(QStringLiteral("우편번호 DB를 찾을 수 없습니다.\r\n") + file);
        return Result::Missing;
    }
    QString error;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
        db.setDatabaseName(file);
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY;QSQLITE_BUSY_TIMEOUT=30000"));
        if (!db.open()) {
            error = db.lastError().text();
        } else {
            // Opening reads nothing; a file that is not a database shows at the first read.
            QSqlQuery q(db);
            if (!q.exec(QStringLiteral("SELECT count(*) FROM sqlite_master")))
                error = q.lastError().databaseText();
        }
    }
    if (error.isEmpty())
        return Result::Open;
    close();
    modMDB_Func::ReportConnectionFailure(modMDB_Func::errFail,
                                         QStringLiteral("인식할 수 없는 데이터베이스 형식입니다. ") + error);
    return Result::Failed;
}

void PostcodeConnection::close() {
    if (!QSqlDatabase::contains(m_name))
        return;
    {
        QSqlDatabase db = QSqlDatabase::database(m_name, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(m_name);
}

bool PostcodeConnection::isOpen() const { return database().isOpen(); }

QSqlDatabase PostcodeConnection::database() const { return QSqlDatabase::database(m_name, false); }
