#include "FrmTool_NTSetup.h"
#include "AppState.h"
#include "FloatMsg.h"
#include "Messages.h"
#include "NetSetupSettings.h"
#include "NetTreePictures.h"
#include "NetworkBrowser.h"
#include "Prompter.h"
#include "ServerDbBox.h"
#include "VbUnits.h"
#include "modFrmCtrl.h"
#include "modNTDrv.h"
#include "modOptionBtn.h"
#include <QApplication>
#include <QCheckBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

namespace {
// The gap between the upper part and the advanced frame, which goes with the frame.
const int kFrameGap = VbUnits::twipsToPx(100);

QPushButton *button(QWidget *parent, const char *name, const QString &caption) {
    auto *b = NameControl(new QPushButton(caption, parent), QString::fromLatin1(name));
    // Enter in the boxes moves to the next box, never presses a default button.
    b->setAutoDefault(false);
    return b;
}
} // namespace

FrmTool_NTSetup::FrmTool_NTSetup(QWidget *parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FrmTool_NTSetup"));
    setWindowTitle(QStringLiteral("네트워크 설정"));
    setMinimumWidth(VbUnits::twipsToPx(6600));
    buildControls();
    SetFormStyle(this, true);
    Form_Load();
}

void FrmTool_NTSetup::buildControls() {
    optCSType[0] = NameControl(new QRadioButton(QStringLiteral("&1. 서 버 - 자료가 저장되는 메인 컴퓨터"), this),
                               QStringLiteral("optCSType"), 0);
    optCSType[1] = NameControl(new QRadioButton(QStringLiteral("&2.클라이언트 - 서버에 접속하는 컴퓨터"), this),
                               QStringLiteral("optCSType"), 1);
    optCSType[2] = NameControl(new QRadioButton(QStringLiteral("&3. DB 서버 - PostgreSQL 서버에 접속"), this),
                               QStringLiteral("optCSType"), 2);
    FraDbServer = new ServerDbBox(this);
    for (QLineEdit *box : FraDbServer->txtServer)
        box->installEventFilter(this);
    chkAutoFindSvr = NameControl(new QCheckBox(QStringLiteral("네트워크에서 서버 자동검색"), this),
                                 QStringLiteral("chkAutoFindSvr"));
    chkAdven = NameControl(new QCheckBox(QStringLiteral("고급설정(▼)"), this), QStringLiteral("chkAdven"));
    lblStatus =
        NameControl(new QLabel(QStringLiteral("네트워크에서 서버 자동 검색중..."), this), QStringLiteral("lblStatus"));
    lblStatus->setStyleSheet(QStringLiteral("color: #1f5fbf; font-weight: bold;"));
    lblStatus->hide();
    btnSave = button(this, "btnSave", QStringLiteral("저장(&S)"));
    btnClose = button(this, "btnClose", QStringLiteral("닫기(&C)"));

    FraSvrSetup = NameControl(new QFrame(this), QStringLiteral("FraSvrSetup"));
    FraSvrSetup->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    lblInput[0] = NameControl(new QLabel(QStringLiteral("서버 경로:"), FraSvrSetup), QStringLiteral("lblInput"), 0);
    lblInput[1] = NameControl(new QLabel(QStringLiteral("네트웍 Drive:"), FraSvrSetup), QStringLiteral("lblInput"), 1);
    lblPathExample = NameControl(
        new QLabel(QStringLiteral("예)  \\\\서버컴퓨터이름\\") + NetSetupSettings::shareName(), FraSvrSetup),
        QStringLiteral("lblPathExample"));
    lblDriveExample =
        NameControl(new QLabel(QStringLiteral("입력예)  H:"), FraSvrSetup), QStringLiteral("lblDriveExample"));
    for (int i = 0; i < 2; ++i) {
        txtInput[size_t(i)] = NameControl(new QLineEdit(FraSvrSetup), QStringLiteral("txtInput"), i);
        txtInput[size_t(i)]->installEventFilter(this);
    }
    txtInput[1]->setMaxLength(2);
    txtInput[1]->setFixedWidth(fontMetrics().horizontalAdvance(QStringLiteral("WW:")) + 16);
    btnPath = button(FraSvrSetup, "btnPath", QStringLiteral("경로설정"));
    btnAutoNTDrv = button(FraSvrSetup, "btnAutoNTDrv", QStringLiteral("자동연결"));
    tvwNetwork = NameControl(new QTreeWidget(FraSvrSetup), QStringLiteral("tvwNetwork"));
    tvwNetwork->setHeaderHidden(true);
    tvwNetwork->setIconSize(QSize(16, 16));
    tvwNetwork->setMinimumHeight(VbUnits::twipsToPx(3200));

    auto *frame = new QGridLayout(FraSvrSetup);
    frame->addWidget(lblInput[0], 0, 0);
    frame->addWidget(txtInput[0], 0, 1, 1, 2);
    frame->addWidget(btnPath, 0, 3);
    frame->addWidget(lblPathExample, 1, 1, 1, 3);
    frame->addWidget(lblInput[1], 2, 0);
    frame->addWidget(txtInput[1], 2, 1);
    frame->addWidget(lblDriveExample, 2, 2);
    frame->addWidget(btnAutoNTDrv, 2, 3);
    frame->addWidget(tvwNetwork, 3, 0, 1, 4);
    frame->setColumnStretch(2, 1);

    auto *autoFind = new QHBoxLayout;
    autoFind->addSpacing(VbUnits::twipsToPx(300));
    autoFind->addWidget(chkAutoFindSvr);
    autoFind->addStretch(1);
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(chkAdven);
    bottom->addStretch(1);
    bottom->addWidget(lblStatus);
    bottom->addWidget(btnSave);
    bottom->addWidget(btnClose);
    // No spacing of the layout's own: the gap above the frame comes and goes with the frame,
    // so that folding takes exactly the frame's height and the gap.
    m_frameGap = new QWidget(this);
    m_frameGap->setFixedHeight(kFrameGap);
    auto *lay = new QVBoxLayout(this);
    lay->setSpacing(0);
    lay->addWidget(optCSType[0]);
    lay->addSpacing(6);
    lay->addWidget(optCSType[1]);
    lay->addSpacing(6);
    lay->addLayout(autoFind);
    lay->addSpacing(6);
    lay->addWidget(optCSType[2]);
    lay->addSpacing(6);
    lay->addWidget(FraDbServer);
    lay->addSpacing(6);
    lay->addLayout(bottom);
    lay->addWidget(m_frameGap);
    lay->addWidget(FraSvrSetup);

    for (int i = 0; i < 3; ++i)
        connect(optCSType[size_t(i)], &QRadioButton::clicked, this, [this, i] { optCSType_Click(i); });
    // Ticking the search gives up the typed path; the user's own click also decides the boxes.
    connect(chkAutoFindSvr, &QCheckBox::toggled, this, [this](bool on) {
        if (on)
            txtInput[0]->clear();
    });
    connect(chkAutoFindSvr, &QCheckBox::clicked, this, [this] {
        optCSType_Click(GetSelOptionIdx({optCSType[0], optCSType[1], optCSType[2]}));
    });
    connect(txtInput[0], &QLineEdit::textChanged, this, [this] { txtServerPath_Change(); });
    connect(chkAdven, &QCheckBox::clicked, this, [this] { chkAdven_Click(); });
    connect(btnPath, &QPushButton::clicked, this, [this] { btnPath_Click(); });
    connect(btnAutoNTDrv, &QPushButton::clicked, this, [this] { btnAutoNTDrv_Click(); });
    connect(btnSave, &QPushButton::clicked, this, [this] { btnSave_Click(); });
    connect(btnClose, &QPushButton::clicked, this, &QDialog::reject);
    connect(tvwNetwork, &QTreeWidget::itemExpanded, this,
            [this](QTreeWidgetItem *item) { m_search.expand(item->data(0, Qt::UserRole).toString()); });
    mirrorTree();
}

