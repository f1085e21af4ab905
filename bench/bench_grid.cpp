// Fills a Spread as the handset list does (100,000 rows x 11 columns, a picture column, a
// hidden code column), scrolls it, searches and sorts it; one line per figure.
#include "PictureCache.h"
#include "SheetModel.h"
#include "SheetSearch.h"
#include "Spread.h"
#include "modSpread60.h"
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QScrollBar>
#include <QTemporaryDir>
#include <cstdio>

namespace {
constexpr int kRows = 100000;
constexpr int kCols = 11;

double vmHwmMb() {
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : f.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
    return -1;
}

void report(const char *name, double value, const char *unit) { std::printf("%-32s %10.1f %s\n", name, value, unit); }

void fill(Spread &sp, const QStringList &pictures) {
    static const QStringList makers{"삼성전자", "LG전자", "팬택", "모토로라", "노키아"};
    sp.setRedraw(false);
    sp.setMaxRows(0);
    sp.setMaxRows(kRows);
    for (int r = 1; r <= kRows; ++r) {
        const QString mid = QStringLiteral("SCH-X%1").arg(r);
        sp.setText(1, r, QStringLiteral("%1").arg(r, 6, 10, QLatin1Char('0')));
        sp.setText(2, r, mid);
        sp.setText(3, r, QString::number(2000 + r % 25));
        sp.setText(4, r, makers[r % makers.size()]);
        sp.setText(5, r, r % 2 ? QStringLiteral("폴더") : QStringLiteral("슬라이드"));
        sp.setText(6, r, r % 3 ? QStringLiteral("내장형") : QStringLiteral("외장형"));
        sp.setText(7, r, QStringLiteral("모델 %1").arg(r * 7 % 100003));
        sp.setText(8, r, QStringLiteral("1.%1").arg(r % 60));
        sp.setText(9, r, QStringLiteral("애칭%1").arg(r % 997));
        sp.setText(10, r, QString());
        sp.setCellPicture(10, r, pictures[r % pictures.size()]);
        sp.setText(11, r, QString::number(r + 1));
    }
    sp.setActiveCell(1, 1);
    sp.setRedraw(true);
}
} // namespace

int main(int argc, char **argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    QStringList pictures;
    for (int i = 0; i < 20; ++i) {
        QImage img(160, 120, QImage::Format_RGB32);
        img.fill(QColor::fromHsv(i * 18, 200, 200));
        const QString file = dir.path() + QStringLiteral("/p%1.bmp").arg(i);
        img.save(file);
        pictures << file;
    }
    report("start_vmhwm", vmHwmMb(), "MB");

    Spread sp;
    modSpread60::CommonSpreadDesign(&sp, true, true, true, true, true);
    sp.setMaxCols(kCols);
    modSpread60::SetPictureColumn(&sp, 10);
    modSpread60::SetColHidden(&sp, 11, true);
    sp.resize(1280, 800);
    sp.show();
    QApplication::processEvents();

    QElapsedTimer t;
    t.start();
    fill(sp, pictures);
    report("fill_100000x11_ms", t.nsecsElapsed() / 1e6, "ms");
    report("fill_vmhwm", vmHwmMb(), "MB");

    t.restart();
    QApplication::processEvents();
    sp.viewport()->repaint();
    report("first_paint_ms", t.nsecsElapsed() / 1e6, "ms");

    // Scroll a page at a time through the first 200 pages and jump through the whole grid.
    QScrollBar *bar = sp.verticalScrollBar();
    const int page = std::max(1, bar->pageStep());
    t.restart();
    int paints = 0;
    for (int i = 1; i <= 200; ++i, ++paints) {
        bar->setValue(i * page);
        sp.viewport()->repaint();
    }
    for (int i = 0; i <= 100; ++i, ++paints) {
        bar->setValue(int(qint64(bar->maximum()) * i / 100));
        sp.viewport()->repaint();
    }
    report("scroll_ms_per_page", t.nsecsElapsed() / 1e6 / paints, "ms");
    report("scroll_picture_file_reads", sp.sheetModel()->pictures().loads(), "reads");
    report("scroll_vmhwm", vmHwmMb(), "MB");

    // Find next from the top for a text only the last rows hold, both directions.
    const QString needle = QStringLiteral("SCH-X99999");
    t.restart();
    auto hit = SheetSearch::findNext(sp.sheet(), 1, 1, 0, -1, needle, Spread::SearchWhole, SheetSearch::ByRow);
    report("find_by_row_ms", t.nsecsElapsed() / 1e6, hit ? "ms (found)" : "ms (missing)");
    t.restart();
    hit = SheetSearch::findNext(sp.sheet(), 1, 1, 0, -1, needle, Spread::SearchWhole, SheetSearch::ByColumn);
    report("find_by_column_ms", t.nsecsElapsed() / 1e6, hit ? "ms (found)" : "ms (missing)");
    t.restart();
    const int row = sp.searchCol(9, 0, -1, QStringLiteral("애칭99"), Spread::SearchPartial);
    report("search_col_partial_ms", t.nsecsElapsed() / 1e6, row > 0 ? "ms (found)" : "ms (missing)");

    t.restart();
    sp.sortRows(7, true);
    report("sort_by_column_ms", t.nsecsElapsed() / 1e6, "ms");

    t.restart();
    fill(sp, pictures);
    report("refill_ms", t.nsecsElapsed() / 1e6, "ms");
    report("end_vmhwm", vmHwmMb(), "MB");
    return 0;
}
