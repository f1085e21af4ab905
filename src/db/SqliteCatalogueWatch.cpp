#include "CatalogueWatch.h"
#include "DbState.h"
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlQuery>

namespace {
using namespace modMDB_Func;

// PRAGMA data_version changes only for commits of other connections, so the shared
// connection's own saves leave it as it was; it reads no table.
class SqliteCatalogueWatch final : public CatalogueWatch {
public:
    bool changedElsewhere() override {
        const QSqlDatabase db = connection();
        const QVariant handle = db.driver() ? db.driver()->handle() : QVariant();
        if (!IsOpen() || !handle.isValid())
            return false;
        // Versions of a connection opened anew do not compare with the old one's.
        const void *link = *static_cast<void *const *>(handle.constData());
        if (link != m_link) {
            m_link = link;
            m_version = -1;
        }
        // Another PC in the middle of its commit would hold the look for the whole busy
        // timeout; the next look will do.
        QSqlQuery q(db);
        q.exec(QStringLiteral("PRAGMA busy_timeout = 0"));
        const qint64 version = q.exec(QStringLiteral("PRAGMA data_version")) && q.next() ? q.value(0).toLongLong() : -1;
        q.exec(QStringLiteral("PRAGMA busy_timeout = %1").arg(detail::state().busyTimeoutMs));
        if (version < 0)
            return false;
        const bool changed = m_version >= 0 && version != m_version;
        m_version = version;
        return changed;
    }

private:
    const void *m_link = nullptr;
    qint64 m_version = -1;
};
} // namespace

std::unique_ptr<CatalogueWatch> CatalogueWatch::onFile() { return std::make_unique<SqliteCatalogueWatch>(); }
