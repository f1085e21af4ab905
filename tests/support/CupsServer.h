#pragma once
#include <QProcess>
#include <QSizeF>
#include <QStringList>
#include <QTemporaryDir>

// A private cupsd in a temporary folder: it listens on a Unix socket there and nowhere else,
// and has one raw queue, the default destination, whose backend copies each job's document
// unchanged into outputFolder() as <job id>.pdf. The daemon stops when the object goes away.
//
// libcups remembers its server from the first call in a process, so put socketPath() into
// CUPS_SERVER before anything prints and use one server per test process for in-process
// printing (client tools started through runClient() are not affected).
class CupsServer {
public:
    explicit CupsServer(const QString &queue = QStringLiteral("TestPDF"));
    ~CupsServer();
    CupsServer(const CupsServer &) = delete;
    CupsServer &operator=(const CupsServer &) = delete;

    // Writes the configuration, starts cupsd, waits until it answers and adds the queue.
    // On failure errorString() says why, with the end of the daemon's log.
    bool start(int timeoutMs = 15000);
    // Asks the daemon to quit and kills it when it has not after graceMs.
    void stop(int graceMs = 5000);
    bool isRunning() const { return m_process.state() != QProcess::NotRunning; }
    qint64 processId() const { return m_process.processId(); }
    QString errorString() const { return m_error; }

    QString socketPath() const { return m_root + QStringLiteral("/cups.sock"); }
    QString queueName() const { return m_queue; }
    QString outputFolder() const { return m_root + QStringLiteral("/out"); }
    QString errorLog() const;

    // Documents the queue has written, oldest job first.
    QStringList outputFiles() const;
    // outputFiles() once there are at least count of them, or whatever there is at the timeout.
    QStringList waitForOutput(int count, int timeoutMs = 10000) const;
    void clearOutput() const;

    // Runs a CUPS client program (lp, lpstat, lpadmin, ...) against this server; -1 when it
    // cannot be started or does not finish. Standard output and error go to *output.
    int runClient(const QString &program, const QStringList &arguments, QString *output = nullptr) const;

private:
    bool fail(const QString &why);
    bool writeFiles();
    bool waitUntilAnswering(int timeoutMs);

    QString m_queue;
    QTemporaryDir m_dir;
    QString m_root;
    QProcess m_process;
    QString m_error;
};

// Poppler's pdfinfo page count; -1 when the tool fails.
int pdfPageCount(const QString &pdf);
// Poppler's pdfinfo size of the first page in points; empty when the tool fails.
QSizeF pdfPageSize(const QString &pdf);
// Poppler's pdftotext -layout, all pages for page 0; a null string when the tool fails.
QString pdfText(const QString &pdf, int page = 0);
