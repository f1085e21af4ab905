// The .xls writer, read back by python3-xlrd (support/xls_read.py): texts, formats, widths,
// sheet splitting and names, failures, and every offset the records store.
#include "CompoundFile.h"
#include "FullDisk.h"
#include "XlsRead.h"
#include "XlsWriter.h"
#include <QBuffer>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

namespace {

QJsonObject readBack(const QString &file, int fmtRows = 0) { return readXlsJson(file, fmtRows, true); }

// What every reader must see: no warnings, no broken offsets.
QString complaints(const QJsonObject &book) {
    QString s = book.value(QStringLiteral("error")).toString() + book.value(QStringLiteral("log")).toString();
    for (const QJsonValue &p : book.value(QStringLiteral("problems")).toArray())
        s += p.toString() + u'\n';
    return s;
}

QJsonArray expectedRows(const SheetStore &s, const std::vector<XlsColumn> &cols, const std::vector<int> &rows) {
    QJsonArray out;
    for (int r : rows) {
        QJsonArray row;
        for (const XlsColumn &c : cols) {
            const QString t = s.text(c.sheetCol, r);
            row.append(t.isEmpty() ? QJsonValue()
                                   : QJsonValue(t.left(32767 - (t.size() > 32767 && t.at(32766).isHighSurrogate()))));
        }
        out.append(row);
    }
    return out;
}

QString difference(const QJsonArray &got, const QJsonArray &want) {
    for (qsizetype r = 0; r < std::max(got.size(), want.size()); ++r)
        if (got.at(r) != want.at(r))
            for (qsizetype c = 0; c < std::max(got.at(r).toArray().size(), want.at(r).toArray().size()); ++c)
                if (got.at(r).toArray().at(c) != want.at(r).toArray().at(c))
                    return QStringLiteral("row %1 col %2: got %3, want %4")
                        .arg(r)
                        .arg(c)
                        .arg(
                            QString::fromUtf8(QJsonDocument(QJsonArray{got.at(r).toArray().at(c)}).toJson().left(80)),
                            QString::fromUtf8(QJsonDocument(QJsonArray{want.at(r).toArray().at(c)}).toJson().left(80)));
    return {};
}

std::vector<int> range(int from, int to) {
    std::vector<int> v;
    for (int r = from; r <= to; ++r)
        v.push_back(r);
    return v;
}

// Accepts up to limit bytes, then fails; sequential, so nothing may seek.
class FailingDevice : public QIODevice {
public:
    explicit FailingDevice(qint64 limit) : m_limit(limit) { open(QIODevice::WriteOnly); }
    bool isSequential() const override { return true; }
    QByteArray bytes;

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *data, qint64 len) override {
        if (bytes.size() + len > m_limit) {
            setErrorString(QStringLiteral("장치 오류"));
            return -1;
        }
        bytes.append(data, len);
        return len;
    }

private:
    qint64 m_limit;
};
} // namespace

