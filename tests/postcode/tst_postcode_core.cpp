#include "AnsiCodec.h"
#include "AppPaths.h"
#include "EnvFixture.h"
#include "PostcodeFixture.h"
#include "PostcodeImport.h"
#include "PostcodeSample.h"
#include "PostcodeSql.h"
#include "PostcodeUpdate.h"
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTest>

using namespace FolderFiles;

namespace {

// Rows of one query on a database file, each row's columns joined by '|'.
QStringList rows(const QString &dbFile, const BoundSql &sql) {
    QStringList out;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("probe"));
        db.setDatabaseName(dbFile);
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        if (!db.open())
            return {"<cannot open>"};
        QSqlQuery q(db);
        q.prepare(sql.sql);
        for (const QVariant &v : sql.values)
            q.addBindValue(v);
        if (!q.exec())
            out << "<error>";
        while (q.next()) {
            QStringList cols;
            for (int i = 0; i < q.record().count(); ++i)
                cols << q.value(i).toString();
            out << cols.join('|');
        }
    }
    QSqlDatabase::removeDatabase(QStringLiteral("probe"));
    return out;
}

} // namespace

class TestPostcodeCore : public EnvFixture {
    Q_OBJECT
    QString path(const QString &name) const { return env->root() + '/' + name; }

private Q_SLOTS:
    void statements() {
        using namespace PostcodeSql;
        QCOMPARE(searchQuery("역삼").inlined(),
                 QString("SELECT ZIPCODE, SIDO, GUGUN, DONG, BUNJI FROM Post WHERE DONG LIKE "
                         "'역삼%' ESCAPE '\\' ORDER BY ZIPCODE;"));
        QCOMPARE(
            searchQuery("135-080").inlined(),
            QString(
                "SELECT ZIPCODE, SIDO, GUGUN, DONG, BUNJI FROM Post WHERE ZIPCODE IN ('135-080', '135080') ORDER BY "
                "ZIPCODE;"));
        QVERIFY(searchQuery("06236").inlined().contains("WHERE ZIPCODE = '06236' ORDER"));
        QCOMPARE(searchQuery("").inlined(),
                 QString("SELECT ZIPCODE, SIDO, GUGUN, DONG, BUNJI FROM Post ORDER BY ZIPCODE;"));
        // A quote, % or _ is searched for itself (the values as the log writes them in).
        QVERIFY(searchQuery("O'Neil").inlined().contains("LIKE 'O''Neil%'"));
        QVERIFY(searchQuery("100%").inlined().contains("LIKE '100\\%%'"));
        QVERIFY(searchQuery("a_b\\").inlined().contains("LIKE 'a\\_b\\\\%'"));
        // Only digits and dashes look a code up.
        QVERIFY(isCodeSearch("06236") && isCodeSearch("135-080") && isCodeSearch("1-2-3"));
        QVERIFY(!isCodeSearch("-") && !isCodeSearch("12a") && !isCodeSearch("１２") && !isCodeSearch(" 12"));
    }

    void codesAndAddresses() {
        using namespace PostcodeSql;
        QCOMPARE(formatCode("135080"), QString("135-080"));
        QCOMPARE(formatCode("135-080"), QString("135-080"));
        QCOMPARE(formatCode("06236"), QString("06236"));
        QCOMPARE(formatCode("13-080"), QString("13-080")); // six characters, not six digits
        QCOMPARE(formatCode("1350801"), QString("1350801"));
        QCOMPARE(joinAddress("서울특별시", "강남구", "역삼동"), QString("서울특별시 강남구 역삼동"));
        QCOMPARE(joinAddress("세종특별자치시", "", "조치원읍"), QString("세종특별자치시 조치원읍"));
    }

