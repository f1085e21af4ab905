#include "AppState.h"
#include "EnvFixture.h"
#include "FrmImageZoom.h"
#include "FrmSPPrint_Preview.h"
#include "HandsetFixture.h"
#include "HandsetSql.h"
#include "ModalHelp.h"
#include "PopupMenu.h"
#include "SheetModel.h"
#include "SheetPreview.h"
#include "Spread.h"
#include "XlsRead.h"
#include "fBMobil_Save_Search.h"
#include "fbMobil_Admin.h"
#include <QApplication>
#include <QContextMenuEvent>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>

using namespace modMDB_Func;

class TestHandsetList : public EnvFixture {
    Q_OBJECT
    void setUp() override {
        QVERIFY(openDemoDatabase(*env));
        list = std::make_unique<fbMobil_Admin>();
    }
    void tearDown() override { list.reset(); }
    std::unique_ptr<fbMobil_Admin> list;

    QStringList column(int col) const {
        QStringList out;
        for (int r = 1; r <= list->spList->maxRows(); ++r)
            out << list->spList->text(col, r);
        return out;
    }
    void search(int member, const QString &text) {
        for (int m = 1; m <= 8; ++m)
            list->htField[m]->clear();
        list->htField[member]->setText(text);
        list->QueryList();
    }

private Q_SLOTS:

    void emptySearchListsAllButBaseRecord() {
        QCOMPARE(list->spList->maxRows(), 0); // nothing until the first search
        list->QueryList();
        QCOMPARE(list->spList->maxRows(), 40);
        QCOMPARE(list->windowTitle(), QString("핸드폰 관리 (총검색수 : 40)"));
        QVERIFY(!column(11).contains("1"));
        QCOMPARE(column(11).first(), QString("2"));
        QCOMPARE(column(11).last(), QString("41"));
        QCOMPARE(list->spList->text(2, 1), QString("SCH-W270"));
        QVERIFY(list->spList->colHidden(11));
        QVERIFY(list->spList->hasCellPicture(10, 1));
        QCOMPARE(list->spList->activeRow(), 1);
    }

    void eachCondition_data() {
        QTest::addColumn<int>("member");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("hits");
        QTest::newRow("ID part") << 1 << "SCH-" << 5;
        QTest::newRow("year part") << 2 << "201" << 16;
        QTest::newRow("maker exact") << 3 << "팬택" << 5;
        QTest::newRow("maker part finds nothing") << 3 << "팬" << 0;
        QTest::newRow("opening exact") << 4 << "스윙" << 2;
        QTest::newRow("antenna exact") << 5 << "외장형" << 8;
        QTest::newRow("model part") << 6 << "갤럭시" << 4;
        QTest::newRow("SAR part") << 7 << "0.9" << 5;
        QTest::newRow("nick part") << 8 << "폰" << 12;
        QTest::newRow("percent is literal") << 6 << "%" << 0;
    }
    void eachCondition() {
        QFETCH(int, member);
        QFETCH(QString, text);
        QFETCH(int, hits);
        // The count is made by each engine's own substring function, not by the window's SQL.
        QString condition = QStringList{
            "",           "IN(mid, '%1') > 0",   "IN(makeyear, '%1') > 0", "makecom = '%1'",    "opentype = '%1'",
            "ant = '%1'", "IN(model, '%1') > 0", "IN(sar, '%1') > 0",      "IN(nick, '%1') > 0"}[member];
        condition.replace("IN(", TestEnv::onServer() ? "strpos(" : "instr(");
        const int expected =
            GetValue(QString("SELECT COUNT(*) FROM t_mobile WHERE code <> 1 AND %1").arg(condition.arg(text))).toInt();
        QCOMPARE(expected, hits);
        search(member, text);
        QCOMPARE(list->spList->maxRows(), hits);
    }

    void exactConditionsIgnoreCase() {
        ExecuteSQL("INSERT INTO t_mobile (mcode, mid, makeyear, makecom) VALUES ('000090', 'X-1', '2020', 'Samsung')");
        search(3, "SAMSUNG");
        QCOMPARE(list->spList->maxRows(), 1);
        search(1, "x-1");
        QCOMPARE(list->spList->maxRows(), 1);
    }

    void conditionsCombine() {
        list->htField[3]->setText("삼성전자");
        list->htField[4]->setText("폴더");
        list->QueryList();
        QCOMPARE(list->spList->maxRows(), 6);
        for (const QString &maker : column(4))
            QCOMPARE(maker, QString("삼성전자"));
    }

