#pragma once
#include <QList>
#include <QString>
#include <QStringList>

// An .xls file as python3-xlrd (an independent reader) sees it.
struct XlsBook {
    QString error; // empty when xlrd read the file
    QStringList sheetNames;
    QList<QList<QStringList>> cells; // [sheet][row][col] cell values as text
    QList<QList<QList<bool>>> bold;  // [sheet][row][col]
    QList<QList<bool>> textCells;    // [sheet][row]: every non-empty cell of the row is a text cell
};
XlsBook readXls(const QString &file);
