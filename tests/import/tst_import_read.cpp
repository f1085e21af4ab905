#include "AnsiCodec.h"
#include "ImportFixture.h"
#include "SheetFiles.h"
#include "XlsxWriter.h"
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

// The readers against files other programs wrote: openpyxl, LibreOffice, Python's own codecs.
class TestImportRead : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    QString hostile, shorter; // openpyxl's workbooks: a 40,000-character text, or 3,000; LibreOffice
                              // saved them beside as .ods and .xls
    QString big;              // 50,000 rows of a .csv, saved as .xlsx by LibreOffice
    QString locked;           // a small .csv saved by LibreOffice with a password as locked.xlsx, .xls, .ods
    QJsonObject hostileCells, shorterCells; // what they hold, as openpyxl says

    QString write(const QString &name, const QByteArray &bytes) {
        QFile f(dir.filePath(name));
        f.open(QIODevice::WriteOnly);
        f.write(bytes);
        return f.fileName();
    }
    static std::vector<QStringList> rowsOf(const QJsonArray &a) {
        std::vector<QStringList> out;
        for (const QJsonValue &row : a) {
            QStringList cells;
            for (const QJsonValue &c : row.toArray())
                cells << c.toString();
            while (!cells.isEmpty() && cells.last().isEmpty())
                cells.removeLast();
            out.push_back(cells);
        }
        return out;
    }

