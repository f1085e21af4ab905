#include "DatePeriods.h"
#include <QtTest>

using namespace DatePeriods;

class TestDatePeriods : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void dateTexts_data();
    void dateTexts();
    void monthsRollIntoNeighbouringYears();
    void readyMadeOn20240515_data();
    void readyMadeOn20240515();
    void readyMadeAcrossYearEnd();
    void weeksRunSundayToSaturday();
    void boldQuarterAndHalf();
    void shifts_data();
    void shifts();
    void yearShiftKeepsMonthAndDayAsText();
    void shiftsStayInFourDigitYears();
};

void TestDatePeriods::dateTexts_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QDate>("date");
    QTest::newRow("plain") << "2024-05-15" << QDate(2024, 5, 15);
    QTest::newRow("leap day") << "2024-02-29" << QDate(2024, 2, 29);
    QTest::newRow("no leap day") << "2023-02-29" << QDate();
    QTest::newRow("blank box") << "____-__-__" << QDate();
    QTest::newRow("half filled") << "2024-05-__" << QDate();
    QTest::newRow("empty") << "" << QDate();
    QTest::newRow("no leading zeros") << "2024-5-1" << QDate();
    QTest::newRow("other separator") << "2024/05/15" << QDate();
    QTest::newRow("trailing text") << "2024-05-15 " << QDate();
    QTest::newRow("month 13") << "2024-13-01" << QDate();
    QTest::newRow("year 0") << "0000-01-01" << QDate();
    QTest::newRow("sign in place of a digit") << "2024-+5-15" << QDate();
}

void TestDatePeriods::dateTexts() {
    QFETCH(QString, text);
    QFETCH(QDate, date);
    QCOMPARE(parseDate(text), date);
    QCOMPARE(isDate(text), date.isValid());
    if (date.isValid())
        QCOMPARE(dateText(date), text);
}

void TestDatePeriods::monthsRollIntoNeighbouringYears() {
    QCOMPARE(firstOf(2024, 0), QDate(2023, 12, 1));
    QCOMPARE(firstOf(2024, 13), QDate(2025, 1, 1));
    QCOMPARE(firstOf(2024, -11), QDate(2023, 1, 1));
    QCOMPARE(firstOf(2024, -12), QDate(2022, 12, 1));
    QCOMPARE(firstOf(2024, 25), QDate(2026, 1, 1));
    QCOMPARE(lastOf(2024, 2), QDate(2024, 2, 29));
    QCOMPARE(lastOf(2023, 2), QDate(2023, 2, 28));
    QCOMPARE(lastOf(2024, 12), QDate(2024, 12, 31));
    QCOMPARE(lastOf(2024, 0), QDate(2023, 12, 31));
}

void TestDatePeriods::readyMadeOn20240515_data() {
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("end");
    const char *rows[kReadyMadeCount][2] = {
        {"2024-05-13", "2024-05-13"}, {"2024-05-14", "2024-05-14"}, {"2024-05-15", "2024-05-15"},
        {"2024-05-16", "2024-05-16"}, {"2024-04-28", "2024-05-04"}, {"2024-05-05", "2024-05-11"},
        {"2024-05-12", "2024-05-18"}, {"2024-05-19", "2024-05-25"}, {"2024-03-01", "2024-03-31"},
        {"2024-04-01", "2024-04-30"}, {"2024-05-01", "2024-05-31"}, {"2024-06-01", "2024-06-30"},
        {"2022-01-01", "2022-12-31"}, {"2023-01-01", "2023-12-31"}, {"2024-01-01", "2024-12-31"},
        {"2025-01-01", "2025-12-31"}, {"2024-01-01", "2024-03-31"}, {"2024-04-01", "2024-06-30"},
        {"2024-07-01", "2024-09-30"}, {"2024-10-01", "2024-12-31"}, {"2024-01-01", "2024-06-30"},
        {"2024-07-01", "2024-12-31"}, {"2024-04-15", "2024-05-15"}, {"2024-03-16", "2024-05-15"},
        {"2024-02-15", "2024-05-15"}, {"2023-11-17", "2024-05-15"}, {"2023-05-16", "2024-05-15"},
    };
    for (int i = 0; i < kReadyMadeCount; ++i)
        QTest::addRow("%d", i) << i << QString::fromLatin1(rows[i][0]) << QString::fromLatin1(rows[i][1]);
}

void TestDatePeriods::readyMadeOn20240515() {
    QFETCH(int, index);
    QFETCH(QString, start);
    QFETCH(QString, end);
    QCOMPARE(readyMade(index, QDate(2024, 5, 15)), (Period{start, end}));
}

