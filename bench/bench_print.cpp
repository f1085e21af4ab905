// Printing the handset list of a large catalogue: F7 to the first preview page on screen,
// the page count, one page painted, the whole printout into a PDF file (time, pages, memory),
// beside LibreOffice converting the same rows from a CSV file into a PDF file, told to read
// the file as UTF-8 with every column as text (else it reads Latin-1 and turns the management
// numbers "000001" into 1), so that it prints the texts the list prints. The picture column
// has no text and is not in the file.
//   bench_print [rows=100000] [picture share percent=10]
#include "AppPaths.h"
#include "AppState.h"
#include "BenchData.h"
#include "FrmSPPrint_Preview.h"
#include "Schema.h"
#include "SheetPreview.h"
#include "SheetPrinter.h"
#include "Spread.h"
#include "SpreadPrint.h"
#include "fbMobil_Admin.h"
#include "modMDB_Func.h"
#include "modSpreadPrint.h"
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPainter>
#include <QPdfWriter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>

namespace {
// The PDF of the grid's selected pages; its time in ms, or -1.
qint64 writePdf(const Spread &grid, const QString &file) {
    QElapsedTimer t;
    t.start();
    QPdfWriter pdf(file);
    return printSheet(grid, pdf) ? t.elapsed() : -1;
}

QString csvField(const QString &s) {
    return s.contains(QLatin1Char(',')) || s.contains(QLatin1Char('"'))
               ? QLatin1Char('"') + QString(s).replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"')
               : s;
}
} // namespace

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    const int rows = argc > 1 ? atoi(argv[1]) : 100000;
    const int share = argc > 2 ? atoi(argv[2]) : 10;
    QTemporaryDir dir;
    if (BenchData::openCatalogue(dir.path(), rows, share).isEmpty())
        return 1;
    fbMobil_Admin list;
    list.resize(1200, 800);
    list.show();
    list.QueryList();
    QApplication::processEvents();
    std::printf("rows: %d (%d%% with pictures)\n", list.spList->maxRows(), share);

    QElapsedTimer t;
    qint64 firstPage = -1, onePage = -1;
    int pages = 0;
    QTimer::singleShot(0, [&] {
        auto *w = qobject_cast<FrmSPPrint_Preview *>(QApplication::activeModalWidget());
        if (!w)
            return;
        SheetPreview *pv = w->fpSpreadPreview1;
        while (pv->renders() == 0 && t.elapsed() < 60000)
            QApplication::processEvents();
        firstPage = t.elapsed();
        pages = pv->pageCount();
        const QRect r = pv->pageRects().value(0);
        QImage img(r.size(), QImage::Format_RGB32);
        QElapsedTimer p;
        p.start();
        {
            QPainter painter(&img);
            pv->printer()->paintPage(painter, pages / 2, QRectF(QPointF(0, 0), QSizeF(r.size())));
        }
        onePage = p.nsecsElapsed() / 1000;
        w->ButtonClick(FrmSPPrint_Preview::ColClose);
    });
    t.start();
    list.PrintList(); // what F7 does
    std::printf("F7 to the first preview page painted: %lld ms\n", firstPage);
    std::printf("pages: %d\n", pages);
    std::printf("one page painted (preview size): %.1f ms\n", onePage / 1000.0);

    // Memory while writing the last tenth of the pages (the picture column's pages come
    // last), then all of them: it must not follow the pages.
    SheetPrintProps &props = list.spList->printProps();
    BenchData::forgetPeak();
    const long base = BenchData::peakKb();
    props.type = SheetPrintProps::PageRange;
    props.pageEnd = pages;
    props.pageStart = std::max(1, pages - pages / 10 + 1);
    const qint64 tenthMs = writePdf(*list.spList, dir.path() + QStringLiteral("/tenth.pdf"));
    const long tenthPeak = BenchData::peakKb();
    props.type = SheetPrintProps::All;
    const QString pdfFile = dir.path() + QStringLiteral("/all.pdf");
    const double pdfStart = BenchData::cpuMs();
    const qint64 pdfMs = writePdf(*list.spList, pdfFile);
    const double pdfCpu = BenchData::cpuMs() - pdfStart;
    const long allPeak = BenchData::peakKb();
    std::printf("PDF of the last %d pages: %lld ms, %lld MB\n", props.pageEnd - props.pageStart + 1, tenthMs,
                QFile(dir.path() + "/tenth.pdf").size() >> 20);
    std::printf("PDF of all %d pages: %lld ms, %lld MB\n", pages, pdfMs, QFile(pdfFile).size() >> 20);
    std::printf("peak memory above the list: %ld MB for a tenth, %ld MB for all pages\n", (tenthPeak - base) / 1024,
                (allPeak - base) / 1024);

    // LibreOffice on the same texts, one CSV line per row.
    const QString soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    if (soffice.isEmpty()) {
        std::printf("LibreOffice: soffice not installed\n");
    } else {
        QFile csv(dir.path() + QStringLiteral("/list.csv"));
        if (!csv.open(QIODevice::WriteOnly))
            return 1;
        for (int r = 0; r <= list.spList->maxRows(); ++r) {
            QStringList cells;
            for (int c = 1; c <= 9; ++c)
                cells << csvField(r == 0 ? list.spList->headerText(c, 1) : list.spList->text(c, r));
            csv.write(cells.join(QLatin1Char(',')).toUtf8() + '\n');
        }
        csv.close();
        // Comma, double quote, UTF-8 (76), from line 1; then column n as text (format 2).
        QStringList formats;
        for (int c = 1; c <= 9; ++c)
            formats << QStringLiteral("%1/2").arg(c);
        const QString filter = QStringLiteral("CSV:44,34,76,1,") + formats.join(QLatin1Char('/'));
        QProcess lo;
        lo.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        lo.setStandardOutputFile(QProcess::nullDevice());
        const double loStart = BenchData::cpuMs(true);
        t.restart();
        lo.start(soffice,
                 {QStringLiteral("--headless"), QStringLiteral("-env:UserInstallation=file://") + dir.path() + "/lo",
                  QStringLiteral("--infilter=") + filter, QStringLiteral("--convert-to"), QStringLiteral("pdf"),
                  QStringLiteral("--outdir"), dir.path() + "/lo-out", csv.fileName()});
        lo.waitForFinished(-1);
        const qint64 loMs = t.elapsed();
        const double loCpu = BenchData::cpuMs(true) - loStart;
        const QString loPdf = dir.path() + QStringLiteral("/lo-out/list.pdf");
        std::printf("LibreOffice CSV to PDF (%s): %lld ms wall, %.0f ms CPU (%s), %.1fx our PDF time (%.0f ms "
                    "CPU, %.1fx)\n",
                    qPrintable(filter), loMs, loCpu, QFile::exists(loPdf) ? "written" : "no file",
                    pdfMs > 0 ? double(loMs) / pdfMs : 0.0, pdfCpu, pdfCpu > 0 ? loCpu / pdfCpu : 0.0);
        // What it printed: the first row's management number as text, the Korean as Korean.
        QProcess text;
        text.start(QStringLiteral("pdftotext"),
                   {QStringLiteral("-l"), QStringLiteral("1"), loPdf, QStringLiteral("-")});
        if (text.waitForFinished(-1) && text.exitCode() == 0) {
            const QString page = QString::fromUtf8(text.readAllStandardOutput());
            std::printf("LibreOffice's first page: \"%s\" %s, \"%s\" %s\n", qPrintable(list.spList->text(1, 1)),
                        page.contains(list.spList->text(1, 1)) ? "found" : "MISSING",
                        qPrintable(list.spList->text(4, 1)),
                        page.contains(list.spList->text(4, 1)) ? "found" : "MISSING");
        }
    }
    modMDB_Func::DBTerminate();
    return 0;
}