class TestXls : public QObject {
    Q_OBJECT
    QTemporaryDir dir;

private Q_SLOTS:
    void textsFormatsAndWidthsReadBack() {
        SheetStore s;
        s.setMaxCols(5);
        s.setMaxRows(9);
        const QStringList head{QStringLiteral("코드"), QStringLiteral("모델명"), QStringLiteral("숨김"),
                               QStringLiteral("메모"), QStringLiteral("긴 글")};
        for (int c = 1; c <= 5; ++c)
            s.setText(c, 1, head[c - 1]);
        s.setText(1, 2, u"No");
        s.setText(2, 2, u"Model");
        for (int r = 1; r <= 2; ++r) {
            s.setFormat(-1, r, &CellFormat::bold, true);
            s.setFormat(-1, r, &CellFormat::hAlign, HAlign::Center);
        }
        const QString long1000 = QString(1000, u'가');
        const QString cut40000 = QString(39990, u'x') + QStringLiteral("끝부분까지 0123");
        const QString cutAtPair = QString(32766, u'a') + QStringLiteral("😀") + QString(100, u'b');
        const QStringList codes{QStringLiteral("000001"), QStringLiteral("000002"), QStringLiteral("0010")};
        for (int r = 3; r <= 9; ++r) {
            s.setText(1, r, codes[r % 3]);
            s.setText(2, r, r % 2 ? QStringLiteral("삼성전자 갤럭시 S%1").arg(r) : QStringLiteral("It's \"quoted\" 😀"));
            s.setText(3, r, QStringLiteral("hidden"));
        }
        s.setText(4, 3, long1000);
        s.setText(4, 5, long1000);
        s.setText(5, 4, cut40000);
        s.setText(5, 9, cutAtPair);
        s.setFormat(2, 6, &CellFormat::hAlign, HAlign::Right);
        s.setFormat(2, 6, &CellFormat::vAlign, VAlign::Top);
        const std::vector<XlsColumn> cols{{1, 8}, {2, 20.5}, {4, 30}, {5, 12.25}};
        XlsOptions opt;
        opt.sheetName = QStringLiteral("목록");
        opt.headerRows = 2;
        opt.fontName = QStringLiteral("굴림");
        opt.fontSize = 10;
        const QString file = dir.filePath(QStringLiteral("texts.xls"));
        const XlsResult res = writeXlsFile(s, 9, cols, opt, file);
        QVERIFY2(res.ok, qPrintable(res.error));
        QCOMPARE(res.sheets, 1);
        QCOMPARE(res.rows, 9);
        QCOMPARE(res.cols, 4);
        QCOMPARE(int(res.cut.size()), 2);
        QCOMPARE(std::tuple(res.cut[0].sheetCol, res.cut[0].sheetRow, res.cut[0].length),
                 std::tuple(5, 4, int(cut40000.size())));
        QCOMPARE(std::tuple(res.cut[1].sheetCol, res.cut[1].sheetRow, res.cut[1].length),
                 std::tuple(5, 9, int(cutAtPair.size())));
        QCOMPARE(QFileInfo(file).size() % 512, 0);

        const QJsonObject book = readBack(file, 9);
        QVERIFY2(complaints(book).isEmpty(), qPrintable(complaints(book)));
        const QJsonObject sh = book.value(QStringLiteral("sheets")).toArray().at(0).toObject();
        QCOMPARE(book.value(QStringLiteral("sheets")).toArray().size(), 1);
        QCOMPARE(sh.value(QStringLiteral("name")).toString(), QStringLiteral("목록"));
        QCOMPARE(sh.value(QStringLiteral("ncols")).toInt(), 4);
        const QJsonArray rows = sh.value(QStringLiteral("rows")).toArray();
        QCOMPARE(rows.size(), 9);
        const QString diff = difference(rows, expectedRows(s, cols, range(1, 9)));
        QVERIFY2(diff.isEmpty(), qPrintable(diff));
        QCOMPARE(rows.at(8).toArray().at(3).toString(), QString(32766, u'a'));
        QCOMPARE(sh.value(QStringLiteral("widths")).toArray(), (QJsonArray{8 * 256, 5248, 30 * 256, 3136}));

        // [bold, weight, horizontal, vertical, font, height]: headers bold and centred, one cell right and top.
        const QJsonArray fmt = sh.value(QStringLiteral("fmt")).toArray();
        for (int r = 0; r < 9; ++r)
            for (int c = 0; c < 4; ++c) {
                const QJsonArray f = fmt.at(r).toArray().at(c).toArray();
                if (rows.at(r).toArray().at(c).isNull())
                    continue;
                const bool head = r < 2, odd = r == 5 && c == 1;
                QVERIFY2(f == (QJsonArray{head ? 1 : 0, head ? 700 : 400,
                                          head  ? 2
                                          : odd ? 3
                                                : 1,
                                          odd ? 0 : 1, QStringLiteral("굴림"), 200}),
                         qPrintable(QStringLiteral("row %1 col %2: %3")
                                        .arg(r)
                                        .arg(c)
                                        .arg(QString::fromUtf8(QJsonDocument(f).toJson()))));
            }
    }