void FrmTool_NTSetup::mirrorTree() {
    NetTree::Observer &o = m_search.tree().observer;
    o.cleared = [this] {
        m_items.clear();
        tvwNetwork->clear();
    };
    o.added = [this](const NetTree::Node &n) {
        QTreeWidgetItem *parent = m_items.value(n.parentKey);
        auto *item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(tvwNetwork);
        item->setText(0, n.text);
        item->setIcon(0, NetTreePictures::picture(n.image));
        item->setData(0, Qt::UserRole, n.key);
        m_items.insert(n.key, item);
    };
    o.removed = [this](const QString &key) { delete m_items.take(key); };
    o.expanded = [this](const QString &key) {
        if (QTreeWidgetItem *item = m_items.value(key))
            item->setExpanded(true);
    };
}

void FrmTool_NTSetup::Form_Load() {
    resize(sizeHint());
    m_fullHeight = height();
    // The frame's laid-out height at full size; its geometry is not set before the first show.
    m_frameHeight = FraSvrSetup->sizeHint().height();
    setFixedWidth(width());
    FraSvrSetup->hide();
    m_frameGap->hide();
    setFixedHeight(collapsedHeight());

    const NetSetupSettings::Stored stored = NetSetupSettings::load();
    // An empty path is what the search fills in: start with the search ticked.
    chkAutoFindSvr->setChecked(stored.serverPath.isEmpty());
    txtInput[0]->setText(stored.serverPath);
    txtInput[1]->setText(stored.drive);
    FraDbServer->load(ServerConnection::load());
    optCSType[size_t(stored.csType)]->setChecked(true);
    optCSType_Click(stored.csType);
    if (!txtInput[1]->text().isEmpty())
        btnAutoNTDrv->setEnabled(false);
}

int FrmTool_NTSetup::collapsedHeight() const { return m_fullHeight - m_frameHeight - kFrameGap; }

