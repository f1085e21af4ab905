#include "../handset/HandsetFixture.h"
#include "AppPaths.h"
#include "Backup.h"
#include "BackupToolRun.h"
#include "EnvFixture.h"
#include "ImportFixture.h"
#include "ImportMapping.h"
#include "ImportPlan.h"
#include "ImportWrite.h"
#include "SheetFiles.h"
#include <QHash>
#include <QJsonArray>
#include <QTemporaryDir>

using namespace modMDB_Func;
using ImportPlan::Kind;

// An import from the list's own export, edited by other programs, against the catalogue
// read back by the engine's tool; its archive restored by the backup program.
class TestImportWrite : public EnvFixture {
    Q_OBJECT
    QTemporaryDir dir;
    // The round trip's files, saved by LibreOffice after its edit, and the catalogue each edit
    // means; made once, from the first case's exports (every case starts from the same demo).
    QHash<QString, QString> edited;
    QHash<QString, QStringList> meant;

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
    // Rows of a sheet under the header 관리번호, ID, 출시년도, 모델명, 애칭: "a|b|c" a row, "/" between.
    static std::vector<QStringList> sheet(const QString &rows) {
        std::vector<QStringList> out{{"관리번호", "ID", "출시년도", "모델명", "애칭"}};
        for (const QString &row : rows.split('/'))
            out.push_back(row.split('|'));
        return out;
    }
    // The other PC's statement, run by the engine's own command-line tool.
    bool otherPc(const QString &sql) {
        if (!TestEnv::onServer())
            return !ImportFixture::run("sqlite3", {env->databaseFile(), sql + ";SELECT 1"}).isEmpty();
        const ServerConnection &c = env->server;
        QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
        e.insert("PGPASSWORD", c.password);
        return !ImportFixture::run("psql",
                                   {"-X", "-q", "-h", c.host, "-p", QString::number(c.port), "-U", c.user, "-d",
                                    c.database, "-c", sql + ";SELECT 1"},
                                   e)
                    .isEmpty();
    }

    void setUp() override { QVERIFY(openDemoDatabase(*env)); }

    // F8's .XLS edited once and saved as .xlsx, .xls, .ods and .csv; Shift+F8's .xlsx edited
    // and saved as itself: one LibreOffice for all of them.
    void editExports() {
        if (!edited.isEmpty())
            return;
        const QString xls = exportList(false), xlsx = exportList(true);
        QVERIFY(!xls.isEmpty() && !xlsx.isEmpty());
        // the header row bold as on screen, the numbers kept as typed
        QCOMPARE(ImportFixture::sheets({"facts", xlsx}).trimmed(),
                 QByteArray("sheets=1 rows=41 bold=1 text=1 last=000040"));
        QJsonArray fromXls;
        for (const char *format : {"xlsx", "xls", "ods", "csv"})
            fromXls << (edited[format] = dir.filePath(QString("F8.") + format));
        edited["own xlsx"] = dir.filePath("own.xlsx");
        const QJsonArray answers = ImportFixture::calc(
            {QJsonArray{"edit", xls, fromXls}, QJsonArray{"edit", xlsx, QJsonArray{edited["own xlsx"]}}});
        QCOMPARE(answers.size(), 2);
        for (const QString &format : edited.keys())
            for (const QJsonValue &line : answers[format == "own xlsx" ? 1 : 0].toArray())
                meant[format] << line.toString();
    }

private Q_SLOTS:

    void rules_data() {
        QTest::addColumn<int>("match");
        QTest::addColumn<QString>("rows");
        QTest::addColumn<int>("kind"); // of the last row
        QTest::addColumn<QString>("says");
        const int code = int(ImportPlan::Match::ByCode), id = int(ImportPlan::Match::ById),
                  none = int(ImportPlan::Match::None);
        const int add = int(Kind::Add), same = int(Kind::Same), change = int(Kind::Change), error = int(Kind::Error);
        QTest::newRow("required ID empty") << code << "000001||2008" << error << "[ID] 필수";
        QTest::newRow("model too long") << code << "|X|2020|" + QString(101, u'가') << error << "[모델명] 100자보다";
        QTest::newRow("40,000 characters") << none << "|X|2020||" + QString(40000, u'가') << error << "(40000자)";
        QTest::newRow("management number too long") << code << "1234567|X|2020" << error << "6자보다";
        QTest::newRow("year no number") << code << "|Y|2020년" << error << "숫자가 아닙니다";
        QTest::newRow("control character") << code << QString("|Z\x01|2020") << error << "제어 문자";
        QTest::newRow("NUL") << none << QString("|Z|2020|a") + QChar(0) + "b" << error << "제어 문자";
        QTest::newRow("twice in the file") << code << "000002|A|2001/000002|B|2002" << error << "2행과 같음";
        QTest::newRow("unchanged") << code << "000003|SPH-W4700|2008|햅틱2|햅틱" << same << "";
        QTest::newRow("letter case counts as a change")
            << code << "000003|SPH-W4700|2008|햅틱2|HAPTIC" << change << "애칭";
        QTest::newRow("free number kept") << code << "999999|N|2020" << add << "";
        QTest::newRow("by ID, its number left") << id << "777777|SCH-W270|2008|애니콜 W270|고아라폰" << same << "";
        QTest::newRow("ID of two handsets") << id << "|SCH-W420|2008" << error << "여럿";
        QTest::newRow("none: all new") << none << "000001|SCH-W270|2008" << add << "";
    }
    // Each refusal names its field and reason; the catalogue is the demo's.
    void rules() {
        QFETCH(int, match);
        QFETCH(QString, rows);
        QFETCH(int, kind);
        QFETCH(QString, says);
        ExecuteSQL("INSERT INTO t_mobile (mcode, mid, makeyear) VALUES ('000099', 'SCH-W420', '2020')");
        const ImportPlan::Plan p = plan(sheet(rows), ImportPlan::Match(match), ImportPlan::readCatalogue());
        QCOMPARE(int(p.rows.back().kind), kind);
        const QString what = p.rows.back().kind == Kind::Error ? p.rows.back().reason : p.rows.back().changed.join(',');
        QVERIFY2(says.isEmpty() ? what.isEmpty() : what.contains(says), qPrintable(what));
        if (kind == int(Kind::Add))
            QCOMPARE(p.rows.back().fields[0], match == int(ImportPlan::Match::ByCode) ? QString("999999") : QString());
    }

    // A handset another PC changed after the preview: nothing of the import is written.
    void changedElsewhere() {
        const auto catalogue = ImportPlan::readCatalogue();
        const ImportPlan::Plan p =
            plan(sheet("|NEW-1|2024/000001|SCH-W270|2008|골드|고아라폰"), ImportPlan::Match::ByCode, catalogue);
        QCOMPARE(p.counts.add + p.counts.change, 2);
        QVERIFY(otherPc("UPDATE t_mobile SET nick = '다른 PC' WHERE mcode = '000001'"));
        const QStringList meanwhile = ImportFixture::catalogue(*env);
        const ImportWrite::Outcome out = ImportWrite::write(p, catalogue, false, options());
        QVERIFY(!out.ok);
        QVERIFY2(out.message.contains("다른 PC에서 이 핸드폰이 바뀌었습니다"), qPrintable(out.message));
        QCOMPARE(ImportFixture::catalogue(*env), meanwhile);
    }

    // The duplicate-ID question is one for the import; "No" leaves those rows out.
    void duplicateIds() {
        const auto catalogue = ImportPlan::readCatalogue();
        const ImportPlan::Plan p =
            plan(sheet("|SCH-W270|2024/|NEW-1|2024/|new-1|2025"), ImportPlan::Match::ByCode, catalogue);
        QCOMPARE(ImportWrite::duplicateIds(p, catalogue), 2);
        const ImportWrite::Outcome out = ImportWrite::write(p, catalogue, true, options());
        QVERIFY2(out.ok, qPrintable(out.message));
        QCOMPARE(out.added, 1);
        QCOMPARE(out.skipped, 2);
        QCOMPARE(ImportFixture::catalogue(*env, "mid").filter(QRegularExpression("^(SCH-W270|NEW-1|new-1)$")),
                 QStringList({"SCH-W270", "NEW-1"}));
    }