    void noHits() {
        search(6, "없는모델");
        QCOMPARE(list->windowTitle(), QString("핸드폰 관리"));
        QCOMPARE(floatNotices(*env).size(), 0); // hidden window: no notice
        list->show();
        list->QueryList();
        QCOMPARE(floatNotices(*env), QStringList{" 검색된 결과가 없습니다./T500"});
    }

    void quotesFoundNeverBreak() {
        ExecuteSQL("INSERT INTO t_mobile (mcode, mid, makeyear, makecom, model, nick) "
                   "VALUES ('000099', 'Q''1', '2020', 'O''Neil', 'It''s', 'a''b')");
        search(6, "It's");
        QCOMPARE(list->spList->maxRows(), 1);
        QCOMPARE(list->spList->text(7, 1), QString("It's"));
        search(3, "O'Neil");
        QCOMPARE(list->spList->maxRows(), 1);
        search(1, "' OR '1'='1");
        QCOMPARE(list->spList->maxRows(), 0);
        QCOMPARE(GetValue("SELECT COUNT(*) FROM t_mobile").toInt(), 42);
    }

    void overlongSearchTextsAreCutToTheirColumn() {
        // Far past the engine's pattern limit; the field keeps what its column can hold.
        const QString hangul(30000, QChar(0xAC00));
        search(6, hangul);
        QCOMPARE(list->htField[6]->text().size(), 100);
        QCOMPARE(list->spList->maxRows(), 0);
        std::array<QString, 8> conditions;
        conditions.fill(hangul);
        Recordset rs;
        QCOMPARE(OpenRecordset(rs, HandsetSql::listQuery(conditions)), 0);
        QCOMPARE(OpenRecordset(rs, HandsetSql::lookupQuery("model", hangul)), 0);
    }

    void missingPictureAndHiddenPictureColumn() {
        QFile::remove(env->appFolder() + "/IMG/SCH-W270.bmp");
        list->QueryList();
        QVERIFY(!list->spList->hasCellPicture(10, 1));
        QVERIFY(list->spList->hasCellPicture(10, 2));
        list->spList->setColWidth(10, 0);
        list->QueryList();
        QVERIFY(!list->spList->hasCellPicture(10, 2));
    }

    // A picture file that is no picture: an empty cell, and the viewer is not opened empty.
    void unreadablePicture() {
        const QString file = env->appFolder() + "/IMG/SCH-W270.bmp";
        QVERIFY(putPicture(*env, "SCH-W270", "not a picture"));
        list->show();
        list->QueryList();
        QVERIFY(list->spList->cellPicture(10, 1).isNull());
        bool viewerOpened = false;
        QTimer::singleShot(0, [&] {
            if (QWidget *w = QApplication::activeModalWidget()) {
                viewerOpened = true;
                w->close();
            }
        });
        list->ShowPicture(10, 1);
        QCoreApplication::processEvents();
        QVERIFY(!viewerOpened);
        QCOMPARE(env->prompter.texts().last(),
                 "사진 파일을 읽을 수 없습니다. 그림 파일이 아니거나 손상되었습니다.\r\n" +
                     QDir::toNativeSeparators(file));
    }

    void deleteCases() {
        list->show();
        list->RecDelete(); // empty grid
        QCOMPARE(env->prompter.texts().last(), QString("먼저 그리드에서 삭제할 자료를 선택하세요."));
        QCOMPARE(env->prompter.boxes().size(), 1);

        search(3, "애플");
        QCOMPARE(list->spList->maxRows(), 4);
        list->spList->setActiveCell(1, 2);
        env->prompter.answerNo();
        list->RecDelete();
        QCOMPARE(env->prompter.boxes().last().title, QString("삭제"));
        QCOMPARE(list->spList->maxRows(), 4);

        const QString code = list->spList->text(11, 2);
        env->prompter.answerYes();
        list->RecDelete();
        QCOMPARE(list->spList->maxRows(), 3);
        QCOMPARE(list->windowTitle(), QString("핸드폰 관리 (총검색수 : 3)"));
        QCOMPARE(GetValue("SELECT COUNT(*) FROM t_mobile WHERE code = " + code).toInt(), 0);
        QVERIFY(floatNotices(*env).contains(" 자료를 삭제하였습니다./T500"));

        // Deleted elsewhere meanwhile: the user is told and the row leaves the list.
        list->spList->setActiveCell(1, 1);
        const QString gone = list->spList->text(11, 1);
        ExecuteSQL("DELETE FROM t_mobile WHERE code = " + gone);
        env->prompter.answerYes();
        list->RecDelete();
        QCOMPARE(env->prompter.texts().last(), QString("다른 PC에서 이미 삭제된 핸드폰입니다. 목록에서 뺍니다."));
        QCOMPARE(list->spList->maxRows(), 2);

        // The base record can never be deleted.
        list->spList->setText(11, 1, "1");
        list->RecDelete();
        QCOMPARE(env->prompter.texts().last(),
                 QString("시스템의 기본자료이므로 삭제할 수 없습니다.\r\n현재자료를 수정후 사용하세요."));
        QCOMPARE(GetValue("SELECT COUNT(*) FROM t_mobile WHERE code = 1").toInt(), 1);
    }

