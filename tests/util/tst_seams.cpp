// The seams over the operating system: what each gives with nothing installed, and how an
// installed object and a scoped one take its place and give it back.
#include "Clock.h"
#include "NetDrives.h"
#include "NetworkBrowser.h"
#include "Printers.h"
#include "Prompter.h"
#include "RecordingShell.h"
#include "ScriptedPrompter.h"
#include "Shell.h"
#include <QPrinterInfo>
#include <QTest>

namespace {
class ListedPrinters final : public Printers {
public:
    QStringList installed() const override { return {QStringLiteral("목록")}; }
    QString defaultPrinter() const override { return {}; }
};

// fallbackIsReal says whether what answers without an installed object is the system's.
template <class S> void checkSeam(S &first, S &second, const std::function<bool(S &)> &fallbackIsReal) {
    QVERIFY(fallbackIsReal(S::instance()));
    S *const fallback = &S::instance();
    {
        const typename S::Override outer(first);
        QCOMPARE(&S::instance(), &first);
        {
            const typename S::Override inner(second);
            QCOMPARE(&S::instance(), &second);
        }
        QCOMPARE(&S::instance(), &first);
    }
    QCOMPARE(&S::instance(), fallback);
    S::install(&second);
    QCOMPARE(&S::instance(), &second);
    S::install(nullptr);
    QCOMPARE(&S::instance(), fallback);
    QVERIFY(fallbackIsReal(S::instance()));
}
} // namespace

class TestSeams : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void eachSeamFallsBackToTheSystem() {
        FixedClock c1(QDateTime(QDate(2024, 5, 15), QTime(10, 30))), c2 = c1;
        checkSeam<Clock>(c1, c2, [](Clock &c) { return qAbs(c.now().secsTo(QDateTime::currentDateTime())) < 5; });
        ScriptedPrompter p1, p2;
        checkSeam<Prompter>(p1, p2, [](Prompter &p) {
            return p.question(QStringLiteral("제목"), QStringLiteral("질문"), true) == Prompter::No &&
                   !p.input(QStringLiteral("제목"), QStringLiteral("입력"), QStringLiteral("기본")).has_value();
        });
        RecordingShell s1, s2;
        checkSeam<Shell>(s1, s2, [](Shell &s) { // a real process with its own exit code
            return s.start(QStringLiteral("/bin/sh"), QStringLiteral("-c \"exit 7\""), QString(), Shell::Show::Hidden,
                           true) == 7;
        });
        ListedPrinters l1, l2;
        checkSeam<Printers>(l1, l2, [](Printers &p) {
            return p.installed() == QPrinterInfo::availablePrinterNames() &&
                   p.defaultPrinter() == QPrinterInfo::defaultPrinterName();
        });
        FolderNetDrives d1(QStringLiteral("/nowhere/1"), QStringLiteral("/nowhere/n")), d2 = d1;
        checkSeam<NetDrives>(d1, d2, [](NetDrives &d) { return dynamic_cast<FolderNetDrives *>(&d) != nullptr; });
        FolderNetworkBrowser b1(QStringLiteral("/nowhere/n")), b2 = b1;
        checkSeam<NetworkBrowser>(
            b1, b2, [](NetworkBrowser &b) { return dynamic_cast<FolderNetworkBrowser *>(&b) != nullptr; });
    }
};

QTEST_MAIN(TestSeams)
#include "tst_seams.moc"
