#include "EnvFixture.h"
#include "HandsetColumns.h"
#include "HandsetSql.h"
#include "modMDB_Func.h"
#include <QSet>
#include <QTest>

using namespace modMDB_Func;

// The column table against the schema and the statements built from it.
class TestHandsetColumns : public EnvFixture {
    Q_OBJECT
    void setUp() override { QVERIFY(env->openFreshDatabase()); }

    static HandsetColumns::Fields distinctTexts(const QString &tag) {
        HandsetColumns::Fields f;
        for (int i = 0; i < HandsetColumns::kFieldCount; ++i)
            f[size_t(i)] = QStringLiteral("%1%2'").arg(tag).arg(i);
        return f;
    }

private Q_SLOTS:

    // Every column the table names is one of the schema's, and each number is given once.
    void tableCoversTheSchemaOnce() {
        Recordset schema;
        QVERIFY(OpenRecordset(schema, TestEnv::onServer() ? "SELECT column_name AS name FROM information_schema.columns"
                                                            " WHERE table_name = 't_mobile'"
                                                          : "PRAGMA table_info(t_mobile)") > 0);
        QSet<QString> inSchema, inTable;
        for (int r = 0; r < schema.recordCount(); ++r)
            inSchema << schema.rawText(r, schema.fieldIndex("name"));
        QSet<int> grid, fields;
        for (const HandsetColumns::Column &c : HandsetColumns::all()) {
            inTable << c.columnName();
            QVERIFY2(c.gridCol == 0 || !grid.contains(c.gridCol), c.name);
            QVERIFY2(c.field < 0 || !fields.contains(c.field), c.name);
            if (c.gridCol > 0)
                grid << c.gridCol;
            if (c.field >= 0)
                fields << c.field;
            QCOMPARE(c.searchLabel != nullptr, c.match != HandsetColumns::Match::None);
        }
        QCOMPARE(inTable, inSchema);
        QCOMPARE(grid.size(), HandsetColumns::gridColumnCount()); // 1..n without a gap
        QCOMPARE(fields.size(), HandsetColumns::kFieldCount);
        for (int f = 1; f < HandsetColumns::kFieldCount; ++f) // the list's eight search members
            QVERIFY(HandsetColumns::field(f).match != HandsetColumns::Match::None);
    }

    // What the insert and the update write comes back under each field's column name.
    void statementsWriteEachFieldToItsColumn() {
        const HandsetColumns::Fields first = distinctTexts("a");
        QCOMPARE(ExecuteSQL(HandsetSql::insertStatement(first)), 1);
        const int code = GetIdentity();
        ExecuteSQL(QString("UPDATE t_mobile SET imgpath = 'p', bigo = 'b' WHERE code = %1").arg(code));
        const HandsetColumns::Fields second = distinctTexts("b");
        QCOMPARE(ExecuteSQL(HandsetSql::updateStatement(second, code)), 1);
        Recordset rs;
        QCOMPARE(OpenRecordset(rs, HandsetSql::recordQuery(code)), 1);
        for (int i = 0; i < HandsetColumns::kFieldCount; ++i)
            QCOMPARE(rs.text(HandsetColumns::field(i).columnName()), second[size_t(i)]);
        QCOMPARE(rs.text("imgpath"), QString("p")); // no window writes these
        QCOMPARE(rs.text("bigo"), QString("b"));
        QCOMPARE(rs.value("code").toInt(), code);
    }

    // Each search member looks in its own column, whole text or any part as the table says.
    void searchMembersMatchTheirColumn() {
        for (int m = 1; m < HandsetColumns::kFieldCount; ++m) {
            const QString column = HandsetColumns::field(m).columnName();
            ExecuteSQL(QString("INSERT INTO t_mobile (%1) VALUES ('k%2'), ('xk%2x')").arg(column).arg(m));
        }
        for (int m = 1; m < HandsetColumns::kFieldCount; ++m) {
            std::array<QString, 8> search;
            search[size_t(m) - 1] = QString("k%1").arg(m);
            Recordset rs;
            const bool exact = HandsetColumns::field(m).match == HandsetColumns::Match::Exact;
            QCOMPARE(OpenRecordset(rs, HandsetSql::listQuery(search)), exact ? 1 : 2);
            QCOMPARE(rs.text(HandsetColumns::field(m).columnName()), search[size_t(m) - 1]);
        }
    }
};

QTEST_GUILESS_MAIN(TestHandsetColumns)
#include "tst_handset_columns.moc"
