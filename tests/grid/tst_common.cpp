// Common grid behaviour: the design, the grid menu and its inputs, the shortcuts, row deletion.
#include "AppPaths.h"
#include "AppState.h"
#include "EnvFixture.h"
#include "FloatMsg.h"
#include "FormLayoutFile.h"
#include "IniFile.h"
#include "PopupMenu.h"
#include "Spread.h"
#include "modFormIni.h"
#include "modSpread60.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QTest>
#include <QVBoxLayout>

using namespace modSpread60;

class TestCommon : public EnvFixture {
    Q_OBJECT
    void setUp() override {
        ResetFloatMsg();
        window = std::make_unique<QWidget>();
        window->setObjectName(QStringLiteral("fbMobil_Admin"));
        sp = new Spread(window.get());
        sp->setObjectName(QStringLiteral("spList"));
        (new QVBoxLayout(window.get()))->addWidget(sp);
    }
    void tearDown() override {
        setPopupMenuChooser({});
        gGridFontSize = gGridRowHeight = 0;
        window.reset();
    }
    std::unique_ptr<QWidget> window;
    Spread *sp = nullptr;

    QString layoutFile() const { return FormLayoutFile::path(QStringLiteral("fbMobil_Admin")); }
    QString stored(const QString &key) const { return IniFile::read(layoutFile(), "spList_General", key); }
    void fillRows(int rows) {
        sp->setMaxCols(3);
        sp->setMaxRows(rows);
        for (int r = 1; r <= rows; ++r)
            sp->setText(1, r, QString::number(r));
    }
    QList<int> hiddenRows() const {
        QList<int> out;
        for (int r = 1; r <= sp->maxRows(); ++r)
            if (sp->rowHidden(r))
                out << r;
        return out;
    }

private Q_SLOTS:
    void listDesignLocksSelectsRowsAndLabelsTheCorner() {
        gStyleOn = true;
        fillRows(3);
        CommonSpreadDesign(sp, true, true, true, true, true);
        QCOMPARE(sp->maxRows(), 0);
        QVERIFY(sp->singleRowSelect() && !sp->blockSelect());
        QVERIFY(sp->sortByHeader());
        QVERIFY(sp->textTip());
        QCOMPARE(sp->text(0, 0), QStringLiteral("No"));
        QCOMPARE(sp->shadowColor(), QColor(204, 226, 244));
        QCOMPARE(sp->shadowText(), QColor(0, 0, 0));
        QCOMPARE(sp->selBackColor(), QColor(254, 254, 186));
        QVERIFY(!(sp->editTriggers() & QAbstractItemView::EditKeyPressed));
        sp->setMaxRows(2);
        QVERIFY(sp->lock(1, 2));
        QVERIFY(!(sp->model()->flags(sp->model()->index(1, 0)) & Qt::ItemIsEditable));
        QCOMPARE(sp->model()->index(1, 0).data(Qt::BackgroundRole).value<QColor>(), QColor(243, 249, 251));
        QCOMPARE(sp->model()->index(0, 0).data(Qt::BackgroundRole).value<QColor>(), QColor(255, 255, 255));
    }

    void readOnlyWithoutSingleSelectKeepsCellSelection() {
        fillRows(3);
        CommonSpreadDesign(sp, true, false, false, false, false);
        QVERIFY(!sp->singleRowSelect());
        QCOMPARE(sp->selectionBehavior(), QAbstractItemView::SelectItems);
        QVERIFY(!sp->blockSelect());
        QVERIFY(sp->lock(2, 2));
        QCOMPARE(sp->maxRows(), 3);          // emptyRows false keeps the rows
        QCOMPARE(sp->text(0, 0), QString()); // and no corner text
        QVERIFY(!sp->sortByHeader());
        QVERIFY(!sp->shadowColor().isValid()); // colour scheme off
    }

    void cornerTextNeedsRowHeaders() {
        sp->setRowHeadersShow(false);
        CommonSpreadDesign(sp, true, true, true, true, true);
        QCOMPARE(sp->text(0, 0), QString());
    }

    void editingGridTypesOver() {
        fillRows(2);
        CommonSpreadDesign(sp, false, false, false, false, false);
        QVERIFY(sp->editingGrid());
        QVERIFY(sp->editTriggers() & QAbstractItemView::AnyKeyPressed);
        QVERIFY(sp->model()->flags(sp->model()->index(0, 0)) & Qt::ItemIsEditable);
    }

