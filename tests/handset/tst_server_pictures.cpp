#include "EnvFixture.h"
// Pictures on a database server: two PCs, each with its own application folder and so its own
// IMG/ cache, work on one private server through the real list and entry windows. PC 2 sees
// what PC 1 did only after its F5 and the paint of the list, as a shop would.
#include "AppPaths.h"
#include "FrmImageZoom.h"
#include "HandsetFixture.h"
#include "HandsetPictures.h"
#include "ModalHelp.h"
#include "Spread.h"
#include "fbMobil_Admin.h"
#include "fbMobil_Save.h"
#include <QBuffer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace modMDB_Func;

namespace {
constexpr int kIdCol = 2, kPictureCol = 10;
} // namespace

class TestServerPictures : public EnvFixture {
    Q_OBJECT
    void setUp() override {
        AppPaths::setAppFolder(pcFolder(1));
        QVERIFY(env->openFreshDatabase());
        ResetFloatMsg();
        list = std::make_unique<fbMobil_Admin>();
        list->resize(1600, 700);
        list->show();
    }
    void tearDown() override { list.reset(); }
    std::unique_ptr<fbMobil_Admin> list;

    QString pcFolder(int pc) const { return env->root() + QStringLiteral("/pc%1").arg(pc); }
    QString cached(int pc, const QString &id) const { return pcFolder(pc) + "/IMG/" + HandsetPictures::fileName(id); }

    // This PC from now on: its application folder, its own connection, F5 and the first paint.
    void workOn(int pc) {
        DBTerminate();
        AppPaths::setAppFolder(pcFolder(pc));
        QVERIFY(env->reopenDatabase());
        list->QueryList();
        list->spList->viewport()->repaint();
        QCoreApplication::processEvents(); // the fetch the paint left for afterwards
    }
    // A chosen picture file of one colour.
    QString chosenFile(QColor colour) {
        const QString file = env->root() + QStringLiteral("/chosen-%1.bmp").arg(colour.name().mid(1));
        QFile f(file);
        return f.open(QIODevice::WriteOnly) && f.write(bmpOf(colour)) > 0 ? file : QString();
    }
    // The entry window through "추가 F2" (row 0) or "수정" on a row: sets the ID, the picture
    // chosen when one is given, and saves; Save's result.
    bool enter(int row, const QString &id, const QString &chosen = {}) {
        bool saved = false;
        onNextModalOf<fbMobil_Save>(list.get(), [&](fbMobil_Save *e) {
            saved = typeIdAndSave(e, *env, id, chosen);
            if (!saved)
                e->reject();
        });
        if (row == 0) {
            list->btnRecAdd->click();
        } else {
            list->spList->setActiveCell(1, row);
            list->btnRecEdit->click();
        }
        return saved;
    }
    int rowOf(const QString &id) const {
        for (int r = 1; r <= list->spList->maxRows(); ++r)
            if (list->spList->text(kIdCol, r) == id)
                return r;
        return 0;
    }
    // What the list's viewer shows for the row's picture (null when it does not open).
    QImage viewerImage(int row) {
        QImage shown;
        onNextModalOf<FrmImageZoom>(list.get(), [&](FrmImageZoom *z) { shown = z->picBig->pixmap().toImage(); });
        list->ShowPicture(kPictureCol, row);
        QCoreApplication::processEvents();
        return shown;
    }

private Q_SLOTS:

    // Attached, changed, moved with its ID and deleted on PC 1; PC 2 follows after its F5.
    void secondPcFollowsTheFirst() {
        const QByteArray red = bmpOf(Qt::red), blue = bmpOf(Qt::blue);
        QVERIFY(enter(0, "SV-1", chosenFile(Qt::red)));
        QCOMPARE(fileBytes(cached(1, "SV-1")), red);

        workOn(2);
        QCOMPARE(fileBytes(cached(2, "SV-1")), red);
        QCOMPARE(viewerImage(rowOf("SV-1")).pixelColor(5, 5), QColor(Qt::red));

        // Changed on PC 1: PC 2's cached copy no longer matches the server's hash.
        workOn(1);
        QVERIFY(enter(rowOf("SV-1"), "SV-1", chosenFile(Qt::blue)));
        workOn(2);
        QCOMPARE(fileBytes(cached(2, "SV-1")), blue);

        // A new ID: the picture follows on the server; PC 2 fetches it under the new name.
        workOn(1);
        QVERIFY(enter(rowOf("SV-1"), "SV-2"));
        QVERIFY(!QFile::exists(cached(1, "SV-1")));
        workOn(2);
        QCOMPARE(fileBytes(cached(2, "SV-2")), blue);
        QVERIFY(list->spList->hasCellPicture(kPictureCol, rowOf("SV-2")));

        // A later handset with the old ID has none: PC 2's old cached file is dropped when shown.
        workOn(1);
        QVERIFY(enter(0, "SV-1"));
        workOn(2);
        QVERIFY(!QFile::exists(cached(2, "SV-1")));
        QVERIFY(!list->spList->hasCellPicture(kPictureCol, rowOf("SV-1")));

        // Deleted with the last handset of its ID, on the server and then from PC 2's cache.
        workOn(1);
        list->spList->setActiveCell(1, rowOf("SV-2"));
        env->prompter.answerYes();
        list->btnRecDel->click();
        QCOMPARE(GetValue("SELECT COUNT(*) FROM t_mobile_picture").toInt(), 0);
        workOn(2);
        QCOMPARE(rowOf("SV-2"), 0);
        QVERIFY(!HandsetPictures::exists("SV-2"));
        QVERIFY(HandsetPictures::load("SV-2").isNull());
        QVERIFY(!QFile::exists(cached(2, "SV-2")));
    }

    // The record and its picture are written in one transaction: a picture the server refuses
    // leaves no record behind.
    void refusedPictureSavesNoRecord() {
        QVERIFY(ExecuteSQL("ALTER TABLE t_mobile_picture ADD CONSTRAINT refused CHECK (mid <> 'BAD-1')", true) >= 0);
        QVERIFY(!enter(0, "BAD-1", chosenFile(Qt::green)));
        QVERIFY2(env->prompter.texts().last().startsWith("자료를 저장하지 못했습니다."),
                 qPrintable(env->prompter.texts().last()));
        QCOMPARE(GetValue("SELECT COUNT(*) FROM t_mobile WHERE mid = 'BAD-1'").toInt(), 0);
        QCOMPARE(list->spList->maxRows(), 0);
    }

    // A server database made before the pictures table gets it when it is opened.
    void olderServerDatabaseGetsTheTable() {
        QVERIFY(ExecuteSQL("DROP TABLE t_mobile_picture", true) >= 0);
        DBTerminate();
        QVERIFY(env->reopenDatabase());
        QVERIFY(GetValue("SELECT to_regclass('t_mobile_picture') IS NOT NULL").toBool());
        QVERIFY(enter(0, "NEW-1", chosenFile(Qt::red)));
        QCOMPARE(GetValue("SELECT hash FROM t_mobile_picture WHERE mid = 'new-1'").toString(),
                 QString::fromLatin1(PictureTable::hashOf(bmpOf(Qt::red))));
    }
};

QTEST_MAIN(TestServerPictures)
#include "tst_server_pictures.moc"