    void deletingLastRowLeavesNone() {
        search(4, "터치");
        const int n = list->spList->maxRows();
        for (int i = 0; i < n; ++i) {
            list->spList->setActiveCell(1, 1);
            env->prompter.answerYes();
            list->RecDelete();
        }
        QCOMPARE(list->spList->maxRows(), 0);
        QCOMPARE(list->windowTitle(), QString("핸드폰 관리"));
        QCOMPARE(list->GetSelectedCode(-2), 0);
    }

    void keysReachTheirCommands() {
        list->show();
        QApplication::setActiveWindow(list.get());
        list->htField[6]->setFocus();
        QTest::keyClick(list->htField[6], Qt::Key_F5);
        QCOMPARE(list->spList->maxRows(), 40);
        // F7: the preview of this grid, titled with the caption and its count, the user at the left.
        gUserName = QStringLiteral("홍길동");
        QString shownTitle;
        int pages = 0;
        QTimer::singleShot(0, [&] {
            QCoreApplication::processEvents();
            if (auto *w = qobject_cast<FrmSPPrint_Preview *>(QApplication::activeModalWidget())) {
                shownTitle = w->windowTitle();
                pages = w->fpSpreadPreview1->pageCount();
                w->ButtonClick(FrmSPPrint_Preview::ColClose);
            }
        });
        QTest::keyClick(list->htField[6], Qt::Key_F7);
        QCOMPARE(shownTitle, QStringLiteral("스프레드 인쇄 미리보기"));
        QVERIFY(pages >= 1);
        const QString header = list->spList->printProps().header;
        QVERIFY(
            header.contains(QStringLiteral("/f1/c") + list->windowTitle() + QStringLiteral("/n/n/f2/l홍길동/f4/c/n")));
        QVERIFY(list->windowTitle().contains(QStringLiteral("40")));
        QCOMPARE(list->spList->printProps().marginLeft, 0.3 * 1440);
    }

    // F7 on a search that found nothing: told so, no preview and nothing printed.
    void f7OnAnEmptyListPrintsNothing() {
        list->show();
        QApplication::setActiveWindow(list.get());
        search(6, "없는모델");
        QObject scope;
        bool previewOpened = false;
        QTimer::singleShot(0, &scope, [&] {
            if (QWidget *w = QApplication::activeModalWidget()) {
                previewOpened = true;
                w->close();
            }
        });
        QTest::keyClick(list->htField[6], Qt::Key_F7);
        QCoreApplication::processEvents();
        QVERIFY(!previewOpened);
        QCOMPARE(env->prompter.texts().last(), QString("인쇄할 자료가 없습니다. 먼저 자료를 조회하세요."));
    }

