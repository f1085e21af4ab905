#pragma once
#include <QString>

// The benchmarks' data: a catalogue of generated handsets and the process's memory peak.
namespace BenchData {
// A main database with rows handsets; pictureShare percent of them get a picture in imgDir.
bool generate(const QString &dbFile, const QString &imgDir, int rows, int pictureShare);
// A temporary application folder holding such a catalogue, opened as the shared connection;
// the database file, or an empty text when it could not be made.
QString openCatalogue(const QString &folder, int rows, int pictureShare);
// Peak resident memory in KiB (VmHWM), -1 where unknown.
long peakKb();
// Starts a new peak from the current memory.
void forgetPeak();
} // namespace BenchData
