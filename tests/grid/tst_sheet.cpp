// The sheet without a widget: storage, structure changes, sorting, searching, the model.
#include "SheetModel.h"
#include "SheetSearch.h"
#include "SheetStore.h"
#include "TextColumn.h"
#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QTest>
#include <numeric>
#include <optional>

namespace {
// A sheet of cols x rows whose cell text is "c<col>r<row>".
void fill(SheetStore &s, int cols, int rows) {
    s.setMaxCols(cols);
    s.setMaxRows(rows);
    for (int c = 1; c <= cols; ++c)
        for (int r = 1; r <= rows; ++r)
            s.setText(c, r, QStringLiteral("c%1r%2").arg(c).arg(r));
}

QStringList column(const SheetStore &s, int col) {
    QStringList out;
    for (int r = 1; r <= s.maxRows(); ++r)
        out << s.text(col, r);
    return out;
}
} // namespace

class TestSheet : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void textColumnKeepsEveryCellThroughOverwritesAndCompaction() {
        TextColumn col;
        col.resize(3000);
        // Growing texts force new pool space; shrinking ones reuse it; garbage triggers compaction.
        for (int round = 0; round < 5; ++round)
            for (int i = 0; i < col.size(); ++i)
                col.set(i, QString(round % 2 ? 2 : 6, QChar(u'가' + i % 50)) + QString::number(i));
        for (int i = 0; i < col.size(); ++i)
            QCOMPARE(col.text(i), QString(6, QChar(u'가' + i % 50)) + QString::number(i));
        QVERIFY(col.poolSize() < 3000 * 12 * 2); // compacted, not every old text kept
        col.set(5, u"");
        QVERIFY(col.isEmpty(5));
        QCOMPARE(col.lastNonEmpty(), 2999);
        col.insert(1, 2);
        QCOMPARE(col.size(), 3002);
        QVERIFY(col.isEmpty(1) && col.isEmpty(2));
        QCOMPARE(col.text(0), QString(6, QChar(u'가')) + u'0');
        col.erase(0, 3);
        QCOMPARE(col.text(0), QString(6, QChar(u'가' + 1)) + u'1');
        // Shrinking texts in place and dropping rows give the memory back.
        for (int i = 0; i < col.size(); ++i)
            col.set(i, u"x");
        QVERIFY(col.poolSize() < 3000 * 2);
        QCOMPARE(col.text(10), QStringLiteral("x"));
        col.resize(0);
        QCOMPARE(col.poolSize(), size_t(0));
    }

    void rowAndHeaderAddressing() {
        SheetStore s;
        fill(s, 3, 4);
        s.setText(2, 0, QStringLiteral("헤더"));
        s.setText(0, 3, QStringLiteral("소계"));
        s.setText(0, 0, QStringLiteral("No"));
        QCOMPARE(s.headerText(2, 1), QStringLiteral("헤더"));
        QCOMPARE(s.text(0, 3), QStringLiteral("소계"));
        QCOMPARE(s.text(0, 0), QStringLiteral("No"));
        QVERIFY(!s.setText(4, 1, u"x"));
        QVERIFY(!s.setText(1, 5, u"x"));
        QCOMPARE(s.text(-1, 1), QString());
        s.setColHeaderRows(2);
        s.setHeaderText(1, 2, QStringLiteral("둘째"));
        QCOMPARE(s.headerText(1, 2), QStringLiteral("둘째"));
        QCOMPARE(s.headerText(2, 1), QStringLiteral("헤더"));
    }

    void dataRowCntIsTheLastRowWithTextOrPicture() {
        SheetStore s;
        s.setMaxCols(3);
        s.setMaxRows(10);
        QCOMPARE(s.dataRowCnt(), 0);
        s.setText(2, 4, u"a");
        QCOMPARE(s.dataRowCnt(), 4);
        s.setPicturePath(3, 7, u"/x.bmp");
        QCOMPARE(s.dataRowCnt(), 7);
        s.setText(0, 9, u"row header only"); // the row-header column holds no data
        QCOMPARE(s.dataRowCnt(), 7);
        s.setPicturePath(3, 7, u"");
        s.setText(2, 4, u"");
        QCOMPARE(s.dataRowCnt(), 0);
    }

    void insertAndDeleteKeepMaxRowsAndMoveEverythingOfARow() {
        SheetStore s;
        fill(s, 2, 5);
        s.setCellTag(0, 3, QStringLiteral("subtot"));
        s.setRowHidden(3, true);
        s.setRowHeight(3, 30);
        s.setFormat(1, 3, &CellFormat::bold, true);
        s.setPicturePath(2, 3, u"/p3.bmp");

        s.insertRows(2, 2);
        QCOMPARE(s.maxRows(), 5);
        QCOMPARE(column(s, 1), (QStringList{"c1r1", "", "", "c1r2", "c1r3"}));
        QCOMPARE(s.cellTag(0, 5), QStringLiteral("subtot"));
        QVERIFY(s.rowHidden(5) && !s.rowHidden(3));
        QCOMPARE(s.rowHeight(5), 30.0);
        QVERIFY(s.format(1, 5).bold && !s.format(1, 3).bold);
        QCOMPARE(s.picturePath(2, 5), QStringLiteral("/p3.bmp"));

        s.deleteRows(1, 4);
        QCOMPARE(s.maxRows(), 5);
        QCOMPARE(column(s, 1), (QStringList{"c1r3", "", "", "", ""}));
        QCOMPARE(s.cellTag(0, 1), QStringLiteral("subtot"));
        QVERIFY(s.rowHidden(1));
        QVERIFY(s.format(1, 1).bold);
        QCOMPARE(s.picturePath(2, 1), QStringLiteral("/p3.bmp"));
        QCOMPARE(s.dataRowCnt(), 1);

        // Rows pushed off the end take their tags with them.
        s.setCellTag(0, 5, QStringLiteral("last"));
        s.insertRows(1, 1);
        for (int r = 1; r <= 5; ++r)
            QVERIFY(s.cellTag(0, r) != QStringLiteral("last"));
        s.deleteRows(0, 1); // no such row: nothing happens
        s.deleteRows(9, 1);
        QCOMPARE(s.text(1, 2), QStringLiteral("c1r3"));
    }

    void broadFormatOverridesNarrowerOnes() {
        SheetStore s;
        fill(s, 3, 3);
        s.setFormat(2, 2, &CellFormat::fontSize, 20.0);
        s.setFormat(2, -1, &CellFormat::fontSize, 14.0);
        QCOMPARE(s.format(2, 2).fontSize, 14.0); // the column setting reaches every cell
        s.setFormat(2, 2, &CellFormat::fontSize, 20.0);
        s.setFormat(-1, -1, &CellFormat::fontSize, 11.0);
        QCOMPARE(s.format(2, 2).fontSize, 11.0);
        QCOMPARE(s.format(3, 1).fontSize, 11.0);
        QCOMPARE(s.format(2, 0).fontSize, 9.0); // the header row is apart
        s.setFormat(-1, 0, &CellFormat::fontSize, 12.0);
        QCOMPARE(s.format(3, 0).fontSize, 12.0);
        s.setFormat(-1, 2, &CellFormat::bold, true);
        QVERIFY(s.format(1, 2).bold && s.format(3, 2).bold && !s.format(1, 1).bold);
        QVERIFY(s.hasOwnFont(1, 2) && !s.hasOwnFont(1, 1));
        s.setFormat(-1, -1, &CellFormat::locked, true);
        QVERIFY(s.format(3, 3).locked);
        s.setFormat(3, 3, &CellFormat::locked, false);
        QVERIFY(!s.format(3, 3).locked && s.format(2, 3).locked);
    }

    void fontAttributesAndColoursResolveLikeOtherFormats() {
        SheetStore s;
        fill(s, 3, 3);
        QVERIFY(!s.format(1, 1).foreColor && !s.format(1, 1).borderColor); // the style's own
        s.setFormat(2, -1, &CellFormat::borderColor, qRgb(192, 192, 192));
        s.setFormat(1, 2, &CellFormat::fontName, QStringLiteral("굴림체"));
        s.setFormat(1, 2, &CellFormat::italic, true);
        s.setFormat(1, 2, &CellFormat::foreColor, qRgb(128, 128, 128));
        QCOMPARE(*s.format(2, 3).borderColor, qRgb(192, 192, 192));
        QVERIFY(!s.format(1, 3).borderColor);
        QCOMPARE(s.format(1, 2).fontName, QStringLiteral("굴림체"));
        QVERIFY(s.format(1, 2).italic && !s.format(1, 2).underline && !s.format(1, 3).italic);
        QVERIFY(s.hasOwnFont(1, 2) && !s.hasOwnFont(2, 2)); // a border is no font
        s.setFormat(1, 1, &CellFormat::strikeout, true);
        QVERIFY(s.hasOwnFont(1, 1));
        // An empty value hands the cell back to its column.
        s.setFormat(1, 2, &CellFormat::foreColor, std::nullopt);
        QVERIFY(!s.format(1, 2).foreColor);
        s.setFormat(2, 3, &CellFormat::borderColor, std::nullopt);
        QCOMPARE(*s.format(2, 3).borderColor, qRgb(192, 192, 192));
        s.setFormat(2, -1, &CellFormat::borderColor, std::nullopt);
        QVERIFY(!s.format(2, 3).borderColor);
    }

    void sortOrdersNumbersByValueTextsWithoutCaseEmptiesLast() {
        SheetStore s;
        s.setMaxCols(2);
        s.setMaxRows(8);
        const QStringList values{"10", "9", "", "b", "A", "100", "a", ""};
        for (int r = 1; r <= values.size(); ++r) {
            s.setText(1, r, values[r - 1]);
            s.setText(2, r, QString::number(r));
        }
        s.setText(2, 8, QStringLiteral("8")); // row 8 has data in column 2 only
        s.setCellTag(0, 1, QStringLiteral("subtot"));
        s.setRowHidden(2, true);

        s.permuteRows(s.sortOrder(1, true));
        // Numbers by value; "a" and "A" equal without case keep their old order (A was row 5).
        QCOMPARE(column(s, 1), (QStringList{"9", "10", "100", "A", "a", "b", "", ""}));
        QCOMPARE(column(s, 2), (QStringList{"2", "1", "6", "5", "7", "4", "3", "8"}));
        QCOMPARE(s.cellTag(0, 2), QStringLiteral("subtot")); // row 1 moved to row 2
        QVERIFY(s.rowHidden(1) && !s.rowHidden(2));

        s.permuteRows(s.sortOrder(1, false));
        QCOMPARE(column(s, 1), (QStringList{"b", "A", "a", "100", "10", "9", "", ""}));

        // Numbers among texts: all numbers first, one consistent order.
        const QStringList mixed{"9", "5a", "100", "abc", "10", "1b", "", "2"};
        for (int r = 1; r <= mixed.size(); ++r)
            s.setText(1, r, mixed[r - 1]);
        s.permuteRows(s.sortOrder(1, true));
        QCOMPARE(column(s, 1), (QStringList{"2", "9", "10", "100", "1b", "5a", "abc", ""}));
    }

    // The order the sort gave when it folded case in every comparison, on a column whose
    // cells are partly a result's UTF-8 and numbers, partly the grid's own texts.
    void sortGivesTheOrderOfTheFoldingComparison() {
        const QStringList pieces{"모델", "갤럭시", "Galaxy", "GALAXY", "galaxy", "ß",  "SS",  "Ǆ",    "ǆ",
                                 "ΣΑΣ",  "σας",    "10",     "9",      " 12 ",   "-3", "1e3", "0x10", "A",
                                 "a",    "",       "",       "𐐀",      "𐐨",      "z",  "Z",   "가"};
        const int n = 600;
        std::vector<QString> texts(static_cast<size_t>(n));
        for (int i = 0; i < n; ++i) // reproducible mixtures of one or two pieces
            texts[size_t(i)] = pieces[(i * 7) % pieces.size()] + (i % 3 ? pieces[(i * 13) % pieces.size()] : QString());
        SheetStore s;
        s.setMaxCols(1);
        s.setMaxRows(n + 2);
        auto pool = std::make_shared<BytePool>();
        PodBuffer<CellRef> cells;
        for (int i = 0; i < n; ++i) {
            const QByteArray utf8 = texts[size_t(i)].toUtf8();
            cells.push_back(CellText::append(*pool, CellRef::Pooled, utf8.constData(), size_t(utf8.size())));
        }
        cells.push_back(CellRef::number(42));
        cells.push_back(CellRef::number(7));
        texts.push_back("42");
        texts.push_back("7");
        s.adoptTexts(1, pool, std::move(cells));
        for (int i = 0; i < n; i += 5) // every fifth cell the grid's own
            s.setText(1, i + 1, texts[size_t(i)]);

        const auto numberOf = [](const QString &t) {
            bool ok = false;
            const double v = t.trimmed().toDouble(&ok);
            return ok ? std::optional<double>(v) : std::nullopt;
        };
        for (const bool ascending : {true, false}) {
            std::vector<int> expected(texts.size());
            std::iota(expected.begin(), expected.end(), 0);
            std::stable_sort(expected.begin(), expected.end(), [&](int a, int b) {
                const QString &ta = texts[size_t(a)], &tb = texts[size_t(b)];
                if (ta.isEmpty() || tb.isEmpty())
                    return !ta.isEmpty() && tb.isEmpty();
                const auto na = numberOf(ta), nb = numberOf(tb);
                int cmp = 0;
                if (na && nb)
                    cmp = *na < *nb ? -1 : (*nb < *na ? 1 : 0);
                else if (na || nb)
                    cmp = na ? -1 : 1;
                else
                    cmp = ta.compare(tb, Qt::CaseInsensitive);
                return ascending ? cmp < 0 : cmp > 0;
            });
            std::vector<int> got = s.sortOrder(1, ascending);
            for (int &row : got)
                --row;
            QCOMPARE(got, expected);
        }
    }

    void searchesLookStrictlyAfterTheStartAndIgnoreCase() {
        SheetStore s;
        s.setMaxCols(4);
        s.setMaxRows(4);
        s.setText(1, 2, QStringLiteral("Galaxy S"));
        s.setText(3, 2, QStringLiteral("galaxy"));
        s.setText(4, 2, QStringLiteral("GALAXY"));
        s.setText(3, 4, QStringLiteral("my galaxy note"));
        QCOMPARE(s.searchRow(2, 0, -1, QStringLiteral("galaxy"), SheetStore::SearchWhole), 3);
        QCOMPARE(s.searchRow(2, 3, -1, QStringLiteral("galaxy"), SheetStore::SearchWhole), 4);
        QCOMPARE(s.searchRow(2, 3, 3, QStringLiteral("galaxy"), SheetStore::SearchWhole), -1);
        QCOMPARE(s.searchRow(2, 0, -1, QStringLiteral("alax"), SheetStore::SearchPartial), 1);
        QCOMPARE(s.searchRow(2, 0, -1, QStringLiteral("alax"), SheetStore::SearchWhole), -1);
        QCOMPARE(s.searchCol(3, 0, -1, QStringLiteral("GALAXY"), SheetStore::SearchPartial), 2);
        QCOMPARE(s.searchCol(3, 2, -1, QStringLiteral("GALAXY"), SheetStore::SearchPartial), 4);
        QCOMPARE(s.searchCol(3, 2, 3, QStringLiteral("GALAXY"), SheetStore::SearchPartial), -1);
        QCOMPARE(s.searchCol(3, 0, -1, QString(), SheetStore::SearchPartial), -1); // nothing finds nothing
        QCOMPARE(s.searchRow(0, 0, -1, QStringLiteral("galaxy"), 0), -1);
        QCOMPARE(s.searchCol(5, 0, -1, QStringLiteral("galaxy"), 0), -1);
    }

    void insertedAndDeletedColumnsCarryEverythingOfAColumn() {
        SheetStore s;
        fill(s, 3, 4);
        s.setColWidth(2, 17);
        s.setHeaderText(2, 1, QStringLiteral("둘"));
        s.setCellTag(3, 2, QStringLiteral("tag"));
        s.setFormat(3, 4, &CellFormat::bold, true);
        s.setColId(3, QStringLiteral("three"));
        s.insertCols(2, 2);
        QCOMPARE(s.maxCols(), 5);
        QCOMPARE(s.text(4, 1), QStringLiteral("c2r1"));
        QVERIFY(s.text(2, 1).isEmpty() && s.text(3, 4).isEmpty());
        QCOMPARE(s.colWidth(4), 17.0);
        QCOMPARE(s.headerText(4, 1), QStringLiteral("둘"));
        QCOMPARE(s.cellTag(5, 2), QStringLiteral("tag"));
        QVERIFY(s.format(5, 4).bold && !s.format(3, 4).bold);
        QCOMPARE(s.colId(5), QStringLiteral("three"));
        s.deleteCols(2, 2);
        QCOMPARE(s.maxCols(), 3);
        QCOMPARE(column(s, 2), (QStringList{"c2r1", "c2r2", "c2r3", "c2r4"}));
        QCOMPARE(s.cellTag(3, 2), QStringLiteral("tag"));
        QVERIFY(s.format(3, 4).bold);
        s.deleteCols(3, 9); // past the end: only what is there goes
        QCOMPARE(s.maxCols(), 2);
        QCOMPARE(s.cellTag(3, 2), QString());
        QCOMPARE(s.dataColCnt(), 2);
        s.setMaxCols(6);
        QCOMPARE(s.dataColCnt(), 2);
    }

    void mergingJoinsEqualTextsRestrictedByTheColumnToTheLeft() {
        SheetStore s;
        s.setMaxCols(3);
        s.setMaxRows(5);
        const QStringList left{"A", "A", "A", "B", "B"}, right{"x", "x", "y", "y", "y"};
        for (int r = 1; r <= 5; ++r) {
            s.setText(1, r, left[r - 1]);
            s.setText(2, r, right[r - 1]);
            s.setText(3, r, QStringLiteral("z"));
        }
        QVERIFY(!s.mergesWithAbove(1, 2)); // no merging by default
        s.setColMerge(1, SheetStore::Merge::Always);
        s.setColMerge(2, SheetStore::Merge::Restricted);
        s.setColMerge(3, SheetStore::Merge::Restricted);
        QVERIFY(!s.mergesWithAbove(1, 1));
        QVERIFY(s.mergesWithAbove(1, 2) && s.mergesWithAbove(1, 3) && !s.mergesWithAbove(1, 4));
        QVERIFY(s.mergesWithAbove(2, 2));
        QVERIFY(!s.mergesWithAbove(2, 4)); // equal "y" but column 1 starts a new span at row 4
        QVERIFY(s.mergesWithAbove(2, 5));
        QVERIFY(!s.mergesWithAbove(3, 3) && !s.mergesWithAbove(3, 4) && s.mergesWithAbove(3, 5));
        s.setText(1, 3, QString());
        QVERIFY(!s.mergesWithAbove(1, 3)); // empty cells never merge
        s.setColMerge(1, SheetStore::Merge::None);
        QVERIFY(!s.mergesWithAbove(2, 2)); // restricted by a column that does not merge
    }

    void modelPassesTheTesterThroughEveryStructuralChange() {
        SheetModel model;
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        model.setMaxCols(3);
        model.setMaxRows(6);
        for (int r = 1; r <= 6; ++r)
            model.store().setText(1, r, QString::number(7 - r));
        model.everythingChanged();
        model.insertSheetRows(2, 2);
        model.deleteSheetRows(1, 3);
        model.sort(0, Qt::AscendingOrder);
        model.sort(0, Qt::DescendingOrder);
        QVERIFY(model.setData(model.index(0, 1), QStringLiteral("x")));
        model.setColHeaderRows(2);
        model.insertSheetCols(1, 2);
        model.deleteSheetCols(2, 1);
        model.setMaxCols(1);
        model.setMaxRows(0);
        model.setMaxRows(2);
        QCOMPARE(model.rowCount(), 2);
    }

    void modelReportsRowsInsertedAndRemovedWhereTheyHappen() {
        SheetModel model;
        model.setMaxCols(1);
        model.setMaxRows(5);
        QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
        QSignalSpy removed(&model, &QAbstractItemModel::rowsRemoved);
        model.insertSheetRows(2, 2);
        QCOMPARE(inserted.size(), 1);
        QCOMPARE(inserted[0][1].toInt(), 1); // model rows 1..2 = sheet rows 2..3
        QCOMPARE(inserted[0][2].toInt(), 2);
        QCOMPARE(removed[0][1].toInt(), 5); // and the two last fall off
        QCOMPARE(model.rowCount(), 5);
    }

    void lockedCellsRefuseInputOnlyWhileProtected() {
        SheetModel model;
        model.setMaxCols(2);
        model.setMaxRows(2);
        QVERIFY(model.flags(model.index(0, 0)) & Qt::ItemIsEditable);
        model.store().setFormat(-1, -1, &CellFormat::locked, true);
        QVERIFY(!(model.flags(model.index(0, 0)) & Qt::ItemIsEditable));
        QVERIFY(!model.setData(model.index(0, 0), QStringLiteral("x")));
        model.setProtect(false);
        QVERIFY(model.flags(model.index(0, 0)) & Qt::ItemIsEditable);
        model.store().setFormat(2, -1, &CellFormat::type, CellType::StaticText);
        QVERIFY(!(model.flags(model.index(0, 1)) & Qt::ItemIsEditable));
    }

    void notificationsWaitWhileSwitchedOff() {
        SheetModel model;
        model.setMaxCols(2);
        model.setMaxRows(3);
        QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
        model.setNotify(false);
        for (int r = 1; r <= 3; ++r)
            model.cellsChanged(1, r, 1, r);
        QCOMPARE(changed.size(), 0);
        model.setNotify(true);
        QCOMPARE(changed.size(), 1);
        QCOMPARE(changed[0][1].value<QModelIndex>(), model.index(2, 1));
    }
};

QTEST_GUILESS_MAIN(TestSheet)
#include "tst_sheet.moc"