    // F8: the list as it stands (a column and a row hidden), its header row first, in a
    // workbook opened afterwards.
    void f8ExportsTheListAsShown() {
        list->show();
        QApplication::setActiveWindow(list.get());
        list->htField[6]->setFocus();
        QTest::keyClick(list->htField[6], Qt::Key_F5);
        list->spList->setColHidden(3, true);
        list->spList->setFocus();
        list->spList->setActiveCell(1, 5);
        QTest::keyClick(list->spList, Qt::Key_E, Qt::ControlModifier);
        QVERIFY(list->spList->rowHidden(5));
        env->prompter.answerYes();
        QTest::keyClick(list->spList, Qt::Key_F8);
        QCOMPARE(env->prompter.texts().last(), QStringLiteral("엑셀로 자료를 내보내기 하시겠습니까?"));
        QCOMPARE(env->shell.opened.size(), 1);
        const XlsBook book = readXls(QDir::fromNativeSeparators(env->shell.opened[0]));
        QVERIFY2(book.error.isEmpty(), qPrintable(book.error));
        QCOMPARE(book.sheetNames, QStringList{"Sheet1"});
        const Spread *g = list->spList;
        const int heads = g->colHeaderRows();
        QList<QStringList> want;
        for (int r = 1 - heads; r <= 40; ++r) {
            if (r == 5)
                continue;
            QStringList line;
            for (int c = 1; c <= g->maxCols(); ++c)
                if (!g->colHidden(c))
                    line << (r < 1 ? g->headerText(c, r + heads) : g->text(c, r));
            want << line;
        }
        QCOMPARE(book.cells[0].size(), want.size());
        for (qsizetype i = 0; i < want.size(); ++i)
            QCOMPARE(book.cells[0][i], want[i]);
        QVERIFY(book.cells[0][heads].contains(QStringLiteral("000001")));
        QCOMPARE(g->maxRows(), 40);
    }

    void lookupListsDistinctValues() {
        fBMobil_Save_Search lookup;
        lookup.Refresh_sheet("makecom", "");
        QStringList values;
        for (int r = 1; r <= lookup.spList->maxRows(); ++r)
            values << lookup.spList->text(1, r);
        QCOMPARE(values,
                 (QStringList{"KT테크", "LG전자", "SK텔레텍", "노키아", "모토로라", "삼성전자", "애플", "팬택"}));
        lookup.Refresh_sheet("makecom", "전자");
        QCOMPARE(lookup.spList->maxRows(), 2);
        // The base record's empty value is not counted; an empty value of a real record is.
        lookup.Refresh_sheet("nick", "");
        const int before = lookup.spList->maxRows();
        ExecuteSQL("UPDATE t_mobile SET nick = '' WHERE code = 2");
        lookup.Refresh_sheet("nick", "");
        QCOMPARE(lookup.spList->maxRows(), before); // 고아라폰 gone, the empty value came
        QCOMPARE(lookup.spList->text(1, 1), QString());
        lookup.spList->setActiveCell(1, 2);
        lookup.PickRow(-1);
        QCOMPARE(lookup.result(), lookup.spList->text(1, 2));
    }

    void lookupFromSearchField() {
        list->htField[3]->setText("LG");
        int shown = 0;
        onNextModalOf<fBMobil_Save_Search>(this, [&](fBMobil_Save_Search *dlg) {
            shown = dlg->spList->maxRows();
            QCOMPARE(dlg->txtinput->text(), QString()); // the caller's text is not put there
            dlg->PickRow(1);
        });
        list->OpenLookup(3);
        QCOMPARE(shown, 1);
        QCOMPARE(list->htField[3]->text(), QString("LG전자"));
        // Closing without a pick leaves the field as it was.
        onNextModal(this, [](QWidget *w) { w->close(); });
        list->OpenLookup(3);
        QCOMPARE(list->htField[3]->text(), QString("LG전자"));
    }

    // Keyboard only: the values take the focus; in the search box Enter searches again.
    void lookupByKeyboard() {
        bool listFirst = false, searched = false;
        onNextModalOf<fBMobil_Save_Search>(this, [&](fBMobil_Save_Search *dlg) {
            QTRY_VERIFY(dlg->isActiveWindow());
            listFirst = dlg->spList->hasFocus();
            QTest::keyClick(dlg, Qt::Key_F3);
            dlg->txtinput->insert("전자"); // as an input method gives it
            QTest::keyClick(dlg->txtinput, Qt::Key_Return);
            searched = dlg->spList->maxRows() == 2 && dlg->spList->hasFocus();
            QTest::keyClick(dlg->spList, Qt::Key_Down);
            QTest::keyClick(dlg->spList, Qt::Key_Return);
        });
        list->OpenLookup(3);
        QVERIFY(listFirst);
        QVERIFY(searched);
        QCOMPARE(list->htField[3]->text(), QString("삼성전자"));
    }

    void emptyPickLeavesFieldAlone() {
        ExecuteSQL("UPDATE t_mobile SET makecom = '' WHERE code = 2");
        list->htField[3]->setText("삼성");
        onNextModalOf<fBMobil_Save_Search>(this, [](fBMobil_Save_Search *dlg) {
            dlg->Refresh_sheet("makecom", ""); // F5 right away lists every value, the empty one first
            QCOMPARE(dlg->spList->text(1, 1), QString());
            dlg->PickRow(1);
        });
        list->OpenLookup(3);
        QCOMPARE(list->htField[3]->text(), QString("삼성"));
    }

