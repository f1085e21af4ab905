#pragma once
#include <QDialog>
#include <QPointer>

class QCheckBox;
class QListWidget;
class Spread;

// Ticks which visible columns of a grid its window prints in reports; "저장" keeps the
// choice in the window's layout file.
class FrmSprRPTCol : public QDialog {
    Q_OBJECT
public:
    explicit FrmSprRPTCol(QWidget *parent = nullptr);

    void SetParam(QWidget *Frm, Spread *sp);
    void chkAll_Click();
    void cmdSave_Click();
    void cmdClose_Click();
    bool changed() const { return m_changed; }

    QListWidget *List1 = nullptr;
    QCheckBox *chkAll = nullptr;

protected:
    void closeEvent(QCloseEvent *event) override;
    void reject() override;

private:
    QString layoutFile() const;

    QPointer<QWidget> m_window;
    QPointer<Spread> m_grid;
    bool m_changed = false;
    bool m_closing = false;
};
