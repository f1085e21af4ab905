// The printer selection window over a scripted printer list and over a real CUPS daemon,
// and report columns leaving their unticked columns out of the printed page.
#include "AppState.h"
#include "CupsServer.h"
#include "EnvFixture.h"
#include "ErrorBox.h"
#include "FormLayoutFile.h"
#include "FrmPrn_selPRT.h"
#include "FrmSPPrint_Preview.h"
#include "IniFile.h"
#include "Printers.h"
#include "Settings.h"
#include "Spread.h"
#include "SpreadPrint.h"
#include "cFpPreview.h"
#include <QApplication>
#include <QKeyEvent>
#include <QListWidget>
#include <QPdfWriter>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace {
class ListedPrinters final : public Printers {
public:
    QStringList names;
    QString standard;
    bool broken = false;
    QStringList installed() const override {
        if (broken)
            throw AppError(1797, QStringLiteral("프린터 목록을 읽을 수 없습니다."));
        return names;
    }
    QString defaultPrinter() const override { return standard; }
};

QString choice(const QString &key) { return Settings::GetSetting(AppState::title(), "Config", key, "<none>"); }
QString selected(const FrmPrn_selPRT &w) {
    const QListWidgetItem *item = w.List1->currentItem();
    return item && item->isSelected() ? item->text() : QString();
}
QPushButton *button(QWidget *w, const char *name) { return w->findChild<QPushButton *>(QLatin1String(name)); }
} // namespace

class TestPrinterSelect : public EnvFixture {
    Q_OBJECT
    void setUp() override {
        listed.names = {"Kitchen", "Counter", "Office"};
        listed.standard = "Counter";
        listed.broken = false;
        Printers::install(&listed);
    }
    void tearDown() override { Printers::install(nullptr); }
    CupsServer cups{QStringLiteral("ShopA4")};
    ListedPrinters listed;

private Q_SLOTS:
    void initTestCase() {
        QVERIFY2(cups.start(), qPrintable(cups.errorString()));
        qputenv("CUPS_SERVER", QFile::encodeName(cups.socketPath())); // before the first QPrinter
    }

    void kindsNameTheCaptionAndTheKey() {
        FrmPrn_selPRT w;
        QCOMPARE(w.windowTitle(), QString("프린터 드라이버 선택"));
        w.InitForm(4, "무시됨");
        QCOMPARE(w.windowTitle(), QString("영수증 프린터 드라이버 선택"));
        QCOMPARE(w.settingKey(), QString("영수증_Printer"));
        FrmPrn_selPRT ten;
        ten.InitForm(10, "입고증");
        QCOMPARE(ten.settingKey(), QString("입고증_Printer"));
        FrmPrn_selPRT seven;
        seven.InitForm(7, "입고증");
        QCOMPARE(seven.windowTitle(), QString(" 프린터 드라이버 선택"));
        QCOMPARE(seven.settingKey(), QString("_Printer"));
        QCOMPARE(FrmPrn_selPRT::kindName(0, {}), QString("세금계산서"));
        QCOMPARE(FrmPrn_selPRT::kindName(6, {}), QString("바코드라벨"));
        QCOMPARE(FrmPrn_selPRT::kindName(-1, "x"), QString());
    }

    void defaultSelectedUnlessAStoredPrinterIsStillThere() {
        FrmPrn_selPRT w;
        QCOMPARE(w.List1->count(), 3);
        QCOMPARE(w.List1->item(0)->text(), QString("Kitchen")); // the system's order
        w.InitForm(3, {});
        QCOMPARE(selected(w), QString("Counter"));
        Settings::SaveSetting(AppState::title(), "Config", "A4일반_Printer", "Office");
        FrmPrn_selPRT again;
        again.InitForm(3, {});
        QCOMPARE(selected(again), QString("Office"));
        // A stored printer that has gone: the default stays, and OK stores the default.
        Settings::SaveSetting(AppState::title(), "Config", "A4일반_Printer", "Removed");
        FrmPrn_selPRT gone;
        gone.InitForm(3, {});
        QCOMPARE(selected(gone), QString("Counter"));
        button(&gone, "btnOK")->click();
        QCOMPARE(choice("A4일반_Printer"), QString("Counter"));
    }

    void buttonsKeysAndDoubleClick() {
        FrmPrn_selPRT w;
        w.InitForm(1, {});
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.List1->setCurrentRow(0);
        QTest::keyClick(w.List1, Qt::Key_Return);
        QVERIFY(!w.isVisible());
        QCOMPARE(choice("거래명세표_Printer"), QString("Kitchen"));

        FrmPrn_selPRT d;
        d.InitForm(1, {});
        d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        const QRect office = d.List1->visualItemRect(d.List1->item(2));
        QTest::mouseClick(d.List1->viewport(), Qt::LeftButton, {}, office.center());
        QTest::mouseDClick(d.List1->viewport(), Qt::LeftButton, {}, office.center());
        QCOMPARE(choice("거래명세표_Printer"), QString("Office"));

        FrmPrn_selPRT c;
        c.InitForm(1, {});
        button(&c, "btnCancel")->click();
        QCOMPARE(choice("거래명세표_Printer"), QString("Office")); // closing stores nothing
        FrmPrn_selPRT s;
        s.InitForm(1, {});
        button(&s, "btnDefaultPrn")->click();
        QCOMPARE(choice("거래명세표_Printer"), QString()); // the system's default from now on
        // Nothing to select: OK stores the empty text.
        listed.names.clear();
        FrmPrn_selPRT none;
        none.InitForm(2, {});
        button(&none, "btnOK")->click();
        QCOMPARE(choice("DM_Printer"), QString());
    }

