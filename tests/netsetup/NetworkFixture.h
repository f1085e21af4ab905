#pragma once
#include <QDir>
#include <QFile>
#include <QString>

// Builds a network below a portable network root: "SERVER/share" folders, "SERVER/name.printer"
// printers, "name.provider/SERVER/share" for another provider.
inline void addShare(const QString &root, const QString &relative) {
    QDir().mkpath(root + QLatin1Char('/') + relative);
}

inline void addPrinterFile(const QString &root, const QString &relative) {
    QDir().mkpath(QFileInfo(root + QLatin1Char('/') + relative).absolutePath());
    QFile f(root + QLatin1Char('/') + relative);
    (void)f.open(QIODevice::WriteOnly);
}
