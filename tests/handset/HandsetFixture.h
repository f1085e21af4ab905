#pragma once
#include "DemoCatalogue.h"
#include "FilePictureStore.h"
#include "FloatMsg.h"
#include "PictureTable.h"
#include "TestEnv.h"
#include "fbMobil_Admin.h"
#include "fbMobil_Save.h"
#include "frmMain.h"
#include "modMDB_Func.h"
#include <QApplication>
#include <QBuffer>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>

// A file's bytes; empty when it cannot be read.
inline QByteArray fileBytes(const QString &file) {
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A picture file's bytes: one colour, as BMP (files of one size are as long whatever the colour).
inline QByteArray bmpOf(QColor colour, QSize size = {40, 60}) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "BMP");
    return bytes;
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

// The handset list as the menu opens it, a child of main; null when it did not open.
inline fbMobil_Admin *openListThroughMain(frmMain &main) {
    main.show();
    QApplication::setActiveWindow(&main);
    main.mnuBase_Mobil_Click();
    fbMobil_Admin *list = main.findChild<fbMobil_Admin *>();
    if (list)
        list->QueryList();
    return list;
}

// In an open entry window: the ID and release year typed, the picture file chosen when one
// is given, saved with answers to the questions the save asks (Yes true, No false); Save's result.
inline bool typeIdAndSave(fbMobil_Save *e, TestEnv &env, const QString &id, const QString &chosen = {},
                          const QList<bool> &answers = {}) {
    e->htField[1]->setText(id);
    e->htField[2]->setText("2024");
    if (!chosen.isEmpty()) {
        env.prompter.answerText(chosen);
        e->btnPicture->click();
    }
    for (bool yes : answers)
        yes ? env.prompter.answerYes() : env.prompter.answerNo();
    return e->Save();
}

// What a case left the prompter: boxes nobody scripted or answers nobody asked for.
inline QString promptsLeftOver(const TestEnv &env) {
    QStringList left = env.prompter.unexpected();
    if (env.prompter.pendingAnswers() > 0)
        left << QStringLiteral("%1 answers never asked for").arg(env.prompter.pendingAnswers());
    return left.join('\n');
}
