#include "AppPaths.h"
#include "EnvFixture.h"
#include "FullDisk.h"
#include "SmallDisk.h"
#include "Spread.h"
#include "XlsRead.h"
#include "modExcel_sp.h"
#include <QDir>
#include <QFile>
#include <QTest>

using modExcel_sp::ExportToExcelFile;

namespace {
const QString kNoData = QStringLiteral("엑셀로 보낼 데이터가 없습니다.\r\n자료 조회 후 엑셀로 보내세요.");
const QString kAsk = QStringLiteral("엑셀로 자료를 내보내기 하시겠습니까?");
const QString kFailed = QStringLiteral("엑셀로 내보내기에 실패했습니다.");
} // namespace

class TestExport : public EnvFixture {
    Q_OBJECT
    void setUp() override { grid = std::make_unique<Spread>(); }
    void tearDown() override { grid.reset(); }
    std::unique_ptr<Spread> grid;

    QString folder() const { return env->appFolder() + QStringLiteral("/ExpExcel"); }
    QString expected() const {
        return AppPaths::inApp(QStringLiteral("ExpExcel")) + QStringLiteral("/Exp240515_103000.XLS");
    }
    QString exportNow(bool headerRows = true) {
        env->prompter.answerYes();
        return ExportToExcelFile(grid.get(), QStringLiteral("Sheet1"), true, false, false, true, headerRows);
    }
    QStringList rowTexts(int row) const {
        QStringList out;
        for (int c = 1; c <= grid->maxCols(); ++c)
            out << grid->text(c, row);
        return out;
    }

    // Two header rows and rows with what spreadsheets like to change: zeros, quotes, Korean.
    void fill() {
        grid->setMaxCols(4);
        grid->setColHeaderRows(2);
        const QStringList top{"관리번호", "모델명", "비고", "숨김"}, second{"번호", "이름", "메모", "x"};
        for (int c = 1; c <= 4; ++c) {
            grid->setHeaderText(c, 1, top[c - 1]);
            grid->setHeaderText(c, 2, second[c - 1]);
        }
        const QList<QStringList> rows{{"000001", "갤럭시 S24", "it's \"new\"", "h"},
                                      {"000002", "", QString(1000, QChar(u'가')), "h"},
                                      {"000003", "아이폰 15", "=1+1", "h"}};
        grid->setMaxRows(int(rows.size()));
        for (int r = 0; r < rows.size(); ++r)
            for (int c = 0; c < 4; ++c)
                grid->setText(c + 1, r + 1, rows[r][c]);
        grid->setColHidden(4, true);
    }

private Q_SLOTS:
    void nothingToExportOrNo() {
        grid->setMaxCols(3);
        grid->setMaxRows(5); // rows without data
        QCOMPARE(ExportToExcelFile(grid.get(), "Sheet1", true, false, false, true, true), QString());
        QCOMPARE(env->prompter.texts(), QStringList{kNoData});
        QVERIFY(!QDir(folder()).exists());

        fill();
        env->prompter.answerNo();
        QCOMPARE(ExportToExcelFile(grid.get(), "Sheet1", true, false, false, true, true), QString());
        QCOMPARE(env->prompter.texts().last(), kAsk);
        QVERIFY(!QDir(folder()).exists());
        QCOMPARE(grid->maxRows(), 3);
        QVERIFY(env->shell.opened.isEmpty());
    }

