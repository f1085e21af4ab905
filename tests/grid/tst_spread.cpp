// The grid widget: units, the user's column drags, sorting by header click, pictures,
// positions, key and mouse signals.
#include "EnvFixture.h"
#include "PictureCache.h"
#include "SheetModel.h"
#include "Spread.h"
#include "SpreadDelegate.h"
#include <QAbstractButton>
#include <QAbstractItemModelTester>
#include <QHeaderView>
#include <QHelpEvent>
#include <QImage>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QToolTip>

class TestSpread : public EnvFixture {
    Q_OBJECT
    void setUp() override {
        sp = std::make_unique<Spread>();
        sp->resize(600, 400);
    }
    void tearDown() override { sp.reset(); }
    std::unique_ptr<Spread> sp;

    void fillNumbers(const QStringList &col1) {
        sp->setMaxCols(3);
        sp->setMaxRows(int(col1.size()));
        for (int r = 1; r <= col1.size(); ++r) {
            sp->setText(1, r, col1[r - 1]);
            sp->setText(2, r, QStringLiteral("row%1").arg(r));
        }
    }
    QStringList column(int col) const {
        QStringList out;
        for (int r = 1; r <= sp->maxRows(); ++r)
            out << sp->text(col, r);
        return out;
    }
    void clickHeader(int col) {
        QHeaderView *h = sp->horizontalHeader();
        const QPoint p(h->sectionViewportPosition(col - 1) + h->sectionSize(col - 1) / 2, h->height() / 2);
        QTest::mouseClick(h->viewport(), Qt::LeftButton, {}, p);
    }

private Q_SLOTS:
    void columnWidthsAreCharactersAndRowHeightsPoints() {
        sp->setMaxCols(3);
        sp->setMaxRows(2);
        sp->setColWidth(2, 9.58);
        QCOMPARE(sp->colWidth(2), 9.58); // read back as stored, for the layout file
        QCOMPARE(sp->columnWidth(1), sp->colWidthPx(9.58));
        QVERIFY(sp->colWidthPx(20) > sp->colWidthPx(10));
        sp->setColWidth(3, 0);
        QCOMPARE(sp->columnWidth(2), 0);
        sp->setRowHeight(-1, 24);
        QCOMPARE(sp->rowHeight(1), 24.0);
        QCOMPARE(sp->QTableView::rowHeight(1), sp->pointsToPx(24));
        QCOMPARE(sp->pointsToPx(72), sp->logicalDpiY());
        sp->setRowHeight(-1000, 14);
        QCOMPARE(sp->rowHeight(0), 14.0);
        QCOMPARE(sp->horizontalHeader()->height(), sp->pointsToPx(14));
        sp->setColHeaderRows(2);
        QCOMPARE(sp->horizontalHeader()->height(), 2 * sp->pointsToPx(14));
    }

    void draggingAColumnBorderStoresCharactersAndSignalsTheColumn() {
        sp->setMaxCols(3);
        QSignalSpy changed(sp.get(), &Spread::colWidthChanged);
        sp->setColWidth(2, 12); // our own change is no user action
        QCOMPARE(changed.size(), 0);
        sp->horizontalHeader()->resizeSection(1, sp->colWidthPx(15)); // as a drag does
        QCOMPARE(changed.size(), 1);
        QCOMPARE(changed[0][0].toInt(), 2);
        QCOMPARE(changed[0][1].toInt(), 2);
        QVERIFY(qAbs(sp->colWidth(2) - 15) < 0.1);
        sp->setColHidden(2, true); // hiding is no drag either
        QCOMPARE(changed.size(), 1);
        QVERIFY(qAbs(sp->colWidth(2) - 15) < 0.1);
    }

