#include "CatalogueWatch.h"
#include "PgHandle.h"
#include "modMDB_Func.h"
#include <QByteArray>
#include <QDeadlineTimer>
#include <vector>
#ifdef Q_OS_WIN
#include <winsock2.h>
#else
#include <poll.h>
#endif

namespace {
// What one look may wait for the server while the link is made again: the list stays
// responsive, and a slow handshake goes on at the next look.
constexpr int kConnectBudgetMs = 100;

bool socketReady(int socket, bool forReading, qint64 ms) {
#ifdef Q_OS_WIN
    WSAPOLLFD p{SOCKET(socket), SHORT(forReading ? POLLRDNORM : POLLWRNORM), 0};
    return WSAPoll(&p, 1, INT(ms)) > 0;
#else
    pollfd p{socket, short(forReading ? POLLIN : POLLOUT), 0};
    return ::poll(&p, 1, int(ms)) > 0;
#endif
}

class PostgresCatalogueWatch final : public CatalogueWatch {
public:
    explicit PostgresCatalogueWatch(const QSqlDatabase &shared) {
        const auto add = [this](const char *key, const QString &value) {
            if (!value.isEmpty())
                m_params.emplace_back(key, value.toUtf8());
        };
        add("host", shared.hostName());
        add("port", shared.port() > 0 ? QString::number(shared.port()) : QString());
        add("dbname", shared.databaseName());
        add("user", shared.userName());
        add("password", shared.password());
        add("application_name", QStringLiteral("mobileshop catalogue watch"));
        add("keepalives", QStringLiteral("1"));
    }
    ~PostgresCatalogueWatch() override { drop(); }

    bool changedElsewhere() override {
        if (!listening())
            return false;
        if (!PQconsumeInput(m_conn)) {
            drop();
            return false;
        }
        // This PC's own saves come from the shared connection's server process.
        PGconn *own = pgHandleOf(modMDB_Func::connection());
        const int ownPid = own ? PQbackendPID(own) : 0;
        bool changed = false;
        while (PGnotify *n = PQnotifies(m_conn)) {
            changed = changed || n->be_pid != ownPid;
            PQfreemem(n);
        }
        return changed;
    }

private:
    // Makes the link (again) without blocking; true once it listens.
    bool listening() {
        if (m_listening && PQstatus(m_conn) == CONNECTION_OK)
            return true;
        if (m_listening)
            drop();
        if (!m_conn && !start())
            return false;
        const QDeadlineTimer deadline(kConnectBudgetMs);
        while (m_poll != PGRES_POLLING_OK) {
            if (m_poll == PGRES_POLLING_FAILED) {
                drop();
                return false;
            }
            if (!socketReady(PQsocket(m_conn), m_poll == PGRES_POLLING_READING, deadline.remainingTime()))
                return false;
            m_poll = PQconnectPoll(m_conn);
        }
        PGresult *r = PQexec(m_conn, ("LISTEN " + CatalogueWatch::kChannel).toUtf8().constData());
        m_listening = r && PQresultStatus(r) == PGRES_COMMAND_OK;
        PQclear(r);
        if (!m_listening)
            drop();
        return m_listening;
    }

    bool start() {
        std::vector<const char *> keys, values;
        for (const auto &[key, value] : m_params) {
            keys.push_back(key);
            values.push_back(value.constData());
        }
        keys.push_back(nullptr);
        values.push_back(nullptr);
        m_conn = PQconnectStartParams(keys.data(), values.data(), 0);
        if (!m_conn || PQstatus(m_conn) == CONNECTION_BAD) {
            drop();
            return false;
        }
        m_poll = PGRES_POLLING_WRITING; // libpq's first step waits for the socket to take the request
        return true;
    }

    void drop() {
        if (m_conn)
            PQfinish(m_conn);
        m_conn = nullptr;
        m_listening = false;
        m_poll = PGRES_POLLING_FAILED;
    }

    std::vector<std::pair<const char *, QByteArray>> m_params;
    PGconn *m_conn = nullptr;
    PostgresPollingStatusType m_poll = PGRES_POLLING_FAILED;
    bool m_listening = false;
};
} // namespace

std::unique_ptr<CatalogueWatch> CatalogueWatch::onServer(const QSqlDatabase &shared) {
    return std::make_unique<PostgresCatalogueWatch>(shared);
}
