#pragma once
#include "ServerSearch.h"
#include <QDialog>
#include <QHash>
#include <array>

class QCheckBox;
class QFrame;
class ServerDbBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTreeWidget;
class QTreeWidgetItem;

// Makes this PC the server of the shared database or a client of the server's shared
// program folder, mapped to a drive letter. What it stores takes effect at the next start.
class FrmTool_NTSetup : public QDialog {
    Q_OBJECT
public:
    explicit FrmTool_NTSetup(QWidget *parent = nullptr);

    std::array<QRadioButton *, 3> optCSType{};
    ServerDbBox *FraDbServer = nullptr;
    std::array<QLineEdit *, 2> txtInput{}; // server path, network drive
    std::array<QLabel *, 2> lblInput{};
    QLabel *lblPathExample = nullptr;
    QLabel *lblDriveExample = nullptr;
    QCheckBox *chkAutoFindSvr = nullptr;
    QPushButton *btnPath = nullptr;
    QPushButton *btnAutoNTDrv = nullptr;
    QCheckBox *chkAdven = nullptr;
    QFrame *FraSvrSetup = nullptr;
    QTreeWidget *tvwNetwork = nullptr;
    QLabel *lblStatus = nullptr;
    QPushButton *btnSave = nullptr;
    QPushButton *btnClose = nullptr;

    void optCSType_Click(int index);
    void chkAdven_Click();
    void btnPath_Click();
    void btnAutoNTDrv_Click();
    void btnSave_Click();

    int fullHeight() const { return m_fullHeight; }
    int collapsedHeight() const;
    const ServerSearch &search() const { return m_search; }

protected:
    bool eventFilter(QObject *watched, QEvent *e) override;

private:
    void buildControls();
    void Form_Load();
    void enableInputs(bool on);
    void txtServerPath_Change();
    void mirrorTree();

    ServerSearch m_search;
    QHash<QString, QTreeWidgetItem *> m_items;
    QWidget *m_frameGap = nullptr;
    int m_fullHeight = 0;
    int m_frameHeight = 0;
};
