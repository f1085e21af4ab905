// Layout files: window rectangle and state, column widths, font size and row height.
#include "EnvFixture.h"
#include "FormLayoutFile.h"
#include "IniFile.h"
#include "Spread.h"
#include "VbUnits.h"
#include "modFormIni.h"
#include <QFile>
#include <QTest>
#include <QVBoxLayout>

namespace {
// A window named like the handset list with one grid of four columns.
struct Window {
    QWidget w;
    Spread *grid;
    Window() {
        w.setObjectName(QStringLiteral("fbMobil_Admin"));
        grid = new Spread(&w);
        grid->setObjectName(QStringLiteral("spList"));
        grid->setMaxCols(4);
        for (int c = 1; c <= 4; ++c)
            grid->setColWidth(c, 10 + c);
        (new QVBoxLayout(&w))->addWidget(grid);
        w.move(20, 30);
        w.resize(500, 400);
    }
    QString file() const { return FormLayoutFile::path(w.objectName()); }
};
} // namespace

class TestLayout : public EnvFixture {
    Q_OBJECT

    void put(const QString &section, const QString &key, const QString &value) {
        QVERIFY(IniFile::write(FormLayoutFile::path(QStringLiteral("fbMobil_Admin")), section, key, value));
    }

private Q_SLOTS:
    void fileIsNamedAfterWindowAndSuffix() {
        QCOMPARE(FormLayoutFile::path(QStringLiteral("fbMobil_Admin") + QStringLiteral("_2")),
                 env->appFolder() + QStringLiteral("/FormIni/fbMobil_Admin_2.ini"));
        QCOMPARE(FormLayoutFile::gridBase(QStringLiteral("spList"), -1), QStringLiteral("spList"));
        QCOMPARE(FormLayoutFile::gridBase(QStringLiteral("spList"), 2), QStringLiteral("spList_2"));
    }

    void firstOpeningKeepsTheDesignedLayout() {
        Window win;
        modFormIni::LoadFormIni(&win.w, false, QString());
        QCOMPARE(win.w.pos(), QPoint(20, 30));
        QCOMPARE(win.w.size(), QSize(500, 400));
        QCOMPARE(win.grid->colWidth(3), 13.0);
        QVERIFY(!QFile::exists(win.file())); // reading creates nothing
    }

    void normalCloseStoresTwipsAndReopeningRestores() {
        {
            Window win;
            win.w.show();
            QVERIFY(QTest::qWaitForWindowExposed(&win.w));
            win.w.move(100, 60);
            win.w.resize(640, 480);
            QVERIFY(modFormIni::SaveFormIni(&win.w, QString()));
            QCOMPARE(IniFile::read(win.file(), "FormPosition", "Width"), QString::number(VbUnits::pxToTwips(640)));
            QCOMPARE(IniFile::read(win.file(), "FormPosition", "WindowState"), QStringLiteral("0"));
        }
        Window again;
        modFormIni::LoadFormIni(&again.w, false, QString());
        QCOMPARE(again.w.pos(), QPoint(100, 60));
        QCOMPARE(again.w.size(), QSize(640, 480));
    }

    void maximisedCloseKeepsTheNormalRectangle() {
        put("FormPosition", "Width", "9000");
        Window win;
        win.w.showMaximized();
        QVERIFY(QTest::qWaitForWindowExposed(&win.w));
        QVERIFY(modFormIni::SaveFormIni(&win.w, QString()));
        QCOMPARE(IniFile::read(win.file(), "FormPosition", "WindowState"), QStringLiteral("2"));
        QCOMPARE(IniFile::read(win.file(), "FormPosition", "Width"), QStringLiteral("9000"));
        Window again;
        modFormIni::LoadFormIni(&again.w, false, QString());
        QCOMPARE(again.w.width(), VbUnits::twipsToPx(9000));
        QVERIFY(again.w.windowState() & Qt::WindowMaximized);
        Window placed; // position only: neither size nor state
        modFormIni::LoadFormIni(&placed.w, true, QString());
        QCOMPARE(placed.w.width(), 500);
        QVERIFY(!(placed.w.windowState() & Qt::WindowMaximized));
    }

