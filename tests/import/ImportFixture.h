#pragma once
#include "TestEnv.h"
#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QTest>

// What the import tests check against: files made by LibreOffice (and openpyxl where it
// cannot), the database read back by the engine's own command-line tool.
namespace ImportFixture {

// stdout of a program that must succeed; empty (with a warning) when it did not.
inline QByteArray run(const QString &program, const QStringList &args, const QProcessEnvironment &env = {},
                      int timeoutMs = 120000) {
    QProcess p;
    if (!env.isEmpty())
        p.setProcessEnvironment(env);
    p.start(program, args);
    if (!p.waitForFinished(timeoutMs) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        qWarning("%s %s: %s", qPrintable(program), qPrintable(args.join(' ')), p.readAllStandardError().constData());
        return {};
    }
    return p.readAllStandardOutput();
}

inline QString script() { return QStringLiteral(IMPORT_TEST_SOURCE_DIR "/sheets.py"); }

// sheets.py with the system's Python (the one with openpyxl).
inline QByteArray sheets(const QStringList &args) {
    return run(QStringLiteral("/usr/bin/python3"), QStringList{script()} + args);
}

// calc.py's jobs done by one LibreOffice (see there); its answers, one per job, or an empty
// array (with a warning) when it failed.
inline QJsonArray calc(std::initializer_list<QJsonArray> list) {
    QJsonArray jobs; // not a QJsonArray parameter: {one job} would be taken for the job's own array
    for (const QJsonArray &job : list)
        jobs.append(job);
    QProcess p;
    // Its own environment: nothing of the test's (display platform, folders) reaches it.
    QProcessEnvironment env;
    env.insert(QStringLiteral("PATH"), qEnvironmentVariable("PATH"));
    env.insert(QStringLiteral("LANG"), QStringLiteral("C.UTF-8"));
    p.setProcessEnvironment(env);
    p.start(QStringLiteral("/usr/bin/python3"), {QStringLiteral(IMPORT_TEST_SOURCE_DIR "/calc.py")});
    p.write(QJsonDocument(jobs).toJson(QJsonDocument::Compact));
    p.closeWriteChannel();
    if (!p.waitForFinished(180000)) {
        p.terminate(); // it ends its office first
        p.waitForFinished(30000);
    }
    if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        qWarning("calc.py: %s", p.readAllStandardError().constData());
        return {};
    }
    const QJsonArray answers = QJsonDocument::fromJson(p.readAllStandardOutput()).array();
    if (answers.size() != jobs.size())
        qWarning("calc.py answered %d of %d jobs", int(answers.size()), int(jobs.size()));
    return answers.size() == jobs.size() ? answers : QJsonArray();
}

// The catalogue as the engine's tool prints it: one handset a line, the nine entry columns
// joined by '|', ordered by management number (the base record left out).
inline QStringList
catalogue(const TestEnv &env,
          const QString &columns = QStringLiteral("mcode, mid, makeyear, makecom, opentype, ant, model, sar, nick")) {
    const QString sql = QStringLiteral("SELECT %1 FROM t_mobile WHERE code <> 1 ORDER BY mcode, code").arg(columns);
    QByteArray out;
    if (TestEnv::onServer()) {
        const ServerConnection &s = env.server;
        QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
        e.insert(QStringLiteral("PGPASSWORD"), s.password);
        out = run(QStringLiteral("psql"),
                  {"-X", "-q", "-A", "-t", "-F", "|", "-h", s.host, "-p", QString::number(s.port), "-U", s.user, "-d",
                   s.database, "-c", sql},
                  e);
    } else {
        out = run(QStringLiteral("sqlite3"), {"-separator", "|", env.databaseFile(), sql});
    }
    return QString::fromUtf8(out).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

} // namespace ImportFixture
