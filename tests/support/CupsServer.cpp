#include "CupsServer.h"
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QStandardPaths>
#include <algorithm>
#include <csignal>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

// cupsd, lpadmin and friends live in sbin, which a test's PATH may lack.
QString findProgram(const QString &name) {
    QString found = QStandardPaths::findExecutable(name);
    if (found.isEmpty())
        found = QStandardPaths::findExecutable(name, {QStringLiteral("/usr/sbin"), QStringLiteral("/sbin")});
    return found;
}

int runTool(const QString &program, const QStringList &arguments, const QProcessEnvironment &env, QString *output,
            QProcess::ProcessChannelMode mode) {
    const QString path = findProgram(program);
    if (path.isEmpty()) {
        if (output)
            *output = program + QStringLiteral(": not found");
        return -1;
    }
    QProcess process;
    process.setProcessEnvironment(env);
    process.setProcessChannelMode(mode);
    process.start(path, arguments);
    if (!process.waitForFinished(30000)) {
        process.kill();
        process.waitForFinished(2000);
        if (output)
            *output = program + QStringLiteral(": did not finish");
        return -1;
    }
    if (output)
        *output = QString::fromUtf8(process.readAllStandardOutput());
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

QString shellQuoted(const QString &text) {
    QString quoted = text;
    quoted.replace(QLatin1Char('\''), QStringLiteral("'\\''"));
    return QLatin1Char('\'') + quoted + QLatin1Char('\'');
}

bool writeText(const QString &file, const QString &text) {
    QFile f(file);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(text.toUtf8()) == text.toUtf8().size();
}

// Debian keeps the scheduler's programs in /usr/lib/cups, other systems in /usr/libexec/cups.
QString systemServerBin() {
    for (const QString &dir : {QStringLiteral("/usr/lib/cups"), QStringLiteral("/usr/libexec/cups")})
        if (QFile::exists(dir + QStringLiteral("/daemon/cups-exec")))
            return dir;
    return {};
}

const char kBackend[] = R"(#!/bin/sh
# Without arguments CUPS asks which devices this backend offers.
[ $# -eq 0 ] && { echo 'direct pdfout "Unknown" "Private PDF output"'; exit 0; }
out=@OUT@
incoming="$out/.$1.incoming"
# A job handed over as a file is argument 6, otherwise it arrives on standard input.
if [ $# -ge 6 ]; then cat "$6"; else cat; fi > "$incoming" || exit 1
chmod 644 "$incoming"
# Renamed only when complete, so a waiting test never reads half a document.
mv "$incoming" "$out/$1.pdf"
)";

} // namespace

CupsServer::CupsServer(const QString &queue)
    : m_queue(queue), m_dir(QDir::tempPath() + QStringLiteral("/cups-XXXXXX")), m_root(m_dir.path()) {}

CupsServer::~CupsServer() { stop(); }

bool CupsServer::fail(const QString &why) {
    QStringList lines = errorLog().split(QLatin1Char('\n'));
    lines = lines.mid(std::max<qsizetype>(0, lines.size() - 40));
    QFile out(m_root + QStringLiteral("/cupsd.out"));
    const QString console = out.open(QIODevice::ReadOnly) ? QString::fromUtf8(out.readAll()) : QString();
    m_error = why + QStringLiteral("\n--- cupsd output:\n") + console + QStringLiteral("\n--- error_log:\n") +
              lines.join(QLatin1Char('\n'));
    stop();
    return false;
}

QString CupsServer::errorLog() const {
    QFile f(m_root + QStringLiteral("/log/error_log"));
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

bool CupsServer::writeFiles() {
    const QString bin = m_root + QStringLiteral("/bin");
    for (const char *sub : {"bin/backend", "spool", "tmp", "cache", "state", "log", "out", "ssl"})
        if (!QDir().mkpath(m_root + QLatin1Char('/') + QLatin1String(sub)))
            return false;
    // Filters or helpers the scheduler starts as user lp must be able to reach the folder.
    QFile::setPermissions(m_root, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup |
                                      QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther);

    // A private ServerBin: the system's programs plus one backend the system does not have.
    const QString system = systemServerBin();
    if (system.isEmpty())
        return false;
    for (const QString &entry : QDir(system).entryList(QDir::AllEntries | QDir::NoDotAndDotDot))
        if (entry != QLatin1String("backend"))
            QFile::link(system + QLatin1Char('/') + entry, bin + QLatin1Char('/') + entry);
    const QString systemBackends = system + QStringLiteral("/backend");
    for (const QString &entry : QDir(systemBackends).entryList(QDir::AllEntries | QDir::NoDotAndDotDot))
        QFile::link(systemBackends + QLatin1Char('/') + entry, bin + QStringLiteral("/backend/") + entry);

    const QString backend = bin + QStringLiteral("/backend/pdfout");
    if (!writeText(backend,
                   QString::fromLatin1(kBackend).replace(QStringLiteral("@OUT@"), shellQuoted(outputFolder()))))
        return false;
    // Only the owner may run it, which makes cupsd run it as root, able to write out/.
    QFile::setPermissions(backend, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    const QString conf = QStringLiteral("Listen %1\n"
                                        "Browsing No\n"
                                        "BrowseLocalProtocols none\n"
                                        "WebInterface No\n"
                                        "DefaultAuthType None\n"
                                        "ErrorPolicy abort-job\n"
                                        "LogLevel debug\n"
                                        "MaxLogSize 0\n"
                                        "<Location />\n"
                                        "  Order deny,allow\n"
                                        "</Location>\n"
                                        "<Policy default>\n"
                                        "  <Limit All>\n"
                                        "    Order deny,allow\n"
                                        "  </Limit>\n"
                                        "</Policy>\n")
                             .arg(socketPath());
    // Every path the scheduler would otherwise take from /etc, /var or /run.
    const QString files = QStringLiteral("ServerRoot %1\n"
                                         "ServerBin %1/bin\n"
                                         "RequestRoot %1/spool\n"
                                         "TempDir %1/tmp\n"
                                         "CacheDir %1/cache\n"
                                         "StateDir %1/state\n"
                                         "ServerKeychain %1/ssl\n"
                                         "CreateSelfSignedCerts no\n"
                                         "Printcap %1/printcap\n"
                                         "ErrorLog %1/log/error_log\n"
                                         "AccessLog %1/log/access_log\n"
                                         "PageLog %1/log/page_log\n"
                                         "SystemGroup root\n")
                              .arg(m_root);
    return writeText(m_root + QStringLiteral("/cupsd.conf"), conf) &&
           writeText(m_root + QStringLiteral("/cups-files.conf"), files);
}

bool CupsServer::waitUntilAnswering(int timeoutMs) {
    const QByteArray path = QFile::encodeName(socketPath());
    QDeadlineTimer deadline(timeoutMs);
    for (;;) {
        const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (fd < 0)
            return false;
        sockaddr_un addr{};
        addr.sun_family = AF_UNIX;
        memcpy(addr.sun_path, path.constData(), path.size());
        const bool connected = ::connect(fd, reinterpret_cast<sockaddr *>(&addr), sizeof addr) == 0;
        ::close(fd);
        if (connected)
            return true;
        // Doubles as the pause between tries and notices a daemon that gave up.
        if (m_process.waitForFinished(25) || m_process.state() == QProcess::NotRunning || deadline.hasExpired())
            return false;
    }
}

bool CupsServer::start(int timeoutMs) {
    m_error.clear();
    if (isRunning())
        return true;
    if (!m_dir.isValid())
        return fail(QStringLiteral("no temporary folder: ") + m_dir.errorString());
    if (QFile::encodeName(socketPath()).size() >= qsizetype(sizeof(sockaddr_un::sun_path)))
        return fail(QStringLiteral("socket path too long: ") + socketPath());
    const QString cupsd = findProgram(QStringLiteral("cupsd"));
    if (cupsd.isEmpty())
        return fail(QStringLiteral("cupsd not found (package cups)"));
    if (!writeFiles())
        return fail(QStringLiteral("could not write the configuration in ") + m_root);
    // AppArmor confines /usr/sbin/cupsd to the system's folders; a copy elsewhere runs unconfined.
    const QString privateCupsd = m_root + QStringLiteral("/cupsd");
    if (!QFile::copy(cupsd, privateCupsd) ||
        !QFile::setPermissions(privateCupsd, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner))
        return fail(QStringLiteral("could not copy ") + cupsd);

    m_process.setProgram(privateCupsd);
    m_process.setArguments({QStringLiteral("-f"), QStringLiteral("-c"), m_root + QStringLiteral("/cupsd.conf"),
                            QStringLiteral("-s"), m_root + QStringLiteral("/cups-files.conf")});
    m_process.setStandardInputFile(QProcess::nullDevice());
    m_process.setProcessChannelMode(QProcess::MergedChannels);
    m_process.setStandardOutputFile(m_root + QStringLiteral("/cupsd.out"));
    // A crashed or killed test must not leave its daemon behind.
    m_process.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
    m_process.start();
    if (!m_process.waitForStarted(5000))
        return fail(QStringLiteral("cupsd did not start: ") + m_process.errorString());
    if (!waitUntilAnswering(timeoutMs))
        return fail(QStringLiteral("cupsd does not answer on ") + socketPath());

    QString out;
    if (runClient(
            QStringLiteral("lpadmin"),
            {QStringLiteral("-p"), m_queue, QStringLiteral("-E"), QStringLiteral("-v"), QStringLiteral("pdfout:/")},
            &out) != 0)
        return fail(QStringLiteral("lpadmin could not add the queue: ") + out);
    if (runClient(QStringLiteral("lpadmin"), {QStringLiteral("-d"), m_queue}, &out) != 0)
        return fail(QStringLiteral("lpadmin could not make the queue the default: ") + out);
    return true;
}

void CupsServer::stop(int graceMs) {
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.terminate();
    if (!m_process.waitForFinished(graceMs)) {
        m_process.kill();
        m_process.waitForFinished(2000);
    }
}

QStringList CupsServer::outputFiles() const {
    QFileInfoList found = QDir(outputFolder()).entryInfoList({QStringLiteral("*.pdf")}, QDir::Files);
    std::sort(found.begin(), found.end(), [](const QFileInfo &a, const QFileInfo &b) {
        return a.completeBaseName().toInt() < b.completeBaseName().toInt();
    });
    QStringList files;
    for (const QFileInfo &info : found)
        files << info.absoluteFilePath();
    return files;
}

QStringList CupsServer::waitForOutput(int count, int timeoutMs) const {
    QDeadlineTimer deadline(timeoutMs);
    QStringList files = outputFiles();
    while (files.size() < count && !deadline.hasExpired()) {
        ::usleep(20000);
        files = outputFiles();
    }
    return files;
}

void CupsServer::clearOutput() const {
    for (const QString &file : outputFiles())
        QFile::remove(file);
}

int CupsServer::runClient(const QString &program, const QStringList &arguments, QString *output) const {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("CUPS_SERVER"), socketPath());
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C"));
    return runTool(program, arguments, env, output, QProcess::MergedChannels);
}

namespace {
QRegularExpressionMatch pdfInfoLine(const QString &pdf, const QString &pattern) {
    QString out;
    if (runTool(QStringLiteral("pdfinfo"), {pdf}, QProcessEnvironment::systemEnvironment(), &out,
                QProcess::SeparateChannels) != 0)
        return {};
    return QRegularExpression(pattern, QRegularExpression::MultilineOption).match(out);
}
} // namespace

int pdfPageCount(const QString &pdf) {
    const QRegularExpressionMatch m = pdfInfoLine(pdf, QStringLiteral("^Pages:\\s+(\\d+)\\s*$"));
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

QSizeF pdfPageSize(const QString &pdf) {
    const QRegularExpressionMatch m = pdfInfoLine(pdf, QStringLiteral("^Page size:\\s+([\\d.]+) x ([\\d.]+) pts"));
    return m.hasMatch() ? QSizeF(m.captured(1).toDouble(), m.captured(2).toDouble()) : QSizeF();
}

QString pdfText(const QString &pdf, int page) {
    QStringList args{QStringLiteral("-layout"), QStringLiteral("-enc"), QStringLiteral("UTF-8")};
    if (page > 0)
        args << QStringLiteral("-f") << QString::number(page) << QStringLiteral("-l") << QString::number(page);
    args << pdf << QStringLiteral("-");
    QString out;
    if (runTool(QStringLiteral("pdftotext"), args, QProcessEnvironment::systemEnvironment(), &out,
                QProcess::SeparateChannels) != 0)
        return {};
    // A page without text is still a success, unlike a failed tool.
    return out.isNull() ? QStringLiteral("") : out;
}
