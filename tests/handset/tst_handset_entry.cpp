#include "AnsiCodec.h"
#include "AppState.h"
#include "EnvFixture.h"
#include "HandsetFixture.h"
#include "Schema.h"
#include "Settings.h"
#include "Spread.h"
#include "SqlLog.h"
#include "WriteProtect.h"
#include "fbMobil_Admin.h"
#include "fbMobil_Save.h"
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <optional>

using namespace modMDB_Func;

class TestHandsetEntry : public EnvFixture {
    Q_OBJECT
    void setUp() override {
        QVERIFY(env->openFreshDatabase());
        ResetFloatMsg();
        list = std::make_unique<fbMobil_Admin>();
    }
    void tearDown() override { list.reset(); }
    std::unique_ptr<fbMobil_Admin> list;

    fbMobil_Save *entry() const { return list->entryWindow(); }
    void openAdd() {
        entry()->Form_Load();
        entry()->SetFormMode(1, list.get(), 0);
    }
    void fill(const QStringList &values) {
        for (int i = 0; i < values.size(); ++i)
            entry()->htField[i]->setText(values[i]);
    }
    // The list's model search as the user runs it: the text pasted into the field, then F5.
    QStringList searchModel(const QString &typed) {
        QApplication::setActiveWindow(list.get());
        list->htField[6]->setFocus();
        list->htField[6]->clear();
        list->htField[6]->insert(typed);
        QTest::keyClick(list->htField[6], Qt::Key_F5);
        QStringList shown;
        for (int r = 1; r <= list->spList->maxRows(); ++r)
            shown << list->spList->text(7, r);
        return shown;
    }
    // The statements of today's SQL log, read back from its encoded lines.
    QStringList loggedStatements() const {
        QFile f(SqlLog::fileFor(15));
        if (!f.open(QIODevice::ReadOnly))
            return {};
        QStringList out;
        for (const QByteArray &line : f.readAll().split('\n')) {
            QByteArray bytes;
            for (qsizetype i = 0; i + 4 <= line.trimmed().size(); i += 4) {
                const QByteArray pair = QByteArray::fromHex(line.mid(i, 4));
                if (pair[0] == 0) // one byte
                    bytes += pair[1];
                else if (pair[1] == 0) // a control character
                    bytes += pair[0];
                else // a double-byte character, its halves swapped
                    bytes += pair.right(1) + pair.left(1);
            }
            const QString text = AnsiCodec::decode(bytes);
            if (!text.isEmpty())
                out << text.section(QLatin1Char('\t'), 1).section(QStringLiteral("; -> "), 0, 0);
        }
        return out;
    }

private Q_SLOTS:

    void checkBoxesDefaultOn() {
        openAdd();
        QVERIFY(entry()->chkAuto->isChecked());
        QVERIFY(entry()->chkCun->isChecked());
        QVERIFY(!entry()->chkCun->isHidden());
        QCOMPARE(entry()->windowTitle(), QString("핸드폰 등록 - 『신규등록』"));
        QVERIFY(entry()->htField[0]->isReadOnly());
        // From another window the repeat box is hidden.
        QWidget other;
        entry()->Form_Load();
        entry()->SetFormMode(1, &other, 0);
        QVERIFY(entry()->chkCun->isHidden());
    }

    void automaticNumbers() {
        openAdd();
        fill({"", "M-1", "2024"});
        QVERIFY(entry()->Save());
        QCOMPARE(GetValue("SELECT mcode FROM t_mobile WHERE mid = 'M-1'").toString(), QString("000001"));
        QCOMPARE(entry()->g_nCode, GetValue("SELECT code FROM t_mobile WHERE mid = 'M-1'").toInt());
        ExecuteSQL("UPDATE t_mobile SET mcode = '000041' WHERE mid = 'M-1'");
        fill({"", "M-2", "2024"});
        QVERIFY(entry()->Save());
        QCOMPARE(GetValue("SELECT mcode FROM t_mobile WHERE mid = 'M-2'").toString(), QString("000042"));
    }

