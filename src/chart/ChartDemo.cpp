#include "ChartDemo.h"
#include "AppPaths.h"
#include "AppState.h"
#include "DemoWindows.h"
#include "FrmKVGraph.h"
#include "HandsetCounts.h"
#include "Settings.h"
#include "StartApp.h"
#include "modMain.h"
#include <QApplication>
#include <QDir>
#include <QTextStream>

namespace {
int showChart(const QStringList &arguments, QTextStream &out) {
    const QString by = arguments.value(0, QStringLiteral("maker"));
    if (by != QLatin1String("maker") && by != QLatin1String("year")) {
        QTextStream(stderr) << QStringLiteral("chart 다음에는 maker 또는 year만 쓸 수 있습니다: ") << by << Qt::endl;
        return 2;
    }
    // A folder the program never prepared has no catalogue to count; asking to move the
    // database, as start-up does for one that went missing, would only mislead.
    if (!QDir(AppPaths::inApp(QStringLiteral("DBS"))).exists() &&
        Settings::GetSetting(AppState::title(), QStringLiteral("Config"), QStringLiteral("DB경로")).isEmpty()) {
        QTextStream(stderr) << QStringLiteral("데이터베이스가 없습니다: ") << AppPaths::inApp(QStringLiteral("DBS"))
                            << QStringLiteral("\n프로그램을 한 번 실행하면 데모 카탈로그가 만들어집니다.") << Qt::endl;
        return 1;
    }
    if (!OpenDatabaseAtStartUp())
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