    void sharedStringsCrossContinueRecords() {
        // Lengths and scripts mixed so that headers, compressed and UTF-16 characters all
        // meet record boundaries; one text spans several records; one repeats 2,000 times.
        SheetStore s;
        s.setMaxCols(3);
        s.setMaxRows(3000);
        const QString repeated = QString(1000, u'반');
        for (int r = 1; r <= 3000; ++r) {
            const int len = 1 + (r * 37) % 601;
            s.setText(1, r,
                      r % 3 ? QString(len, QChar(u'a' + r % 26)) + QString::number(r)
                            : QString(len, QChar(u'가' + r % 500)));
            if (r <= 2000)
                s.setText(2, r, repeated);
        }
        s.setText(3, 1, QString(20000, u'한') + u'|');
        s.setText(3, 2, QString(20000, u'z') + u'|');
        s.setText(3, 3000, QStringLiteral("é 라틴-1 다음"));
        const std::vector<XlsColumn> cols{{1, 9}, {2, 9}, {3, 9}};
        QBuffer buf;
        buf.open(QIODevice::WriteOnly);
        const XlsResult res = writeXls(s, 3000, cols, XlsOptions{}, buf);
        QVERIFY2(res.ok, qPrintable(res.error));
        QVERIFY2(buf.size() < 2'000'000, qPrintable(QString::number(buf.size()))); // the repeated text stored once
        const QString file = dir.filePath(QStringLiteral("sst.xls"));
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write(buf.data()) == buf.size());
        f.close();
        const QJsonObject book = readBack(file);
        QVERIFY2(complaints(book).isEmpty(), qPrintable(complaints(book)));
        const QJsonObject sh = book.value(QStringLiteral("sheets")).toArray().at(0).toObject();
        QCOMPARE(sh.value(QStringLiteral("name")).toString(), QStringLiteral("Sheet1"));
        const QString diff =
            difference(sh.value(QStringLiteral("rows")).toArray(), expectedRows(s, cols, range(1, 3000)));
        QVERIFY2(diff.isEmpty(), qPrintable(diff));
    }

    void longStoreGoesOnInFurtherSheets() {
        SheetStore s;
        s.setMaxCols(2);
        s.setMaxRows(70000);
        s.setText(1, 1, u"코드");
        s.setText(2, 1, u"모델");
        s.setText(1, 2, u"Code");
        for (int r = 3; r <= 70000; ++r) {
            s.setText(1, r, QStringLiteral("%1").arg(r, 6, 10, QLatin1Char('0')));
            if (r % 7)
                s.setText(2, r, QStringLiteral("모델 %1").arg(r % 1000));
        }
        s.setFormat(-1, 1, &CellFormat::bold, true);
        const std::vector<XlsColumn> cols{{1, 9}, {2, 9}};
        XlsOptions opt;
        opt.headerRows = 2;
        const QString file = dir.filePath(QStringLiteral("long.xls"));
        const XlsResult res = writeXlsFile(s, 70000, cols, opt, file);
        QVERIFY2(res.ok, qPrintable(res.error));
        QCOMPARE(res.sheets, 2);
        QCOMPARE(res.rows, 70000);
        const QJsonObject book = readBack(file, 1);
        QVERIFY2(complaints(book).isEmpty(), qPrintable(complaints(book)));
        const QJsonArray sheets = book.value(QStringLiteral("sheets")).toArray();
        QCOMPARE(sheets.size(), 2);
        QCOMPARE(sheets.at(0).toObject().value(QStringLiteral("name")).toString(), QStringLiteral("Sheet1"));
        QCOMPARE(sheets.at(1).toObject().value(QStringLiteral("name")).toString(), QStringLiteral("Sheet1 (2)"));
        QJsonArray data;
        for (const QJsonValue &v : sheets) {
            const QJsonArray rows = v.toObject().value(QStringLiteral("rows")).toArray();
            QVERIFY(difference(QJsonArray{rows.at(0), rows.at(1)}, expectedRows(s, cols, {1, 2})).isEmpty());
            QCOMPARE(v.toObject().value(QStringLiteral("fmt")).toArray().at(0).toArray().at(0).toArray().at(0).toInt(),
                     1);
            for (qsizetype r = 2; r < rows.size(); ++r)
                data.append(rows.at(r));
        }
        QCOMPARE(sheets.at(0).toObject().value(QStringLiteral("rows")).toArray().size(), 65536);
        const QString diff = difference(data, expectedRows(s, cols, range(3, 70000)));
        QVERIFY2(diff.isEmpty(), qPrintable(diff));
    }

    void compoundFileAtEverySize() {
        // Around the 4,096-byte cutoff, and past the 109 table sectors the header can list.
        QStringList files;
        QList<QByteArray> streams;
        for (qint64 size : {0LL, 1LL, 4095LL, 4096LL, 4097LL, 109LL * 128 * 512, 20'000'000LL}) {
            QByteArray data(size, Qt::Uninitialized);
            for (qint64 i = 0; i < size; ++i)
                data[i] = char((i * 131) >> 7);
            files << dir.filePath(QStringLiteral("cf%1.bin").arg(size));
            QFile f(files.last());
            QVERIFY(f.open(QIODevice::WriteOnly));
            CompoundFileWriter w(f, QStringLiteral("Workbook"), quint64(size));
            QVERIFY(w.begin() && w.write(data.constData(), size / 3) &&
                    w.write(data.constData() + size / 3, size - size / 3) && w.finish());
            f.close();
            QCOMPARE(quint64(f.size()), CompoundFileWriter::fileSize(quint64(size)));
            streams << data + QByteArray(std::max<qint64>(0, 4096 - size), 0);
        }
        QString error;
        const QByteArray out = runXlsReader(QStringList{QStringLiteral("--streams")} + files, &error);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        const QList<QByteArray> lines = out.trimmed().split('\n');
        QCOMPARE(lines.size(), streams.size());
        for (qsizetype i = 0; i < lines.size(); ++i)
            QCOMPARE(lines[i], QCryptographicHash::hash(streams[i], QCryptographicHash::Sha1).toHex() + ' ' +
                                   QByteArray::number(streams[i].size()) + " ''");
        QBuffer buf;
        buf.open(QIODevice::WriteOnly);
        CompoundFileWriter w(buf, QStringLiteral("Workbook"), 10);
        QVERIFY(w.begin() && !w.write("12345678901", 11)); // more than announced
    }

    void sheetNamesExcelAccepts() {
        const QString forty = QString(40, u'가');
        QCOMPARE(xlsSheetName(forty, 1), QString(31, u'가'));
        QCOMPARE(xlsSheetName(forty, 2), QString(27, u'가') + QStringLiteral(" (2)"));
        QCOMPARE(xlsSheetName(forty, 12).size(), 31);
        QCOMPARE(xlsSheetName(QStringLiteral("재고/현황:2024*[A]?\\"), 1), QStringLiteral("재고_현황_2024__A___"));
        QCOMPARE(xlsSheetName(QString(), 1), QStringLiteral("Sheet1"));
        QCOMPARE(xlsSheetName(QString(), 3), QStringLiteral("Sheet1 (3)"));
        QCOMPARE(xlsSheetName(QStringLiteral("'목록'"), 1), QStringLiteral("_목록_"));
        QCOMPARE(xlsSheetName(QString(30, u'a') + QStringLiteral("😀"), 1), QString(30, u'a')); // no half pair

        SheetStore s;
        s.setMaxCols(1);
        s.setMaxRows(1);
        s.setText(1, 1, u"x");
        XlsOptions opt;
        opt.sheetName = forty + QStringLiteral("[재고]");
        const QString file = dir.filePath(QStringLiteral("names.xls"));
        QVERIFY(writeXlsFile(s, 1, {{1, 9}}, opt, file).ok);
        const QJsonObject book = readBack(file);
        QVERIFY2(complaints(book).isEmpty(), qPrintable(complaints(book)));
        QCOMPARE(
            book.value(QStringLiteral("sheets")).toArray().at(0).toObject().value(QStringLiteral("name")).toString(),
            QString(31, u'가'));
    }

    void failuresLeaveNothingBehind() {
        SheetStore s;
        s.setMaxCols(3);
        s.setMaxRows(20000);
        for (int r = 1; r <= 20000; ++r)
            for (int c = 1; c <= 3; ++c)
                s.setText(c, r, QStringLiteral("셀 %1-%2").arg(r).arg(c));
        const std::vector<XlsColumn> cols{{1, 9}, {2, 9}, {3, 9}};
        const QString good = dir.filePath(QStringLiteral("good.xls"));
        QVERIFY(writeXlsFile(s, 20000, cols, {}, good).ok);
        QFile g(good);
        QVERIFY(g.open(QIODevice::ReadOnly));
        const QByteArray goodBytes = g.readAll();

        // A sequential device gets the same bytes as the file; one that fails at any point fails the export.
        FailingDevice sink(1LL << 40);
        QVERIFY(writeXls(s, 20000, cols, {}, sink).ok);
        QCOMPARE(sink.bytes, goodBytes);
        for (qint64 limit :
             {0LL, 1LL, 511LL, 512LL, 70000LL, qint64(goodBytes.size()) - 512, qint64(goodBytes.size()) - 1}) {
            FailingDevice dev(limit);
            const XlsResult r = writeXls(s, 20000, cols, {}, dev);
            QVERIFY2(!r.ok && !r.error.isEmpty(), qPrintable(QString::number(limit)));
        }

        QTemporaryDir out;
        QFile plain(out.filePath(QStringLiteral("plain")));
        QVERIFY(plain.open(QIODevice::WriteOnly));
        plain.close();
        const XlsResult noFolder = writeXlsFile(s, 20000, cols, {}, out.filePath(QStringLiteral("plain/x.xls")));
        QVERIFY(!noFolder.ok && !noFolder.error.isEmpty());
        const XlsResult tooWide = writeXlsFile(s, 20000, std::vector<XlsColumn>(257, XlsColumn{1, 9}), {},
                                               out.filePath(QStringLiteral("wide.xls")));
        QVERIFY(!tooWide.ok && !tooWide.error.isEmpty());
        // A full disk half-way through: the temporary file goes too.
        XlsResult full;
        {
            FullDisk disk(64 * 1024);
            QVERIFY(disk.active());
            full = writeXlsFile(s, 20000, cols, {}, out.filePath(QStringLiteral("full.xls")));
        }
        QVERIFY(!full.ok && !full.error.isEmpty());
        QCOMPARE(QDir(out.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList{QStringLiteral("plain")});
    }
};

QTEST_GUILESS_MAIN(TestXls)
#include "tst_xls.moc"
