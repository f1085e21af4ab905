// The find window's walk over a sheet: order, wrap-around, hidden columns, column range.
#include "SheetSearch.h"
#include <QTest>

using SheetSearch::Cell;
using SheetSearch::findNext;

namespace {
constexpr int kPartial = SheetStore::SearchPartial;
constexpr int kWhole = SheetStore::SearchWhole;

// 5 columns x 4 rows, "x" at the given cells, "other" elsewhere.
SheetStore sheetWith(std::initializer_list<Cell> hits) {
    SheetStore s;
    s.setMaxCols(5);
    s.setMaxRows(4);
    for (int c = 1; c <= 5; ++c)
        for (int r = 1; r <= 4; ++r)
            s.setText(c, r, QStringLiteral("other"));
    for (const Cell &h : hits)
        s.setText(h.col, h.row, QStringLiteral("x"));
    return s;
}

std::optional<Cell> next(const SheetStore &s, Cell from, SheetSearch::Direction d, int startCol = 0, int endCol = -1,
                         int flags = kWhole) {
    return findNext(s, from.col, from.row, startCol, endCol, QStringLiteral("x"), flags, d);
}
} // namespace

class TestSearch : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void rowByRowWalksRightThenDownThenWraps() {
        const SheetStore s = sheetWith({{4, 1}, {2, 2}, {5, 3}});
        QCOMPARE(next(s, {1, 1}, SheetSearch::ByRow), Cell({4, 1}));
        QCOMPARE(next(s, {4, 1}, SheetSearch::ByRow), Cell({2, 2}));
        QCOMPARE(next(s, {2, 2}, SheetSearch::ByRow), Cell({5, 3}));
        QCOMPARE(next(s, {5, 3}, SheetSearch::ByRow), Cell({4, 1})); // from the top again
        QCOMPARE(next(s, {1, 4}, SheetSearch::ByRow), Cell({4, 1}));
    }

    void columnByColumnWalksDownThenRightThenWraps() {
        const SheetStore s = sheetWith({{4, 1}, {2, 2}, {2, 4}, {5, 3}});
        QCOMPARE(next(s, {1, 1}, SheetSearch::ByColumn), Cell({2, 2}));
        QCOMPARE(next(s, {2, 2}, SheetSearch::ByColumn), Cell({2, 4}));
        QCOMPARE(next(s, {2, 4}, SheetSearch::ByColumn), Cell({4, 1}));
        QCOMPARE(next(s, {4, 1}, SheetSearch::ByColumn), Cell({5, 3}));
        QCOMPARE(next(s, {5, 3}, SheetSearch::ByColumn), Cell({2, 2})); // from the first column again
    }

    void aSingleMatchComesRoundToItself() {
        const SheetStore s = sheetWith({{3, 2}});
        for (auto d : {SheetSearch::ByRow, SheetSearch::ByColumn}) {
            QCOMPARE(next(s, {1, 1}, d), Cell({3, 2}));
            QCOMPARE(next(s, {3, 2}, d), Cell({3, 2}));
        }
        QCOMPARE(next(sheetWith({}), {1, 1}, SheetSearch::ByRow), std::nullopt);
        QCOMPARE(next(sheetWith({}), {1, 1}, SheetSearch::ByColumn), std::nullopt);
    }

    void hiddenColumnsAreNeverTheResult() {
        SheetStore s = sheetWith({{2, 2}, {4, 2}, {2, 3}});
        s.setColHidden(2, true);
        // Row by row: the hidden match of a later row is passed over to its right.
        QCOMPARE(next(s, {1, 1}, SheetSearch::ByRow), Cell({4, 2}));
        // The rest of the active row skips it as well.
        QCOMPARE(next(s, {1, 2}, SheetSearch::ByRow), Cell({4, 2}));
        QCOMPARE(next(s, {4, 2}, SheetSearch::ByRow), Cell({4, 2}));
        // Column by column: the hidden column is not searched at all.
        QCOMPARE(next(s, {1, 1}, SheetSearch::ByColumn), Cell({4, 2}));
    }

    void onlyColumnsOfTheRangeAreSearched() {
        const SheetStore s = sheetWith({{1, 1}, {3, 2}, {5, 3}});
        // Columns 2..4: start column 1, end column 4.
        QCOMPARE(next(s, {1, 1}, SheetSearch::ByRow, 1, 4), Cell({3, 2}));
        QCOMPARE(next(s, {3, 2}, SheetSearch::ByRow, 1, 4), Cell({3, 2}));
        QCOMPARE(next(s, {1, 1}, SheetSearch::ByColumn, 1, 4), Cell({3, 2}));
        QCOMPARE(next(s, {3, 2}, SheetSearch::ByColumn, 1, 4), Cell({3, 2}));
    }

    void partialMatchMeansContainsInBothDirections() {
        SheetStore s = sheetWith({});
        s.setText(3, 3, QStringLiteral("삼성 SCH-X100"));
        for (auto d : {SheetSearch::ByRow, SheetSearch::ByColumn}) {
            QCOMPARE(findNext(s, 1, 1, 0, -1, QStringLiteral("sch"), kPartial, d), Cell({3, 3}));
            QCOMPARE(findNext(s, 1, 1, 0, -1, QStringLiteral("sch"), kWhole, d), std::nullopt);
            QCOMPARE(findNext(s, 1, 1, 0, -1, QStringLiteral("삼성 sch-x100"), kWhole, d), Cell({3, 3}));
        }
    }

    void noActiveCellStartsAtTheTop() {
        const SheetStore s = sheetWith({{2, 1}});
        QCOMPARE(next(s, {0, 0}, SheetSearch::ByRow), Cell({2, 1}));
        QCOMPARE(next(s, {0, 0}, SheetSearch::ByColumn), Cell({2, 1}));
    }
};

QTEST_GUILESS_MAIN(TestSearch)
#include "tst_search.moc"
