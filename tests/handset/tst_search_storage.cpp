#include "EnvFixture.h"
// The list shows the search result's texts where the result keeps them: what that storage
// must get right for the texts every other part of the grid reads.
#include "HandsetFixture.h"
#include "PageRecycler.h"
#include "Recordset.h"
#include "SheetSearch.h"
#include "Spread.h"
#include "TextColumn.h"
#include "fbMobil_Admin.h"
#include <QLineEdit>
#include <QTest>
#include <cstring>
#include <sys/mman.h>

namespace {
const QString kLong = QString(10000, QChar(u'가'));

bool addModel(const QString &mcode, const QString &mid, const QString &model, const QString &nick) {
    return modMDB_Func::ExecuteSQL(QStringLiteral("INSERT INTO t_mobile (mcode, mid, makeyear, makecom, opentype, ant, "
                                                  "model, sar, nick, imgpath) VALUES ('%1', '%2', '2024', '테스트', "
                                                  "'바', '내장형', '%3', '0.5', '%4', '')")
                                       .arg(mcode, mid, model, nick)) == 1;
}
int rowOf(const Spread &g, const QString &mcode) {
    for (int r = 1; r <= g.maxRows(); ++r)
        if (g.text(1, r) == mcode)
            return r;
    return -1;
}
} // namespace

class TestSearchStorage : public EnvFixture {
    Q_OBJECT
    void setUp() override {
        QVERIFY(openDemoDatabase(*env));
        QVERIFY(addModel("900001", "KR-1", "갤럭시 한글 모델", ""));
        QVERIFY(addModel("900002", "LONG-1", kLong, "긴 이름"));
        list = std::make_unique<fbMobil_Admin>();
        list->show();
        list->QueryList();
        QCOMPARE(list->spList->maxRows(), 42);
    }
    void tearDown() override { list.reset(); }
    std::unique_ptr<fbMobil_Admin> list;

private Q_SLOTS:

    void koreanEmptyAndLongTextsReachEveryReader() {
        Spread &g = *list->spList;
        const int korean = rowOf(g, "900001"), longRow = rowOf(g, "900002");
        QVERIFY(korean > 0 && longRow > 0);
        QCOMPARE(g.text(7, korean), QString("갤럭시 한글 모델"));
        QCOMPARE(g.text(9, korean), QString()); // empty nick
        QCOMPARE(g.text(7, longRow), kLong);
        QCOMPARE(GetSpreadText(&g, 7, longRow), kLong);
        QCOMPARE(g.model()->data(g.model()->index(longRow - 1, 6)).toString(), kLong);
        QCOMPARE(g.searchCol(7, 0, -1, "갤럭시 한글", Spread::SearchPartial), korean);
        QCOMPARE(g.searchCol(7, 0, -1, kLong, Spread::SearchWhole), longRow);
        g.sortRows(7, false);
        // The row's shared and own texts move together, in the order the texts give.
        const int sorted = rowOf(g, "900002");
        QCOMPARE(g.text(7, sorted), kLong);
        QCOMPARE(g.text(9, sorted), QString("긴 이름"));
        for (int r = 1; r < g.maxRows(); ++r)
            QVERIFY2(g.text(7, r).compare(g.text(7, r + 1), Qt::CaseInsensitive) >= 0, qPrintable(QString::number(r)));
    }

    void editingACellOfTheResultTouchesOnlyThatCell() {
        Spread &g = *list->spList;
        const int row = rowOf(g, "900001");
        const QString below = g.text(7, row + 1), same = g.text(8, row);
        g.setText(7, row, "고친 이름 — 훨씬 더 긴 이름으로 바꿈");
        QCOMPARE(g.text(7, row), QString("고친 이름 — 훨씬 더 긴 이름으로 바꿈"));
        g.setText(8, row + 1, "");
        QCOMPARE(g.text(8, row + 1), QString());
        QCOMPARE(g.text(7, row + 1), below);
        QCOMPARE(g.text(8, row), same);
        g.setText(7, row, "짧게");
        QCOMPARE(g.text(7, row), QString("짧게"));
    }

    // Large buffers live in pages of their own, small ones in the heap: values survive every
    // move between the two.
    void storageKeepsItsValuesAcrossGrowthAndShrinking() {
        struct TextSpan {
            uint32_t offset, length;
        };
        PodBuffer<TextSpan> b;
        for (uint32_t i = 0; i < 300000; ++i) // 2.4 MB, past the page threshold
            b.push_back({i, i + 1});
        b.insert(10, 3);
        QCOMPARE(b.size(), size_t(300003));
        QCOMPARE(b[10].length, 0u);
        QCOMPARE(b[13].offset, 10u);
        b.erase(0, 299000);
        QCOMPARE(b.size(), size_t(1003));
        QCOMPARE(b[0].offset, 298997u);
        b.shrinkToFit(); // back into the heap
        QCOMPARE(b[1002].length, 300000u);
        PodBuffer<TextSpan> copy = b;
        b.resize(400000); // out again, zero-filled
        QCOMPARE(b[1002].offset, 299999u);
        QCOMPARE(b[399999].offset, 0u);
        QCOMPARE(copy.size(), size_t(1003));
        QCOMPARE(copy[0].offset, 298997u);
        b.resize(0);
        QVERIFY(b.empty());
    }

