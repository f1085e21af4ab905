// Bringing a large catalogue in: reading .xlsx and .csv, the preview against the catalogue,
// and the write of every row as a new handset; beside LibreOffice headless converting the
// same .xlsx to .csv (reading alone), in the same run.
//   bench_import [rows=100000]
#include "Backup.h"
#include "BenchData.h"
#include "ImportMapping.h"
#include "ImportPlan.h"
#include "ImportWrite.h"
#include "SheetFiles.h"
#include "XlsxWriter.h"
#include "modMDB_Func.h"
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>
#include <QUrl>
#include <cstdio>

namespace {
// The catalogue as the list exports it: the header row, then the nine entry columns.
void writeFiles(const std::vector<ImportPlan::Existing> &catalogue, const QString &xlsx, const QString &csv) {
    SheetStore store;
    store.setMaxCols(HandsetColumns::kFieldCount);
    store.setMaxRows(int(catalogue.size()) + 1);
    QFile f(csv);
    f.open(QIODevice::WriteOnly);
    QTextStream out(&f);
    std::vector<XlsColumn> columns;
    for (int c = 0; c < HandsetColumns::kFieldCount; ++c) {
        const QString header = QString::fromUtf8(HandsetColumns::field(c).header);
        store.setText(c + 1, 1, header);
        out << (c ? "," : "") << header;
        columns.push_back({c + 1, 12});
    }
    out << '\n';
    for (size_t r = 0; r < catalogue.size(); ++r) {
        for (int c = 0; c < HandsetColumns::kFieldCount; ++c) {
            const QString &text = catalogue[r].fields[size_t(c)];
            store.setText(c + 1, int(r) + 2, text);
            out << (c ? ",\"" : "\"") << QString(text).replace('"', "\"\"") << '"';
        }
        out << '\n';
    }
    writeXlsxFile(store, store.maxRows(), columns, {}, xlsx);
}

qint64 timed(const std::function<void()> &work) {
    QElapsedTimer t;
    t.start();
    work();
    return t.elapsed();
}
} // namespace

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    const int rows = argc > 1 ? atoi(argv[1]) : 100000;
    QTemporaryDir dir;
    if (BenchData::openCatalogue(dir.path(), rows, 0).isEmpty())
        return 1;
    const QString xlsx = dir.filePath("catalogue.xlsx"), csv = dir.filePath("catalogue.csv");
    std::vector<ImportPlan::Existing> catalogue = ImportPlan::readCatalogue();
    writeFiles(catalogue, xlsx, csv);
    std::printf("rows: %zu\n", catalogue.size());

    for (const QString &file : {xlsx, csv}) {
        SheetData::Read read;
        const qint64 readMs = timed([&] { read = SheetFiles::read(file, {}); });
        ImportPlan::Input in;
        in.rows = &read.rows;
        in.mapping = ImportMapping::guess(read.rows.at(0));
        ImportPlan::Plan plan;
        const qint64 planMs = timed([&] {
            catalogue = ImportPlan::readCatalogue();
            plan = ImportPlan::build(in, catalogue);
        });
        std::printf("%s: read %lld ms, preview against the catalogue %lld ms (together %lld ms; %d same)\n",
                    qPrintable(QFileInfo(file).suffix()), readMs, planMs, readMs + planMs, plan.counts.same);
    }

    // Every row new: the catalogue emptied, the .xlsx brought in again.
    modMDB_Func::ExecuteSQL(QStringLiteral("DELETE FROM t_mobile WHERE code <> 1"));
    const SheetData::Read read = SheetFiles::read(xlsx, {});
    ImportPlan::Input in;
    in.rows = &read.rows;
    in.mapping = ImportMapping::guess(read.rows.at(0));
    catalogue = ImportPlan::readCatalogue();
    const ImportPlan::Plan plan = ImportPlan::build(in, catalogue);
    ImportWrite::Options o;
    o.databaseFolder = dir.filePath("DBS");
    o.archiveFolder = dir.filePath("Backup");
    o.logFolder = dir.filePath("ExpExcel");
    ImportWrite::Outcome done;
    const qint64 writeMs = timed([&] { done = ImportWrite::write(plan, catalogue, false, o); });
    std::printf("write %d new handsets (archive first, one transaction, log): %lld ms%s\n", done.added, writeMs,
                done.ok ? "" : qPrintable(QStringLiteral(" FAILED: ") + done.message));

    QProcessEnvironment env;
    env.insert("PATH", qEnvironmentVariable("PATH"));
    env.insert("HOME", dir.path());
    QProcess lo;
    lo.setProcessEnvironment(env);
    const auto convert = [&] {
        lo.start("soffice", {"-env:UserInstallation=" + QUrl::fromLocalFile(dir.filePath("lo")).toString(),
                             "--headless", "--convert-to", "csv", "--outdir", dir.filePath("lo-out"), xlsx});
        lo.waitForFinished(-1);
    };
    convert(); // the first start makes LibreOffice's profile
    const qint64 loMs = timed(convert);
    if (lo.exitCode() != 0 || !QFile::exists(dir.filePath("lo-out/catalogue.csv"))) {
        std::printf("LibreOffice headless did not convert the file\n");
        return 0;
    }
    std::printf("LibreOffice headless, .xlsx to .csv: %lld ms (its second start, the profile made)\n", loMs);
    return 0;
}
