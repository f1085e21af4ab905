#pragma once
#include "TestEnv.h"
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTest>
#include <QUrl>

// What the import tests check against: files made by openpyxl and LibreOffice, the database
// read back by the engine's own command-line tool.
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

// LibreOffice headless converts file into format ("xlsx", "xls", "ods") beside it; the new file.
inline QString convert(const QString &file, const QString &format, const QString &outDir) {
    const QString profile = QUrl::fromLocalFile(outDir + QStringLiteral("/lo-profile")).toString(QUrl::FullyEncoded);
    const QString filter = format == QLatin1String("xls") ? QStringLiteral("xls:MS Excel 97") : format;
    // Its own environment: nothing of the test's (display platform, folders) reaches it.
    QProcessEnvironment env;
    env.insert(QStringLiteral("PATH"), qEnvironmentVariable("PATH"));
    env.insert(QStringLiteral("HOME"), outDir);
    env.insert(QStringLiteral("LANG"), QStringLiteral("C.UTF-8"));
    run(QStringLiteral("soffice"),
        {QStringLiteral("-env:UserInstallation=") + profile, QStringLiteral("--headless"),
         QStringLiteral("--convert-to"), filter, QStringLiteral("--outdir"), outDir, file},
        env, 60000);
    const QString out = outDir + QLatin1Char('/') + QFileInfo(file).completeBaseName() + QLatin1Char('.') + format;
    return QFileInfo::exists(out) ? out : QString();
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
