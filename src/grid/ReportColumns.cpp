#include "ReportColumns.h"
#include "FormLayoutFile.h"
#include "IniFile.h"
#include <QFileInfo>

namespace ReportColumns {
namespace {
bool ticked(const IniFile &ini, const QString &gridName, int col) {
    return ini.value(section(gridName), QString::number(col), QStringLiteral("1")).startsWith(QLatin1Char('1'));
}
} // namespace

QString section(const QString &gridName) { return gridName + QStringLiteral("_RPTCOL"); }

QString fileOf(const QString &windowName) { return FormLayoutFile::path(windowName); }

std::vector<std::pair<int, bool>> read(const QString &file, const QString &gridName, const std::vector<int> &cols) {
    std::vector<std::pair<int, bool>> ticks;
    ticks.reserve(cols.size());
    const bool exists = QFileInfo::exists(file);
    const IniFile ini(file);
    for (const int col : cols)
        ticks.emplace_back(col, !exists || ticked(ini, gridName, col));
    return ticks;
}

bool write(const QString &file, const QString &gridName, const std::vector<std::pair<int, bool>> &ticks) {
    return IniFile::update(file, [&](IniFile &ini) {
        for (const auto &[col, on] : ticks)
            if (!ini.setValue(section(gridName), QString::number(col), on ? QStringLiteral("1") : QStringLiteral("0")))
                return false;
        return true;
    });
}

QSet<int> leftOut(const QString &file, const QString &gridName, int maxCols) {
    QSet<int> out;
    if (!QFileInfo::exists(file))
        return out;
    const IniFile ini(file);
    for (int col = 1; col <= maxCols; ++col)
        if (!ticked(ini, gridName, col))
            out.insert(col);
    return out;
}

} // namespace ReportColumns