    void exportReadsBackAndTheGridStaysAsItWas() {
        fill();
        grid->setProtect(true);
        QList<QStringList> before;
        for (int r = 1; r <= 3; ++r)
            before << rowTexts(r);
        const QString file = exportNow();
        QCOMPARE(file, expected());
        QCOMPARE(env->shell.opened, QStringList{QDir::toNativeSeparators(file)});
        QVERIFY(QFile::exists(folder() + "/Exp240515_103000LOG.TXT"));
        // The grid: its own rows again, protected, painting.
        QCOMPARE(grid->maxRows(), 3);
        for (int r = 1; r <= 3; ++r)
            QCOMPARE(rowTexts(r), before[r - 1]);
        QVERIFY(grid->protect());
        QVERIFY(grid->redraw());
        QVERIFY(!grid->fontBold(1, 1));

        const XlsBook book = readXls(file);
        QVERIFY2(book.error.isEmpty(), qPrintable(book.error));
        QCOMPARE(book.sheetNames, QStringList{"Sheet1"});
        const auto &cells = book.cells[0];
        QCOMPARE(cells.size(), 5);
        QCOMPARE(cells[0], (QStringList{"관리번호", "모델명", "비고"})); // the hidden column left out
        QCOMPARE(cells[1], (QStringList{"번호", "이름", "메모"}));
        for (int r = 0; r < 3; ++r)
            QCOMPARE(cells[r + 2], before[r].mid(0, 3));
        QVERIFY(book.bold[0][0][0] && book.bold[0][1][2]);
        QVERIFY(!book.bold[0][2][0]);
        for (bool text : book.textCells[0])
            QVERIFY(text); // "000001" and "=1+1" stay texts
    }

    void sameSecondSameName() {
        fill();
        const QString first = exportNow();
        grid->setText(2, 1, QStringLiteral("바뀐 이름"));
        const QString second = exportNow();
        QCOMPARE(second, first);
        QCOMPARE(env->prompter.texts().last(), kAsk); // opened: nothing more to say
        // No program for the file: the file stays and the user is told where it is.
        env->shell.openResult = false;
        QCOMPARE(exportNow(), first);
        QVERIFY(env->prompter.texts().last().endsWith(QDir::toNativeSeparators(first)));
        QCOMPARE(readXls(second).cells[0][2][1], QStringLiteral("바뀐 이름"));
        QCOMPARE(QDir(folder()).entryList(QDir::Files).size(), 2); // the file and its log
    }

    // The target cannot be written (a folder stands in its place): message, nothing opened,
    // nothing half-written, the grid restored.
    void aFailedExportRestoresEverything() {
        fill();
        grid->setProtect(true);
        QVERIFY(QDir().mkpath(expected()));
        QCOMPARE(exportNow(), QString());
        QVERIFY(env->prompter.texts().last().startsWith(kFailed + QStringLiteral("\r\n")));
        QVERIFY(env->shell.opened.isEmpty());
        QVERIFY(grid->protect());
        QCOMPARE(grid->maxRows(), 3);
        QCOMPARE(grid->text(1, 1), QStringLiteral("000001"));
        QVERIFY(QFileInfo(expected()).isDir());
        const QStringList left = QDir(folder()).entryList(QDir::Files);
        QCOMPARE(left, QStringList{"Exp240515_103000LOG.TXT"});
        QFile log(folder() + "/" + left[0]);
        QVERIFY(log.open(QIODevice::ReadOnly));
        QVERIFY(QString::fromUtf8(log.readAll()).contains(QStringLiteral("결과: 실패")));
    }