    void headerClickSortsAndASecondClickReverses() {
        fillNumbers({"10", "9", "b", "A", ""});
        sp->setMaxRows(6); // an empty row at the end stays there
        sp->setCellTag(0, 1, QStringLiteral("subtot"));
        sp->setRowHidden(2, true);
        sp->show();
        QVERIFY(QTest::qWaitForWindowExposed(sp.get()));
        clickHeader(1); // not switched on: nothing moves
        QCOMPARE(column(1), (QStringList{"10", "9", "b", "A", "", ""}));

        sp->setSortByHeader(true);
        clickHeader(1);
        QCOMPARE(column(1), (QStringList{"9", "10", "A", "b", "", ""}));
        QCOMPARE(column(2), (QStringList{"row2", "row1", "row4", "row3", "row5", ""})); // empty cells last
        QCOMPARE(sp->cellTag(0, 2), QStringLiteral("subtot"));                          // the tag went with its row
        QVERIFY(sp->rowHidden(1) && sp->QTableView::isRowHidden(0));
        QVERIFY(!sp->rowHidden(2) && !sp->QTableView::isRowHidden(1));

        clickHeader(1);
        QCOMPARE(column(1), (QStringList{"b", "A", "10", "9", "", ""}));
        clickHeader(2);
        QCOMPARE(column(2), (QStringList{"row1", "row2", "row3", "row4", "row5", ""}));
        QCOMPARE(sp->horizontalHeader()->sortIndicatorSection(), 1);

        // A new list comes in its own order: the arrow goes, and a click sorts ascending again.
        sp->setMaxRows(0);
        fillNumbers({"2", "3", "1"});
        QCOMPARE(sp->horizontalHeader()->sortIndicatorSection(), -1);
        clickHeader(2);
        QCOMPARE(sp->horizontalHeader()->sortIndicatorSection(), 1);
        QCOMPARE(sp->horizontalHeader()->sortIndicatorOrder(), Qt::AscendingOrder);
    }

    void theActiveCellFollowsItsRowWhenSorted() {
        fillNumbers({"3", "1", "2"});
        sp->setActiveCell(2, 1);
        sp->sortRows(1, true);
        QCOMPARE(sp->activeRow(), 3);
        QCOMPARE(sp->text(2, sp->activeRow()), QStringLiteral("row1"));
    }

    void picturesAreReadWhenPaintedAndReadOnce() {
        QImage img(40, 20, QImage::Format_RGB32);
        img.fill(Qt::red);
        const QString file = env->appFolder() + QStringLiteral("/a.bmp");
        QVERIFY(img.save(file));
        sp->setMaxCols(2);
        sp->setMaxRows(500);
        sp->setCellType(2, -1, CellType::Picture);
        for (int r = 1; r <= 500; ++r) {
            sp->setText(2, r, QStringLiteral("a.bmp"));
            sp->setCellPicture(2, r, file);
        }
        PictureCache &cache = sp->sheetModel()->pictures();
        QCOMPARE(cache.loads(), 0); // nothing read while filling
        sp->show();
        QVERIFY(QTest::qWaitForWindowExposed(sp.get()));
        QTRY_VERIFY(cache.isCached(file));
        QCOMPARE(cache.loads(), 1); // one file, many cells
        sp->scrollToBottom();
        QApplication::processEvents();
        QCOMPARE(cache.loads(), 1);
        QVERIFY(sp->hasCellPicture(2, 7));
        QCOMPARE(sp->cellPicture(2, 7).size(), QSize(40, 20));
        sp->setCellType(2, 8, CellType::Edit);
        QVERIFY(!sp->hasCellPicture(2, 8));
        QVERIFY(!sp->hasCellPicture(1, 7));
        // A new list (the grid emptied and refilled) reads a replaced picture anew.
        sp->setMaxRows(0);
        QVERIFY(!cache.isCached(file));
    }

