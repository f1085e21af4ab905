// The .xls export of a large handset list: time, memory above the start and file size,
// beside python3-xlwt writing the same rows.
//   bench_export [rows=100000] [file to keep the workbook in]
#include "BenchData.h"
#include "XlsWriter.h"
#include <QCoreApplication>
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
} // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    const int rows = argc > 1 ? atoi(argv[1]) : 100000;
    QTemporaryDir dir;
    const QString file = argc > 2 ? QString::fromLocal8Bit(argv[2]) : dir.filePath(QStringLiteral("list.xls"));

    QElapsedTimer t;
    t.start();
    const QStringList head{QStringLiteral("코드"), QStringLiteral("모델ID"), QStringLiteral("출시년도"), QStringLiteral("제조사"),
                           QStringLiteral("형태"), QStringLiteral("안테나"), QStringLiteral("모델명"), QStringLiteral("SAR"),
                           QStringLiteral("애칭"), QStringLiteral("색상"), QStringLiteral("비고")};
    const QStringList makers{QStringLiteral("삼성전자"), QStringLiteral("LG전자"), QStringLiteral("팬택"), QStringLiteral("애플"), QStringLiteral("모토로라")};
    const QStringList opens{QStringLiteral("폴더"), QStringLiteral("슬라이드"), QStringLiteral("바"), QStringLiteral("터치")};
    const QStringList colours{QStringLiteral("블랙"), QStringLiteral("화이트"), QStringLiteral("실버"), QString()};
    SheetStore s;
    s.setMaxCols(11);
    s.setMaxRows(rows + 1);
    for (int c = 1; c <= 11; ++c)
        s.setText(c, 1, head[c - 1]);
    s.setFormat(-1, 1, &CellFormat::bold, true);
    s.setFormat(-1, 1, &CellFormat::hAlign, HAlign::Center);
    for (int i = 1; i <= rows; ++i) {
        const int r = i + 1;
        s.setText(1, r, QStringLiteral("%1").arg(i, 6, 10, QLatin1Char('0')));
        s.setText(2, r, QStringLiteral("SM-G%1").arg(i % 9000 + 1000));
        s.setText(3, r, QString::number(2000 + i % 25));
        s.setText(4, r, makers[i % makers.size()]);
        s.setText(5, r, opens[i % opens.size()]);
        s.setText(6, r, i % 3 ? QStringLiteral("내장형") : QStringLiteral("외장형"));
        s.setText(7, r, QStringLiteral("갤럭시 모델 %1").arg(i));
        s.setText(8, r, QString::number(0.3 + (i % 120) / 100.0, 'f', 3));
        s.setText(9, r, QStringLiteral("애칭%1").arg(i % 997));
        s.setText(10, r, colours[i % colours.size()]);
        s.setText(11, r, i % 10 ? QString() : QStringLiteral("단종 예정, \"재고\" 확인"));
    }
    std::printf("store of %d rows x 11 columns: %lld ms\n", rows, t.elapsed());
    std::vector<XlsColumn> cols;
    for (int c = 1; c <= 11; ++c)
        cols.push_back({c, c == 7 ? 20.0 : 10.0});
    XlsOptions opt;
    opt.headerRows = 1;
    opt.fontName = QStringLiteral("굴림");

    BenchData::forgetPeak();
    const long before = BenchData::peakKb();
    t.restart();
    const XlsResult res = writeXlsFile(s, rows + 1, cols, opt, file);
    const qint64 ourMs = t.elapsed();
    if (!res.ok) {
        std::printf("writeXlsFile failed: %s\n", qPrintable(res.error));
        return 1;
    }
    std::printf("writeXlsFile: %lld ms (%d sheets)\n", ourMs, res.sheets);
    std::printf("peak memory above the start: %ld MB\n", (BenchData::peakKb() - before) / 1024);
    std::printf("file size: %.1f MB\n", QFileInfo(file).size() / 1048576.0);

    // The same rows for xlwt, as tab-separated text it reads before timing itself.
    const QString tsv = dir.filePath(QStringLiteral("rows.tsv"));
    {
        QFile f(tsv);
        if (!f.open(QIODevice::WriteOnly))
            return 1;
        QTextStream out(&f);
        for (int r = 1; r <= rows + 1; ++r) {
            for (int c = 1; c <= 11; ++c)
                out << (c > 1 ? "\t" : "") << s.textView(c, r);
            out << '\n';
        }
    }
    const QString xlwtFile = dir.filePath(QStringLiteral("xlwt.xls"));
    QProcess py;
    t.restart();
    py.start(QFile::exists(QStringLiteral("/usr/bin/python3")) ? QStringLiteral("/usr/bin/python3") : QStringLiteral("python3"),
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
    std::printf("xlwt / writeXlsFile: %.1fx\n", ourMs > 0 ? double(xlwtMs) / ourMs : 0.0);
    return 0;
}
