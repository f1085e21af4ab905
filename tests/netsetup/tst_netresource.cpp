#include "EnvFixture.h"
#include "NetEnumBuffer.h"
#include "NetResource.h"
#include "NetworkFixture.h"
#include "ServerSearch.h"
#include <QTest>

namespace {
NetRecord record(const QString &remote, std::uint32_t displayType = NetworkBrowser::Share) {
    NetRecord r;
    r.displayType = displayType;
    r.remoteName = remote;
    return r;
}

QStringList remoteNames(NetResources &items) {
    QStringList names;
    for (const auto &item : items)
        names << item->RemoteName();
    return names;
}

// Answers from a script and counts what it was asked.
class ScriptedBrowser final : public NetworkBrowser {
public:
    std::optional<std::vector<NetRecord>> disks, printers;
    int calls = 0;
    std::optional<std::vector<NetRecord>> enumerate(const NetRecord *, Type type, Usage) override {
        ++calls;
        return type == Print ? printers : disks;
    }
    QString networkPath(const QString &folder) const override { return folder; }
};
} // namespace

class TestNetResource : public EnvFixture {
    Q_OBJECT
    QString net() const { return env->root() + "/network"; }

    // Two Windows servers share the program folder "app", a third shares "App"; another
    // provider's server shares "app" too.
    void buildNetwork() {
        addShare(net(), "SRV1/app/DBS");
        addShare(net(), "SRV1/data");
        addPrinterFile(net(), "SRV1/LaserJet.printer");
        addShare(net(), "SRV1/.hidden");
        addShare(net(), "SRV2/App");
        addShare(net(), "SRV3/app");
        addShare(net(), "SRV3/Plotter.printer");
        addShare(net(), "NetWare.provider/NW1/app");
    }

private Q_SLOTS:
    void namesAndTypes() {
        NetResource r;
        QVERIFY(r.isRoot());
        r.setRecord(record("\\\\SERVER\\Share"));
        QVERIFY(!r.isRoot());
        QCOMPARE(r.ShortName(), QString("Share"));
        r.setRecord(record("\\\\SERVER", NetworkBrowser::Server));
        QCOMPARE(r.ShortName(), QString("SERVER"));
        r.setRecord(record("Microsoft Windows 네트워크", NetworkBrowser::Network));
        QCOMPARE(r.ShortName(), QString("Microsoft Windows 네트워크"));

        const QStringList names{"Generic", "Domain", "Server",     "Share",     "File", "Group",
                                "Network", "Root",   "AdminShare", "Directory", "Tree", "NDSContainer"};
        for (int t = 0; t < names.size(); ++t) {
            r.setRecord(record("x", std::uint32_t(t)));
            QCOMPARE(r.ResourceType(), t);
            QCOMPARE(r.ResourceTypeName(), names[t]);
        }
        r.setRecord(record("x", 12));
        QCOMPARE(r.ResourceTypeName(), QString());
        // A printer is a printer whatever its display type says.
        r.setRecord(record("\\\\SERVER\\LaserJet", NetworkBrowser::Server));
        r.markPrinter();
        QCOMPARE(r.ResourceType(), 255);
        QCOMPARE(r.ResourceTypeName(), QString("Printer"));
    }

    void textsCutAtNulAnd255() {
        NetRecord rec = record(QString("\\\\SRV\\a") + QChar(0) + "garbage");
        rec.comment = QString(300, 'c');
        rec.provider = QString(255, 'p');
        rec.localName = QString("H:") + QChar(0);
        NetResource r;
        r.setRecord(rec);
        QCOMPARE(r.RemoteName(), QString("\\\\SRV\\a"));
        QCOMPARE(r.comment(), QString(255, 'c'));
        QCOMPARE(r.Provider(), QString(255, 'p'));
        QCOMPARE(r.LocalName(), QString("H:"));
    }

    void collection() {
        NetResources items;
        for (const QString name : {"\\\\B", "\\\\A", "\\\\C"}) {
            auto r = std::make_unique<NetResource>();
            r->setRecord(record(name));
            QVERIFY(items.add(std::move(r)));
        }
        auto twin = std::make_unique<NetResource>();
        twin->setRecord(record("\\\\A"));
        QVERIFY(!items.add(std::move(twin)));
        QCOMPARE(items.Count(), 3);
        QCOMPARE(remoteNames(items), QStringList({"\\\\B", "\\\\A", "\\\\C"})); // insertion order
        QCOMPARE(items.Item(1)->RemoteName(), QString("\\\\B"));
        QCOMPARE(items.Item("\\\\C")->RemoteName(), QString("\\\\C"));
        QVERIFY(!items.Item("\\\\missing"));
        QVERIFY(!items.Item(0));
        QVERIFY(!items.Item(4));
        QVERIFY(items.Remove("\\\\A"));
        QVERIFY(!items.Remove("\\\\A"));
        QVERIFY(items.Remove(2));
        QVERIFY(!items.Remove(2));
        QCOMPARE(remoteNames(items), QStringList({"\\\\B"}));
    }

