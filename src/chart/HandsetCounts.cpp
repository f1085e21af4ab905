#include "HandsetCounts.h"
#include "modMDB_Func.h"

namespace HandsetCounts {

std::vector<Count> read(By by) {
    const QString column = by == By::Maker ? QStringLiteral("makecom") : QStringLiteral("makeyear");
    const QString order = by == By::Maker ? QStringLiteral("n DESC, label") : QStringLiteral("label");
    const QString sql = QStringLiteral("SELECT TRIM(%1) AS label, COUNT(*) AS n FROM t_mobile WHERE code <> 1"
                                       " GROUP BY TRIM(%1) ORDER BY %2")
                            .arg(column, order);
    Recordset rs;
    std::vector<Count> counts;
    if (modMDB_Func::OpenRecordset(rs, sql) > 0) {
        counts.reserve(size_t(rs.recordCount()));
        for (int row = 0; row < rs.recordCount(); ++row) {
            const QString label = rs.at(row, 0).toString();
            counts.push_back({label.isEmpty() ? QStringLiteral("(없음)") : label, rs.at(row, 1).toInt()});
        }
    }
    modMDB_Func::CloseObj(rs);
    return counts;
}

} // namespace HandsetCounts
