#include "EnvFixture.h"
#include "HeaderFooterCode.h"
#include "SheetModel.h"
#include "SheetPrinter.h"
#include "Spread.h"
#include "SpreadPrint.h"
#include "modSpreadPrint.h"
#include <QPainter>
#include <QPdfWriter>
#include <QProcess>
#include <QTest>
#include <numeric>

using namespace HeaderFooterCode;

namespace {
const Font kDefault{QStringLiteral("Base"), 10};

// A grid with fixed metrics: rows and the header row 18 pt (360 twips), margins 1 inch,
// no header or footer text.
void shape(Spread &g, int cols, int rows, double width = 10) {
    g.setMaxCols(cols);
    g.setMaxRows(rows);
    g.setColWidth(-1, width);
    g.setRowHeight(-1, 18);
    g.setRowHeight(0, 18);
    for (int r = 1; r <= rows; ++r)
        for (int c = 1; c <= cols; ++c)
            g.setText(c, r, QStringLiteral("모델%1-%2").arg(r).arg(c));
    SheetPrintProps &p = g.printProps();
    p.marginTop = p.marginBottom = p.marginLeft = p.marginRight = 1440;
    p.header.clear();
    p.footer.clear();
}

// One pixel is ten twips.
QImage render(const SheetPrinter &sp, int page) {
    const QSize size(qRound(sp.paperSize().width() / 10), qRound(sp.paperSize().height() / 10));
    QImage img(size, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    sp.paintPage(p, page, QRectF(QPointF(0, 0), QSizeF(size)));
    return img;
}

bool dark(const QImage &img, int x, int y) { return qGray(img.pixel(x, y)) < 128; }

// Any ink (black or the grey of grid lines) in the row y between x1 and x2.
bool darkRow(const QImage &img, int y, int x1, int x2) {
    for (int x = x1; x <= x2; ++x)
        if (qGray(img.pixel(x, y)) < 220)
            return true;
    return false;
}

QString run(const QString &program, const QStringList &args) {
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(30000) || p.exitCode() != 0)
        return QStringLiteral("<%1 failed: %2>").arg(program, QString::fromUtf8(p.readAllStandardError()));
    return QString::fromUtf8(p.readAllStandardOutput());
}
} // namespace

class TestPrintEngine : public EnvFixture {
    Q_OBJECT

private Q_SLOTS:

    void headerCodesReadAsTheJobWritesThem() {
        const Document header =
            parse(modSpreadPrint::PageHeader(QStringLiteral("핸드폰 관리"), QStringLiteral("관리자"), QString(), 16),
                  kDefault);
        QCOMPARE(header.size(), size_t(4)); // title, empty, left/centre, the line after
        QCOMPARE(header[0].runs.size(), size_t(1));
        QCOMPARE(header[0].runs[0].text, QStringLiteral("핸드폰 관리"));
        QCOMPARE(header[0].runs[0].align, Align::Center);
        QCOMPARE(header[0].runs[0].font, (Font{QStringLiteral("굴림체"), 16, true}));
        QVERIFY(header[1].runs.empty());
        QCOMPARE(header[2].runs[0].text, QStringLiteral("관리자"));
        QCOMPARE(header[2].runs[0].align, Align::Left);
        QVERIFY(header[3].runs.empty());

        const Document footer =
            parse(modSpreadPrint::FullFooter(true, QStringLiteral("첫줄\r\n둘째줄"), 16, QDate(2024, 5, 15)), kDefault);
        QCOMPARE(footer.size(), size_t(3));
        QCOMPARE(footer[0].runs[0].text, QStringLiteral("첫줄"));
        QCOMPARE(footer[0].runs[0].font, kDefault); // before the font block
        QCOMPARE(footer[1].runs[0].text, QStringLiteral("둘째줄"));
        const auto &page = footer[2].runs;
        QCOMPARE(page.size(), size_t(5));
        QCOMPARE(page[1].kind, Run::PageNumber);
        QCOMPARE(page[2].text, QStringLiteral("/"));
        QCOMPARE(page[3].kind, Run::PageCount);
        QCOMPARE(page[4].text, QStringLiteral("출력일:2024.05.15"));
        QCOMPARE(page[4].align, Align::Center);
        QCOMPARE(page[4].font.size, 9.0);
        QString printed;
        for (const Run &r : page)
            printed += runText(r, 3, 7);
        QCOMPARE(printed, QStringLiteral("Page: 3/7출력일:2024.05.15"));
        QVERIFY(parse(modSpreadPrint::FullFooter(false, QString(), 16, QDate(2024, 5, 15)), kDefault).empty());
    }

