#include "ChartDemo.h"
#include "DemoWindows.h"
#include "FrmKVGraph.h"
#include "HandsetCounts.h"
#include "StartApp.h"
#include "modMain.h"
#include <QApplication>
#include <QTextStream>

namespace {
int showChart(const QStringList &arguments, QTextStream &out) {
    const QString by = arguments.value(0, QStringLiteral("maker"));
    if (by != QLatin1String("maker") && by != QLatin1String("year")) {
        QTextStream(stderr) << QStringLiteral("chart 다음에는 maker 또는 year만 쓸 수 있습니다: ") << by << Qt::endl;
        return 2;
    }
    // A fresh home gets the demo catalogue as the first start would make it.
    if (!OpenDatabaseForDemo())
        return 1;
    const auto counts =
        HandsetCounts::read(by == QLatin1String("maker") ? HandsetCounts::By::Maker : HandsetCounts::By::Year);
    FrmKVGraph graph;
    graph.ClearGraph();
    for (const HandsetCounts::Count &c : counts)
        graph.AddData(c.handsets, c.label);
    graph.ReDrawGraph();
    graph.show();
    const int code = QApplication::exec();
    out << counts.size() << Qt::endl;
    modMain::DestroyApp();
    return code;
}
} // namespace

void registerChartDemos() {
    DemoWindows::add(QStringLiteral("chart"), QStringLiteral("그래프 (제조회사별 모델 수, 인수 year: 출시년도별)"),
                     showChart);
}
