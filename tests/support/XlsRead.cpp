#include "XlsRead.h"
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

namespace {
const char *kScript = R"(
import json, sys, xlrd
book = xlrd.open_workbook(sys.argv[1], formatting_info=True)
out = {"names": book.sheet_names(), "cells": [], "bold": [], "text": []}
for sh in book.sheets():
    out["cells"].append([[str(sh.cell_value(r, c)) for c in range(sh.ncols)] for r in range(sh.nrows)])
    out["bold"].append([[bool(book.font_list[book.xf_list[sh.cell_xf_index(r, c)].font_index].bold)
                         for c in range(sh.ncols)] for r in range(sh.nrows)])
    out["text"].append([all(sh.cell_type(r, c) in (xlrd.XL_CELL_TEXT, xlrd.XL_CELL_EMPTY, xlrd.XL_CELL_BLANK)
                            for c in range(sh.ncols)) for r in range(sh.nrows)])
sys.stdout.write(json.dumps(out))
)";
} // namespace

XlsBook readXls(const QString &file) {
    XlsBook book;
    QProcess p;
    p.start(QStringLiteral("/usr/bin/python3"), {QStringLiteral("-c"), QString::fromUtf8(kScript), file});
    if (!p.waitForFinished(120000) || p.exitCode() != 0) {
        book.error = QString::fromUtf8(p.readAllStandardError()).trimmed();
        if (book.error.isEmpty())
            book.error = QStringLiteral("python3 did not finish");
        return book;
    }
    const QJsonObject o = QJsonDocument::fromJson(p.readAllStandardOutput()).object();
    for (const auto &n : o.value(QStringLiteral("names")).toArray())
        book.sheetNames << n.toString();
    for (const auto &sheet : o.value(QStringLiteral("cells")).toArray()) {
        QList<QStringList> rows;
        for (const auto &row : sheet.toArray()) {
            QStringList cols;
            for (const auto &v : row.toArray())
                cols << v.toString();
            rows << cols;
        }
        book.cells << rows;
    }
    for (const auto &sheet : o.value(QStringLiteral("bold")).toArray()) {
        QList<QList<bool>> rows;
        for (const auto &row : sheet.toArray()) {
            QList<bool> cols;
            for (const auto &v : row.toArray())
                cols << v.toBool();
            rows << cols;
        }
        book.bold << rows;
    }
    for (const auto &sheet : o.value(QStringLiteral("text")).toArray()) {
        QList<bool> rows;
        for (const auto &v : sheet.toArray())
            rows << v.toBool();
        book.textCells << rows;
    }
    return book;
}