    void minimisedOrHiddenCloseWritesNothing() {
        Window win;
        QVERIFY(modFormIni::SaveFormIni(&win.w, QString())); // never shown
        QVERIFY(!QFile::exists(win.file()));
        win.w.showMinimized();
        QVERIFY(modFormIni::SaveFormIni(&win.w, QString()));
        QVERIFY(!QFile::exists(win.file()));
    }

    void zeroNegativeAndNonNumericPositionsAreNotApplied() {
        put("FormPosition", "Left", "0");
        put("FormPosition", "Top", "-300");
        put("FormPosition", "Width", "abc");
        put("FormPosition", "Height", "4500");
        Window win;
        modFormIni::LoadFormIni(&win.w, false, QString());
        QCOMPARE(win.w.pos(), QPoint(20, 30));
        QCOMPARE(win.w.size(), QSize(500, VbUnits::twipsToPx(4500)));
    }

    void columnWidthsForTheGridsColumnsOnly() {
        put("spList_ColsWidth", "1", "7.5");
        put("spList_ColsWidth", "3", "0");    // a stored 0 gives zero width
        put("spList_ColsWidth", "4", "wide"); // not a number: designed width stays
        put("spList_ColsWidth", "5", "30");   // beyond MaxCols: ignored
        Window win;
        modFormIni::LoadFormIni(&win.w, false, QString());
        QCOMPARE(win.grid->colWidth(1), 7.5);
        QCOMPARE(win.grid->colWidth(2), 12.0);
        QCOMPARE(win.grid->colWidth(3), 0.0);
        QCOMPARE(win.grid->colWidth(4), 14.0);
        QCOMPARE(win.grid->maxCols(), 4);
    }

    void valuesAreCutToNineCharacters() {
        put("spList_ColsWidth", "1", "12.345678999"); // read as 12.345678
        put("spList_ColsWidth", "2", "   5   ");
        QCOMPARE(FormLayoutFile::readValue(FormLayoutFile::path("fbMobil_Admin"), "spList_ColsWidth", "1"),
                 QStringLiteral("12.345678"));
        put("FormPosition", "Width", "4500     x"); // the cut leaves a number
        Window win;
        modFormIni::LoadFormIni(&win.w, false, QString());
        QCOMPARE(win.grid->colWidth(1), 12.345678);
        QCOMPARE(win.grid->colWidth(2), 5.0);
        QCOMPARE(win.w.width(), VbUnits::twipsToPx(4500));
    }

