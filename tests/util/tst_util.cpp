#include "AnsiCodec.h"
#include "EnvFixture.h"
#include "IniFile.h"
#include "Settings.h"
#include "mdlCommonKV.h"
#include <QElapsedTimer>
#include <QFile>
#include <QLocale>
#include <QLockFile>
#include <QProcess>
#include <QTest>
#include <QThread>
#include <thread>

using namespace mdlCommonKV;

class TestUtil : public EnvFixture {
    Q_OBJECT
    void setUp() override { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

private Q_SLOTS:
    void base64_padding() {
        QCOMPARE(EncodeStr(""), QString());
        QCOMPARE(EncodeStr("a"), QString("YQ=="));
        QCOMPARE(EncodeStr("ab"), QString("YWI="));
        QCOMPARE(EncodeStr("abc"), QString("YWJj"));
        QCOMPARE(EncodeStr("pass1234"), QString("cGFzczEyMzQ="));
    }
    void base64_roundTripEveryByte() {
        QString all;
        for (int c = 1; c < 128; ++c)
            all += QChar(c);
        QCOMPARE(DecodeStr(EncodeStr(all)), all);
        for (const QString &s : {QString("x"), QString("xy"), QString("xyz"), QString("O'Neil;--")})
            QCOMPARE(DecodeStr(EncodeStr(s)), s);
        QCOMPARE(env->prompter.boxes().size(), 0);
    }
    void base64_errors() {
        QCOMPARE(EncodeStr(QString::fromUtf8("암호")), QString());
        QCOMPARE(env->prompter.boxes().size(), 1);
        QVERIFY(env->prompter.texts().last().endsWith(") in procedure EncodeStr"));
        QCOMPARE(DecodeStr("YW!j"), QString());
        QCOMPARE(env->prompter.boxes().size(), 2);
        QVERIFY(env->prompter.texts().last().startsWith("Error "));
        QVERIFY(env->prompter.texts().last().endsWith(") in procedure DecodeStr"));
    }
    void base64_cutOrMisplacedPaddingIsAnError_data() {
        QTest::addColumn<QString>("text");
        QTest::newRow("partial group") << "VJjZA==";
        QTest::newRow("one character") << "Y";
        QTest::newRow("padded group then more") << "YQ==YWJj";
        QTest::newRow("padding first") << "=WJj";
        QTest::newRow("padding second") << "Y=Jj";
        QTest::newRow("padding before a character") << "YW=j";
        QTest::newRow("three pads") << "Y===";
    }
    void base64_cutOrMisplacedPaddingIsAnError() {
        QFETCH(QString, text);
        QCOMPARE(DecodeStr(text), QString());
        QCOMPARE(env->prompter.boxes().size(), 1);
        QVERIFY(env->prompter.texts().last().startsWith("Error 9 "));
        QVERIFY(env->prompter.texts().last().endsWith(") in procedure DecodeStr"));
    }
    void base64_paddingClosingTheTextIsFine() {
        QCOMPARE(DecodeStr("YWJjYQ=="), QString("abca"));
        QCOMPARE(DecodeStr("YWJjYWI="), QString("abcab"));
        QCOMPARE(DecodeStr(""), QString());
        QCOMPARE(env->prompter.boxes().size(), 0);
    }

    void decFormat_data() {
        QTest::addColumn<int>("decimals");
        QTest::addColumn<bool>("thousands");
        QTest::addColumn<bool>("showZero");
        QTest::addColumn<QString>("pattern");
        QTest::newRow("2,sep") << 2 << true << false << "#,##0.00";
        QTest::newRow("0,sep") << 0 << true << false << "#,###";
        QTest::newRow("0,zero") << 0 << false << true << "0";
        QTest::newRow("0,none") << 0 << false << false << "#";
        QTest::newRow("3,nosep") << 3 << false << false << "0.000";
    }
    void decFormat() {
        QFETCH(int, decimals);
        QFETCH(bool, thousands);
        QFETCH(bool, showZero);
        QFETCH(QString, pattern);
        QCOMPARE(GetDecFormat(decimals, thousands, showZero), pattern);
    }
    void numberFormatter() {
        QCOMPARE(FormatNum(1234.5, 2, true, false), QString("1,234.50"));
        QCOMPARE(FormatNum(1234, 2, true, false), QString("1,234"));
        QCOMPARE(FormatNum(0, 2, true, false), QString());
        QCOMPARE(FormatNum(0, 0, false, true), QString("0"));
        QCOMPARE(FormatNum(1234567, 0, false, false), QString("1234567"));
        QCOMPARE(FormatNum(-1500.26, 1, true, false), QString("-1,500.3"));
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        QCOMPARE(FormatNum(1234.5, 2, true, false), QString("1.234,50"));
    }

    void ansiCodes() {
        QCOMPARE(AnsiCodec::charCode('A'), 0x41);
        QCOMPARE(AnsiCodec::charCode(QString::fromUtf8("가").at(0)), 0xB0A1);
        QCOMPARE(AnsiCodec::decode(AnsiCodec::encode(QString::fromUtf8("휴대폰 A-1"))),
                 QString::fromUtf8("휴대폰 A-1"));
    }

    void ini_caseInsensitiveAndPreserving() {
        const QString path = env->root() + "/x/test.ini";
        QVERIFY(!QFile::exists(path));
        QVERIFY(IniFile::write(path, "Form", "Left", "100"));
        QVERIFY(QFile::exists(path));
        QCOMPARE(IniFile::read(path, "FORM", "left"), QString("100"));
        QVERIFY(IniFile::write(path, "form", "LEFT", "200"));
        IniFile ini(path);
        QCOMPARE(ini.sections(), QStringList{"Form"});
        QCOMPARE(ini.keys("Form"), QStringList{"Left"});
        QCOMPARE(ini.value("Form", "Left"), QString("200"));
        QCOMPARE(ini.value("Form", "Top", "dflt"), QString("dflt"));
        ini.removeSection("FORM");
        QVERIFY(ini.save());
        QCOMPARE(IniFile(path).sections(), QStringList{});
    }
    void ini_readsWindowsAnsiFile() {
        const QString path = env->root() + "/win.ini";
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        // What the Windows profile functions leave: ANSI text, CR LF, blanks around '='.
        f.write(AnsiCodec::encode(
            QString::fromUtf8("; comment\r\n[Print]\r\n 머리글 = \"가나\" \r\nWidth=12\r\n\r\n[Other]\r\nk=v\r\n")));
        f.close();
        IniFile ini(path);
        QCOMPARE(ini.value("print", QString::fromUtf8("머리글")), QString::fromUtf8("가나"));
        QCOMPARE(ini.value("PRINT", "width"), QString("12"));
        ini.setValue("Print", "New", "1");
        QVERIFY(ini.save());
        IniFile again(path);
        QCOMPARE(again.value("Print", "New"), QString("1"));
        QCOMPARE(again.value("Other", "k"), QString("v"));
        QCOMPARE(again.value("Print", QString::fromUtf8("머리글")), QString::fromUtf8("가나"));
    }
    void ini_concurrentWritersKeepEveryKey() {
        // Two programs saving at the same time, each through one of the two write paths.
        QProcess a, b;
        a.start(INI_WRITER, {"settings", env->root() + "/settings", "a", "300"});
        b.start(INI_WRITER, {"file", env->root() + "/settings", "b", "300"});
        QVERIFY(a.waitForFinished(120000) && b.waitForFinished(120000));
        QCOMPARE(a.exitStatus(), QProcess::NormalExit);
        QCOMPARE(a.exitCode(), 0);
        QCOMPARE(b.exitCode(), 0);
        const IniFile ini(Settings::storeFile("Shared"));
        QCOMPARE(ini.keys("Keys").size(), 600);
        for (int i = 0; i < 300; ++i) {
            QCOMPARE(ini.value("Keys", "a" + QString::number(i)), QString::number(i));
            QCOMPARE(ini.value("Keys", "b" + QString::number(i)), QString::number(i));
        }
        Settings::DeleteSetting("Shared", "Keys", "a7");
        QCOMPARE(IniFile(ini.path()).keys("Keys").size(), 599);
        QVERIFY(!QFile::exists(ini.path() + ".lock")); // released after each write
    }
    void ini_heldLockFailsTheWrite() {
        const QString path = env->root() + "/held.ini";
        const auto set = [](IniFile &ini) { return ini.setValue("s", "k", "v"); };
        QLockFile other(path + ".lock");
        QVERIFY(other.lock());
        QElapsedTimer t;
        t.start();
        QVERIFY(!IniFile::update(path, set, 300));
        QVERIFY(t.elapsed() >= 300); // it waited for the holder before giving up
        QVERIFY(!QFile::exists(path));
        // A holder that lets go within the wait is waited for.
        std::thread release([&] {
            QThread::msleep(100);
            other.unlock();
        });
        t.restart();
        const bool stored = IniFile::update(path, set, 2000);
        release.join();
        QVERIFY(stored);
        QVERIFY(t.elapsed() >= 100);
    }

    void ini_refusesWhatWouldNotReadBack_data() {
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::newRow("CR LF and a section") << "Config"
                                             << "ID" << QString::fromUtf8("x\r\n[환경설정]\r\nCSType=1");
        QTest::newRow("LF") << "Config"
                            << "ID"
                            << "x\nCSType=1";
        QTest::newRow("CR") << "Config"
                            << "ID"
                            << "x\rCSType=1";
        QTest::newRow("NUL") << "Config"
                             << "ID" << QString("x") + QChar(0) + "y";
        QTest::newRow("key with =") << "Config"
                                    << "a=b"
                                    << "1";
        QTest::newRow("blank key") << "Config"
                                   << "  "
                                   << "1";
        QTest::newRow("key like a section") << "Config"
                                            << " [a"
                                            << "1";
        QTest::newRow("key like a comment") << "Config"
                                            << ";a"
                                            << "1";
        QTest::newRow("key with LF") << "Config"
                                     << "a\nb"
                                     << "1";
        QTest::newRow("section with ]") << "Con]fig"
                                        << "ID"
                                        << "1";
        QTest::newRow("section with LF") << "Config\nx"
                                         << "ID"
                                         << "1";
    }
    void ini_refusesWhatWouldNotReadBack() {
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, value);
        QVERIFY(Settings::SaveSetting("App", "Config", "ID", "kim"));
        const QString path = Settings::storeFile("App");
        const auto bytes = [&] {
            QFile f(path);
            return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
        };
        const QByteArray before = bytes();
        QVERIFY(!Settings::SaveSetting("App", section, key, value));
        QVERIFY(!IniFile::write(path, section, key, value));
        QCOMPARE(bytes(), before);
        IniFile ini(path);
        QVERIFY(!ini.setValue(section, key, value));
        QCOMPARE(ini.sections(), QStringList{"Config"});
        QCOMPARE(ini.keys("Config"), QStringList{"ID"});
        QCOMPARE(ini.value("Config", "ID"), QString("kim"));
        QCOMPARE(Settings::GetSetting("App", QString::fromUtf8("환경설정"), "CSType", "0"), QString("0"));
    }
    void ini_blanksAndQuotesReadBackAsWritten() {
        const QString path = env->root() + "/q.ini";
        const QStringList values{"  x ", "\"abc\"", "'q'", "\"",   "'",          "a \"b\" c",
                                 "\t",   " ",       "",    "\"x'", "plain value"};
        for (int i = 0; i < values.size(); ++i)
            QVERIFY(IniFile::write(path, "s", "k" + QString::number(i), values[i]));
        for (int i = 0; i < values.size(); ++i)
            QCOMPARE(IniFile::read(path, "s", "k" + QString::number(i)), values[i]);
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray text = f.readAll();
        QVERIFY(text.contains("\r\nk0=\"  x \"\r\n"));
        QVERIFY(text.contains("\r\nk1=\"\"abc\"\"\r\n"));
        QVERIFY(text.contains("\r\nk3=\"\r\n"));           // nothing to strip: as it is
        QVERIFY(text.contains("\r\nk10=plain value\r\n")); // as before, as Windows writes it
    }
    void ini_keylessLinesStayRawThroughASave() {
        const QString path = env->root() + "/raw.ini";
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("[s]\r\n=x\r\n  =CSType=1\r\n; k=v\r\n");
        f.close();
        QVERIFY(IniFile::write(path, "s", "n", "1"));
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("[s]\r\n=x\r\n  =CSType=1\r\n; k=v\r\nn=1\r\n"));
        IniFile ini(path);
        QCOMPARE(ini.keys("s"), QStringList{"n"});
        QVERIFY(!ini.contains("s", "CSType"));
    }
    void ini_unwritableReportsFailure() {
        QFile blocker(env->root() + "/blocker");
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        QVERIFY(!IniFile::write(env->root() + "/blocker/sub.ini", "a", "b", "c"));
    }
};

QTEST_MAIN(TestUtil)
#include "tst_util.moc"
