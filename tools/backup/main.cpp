// The backup program "데이터압축". Started by the program as it closes, it waits until the
// program has ended, zips the database folder (read back before it counts) and shows the
// result. With --restore [archive] it puts an archive back, keeping the replaced files.
//
//   데이터압축 [SERVERUP|AS|HDDAUTO] [--restore [archive] [--yes]] [--no-window]
//              [--wait-lock file] [--wait-seconds n] [--app-folder dir] [--settings-root dir]
//
// The database folder comes from the settings ("Backup" / "DB경로" / "경로"); the program's
// lock file from "Backup" / "Program" / "LockFile" unless --wait-lock names it.
#include "AppPaths.h"
#include "BackupRun.h"
#include "QtKorean.h"
#include <QApplication>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTextStream>
#include <QVBoxLayout>
#include <cstring>
#include <memory>

namespace {

const QString kTitle = QStringLiteral("데이터압축");

class ConsoleReporter final : public Reporter {
public:
    void status(const QString &text) override { QTextStream(stdout) << text << Qt::endl; }
    bool confirm(const QString &) override { return false; } // only --yes confirms
    QString chooseArchive(const QString &) override { return {}; }
    bool cancelled() override { return false; }
    void finished(bool ok, const QString &text) override {
        QTextStream(ok ? stdout : stderr) << text << Qt::endl;
    }
};

class WindowReporter final : public Reporter {
public:
    WindowReporter() {
        m_window.setWindowTitle(kTitle);
        m_window.setMinimumWidth(420);
        auto *layout = new QVBoxLayout(&m_window);
        m_text = new QLabel(&m_window);
        m_text->setWordWrap(true);
        m_text->setTextInteractionFlags(Qt::TextSelectableByMouse);
        m_button = new QPushButton(QStringLiteral("취소"), &m_window);
        layout->addWidget(m_text);
        layout->addWidget(m_button, 0, Qt::AlignRight);
        QObject::connect(m_button, &QPushButton::clicked, [this] {
            m_cancelled = true;
            if (m_done)
                m_window.close();
        });
    }
    void status(const QString &text) override {
        m_text->setText(text);
        m_window.show();
        m_shown = true;
        QApplication::processEvents();
    }
    bool confirm(const QString &text) override {
        return QMessageBox::question(&m_window, kTitle, text) == QMessageBox::Yes;
    }
    QString chooseArchive(const QString &folder) override {
        return QFileDialog::getOpenFileName(&m_window, QStringLiteral("복원할 백업 파일"), folder,
                                            QStringLiteral("백업 파일 (*.zip)"));
    }
    bool cancelled() override { return m_cancelled || (m_window.isHidden() && m_shown); }
    void finished(bool ok, const QString &text) override {
        m_done = true;
        m_text->setText(text);
        m_text->setStyleSheet(ok ? QString() : QStringLiteral("color: #B00000;"));
        m_button->setText(QStringLiteral("닫기"));
        m_window.show();
    }

private:
    QWidget m_window;
    QLabel *m_text = nullptr;
    QPushButton *m_button = nullptr;
    bool m_cancelled = false, m_done = false, m_shown = false;
};

bool hasOption(int argc, char *argv[], const char *name) {
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], name) == 0)
            return true;
    return false;
}

} // namespace

int main(int argc, char *argv[]) {
    const bool window = !hasOption(argc, argv, "--no-window");
    std::unique_ptr<QCoreApplication> app;
    if (window) {
        app = std::make_unique<QApplication>(argc, argv);
        InstallQtKorean();
    } else
        app = std::make_unique<QCoreApplication>(argc, argv);
    AppPaths::initFromArguments(QCoreApplication::arguments());

    std::unique_ptr<Reporter> reporter;
    if (window)
        reporter = std::make_unique<WindowReporter>();
    else
        reporter = std::make_unique<ConsoleReporter>();
    const RunOptions options = RunOptions::parse(QCoreApplication::arguments());
    int code = 2;
    if (!options.error.isEmpty())
        reporter->finished(false, options.error);
    else
        code = options.restore ? runRestore(options, *reporter) : runBackup(options, *reporter);
    if (window)
        app->exec(); // the result stays until the user closes it
    return code;
}
