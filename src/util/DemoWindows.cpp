#include "DemoWindows.h"
#include <QTextStream>
#include <vector>

namespace DemoWindows {
namespace {
struct Demo {
    QString name, description;
    Run run;
};
std::vector<Demo> &demos() {
    static std::vector<Demo> d;
    return d;
}
} // namespace

void add(const QString &name, const QString &description, Run run) {
    for (Demo &d : demos())
        if (d.name == name) {
            d = {name, description, std::move(run)};
            return;
        }
    demos().push_back({name, description, std::move(run)});
}

QList<std::pair<QString, QString>> list() {
    QList<std::pair<QString, QString>> windows;
    for (const Demo &d : demos())
        windows.append({d.name, d.description});
    return windows;
}

int run(const QString &name, const QStringList &arguments, QTextStream &out) {
    for (const Demo &d : demos())
        if (d.name == name)
            return d.run(arguments, out);
    QTextStream(stderr) << QStringLiteral("알 수 없는 데모 창입니다: ") << name << Qt::endl;
    return 2;
}

} // namespace DemoWindows