private Q_SLOTS:
    void initTestCase() {
        QVERIFY(dir.isValid());
        hostile = dir.filePath("hostile.xlsx");
        hostileCells = QJsonDocument::fromJson(ImportFixture::sheets({"hostile", hostile})).object();
        QVERIFY(!hostileCells.isEmpty());
        shorter = dir.filePath("shorter.xlsx");
        shorterCells = QJsonDocument::fromJson(ImportFixture::sheets({"hostile", shorter, "3000"})).object();
        QVERIFY(!shorterCells.isEmpty());
        QByteArray rows = "ID,모델명\n";
        for (int i = 0; i < 50'000; ++i)
            rows += "M-" + QByteArray::number(i) + ",모델 " + QByteArray::number(i) + "\n";
        const QString csv = write("big.csv", rows);
        big = dir.filePath("big.xlsx");
        const QString small = write("small.csv", "\"관리번호\",\"ID\",\"출시년도\"\n\"000001\",\"A-1\",2008\n");
        locked = dir.filePath("locked.xlsx");
        const auto beside = [&](const QString &file, const QStringList &formats) {
            QJsonArray outs;
            for (const QString &f : formats)
                outs << QString(file).replace(".xlsx", "." + f);
            return outs;
        };
        QVERIFY(
            !ImportFixture::calc({QJsonArray{"convert", hostile, beside(hostile, {"ods", "xls"})},
                                  QJsonArray{"convert", shorter, beside(shorter, {"xls"})},
                                  QJsonArray{"convert", csv, QJsonArray{big}},
                                  QJsonArray{"convert", small, QJsonArray{dir.filePath("plain.xls")}},
                                  QJsonArray{"protect", small, beside(locked, {"xlsx", "xls", "ods"}), "비밀 1234"}})
                 .isEmpty());
    }

    void text_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("encoding");
        QTest::addColumn<QString>("read"); // "" when refused
        const QString korean = QStringLiteral("관리번호,ID,모델명\n000001,A-1,\"갤럭시, \"\"S\"\"\"\r\n000002,,끝");
        // Python's codec, not ours, writes the code page.
        const QByteArray cp949 = ImportFixture::run("/usr/bin/python3", {"-c",
                                                                         "import sys; sys.stdout.buffer.write("
                                                                         "sys.argv[1].encode('cp949'))",
                                                                         korean});
        const QString rows = QStringLiteral("관리번호|ID|모델명/000001|A-1|갤럭시, \"S\"/000002||끝");
        const int autoDetect = int(SheetData::Encoding::Auto), cp = int(SheetData::Encoding::Cp949),
                  utf = int(SheetData::Encoding::Utf8);
        QTest::newRow("UTF-8") << korean.toUtf8() << autoDetect << rows;
        QTest::newRow("UTF-8 with BOM") << "\xEF\xBB\xBF" + korean.toUtf8() << autoDetect << rows;
        QTest::newRow("CP949") << cp949 << autoDetect << rows;
        QTest::newRow("CP949 chosen") << cp949 << cp << rows;
        QTest::newRow("CP949 read as UTF-8") << cp949 << utf << QString();
        QTest::newRow("tabs")
            << QStringLiteral("관리번호\tID\t모델명\n000001\tA-1\t갤럭시, \"S\"\r\n000002\t\t끝").toUtf8() << autoDetect
            << rows;
        QTest::newRow("mixed encodings") << korean.toUtf8() + "\n" + cp949 << autoDetect << QString();
        QTest::newRow("open quote") << QByteArray("a,\"b\nc") << autoDetect << QString();
    }
    void text() {
        QFETCH(QByteArray, bytes);
        QFETCH(int, encoding);
        QFETCH(QString, read);
        SheetData::Options o;
        o.encoding = SheetData::Encoding(encoding);
        const SheetData::Read r = SheetFiles::read(write("t.csv", bytes), o);
        QCOMPARE(r.ok, !read.isEmpty());
        if (read.isEmpty()) {
            QVERIFY(!r.message.isEmpty());
            return;
        }
        QStringList got;
        for (const QStringList &row : r.rows)
            got << row.join('|');
        QCOMPARE(got.join('/'), read);
    }

    void workbooks_data() {
        QTest::addColumn<QString>("format");
        QTest::addColumn<bool>("longText");
        QTest::newRow("xlsx by openpyxl") << "xlsx" << true;
        QTest::newRow("ods by LibreOffice") << "ods" << true;
        QTest::newRow("xls by LibreOffice") << "xls" << false;
        // FreeXL stops on it: refused as damaged, and the program goes on.
        QTest::newRow("xls, a text longer than .xls holds") << "xls" << true;
    }
    // Texts as the writer meant them: numbers without a decimal tail, dates as dates, a
    // formula's stored value (LibreOffice stores one, openpyxl none), merged cells once.
    void workbooks() {
        QFETCH(QString, format);
        QFETCH(bool, longText);
        QString file = longText ? hostile : shorter;
        std::vector<QStringList> expected = rowsOf((longText ? hostileCells : shorterCells)["rows"].toArray());
        if (format != "xlsx") {
            file.replace(".xlsx", "." + format);
            // The values LibreOffice computed on saving; FreeXL gives none of a formula, nor
            // booleans, so a .xls has these cells empty.
            const bool xls = format == "xls";
            expected[1][4] = xls ? "" : "2";                            // =1+1
            expected[3][0] = xls ? "" : "3";                            // =SUM(1,2)
            expected[3][3] = xls ? "" : format == "ods" ? "1" : "TRUE"; // LibreOffice keeps it as =TRUE(), 1
        }
        const SheetData::Read r = SheetFiles::read(file, {});
        if (format == "xls" && longText) {
            QVERIFY(!r.ok && r.rows.empty());
            QVERIFY2(r.message.contains("손상"), qPrintable(r.message));
            return;
        }
        QVERIFY2(r.ok, qPrintable(r.message));
        QCOMPARE(r.sheets, QStringList({"자료", "두번째"}));
        QCOMPARE(r.rows.size(), expected.size());
        for (size_t i = 0; i < expected.size(); ++i)
            for (qsizetype c = 0; c < expected[i].size(); ++c) {
                QCOMPARE(r.rows[i].value(c).size(), expected[i][c].size());
                QCOMPARE(r.rows[i].value(c), expected[i][c]);
            }
        SheetData::Options second;
        second.sheet = 1;
        QCOMPARE(SheetFiles::read(file, second).rows, std::vector<QStringList>{{"x"}});
    }

    void refused_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("says");
        const auto bytesOf = [](const QString &file) {
            QFile f(file);
            f.open(QIODevice::ReadOnly);
            return f.readAll();
        };
        const QByteArray whole = bytesOf(hostile);
        // Encrypted for real: a package in a compound file, a FILEPASS record, encrypted entries.
        for (const char *format : {"xlsx", "xls", "ods"})
            QTest::addRow("password, .%s by LibreOffice", format)
                << QString("locked.") + format << bytesOf(QString(locked).replace(".xlsx", QString(".") + format))
                << "암호가 걸린 파일입니다";
        QTest::newRow("password, .xlsx named .xls") << "locked-xlsx.xls" << bytesOf(locked) << "암호가 걸린 파일입니다";
        QTest::newRow(".xls named .xlsx") << "old.xlsx" << bytesOf(dir.filePath("plain.xls")) << ".xls로 바꾸어";
        QTest::newRow("cut xlsx") << "cut.xlsx" << whole.left(whole.size() / 2) << "손상";
        QTest::newRow("compound file without a directory")
            << "empty.xlsx" << QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) + QByteArray(600, 0) << "손상";
        QTest::newRow("text named xls") << "fake.xls" << QByteArray("관리번호,ID\n") << "아니거나";
        QTest::newRow("empty csv") << "empty.csv" << QByteArray("\n\n") << "비어";
        QTest::newRow("unknown kind") << "a.pdf" << QByteArray("%PDF") << "형식";
    }
    void refused() {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, says);
        const SheetData::Read r = SheetFiles::read(write(name, bytes), {});
        QVERIFY(!r.ok);
        QVERIFY2(r.message.contains(says), qPrintable(r.message));
        // A protected file is no damaged one.
        QVERIFY2(!says.startsWith("암호") || !r.message.contains("손상"), qPrintable(r.message));
        QVERIFY(r.rows.empty());
    }

    // A million rows are read with progress, and a cancel part-way leaves nothing.
    void millionRows() {
        QByteArray bytes = "관리번호,ID,출시년도\n";
        bytes.reserve(24'000'000);
        for (int i = 1; i < 1'000'000; ++i)
            bytes += QByteArray::number(i).rightJustified(6, '0') + ",M-" + QByteArray::number(i) + ",2020\n";
        const QString file = write("million.csv", bytes);
        int calls = 0;
        SheetData::Options o;
        o.progress = [&](int) { return ++calls > 0; };
        const SheetData::Read r = SheetFiles::read(file, o);
        QVERIFY(r.ok);
        QCOMPARE(r.rows.size(), size_t(1'000'000));
        QCOMPARE(r.rows.back(), QStringList({"999999", "M-999999", "2020"}));
        QVERIFY(calls > 10);
        o.progress = [](int permille) { return permille < 500; };
        const SheetData::Read cancelled = SheetFiles::read(file, o);
        QVERIFY(!cancelled.ok && cancelled.cancelled && cancelled.rows.empty());
    }

    // The .xlsx export: past the 65,536 rows of an .xls on one sheet, texts kept as texts
    // (a formula's text too), the header bold, the rows the grid hides left out.
    void xlsxExport() {
        SheetStore store;
        store.setMaxCols(2);
        store.setMaxRows(70'001);
        store.setText(1, 1, u"관리번호");
        store.setFormat(1, 1, &CellFormat::bold, true);
        for (int r = 2; r <= 70'001; ++r)
            store.setText(1, r, QString::number(r - 1).rightJustified(6, '0'));
        store.setText(1, 3, u"=1+1");
        store.setRowHidden(70'001, true);
        const QString file = dir.filePath("export.xlsx");
        const XlsResult r = writeXlsxFile(store, 70'001, {{1, 10}, {2, 10}}, XlsOptions{}, file);
        QVERIFY2(r.ok, qPrintable(r.error));
        QCOMPARE(ImportFixture::sheets({"facts", file}).trimmed(),
                 QByteArray("sheets=1 rows=70000 bold=1 text=1 last=069999"));
    }

    // A workbook cut short while it is being read (a share going away) says so.
    void fileCutWhileReading() {
        const QString xlsx = big;
        SheetData::Options o;
        bool cut = false;
        o.progress = [&](int permille) {
            if (permille > 100 && !cut)
                cut = QFile::resize(xlsx, QFileInfo(xlsx).size() / 3);
            return true;
        };
        const SheetData::Read r = SheetFiles::read(xlsx, o);
        QVERIFY(cut);
        QVERIFY(!r.ok);
        QVERIFY2(r.message.contains("읽지 못했") || r.message.contains("손상"), qPrintable(r.message));
    }
};

QTEST_GUILESS_MAIN(TestImportRead)
#include "tst_import_read.moc"
