#pragma once
#include "Clock.h"
#include "NetDrives.h"
#include "NetworkBrowser.h"
#include "RecordingShell.h"
#include "Schema.h"
#include "ScriptedPrompter.h"
#include "ServerConnection.h"
#include <QSqlDatabase>
#include <QTemporaryDir>
#include <memory>

// A fresh world for one test: temporary application folder and settings root, scripted
// prompter, recording shell, a clock fixed at 2024-05-15 10:30:00, portable network drives
// and network browsing over <root>/network, empty program-wide state. Installs itself on
// construction and undoes it on destruction.
class TestEnv {
public:
    TestEnv();
    ~TestEnv();
    TestEnv(const TestEnv &) = delete;
    TestEnv &operator=(const TestEnv &) = delete;

    QString appFolder() const;
    QString root() const { return m_dir.path(); }
    // Creates DBS/dbMain.db with the schema and seed rows and opens the shared connection.
    // Where the run's cases go to the private server (TestServer::enabled), it is a fresh
    // database there instead, stored in the settings as the setup window would.
    bool openFreshDatabase();
    // Opens the same database again as the shared connection.
    bool reopenDatabase(const QString &password = Schema::kPassword, bool readOnly = false, bool sqlLog = false);
    // A second connection of the test's own to the same database, not yet opened.
    QSqlDatabase addOtherConnection(const QString &name) const;
    // The statement another program starts a transaction with that locks writers out.
    static QString beginExclusiveSql();
    static bool onServer();
    QString databaseFile() const;
    ServerConnection server; // the fresh server database, when on the server
    // Fails the running test when the prompter saw a box nobody scripted.
    bool noUnexpectedBoxes() const;
    // Points the companion-program lookup at an empty folder (returned) until destruction.
    QString hideTools();

    ScriptedPrompter prompter;
    RecordingShell shell;
    FixedClock clock;
    std::unique_ptr<FolderNetDrives> drives;
    std::unique_ptr<FolderNetworkBrowser> network;

private:
    QTemporaryDir m_dir;
    QByteArray m_toolsDir;
};
