#pragma once
#include <QDialog>
#include <QPixmap>
#include <array>

class QHBoxLayout;
class QPushButton;

// The question shown when the main window closes: back up to the server, back up to this
// PC, close without a backup, or stay.
class frmMsgBackUp final : public QDialog {
    Q_OBJECT
public:
    enum ResultCode : qint16 { ToServer = 0, ToThisPC = 1, CloseWithoutBackUp = 2, StayOpen = 3 };

    explicit frmMsgBackUp(QWidget *parent = nullptr);

    // StayOpen until a button is clicked; closing the window any other way keeps it.
    qint16 Result() const { return m_result; }
    void setPicture(const QPixmap &picture);
    QPushButton *cmdResult(int index) const { return m_cmdResult.at(size_t(index)); }

public Q_SLOTS:
    void cmdResult_Click(int index);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    std::array<QPushButton *, 4> m_cmdResult{};
    QHBoxLayout *m_buttonRow = nullptr;
    QPixmap m_picture;
    qint16 m_result = StayOpen;
};