    // The disk fills half-way through the workbook: the same as any failure, and no part
    // of the workbook stays behind.
    void aFullDiskLeavesNothingBehind() {
        fill();
        grid->setMaxRows(20000);
        for (int r = 4; r <= 20000; ++r)
            grid->setText(2, r, QStringLiteral("모델 %1").arg(r));
        QString file;
        {
            FullDisk disk(64 * 1024);
            QVERIFY(disk.active());
            file = exportNow();
        }
        QCOMPARE(file, QString());
        QVERIFY(env->prompter.texts().last().startsWith(kFailed + QStringLiteral("\r\n")));
        QVERIFY(env->shell.opened.isEmpty());
        QCOMPARE(QDir(folder()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList{"Exp240515_103000LOG.TXT"});
        QCOMPARE(grid->maxRows(), 20000);
        QCOMPARE(grid->text(2, 20000), QStringLiteral("모델 20000"));
    }

    // A disk that is really full is named in the box and in the log, which still fits.
    void aFullDiskIsNamed() {
        fill();
        grid->setMaxRows(20000);
        for (int r = 4; r <= 20000; ++r)
            grid->setText(2, r, QStringLiteral("모델 %1").arg(r));
        QVERIFY(QDir().mkpath(folder()));
        SmallDisk disk(folder(), 64 * 1024);
        QVERIFY2(disk.mounted(), "mounting a small file system needs root");
        QCOMPARE(exportNow(), QString());
        const QString box = env->prompter.texts().last();
        QVERIFY2(box.startsWith(kFailed + QStringLiteral("\r\n")) &&
                     box.contains(QStringLiteral("디스크 공간이 부족합니다")),
                 qPrintable(box));
        QCOMPARE(QDir(folder()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList{"Exp240515_103000LOG.TXT"});
        QFile log(folder() + "/Exp240515_103000LOG.TXT");
        QVERIFY(log.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(log.readAll());
        QVERIFY2(text.contains(QStringLiteral("결과: 실패 (디스크 공간이 부족합니다")), qPrintable(text));
        QCOMPARE(grid->text(2, 20000), QStringLiteral("모델 20000"));
    }

    // Half a surrogate pair in a cell (pasted from a broken source): the file still opens,
    // the character reads as U+FFFD, and the log names each such cell once.
    void brokenCharactersAreMendedAndLogged() {
        fill();
        grid->setText(2, 1, QStringLiteral("앞") + QChar(0xD83D) + QStringLiteral("뒤"));
        grid->setText(3, 3, QString(QChar(0xDE00)) + QStringLiteral("😀") + QChar(0xD800));
        const QString file = exportNow(false);
        QCOMPARE(file, expected());
        const XlsBook book = readXls(file);
        QVERIFY2(book.error.isEmpty(), qPrintable(book.error));
        QCOMPARE(book.cells[0][0][1], QStringLiteral("앞\uFFFD뒤"));
        QCOMPARE(book.cells[0][2][2], QStringLiteral("\uFFFD😀\uFFFD"));
        QCOMPARE(book.cells[0][1][0], QStringLiteral("000002")); // the rest as it was
        QFile log(folder() + "/Exp240515_103000LOG.TXT");
        QVERIFY(log.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(log.readAll());
        QCOMPARE(text.count(QStringLiteral("U+FFFD")), 2);
        QVERIFY2(text.contains(QStringLiteral("열 2, 행 1")) && text.contains(QStringLiteral("열 3, 행 3")),
                 qPrintable(text));
        QVERIFY(text.contains(QStringLiteral("결과: 성공")));
    }

    // Past the rows one sheet holds, the rows go on in further sheets, each with the headers.
    void longListsContinueOnMoreSheets() {
        grid->setMaxCols(1);
        grid->setColHeaderRows(1);
        grid->setHeaderText(1, 1, QStringLiteral("번호"));
        grid->setMaxRows(70000);
        for (int r = 1; r <= 70000; ++r)
            grid->setText(1, r, QString::number(r));
        const QString file = exportNow();
        const XlsBook book = readXls(file);
        QVERIFY2(book.error.isEmpty(), qPrintable(book.error));
        QCOMPARE(book.sheetNames, (QStringList{"Sheet1", "Sheet1 (2)"}));
        int next = 1;
        for (const auto &sheet : book.cells) {
            QCOMPARE(sheet.first().first(), QStringLiteral("번호"));
            for (qsizetype i = 1; i < sheet.size(); ++i)
                QCOMPARE(sheet[i].first(), QString::number(next++));
        }
        QCOMPARE(next, 70001);
        QFile log(folder() + "/Exp240515_103000LOG.TXT");
        QVERIFY(log.open(QIODevice::ReadOnly));
        QVERIFY(QString::fromUtf8(log.readAll()).contains(QStringLiteral("2개 시트")));
        QCOMPARE(grid->maxRows(), 70000);
    }
};

QTEST_MAIN(TestExport)
#include "tst_export.moc"
