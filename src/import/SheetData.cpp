#include "SheetData.h"
#include <QDateTime>
#include <cmath>

namespace SheetData {

void put(std::vector<QStringList> &rows, qsizetype row, int col, const QString &text) {
    if (text.isEmpty())
        return;
    if (qsizetype(rows.size()) <= row)
        rows.resize(size_t(row) + 1);
    QStringList &cells = rows[size_t(row)];
    while (cells.size() <= col)
        cells.append(QString());
    cells[col] = text.size() > kMaxCellText ? text.left(kMaxCellText) : text;
}

void finish(Read &r, int sheet) {
    if (sheet < 0 || sheet >= r.sheets.size()) {
        r.message = kNoSheet;
        r.rows.clear();
        return;
    }
    while (!r.rows.empty() && r.rows.back().isEmpty())
        r.rows.pop_back();
    r.ok = true;
}

QString numberText(double value) {
    if (std::isfinite(value) && value == std::floor(value) && std::fabs(value) < 1e15)
        return QString::number(qint64(value));
    return QString::number(value, 'g', 15);
}

QString dateText(double serial) {
    const qint64 days = qint64(std::floor(serial));
    const QDate date = QDate(1899, 12, 30).addDays(days);
    const qint64 seconds = qint64(std::llround((serial - double(days)) * 86400.0));
    if (seconds == 0)
        return date.toString(QStringLiteral("yyyy-MM-dd"));
    return QDateTime(date, QTime(0, 0)).addSecs(seconds).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

} // namespace SheetData