void TestDatePeriods::readyMadeAcrossYearEnd() {
    const QDate jan10(2024, 1, 10);
    QCOMPARE(readyMade(9, jan10), (Period{"2023-12-01", "2023-12-31"}));
    QCOMPARE(readyMade(8, jan10), (Period{"2023-11-01", "2023-11-30"}));
    QCOMPARE(readyMade(4, jan10), (Period{"2023-12-24", "2023-12-30"}));
    QCOMPARE(readyMade(11, QDate(2024, 12, 10)), (Period{"2025-01-01", "2025-01-31"}));
    QCOMPARE(readyMade(12, jan10), (Period{"2022-01-01", "2022-12-31"}));
}

void TestDatePeriods::weeksRunSundayToSaturday() {
    for (const QDate &d : {QDate(2024, 5, 12), QDate(2024, 5, 15), QDate(2024, 5, 18)}) {
        QCOMPARE(readyMade(6, d), (Period{"2024-05-12", "2024-05-18"}));
        QCOMPARE(readyMade(7, d), (Period{"2024-05-19", "2024-05-25"}));
    }
}

void TestDatePeriods::boldQuarterAndHalf() {
    const int quarter[13] = {0, 16, 16, 16, 17, 17, 17, 18, 18, 18, 19, 19, 19};
    for (int m = 1; m <= 12; ++m) {
        QCOMPARE(currentQuarterButton(QDate(2024, m, 15)), quarter[m]);
        QCOMPARE(currentHalfButton(QDate(2024, m, 15)), m <= 6 ? 20 : 21);
    }
}

void TestDatePeriods::shifts_data() {
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("end");
    QTest::addColumn<QString>("newStart");
    QTest::addColumn<QString>("newEnd");
    QTest::newRow("day back") << 0 << "2024-03-01"
                              << "2024-03-31"
                              << "2024-02-29"
                              << "2024-03-30";
    QTest::newRow("day on") << 1 << "2024-12-31"
                            << "2024-12-31"
                            << "2025-01-01"
                            << "2025-01-01";
    QTest::newRow("week back") << 2 << "2024-05-12"
                               << "2024-05-18"
                               << "2024-05-05"
                               << "2024-05-11";
    QTest::newRow("week on") << 3 << "2024-05-12"
                             << "2024-05-18"
                             << "2024-05-19"
                             << "2024-05-25";
    QTest::newRow("month back over new year") << 4 << "2024-01-15"
                                              << "2024-02-10"
                                              << "2023-12-01"
                                              << "2024-01-31";
    QTest::newRow("month on, ends move apart") << 5 << "2024-01-15"
                                               << "2024-02-10"
                                               << "2024-02-01"
                                               << "2024-03-31";
    QTest::newRow("quarter back") << 8 << "2024-04-01"
                                  << "2024-06-30"
                                  << "2024-01-01"
                                  << "2024-03-31";
    QTest::newRow("quarter on") << 9 << "2024-11-20"
                                << "2024-11-20"
                                << "2025-02-01"
                                << "2025-02-28";
    QTest::newRow("half back") << 10 << "2024-03-05"
                               << "2024-03-05"
                               << "2023-09-01"
                               << "2023-09-30";
    QTest::newRow("half on") << 11 << "2024-04-01"
                             << "2024-06-30"
                             << "2024-10-01"
                             << "2024-12-31";
}

void TestDatePeriods::shifts() {
    QFETCH(int, index);
    QFETCH(QString, start);
    QFETCH(QString, end);
    QFETCH(QString, newStart);
    QFETCH(QString, newEnd);
    QCOMPARE(shifted(index, start, end), std::optional<Period>(Period{newStart, newEnd}));
}

void TestDatePeriods::yearShiftKeepsMonthAndDayAsText() {
    QCOMPARE(shifted(6, "2024-02-29", "2024-03-31"), std::optional<Period>(Period{"2023-02-29", "2023-03-31"}));
    QCOMPARE(shifted(7, "2024-02-29", "2024-05-15"), std::optional<Period>(Period{"2025-02-29", "2025-05-15"}));
    QCOMPARE(shifted(6, "0100-01-01", "2024-01-01"), std::optional<Period>(Period{"0099-01-01", "2023-01-01"}));
}

void TestDatePeriods::shiftsStayInFourDigitYears() {
    QCOMPARE(shifted(7, "9999-01-01", "9999-01-01"), std::nullopt);
    QCOMPARE(shifted(1, "9999-12-31", "9999-12-31"), std::nullopt);
    QCOMPARE(shifted(6, "0001-06-01", "0001-06-01"), std::nullopt);
    QCOMPARE(shifted(0, "2023-02-29", "2024-01-01"), std::nullopt); // only dates are shifted
}

QTEST_GUILESS_MAIN(TestDatePeriods)
#include "tst_DatePeriods.moc"