    // A number the file gives is never handed out, not even a refused row's: corrected and
    // imported again, that row would change the handset numbered so.
    void numberingPassesTheFilesNumbers() {
        const auto catalogue = ImportPlan::readCatalogue();
        const ImportPlan::Plan p = plan(sheet("|NUM-A|2024/000041||2024"), ImportPlan::Match::ByCode, catalogue);
        QCOMPARE(p.counts.error, 1);
        const ImportWrite::Outcome out = ImportWrite::write(p, catalogue, false, options());
        QVERIFY2(out.ok, qPrintable(out.message));
        QCOMPARE(ImportFixture::catalogue(*env, "mcode").filter(QRegularExpression("^00004")),
                 QStringList({"000040", "000042"}));
    }

    // Pictures come with their handsets through the store of the open database: named in a
    // column (beside the file) or found as <ID>.* in a folder chosen beside it.
    void pictures() {
        QDir().mkpath(dir.filePath("pics/byid"));
        QImage red(4, 4, QImage::Format_RGB32), blue(4, 4, QImage::Format_RGB32);
        red.fill(Qt::red);
        blue.fill(Qt::blue);
        QVERIFY(red.save(dir.filePath("pics/named.png")) && blue.save(dir.filePath("pics/byid/NEW-2.png")));
        QFile text(dir.filePath("pics/byid/NEW-3.jpg"));
        QVERIFY(text.open(QIODevice::WriteOnly) && text.write("no picture") > 0);
        text.close();
        const std::vector<QStringList> rows{{"관리번호", "ID", "출시년도", "사진"},
                                            {"", "NEW-1", "2024", "pics/named.png"},
                                            {"", "NEW-2", "2024", ""},
                                            {"", "NEW-3", "2024", ""},
                                            {"", "NEW-4", "2024", "pics/byid/NEW-3.jpg"},
                                            {"000001", "SCH-W270", "2008", "missing.png"}};
        ImportPlan::Input in;
        in.rows = &rows;
        in.mapping = ImportMapping::guess(rows[0]);
        in.pictureFolder = dir.path();
        in.idPictureFolder = dir.filePath("pics/byid");
        const auto catalogue = ImportPlan::readCatalogue();
        const ImportPlan::Plan p = ImportPlan::build(in, catalogue);
        QCOMPARE(p.counts.add, 2);
        // A file that is no picture is refused in the preview, before anything is written.
        for (size_t i : {2, 3})
            QVERIFY2(p.rows[i].reason.contains("그림으로 읽을 수 없습니다"), qPrintable(p.rows[i].reason));
        QVERIFY2(p.rows.back().reason.contains("사진 파일이 없습니다"), qPrintable(p.rows.back().reason));
        const ImportWrite::Outcome out = ImportWrite::write(p, catalogue, false, options());
        QVERIFY2(out.ok && out.message.isEmpty(), qPrintable(out.message));
        QCOMPARE(out.pictures, 2);
        if (TestEnv::onServer()) {
            const ServerConnection &c = env->server;
            QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
            e.insert("PGPASSWORD", c.password);
            QCOMPARE(ImportFixture::run("psql",
                                        {"-X", "-A", "-t", "-h", c.host, "-p", QString::number(c.port), "-U", c.user,
                                         "-d", c.database, "-c",
                                         "SELECT string_agg(mid::text, ',' ORDER BY mid) FROM t_mobile_picture "
                                         "WHERE mid IN ('NEW-1', 'NEW-2')"},
                                        e)
                         .trimmed(),
                     QByteArray("NEW-1,NEW-2"));
        } else {
            QCOMPARE(QImage(env->appFolder() + "/IMG/NEW-1.bmp").pixel(1, 1), QColor(Qt::red).rgb());
            QCOMPARE(QImage(env->appFolder() + "/IMG/NEW-2.bmp").pixel(1, 1), QColor(Qt::blue).rgb());
        }
    }