    // The usual cells are drawn without the style's item path: to the pixel what that path draws,
    // whatever each cell's own font, colour, alignment and length.
    void plainCellsLookAsTheStyleDrawsThem() {
        const struct {
            const char *text;
            std::function<void(int row)> format;
        } cells[] = {
            {"왼쪽 맞춤 ABC 123", [](int) {}},
            {"굵게", [&](int r) { sp->setFontBold(1, r, true); }},
            {"기울임 밑줄",
             [&](int r) {
                 sp->setFontItalic(1, r, true);
                 sp->setFontUnderline(1, r, true);
             }},
            {"큰 글꼴", [&](int r) { sp->setFontSize(1, r, 14); }},
            {"빨간 글자", [&](int r) { sp->setForeColor(1, r, Qt::red); }},
            {"오른쪽", [&](int r) { sp->setTypeHAlign(1, r, HAlign::Right); }},
            {"가운데", [&](int r) { sp->setTypeHAlign(1, r, HAlign::Center); }},
            {"위쪽", [&](int r) { sp->setTypeVAlign(1, r, VAlign::Top); }},
            {"오른쪽 아래",
             [&](int r) {
                 sp->setTypeHAlign(1, r, HAlign::Right);
                 sp->setTypeVAlign(1, r, VAlign::Bottom);
             }},
            {"칸보다 훨씬 긴 글자는 줄임표로 끝납니다 - a text much longer than its cell", [](int) {}},
            {"", [](int) {}},
        };
        sp->setMaxCols(2);
        sp->setMaxRows(int(std::size(cells)) + 2);
        sp->setColWidth(1, 18);
        sp->setRowHeight(-1, 20);
        sp->setOddEvenRowColor(QColor(250, 250, 230), Qt::darkBlue, QColor(230, 240, 250), Qt::black);
        for (int r = 1; r <= int(std::size(cells)); ++r) {
            sp->setText(1, r, QString::fromUtf8(cells[r - 1].text));
            sp->setText(2, r, QString::number(r));
            cells[r - 1].format(r);
        }
        sp->setActiveCell(2, 2); // the current and selected cells take the style's path both ways
        sp->show();
        QVERIFY(QTest::qWaitForWindowExposed(sp.get()));
        auto *delegate = qobject_cast<SpreadDelegate *>(sp->itemDelegate());
        QVERIFY(delegate && delegate->plainCells);
        const QImage plain = sp->viewport()->grab().toImage();
        delegate->plainCells = false;
        const QImage styled = sp->viewport()->grab().toImage();
        QCOMPARE(plain.size(), styled.size());
        const int rowPx = sp->QTableView::rowHeight(0);
        for (int r = 0; r < int(std::size(cells)); ++r)
            QVERIFY2(plain.copy(0, r * rowPx, plain.width(), rowPx) == styled.copy(0, r * rowPx, plain.width(), rowPx),
                     cells[r].text);
    }

    void aMissingPictureFileShowsTheText() {
        sp->setMaxCols(1);
        sp->setMaxRows(1);
        sp->setCellType(1, -1, CellType::Picture);
        sp->setText(1, 1, QStringLiteral("없음.bmp"));
        sp->setCellPicture(1, 1, env->appFolder() + QStringLiteral("/missing.bmp"));
        const QModelIndex i = sp->model()->index(0, 0);
        QVERIFY(i.data(SheetModel::PictureRole).value<QImage>().isNull());
        QCOMPARE(i.data().toString(), QStringLiteral("없음.bmp"));
    }

    void activeCellTopRowAndGetSpreadText() {
        sp->setMaxCols(3);
        sp->setMaxRows(200);
        for (int r = 1; r <= 200; ++r)
            sp->setText(3, r, QString::number(r));
        QCOMPARE(sp->activeRow(), 0);
        QCOMPARE(GetSpreadText(sp.get(), -2, -2), QString());
        sp->show();
        QVERIFY(QTest::qWaitForWindowExposed(sp.get()));
        sp->setActiveCell(3, 120);
        QCOMPARE(sp->activeCol(), 3);
        QCOMPARE(sp->activeRow(), 120);
        QCOMPARE(GetSpreadText(sp.get(), -2, -2), QStringLiteral("120"));
        QCOMPARE(GetSpreadText(sp.get(), 3, -2), QStringLiteral("120"));
        QCOMPARE(GetSpreadText(sp.get(), -2, 5), QStringLiteral("5"));
        QCOMPARE(GetSpreadText(sp.get(), 9, 5), QString());
        sp->setTopRow(100);
        QCOMPARE(sp->topRow(), 100);
    }

