#include "AnsiCodec.h"
#include "IniFile.h"
#include "TestEnv.h"
#include "mdlCommonKV.h"
#include <QFile>
#include <QLocale>
#include <QTest>

using namespace mdlCommonKV;

class TestUtil : public QObject {
    Q_OBJECT
    std::unique_ptr<TestEnv> env;

private Q_SLOTS:
    void init() {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        env = std::make_unique<TestEnv>();
    }
    void cleanup() {
        QVERIFY2(env->noUnexpectedBoxes(), qPrintable(env->prompter.unexpected().join('\n')));
        env.reset();
    }

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
    void base64_textAfterPaddedGroupStillDecodes() { QCOMPARE(DecodeStr("YQ==YWJj"), QString("aabc")); }

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
        QCOMPARE(AnsiCodec::decode(AnsiCodec::encode(QString::fromUtf8("휴대폰 A-1"))), QString::fromUtf8("휴대폰 A-1"));
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
        f.write(AnsiCodec::encode(QString::fromUtf8("; comment\r\n[Print]\r\n 머리글 = \"가나\" \r\nWidth=12\r\n\r\n[Other]\r\nk=v\r\n")));
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
    void ini_unwritableReportsFailure() {
        QFile blocker(env->root() + "/blocker");
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        QVERIFY(!IniFile::write(env->root() + "/blocker/sub.ini", "a", "b", "c"));
    }
};

QTEST_MAIN(TestUtil)
#include "tst_util.moc"