    // The searches the window runs use the indexes, not a scan of the whole table.
    void searchesUseTheIndexes() {
        const QString db = path("dbPost.db");
        PostcodeFixture::makeDatabase(db);
        const auto plan = [&](const QString &typed) {
            BoundSql q = PostcodeSql::searchQuery(typed);
            q.sql.prepend("EXPLAIN QUERY PLAN ");
            return rows(db, q).join('\n');
        };
        const QString town = plan("역삼");
        QVERIFY2(town.contains("USING INDEX Post_DONG"), qPrintable(town));
        const QString code = plan("135-080");
        QVERIFY2(code.contains("USING INDEX Post_ZIPCODE"), qPrintable(code));
        // The mended pattern finds exactly what was typed.
        QCOMPARE(rows(db, "SELECT DONG FROM Post WHERE DONG LIKE '100\\%%' ESCAPE '\\'"), QStringList{"100%동"});
    }

    void importReportsBadLinesAndKeepsTheRest_data() {
        QTest::addColumn<bool>("cp949");
        QTest::addColumn<QString>("delimiter");
        QTest::newRow("UTF-8, |") << false << "|";
        QTest::newRow("CP949, tab") << true << "\t";
        QTest::newRow("UTF-8 with BOM, comma") << false << ",";
    }
    void importReportsBadLinesAndKeepsTheRest() {
        QFETCH(bool, cp949);
        QFETCH(QString, delimiter);
        QString text = QStringLiteral("우편번호|시도|시군구|읍면동|번지\r\n"
                                      "135080|서울특별시|강남구|역삼동|1~100\r\n"
                                      "06236|서울특별시|강남구|역삼1동\r\n"  // a field short
                                      "\r\n"                                 // blank: skipped quietly
                                      "12A45|서울특별시|강남구|삼성동|1\r\n" // not a code
                                      "06252|서울특별시|강남구||1\r\n"       // no town
                                      "30007|세종특별자치시||조치원읍|1~500\r\n");
        text.replace('|', delimiter);
        QByteArray bytes = cp949 ? AnsiCodec::encode(text) : text.toUtf8();
        if (delimiter == ",")
            bytes = "\xEF\xBB\xBF" + bytes.replace("1~500", "\"1,500\"");
        writeFile(path("in.txt"), bytes);
        const auto report = PostcodeImport::buildDatabase(path("in.txt"), path("out.db"));
        QVERIFY2(report.ok, qPrintable(report.message));
        QCOMPARE(report.encoding, cp949 ? PostcodeTextReader::Encoding::Cp949 : PostcodeTextReader::Encoding::Utf8);
        QCOMPARE(report.delimiter, delimiter[0]);
        QCOMPARE(report.rows, 2);
        QList<qint64> lines;
        for (const auto &bad : report.badLines)
            lines << bad.line;
        QCOMPARE(lines, (QList<qint64>{3, 5, 6}));
        QVERIFY(report.badLines[0].reason.contains("칸이 4개"));
        QCOMPARE(rows(path("out.db"), "SELECT * FROM Post ORDER BY ZIPCODE"),
                 (QStringList{"135080|서울특별시|강남구|역삼동|1~100",
                              QString("30007|세종특별자치시||조치원읍|") + (delimiter == "," ? "1,500" : "1~500")}));
    }

    void importMapsOtherColumnNames() {
        writeFile(path("in.txt"), "구역번호|시도명|시군구명|법정동명|비고\n63100|제주특별자치도|제주시|일도1동|x\n");
        PostcodeTextReader::Options options;
        auto report = PostcodeImport::buildDatabase(path("in.txt"), path("out.db"), options);
        QVERIFY(!report.ok);
        QVERIFY2(report.message.contains("DONG") && report.message.contains("법정동명"), qPrintable(report.message));
        options.mapping.insert("DONG", "법정동명");
        report = PostcodeImport::buildDatabase(path("in.txt"), path("out.db"), options);
        QVERIFY2(report.ok, qPrintable(report.message));
        QCOMPARE(rows(path("out.db"), "SELECT * FROM Post"), QStringList{"63100|제주특별자치도|제주시|일도1동|"});
    }

    // A failed import leaves the database that was there and nothing beside it.
    void failedImportKeepsTheOldDatabase() {
        PostcodeFixture::makeDatabase(path("db/dbPost.db"));
        const QMap<QString, QByteArray> before = contents(path("db"));
        writeFile(path("bad.txt"), "우편번호|시도|시군구|읍면동\n");
        auto report = PostcodeImport::buildDatabase(path("bad.txt"), path("db/dbPost.db"));
        QVERIFY(!report.ok);
        QVERIFY(report.message.contains("하나도 없습니다"));
        writeFile(path("bad.txt"), "no delimiter here\n1\n");
        report = PostcodeImport::buildDatabase(path("bad.txt"), path("db/dbPost.db"));
        QVERIFY(!report.ok);
        QCOMPARE(contents(path("db")), before);
    }