    void pictureAndHiddenColumns() {
        fillRows(2);
        SetPictureColumn(sp, 2);
        QCOMPARE(sp->cellType(2, 1), CellType::Picture);
        QCOMPARE(sp->pictureFit(2, 2), PictStretch | PictCenter | PictMaintainScale);
        QCOMPARE(sp->cellType(1, 1), CellType::Edit);
        sp->setActiveCell(1, 1);
        SetColHidden(sp, 3, true);
        QVERIFY(sp->colHidden(3) && sp->isColumnHidden(2));
        QCOMPARE(sp->activeCol(), 1);
        SetColHidden(sp, 3, false);
        QVERIFY(!sp->isColumnHidden(2));
    }

    void menuItemsFollowTheFlags() {
        const QStringList base{"01그리드 【줄높이】변경", "02【글자크기】       변경", "-",
                               "03폼 및 그리드 설정【초기화】"};
        const QString close = QStringLiteral("00메    뉴      닫    기");
        const QStringList report{"-", "04【보고서】용 칼럼 설정"};
        const QStringList shortcuts{"-", "05시트내 【단축키】 목록"};
        const QStringList subtotals{"-", "06【소계】숨김/보기", "07【소계만】보기/해제"};
        const QStringList end{"-", close};
        QCOMPARE(SpreadMenuItems(false, true, false), base + end);
        QCOMPARE(SpreadMenuItems(true, false, true), base + report + subtotals + end);
        QCOMPARE(SpreadMenuItems(true, true, false), base + report + shortcuts + end);
    }

    // Without subtotal rows the subtotal commands are greyed.
    void menuPassesTheChosenCommandOn() {
        fillRows(3);
        QList<int> offered, greyed;
        setPopupMenuChooser([&](const PopupMenuModel &m) {
            offered.clear();
            greyed.clear();
            for (const PopupMenuItem &i : m)
                if (!i.separator)
                    (i.enabled ? offered : greyed) << i.command;
            return 7;
        });
        ShowSpreadMenu(window.get(), sp, false, QString(), false, true);
        QCOMPARE(offered, (QList<int>{1, 2, 3, 0}));
        QCOMPARE(greyed, (QList<int>{6, 7}));
        QCOMPARE(hiddenRows(), QList<int>{});

        sp->setCellTag(0, 2, QStringLiteral("subtot"));
        ShowSpreadMenu(window.get(), sp, false, QString(), false, true);
        QCOMPARE(offered, (QList<int>{1, 2, 3, 6, 7, 0}));
        QCOMPARE(hiddenRows(), (QList<int>{1, 3})); // command 7 ran
    }

    void rowHeightAsksUntilInRangeAndStoresTheAnswer() {
        fillRows(2);
        sp->setRowHeight(-1, 13.5);
        env->prompter.answerText("5");
        env->prompter.answerText("301");
        env->prompter.answerText("abc");
        env->prompter.answerText("nan"); // not a number either
        env->prompter.answerText("20");
        RunSpreadMenuCommand(1, window.get(), sp, QString());
        QCOMPARE(env->prompter.boxes().size(), 5);
        QCOMPARE(env->prompter.boxes()[0].title, QStringLiteral("그리드의 줄높이 변경"));
        QCOMPARE(env->prompter.boxes()[0].text,
                 QStringLiteral("변경할 그리드의 줄높이를 입력하세요.(입력범위: 8~300, 0:기본값)|13"));
        QCOMPARE(sp->rowHeight(2), 20.0);
        QCOMPARE(sp->rowHeight(0), 22.0);
        QCOMPARE(stored("RowHeight"), QStringLiteral("20"));
    }

    void rowHeightCancelOrSameValueStoresNothing() {
        fillRows(2);
        sp->setRowHeight(-1, 18.75);
        env->prompter.answerCancel();
        RunSpreadMenuCommand(1, window.get(), sp, QString());
        env->prompter.answerText("18");
        RunSpreadMenuCommand(1, window.get(), sp, QString());
        env->prompter.answerText("");
        RunSpreadMenuCommand(1, window.get(), sp, QString());
        QVERIFY(!QFile::exists(layoutFile()));
        QCOMPARE(sp->rowHeight(1), 18.75);
    }

    void zeroIsStoredButLeavesTheGridAsItIs() {
        fillRows(2);
        sp->setRowHeight(-1, 15);
        const double font = sp->fontSize(1, 1);
        env->prompter.answerText("0");
        RunSpreadMenuCommand(1, window.get(), sp, QString());
        env->prompter.answerText("0");
        RunSpreadMenuCommand(2, window.get(), sp, QString());
        QCOMPARE(stored("RowHeight"), QStringLiteral("0"));
        QCOMPARE(stored("FontSize"), QStringLiteral("0"));
        QCOMPARE(sp->rowHeight(1), 15.0);
        QCOMPARE(sp->fontSize(1, 1), font);
    }