    void codesRoundTrip_data() {
        QTest::addColumn<QString>("code");
        QTest::newRow("header") << modSpreadPrint::PageHeader("제목 (총검색수 : 40)", "홍길동", "가운데", 16);
        QTest::newRow("footer") << modSpreadPrint::FullFooter(true, "a\r\nb", 12, QDate(2024, 5, 15));
        QTest::newRow("page then c") << QStringLiteral("/p/fb1copy/pc/r//x");
        QTest::newRow("styles") << QStringLiteral("/fi1/fk1/fu1a/fi0b/fn\"Other\"/fz\"7.5\"/n/n/rend");
        QTest::newRow("stored fonts") << QStringLiteral("/fb1/fs3/fb0plain/f3bold/f9/cstill");
        for (const char *alone : {"/l", "/c", "/r", "/fb0", "/l/n", "/c/fb1"})
            QTest::newRow(alone) << QString::fromLatin1(alone);
        QTest::newRow("size to the last digit") << QStringLiteral("/fz\"7.0123456789\"x/fz\"1e-7\"y");
    }
    void codesRoundTrip() {
        QFETCH(QString, code);
        const Document doc = parse(code, kDefault);
        const QString written = write(doc, kDefault);
        QCOMPARE(parse(written, kDefault), doc);
        QCOMPARE(write(parse(written, kDefault), kDefault), written);
    }

    void malformedCodesPrintWhatCanBeRead() {
        const auto textOf = [](const QString &code) {
            QString out;
            for (const Line &l : parse(code, kDefault))
                for (const Run &r : l.runs)
                    out += runText(r, 1, 1);
            return out;
        };
        QCOMPARE(textOf("/x/"), QStringLiteral("/x/"));
        QCOMPARE(textOf("a/fn\"open"), QStringLiteral("a/fn\"open"));
        QCOMPARE(textOf("/fz\"big\"x"), QStringLiteral("x")); // a size that is no number is ignored
        QCOMPARE(textOf("/fb/fs/f"), QStringLiteral("/fb/fs/f"));
        QCOMPARE(parse("/fz\"1e9\"x", kDefault)[0].runs[0].font.size, 10.0);
    }

    // Margins, rows per page and page order, by hand: A4 is 16838 twips high; 1 inch margins
    // leave 13958, the header row takes 360, so 37 rows of 360 fit.
    void pagesFollowTheGeometry() {
        Spread g;
        shape(g, 3, 100);
        SheetPrinter portrait(*g.sheetModel(), g.printProps());
        QCOMPARE(portrait.pageCount(), 3);
        QCOMPARE(portrait.firstRowOf(2), 38);
        QCOMPARE(portrait.lastRowOf(3), 100);
        QCOMPARE(portrait.pageBreakRows(), (std::vector<int>{38, 75}));

        const QImage img = render(portrait, 1);
        QVERIFY(dark(img, 144, 300)); // the border on the left margin
        QVERIFY(!darkRow(img, 300, 0, 140));
        QVERIFY(darkRow(img, 144, 150, 300));  // top margin
        QVERIFY(darkRow(img, 1512, 150, 300)); // bottom of row 37: 1440 + 360 + 37 * 360
        QVERIFY(!darkRow(img, 1530, 150, 300));

        g.printProps().orientation = 2; // 11906 - 2880 - 360 = 8666: 24 rows
        SheetPrinter landscape(*g.sheetModel(), g.printProps());
        QCOMPARE(landscape.paperSize(), QSizeF(16838, 11906));
        QCOMPARE(landscape.pageCount(), 5);
        QCOMPARE(landscape.firstRowOf(2), 25);
        QCOMPARE(render(landscape, 1).size(), QSize(1684, 1191));
    }

    // A header line wider than the page is narrowed into the margins, not cut at the edge.
    void aLongHeaderStaysBetweenTheMargins() {
        Spread g;
        shape(g, 3, 10);
        g.printProps().header = modSpreadPrint::PageHeader(QString(160, QChar(u'관')), QString(), QString(), 16);
        SheetPrinter sp(*g.sheetModel(), g.printProps());
        const QImage img = render(sp, 1);
        const int right = img.width() - 144; // one-inch margins, ten twips a pixel
        int inkFrom = img.width(), inkTo = 0;
        for (int y = 144; y < 180; ++y)
            for (int x = 0; x < img.width(); ++x)
                if (dark(img, x, y)) {
                    inkFrom = std::min(inkFrom, x);
                    inkTo = std::max(inkTo, x);
                }
        QVERIFY2(inkFrom >= 143 && inkTo <= right + 1, qPrintable(QString("%1..%2").arg(inkFrom).arg(inkTo)));
        QVERIFY2(inkFrom < 160 && inkTo > right - 16, qPrintable(QString("%1..%2").arg(inkFrom).arg(inkTo)));
    }