    // The first read enumerates disks, then printers (only shares, marked); later reads
    // return the same collection without asking again. An enumeration that cannot be
    // opened is tried again at the next read.
    void childrenEnumeratedOnceAndRetried() {
        ScriptedBrowser browser;
        NetworkBrowser::install(&browser);
        NetResource root;
        QCOMPARE(root.Children().Count(), 0);
        QVERIFY(!root.loaded());
        QCOMPARE(browser.calls, 1); // no printer enumeration after a failed open

        browser.disks = std::vector<NetRecord>{record("\\\\S\\one"), record("\\\\S\\two")};
        browser.printers = std::vector<NetRecord>{record("\\\\S\\Laser"), record("\\\\S", NetworkBrowser::Server)};
        NetResources &children = root.Children();
        QVERIFY(root.loaded());
        QCOMPARE(browser.calls, 3);
        QCOMPARE(remoteNames(children), QStringList({"\\\\S\\one", "\\\\S\\two", "\\\\S\\Laser"}));
        QVERIFY(!children.Item("\\\\S\\one")->isPrinter());
        QCOMPARE(children.Item("\\\\S\\Laser")->ResourceTypeName(), QString("Printer"));
        QCOMPARE(&root.Children(), &children);
        QCOMPARE(browser.calls, 3);
        NetworkBrowser::install(env->network.get());
    }

    void enumBufferProtocol() {
        struct Answer {
            std::uint32_t result, count, size;
        };
        std::vector<Answer> script{{234, 0, 3000}, {0, 2, 0}, {0, 1, 0}, {259, 0, 0}};
        std::vector<std::uint32_t> sizesSeen;
        std::vector<std::uint32_t> taken;
        bool zeroed = true;
        size_t step = 0;
        NetEnumBuffer::read(
            [&](void *buffer, std::uint32_t &size, std::uint32_t &count) {
                sizesSeen.push_back(size);
                const auto *bytes = static_cast<const unsigned char *>(buffer);
                if (step == 1)
                    zeroed = std::all_of(bytes, bytes + size, [](unsigned char b) { return b == 0; });
                if (count != 0xFFFFFFFFu)
                    zeroed = false; // always asks for as many as fit
                const Answer a = script.at(step++);
                count = a.count;
                if (a.result == 234)
                    size = a.size;
                return a.result;
            },
            [&](const void *, std::uint32_t count) { taken.push_back(count); });
        QCOMPARE(sizesSeen, (std::vector<std::uint32_t>{1024, 3000, 3000, 3000}));
        QVERIFY(zeroed);
        QCOMPARE(taken, (std::vector<std::uint32_t>{2, 1}));

        // Success without entries ends it; so does a provider that asks for no more room.
        for (const Answer last : {Answer{0, 0, 0}, Answer{234, 0, 1024}}) {
            int calls = 0;
            NetEnumBuffer::read(
                [&](void *, std::uint32_t &size, std::uint32_t &count) {
                    ++calls;
                    count = last.count;
                    size = last.size;
                    return last.result;
                },
                [](const void *, std::uint32_t) { QFAIL("nothing to take"); });
            QCOMPARE(calls, 1);
        }
    }

    void folderNetwork() {
        buildNetwork();
        NetResource root;
        QCOMPARE(remoteNames(root.Children()), QStringList({"Microsoft Windows 네트워크", "NetWare"}));
        NetResource *windows = root.Children().Item(1);
        QCOMPARE(windows->ResourceTypeName(), QString("Network"));
        QCOMPARE(remoteNames(windows->Children()), QStringList({"\\\\SRV1", "\\\\SRV2", "\\\\SRV3"}));
        NetResource *srv1 = windows->Children().Item("\\\\SRV1");
        QCOMPARE(srv1->ResourceTypeName(), QString("Server"));
        QCOMPARE(srv1->Provider(), QString("Microsoft Windows 네트워크"));
        QCOMPARE(remoteNames(srv1->Children()), QStringList({"\\\\SRV1\\app", "\\\\SRV1\\data", "\\\\SRV1\\LaserJet"}));
        QCOMPARE(srv1->Children().Item(1)->ResourceTypeName(), QString("Share"));
        QCOMPARE(srv1->Children().Item(3)->ResourceTypeName(), QString("Printer"));
        // A share is not a container: it stays unloaded.
        QCOMPARE(srv1->Children().Item(1)->Children().Count(), 0);
        QVERIFY(!srv1->Children().Item(1)->loaded());
        NetResource *netware = root.Children().Item("NetWare");
        QCOMPARE(remoteNames(netware->Children()), QStringList({"\\\\NW1"}));
        QCOMPARE(remoteNames(netware->Children().Item(1)->Children()), QStringList({"\\\\NW1\\app"}));

        QCOMPARE(env->network->networkPath(net() + "/SRV1/app/DBS"), QString("\\\\SRV1\\app\\DBS"));
        QCOMPARE(env->network->networkPath(net() + "/NetWare.provider/NW1/app"), QString("\\\\NW1\\app"));
        QCOMPARE(env->network->networkPath("/elsewhere/app"), QString("/elsewhere/app"));
        // The same folder the drives map a UNC path to.
        QCOMPARE(env->drives->shareFolder(env->network->networkPath(net() + "/SRV3/app")), net() + "/SRV3/app");
    }