    // A search refills the pages the last result had: it gets its own values or zeros, never
    // the old bytes, and pages nobody took go back when it ends.
    void aSearchRefillsTheLastResultsPages() {
        constexpr uint32_t n = 1 << 20; // 6 MB of cells
        const CellRef dirty = CellRef::at(CellRef::Own, 77, 7);
        const auto mapped = [](const void *p) {
            unsigned char v = 0;
            return mincore(const_cast<void *>(p), 4096, &v) == 0;
        };
        const void *places[2] = {};
        {
            PodBuffer<CellRef> old[2];
            for (int i = 0; i < 2; ++i) {
                old[i].resize(n);
                std::fill(old[i].begin(), old[i].end(), dirty);
                places[i] = old[i].data();
            }
            PageRecycler pages;
            old[0].clear();
            old[1].clear();
            PodBuffer<CellRef> refilled, zeroed;
            for (uint32_t i = 0; i < n; ++i)
                refilled.push_back(CellRef::at(CellRef::Pooled, i, 1));
            QVERIFY(refilled.data() == places[0] || refilled.data() == places[1]);
            zeroed.resize(n);
            for (uint32_t i = 0; i < n; ++i)
                if (refilled[i].offset() != i || zeroed[i].word != 0 || zeroed[i].length != 0)
                    QFAIL(qPrintable(QString("row %1").arg(i)));
        }
        QVERIFY(!mapped(places[0]) && !mapped(places[1]));
    }

    // Texts a result keeps once must be equal in every byte, not only where they are compared
    // first; a text that repeats is kept once.
    void repeatedTextsAreKeptOnceAndOnlyWhenEqual() {
        const char *const pairs[][2] = {
            {"abc", "aXc"},
            {"ab", "aX"},
            {"abcdef", "abXdef"},
            {"12345678ABCDEFGH", "12345678ABCDEFGX"},
            {"12345678XABCDEFGH", "12345678YABCDEFGH"},
            {"12345678ABCDEFGHabcdefgh", "12345678ABCDXFGHabcdefgh"},
        };
        Recordset rs;
        rs.beginFill({"t"});
        QStringList expected;
        for (int round = 0; round < 2; ++round)
            for (const auto &pair : pairs)
                for (const char *text : pair) {
                    rs.addUtf8(text, int(std::strlen(text)));
                    expected << QString::fromLatin1(text);
                }
        const QString maker = QStringLiteral("삼성전자");
        for (int i = 0; i < 1000; ++i) {
            rs.addText(maker);
            expected << maker;
        }
        rs.finishFill();
        for (int row = 0; row < expected.size(); ++row)
            QCOMPARE(rs.at(row, 0).toString(), expected[row]);
        QVERIFY(rs.textPool()->size() < 400); // 1,000 makers, not 12 KB of them
    }

    void aNewSearchLetsTheOldResultGo() {
        const auto pooled = [](std::initializer_list<std::pair<uint32_t, uint16_t>> list) {
            PodBuffer<CellRef> b;
            for (const auto &[offset, length] : list)
                b.push_back(CellRef::at(CellRef::Pooled, offset, length));
            return b;
        };
        TextColumn column;
        column.resize(2);
        std::weak_ptr<const BytePool> first;
        {
            auto pool = std::make_shared<BytePool>();
            pool->append("가나다", 9); // UTF-8: three bytes each
            first = pool;
            column.adopt(pool, pooled({{0, 6}, {6, 3}}));
        }
        QCOMPARE(column.text(0), QString("가나"));
        QVERIFY(!first.expired()); // the column keeps the result it shows
        column.set(0, u"own");
        QCOMPARE(column.text(0), QString("own"));
        QCOMPARE(column.text(1), QString("다"));
        auto second = std::make_shared<BytePool>();
        second->append("xy", 2);
        column.adopt(second, pooled({{1, 1}, {0, 0}}));
        QVERIFY(first.expired());
        QCOMPARE(column.text(0), QString("y"));
        QCOMPARE(column.text(1), QString());
        QCOMPARE(column.poolSize(), size_t(0)); // the own text went with the old rows
        column.resize(0);
        QVERIFY(!column.sharesPool());

        // Numbers and nulls of a result come out as the texts the grid showed before; small
        // numbers stay numbers, texts longer than a cell's length field keep their length.
        Recordset rs;
        rs.beginFill({"n", "t"});
        rs.addInt(-42);
        rs.addText(u"하나");
        rs.addNull();
        rs.addDouble(0.25);
        rs.addInt(123456789012);
        const QString longer = kLong + kLong + kLong; // 90,000 bytes
        rs.addText(longer);
        rs.finishFill();
        QCOMPARE(rs.at(2, 1).toString(), longer);
        const auto pool = rs.textPool();
        TextColumn ints, texts;
        ints.resize(3);
        texts.resize(3);
        ints.adopt(pool, rs.takeTexts(0));
        texts.adopt(pool, rs.takeTexts(1));
        QCOMPARE(ints.text(0), QString("-42"));
        QVERIFY(ints.isEmpty(1));
        QCOMPARE(ints.text(2), QString("123456789012"));
        QCOMPARE(texts.text(0), QString("하나"));
        QCOMPARE(texts.text(1), QString("0.25"));
        QCOMPARE(texts.text(2), longer);
        texts.set(1, longer + longer + longer); // 90,000 units of its own
        texts.set(0, u"짧은");
        QCOMPARE(texts.text(1), longer + longer + longer);
        QCOMPARE(texts.text(0), QString("짧은"));
        QVERIFY(!rs.at(0, 0).isValid()); // handed over
        QCOMPARE(rs.takeTexts(0).size(), size_t(3));

        // The same through the list: the old result goes when the next search is shown.
        Spread &g = *list->spList;
        QVERIFY(g.sheet().maxRows() > 0);
        list->htField[6]->setText("갤럭시 한글"); // model name
        list->QueryList();
        QCOMPARE(g.maxRows(), 1);
        QCOMPARE(g.text(7, 1), QString("갤럭시 한글 모델"));
    }
};

QTEST_MAIN(TestSearchStorage)
#include "tst_search_storage.moc"
