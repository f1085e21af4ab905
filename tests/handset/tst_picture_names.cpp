// HandsetPictures without a window or a database: the names of handset pictures and the file
// work on them.
#include "EnvFixture.h"
#include "HandsetPictures.h"
#include <QDir>
#include <QFile>
#include <QSet>
#include <QTest>

namespace P = HandsetPictures;

namespace {
bool writeFile(const QString &file, const QByteArray &bytes) {
    QDir().mkpath(QFileInfo(file).absolutePath());
    QFile f(file);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}
// A name Windows takes as a file of IMG/ (or of its escaped folder).
bool windowsFileName(const QString &component) {
    if (component.isEmpty() || component.endsWith('.') || component.endsWith(' '))
        return false;
    for (QChar c : component)
        if (c.unicode() < 0x20 || QStringView(u"<>:\"|?*/\\").contains(c))
            return false;
    const QString base = component.left(component.indexOf('.')).trimmed().toUpper();
    static const QStringList reserved{"CON", "PRN", "AUX", "NUL", "COM1", "COM9", "LPT1", "LPT9", "COM0", "LPT0"};
    return !reserved.contains(base);
}
const QStringList kUnsafe{"UX/3",   "../x", "..",     ".",    "a:b",    "CON", "con", "Nul.txt", "COM1",
                          "lpt9.x", "AUX ", "A\"B",   "a<b>", "a|b",    "a?b", "a*b", "a\\b",    "tab\tx",
                          "nl\nx",  "dot.", "blank ", "COM¹", "CONIN$", "%/x", "/",   "\\",      ".hidden/"};
const QStringList kSafe{"SCH-W270",  "UX%2F3", "escaped", "a..b", ".x",    "CONSOLE",    "COM10",
                        "갤럭시 S3", "A'B",    "50%",     "x.y",  " lead", "escaped%2Fx"};
} // namespace

class TestPictureNames : public EnvFixture {
    Q_OBJECT

private Q_SLOTS:

    void safeIdsKeepTheirName() {
        for (const QString &id : kSafe) {
            QVERIFY2(P::isSafeId(id), qPrintable(id));
            QCOMPARE(P::fileName(id), id + ".bmp");
            QCOMPARE(P::file(id), env->appFolder() + "/IMG/" + id + ".bmp");
            QCOMPARE(P::idOfFile(P::fileName(id)), id);
        }
        QCOMPARE(P::fileName(""), QString());
        QCOMPARE(P::file(""), QString());
        QCOMPARE(P::folder(), env->appFolder() + "/IMG");
    }

    void unsafeIdsAreEscapedInsideImg() {
        QCOMPARE(P::fileName("UX/3"), QString("escaped/UX%2F3.bmp"));
        QCOMPARE(P::fileName("../x"), QString("escaped/%2E.%2Fx.bmp"));
        QCOMPARE(P::fileName("a:b"), QString("escaped/a%3Ab.bmp"));
        QCOMPARE(P::fileName("CON"), QString("escaped/%43ON.bmp"));
        QCOMPARE(P::fileName("%/x"), QString("escaped/%25%2Fx.bmp"));
        QCOMPARE(P::fileName("AUX "), QString("escaped/%41UX%20.bmp"));
        const QString img = QDir::cleanPath(env->appFolder() + "/IMG") + "/";
        for (const QString &id : kUnsafe) {
            QVERIFY2(!P::isSafeId(id), qPrintable(id));
            const QString name = P::fileName(id);
            QVERIFY2(name.startsWith("escaped/"), qPrintable(name));
            const QString escapedName = name.mid(8);
            QVERIFY2(windowsFileName(escapedName), qPrintable(name));
            QVERIFY2(!escapedName.startsWith('.'), qPrintable(name));
            QVERIFY(QDir::cleanPath(P::file(id)).startsWith(img));
            QCOMPARE(QDir::cleanPath(P::file(id)), P::file(id)); // nothing to resolve: no ".." step
            QCOMPARE(P::idOfFile(name), id);                     // reversible
        }
        for (const QString &id : kSafe)
            QVERIFY2(windowsFileName(P::fileName(id)), qPrintable(id));
    }

    // No two IDs share a name, also where the file system ignores letter case.
    void namesAreUnique() {
        QSet<QString> names;
        for (const QString &id : kSafe + kUnsafe)
            names.insert(P::fileName(id).toLower());
        QCOMPARE(names.size(), (kSafe + kUnsafe).size());
        // Names fileName never gives belong to no ID.
        for (const char *name : {"escaped/UX/3.bmp", "escaped/CON.bmp", "escaped/abc.bmp", "UX%2F3.png", "a/b.bmp",
                                 "escaped/%2.bmp", "escaped/%zz.bmp", ".bmp", "x"})
            QVERIFY2(P::idOfFile(QString::fromUtf8(name)).isEmpty(), name);
    }

    void sameFile() {
        QVERIFY(P::sameFile("A-1", "A-1"));
        QVERIFY(!P::sameFile("A-1", "A-2"));
        QVERIFY(!P::sameFile("", ""));
        QVERIFY(writeFile(P::file("ab"), "x"));
        // Letter case: one file where the file system ignores it, two where it does not.
        QCOMPARE(P::sameFile("ab", "AB"), QFileInfo::exists(P::file("AB")));
    }
};

QTEST_MAIN(TestPictureNames)
#include "tst_picture_names.moc"