    void repeatedEntryAppendsRows() {
        openAdd();
        for (int i = 1; i <= 3; ++i) {
            fill({"", QString("R-%1").arg(i), "2020", "삼성전자"});
            QVERIFY(entry()->Save());
            QCOMPARE(list->spList->maxRows(), i);
            QCOMPARE(list->spList->text(2, i), QString("R-%1").arg(i));
            QCOMPARE(list->spList->text(11, i), QString::number(entry()->g_nCode));
            QCOMPARE(entry()->htField[1]->text(), QString()); // cleared for the next one
        }
        QCOMPARE(list->spList->activeRow(), 3);
        QCOMPARE(list->windowTitle(), QString("핸드폰 관리 (총검색수 : 3)"));
        QCOMPARE(floatNotices(*env).count(" 자료가 저장되었습니다./T500"), 3);
    }

    // The saved record reaches the list that opened the window, and only that list.
    void savedRecordReachesOnlyItsOpener() {
        QObject listener;
        QList<QStringList> seen;
        connect(entry(), &fbMobil_Save::saved, &listener, [&seen](int code, int mode, const HandsetColumns::Fields &f) {
            seen.append({QString::number(code), QString::number(mode), f[0], f[1], f[2]});
        });
        openAdd();
        fill({"", "S-1", "2020"});
        QVERIFY(entry()->Save());
        const QStringList first{QString::number(entry()->g_nCode), "1", "000001", "S-1", "2020"};
        QCOMPARE(seen, QList<QStringList>{first});
        QCOMPARE(list->spList->maxRows(), 1);
        QWidget other;
        entry()->Form_Load();
        entry()->SetFormMode(1, &other, 0);
        fill({"", "S-2", "2021"});
        QVERIFY(entry()->Save());
        QCOMPARE(seen.size(), 2);
        QCOMPARE(seen.last().at(3), QString("S-2"));
        QCOMPARE(list->spList->maxRows(), 1); // another window's opening adds no row here
    }

    void requiredFields() {
        openAdd();
        fill({"", "", "2020"});
        QVERIFY(!entry()->Save());
        QCOMPARE(env->prompter.boxes().last().title, QString("필수입력"));
        QCOMPARE(env->prompter.texts().last(), QString("[ID]은(는) 필수 입력 사항입니다."));
        fill({"", "X", ""});
        QVERIFY(!entry()->Save());
        QCOMPARE(env->prompter.texts().last(), QString("[출시년도]은(는) 필수 입력 사항입니다."));
        entry()->show();
        entry()->chkAuto->click(); // numbering off: the management number is required
        QVERIFY(!entry()->htField[0]->isReadOnly());
        fill({"", "X", "2020"});
        QVERIFY(!entry()->Save());
        QCOMPARE(env->prompter.texts().last(), QString("[관리번호]은(는) 필수 입력 사항입니다."));
        QCOMPARE(Settings::GetSetting(AppState::title(), "Config", "FBMOBIL_SAVE_CHKAUTO"), QString("0"));
        QCOMPARE(GetValue("SELECT COUNT(*) FROM t_mobile").toInt(), 1);
        entry()->hide();
    }

    void shortNumberCompletedAndUpperCase() {
        Settings::SaveSetting(AppState::title(), "Config", "FBMOBIL_SAVE_CHKAUTO", "0");
        ExecuteSQL("INSERT INTO t_mobile (mcode) VALUES ('120007')");
        openAdd();
        entry()->show();
        QApplication::setActiveWindow(entry());
        QLineEdit *code = entry()->htField[0];
        code->setFocus();
        QTest::keyClicks(code, "abc");
        QCOMPARE(code->text(), QString("ABC"));
        code->clear();
        QTest::keyClicks(code, "12");
        env->prompter.answerYes();
        entry()->htField[1]->setFocus(Qt::TabFocusReason);
        QCOMPARE(env->prompter.boxes().last().text,
                 QString("코드는 6자리를 사용하길 권장합니다. 나머지를 자동으로 채울까요?"));
        QCOMPARE(code->text(), QString("120008"));
        // Clicking the save button leaves the field too: the question comes before the save.
        code->setFocus();
        code->setText("7");
        env->prompter.answerYes();
        QTest::mouseClick(entry()->btnSave, Qt::LeftButton);
        const auto &boxes = env->prompter.boxes();
        QCOMPARE(boxes.at(boxes.size() - 2).kind, QString("question"));
        QCOMPARE(code->text(), QString("700001"));
        QCOMPARE(boxes.last().text, QString("[ID]은(는) 필수 입력 사항입니다.")); // then the save's own check
        entry()->hide();
    }

