#pragma once
#include "BackupRun.h"
#include <QWidget>

class QLabel;
class QPushButton;

// The backup program's window: what it is doing, then the result until the user closes it
// (the button, Enter or Esc). While it works, the button, Esc or closing the window cancels.
class WindowReporter final : public Reporter {
public:
    WindowReporter();
    void status(const QString &text) override;
    bool confirm(const QString &text) override;
    QString chooseArchive(const QString &folder) override;
    bool cancelled() override;
    void finished(bool ok, const QString &text) override;

    QWidget *window() { return &m_window; }
    QPushButton *button() const { return m_button; }

private:
    QWidget m_window;
    QLabel *m_text = nullptr;
    QPushButton *m_button = nullptr;
    void showWindow();
    bool m_cancelled = false, m_done = false, m_shown = false;
};
