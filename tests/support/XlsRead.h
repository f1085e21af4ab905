#pragma once
#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>

// An .xls file as python3-xlrd (an independent reader) sees it: what support/xls_read.py
// prints, or {"error": ...} when it could not read the file. fmtRows rows get their formats;
// walkRecords also checks the stream's records against the offsets they store ("problems").
QJsonObject readXlsJson(const QString &file, int fmtRows = 0, bool walkRecords = false);
// Runs support/xls_read.py with args; its output, empty with *error set on failure.
QByteArray runXlsReader(const QStringList &args, QString *error = nullptr);

// The same, as cell texts and formats.
struct XlsBook {
    QString error; // empty when xlrd read the file
    QStringList sheetNames;
    QList<QList<QStringList>> cells; // [sheet][row][col] cell values as text
    QList<QList<QList<bool>>> bold;  // [sheet][row][col]
    QList<QList<bool>> textCells;    // [sheet][row]: every non-empty cell of the row is a text cell
};
XlsBook readXls(const QString &file);