    void windowValuesOutsideWhatAScreenShowsAreIgnored_data() {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::newRow("huge width") << "Width"
                                    << "1e300";
        QTest::newRow("width beyond screens") << "Width"
                                              << "100001";
        QTest::newRow("negative width") << "Width"
                                        << "-4500";
        QTest::newRow("zero height") << "Height"
                                     << "0";
        QTest::newRow("NaN height") << "Height"
                                    << "nan";
        QTest::newRow("infinite height") << "Height"
                                         << "inf";
        QTest::newRow("far left") << "Left"
                                  << "251658225";
        QTest::newRow("infinite top") << "Top"
                                      << "inf";
        QTest::newRow("huge state") << "WindowState"
                                    << "1e300";
        QTest::newRow("unknown state") << "WindowState"
                                       << "3";
        QTest::newRow("fractional state") << "WindowState"
                                          << "1.5";
        QTest::newRow("negative state") << "WindowState"
                                        << "-1";
        QTest::newRow("NaN state") << "WindowState"
                                   << "nan";
    }
    void windowValuesOutsideWhatAScreenShowsAreIgnored() {
        QFETCH(QString, key);
        QFETCH(QString, value);
        put("FormPosition", key, value);
        Window win;
        modFormIni::LoadFormIni(&win.w, false, QString());
        QCOMPARE(win.w.pos(), QPoint(20, 30));
        QCOMPARE(win.w.size(), QSize(500, 400));
        QCOMPARE(win.w.windowState(), Qt::WindowNoState);
    }
    void windowValuesAtTheBoundsStillApply() {
        put("FormPosition", "Left", "100000");
        put("FormPosition", "Top", "15");
        put("FormPosition", "Width", "100000");
        put("FormPosition", "Height", "1500");
        put("FormPosition", "WindowState", "1");
        Window win;
        modFormIni::LoadFormIni(&win.w, false, QString());
        QCOMPARE(win.w.pos(), QPoint(VbUnits::twipsToPx(100000), 1));
        QCOMPARE(win.w.size(), QSize(VbUnits::twipsToPx(100000), 100));
        QVERIFY(win.w.windowState() & Qt::WindowMinimized);
    }
    void closingAfterAnIgnoredValueStoresTheRealGeometry() {
        put("FormPosition", "Width", "1e300");
        put("FormPosition", "Height", "-1");
        Window win;
        modFormIni::LoadFormIni(&win.w, false, QString());
        win.w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&win.w));
        QVERIFY(modFormIni::SaveFormIni(&win.w, QString()));
        QCOMPARE(IniFile::read(win.file(), "FormPosition", "Width"),
                 QString::number(VbUnits::pxToTwips(win.w.width())));
        QCOMPARE(IniFile::read(win.file(), "FormPosition", "Height"),
                 QString::number(VbUnits::pxToTwips(win.w.height())));
        QCOMPARE(win.w.width(), 500);
    }

    void gridValuesOutsideWhatAGridShowsAreIgnored_data() {
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::newRow("wide column") << "spList_ColsWidth"
                                     << "2"
                                     << "256";
        QTest::newRow("negative column") << "spList_ColsWidth"
                                         << "2"
                                         << "-1";
        QTest::newRow("huge column") << "spList_ColsWidth"
                                     << "2"
                                     << "1e300";
        QTest::newRow("infinite column") << "spList_ColsWidth"
                                         << "2"
                                         << "inf";
        QTest::newRow("NaN column") << "spList_ColsWidth"
                                    << "2"
                                    << "nan";
        QTest::newRow("huge font") << "spList_General"
                                   << "FontSize"
                                   << "1e9";
        QTest::newRow("font beyond 72") << "spList_General"
                                        << "FontSize"
                                        << "73";
        QTest::newRow("tiny font") << "spList_General"
                                   << "FontSize"
                                   << "0.5";
        QTest::newRow("negative font") << "spList_General"
                                       << "FontSize"
                                       << "-12";
        QTest::newRow("overflowing font") << "spList_General"
                                          << "FontSize"
                                          << "1e999";
        QTest::newRow("tall rows") << "spList_General"
                                   << "RowHeight"
                                   << "410";
        QTest::newRow("huge rows") << "spList_General"
                                   << "RowHeight"
                                   << "1e300";
        QTest::newRow("negative rows") << "spList_General"
                                       << "RowHeight"
                                       << "-20";
    }
    void gridValuesOutsideWhatAGridShowsAreIgnored() {
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, value);
        put(section, key, value);
        Window win;
        win.grid->setMaxRows(3);
        const double font = win.grid->fontSize(1, 1);
        const double rows = win.grid->rowHeight(1);
        modFormIni::LoadFormIni(&win.w, false, QString());
        QCOMPARE(win.grid->colWidth(2), 12.0);
        QCOMPARE(win.grid->fontSize(1, 1), font);
        QCOMPARE(win.grid->rowHeight(1), rows);
    }
    void gridValuesAtTheBoundsStillApply() {
        put("spList_ColsWidth", "1", "255");
        put("spList_ColsWidth", "2", "0");
        put("spList_General", "FontSize", "72");
        put("spList_General", "RowHeight", "409");
        Window win;
        win.grid->setMaxRows(3);
        modFormIni::LoadFormIni(&win.w, false, QString());
        QCOMPARE(win.grid->colWidth(1), 255.0);
        QCOMPARE(win.grid->colWidth(2), 0.0);
        QCOMPARE(win.grid->fontSize(1, 1), 72.0);
        QCOMPARE(win.grid->rowHeight(1), 409.0);
        put("spList_General", "FontSize", "8"); // the smallest the grid's menu offers
        modFormIni::LoadFormIni(&win.w, false, QString());
        QCOMPARE(win.grid->fontSize(1, 1), 8.0);
    }

    void storedFontSizeAndRowHeightApplyOnlyAboveZero() {
        put("spList_General", "FontSize", "0");
        put("spList_General", "RowHeight", "20");
        Window win;
        const double designedFont = win.grid->fontSize(1, 0);
        win.grid->setMaxRows(3);
        modFormIni::LoadFormIni(&win.w, false, QString());
        QCOMPARE(win.grid->fontSize(-1, 0), designedFont);
        QCOMPARE(win.grid->rowHeight(1), 20.0);
        QCOMPARE(win.grid->rowHeight(0), 22.0);
        put("spList_General", "FontSize", "14");
        modFormIni::LoadFormIni(&win.w, false, QString());
        QCOMPARE(win.grid->fontSize(2, 3), 14.0);
        QCOMPARE(win.grid->fontSize(2, 0), 14.0);
    }

    void arrayMembersUseTheirOwnSections() {
        put("spList_2_ColsWidth", "1", "3");
        put("spList_ColsWidth", "1", "25");
        Window win;
        win.grid->setArrayIndex(2);
        modFormIni::LoadFormIni(&win.w, false, QString());
        QCOMPARE(win.grid->colWidth(1), 3.0);
    }

    void columnDragIsSavedOnlyWhileTheGridIsVisible() {
        Window win;
        QVERIFY(modFormIni::SaveSpreadColWidth(&win.w, win.grid, 2, QString(), -1));
        QVERIFY(!QFile::exists(win.file()));
        win.w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&win.w));
        win.grid->setColWidth(2, 9.58);
        QVERIFY(modFormIni::SaveSpreadColWidth(&win.w, win.grid, 2, QStringLiteral("_B"), -1));
        QCOMPARE(IniFile::read(FormLayoutFile::path("fbMobil_Admin_B"), "spList_ColsWidth", "2"),
                 QStringLiteral("9.58"));
    }

    void resetDeletesTheFileAndTheNextDragCreatesANewOne() {
        put("spList_ColsWidth", "1", "30");
        Window win;
        win.w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&win.w));
        modFormIni::DelFormIni(QStringLiteral("fbMobil_Admin"));
        QVERIFY(!QFile::exists(win.file()));
        modFormIni::DelFormIni(QStringLiteral("fbMobil_Admin")); // nothing to delete: no error
        Window fresh;
        modFormIni::LoadFormIni(&fresh.w, false, QString());
        QCOMPARE(fresh.grid->colWidth(1), 11.0);
        QVERIFY(modFormIni::SaveSpreadColWidth(&win.w, win.grid, 1, QString(), -1));
        QVERIFY(QFile::exists(win.file()));
    }

    void numberHelpers() {
        QCOMPARE(FormLayoutFile::numeric(QStringLiteral(" 9.58 ")), std::optional<double>(9.58));
        QCOMPARE(FormLayoutFile::numeric(QStringLiteral("12abc")), std::nullopt);
        QCOMPARE(FormLayoutFile::numeric(QString()), std::nullopt);
        QCOMPARE(FormLayoutFile::leadingNumber(QStringLiteral("12abc")), 12.0);
        QCOMPARE(FormLayoutFile::leadingNumber(QStringLiteral("abc")), 0.0);
        QCOMPARE(FormLayoutFile::numberText(9.58), QStringLiteral("9.58"));
        QCOMPARE(FormLayoutFile::numberText(15300), QStringLiteral("15300"));
    }
};

QTEST_MAIN(TestLayout)
#include "tst_layout.moc"