    void keysReachTheWindowBeforeTheGrid() {
        sp->setMaxCols(2);
        sp->setMaxRows(5);
        sp->setActiveCell(1, 2);
        QList<QPair<int, int>> seen;
        connect(sp.get(), &Spread::keyDown, this, [&](int key, int shift, bool *consumed) {
            seen << qMakePair(key, shift);
            *consumed = key == 13;
        });
        QTest::keyClick(sp.get(), Qt::Key_E, Qt::ControlModifier);
        QTest::keyClick(sp.get(), Qt::Key_F5);
        QTest::keyClick(sp.get(), Qt::Key_Return);
        QTest::keyClick(sp.get(), Qt::Key_Down);
        QCOMPARE(seen, (QList<QPair<int, int>>{{17, 2}, {69, 2}, {116, 0}, {13, 0}, {40, 0}}));
        QCOMPARE(sp->activeRow(), 3); // Down moved on; the consumed Enter did not
        sp->setText(1, 5, QStringLiteral("sam"));
        QTest::keyClicks(sp.get(), QStringLiteral("sa"));
        QCOMPARE(sp->activeRow(), 3); // typing does not search
    }

    void rightButtonAndClicksGiveSheetCoordinates() {
        sp->setMaxCols(3);
        sp->setMaxRows(4);
        sp->show();
        QVERIFY(QTest::qWaitForWindowExposed(sp.get()));
        QSignalSpy right(sp.get(), &Spread::rightClicked);
        QSignalSpy clicked(sp.get(), &Spread::cellClicked);
        const QRect cell = sp->visualRect(sp->model()->index(2, 1));
        QContextMenuEvent menu(QContextMenuEvent::Mouse, cell.center(), sp->viewport()->mapToGlobal(cell.center()));
        QApplication::sendEvent(sp->viewport(), &menu);
        QCOMPARE(right.size(), 1);
        QCOMPARE(right[0][0].toInt(), 2);
        QCOMPARE(right[0][1].toInt(), 3);
        QTest::mouseClick(sp->viewport(), Qt::LeftButton, {}, cell.center());
        QCOMPARE(clicked.size(), 1);
        QCOMPARE(clicked[0][0].toInt(), 2);
        QCOMPARE(clicked[0][1].toInt(), 3);
    }

