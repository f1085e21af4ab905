#include "WindowReporter.h"
#include "WindowFit.h"
#include <QApplication>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

namespace {
const QString kTitle = QStringLiteral("데이터압축");
} // namespace

WindowReporter::WindowReporter() {
    m_window.setWindowTitle(kTitle);
    m_window.setMinimumWidth(420);
    auto *layout = new QVBoxLayout(&m_window);
    m_text = new QLabel(&m_window);
    m_text->setWordWrap(true);
    m_text->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_button = new QPushButton(QStringLiteral("취소"), &m_window);
    // Enter must not cancel a backup under way; only the result takes it.
    m_button->setAutoDefault(false);
    layout->addWidget(m_text);
    layout->addWidget(m_button, 0, Qt::AlignRight);
    QObject::connect(m_button, &QPushButton::clicked, &m_window, [this] {
        m_cancelled = true;
        if (m_done)
            m_window.close();
    });
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
        auto *shortcut = new QShortcut(QKeySequence(key), &m_window);
        QObject::connect(shortcut, &QShortcut::activated, &m_window, [this, key] {
            if (m_done)
                m_window.close(); // the program ends with its window
            else if (key == Qt::Key_Escape)
                m_cancelled = true;
        });
    }
}

void WindowReporter::status(const QString &text) {
    m_text->setText(text);
    showWindow();
    QApplication::processEvents();
}

bool WindowReporter::confirm(const QString &text) {
    return QMessageBox::question(&m_window, kTitle, text) == QMessageBox::Yes;
}

QString WindowReporter::chooseArchive(const QString &folder) {
    // The window it belongs to is not shown yet: the chooser is placed on the screen itself.
    QFileDialog chooser(&m_window, QStringLiteral("복원할 백업 파일"), folder, QStringLiteral("백업 파일 (*.zip)"));
    chooser.setFileMode(QFileDialog::ExistingFile);
    WindowFit::centre(&chooser, m_window.isVisible() ? &m_window : nullptr);
    return chooser.exec() == QDialog::Accepted ? chooser.selectedFiles().value(0) : QString();
}

bool WindowReporter::cancelled() { return m_cancelled || (m_window.isHidden() && m_shown); }

void WindowReporter::finished(bool ok, const QString &text) {
    m_done = true;
    m_text->setText(text);
    m_text->setStyleSheet(ok ? QString() : QStringLiteral("color: #B00000;"));
    m_button->setText(QStringLiteral("닫기"));
    m_button->setFocus();
    showWindow();
}

void WindowReporter::showWindow() {
    // A longer text, or a path that cannot wrap, makes the window grow to show it whole.
    m_window.adjustSize();
    if (!m_shown)
        WindowFit::centre(&m_window);
    m_window.show();
    m_shown = true;
}
