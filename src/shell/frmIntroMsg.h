#pragma once
#include <QDialog>

class QCheckBox;
class QPushButton;

// The notice shown after the login until the user asks not to see it again.
class frmIntroMsg : public QDialog {
    Q_OBJECT
public:
    explicit frmIntroMsg(QWidget *parent = nullptr);
    QPushButton *btnClose = nullptr;
    QCheckBox *Check1 = nullptr;

protected:
    // Enter and Esc close it; other keys do nothing (Space would tick "더이상 보지않기").
    bool eventFilter(QObject *watched, QEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;
};
