#pragma once
#include <QSet>
#include <QString>

// The print properties of a grid, as the print job sets them and the print engine reads
// them. Margins are in twips (1440 per inch).
struct SheetPrintProps {
    enum Type { All = 0, CellRange = 1, CurrentPage = 2, PageRange = 3 };

    double marginTop = 720, marginBottom = 720, marginLeft = 720, marginRight = 720;
    int orientation = 1;    // 1 portrait, 2 landscape
    QString header, footer; // header/footer code texts
    bool colHeaders = true;
    bool rowHeaders = true;
    bool grid = true;
    bool border = true;
    bool color = true;   // off: black text on white
    bool shadows = true; // header cells shaded
    bool useDataMax = false;
    bool dataCellsOnly = false; // print only up to the last row and column holding data
    int scalingMethod = 0;      // 0 none, 1 the printed columns fit the width of a page
    int type = All;
    int col = 1, row = 1, col2 = -1, row2 = -1;     // CellRange; -1: the last
    int pageStart = 1, pageEnd = 1;                 // PageRange
    int currentPage = 1;                            // CurrentPage: the page the preview shows
    QSet<int> leftOutCols;                          // columns the window's report-column choice leaves out
    double paperWidth = 11906, paperHeight = 16838; // portrait, twips (A4)
};