    // The archive the importer packs is one the update installs.
    void importerArchiveInstalls() {
        PostcodeFixture::makeDatabase(path("built.db"));
        QString error;
        QVERIFY2(PostcodeImport::buildArchive(path("built.db"), path("dbPost.zip"), &error), qPrintable(error));
        PostcodeFixture::makeDatabase(path("app/dbPost.db"),
                                      "우편번호|시도|시군구|읍면동\n11111|경기도|가평군|가평읍\n");
        const auto result = PostcodeUpdate::install(path("dbPost.zip"), path("app/dbPost.db"));
        QVERIFY2(result.ok, qPrintable(result.message));
        QCOMPARE(rows(path("app/dbPost.db"), "SELECT count(*) FROM Post"), QStringList{"8"});
    }

    void sampleCoversTheCountry() {
        QString error;
        QVERIFY2(PostcodeSample::seed(path("sample.db"), &error), qPrintable(error));
        const QString db = path("sample.db");
        QCOMPARE(rows(db, "SELECT count(DISTINCT SIDO) FROM Post"), QStringList{"17"});
        QCOMPARE(rows(db, "SELECT count(DISTINCT GUGUN) FROM Post WHERE SIDO = '서울특별시'"), QStringList{"25"});
        QCOMPARE(rows(db, "SELECT count(DISTINCT GUGUN) FROM Post WHERE SIDO = '경기도'"), QStringList{"44"});
        QVERIFY(rows(db, "SELECT GUGUN FROM Post WHERE SIDO = '경상남도'").contains("창원시 마산합포구"));
        QCOMPARE(rows(db, "SELECT count(*) FROM Post WHERE DONG LIKE '역삼%'"), QStringList{"3"});
        // An existing file is never replaced by the sample.
        writeFile(path("other.db"), "keep");
        QVERIFY(PostcodeSample::seed(path("other.db"), &error));
        QCOMPARE(readAll(path("other.db")), QByteArray("keep"));
    }

    // The program itself: help, then a CP949 file with a bad line into a database and archive.
    void importerProgram() {
        const QString tool = AppPaths::toolPath("postcode-import");
        QProcess p;
        p.start(tool, {"--help"});
        QVERIFY(p.waitForFinished(20000));
        QCOMPARE(p.exitCode(), 0);
        const QString help = QString::fromUtf8(p.readAllStandardOutput());
        QVERIFY(help.contains("--map") && help.contains("CP949") && help.contains("구역번호"));

        writeFile(path("national.txt"), AnsiCodec::encode("우편번호\t시도\t시군구\t읍면동\n"
                                                          "06236\t서울특별시\t강남구\t역삼1동\n"
                                                          "06252\t서울특별시\t강남구\n"));
        p.start(tool, {"--encoding", "cp949", "--zip", path("dbPost.zip"), path("national.txt"), path("dbPost.db")});
        QVERIFY(p.waitForFinished(20000));
        const QString err = QString::fromUtf8(p.readAllStandardError());
        QCOMPARE(p.exitCode(), 0);
        QVERIFY2(err.contains("3번째 줄"), qPrintable(err));
        QVERIFY(QString::fromUtf8(p.readAllStandardOutput()).contains("1줄"));
        QCOMPARE(rows(path("dbPost.db"), "SELECT ZIPCODE, DONG FROM Post"), QStringList{"06236|역삼1동"});
        QVERIFY(QFileInfo::exists(path("dbPost.zip")));

        p.start(tool, {"--map", "TOWN=x", path("national.txt")});
        QVERIFY(p.waitForFinished(20000));
        QCOMPARE(p.exitCode(), 2);
    }
};

QTEST_MAIN(TestPostcodeCore)
#include "tst_postcode_core.moc"
