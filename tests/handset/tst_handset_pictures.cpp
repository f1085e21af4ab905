#include "EnvFixture.h"
// A handset's picture follows the handset, through the windows as the program opens them:
// the list opens its one entry window (modal) for "추가 F2" and "수정", and the files in IMG/
// are checked byte for byte.
#include "FrmImageZoom.h"
#include "HandsetFixture.h"
#include "ModalHelp.h"
#include "Spread.h"
#include "fbMobil_Admin.h"
#include "fbMobil_Save.h"
#include <QBuffer>
#include <QCheckBox>
#include <QDirIterator>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace modMDB_Func;

namespace {
const QString kDuplicate = QStringLiteral("같은 ID의 핸드폰이 이미 있습니다. 저장하시겠습니까?");
constexpr int kIdCol = 2, kPictureCol = 10;

} // namespace

class TestHandsetPictures : public EnvFixture {
    Q_OBJECT
    void setUp() override {
        QVERIFY(env->openFreshDatabase());
        ResetFloatMsg();
        list = std::make_unique<fbMobil_Admin>();
        list->show();
    }
    void tearDown() override {
        list.reset();
        QVERIFY2(promptsLeftOver(*env).isEmpty(), qPrintable(promptsLeftOver(*env)));
    }
    std::unique_ptr<fbMobil_Admin> list;

    fbMobil_Save *entry() const { return list->entryWindow(); }
    QString img(const QString &name) const { return env->appFolder() + "/IMG/" + name; }

    // A picture file of one colour to choose in the entry window.
    QString pictureFile(const QString &name, QColor colour, QSize size = {60, 90}) {
        QImage image(size, QImage::Format_RGB32);
        image.fill(colour);
        const QString file = env->root() + "/chosen/" + name + ".png";
        QDir().mkpath(env->root() + "/chosen");
        return image.save(file) ? file : QString();
    }
    // The bytes the program stores for a chosen picture file.
    static QByteArray storedBytes(const QString &chosen) {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QImage(chosen).save(&buffer, "BMP");
        return bytes;
    }