    // Few rows make a one-digit row header; the corner's "No" still shows whole.
    void rowHeaderHoldsItsCornerText_data() {
        QTest::addColumn<bool>("lookup");
        QTest::addColumn<int>("rows");
        QTest::newRow("list, one hit") << false << 1;
        QTest::newRow("lookup, eight makers") << true << 8;
    }
    void rowHeaderHoldsItsCornerText() {
        QFETCH(bool, lookup);
        QFETCH(int, rows);
        fBMobil_Save_Search dialog;
        Spread *grid = lookup ? dialog.spList : list->spList;
        if (lookup) {
            dialog.Refresh_sheet("makecom", "");
            dialog.show();
        } else {
            search(1, "SCH-W270");
            list->show();
        }
        QVERIFY(QTest::qWaitForWindowExposed(grid->window()));
        QCOMPARE(grid->maxRows(), rows);
        QCOMPARE(grid->text(0, 0), QStringLiteral("No"));
        const int needs = QFontMetrics(grid->font()).horizontalAdvance(QStringLiteral("No")) + 4;
        QVERIFY2(grid->verticalHeader()->width() >= needs,
                 qPrintable(QString("%1 px for %2").arg(grid->verticalHeader()->width()).arg(needs)));
    }

    // At the list's own row height a picture fitted into its cell is a few pixels across:
    // what the screen shows must be wide enough to be seen.
    void pictureCellShowsMoreThanASliver() {
        list->show();
        list->QueryList();
        QVERIFY(QTest::qWaitForWindowExposed(list.get()));
        Spread *grid = list->spList;
        grid->scrollTo(grid->model()->index(1, 9));
        const QRect cell = grid->visualRect(grid->model()->index(1, 9));
        // The width of what is drawn dark in the cell; a server's picture arrives after the paint.
        const auto drawnWidth = [&] {
            const QImage shot = grid->viewport()->grab(cell).toImage();
            int left = shot.width(), right = -1;
            for (int y = 0; y < shot.height(); ++y)
                for (int x = 0; x < shot.width(); ++x)
                    if (qGray(shot.pixel(x, y)) < 128) {
                        left = std::min(left, x);
                        right = std::max(right, x);
                    }
            return right - left + 1;
        };
        QVERIFY(QTest::qWaitFor([&] { return drawnWidth() >= 10; }, 3000));
    }

    // A picture another PC changed, put in place with its old time, deleted or added shows as it
    // is now at the next F5; an unchanged one is not read again from its file.
    void theNextSearchShowsEachPictureAsItIsNow() {
        const QString id = "SCH-W270", file = env->appFolder() + "/IMG/SCH-W270.bmp";
        // What another PC does: the shared folder's file, or the server's picture table.
        const auto put = [&](QRgb colour) {
            QString why;
            return TestEnv::onServer()
                       ? PictureTable::put(connection(), id, bmpOf(QColor(colour)), &why)
                       : FilePictureStore(env->appFolder() + "/IMG").write(id, bmpOf(QColor(colour)), &why);
        };
        const auto remove = [&] {
            QString why;
            return TestEnv::onServer() ? PictureTable::remove(connection(), id, &why) : QFile::remove(file);
        };
        const auto keepOldTime = [&](const QDateTime &old) {
            QFile f(file);
            return TestEnv::onServer() ||
                   (f.open(QIODevice::ReadWrite) && f.setFileTime(old, QFileDevice::FileModificationTime));
        };
        QVERIFY(put(qRgb(255, 0, 0)));
        list->show();
        QVERIFY(QTest::qWaitForWindowExposed(list.get()));
        const PictureCache &cache = list->spList->sheetModel()->pictures();
        const auto shown = [&] { // the first row's picture as its cell paints it, after any fetch
            list->spList->viewport()->repaint();
            QCoreApplication::processEvents();
            const QImage img = list->spList->model()->index(0, 9).data(SheetModel::PictureRole).value<QImage>();
            return img.isNull() ? QRgb(0) : img.pixel(0, 0);
        };
        list->QueryList();
        QTRY_COMPARE(shown(), qRgb(255, 0, 0));
        const struct {
            const char *change;
            std::function<bool()> act;
            QRgb expected; // 0: no picture
            bool read;     // the file is read again (a file database; a server's are fetched anew)
        } steps[] = {
            {"unchanged", [] { return true; }, qRgb(255, 0, 0), false},
            {"rewritten", [&] { return put(qRgb(0, 0, 255)); }, qRgb(0, 0, 255), true},
            {"put back with its old time",
             [&] {
                 const QDateTime old = QFileInfo(file).lastModified();
                 return put(qRgb(0, 255, 0)) && keepOldTime(old);
             },
             qRgb(0, 255, 0), true},
            {"deleted", remove, 0, true},
            {"added", [&] { return put(qRgb(255, 0, 0)); }, qRgb(255, 0, 0), true},
        };
        for (const auto &step : steps) {
            QVERIFY2(step.act(), step.change);
            const int before = cache.loads();
            list->QueryList();
            QTRY_COMPARE_WITH_TIMEOUT(shown(), step.expected, 3000);
            if (!TestEnv::onServer())
                QVERIFY2((cache.loads() > before) == step.read, step.change);
        }
    }