    void zeroAppliesTheApplicationDefaultsWhenThereAreAny() {
        fillRows(2);
        gGridFontSize = 11;
        gGridRowHeight = 16;
        env->prompter.answerText("0");
        RunSpreadMenuCommand(1, window.get(), sp, QString());
        QCOMPARE(sp->rowHeight(1), 16.0);
        QCOMPARE(sp->rowHeight(0), 18.0);
        QCOMPARE(sp->fontSize(2, 2), 11.0);
    }

    void fontSizeAsksUntilInRangeAndChangesHeaderToo() {
        fillRows(2);
        sp->setFontSize(-1, -1, 9);
        env->prompter.answerText("7");
        env->prompter.answerText("61");
        env->prompter.answerText("12");
        RunSpreadMenuCommand(2, window.get(), sp, QStringLiteral("_B"));
        QCOMPARE(env->prompter.boxes().size(), 3);
        QCOMPARE(env->prompter.boxes()[0].text,
                 QStringLiteral("변경할 글자의 크기를 입력하세요.(입력범위: 8~60, 0:기본값)|9"));
        QCOMPARE(sp->fontSize(2, 2), 12.0);
        QCOMPARE(sp->fontSize(2, 0), 12.0);
        QCOMPARE(IniFile::read(FormLayoutFile::path("fbMobil_Admin_B"), "spList_General", "FontSize"),
                 QStringLiteral("12"));
        env->prompter.answerText("12"); // unchanged: nothing stored
        QFile::remove(FormLayoutFile::path("fbMobil_Admin_B"));
        RunSpreadMenuCommand(2, window.get(), sp, QStringLiteral("_B"));
        QVERIFY(!QFile::exists(FormLayoutFile::path("fbMobil_Admin_B")));
    }

    // A font too big for the rows makes them grow, so no text is cut; also when read back.
    void aBiggerFontGrowsTheRowsThatCannotHoldIt() {
        fillRows(2);
        sp->setRowHeight(-1, 40);
        const auto holdsFont = [&] {
            const int textPx = QFontMetrics(sp->font()).height();
            return sp->verticalHeader()->sectionSize(0) >= textPx && sp->horizontalHeader()->height() >= textPx + 2;
        };
        env->prompter.answerText("10");
        RunSpreadMenuCommand(2, window.get(), sp, QString());
        QCOMPARE(sp->rowHeight(1), 40.0); // room enough: left as it was
        sp->setRowHeight(-1, 13);
        env->prompter.answerText("24");
        RunSpreadMenuCommand(2, window.get(), sp, QString());
        QVERIFY(holdsFont());
        QCOMPARE(sp->rowHeight(0), sp->rowHeight(1) + 2);

        auto *again = new Spread(window.get());
        again->setObjectName(QStringLiteral("spList"));
        std::swap(sp, again);
        sp->setMaxRows(2);
        sp->setRowHeight(-1, 13);
        modFormIni::LoadSpreadIni(sp, layoutFile(), sp->arrayIndex());
        QCOMPARE(sp->fontSize(1, 1), 24.0);
        QVERIFY(holdsFont());
    }

    void resetAsksThenDeletesTheLayoutFile() {
        QVERIFY(IniFile::write(layoutFile(), "FormPosition", "Left", "100"));
        env->prompter.answerNo();
        RunSpreadMenuCommand(3, window.get(), sp, QString());
        QVERIFY(QFile::exists(layoutFile()));
        env->prompter.answerYes();
        RunSpreadMenuCommand(3, window.get(), sp, QString());
        QVERIFY(!QFile::exists(layoutFile()));
        const auto &boxes = env->prompter.boxes();
        QCOMPARE(boxes.size(), 3);
        QVERIFY(boxes[0].yesIsDefault);
        QCOMPARE(boxes[0].title, AppState::title());
        QVERIFY(boxes[0].text.endsWith(QStringLiteral("\r\n\r\n초기화 하시겠습니까?")));
        QVERIFY(boxes[2].text.startsWith(QStringLiteral("초기화를 완료하였습니다.")));
    }