    void changeMode() {
        ExecuteSQL("INSERT INTO t_mobile (mcode, mid, makeyear, model) VALUES ('000005', 'E-1', '2019', 'Old')");
        const int code = GetIdentity();
        list->QueryList();
        QCOMPARE(list->spList->maxRows(), 1);
        entry()->Form_Load();
        entry()->SetFormMode(2, list.get(), code);
        QCOMPARE(entry()->windowTitle(), QString("핸드폰 등록 - 『수정』"));
        QCOMPARE(entry()->focusWidget(), entry()->htField[1]); // numbering on: the ID field
        QVERIFY(entry()->htField[0]->isReadOnly());
        QVERIFY(!entry()->chkAuto->isEnabled());
        QCOMPARE(entry()->htField[6]->text(), QString("Old"));
        entry()->show();
        QVERIFY(entry()->Save()); // unchanged: still a success
        QVERIFY(!entry()->isVisible());
        entry()->Form_Load();
        entry()->SetFormMode(2, list.get(), code);
        entry()->htField[6]->setText("New 'quoted' model");
        QVERIFY(entry()->Save());
        QCOMPARE(GetValue(QString("SELECT model FROM t_mobile WHERE code = %1").arg(code)).toString(),
                 QString("New 'quoted' model"));
        QCOMPARE(list->spList->text(7, 1), QString("New 'quoted' model"));
        QCOMPARE(list->spList->maxRows(), 1);
    }

