#pragma once
#include <QPointer>
#include <QString>

class Spread;

// One print of a window's grid: what the window asks for, and what the print object, the
// preview, page setup, the print dialog and the header/footer editor share while it runs.
struct PrintRequest {
    QPointer<Spread> grid; // the grid being printed
    QString section;       // the job's settings section (sRegKey)
    QString title;         // sTitle: also the printed document's name
    QString headLeft, headCenter;
    QString footText; // the window's own footer lines, CR LF between them
    int orientation = 1;
    double marginLeft = 0, marginRight = 0, marginTop = 0, marginBottom = 0; // inches, unless stored
    bool printFoot = false;                                                  // the page and date line
    int scalingAllowed = 0; // 0: fit to page is not offered, 1: offered and on by default
    bool skipPreview = false;
    int titleFont = 16;

    // Set by the print object and the dialogs as the job goes on.
    QString appName;    // settings application name (SetAppName)
    int zoomIndex = 8;  // preview zoom, 0 to 13
    QString fullHeader; // the header as composed, for the editor's defaults
    QString fullFooter; // the footer as composed, for option 8 switched back on

    // application name + "_PritSetUp": where the print settings live.
    QString settingsApp() const;
    QString setting(const QString &key, const QString &defaultValue) const;
    bool saveSetting(const QString &key, const QString &value) const;
};
