// The chart window's control with a large series: AddData for every item, then DrawPage of
// middle pages, drawn and painted into an image as the screen would (time per page), the
// same page printed into a PDF file, and the memory the items take.
//   bench_chart [items=100000] [per page=50]
#include "BenchData.h"
#include "ChartPrint.h"
#include "ChartView.h"
#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

namespace {
void report(const char *name, double value, const char *unit) { std::printf("%-34s %10.2f %s\n", name, value, unit); }

// This thread's processor time in ms: other programs on a busy machine do not count.
double cpuMs() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) * 1e3 + double(ts.tv_nsec) / 1e6;
}

struct Took {
    double wall, cpu;
};

// One page drawn, laid out and painted.
Took drawAndPaint(ChartView &view, int page, QImage &image) {
    QElapsedTimer t;
    t.start();
    const double cpu = cpuMs();
    view.DrawPage(page);
    QApplication::processEvents(); // the chart lays itself out on the next turn of the loop
    QPainter painter(&image);
    view.render(&painter);
    return {double(t.nsecsElapsed()) / 1e6, cpuMs() - cpu};
}
} // namespace

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    const int items = argc > 1 ? std::max(1, atoi(argv[1])) : 100000;
    const int perPage = argc > 2 ? std::max(1, atoi(argv[2])) : 50;
    static const QStringList makers{QStringLiteral("삼성전자"), QStringLiteral("LG전자"), QStringLiteral("팬택"),
                                    QStringLiteral("모토로라"), QStringLiteral("노키아")};
    ChartView view;
    view.resize(1200, 700);
    view.show();
    QApplication::processEvents();
    const long before = BenchData::peakKb();
    BenchData::forgetPeak();

    QElapsedTimer t;
    t.start();
    for (int i = 0; i < items; ++i)
        view.AddData((i % 977) * 1013.0 - 20000, makers[i % makers.size()] + QStringLiteral(" 모델 %1").arg(i + 1));
    const double addMs = double(t.nsecsElapsed()) / 1e6;
    view.MaxCols(qint16(std::min(perPage, 32767)));
    const long after = BenchData::peakKb();

    QImage image(view.size(), QImage::Format_ARGB32_Premultiplied);
    const int middle = view.PageCount() / 2 + 1;
    drawAndPaint(view, middle, image); // the first drawing also loads fonts
    std::vector<double> wall, cpu;
    for (int i = 0; i < 20; ++i) {
        const Took took = drawAndPaint(view, middle + (i % 5) - 2, image);
        wall.push_back(took.wall);
        cpu.push_back(took.cpu);
    }
    std::sort(wall.begin(), wall.end());
    std::sort(cpu.begin(), cpu.end());

    QTemporaryDir dir;
    QPdfWriter pdf(dir.filePath(QStringLiteral("chart.pdf")));
    t.restart();
    const bool printed = printChart(pdf, view.data(), middle, view.options(), QStringLiteral("모델 수"));
    const double printMs = double(t.nsecsElapsed()) / 1e6;

    std::printf("items: %d, %d per page, %d pages, drawing page %d\n", items, perPage, view.PageCount(), middle);
    report("AddData, all items", addMs, "ms");
    report("AddData, per item", addMs * 1000 / items, "us");
    report("DrawPage + paint, median", wall[wall.size() / 2], "ms");
    report("DrawPage + paint, slowest of 20", wall.back(), "ms");
    report("DrawPage + paint, processor median", cpu[cpu.size() / 2], "ms");
    report(printed ? "page printed into a PDF file" : "PDF FAILED", printMs, "ms");
    report("memory for the items (peak)", double(after - before) / 1024.0, "MiB");
    report("process peak", double(BenchData::peakKb()) / 1024.0, "MiB");
    return printed ? 0 : 1;
}
