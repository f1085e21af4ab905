#pragma once
#include "DemoCatalogue.h"
#include "FloatMsg.h"
#include "TestEnv.h"
#include "modMDB_Func.h"
#include <QRegularExpression>
#include <QTest>

// A database holding the demo catalogue (codes 2..41, management numbers 000001..000040).
inline bool openDemoDatabase(TestEnv &env) {
    if (!env.openFreshDatabase())
        return false;
    QString error;
    ResetFloatMsg();
    return DemoCatalogue::seed(modMDB_Func::connection(), env.appFolder() + "/IMG", &error);
}

// The floating notices the windows started, by text.
inline QStringList floatNotices(const TestEnv &env) {
    QStringList out;
    for (const auto &c : env.shell.starts)
        if (c.program.endsWith("FloatMsg"))
            out << QString(c.argumentText).remove(QRegularExpression("/P-?\\d+,-?\\d+$"));
    return out;
}
