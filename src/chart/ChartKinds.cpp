#include "ChartKinds.h"
#include "mdlCommonKV.h"
#include <array>

namespace ChartKinds {

namespace {
struct Unit {
    const char *name;
    double divisor;
};
constexpr std::array<Unit, 5> kUnits{{{"1", 1}, {"천", 1e3}, {"만", 1e4}, {"백만", 1e6}, {"억", 1e8}}};
} // namespace

QStringList kindNames() {
    return {QStringLiteral("막대"), QStringLiteral("꺾은선"),   QStringLiteral("막대+꺾은선"),
            QStringLiteral("영역"), QStringLiteral("가로막대"), QStringLiteral("원")};
}

QStringList unitNames() {
    QStringList names;
    for (const Unit &u : kUnits)
        names << QString::fromUtf8(u.name);
    return names;
}

double divisor(int unit) { return unit >= 0 && unit < int(kUnits.size()) ? kUnits[size_t(unit)].divisor : 1; }

QString axisTitle(int unit) {
    if (divisor(unit) == 1)
        return {};
    return QStringLiteral("(단위: %1)").arg(QString::fromUtf8(kUnits[size_t(unit)].name));
}

QString valueText(double shown) { return mdlCommonKV::FormatNum(shown, 2, true, true); }

} // namespace ChartKinds