    // <ID>.* in the chosen folder: the first of the picture types that is a file (or a link
    // to one), its name as the file system compares names.
    void picturesById() {
        const QString folder = dir.filePath("byid");
        QDir().mkpath(folder + "/B1.png");
        for (const char *name : {"A1.jpg", "a2.JPG", "B1.gif", "E1.jpeg", "E1.bmp", ".hidden.png"})
            QVERIFY(QFile(folder + "/" + name).open(QIODevice::WriteOnly));
        QVERIFY(QFile::link(folder + "/A1.jpg", folder + "/C1.png"));
        QVERIFY(QFile::link(folder + "/gone.png", folder + "/D1.png"));
        // Whether this file system ignores letter case, asked of it directly.
        const bool caseBlind = QFileInfo::exists(folder + "/a1.JPG");
        const struct {
            QString id, picture;
        } cases[] = {{"A1", "A1.jpg"}, {"A2", caseBlind ? "A2.jpg" : ""},
                     {"B1", "B1.gif"}, {"C1", "C1.png"},
                     {"D1", ""},       {"E1", "E1.bmp"},
                     {"F1", ""},       {".hidden", ""}};
        std::vector<QStringList> rows{{"ID", "출시년도"}};
        for (const auto &c : cases)
            rows.push_back({c.id, "2024"});
        ImportPlan::Input in;
        in.rows = &rows;
        in.mapping = ImportMapping::guess(rows[0]);
        in.match = ImportPlan::Match::None;
        in.idPictureFolder = folder;
        const ImportPlan::Plan p = ImportPlan::build(in, ImportPlan::readCatalogue());
        QCOMPARE(p.rows.size(), std::size(cases));
        for (size_t i = 0; i < std::size(cases); ++i)
            QCOMPARE(QFileInfo(p.rows[i].picture).fileName(), cases[i].picture);
    }

    void roundTrip_data() {
        QTest::addColumn<QString>("format");
        QTest::addColumn<bool>("restore"); // the archive is the same whatever the file: restored on three
        QTest::newRow("F8's .XLS edited, saved as .xlsx") << "xlsx" << true;
        QTest::newRow("F8's .XLS edited, saved as .xls") << "xls" << true;
        // What a file gives does not depend on the engine: these two on one of them.
        if (!TestEnv::onServer()) {
            QTest::newRow("F8's .XLS edited, saved as .ods") << "ods" << false;
            QTest::newRow("F8's .XLS edited, saved as .csv") << "csv" << false;
        }
        QTest::newRow("Shift+F8's .xlsx edited") << "own xlsx" << true;
    }
    // The list's export, opened by LibreOffice, three handsets changed, two added and one
    // refused through its cells and saved by it: the preview says so, the catalogue
    // afterwards is what the edit meant, and the archive taken first brings back the
    // catalogue as it was.
    void roundTrip() {
        QFETCH(QString, format);
        const QString everything =
            "code, mcode, mid, makeyear, makecom, opentype, ant, model, sar, nick, imgpath, bigo";
        const QStringList before = ImportFixture::catalogue(*env, everything);
        QCOMPARE(before.size(), 40);
        editExports();
        const QString file = edited.value(format);
        const QStringList expected = meant.value(format);
        QVERIFY(QFileInfo::exists(file));
        QCOMPARE(expected.size(), 42);

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

        QFETCH(bool, restore);
        if (!restore)
            return;
        DBTerminate();
        QString said;
        QVERIFY2(runBackupTool({"--restore", done.archive, "--yes"}, &said) == 0, qPrintable(said));
        QVERIFY(env->reopenDatabase());
        QCOMPARE(ImportFixture::catalogue(*env, everything), before); // keys and all, as before the import
    }
};

QTEST_MAIN(TestImportWrite)
#include "tst_import_write.moc"
