#pragma once
#include <QString>
#include <QStringList>
#include <vector>

// The benchmarks' data: a catalogue of generated handsets and the process's memory peak.
namespace BenchData {
// A main database with rows handsets; pictureShare percent of them get a picture in imgDir.
// Every row's remark is remark.
bool generate(const QString &dbFile, const QString &imgDir, int rows, int pictureShare, const QString &remark = {});
// A temporary application folder holding such a catalogue, opened as the shared connection;
// the database file, or an empty text when it could not be made.
QString openCatalogue(const QString &folder, int rows, int pictureShare, const QString &remark = {});
// Peak resident memory in KiB (VmHWM), -1 where unknown.
long peakKb();
// Resident memory now in KiB (VmRSS), -1 where unknown.
long residentKb();
// CPU time (user + system) of this process, or of its children that have ended, in ms.
double cpuMs(bool children = false);
// Starts a new peak from the current memory.
void forgetPeak();

// What the size benchmarks are told: --runs n, --data folder (catalogues kept there between
// runs, else a temporary one) and the sizes, else those given.
struct Options {
    int runs = 7;
    QString data;
    std::vector<int> sizes;
};
Options parseOptions(const QStringList &args, std::vector<int> defaultSizes);
} // namespace BenchData