    void subtotalCommandsToggleTaggedOrUntaggedRows() {
        fillRows(5);
        RunSpreadMenuCommand(6, window.get(), sp, QString()); // no tags: nothing changes
        QCOMPARE(hiddenRows(), QList<int>());
        RunSpreadMenuCommand(7, window.get(), sp, QString()); // nor would "only subtotals" hide the list
        QCOMPARE(hiddenRows(), QList<int>());

        sp->setCellTag(0, 2, QStringLiteral("subtot"));
        sp->setCellTag(0, 5, QStringLiteral("subtot"));
        sp->setCellTag(1, 3, QStringLiteral("subtot")); // only the row-header cell counts
        RunSpreadMenuCommand(6, window.get(), sp, QString());
        QCOMPARE(hiddenRows(), (QList<int>{2, 5}));
        RunSpreadMenuCommand(7, window.get(), sp, QString());
        QCOMPARE(hiddenRows(), (QList<int>{1, 2, 3, 4, 5}));
        RunSpreadMenuCommand(6, window.get(), sp, QString());
        QCOMPARE(hiddenRows(), (QList<int>{1, 3, 4}));
    }

    void ctrlEHidesTheActiveRowAndCtrlWShowsItsNeighbours() {
        fillRows(4);
        QVERIFY(SpreadKeyDown(sp, 69, 2)); // no active row: nothing hidden
        QCOMPARE(hiddenRows(), QList<int>());
        sp->setRowHidden(-1, true);
        sp->setActiveCell(1, 1);
        SpreadKeyDown(sp, 87, 2); // first row: only the row below
        QCOMPARE(hiddenRows(), (QList<int>{1, 3, 4}));
        sp->setActiveCell(1, 4);
        SpreadKeyDown(sp, 87, 2); // last row: only the row above
        QCOMPARE(hiddenRows(), (QList<int>{1, 4}));
        sp->setActiveCell(1, 3);
        SpreadKeyDown(sp, 69, 2);
        QCOMPARE(hiddenRows(), (QList<int>{1, 3, 4}));
        QVERIFY(!SpreadKeyDown(sp, 69, 3)); // Ctrl+Shift+E is not ours
        QVERIFY(!SpreadKeyDown(sp, 69, 0));
        QVERIFY(!SpreadKeyDown(sp, 65, 2));
        QCOMPARE(hiddenRows(), (QList<int>{1, 3, 4}));
    }

    void ctrlHShowsTheShortcutList() {
        QVERIFY(SpreadKeyDown(sp, 72, 2));
        QCOMPARE(env->prompter.boxes().size(), 1);
        QCOMPARE(env->prompter.boxes()[0].title, QStringLiteral("시트내 단축키 목록"));
        QCOMPARE(env->prompter.boxes()[0].text,
                 QStringLiteral(" - Ctrl + H : 단축키 목록보기\r\n\r\n - Ctrl + F : 찾기\r\n\r\n - Ctrl + E : 행숨김"
                                "\r\n\r\n - Ctrl + W : 행숨김 취소(아래/위행)"));
    }

    void deleteRowWithAndWithoutShrink() {
        fillRows(4);
        sp->setMaxRows(6);
        SpreadDeleteRow(sp, 2, false, false);
        QCOMPARE(sp->maxRows(), 6);
        QCOMPARE(sp->text(1, 2), QStringLiteral("3"));
        QCOMPARE(sp->dataRowCnt(), 3);
        SpreadDeleteRow(sp, 1, false, true);
        QCOMPARE(sp->maxRows(), 2);
        QCOMPARE(sp->text(1, 1), QStringLiteral("3"));
        sp->setActiveCell(1, 2);
        SpreadDeleteRow(sp, -2, false, true); // the active row
        QCOMPARE(sp->maxRows(), 1);
        QCOMPARE(sp->text(1, 1), QStringLiteral("3"));
        SpreadDeleteRow(sp, 1, false, true); // the last row
        QCOMPARE(sp->maxRows(), 0);
        SpreadDeleteRow(sp, -2, false, true); // nothing left: nothing happens
        QCOMPARE(sp->maxRows(), 0);
        QCOMPARE(env->shell.starts.size(), 0);
    }

    void deleteRowNotifiesThroughTheFloatingNotice() {
        const QString program = AppPaths::toolPath(QStringLiteral("FloatMsg"));
        if (!QFileInfo(program).isFile()) {
            QDir().mkpath(QFileInfo(program).absolutePath());
            QFile f(program);
            QVERIFY(f.open(QIODevice::WriteOnly));
        }
        fillRows(2);
        SpreadDeleteRow(sp, 1, true, true);
        QCOMPARE(env->shell.starts.size(), 1);
        QVERIFY(env->shell.starts[0].argumentText.startsWith(QStringLiteral(" 자료를 삭제하였습니다./T500")));
    }
};

QTEST_MAIN(TestCommon)
#include "tst_common.moc"
