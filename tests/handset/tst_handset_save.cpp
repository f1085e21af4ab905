#include "EnvFixture.h"
#include "HandsetSave.h"
#include "HandsetSql.h"
#include "Recordset.h"
#include "modMDB_Func.h"
#include <QTest>

using namespace modMDB_Func;
using HandsetSave::Result;

// The entry window's save below its fields: required fields, insert or update, and the box
// a refused save shows.
class TestHandsetSave : public EnvFixture {
    Q_OBJECT
    void setUp() override { QVERIFY(env->openFreshDatabase()); }

    static HandsetColumns::Fields entry(const QString &code, const QString &mid, const QString &year) {
        return {
            code, mid, year, QStringLiteral("삼성전자"), {}, {}, QStringLiteral("SCH-1"), {}, QStringLiteral("별명")};
    }
    int rows() const { return GetValue("SELECT COUNT(*) FROM t_mobile").toInt(); }

private Q_SLOTS:

    void requiredFields_data() {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("mid");
        QTest::addColumn<QString>("year");
        QTest::addColumn<bool>("autoNumber");
        QTest::addColumn<int>("missing");
        QTest::newRow("numbered: no code asked") << ""
                                                 << "M"
                                                 << "2020" << true << -1;
        QTest::newRow("typed: code first") << ""
                                           << ""
                                           << "" << false << 0;
        QTest::newRow("ID before year") << ""
                                        << ""
                                        << "" << true << 1;
        QTest::newRow("year") << "000001"
                              << "M"
                              << "" << false << 2;
        QTest::newRow("blank and zero are typed") << " "
                                                  << "0"
                                                  << " " << false << -1;
    }
    // Refused in the order the window asks, and nothing is written.
    void requiredFields() {
        QFETCH(QString, code);
        QFETCH(QString, mid);
        QFETCH(QString, year);
        QFETCH(bool, autoNumber);
        QFETCH(int, missing);
        HandsetColumns::Fields f = entry(code, mid, year);
        QCOMPARE(HandsetSave::missingRequired(f, autoNumber), missing);
        if (missing < 0)
            return;
        const Result r = HandsetSave::save(f, 1, autoNumber, 0, 6);
        QCOMPARE(r.status, Result::MissingField);
        QCOMPARE(r.missingField, missing);
        HandsetSave::explainRefusal(r); // the window's required-field check speaks instead
        QCOMPARE(env->prompter.boxes().size(), 0);
        QCOMPARE(rows(), 1);
    }

    // Add, then change: the result carries the record as written.
    void addThenChange() {
        const Result added = HandsetSave::save(entry({}, "A-1", "2021"), 1, true, 0, 6);
        QCOMPARE(added.status, Result::Saved);
        QCOMPARE(added.code, QString("000001"));
        QCOMPARE(added.fields, entry("000001", "A-1", "2021"));
        QCOMPARE(added.key, GetValue("SELECT code FROM t_mobile WHERE mid = 'A-1'").toInt());

        HandsetColumns::Fields changed = added.fields;
        changed[6] = QStringLiteral("새 모델's");
        const Result saved = HandsetSave::save(changed, 2, true, added.key, 6);
        QCOMPARE(saved.status, Result::Saved);
        QCOMPARE(saved.key, added.key);
        QCOMPARE(saved.fields, changed);
        QCOMPARE(GetValue(QString("SELECT model FROM t_mobile WHERE code = %1").arg(added.key)).toString(), changed[6]);
        QCOMPARE(rows(), 2);
        QCOMPARE(HandsetSave::save(changed, 2, true, added.key, 6).status, Result::Saved); // unchanged still saves
    }

    // Each refusal writes nothing and shows one box naming its cause.
    // A NUL typed or pasted into any field goes alone: the rest is stored, searched and looked
    // up, and a record holding only the text before it is not found.
    void aTypedNulIsDroppedAlone() {
        const QString nul(QChar(0));
        HandsetColumns::Fields typed = entry({}, {}, {}), decoy = typed;
        for (int i = 1; i < HandsetColumns::kFieldCount; ++i) {
            typed[size_t(i)] = QStringLiteral("가") + nul + QStringLiteral("'%1").arg(i) + nul;
            decoy[size_t(i)] = QStringLiteral("가");
        }
        const Result saved = HandsetSave::save(typed, 1, true, 0, 6);
        QCOMPARE(saved.status, Result::Saved);
        QCOMPARE(HandsetSave::save(decoy, 1, true, 0, 6).status, Result::Saved);
        for (int i = 1; i < HandsetColumns::kFieldCount; ++i) {
            const HandsetColumns::Column &c = HandsetColumns::field(i);
            const QString meant = QStringLiteral("가'%1").arg(i);
            QCOMPARE(
                GetValue(QStringLiteral("SELECT %1 FROM t_mobile WHERE code = %2").arg(c.columnName()).arg(saved.key))
                    .toString(),
                meant);
            std::array<QString, 8> search;
            search[size_t(i - 1)] = typed[size_t(i)];
            Recordset found;
            QCOMPARE(OpenRecordset(found, HandsetSql::listQuery(search)), 1);
            QVERIFY2(found.recordCount() == 1 && found.value(QStringLiteral("code")).toInt() == saved.key,
                     qPrintable(c.columnName()));
            Recordset looked;
            QCOMPARE(OpenRecordset(looked, HandsetSql::lookupQuery(c.columnName(), typed[size_t(i)])), 1);
            QCOMPARE(looked.recordCount(), 1);
            QCOMPARE(looked.value(0).toString(), meant);
        }
    }

    void refusalsExplainThemselves() {
        QCOMPARE(HandsetSave::save(entry("000007", "D-1", "2020"), 1, false, 0, 6).status, Result::Saved);
        const Result duplicate = HandsetSave::save(entry("000007", "D-2", "2020"), 1, false, 0, 6);
        QCOMPARE(duplicate.status, Result::DuplicateCode);
        HandsetSave::explainRefusal(duplicate);
        QCOMPARE(env->prompter.texts().last(),
                 QString("관리번호 [000007]은(는) 이미 등록되어 있습니다. 다른 관리번호를 입력하세요."));

        const Result gone = HandsetSave::save(entry("000008", "G-1", "2020"), 2, false, 999, 6);
        QCOMPARE(gone.status, Result::NothingChanged);
        HandsetSave::explainRefusal(gone);
        QCOMPARE(env->prompter.texts().last(), QString("수정된 내용이 없거나, 자료저장을 실패하였습니다."));

        ExecuteSQL("DROP TABLE t_mobile");
        const Result failed = HandsetSave::save(entry({}, "F-1", "2020"), 1, true, 0, 6);
        QCOMPARE(failed.status, Result::Failed);
        QVERIFY(!failed.errorText.isEmpty());
        HandsetSave::explainRefusal(failed);
        QCOMPARE(env->prompter.texts().last(), QString("자료를 저장하지 못했습니다.\r\n") + failed.errorText);
        QCOMPARE(env->prompter.texts().size(), 3);
    }
};

QTEST_GUILESS_MAIN(TestHandsetSave)
#include "tst_handset_save.moc"