void FrmTool_NTSetup::enableInputs(bool on) {
    FraSvrSetup->setEnabled(on);
    const QColor back = QApplication::palette().color(QPalette::Active, on ? QPalette::Base : QPalette::Button);
    for (QLineEdit *box : txtInput) {
        box->setEnabled(on);
        QPalette pal = box->palette();
        for (QPalette::ColorGroup g : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
            pal.setColor(g, QPalette::Base, back);
        box->setPalette(pal);
    }
}

void FrmTool_NTSetup::optCSType_Click(int index) {
    const bool client = index == NetSetupSettings::kClient;
    enableInputs(client && !chkAutoFindSvr->isChecked());
    chkAutoFindSvr->setEnabled(client);
    FraDbServer->setEnabled(index == NetSetupSettings::kDbServer);
}

void FrmTool_NTSetup::txtServerPath_Change() {
    if (isVisible())
        chkAutoFindSvr->setChecked(txtInput[0]->text().isEmpty());
}

void FrmTool_NTSetup::chkAdven_Click() {
    FraSvrSetup->setVisible(chkAdven->isChecked());
    m_frameGap->setVisible(chkAdven->isChecked());
    setFixedHeight(chkAdven->isChecked() ? m_fullHeight : collapsedHeight());
}

void FrmTool_NTSetup::btnPath_Click() {
    const QString chosen = prompter().folder(QStringLiteral("서버 경로 설정(서버내『") + AppState::title() +
                                                 QStringLiteral("』폴더를 선택하세요.)"),
                                             QString());
    const QString path = chosen.section(QChar(0), 0, 0);
    txtInput[0]->setText(path.isEmpty() ? QString() : networkBrowser().networkPath(path));
    txtInput[1]->clear();
    btnAutoNTDrv->setEnabled(true);
}

void FrmTool_NTSetup::btnAutoNTDrv_Click() {
    if (txtInput[0]->text().isEmpty()) {
        MsgInfo(QStringLiteral("서버경로를 먼저 입력하세요."));
        return;
    }
    const QString drive = modNTDrv::ConnectNetDrive(txtInput[0]->text().trimmed(), QString(), QString(), true);
    if (drive.isEmpty())
        return;
    ShowFloatMsg(drive + QStringLiteral("\\ 드라이브로 네트워크 드라이브 연결이 되었습니다."), 500);
    txtInput[1]->setText(drive);
    btnAutoNTDrv->setEnabled(false);
}

void FrmTool_NTSetup::btnSave_Click() {
    const int csType = GetSelOptionIdx({optCSType[0], optCSType[1], optCSType[2]});
    if (csType == NetSetupSettings::kDbServer) {
        const std::optional<ServerConnection> server = FraDbServer->completeConnection();
        if (!server)
            return;
        if (!server->save()) {
            MsgWarn(QStringLiteral("설정을 저장하지 못했습니다.\r\n파일에 쓸 수 있는지 확인하세요."));
            return;
        }
    } else if (csType == NetSetupSettings::kClient) {
        if (txtInput[0]->text().isEmpty() || chkAutoFindSvr->isChecked()) {
            txtInput[0]->clear();
            txtInput[1]->clear();
            lblStatus->show();
            repaint();
            QApplication::setOverrideCursor(Qt::WaitCursor);
            const QString share = NetSetupSettings::shareName();
            const QStringList matches = m_search.find(share);
            QApplication::restoreOverrideCursor();
            lblStatus->hide();
            // The pointer is back before a message about the result appears.
            const QString found = ServerSearch::pick(matches, share);
            txtInput[0]->setText(found);
            if (!found.isEmpty())
                btnAutoNTDrv_Click();
            if (txtInput[1]->text().isEmpty())
                return;
        }
        if (CheckRequired(txtInput[0], QStringLiteral("서버경로")) ||
            CheckRequired(txtInput[1], QStringLiteral("네트웍 Drive")))
            return;
    }
    if (!NetSetupSettings::save(csType, txtInput[0]->text().trimmed(), txtInput[1]->text().trimmed()))
        return;
    ShowFloatMsg(QStringLiteral("설정이 저장되었습니다."), 500);
    MsgInfo(QStringLiteral("설정이 저장되었습니다.\r\n프로그램을 다시 시작해야 정상적으로 적용됩니다.\r\n\r\n"
                           "프로그램을 종료후 다시 시작하세요."));
    accept();
}

bool FrmTool_NTSetup::eventFilter(QObject *watched, QEvent *e) {
    const auto &server = FraDbServer->txtServer;
    if (watched == txtInput[0] || watched == txtInput[1] ||
        std::find(server.begin(), server.end(), watched) != server.end()) {
        if (e->type() == QEvent::FocusIn) {
            // After a click the box places its cursor itself; select once it has.
            QTimer::singleShot(0, this, [] { SelectAllText(); });
        } else if (e->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent *>(e)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Down || key == Qt::Key_Up) {
                EnterKeyMove(key == Qt::Key_Up ? vbKeyUp : key == Qt::Key_Down ? vbKeyDown : vbKeyReturn);
                return true;
            }
        }
    }
    return QDialog::eventFilter(watched, e);
}
