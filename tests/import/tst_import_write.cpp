#include "../handset/HandsetFixture.h"
#include "AppPaths.h"
#include "Backup.h"
#include "ImportFixture.h"
#include "ImportMapping.h"
#include "ImportPlan.h"
#include "ImportWrite.h"
#include "SheetFiles.h"
#include <QTemporaryDir>

using namespace modMDB_Func;
using ImportPlan::Kind;

// An import from the list's own export, edited by other programs, against the catalogue
// read back by the engine's tool; its archive restored by the backup program.
class TestImportWrite : public QObject {
    Q_OBJECT
    std::unique_ptr<TestEnv> env;
    QTemporaryDir dir;

    ImportWrite::Options options() const {
        ImportWrite::Options o;
        o.databaseFolder = AppPaths::inApp("DBS");
        o.archiveFolder = Backup::archiveFolder(Backup::HardDisk, o.databaseFolder);
        o.logFolder = AppPaths::inApp("ExpExcel");
        return o;
    }
    static ImportPlan::Plan plan(const std::vector<QStringList> &rows, ImportPlan::Match match,
                                 const std::vector<ImportPlan::Existing> &catalogue) {
        ImportPlan::Input in;
        in.rows = &rows;
        in.mapping = ImportMapping::guess(rows.at(0));
        in.match = match;
        return ImportPlan::build(in, catalogue);
    }
    // F8 (or Shift+F8 for .xlsx) in the list, as the user answers its question; the file written.
    QString exportList(bool xlsx) {
        fbMobil_Admin list;
        list.show();
        list.QueryList();
        env->prompter.answerYes();
        xlsx ? list.ExportListXlsx() : list.ExportList();
        const QStringList files = QDir(AppPaths::inApp("ExpExcel")).entryList({xlsx ? "*.xlsx" : "*.XLS"});
        return files.size() == 1 ? AppPaths::inApp("ExpExcel/") + files[0] : QString();
    }
    int runBackupTool(const QStringList &args) {
        QProcess p;
        p.setProcessChannelMode(QProcess::MergedChannels);
        p.start(AppPaths::toolPath(Backup::toolName()), QStringList{"--no-window", "--wait-seconds", "30"} + args);
        if (!p.waitForFinished(120000))
            return -100;
        if (p.exitCode() != 0)
            qWarning("%s", p.readAll().constData());
        return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    }

private Q_SLOTS:
    void init() {
        env = std::make_unique<TestEnv>();
        QVERIFY(openDemoDatabase(*env));
    }
    void cleanup() {
        QVERIFY2(env->noUnexpectedBoxes(), qPrintable(promptsLeftOver(*env)));
        env.reset();
    }

    void roundTrip_data() {
        QTest::addColumn<QString>("format");
        QTest::newRow("F8's .XLS edited, saved as .xlsx") << "xlsx";
        QTest::newRow("F8's .XLS edited, saved as .xls by LibreOffice") << "xls";
        QTest::newRow("Shift+F8's .xlsx edited by openpyxl") << "own xlsx";
    }
    // The list's export, opened by LibreOffice, three handsets changed, two added and one
    // refused by openpyxl: the preview says so, the catalogue afterwards is what the edit
    // meant, and the archive taken first brings back the catalogue as it was.
    void roundTrip() {
        QFETCH(QString, format);
        const bool own = format == "own xlsx";
        const QString exported = exportList(own);
        QVERIFY(!exported.isEmpty());
        const QString everything =
            "code, mcode, mid, makeyear, makecom, opentype, ant, model, sar, nick, imgpath, bigo";
        const QStringList before = ImportFixture::catalogue(*env, everything);
        QCOMPARE(before.size(), 40);
        const QString work = dir.filePath(QString(format).replace(' ', '_'));
        QDir().mkpath(work);
        const QString opened = own ? exported : ImportFixture::convert(exported, "xlsx", work);
        QVERIFY(!opened.isEmpty());
        if (own) // the header row bold as on screen, the numbers kept as typed
            QCOMPARE(ImportFixture::sheets({"facts", exported}).trimmed(),
                     QByteArray("sheets=1 rows=41 bold=1 text=1 last=000040"));
        const QString edited = work + "/edited.xlsx";
        const QStringList expected =
            QString::fromUtf8(ImportFixture::sheets({"edit", opened, edited})).split('\n', Qt::SkipEmptyParts);
        QCOMPARE(expected.size(), 42);
        const QString file = format == "xls" ? ImportFixture::convert(edited, "xls", work) : edited;
        QVERIFY(!file.isEmpty());

        const SheetData::Read read = SheetFiles::read(file, {});
        QVERIFY2(read.ok, qPrintable(read.message));
        const std::vector<int> mapping = ImportMapping::guess(read.rows[0]);
        QCOMPARE(std::count_if(mapping.begin(), mapping.end(), [](int t) { return t >= 0; }), 10);
        const auto catalogue = ImportPlan::readCatalogue();
        const ImportPlan::Plan p = plan(read.rows, ImportPlan::Match::ByCode, catalogue);
        QCOMPARE(p.counts.add, 2);
        QCOMPARE(p.counts.change, 3);
        QCOMPARE(p.counts.error, 1);
        QCOMPARE(p.counts.same, 37);
        const auto error =
            std::find_if(p.rows.begin(), p.rows.end(), [](const auto &r) { return r.kind == Kind::Error; });
        QCOMPARE(error->line, 44);
        QVERIFY2(error->reason.contains("숫자가 아닙니다"), qPrintable(error->reason));
        const auto second = std::find_if(p.rows.begin(), p.rows.end(), [](const auto &r) { return r.line == 3; });
        QCOMPARE(second->changed, QStringList({"제조회사", "애칭"}));

        const ImportWrite::Outcome done = ImportWrite::write(p, catalogue, false, options());
        QVERIFY2(done.ok, qPrintable(done.message));
        QCOMPARE(done.added, 2);
        QCOMPARE(done.changed, 3);
        QCOMPARE(ImportFixture::catalogue(*env), expected);
        const QString log = QString::fromUtf8(fileBytes(done.log));
        QVERIFY2(log.contains("추가\t42행\t관리번호 000041\tID NEW-1") &&
                     log.contains("변경\t2행\t관리번호 000001\tID SCH-W270\t모델명: 애니콜 W270 → 애니콜 W270 골드"),
                 qPrintable(log));

        DBTerminate();
        QCOMPARE(runBackupTool({"--restore", done.archive, "--yes"}), 0);
        QVERIFY(env->reopenDatabase());
        QCOMPARE(ImportFixture::catalogue(*env, everything), before); // keys and all, as before the import
    }
};

QTEST_MAIN(TestImportWrite)
#include "tst_import_write.moc"
