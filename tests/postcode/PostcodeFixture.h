#pragma once
#include "FolderFiles.h"
#include "PostcodeImport.h"
#include <QMap>
#include <QTest>
#include <zip.h>

// Postal-code databases and update archives made for one test.
namespace PostcodeFixture {

// Seven towns: one code with its dash, one of six digits, five-digit codes, a quote and
// LIKE's wildcards in town names.
inline QByteArray sampleText() {
    return QByteArrayLiteral("우편번호|시도|시군구|읍면동|번지\n"
                             "135080|서울특별시|강남구|역삼동|1~100\n"
                             "06236|서울특별시|강남구|역삼1동|1~200\n"
                             "06252|서울특별시|강남구|역삼2동|1~200\n"
                             "135-090|서울특별시|강남구|삼성동|1~150\n"
                             "30007|세종특별자치시||조치원읍|1~500\n"
                             "63100|제주특별자치도|제주시|O'Neil동|1\n"
                             "63101|제주특별자치도|제주시|100%동|1\n"
                             "63102|제주특별자치도|제주시|1000동|1\n");
}

inline void makeDatabase(const QString &dbFile, const QByteArray &text = sampleText()) {
    const QString source = dbFile + QStringLiteral(".txt");
    FolderFiles::writeFile(source, text);
    const PostcodeImport::Report report = PostcodeImport::buildDatabase(source, dbFile);
    QFile::remove(source);
    QVERIFY2(report.ok, qPrintable(report.message));
}

// entries: name -> bytes, stored uncompressed so that a changed byte is found by its CRC alone.
inline void makeZip(const QString &zipFile, const QMap<QString, QByteArray> &entries) {
    int code = 0;
    zip_t *za = zip_open(QFile::encodeName(zipFile).constData(), ZIP_CREATE | ZIP_TRUNCATE, &code);
    QVERIFY(za);
    for (auto it = entries.begin(); it != entries.end(); ++it) {
        const QByteArray &data = it.value();
        zip_source_t *src = zip_source_buffer(za, data.constData(), zip_uint64_t(data.size()), 0);
        const zip_int64_t index = zip_file_add(za, it.key().toUtf8().constData(), src, ZIP_FL_ENC_UTF_8);
        QVERIFY(index >= 0);
        zip_set_file_compression(za, zip_uint64_t(index), ZIP_CM_STORE, 0);
    }
    QCOMPARE(zip_close(za), 0);
}

} // namespace PostcodeFixture
