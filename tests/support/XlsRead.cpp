#include "XlsRead.h"
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>

QByteArray runXlsReader(const QStringList &args, QString *error) {
    const QString python = QFile::exists(QStringLiteral("/usr/bin/python3")) ? QStringLiteral("/usr/bin/python3")
                                                                             : QStringLiteral("python3");
    QProcess p;
    p.start(python, QStringList{QStringLiteral(MOBILESHOP_XLS_READER)} + args);
    if (!p.waitForFinished(180000) || p.exitCode() != 0) {
        if (error) {
            *error = QString::fromUtf8(p.readAllStandardError()).trimmed();
            if (error->isEmpty())
                *error = QStringLiteral("python3 did not finish");
        }
        return {};
    }
    return p.readAllStandardOutput();
}

QJsonObject readXlsJson(const QString &file, int fmtRows, bool walkRecords) {
    QString error;
    const QByteArray out =
        runXlsReader({file, QString::number(fmtRows), walkRecords ? QStringLiteral("1") : QStringLiteral("0")}, &error);
    if (!error.isEmpty())
        return {{QStringLiteral("error"), error}};
    return QJsonDocument::fromJson(out).object();
}

XlsBook readXls(const QString &file) {
    XlsBook book;
    const QJsonObject o = readXlsJson(file);
    book.error = o.value(QStringLiteral("error")).toString();
    for (const QJsonValue &s : o.value(QStringLiteral("sheets")).toArray()) {
        const QJsonObject sheet = s.toObject();
        book.sheetNames << sheet.value(QStringLiteral("name")).toString();
        QList<QStringList> texts;
        for (const QJsonValue &row : sheet.value(QStringLiteral("text")).toArray())
            texts << row.toVariant().toStringList();
        book.cells << texts;
        QList<QList<bool>> bold;
        for (const QJsonValue &row : sheet.value(QStringLiteral("bold")).toArray()) {
            QList<bool> cols;
            for (const QJsonValue &v : row.toArray())
                cols << v.toBool();
            bold << cols;
        }
        book.bold << bold;
        QList<bool> textRows;
        for (const QJsonValue &v : sheet.value(QStringLiteral("textRows")).toArray())
            textRows << v.toBool();
        book.textCells << textRows;
    }
    return book;
}
