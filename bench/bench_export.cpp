// F8 in the handset list of a large catalogue, up to the closed .xls file: time, memory
// above the list and file size, beside python3-xlwt writing the same rows.
//   bench_export [rows=100000] [file to keep the workbook in]
#include "BenchData.h"
#include "Prompter.h"
#include "Shell.h"
#include "Spread.h"
#include "fbMobil_Admin.h"
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>
#include <cstdio>

namespace {
// Reads the rows before its clock starts; the first row is the header, one sheet per 65,536 rows.
const char *kXlwt = R"PY(
import sys, time
try:
    import xlwt
except ImportError:
    sys.exit(3)
rows = [l.rstrip('\n').split('\t') for l in open(sys.argv[1], encoding='utf-8')]
t = time.perf_counter()
wb = xlwt.Workbook(encoding='utf-8')
head = xlwt.easyxf('font: bold on; align: horiz center')
per = 65536 - 1
data = rows[1:]
for k in range(max(1, -(-len(data) // per))):
    ws = wb.add_sheet('Sheet1' if k == 0 else 'Sheet1 (%d)' % (k + 1))
    for c, v in enumerate(rows[0]):
        ws.write(0, c, v, head)
    for r, row in enumerate(data[k * per:(k + 1) * per], 1):
        for c, v in enumerate(row):
            if v:
                ws.write(r, c, v)
wb.save(sys.argv[2])
print('%.0f' % ((time.perf_counter() - t) * 1000))
)PY";

// Says yes to the export's question and keeps the file it would open.
class YesPrompter : public DecliningPrompter {
public:
    void message(Icon, const QString &, const QString &text) override {
        std::printf("message: %s\n", qPrintable(text));
    }
    int question(const QString &, const QString &, bool) override { return Yes; }
};
class KeepShell : public Shell {
public:
    QString opened;
    int start(const QString &, const QString &, const QString &, Show, bool) override { return -1; }
    bool open(const QString &file) override {
        opened = file;
        return true;
    }
};
} // namespace

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    const int rows = argc > 1 ? atoi(argv[1]) : 100000;
    QTemporaryDir dir;
    if (BenchData::openCatalogue(dir.path(), rows, 0).isEmpty())
        return 1;
    YesPrompter yes;
    KeepShell keep;
    Prompter::install(&yes);
    Shell::install(&keep);
    fbMobil_Admin list;
    list.resize(1200, 800);
    list.show();
    list.QueryList();
    QApplication::processEvents();
    const Spread &g = *list.spList;
    QList<int> shown;
    for (int c = 1; c <= g.maxCols(); ++c)
        if (!g.colHidden(c))
            shown << c;
    std::printf("rows: %d, columns exported: %lld\n", g.maxRows(), qlonglong(shown.size()));

    BenchData::forgetPeak();
    const long before = BenchData::peakKb();
    QElapsedTimer t;
    t.start();
    list.ExportList();
    const qint64 ourMs = t.elapsed();
    const long peak = BenchData::peakKb() - before;
    const QString written = QDir::fromNativeSeparators(keep.opened);
    if (written.isEmpty()) {
        std::printf("F8 wrote no file\n");
        return 1;
    }
    if (argc > 2)
        QFile::copy(written, QString::fromLocal8Bit(argv[2]));
    std::printf("F8 to the closed file: %lld ms\n", ourMs);
    std::printf("peak memory above the list: %ld MB\n", peak / 1024);
    std::printf("file size: %.1f MB\n", QFileInfo(written).size() / 1048576.0);

    // The same cells for xlwt, as tab-separated text it reads before timing itself.
    const QString tsv = dir.filePath(QStringLiteral("rows.tsv"));
    {
        QFile f(tsv);
        if (!f.open(QIODevice::WriteOnly))
            return 1;
        QTextStream out(&f);
        for (int r = 0; r <= g.maxRows(); ++r) {
            for (int c : shown)
                out << (c != shown.first() ? "\t" : "") << (r == 0 ? g.headerText(c, 1) : g.text(c, r));
            out << '\n';
        }
    }
    const QString xlwtFile = dir.filePath(QStringLiteral("xlwt.xls"));
    QProcess py;
    t.restart();
    py.start(QFile::exists(QStringLiteral("/usr/bin/python3")) ? QStringLiteral("/usr/bin/python3")
                                                               : QStringLiteral("python3"),
             {QStringLiteral("-c"), QString::fromUtf8(kXlwt), tsv, xlwtFile});
    py.waitForFinished(-1);
    const qint64 totalMs = t.elapsed();
    if (py.exitCode() == 3) {
        std::printf("python3-xlwt not installed: no comparison\n");
        return 0;
    }
    const qint64 xlwtMs = py.readAllStandardOutput().trimmed().toLongLong();
    if (py.exitCode() != 0 || xlwtMs <= 0) {
        std::printf("xlwt failed: %s\n", py.readAllStandardError().constData());
        return 1;
    }
    std::printf("xlwt inside python: %lld ms\n", xlwtMs);
    std::printf("xlwt with interpreter start and reading the rows: %lld ms\n", totalMs);
    std::printf("xlwt file size: %.1f MB\n", QFileInfo(xlwtFile).size() / 1048576.0);
    std::printf("xlwt / F8: %.1fx\n", ourMs > 0 ? double(xlwtMs) / ourMs : 0.0);
    return 0;
}