    void hiddenAndRangesAndWideColumns() {
        Spread g;
        shape(g, 6, 100, 60);
        g.setRowHidden(5, true);
        g.setColHidden(2, true);
        SheetPrinter wide(*g.sheetModel(), g.printProps());
        QCOMPARE(wide.firstRowOf(2), 39); // 37 printed rows, one of them skipped
        const int rowPages = 3;
        QCOMPARE(wide.pageCount() % rowPages, 0);
        const int bands = wide.pageCount() / rowPages;
        QVERIFY(bands > 1);
        // Down the rows first, then across.
        QCOMPARE(wide.columnsOf(1), wide.columnsOf(rowPages));
        QVERIFY(wide.columnsOf(rowPages + 1) != wide.columnsOf(1));
        std::vector<int> all;
        for (int b = 0; b < bands; ++b)
            for (int c : wide.columnsOf(b * rowPages + 1))
                all.push_back(c);
        QCOMPARE(all, (std::vector<int>{1, 3, 4, 5, 6}));

        g.printProps().scalingMethod = 1;
        SheetPrinter fit(*g.sheetModel(), g.printProps());
        QVERIFY(fit.scale() < 1);
        QCOMPARE(fit.columnsOf(1), all);
        QVERIFY(fit.pageCount() < rowPages); // the smaller rows flow onto fewer pages

        g.printProps().scalingMethod = 0;
        g.setColWidth(4, 10);
        g.printProps().type = SheetPrintProps::CellRange;
        g.printProps().col = 3;
        g.printProps().col2 = 4;
        g.printProps().row = 10;
        g.printProps().row2 = 20;
        SheetPrinter range(*g.sheetModel(), g.printProps());
        QCOMPARE(range.pageCount(), 1);
        QCOMPARE(range.firstRowOf(1), 10);
        QCOMPARE(range.lastRowOf(1), 20);
        QCOMPARE(range.columnsOf(1), (std::vector<int>{3, 4}));

        g.printProps().type = SheetPrintProps::PageRange;
        g.printProps().pageStart = 2;
        g.printProps().pageEnd = 99;
        const SheetPrinter pages(*g.sheetModel(), g.printProps());
        std::vector<int> fromTwo(size_t(pages.pageCount() - 1));
        std::iota(fromTwo.begin(), fromTwo.end(), 2);
        QCOMPARE(pages.printedPages(), fromTwo); // cut at the last page
        g.printProps().pageStart = 5;
        g.printProps().pageEnd = 4;
        QVERIFY(SheetPrinter(*g.sheetModel(), g.printProps()).printedPages().empty());
        g.printProps().type = SheetPrintProps::CurrentPage;
        g.printProps().currentPage = 4;
        QCOMPARE(SheetPrinter(*g.sheetModel(), g.printProps()).printedPages(), (std::vector<int>{4}));
    }

    void dataCellsOnlyStopsAtTheData() {
        Spread g;
        shape(g, 3, 10);
        g.setMaxCols(5);
        g.setMaxRows(200);
        g.printProps().dataCellsOnly = true;
        SheetPrinter data(*g.sheetModel(), g.printProps());
        QCOMPARE(data.pageCount(), 1);
        QCOMPARE(data.lastRowOf(1), 10);
        QCOMPARE(data.columnsOf(1), (std::vector<int>{1, 2, 3}));
        g.printProps().dataCellsOnly = false;
        QCOMPARE(SheetPrinter(*g.sheetModel(), g.printProps()).pageCount(), 6);
    }

    void colourOffPrintsBlackOnWhite() {
        Spread g;
        shape(g, 2, 4);
        g.sheetModel()->setOddEvenColors(QColor(255, 0, 0), Qt::black, QColor(255, 0, 0), Qt::black);
        const auto hasRed = [](const QImage &img) {
            for (int y = 0; y < img.height(); y += 3)
                for (int x = 0; x < img.width(); x += 3)
                    if (img.pixelColor(x, y) == QColor(255, 0, 0))
                        return true;
            return false;
        };
        QVERIFY(hasRed(render(SheetPrinter(*g.sheetModel(), g.printProps()), 1)));
        g.printProps().color = false;
        QVERIFY(!hasRed(render(SheetPrinter(*g.sheetModel(), g.printProps()), 1)));
    }