    // "추가 F2" in the list: fills the entry window, chooses the picture, saves (F2) and closes it.
    // answers: the questions the save asks, Yes (true) or No. Returns whether the save went through.
    bool addThroughList(const QString &id, const QString &chosen = {}, const QList<bool> &answers = {}) {
        bool saved = false;
        onNextModalOf<fbMobil_Save>(list.get(),
                                    [&](fbMobil_Save *e) { saved = typeIdAndSave(e, *env, id, chosen, answers); });
        list->btnRecAdd->click();
        return saved;
    }
    // The windows' timers go with the list, so a case that fails early leaves none to the next.
    // "수정" on a row of the list: act runs in the entry window showing that handset.
    void editThroughList(int row, std::function<void(fbMobil_Save *)> act) {
        list->spList->setActiveCell(1, row);
        onNextModalOf<fbMobil_Save>(list.get(), act);
        list->btnRecEdit->click();
    }
    // The row of the list showing the handset with the ID.
    int rowOf(const QString &id) const {
        for (int r = 1; r <= list->spList->maxRows(); ++r)
            if (list->spList->text(kIdCol, r) == id)
                return r;
        return 0;
    }
    // Every file below the application folder that is not where the program keeps its own.
    QStringList picturesOutsideImg() const {
        QStringList out;
        const QDir app(env->appFolder());
        QDirIterator it(env->root(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString f = it.next();
            if (f.endsWith(".bmp") && !f.startsWith(env->appFolder() + "/IMG/"))
                out << f;
        }
        return out;
    }
    QStringList imgFiles() const {
        QStringList out;
        QDirIterator it(env->appFolder() + "/IMG", QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext())
            out << it.next().mid(env->appFolder().size() + 5);
        out.sort();
        return out;
    }

private Q_SLOTS:

    // The picture moves with a changed ID and shows when the handset is opened again.
    void idChangeMovesThePicture() {
        const QString red = pictureFile("red", Qt::red);
        QVERIFY(addThroughList("A-1", red));
        const QByteArray bytes = fileBytes(img("A-1.bmp"));
        QCOMPARE(bytes, storedBytes(red));
        editThroughList(1, [](fbMobil_Save *e) {
            QVERIFY(!e->Image1->pixmap().isNull());
            e->htField[1]->setText("B-1");
            QVERIFY(e->Save());
        });
        QCOMPARE(fileBytes(img("B-1.bmp")), bytes);
        QVERIFY(!QFile::exists(img("A-1.bmp")));
        QCOMPARE(list->spList->text(kIdCol, 1), QString("B-1"));
        QVERIFY(list->spList->hasCellPicture(kPictureCol, 1));
        bool shown = false;
        editThroughList(1, [&](fbMobil_Save *e) { shown = !e->Image1->pixmap().isNull(); });
        QVERIFY(shown);
        // A new handset with the old ID inherits nothing.
        QVERIFY(addThroughList("A-1"));
        QVERIFY(!QFile::exists(img("A-1.bmp")));
        QCOMPARE(imgFiles(), QStringList{"B-1.bmp"});
    }

    // Another handset still has the old ID: it keeps the picture, the changed one takes a copy.
    void idChangeLeavesThePictureToTheOtherOfItsId() {
        const QString red = pictureFile("red", Qt::red);
        QVERIFY(addThroughList("S-1", red));
        QVERIFY(addThroughList("S-1", {}, {true}));
        QCOMPARE(env->prompter.texts().last(), kDuplicate);
        QCOMPARE(list->spList->maxRows(), 2);
        editThroughList(2, [](fbMobil_Save *e) {
            e->htField[1]->setText("S-2");
            QVERIFY(e->Save());
        });
        QCOMPARE(fileBytes(img("S-1.bmp")), storedBytes(red));
        QCOMPARE(fileBytes(img("S-2.bmp")), storedBytes(red));
    }

    // The new ID has a picture the window did not show: it is replaced only when the user says so.
    void idChangeOntoAnotherPictureAsks() {
        const QString red = pictureFile("red", Qt::red), blue = pictureFile("blue", Qt::blue);
        QVERIFY(addThroughList("R-1", red));
        // A picture left behind under the new ID, which no handset has.
        QVERIFY(putPicture(*env, "LEFT", storedBytes(blue)));
        const QByteArray left = fileBytes(img("LEFT.bmp"));
        env->prompter.answerNo();
        editThroughList(1, [](fbMobil_Save *e) {
            e->htField[1]->setText("LEFT");
            QVERIFY(e->Save());
        });
        QCOMPARE(env->prompter.boxes().last().kind, QString("question"));
        QVERIFY(!env->prompter.boxes().last().yesIsDefault);
        QVERIFY2(env->prompter.texts().last().startsWith("ID [LEFT]의 사진이 이미 있습니다."),
                 qPrintable(env->prompter.texts().last()));
        QVERIFY(env->prompter.texts().last().contains("ID [R-1]의 사진으로 남습니다"));
        QCOMPARE(fileBytes(img("LEFT.bmp")), left);
        // No handset has R-1 any more, but its picture was the only copy: kept, not deleted.
        QCOMPARE(fileBytes(img("R-1.bmp")), storedBytes(red));

        // Yes: the handset's own picture replaces the other.
        QVERIFY(addThroughList("R-2", red));
        QVERIFY(addThroughList("R-3", blue));
        env->prompter.answerYes(); // the same ID as R-3
        env->prompter.answerYes(); // its picture replaced by this one's
        editThroughList(rowOf("R-2"), [](fbMobil_Save *e) {
            e->htField[1]->setText("R-3");
            QVERIFY(e->Save());
        });
        QCOMPARE(env->prompter.texts().at(env->prompter.texts().size() - 2), kDuplicate);
        QCOMPARE(fileBytes(img("R-3.bmp")), storedBytes(red));
        QVERIFY(!QFile::exists(img("R-2.bmp")));
    }

    // The picture goes with the last handset of its ID, and only then.
    void deleteRemovesThePictureOfTheLastOfItsId() {
        const QString red = pictureFile("red", Qt::red);
        QVERIFY(addThroughList("D-1", red));
        QVERIFY(addThroughList("D-1", {}, {true}));
        QVERIFY(addThroughList("D-2", red));
        QCOMPARE(list->spList->maxRows(), 3);
        list->spList->setActiveCell(1, 2);
        env->prompter.answerYes();
        list->btnRecDel->click();
        QCOMPARE(GetValue("SELECT COUNT(*) FROM t_mobile WHERE mid = 'D-1'").toInt(), 1);
        QCOMPARE(fileBytes(img("D-1.bmp")), storedBytes(red)); // the other D-1 keeps it
        list->spList->setActiveCell(1, 1);
        env->prompter.answerYes();
        list->btnRecDel->click();
        QVERIFY(!QFile::exists(img("D-1.bmp")));
        QCOMPARE(fileBytes(img("D-2.bmp")), storedBytes(red));
        // A later handset with the ID starts without a picture.
        QVERIFY(addThroughList("D-1"));
        bool shown = true;
        editThroughList(rowOf("D-1"), [&](fbMobil_Save *e) { shown = !e->Image1->pixmap().isNull(); });
        QVERIFY(!shown);
    }

    // A new handset with an ID already there: asked first, "No" the default; No saves nothing.
    void duplicateIdAsksFirst() {
        const QString red = pictureFile("red", Qt::red), blue = pictureFile("blue", Qt::blue);
        QVERIFY(addThroughList("X-1", red));
        env->prompter.clear();
        QString kept;
        onNextModalOf<fbMobil_Save>(list.get(), [&](fbMobil_Save *e) {
            e->htField[1]->setText("X-1");
            e->htField[2]->setText("2020");
            env->prompter.answerText(blue);
            e->btnPicture->click();
            env->prompter.answerNo();
            QVERIFY(!e->Save());
            kept = e->htField[1]->text() + "|" + e->htField[2]->text();
            QVERIFY(e->isVisible());
        });
        list->btnRecAdd->click();
        QCOMPARE(env->prompter.boxes().size(), 2); // the file chooser, then the question
        QCOMPARE(env->prompter.boxes().last().kind, QString("question"));
        QCOMPARE(env->prompter.texts().last(), kDuplicate);
        QVERIFY(!env->prompter.boxes().last().yesIsDefault);
        QCOMPARE(kept, QString("X-1|2020"));
        QCOMPARE(GetValue("SELECT COUNT(*) FROM t_mobile WHERE mid = 'X-1'").toInt(), 1);
        QCOMPARE(list->spList->maxRows(), 1);
        QCOMPARE(fileBytes(img("X-1.bmp")), storedBytes(red));
        // The ID is compared as the database does, letter case ignored.
        QVERIFY(!addThroughList("x-1", {}, {false}));
        // Yes saves; the other's picture is replaced only when the user says so.
        QVERIFY(addThroughList("X-1", blue, {true, false}));
        QCOMPARE(GetValue("SELECT COUNT(*) FROM t_mobile WHERE mid = 'X-1'").toInt(), 2);
        QVERIFY(env->prompter.texts().last().startsWith("ID [X-1]의 사진이 이미 있습니다."));
        QCOMPARE(fileBytes(img("X-1.bmp")), storedBytes(red));
        QVERIFY(addThroughList("X-1", blue, {true, true}));
        QCOMPARE(fileBytes(img("X-1.bmp")), storedBytes(blue));
        QCOMPARE(list->spList->maxRows(), 3);
    }

    // IDs that are no safe file name: the picture stays inside IMG/ under a name of its own,
    // and shows again when the handset is opened.
    void unsafeIdsStayInsideImg_data() {
        QTest::addColumn<QString>("id");
        QTest::addColumn<QString>("file");
        QTest::newRow("separator") << "UX/3"
                                   << "escaped/UX%2F3.bmp";
        QTest::newRow("parent") << "../x"
                                << "escaped/%2E.%2Fx.bmp";
        QTest::newRow("backslash") << "..\\y"
                                   << "escaped/%2E.%5Cy.bmp";
        QTest::newRow("colon") << "a:b"
                               << "escaped/a%3Ab.bmp";
        QTest::newRow("quote") << "A\"B"
                               << "escaped/A%22B.bmp";
        QTest::newRow("device") << "CON"
                                << "escaped/%43ON.bmp";
        QTest::newRow("device with extension") << "nul.1"
                                               << "escaped/%6Eul.1.bmp";
        QTest::newRow("trailing dot") << "Z."
                                      << "escaped/Z%2E.bmp";
    }
    void unsafeIdsStayInsideImg() {
        QFETCH(QString, id);
        QFETCH(QString, file);
        const QString green = pictureFile("green", Qt::green);
        QVERIFY(addThroughList(id, green));
        QCOMPARE(picturesOutsideImg(), QStringList());
        QCOMPARE(imgFiles(), QStringList{file});
        QCOMPARE(fileBytes(img(file)), storedBytes(green));
        QVERIFY(list->spList->hasCellPicture(kPictureCol, 1));
        QImage shown;
        editThroughList(1, [&](fbMobil_Save *e) {
            QCOMPARE(e->htField[1]->text(), id);
            // A click enlarges the handset's own picture.
            onNextModalOf<FrmImageZoom>(list.get(),
                                        [&](FrmImageZoom *zoom) { shown = zoom->picBig->pixmap().toImage(); });
            QTest::mouseClick(e->Image1, Qt::LeftButton);
        });
        QCOMPARE(shown.size(), QSize(60, 90));
        QCOMPARE(shown.pixelColor(30, 45), QColor(Qt::green));
        // The list's viewer shows it too.
        onNextModalOf<FrmImageZoom>(list.get(), [&](FrmImageZoom *zoom) { shown = zoom->picBig->pixmap().toImage(); });
        list->ShowPicture(kPictureCol, 1);
        QCOMPARE(shown.pixelColor(30, 45), QColor(Qt::green));
        // Changed to a safe ID, the picture comes along; deleted, it goes.
        editThroughList(1, [](fbMobil_Save *e) {
            e->htField[1]->setText("SAFE-1");
            QVERIFY(e->Save());
        });
        QCOMPARE(imgFiles(), QStringList{"SAFE-1.bmp"});
        env->prompter.answerYes();
        list->btnRecDel->click();
        QCOMPARE(imgFiles(), QStringList());
    }

    // The reused entry window: "추가 F2" after changing a handset with a picture shows none,
    // and a click on the empty picture enlarges nothing.
    void addAfterEditShowsNoPicture() {
        QVERIFY(addThroughList("P-1", pictureFile("red", Qt::red)));
        bool shownInEdit = false;
        editThroughList(1, [&](fbMobil_Save *e) { shownInEdit = !e->Image1->pixmap().isNull(); });
        QVERIFY(shownInEdit);
        bool shown = true, zoomed = false;
        onNextModalOf<fbMobil_Save>(list.get(), [&](fbMobil_Save *e) {
            shown = !e->Image1->pixmap().isNull();
            QTimer::singleShot(0, list.get(), [&] {
                if (auto *w = qobject_cast<FrmImageZoom *>(QApplication::activeModalWidget())) {
                    zoomed = true;
                    w->close();
                }
            });
            QTest::mouseClick(e->Image1, Qt::LeftButton);
            QCoreApplication::processEvents();
            e->htField[1]->setText("P-2");
            e->htField[2]->setText("2024");
            QVERIFY(e->Save());
        });
        QApplication::setActiveWindow(list.get());
        list->htField[6]->setFocus();
        QTest::keyClick(list->htField[6], Qt::Key_F2);
        QVERIFY(!shown);
        QVERIFY(!zoomed);
        QVERIFY(!QFile::exists(img("P-2.bmp")));
        QCOMPARE(list->spList->maxRows(), 2);
    }

    // "계속 등록하기": after a handset saved with a picture the empty form shows none, and the
    // next handset stores none.
    void continuedAddClearsThePicture() {
        const QString red = pictureFile("red", Qt::red);
        bool shownAfter = true;
        onNextModalOf<fbMobil_Save>(list.get(), [&](fbMobil_Save *e) {
            QVERIFY(e->chkCun->isChecked() && !e->chkCun->isHidden());
            e->htField[1]->setText("C-1");
            e->htField[2]->setText("2024");
            env->prompter.answerText(red);
            e->btnPicture->click();
            QVERIFY(!e->Image1->pixmap().isNull());
            e->btnSave->click();
            QVERIFY(e->isVisible());
            QCOMPARE(e->htField[1]->text(), QString());
            shownAfter = !e->Image1->pixmap().isNull();
            e->htField[1]->setText("C-2");
            e->htField[2]->setText("2024");
            e->btnSave->click();
        });
        list->btnRecAdd->click();
        QVERIFY(!shownAfter);
        QCOMPARE(fileBytes(img("C-1.bmp")), storedBytes(red));
        QVERIFY(!QFile::exists(img("C-2.bmp")));
        QCOMPARE(list->spList->maxRows(), 2);
    }

    // Seeding the demo catalogue keeps a picture the folder has already.
    void demoSeedKeepsExistingPictures() {
        QDir().mkpath(env->appFolder() + "/IMG");
        QFile own(img("SCH-W270.bmp"));
        QVERIFY(own.open(QIODevice::WriteOnly));
        own.write("the shop's own picture");
        own.close();
        QString error;
        QVERIFY2(DemoCatalogue::seed(connection(), env->appFolder() + "/IMG", &error), qPrintable(error));
        QCOMPARE(fileBytes(img("SCH-W270.bmp")), QByteArray("the shop's own picture"));
        QVERIFY(!QImage(img("SCH-W420.bmp")).isNull());
    }
};

QTEST_MAIN(TestHandsetPictures)
#include "tst_handset_pictures.moc"