    void insertAndDeleteRowsKeepTheRowCount() {
        fillNumbers({"a", "b", "c"});
        QAbstractItemModelTester tester(sp->model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        sp->setRowHidden(3, true);
        sp->insertRows(1, 1);
        QCOMPARE(column(1), (QStringList{"", "a", "b"}));
        QVERIFY(!sp->QTableView::isRowHidden(2)); // "c" (hidden) fell off the end
        sp->deleteRows(1, 1);
        QCOMPARE(column(1), (QStringList{"a", "b", ""}));
        QCOMPARE(sp->maxRows(), 3);
    }

    void redrawOffCollectsChanges() {
        sp->setMaxCols(2);
        sp->setMaxRows(3);
        QSignalSpy changed(sp->model(), &QAbstractItemModel::dataChanged);
        sp->setRedraw(false);
        sp->setText(1, 1, u"x"_qs);
        sp->setText(2, 3, u"y"_qs);
        QCOMPARE(changed.size(), 0);
        QVERIFY(!sp->updatesEnabled());
        sp->setRedraw(true);
        QCOMPARE(changed.size(), 1);
        QVERIFY(sp->updatesEnabled());
        QCOMPARE(sp->text(2, 3), u"y"_qs);
    }

    void fontSizeAndBoldPerCellAndRange() {
        sp->setMaxCols(2);
        sp->setMaxRows(2);
        sp->setFontSize(-1, -1, 12);
        QCOMPARE(sp->fontSize(1, 1), 12.0);
        QCOMPARE(sp->font().pointSizeF(), 12.0);
        QVERIFY(sp->fontSize(1, 0) != 12.0); // header row apart
        sp->setFontSize(-1, 0, 12);
        QCOMPARE(sp->model()->headerData(0, Qt::Horizontal, Qt::FontRole).value<QFont>().pointSizeF(), 12.0);
        sp->setFontBold(2, 1, true);
        QVERIFY(sp->fontBold(2, 1) && !sp->fontBold(1, 1));
        QVERIFY(sp->model()->index(0, 1).data(Qt::FontRole).value<QFont>().bold());
        QVERIFY(!sp->model()->index(0, 0).data(Qt::FontRole).isValid()); // the grid's own font
    }

    void fontAttributesColoursAndBordersPerCell() {
        sp->setMaxCols(3);
        sp->setMaxRows(3);
        sp->setFontName(1, 1, QStringLiteral("DejaVu Serif"));
        sp->setFontItalic(1, 1, true);
        sp->setFontUnderline(1, 1, true);
        sp->setFontStrikeout(2, -1, true);
        const QFont f = sp->model()->index(0, 0).data(Qt::FontRole).value<QFont>();
        QCOMPARE(f.family(), QStringLiteral("DejaVu Serif"));
        QVERIFY(f.italic() && f.underline() && !f.strikeOut());
        QVERIFY(sp->model()->index(2, 1).data(Qt::FontRole).value<QFont>().strikeOut());
        QVERIFY(sp->fontStrikeout(2, 3) && !sp->fontStrikeout(1, 1) && sp->fontName(2, 1).isEmpty());
        // A cell's own text colour wins over the row colours; invalid gives them back.
        sp->setOddEvenRowColor(Qt::white, Qt::blue, Qt::white, Qt::blue);
        sp->setForeColor(3, 1, QColor(128, 128, 128));
        QCOMPARE(sp->model()->index(0, 2).data(Qt::ForegroundRole).value<QColor>(), QColor(128, 128, 128));
        QCOMPARE(sp->foreColor(3, 1), QColor(128, 128, 128));
        sp->setForeColor(3, 1, QColor());
        QCOMPARE(sp->model()->index(0, 2).data(Qt::ForegroundRole).value<QColor>(), QColor(Qt::blue));
        QVERIFY(!sp->foreColor(3, 1).isValid());

        // The border is painted round every cell of the column, by the delegate.
        sp->setShowGrid(false);
        sp->setBorderColor(2, -1, QColor(255, 0, 0));
        QCOMPARE(sp->borderColor(2, 2), QColor(255, 0, 0));
        sp->setActiveCell(3, 3);
        sp->show();
        QVERIFY(QTest::qWaitForWindowExposed(sp.get()));
        const QImage img = sp->viewport()->grab().toImage();
        const auto red = [&](QPoint p) { return img.pixelColor(p) == QColor(255, 0, 0); };
        const QRect cell = sp->visualRect(sp->model()->index(1, 1));
        QVERIFY(red(QPoint(cell.left(), cell.center().y())) && red(QPoint(cell.right(), cell.center().y())));
        QVERIFY(red(QPoint(cell.center().x(), cell.top())) && red(QPoint(cell.center().x(), cell.bottom())));
        const QRect plain = sp->visualRect(sp->model()->index(1, 0));
        QVERIFY(!red(QPoint(plain.left(), plain.center().y())));
    }

    void editModeIsSignalledAndEndEditKeepsTheText() {
        sp->setMaxCols(2);
        sp->setMaxRows(2);
        sp->show();
        QVERIFY(QTest::qWaitForWindowExposed(sp.get()));
        QSignalSpy mode(sp.get(), &Spread::editMode);
        sp->setActiveCell(2, 1);
        QTest::keyClick(sp.get(), Qt::Key_F2);
        QCOMPARE(mode.size(), 1);
        QCOMPARE(mode[0], (QVariantList{2, 1, true}));
        auto *editor = qobject_cast<QLineEdit *>(sp->indexWidget(sp->currentIndex()));
        QVERIFY(editor);
        QTest::keyClicks(editor, QStringLiteral("abc"));
        sp->endEdit();
        QCOMPARE(sp->text(2, 1), QStringLiteral("abc"));
        QCOMPARE(mode.size(), 2);
        QCOMPARE(mode[1], (QVariantList{2, 1, false}));
        sp->endEdit(); // nothing open: nothing signalled
        QCOMPARE(mode.size(), 2);
    }

    void selectedBlockAndSingleRowSelection() {
        sp->setMaxCols(4);
        sp->setMaxRows(6);
        sp->setSelBlock(2, 3, 3, 5);
        QCOMPARE(sp->selBlockCol(), 2);
        QCOMPARE(sp->selBlockRow(), 3);
        QCOMPARE(sp->selBlockCol2(), 3);
        QCOMPARE(sp->selBlockRow2(), 5);
        sp->setSingleRowSelect(true);
        QVERIFY(sp->singleRowSelect());
        sp->setActiveCell(2, 4);
        QCOMPARE(sp->selBlockRow(), 4);
        QCOMPARE(sp->selBlockRow2(), 4);
        QCOMPARE(sp->selBlockCol(), 1);
        QCOMPARE(sp->selBlockCol2(), 4);
    }

    void pictureFitsTheCellKeepingItsProportions() {
        const QRect cell(0, 0, 100, 50);
        const int all = PictStretch | PictCenter | PictMaintainScale;
        QCOMPARE(SpreadDelegate::pictureRect(cell, QSize(40, 40), all), QRect(25, 0, 50, 50));
        QCOMPARE(SpreadDelegate::pictureRect(cell, QSize(400, 100), all), QRect(0, 12, 100, 25));
        QCOMPARE(SpreadDelegate::pictureRect(cell, QSize(40, 40), PictStretch), QRect(0, 0, 100, 50));
        QCOMPARE(SpreadDelegate::pictureRect(cell, QSize(20, 10), PictCenter), QRect(40, 20, 20, 10));
    }

    void cutOffTextShowsATip() {
        sp->setMaxCols(2);
        sp->setMaxRows(1);
        sp->setColWidth(1, 3);
        sp->setColWidth(2, 40);
        const QString longText = QStringLiteral("아주 긴 모델 이름 SCH-X123456789");
        sp->setText(1, 1, longText);
        sp->setText(2, 1, QStringLiteral("짧음"));
        sp->show();
        QVERIFY(QTest::qWaitForWindowExposed(sp.get()));
        const auto tipAt = [&](int col) {
            const QPoint p = sp->visualRect(sp->model()->index(0, col - 1)).center();
            QHelpEvent e(QEvent::ToolTip, p, sp->viewport()->mapToGlobal(p));
            QApplication::sendEvent(sp->viewport(), &e);
            return QToolTip::isVisible() ? QToolTip::text() : QString();
        };
        QCOMPARE(tipAt(1), QString()); // tips are off by default
        sp->setTextTip(true);
        QCOMPARE(tipAt(2), QString()); // the text fits
        QCOMPARE(tipAt(1), longText);
    }

    // On screen too: no line between the rows of a merged cell, its text once.
    void mergedCellsArePaintedAsOne() {
        sp->setMaxCols(2);
        sp->setMaxRows(6);
        sp->setRowHeight(-1, 20);
        for (int r = 1; r <= 6; ++r) {
            sp->setText(1, r, r <= 4 ? QStringLiteral("같음") : QStringLiteral("다름"));
            sp->setText(2, r, QString());
        }
        const auto lineBetween = [&](int col, int row) { // any grid-line pixel between row and row + 1
            const QImage img = sp->viewport()->grab().toImage();
            const QRect cell = sp->visualRect(sp->model()->index(row - 1, col - 1));
            for (int x = cell.left() + 3; x < cell.right() - 3; ++x)
                if (qGray(img.pixel(x, cell.bottom())) < 235)
                    return true;
            return false;
        };
        sp->setActiveCell(2, 6); // keep the focus frame away
        sp->show();
        QVERIFY(QTest::qWaitForWindowExposed(sp.get()));
        QVERIFY(sp->showGrid());
        sp->setColMerge(1, SheetStore::Merge::Always);
        QVERIFY(!sp->showGrid());
        QVERIFY(!lineBetween(1, 2));
        QVERIFY(!lineBetween(1, 3));
        QVERIFY(lineBetween(1, 4)); // the span ends
        QVERIFY(lineBetween(2, 1));
        sp->setColMerge(1, SheetStore::Merge::None);
        QVERIFY(sp->showGrid());
    }

    void cornerCellShowsItsText() {
        sp->setMaxCols(1);
        sp->setMaxRows(3);
        sp->setText(0, 0, QStringLiteral("No"));
        sp->show();
        QVERIFY(QTest::qWaitForWindowExposed(sp.get()));
        auto *corner = sp->findChild<QAbstractButton *>();
        QVERIFY(corner);
        const QImage before = corner->grab().toImage();
        sp->setText(0, 0, QString());
        QApplication::processEvents();
        QVERIFY(corner->grab().toImage() != before); // the text was drawn
    }
};

QTEST_MAIN(TestSpread)
#include "tst_spread.moc"