    void namesRoundTrip_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("stored");
        const QString nul(QChar(0));
        QTest::newRow("quote") << "O'Neil 'Pro'"
                               << "O'Neil 'Pro'";
        QTest::newRow("NUL") << QString("갤럭시" + nul + "S" + nul) << "갤럭시S";
        QTest::newRow("backslash") << R"(C:\폰\'x)"
                                   << R"(C:\폰\'x)";
        QTest::newRow("korean and wildcards") << "애니콜 100%_'"
                                              << "애니콜 100%_'";
    }
    // A name saved through the entry window is found by the list's search as it was typed (a
    // NUL goes alone), and the SQL log's line of the save, replayed, writes the same name.
    void namesRoundTrip() {
        QFETCH(QString, typed);
        QFETCH(QString, stored);
        QVERIFY(env->reopenDatabase(Schema::kPassword, false, true));
        list->show();
        openAdd();
        fill({"", "N-1", "2024"});
        entry()->htField[6]->insert(typed);
        entry()->btnSave->click();
        QCOMPARE(GetValue("SELECT model FROM t_mobile WHERE mid = 'N-1'").toString(), stored);
        QCOMPARE(searchModel(typed), QStringList{stored});
        QCOMPARE(searchModel(stored.left(2) + "'"), QStringList{}); // a quote is only ever text

        QStringList inserts = loggedStatements().filter(QRegularExpression("^INSERT INTO t_mobile"));
        QCOMPARE(inserts.size(), 1);
        QCOMPARE(ExecuteSQL("DELETE FROM t_mobile WHERE mid = 'N-1'"), 1);
        QCOMPARE(ExecuteSQL(inserts.first(), true), 1);
        QCOMPARE(searchModel(typed), QStringList{stored});
    }

    void quotesInEveryField() {
        openAdd();
        fill({"", "a'1", "2'0", "m'k", "o'p", "a'n", "m'o", "s'a", "n'i"});
        QVERIFY(entry()->Save());
        Recordset rs;
        QCOMPARE(OpenRecordset(rs, "SELECT * FROM t_mobile WHERE code = " + QString::number(entry()->g_nCode)), 1);
        QCOMPARE(rs.text("mid"), QString("a'1"));
        QCOMPARE(rs.text("nick"), QString("n'i"));
        QCOMPARE(rs.text("imgpath"), QString());
    }

    void addThroughTheListButton() {
        list->show();
        QTimer::singleShot(0, [this] {
            QVERIFY(entry()->isVisible());
            fill({"", "B-1", "2021"});
            entry()->btnSave->click();
            QVERIFY(entry()->isVisible()); // repeat entry keeps it open
            entry()->btnClose->click();
        });
        list->btnRecAdd->click();
        QCOMPARE(list->spList->maxRows(), 1);
        QCOMPARE(list->spList->text(1, 1), QString("000001"));
    }

    // A picture chosen for a new handset is stored as the program keeps pictures and shows
    // in the list at once, with a larger picture in the cell's tip.
    void chosenPictureReachesTheList() {
        const QString png = env->appFolder() + "/phone.png";
        QImage img(60, 90, QImage::Format_RGB32);
        img.fill(Qt::blue);
        QVERIFY(img.save(png));
        QFile junk(env->appFolder() + "/junk.jpg");
        QVERIFY(junk.open(QIODevice::WriteOnly));
        junk.write("no picture");
        junk.close();
        openAdd();
        env->prompter.answerText(junk.fileName());
        entry()->btnPicture->click();
        QVERIFY(env->prompter.texts().last().startsWith("그림 파일을 읽을 수 없습니다."));
        env->prompter.answerText(png);
        entry()->btnPicture->click();
        fill({"", "P-1", "2024"});
        QVERIFY(entry()->Save());
        const QImage stored(env->appFolder() + "/IMG/P-1.bmp");
        QCOMPARE(stored.size(), QSize(60, 90));
        QCOMPARE(stored.pixelColor(30, 45), QColor(Qt::blue));
        QVERIFY(list->spList->hasCellPicture(10, 1));
        QCOMPARE(list->spList->cellPicture(10, 1).size(), QSize(60, 90));
        const QString tip = list->spList->model()->index(0, 9).data(Qt::ToolTipRole).toString();
        QVERIFY2(tip.contains("P-1.bmp") && tip.contains("<img"), qPrintable(tip));
        // The next entry without a choice stores no picture.
        fill({"", "P-2", "2024"});
        QVERIFY(entry()->Save());
        QVERIFY(!QFile::exists(env->appFolder() + "/IMG/P-2.bmp"));
    }

    // A failed save: one box naming the cause, the input kept, no number taken. A file
    // database is made read-only by its folder, a server one by a read-only session.
    void failedSaveKeepsInput() {
        const QString file = env->databaseFile();
        {
            std::optional<WriteProtect> protect;
            if (TestEnv::onServer()) {
                QVERIFY(env->reopenDatabase(Schema::kPassword, true));
            } else {
                protect.emplace(env->appFolder());
                QVERIFY(OpenDB(file, Schema::kPassword, false, false));
            }
            list->show();
            openAdd();
            entry()->show();
            fill({"", "F-1", "2020"});
            QVERIFY(!entry()->Save());
            QCOMPARE(env->prompter.texts().size(), 1);
            if (TestEnv::onServer())
                QVERIFY(env->prompter.texts().first().startsWith("자료를 저장하지 못했습니다.\r\n"));
            else
                QCOMPARE(env->prompter.texts().first(),
                         "자료를 저장하지 못했습니다.\r\n데이터베이스 파일이 읽기 전용이어서 저장할 수 없습니다.");
            QCOMPARE(entry()->htField[0]->text(), QString());
            QCOMPARE(entry()->htField[1]->text(), QString("F-1"));
            QCOMPARE(list->spList->maxRows(), 0);
            entry()->hide();
            DBTerminate();
        }
        QVERIFY(env->reopenDatabase());
        QCOMPARE(GetValue("SELECT COUNT(*) FROM t_mobile").toInt(), 1);
        openAdd();
        ExecuteSQL("DROP TABLE t_mobile");
        fill({"", "F-1", "2020"});
        QVERIFY(!entry()->Save());
        QCOMPARE(env->prompter.texts().size(), 2);
        QVERIFY(env->prompter.texts().last().startsWith("자료를 저장하지 못했습니다.\r\n"));
    }

    void typedNumberInUseIsRefused() {
        openAdd();
        entry()->chkAuto->setChecked(false);
        fill({"000001", "D-1", "2020"});
        QVERIFY(entry()->Save());
        openAdd();
        entry()->chkAuto->setChecked(false);
        fill({"000001", "D-2", "2021"});
        QVERIFY(!entry()->Save());
        QCOMPARE(env->prompter.texts().last(),
                 QString("관리번호 [000001]은(는) 이미 등록되어 있습니다. 다른 관리번호를 입력하세요."));
        QCOMPARE(GetValue("SELECT COUNT(*) FROM t_mobile WHERE mcode = '000001'").toInt(), 1);
        QCOMPARE(entry()->htField[1]->text(), QString("D-2"));
    }
};

QTEST_MAIN(TestHandsetEntry)
#include "tst_handset_entry.moc"