    void aListThatFailsIsReportedAndTheWindowStillOpens() {
        listed.broken = true;
        FrmPrn_selPRT w;
        QCOMPARE(w.List1->count(), 0);
        QCOMPARE(
            env->prompter.texts(),
            QStringList{"Error 1797 (프린터 목록을 읽을 수 없습니다.) in procedure Form_Load of Form FrmPrn_selPRT"});
        env->prompter.clear();
    }

    void realCupsListsBothQueuesWithItsDefault() {
        Printers::install(nullptr);
        QCOMPARE(cups.runClient("lpadmin", {"-p", "ShopLabel", "-E", "-v", "pdfout:/"}), 0);
        FrmPrn_selPRT w;
        QStringList names;
        for (int i = 0; i < w.List1->count(); ++i)
            names << w.List1->item(i)->text();
        names.sort();
        QCOMPARE(names, (QStringList{"ShopA4", "ShopLabel"}));
        w.InitForm(6, {});
        QCOMPARE(selected(w), QString("ShopA4"));
        w.List1->setCurrentItem(w.List1->findItems("ShopLabel", Qt::MatchExactly).first());
        button(&w, "btnOK")->click();
        FrmPrn_selPRT reopened;
        reopened.InitForm(6, {});
        QCOMPARE(selected(reopened), QString("ShopLabel"));
        QCOMPARE(cups.runClient("lpadmin", {"-x", "ShopLabel"}), 0);
    }

    // The window asks for report columns: its printout leaves out what was unticked, also
    // while the preview's hidden page column stands before the grid's columns.
    void reportColumnsLeaveTheirColumnsOutOfThePrintout() {
        QWidget window;
        window.setObjectName("fbReport");
        Spread g(&window);
        g.setObjectName("spList");
        g.setMaxCols(5);
        g.setMaxRows(4);
        for (int c = 1; c <= 5; ++c) {
            g.setHeaderText(c, 1, QString("칸%1").arg(c));
            for (int r = 1; r <= 4; ++r)
                g.setText(c, r, QString("값%1-%2").arg(r).arg(c));
        }
        const QString file = FormLayoutFile::path("fbReport");
        QVERIFY(IniFile::write(file, "spList_RPTCOL", "2", "0"));
        QVERIFY(IniFile::write(file, "spList_RPTCOL", "4", "0"));
        QVERIFY(IniFile::write(file, "spList_RPTCOL", "5", "1"));
        const auto printed = [&](const QString &name) {
            const QString pdf = env->root() + "/" + name + ".pdf";
            {
                QPdfWriter writer(pdf);
                if (!printSheet(g, writer))
                    return QString();
            }
            return pdfText(pdf).replace(QChar(1), QLatin1Char(' '));
        };
        cFpPreview job;
        job.SetAppName(AppState::title());
        const auto run = [&](const std::function<void()> &inPreview) {
            QTimer::singleShot(0, [&] {
                if (auto *w = qobject_cast<FrmSPPrint_Preview *>(QApplication::activeModalWidget())) {
                    QCoreApplication::processEvents();
                    inPreview();
                    w->ButtonClick(FrmSPPrint_Preview::ColClose);
                }
            });
            job.SpreadPreview(&g, "fbReport", "보고서", {}, {}, 1, 0.3, 0.3, 0.5, 0.5, false, 1, {}, false, 12);
        };
        // A window that does not ask prints every visible column.
        g.setColMerge(1, SheetStore::Merge::None);
        QString all;
        run([&] { all = printed("all"); });
        for (int c = 1; c <= 5; ++c)
            QVERIFY2(all.contains(QString("칸%1").arg(c)), qPrintable(all));

        g.setReportColumnsWindow("fbReport");
        g.setColMerge(1, SheetStore::Merge::Always); // the preview puts its page column first
        QString some;
        run([&] {
            QCOMPARE(g.colID(1), QString("MERGE_COL"));
            some = printed("some");
        });
        for (int c = 1; c <= 5; ++c) {
            const bool wanted = c != 2 && c != 4;
            QVERIFY2(some.contains(QString("칸%1").arg(c)) == wanted, qPrintable(QString::number(c) + "\n" + some));
            QVERIFY(some.contains(QString("값3-%1").arg(c)) == wanted);
        }
        QCOMPARE(g.maxCols(), 5); // the page column has gone again, and the choice with it
        QCOMPARE(g.printProps().leftOutCols, (QSet<int>{2, 4}));
    }
};

QTEST_MAIN(TestPrinterSelect)
#include "tst_printer_select.moc"