    void missingNetworkRootIsTriedAgain() {
        NetResource root;
        QCOMPARE(root.Children().Count(), 0);
        QVERIFY(!root.loaded());
        addShare(net(), "SRV1/app");
        QCOMPARE(root.Children().Count(), 1);
        QVERIFY(root.loaded());
    }

    // Only the Windows provider is walked; every share named exactly like the program folder
    // is found, as \\server\share.
    void searchWalksTheWindowsNetwork() {
        buildNetwork();
        ServerSearch search;
        QCOMPARE(search.find("app"), QStringList({"\\\\SRV1\\app", "\\\\SRV3\\app"}));
        const NetTree &tree = search.tree();
        QCOMPARE(tree.node(0).key, QString("_ROOT"));
        QCOMPARE(tree.node(0).text, QString("Entire Network"));
        QCOMPARE(tree.node(0).image, QString("root"));
        const NetTree::Node *srv1 = tree.find("\\\\SRV1");
        QVERIFY(srv1);
        QCOMPARE(srv1->text, QString("SRV1"));
        QCOMPARE(srv1->image, QString("server"));
        QCOMPARE(srv1->tag, QString("Y"));
        QVERIFY(srv1->expanded);
        QVERIFY(!tree.find("_FAKE\\\\SRV1"));
        QCOMPARE(tree.find("\\\\SRV1\\LaserJet")->image, QString("printer"));
        QVERIFY(!tree.find("_FAKE\\\\SRV1\\LaserJet")); // a printer never expands
        QCOMPARE(tree.find("_FAKE\\\\SRV1\\app")->text, QString("FAKE"));
        // The other provider keeps its placeholder and is not loaded.
        QCOMPARE(tree.find("NetWare")->tag, QString("N"));
        QVERIFY(tree.find("_FAKE" + QString("NetWare")));
        QVERIFY(!tree.find("\\\\NW1"));

        // The user may still open it; a second search starts over.
        search.expand("NetWare");
        QVERIFY(tree.find("\\\\NW1"));
        const int nodes = tree.count();
        QCOMPARE(search.find("app").size(), 2);
        QVERIFY(!tree.find("\\\\NW1"));
        QVERIFY(tree.count() < nodes);
    }

    void searchIsCaseSensitive() {
        addShare(net(), "SRV2/App");
        ServerSearch search;
        QCOMPARE(search.find("app"), QStringList());
        QCOMPARE(search.find("App"), QStringList({"\\\\SRV2\\App"}));
    }

    void pickTellsWhyNothingWasChosen() {
        QCOMPARE(ServerSearch::pick({"\\\\SRV1\\app"}, "app"), QString("\\\\SRV1\\app"));
        QVERIFY(env->prompter.boxes().isEmpty());
        QCOMPARE(ServerSearch::pick({}, "app"), QString());
        QCOMPARE(env->prompter.texts().last(), QString("네트워크상에서 서버를 찾을 수 없습니다.\r\n먼저, 서버 컴퓨터의 "
                                                       "해당 프로그램 폴더를 읽기/쓰기권한으로 공유하세요."
                                                       "\r\n\r\n찾을 공유명:app"));
        QCOMPARE(ServerSearch::pick({"\\\\SRV1\\app", "\\\\SRV3\\app"}, "app"), QString());
        QCOMPARE(env->prompter.texts().last(),
                 QString("네트워크상에 서버가 2개이상 존재합니다.\r\n사용하지 않는 서버는 공유를 제거해 "
                         "주세요.\r\n\r\n서버목록\r\n"
                         "=====================================\r\n\\\\SRV1\\app\r\n\\\\SRV3\\app"));
        env->prompter.clear();
    }
};

QTEST_MAIN(TestNetResource)
#include "tst_netresource.moc"