    // Column 1 merges equal texts: no line between its merged rows, lines in column 2.
    void mergedCellsArePaintedAsOne() {
        Spread g;
        shape(g, 2, 4, 20);
        g.printProps().grid = true;
        g.printProps().rowHeaders = false;
        for (int r = 1; r <= 3; ++r)
            g.setText(1, r, QStringLiteral("같음"));
        g.setColMerge(1, SheetStore::Merge::Always);
        const QImage img = render(SheetPrinter(*g.sheetModel(), g.printProps()), 1);
        const int lineY = (1440 + 360 + 360) / 10; // between rows 1 and 2
        int right = img.width() - 1;               // the border's right edge, found in the middle of row 1
        while (right > 0 && !dark(img, right, lineY - 10))
            --right;
        QVERIFY(right > 300);
        QVERIFY(!darkRow(img, lineY, 150, 170));              // inside column 1
        QVERIFY(darkRow(img, lineY, right - 30, right - 10)); // inside column 2
        QVERIFY(darkRow(img, lineY + 72, 150, 170));          // below row 3 the merge ends

        g.setColMerge(2, SheetStore::Merge::Restricted);
        g.setText(2, 1, "x");
        g.setText(2, 2, "x");
        g.setText(2, 4, "x");
        g.setText(2, 5, "x");
        QVERIFY(g.sheet().mergesWithAbove(2, 2));
        g.setText(1, 2, "다름");
        QVERIFY(!g.sheet().mergesWithAbove(2, 2)); // the column to its left no longer merges there
    }

    // A cell's own font and text colour print as the grid shows them.
    void cellsPrintInTheirOwnFontAndColour() {
        Spread g;
        shape(g, 2, 2, 20);
        g.setText(1, 1, QStringLiteral("Serif italic"));
        g.setFontName(1, 1, QStringLiteral("DejaVu Serif"));
        g.setFontItalic(1, 1, true);
        g.setForeColor(2, 2, QColor(255, 0, 0));
        const QString file = env->root() + QStringLiteral("/fonts.pdf");
        {
            QPdfWriter pdf(file);
            QVERIFY(printSheet(g, pdf));
        }
        const QString fonts = run("pdffonts", {file});
        QVERIFY2(fonts.contains(QStringLiteral("DejaVuSerif-Italic")), qPrintable(fonts));
        QVERIFY(run("pdftotext", {file, "-"}).contains(QStringLiteral("Serif italic")));

        const auto anyRed = [&] {
            const QImage page = render(*printLayout(g), 1);
            for (int y = 0; y < page.height(); ++y)
                for (int x = 0; x < page.width(); ++x)
                    if (const QColor c = page.pixelColor(x, y); c.red() > 200 && c.green() < 80 && c.blue() < 80)
                        return true;
            return false;
        };
        QVERIFY(anyRed());
        g.printProps().color = false; // colour off prints black
        QVERIFY(!anyRed());
    }

    // The footer of the printing job, rendered into a PDF and read back as text.
    void pdfCarriesPageFieldsAndDate() {
        Spread g;
        shape(g, 2, 1000, 25);
        SheetPrintProps &p = g.printProps();
        p.header = modSpreadPrint::PageHeader(QStringLiteral("핸드폰 관리 (총검색수 : 250)"), QStringLiteral("홍길동"),
                                              QString(), 16);
        p.footer = modSpreadPrint::FullFooter(true, QString(), 16, env->clock.today());
        g.setMaxRows(printLayout(g)->lastRowOf(1) * 6 + 5);
        const int count = printPageCount(g);
        QCOMPARE(count, 7);
        const int first3 = printLayout(g)->firstRowOf(3);
        g.setText(2, first3, QStringLiteral("갤럭시 S24 울트라")); // spaces must survive into the PDF text
        const QString file = env->root() + QStringLiteral("/out.pdf");
        {
            QPdfWriter pdf(file);
            QVERIFY(printSheet(g, pdf));
        }
        QVERIFY(run("pdfinfo", {file}).contains(QRegularExpression("Pages:\\s+7\\n")));
        const QString page3 = run("pdftotext", {"-f", "3", "-l", "3", "-layout", file, "-"});
        QVERIFY2(page3.contains("Page: 3/7"), qPrintable(page3.left(400)));
        QVERIFY(page3.contains("출력일:2024.05.15"));
        QVERIFY(page3.contains("핸드폰 관리 (총검색수 : 250)"));
        QVERIFY(page3.contains("홍길동"));
        QVERIFY(page3.contains("갤럭시 S24 울트라"));
        const auto layout = printLayout(g);
        const int first = layout->firstRowOf(3), last = layout->lastRowOf(3);
        QVERIFY(page3.contains(QStringLiteral("모델%1-1").arg(first)));
        QVERIFY(page3.contains(QStringLiteral("모델%1-2").arg(last)));
        QVERIFY(!page3.contains(QStringLiteral("모델%1-1 ").arg(first - 1)));
    }
};

QTEST_MAIN(TestPrintEngine)
#include "tst_print_engine.moc"
