#pragma once
#include "DemoCatalogue.h"
#include "FilePictureStore.h"
#include "FloatMsg.h"
#include "PictureTable.h"
#include "TestEnv.h"
#include "modMDB_Func.h"
#include <QFile>
#include <QRegularExpression>
#include <QTest>

// A file's bytes; empty when it cannot be read.
inline QByteArray fileBytes(const QString &file) {
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A database holding the demo catalogue (codes 2..41, management numbers 000001..000040).
inline bool openDemoDatabase(TestEnv &env) {
    if (!env.openFreshDatabase())
        return false;
    QString error;
    ResetFloatMsg();
    return DemoCatalogue::seed(modMDB_Func::connection(), env.appFolder() + "/IMG", &error);
}

// Bytes kept as the ID's picture where the open database keeps pictures: IMG/ of a file
// database; a server's table, and this PC's cached file as a save leaves it.
inline bool putPicture(const TestEnv &env, const QString &id, const QByteArray &bytes) {
    QString why;
    if (TestEnv::onServer() && !PictureTable::put(modMDB_Func::connection(), id, bytes, &why))
        return false;
    return FilePictureStore(env.appFolder() + "/IMG").write(id, bytes, &why);
}

// The floating notices the windows started, by text.
inline QStringList floatNotices(const TestEnv &env) {
    QStringList out;
    for (const auto &c : env.shell.starts)
        if (c.program.endsWith("FloatMsg"))
            out << QString(c.argumentText).remove(QRegularExpression("/P-?\\d+,-?\\d+$"));
    return out;
}
