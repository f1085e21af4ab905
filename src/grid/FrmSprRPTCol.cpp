#include "FrmSprRPTCol.h"
#include "FormLayoutFile.h"
#include "Messages.h"
#include "ReportColumns.h"
#include "Spread.h"
#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

FrmSprRPTCol::FrmSprRPTCol(QWidget *parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FrmSprRPTCol"));
    setWindowTitle(QStringLiteral("보고서용 컬럼설정"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    auto *label = new QLabel(QStringLiteral("- 체크한 컬럼만 보고서에 나타납니다."), this);
    label->setObjectName(QStringLiteral("Label1"));
    List1 = new QListWidget(this);
    List1->setObjectName(QStringLiteral("List1"));
    List1->setFont(QFont(QStringLiteral("굴림")));
    List1->setMinimumSize(260, 300);
    connect(List1, &QListWidget::itemChanged, this, [this] {
        if (isVisible())
            m_changed = true;
    });
    chkAll = new QCheckBox(QStringLiteral("전체(&A)"), this);
    chkAll->setObjectName(QStringLiteral("chkAll"));
    connect(chkAll, &QCheckBox::clicked, this, &FrmSprRPTCol::chkAll_Click);
    auto *save = new QPushButton(QStringLiteral("저장(&S)"), this);
    save->setObjectName(QStringLiteral("cmdSave"));
    save->setAutoDefault(false);
    connect(save, &QPushButton::clicked, this, &FrmSprRPTCol::cmdSave_Click);
    auto *close = new QPushButton(QStringLiteral("닫기(&C)"), this);
    close->setObjectName(QStringLiteral("cmdClose"));
    close->setAutoDefault(false);
    connect(close, &QPushButton::clicked, this, &FrmSprRPTCol::cmdClose_Click);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(chkAll);
    buttons->addStretch();
    buttons->addWidget(save);
    buttons->addWidget(close);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(List1, 1);
    layout->addLayout(buttons);
}

QString FrmSprRPTCol::layoutFile() const {
    return m_window ? ReportColumns::fileOf(m_window->objectName()) : QString();
}

void FrmSprRPTCol::SetParam(QWidget *Frm, Spread *sp) {
    m_window = Frm;
    m_grid = sp;
    List1->clear();
    if (!sp || !Frm)
        return;
    std::vector<int> cols;
    for (int col = 1; col <= sp->maxCols(); ++col)
        if (!sp->colHidden(col))
            cols.push_back(col);
    const QSignalBlocker filling(List1); // ticks set while filling are no change
    for (const auto &[col, on] : ReportColumns::read(layoutFile(), sp->objectName(), cols)) {
        auto *item = new QListWidgetItem(sp->text(col, 0), List1);
        item->setData(Qt::UserRole, col);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(on ? Qt::Checked : Qt::Unchecked);
    }
    m_changed = false;
}

void FrmSprRPTCol::chkAll_Click() {
    const Qt::CheckState state = chkAll->isChecked() ? Qt::Checked : Qt::Unchecked;
    for (int i = 0; i < List1->count(); ++i)
        List1->item(i)->setCheckState(state);
    m_changed = true;
}

void FrmSprRPTCol::cmdSave_Click() {
    if (!m_grid || !m_window)
        return;
    std::vector<std::pair<int, bool>> ticks;
    for (int i = 0; i < List1->count(); ++i)
        ticks.emplace_back(List1->item(i)->data(Qt::UserRole).toInt(), List1->item(i)->checkState() == Qt::Checked);
    QDir().mkpath(FormLayoutFile::folder());
    if (!ReportColumns::write(layoutFile(), m_grid->objectName(), ticks)) {
        MsgWarn(QStringLiteral("저장하지 못했습니다.\r\n") + QDir::toNativeSeparators(layoutFile()));
        return;
    }
    MsgInfo(QStringLiteral("저장을 완료하였습니다."));
    m_changed = false;
    m_closing = true;
    accept();
}

void FrmSprRPTCol::cmdClose_Click() { close(); }

void FrmSprRPTCol::reject() { close(); }

void FrmSprRPTCol::closeEvent(QCloseEvent *event) {
    if (!m_closing && m_changed &&
        MsgAsk(QStringLiteral("수정된 내용이 저장되지 않았습니다. 그래도, 닫으시겠습니까?"), {}, false) != vbYes) {
        event->ignore();
        return;
    }
    m_closing = true;
    m_window = nullptr;
    m_grid = nullptr;
    QDialog::reject();
    event->accept();
}