    // The grid menu's commands, chosen through a right click, keep the header a row height + 2.
    void headerFollowsTheRowHeightThroughMenuCommands() {
        list->show();
        list->QueryList();
        QVERIFY(QTest::qWaitForWindowExposed(list.get()));
        auto command = [&](int chosen, const QString &answer) {
            setPopupMenuChooser([chosen](const PopupMenuModel &) { return chosen; });
            env->prompter.answerText(answer);
            const QPoint at = list->spList->visualRect(list->spList->model()->index(0, 1)).center();
            QContextMenuEvent menu(QContextMenuEvent::Mouse, at, list->spList->viewport()->mapToGlobal(at));
            QApplication::sendEvent(list->spList->viewport(), &menu);
            setPopupMenuChooser({});
        };
        auto headerPx = [&] { return list->spList->horizontalHeader()->height(); };
        command(1, "20");
        QCOMPARE(list->spList->rowHeight(0), 22.0);
        const int px = headerPx();
        QVERIFY(px > list->spList->verticalHeader()->sectionSize(0));
        command(2, "14");
        QCOMPARE(list->spList->rowHeight(0), 22.0);
        QCOMPARE(headerPx(), px);
        list->close();
        list = std::make_unique<fbMobil_Admin>();
        list->show();
        QCOMPARE(list->spList->rowHeight(0), 22.0);
        QCOMPARE(headerPx(), px);
    }

    void layoutRememberedAcrossOpenings() {
        list->show();
        const QString file = env->appFolder() + "/FormIni/fbMobil_Admin.ini";
        list->resize(900, 640);
        list->move(40, 30);
        list->close();
        QVERIFY(QFile::exists(file));
        list = std::make_unique<fbMobil_Admin>();
        list->show();
        QCOMPARE(list->size(), QSize(900, 640));
        QCOMPARE(list->pos(), QPoint(40, 30));
        // Unmoved, unresized: closing writes nothing.
        QFile::remove(file);
        list->close();
        QVERIFY(!QFile::exists(file));
    }

    void imageViewerLayouts() {
        FrmImageZoom zoom;
        QImage small(100, 80, QImage::Format_RGB32);
        small.fill(Qt::green);
        zoom.setPicture(small);
        zoom.resize(400, 300);
        zoom.show();
        QVERIFY(zoom.picBig->isVisible());
        QCOMPARE(zoom.picBig->geometry().center(), zoom.rect().center());
        QImage big(900, 900, QImage::Format_RGB32);
        big.fill(Qt::blue);
        zoom.setPicture(big);
        QVERIFY(!zoom.picBig->isVisible());
        QVERIFY(zoom.Image1->isVisible());
        QCOMPARE(zoom.Image1->size(), zoom.size());
        QTest::mouseDClick(zoom.Image1, Qt::LeftButton);
        QVERIFY(zoom.isVisible()); // the stretched picture does not close
        zoom.resize(1000, 1000);
        QVERIFY(zoom.picBig->isVisible());
        QImage wide(800, 100, QImage::Format_RGB32);
        zoom.resize(400, 300);
        zoom.setPicture(wide);
        QVERIFY(zoom.picBig->isVisible());
        QCOMPARE(zoom.picBig->x(), (400 - 800) / 2);
        QTest::mouseDClick(zoom.picBig, Qt::LeftButton);
        QVERIFY(!zoom.isVisible());
    }
};

QTEST_MAIN(TestHandsetList)
#include "tst_handset_list.moc"
