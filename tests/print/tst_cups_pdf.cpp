// Printing through a private CUPS server: what Qt and lp send arrives as the PDF that was sent.
#include "CupsServer.h"
#include <QFile>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTemporaryDir>
#include <QTest>
#include <cerrno>
#include <csignal>

class TestCupsPdf : public QObject {
    Q_OBJECT
    CupsServer cups{QStringLiteral("ShopPDF")};

    static QByteArray contents(const QString &file) {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    // Qt's ToUnicode map gives NanumGothic's space glyph the code U+0001, which pdftotext reports.
    static QString pageText(const QString &pdf, int page = 0) {
        return pdfText(pdf, page).replace(QChar(1), QLatin1Char(' '));
    }

private Q_SLOTS:
    void initTestCase() {
        QVERIFY2(cups.start(), qPrintable(cups.errorString()));
        // Before the first QPrinter: libcups keeps the server it saw first.
        qputenv("CUPS_SERVER", QFile::encodeName(cups.socketPath()));
    }
    void init() { cups.clearOutput(); }

    void qtSeesTheQueueAsDefault() {
        QVERIFY2(QPrinterInfo::availablePrinterNames().contains(cups.queueName()),
                 qPrintable(QPrinterInfo::availablePrinterNames().join(QLatin1Char(','))));
        QCOMPARE(QPrinterInfo::defaultPrinterName(), cups.queueName());
    }

    void qprinterPagesKeepTheirKoreanText() {
        QPrinter printer(QPrinter::HighResolution);
        printer.setPrinterName(cups.queueName());
        QVERIFY(printer.isValid());
        QCOMPARE(printer.outputFormat(), QPrinter::NativeFormat);
        printer.setDocName(QStringLiteral("모델 목록"));
        QPainter painter;
        QVERIFY(painter.begin(&printer));
        painter.setFont(QFont(QStringLiteral("NanumGothic"), 14));
        painter.drawText(QPointF(200, 400), QStringLiteral("모델명 갤럭시 S24"));
        painter.drawText(QPointF(200, 800), QStringLiteral("첫째 쪽"));
        QVERIFY(printer.newPage());
        painter.drawText(QPointF(200, 400), QStringLiteral("모델명 아이폰 15"));
        painter.drawText(QPointF(200, 800), QStringLiteral("둘째 쪽"));
        QVERIFY(painter.end());

        const QStringList out = cups.waitForOutput(1);
        QCOMPARE(out.size(), 1);
        QVERIFY(contents(out.first()).startsWith("%PDF-"));
        QCOMPARE(pdfPageCount(out.first()), 2);
        const QString first = pageText(out.first(), 1), second = pageText(out.first(), 2);
        QVERIFY2(first.contains(QStringLiteral("모델명 갤럭시 S24")) && first.contains(QStringLiteral("첫째 쪽")),
                 qPrintable(first));
        QVERIFY2(!first.contains(QStringLiteral("아이폰")), qPrintable(first));
        QVERIFY2(second.contains(QStringLiteral("모델명 아이폰 15")) && second.contains(QStringLiteral("둘째 쪽")),
                 qPrintable(second));
        QVERIFY2(!second.contains(QStringLiteral("갤럭시")), qPrintable(second));
        const QString all = pageText(out.first());
        QVERIFY(all.indexOf(QStringLiteral("갤럭시")) < all.indexOf(QStringLiteral("아이폰")));
    }

    void lpJobsArriveByteForByteInJobOrder() {
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("in.pdf"));
        {
            QPdfWriter writer(pdf);
            QPainter painter(&writer);
            painter.setFont(QFont(QStringLiteral("NanumGothic"), 12));
            painter.drawText(QPointF(500, 500), QStringLiteral("모델명"));
        }
        const QByteArray sent = contents(pdf);
        QVERIFY(sent.startsWith("%PDF-"));
        QString log;
        QVERIFY2(cups.runClient(QStringLiteral("lp"), {QStringLiteral("-d"), cups.queueName(), pdf}, &log) == 0,
                 qPrintable(log));
        // Without -d the job goes to the default destination, which must be the queue.
        QVERIFY2(cups.runClient(QStringLiteral("lp"), {pdf}, &log) == 0, qPrintable(log));

        const QStringList out = cups.waitForOutput(2);
        QCOMPARE(out.size(), 2);
        QCOMPARE(contents(out[0]), sent);
        QCOMPARE(contents(out[1]), sent);
        QVERIFY(out[0] != out[1]);
        QCOMPARE(pageText(out[0]).trimmed(), QStringLiteral("모델명"));
        // Nothing else arrives: a job is written once.
        QCOMPARE(cups.waitForOutput(3, 300).size(), 2);
    }

    void helpersReportUnreadableFiles() {
        QTemporaryDir dir;
        const QString junk = dir.filePath(QStringLiteral("junk.pdf"));
        QFile f(junk);
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write("not a pdf") > 0);
        f.close();
        QCOMPARE(pdfPageCount(junk), -1);
        QVERIFY(pdfText(junk).isNull());
    }

    void daemonGoesAwayWithItsOwner() {
        qint64 pid = 0;
        QString root;
        {
            CupsServer other(QStringLiteral("Other"));
            QVERIFY2(other.start(), qPrintable(other.errorString()));
            pid = other.processId();
            root = QFileInfo(other.socketPath()).path();
            QVERIFY(::kill(pid_t(pid), 0) == 0);
        }
        QCOMPARE(::kill(pid_t(pid), 0), -1);
        QCOMPARE(errno, ESRCH);
        QVERIFY(!QFileInfo::exists(root));
    }

    void daemonThatIgnoresTheRequestIsKilled() {
        CupsServer other(QStringLiteral("Other"));
        QVERIFY2(other.start(), qPrintable(other.errorString()));
        const pid_t pid = pid_t(other.processId());
        // A stopped process leaves SIGTERM pending, as a hung daemon would.
        QVERIFY(::kill(pid, SIGSTOP) == 0);
        other.stop(200);
        QVERIFY(!other.isRunning());
        QCOMPARE(::kill(pid, 0), -1);
    }
};

QTEST_MAIN(TestCupsPdf)
#include "tst_cups_pdf.moc"
