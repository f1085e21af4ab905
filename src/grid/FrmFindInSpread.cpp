#include "FrmFindInSpread.h"
#include "Prompter.h"
#include "SheetSearch.h"
#include "Spread.h"
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

namespace {
struct Remembered {
    QString text;
    int direction = 0;
    bool whole = false;
};
Remembered g_remembered;
} // namespace

void FrmFindInSpread::resetRemembered() { g_remembered = Remembered{}; }

FrmFindInSpread::FrmFindInSpread(QWidget *parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FrmFindInSpread"));
    setWindowTitle(QStringLiteral("찾기"));
    Label1[0] = new QLabel(QStringLiteral("찾을 내용(&F):"), this);
    txtFindWd = new QLineEdit(this);
    Label1[1] = new QLabel(QStringLiteral("검색 방향(&D):"), this);
    cboFindDir = new QComboBox(this);
    cboFindDir->addItems({QStringLiteral("행(가로방향)"), QStringLiteral("열(세로방향)")});
    chkSameAll = new QCheckBox(QStringLiteral("완전일치(&A)"), this);
    cmdFind = new QPushButton(QStringLiteral("다음 찾기(&N)"), this);
    cmdClose = new QPushButton(QStringLiteral("닫기(&C)"), this);
    for (int i = 0; i < 2; ++i) {
        Label1[i]->setObjectName(QStringLiteral("Label1"));
        Label1[i]->setProperty("Index", i);
    }
    Label1[0]->setBuddy(txtFindWd);
    Label1[1]->setBuddy(cboFindDir);
    txtFindWd->setObjectName(QStringLiteral("txtFindWd"));
    cboFindDir->setObjectName(QStringLiteral("cboFindDir"));
    chkSameAll->setObjectName(QStringLiteral("chkSameAll"));
    cmdFind->setObjectName(QStringLiteral("cmdFind"));
    cmdClose->setObjectName(QStringLiteral("cmdClose"));
    cmdFind->setDefault(true);

    auto *layout = new QGridLayout(this);
    layout->addWidget(Label1[0], 0, 0);
    layout->addWidget(txtFindWd, 0, 1);
    layout->addWidget(cmdFind, 0, 2);
    layout->addWidget(Label1[1], 1, 0);
    layout->addWidget(cboFindDir, 1, 1);
    layout->addWidget(cmdClose, 1, 2);
    layout->addWidget(chkSameAll, 2, 1);

    connect(cmdFind, &QPushButton::clicked, this, &FrmFindInSpread::cmdFind_Click);
    connect(cmdClose, &QPushButton::clicked, this, &FrmFindInSpread::cmdClose_Click);
    txtFindWd->installEventFilter(this);

    cboFindDir->setCurrentIndex(0);
    txtFindWd->setText(g_remembered.text);
    cboFindDir->setCurrentIndex(g_remembered.direction);
    chkSameAll->setChecked(g_remembered.whole);
    txtFindWd->selectAll();
}

void FrmFindInSpread::SetFormInit(Spread *sp, int minCol, int maxCol) {
    m_grid = sp;
    m_startCol = minCol == -1 ? 0 : minCol - 1;
    m_endCol = maxCol == -1 ? sp->maxCols() : maxCol;
}

bool FrmFindInSpread::eventFilter(QObject *watched, QEvent *event) {
    // Selected after the click that gave the focus has placed its cursor.
    if (watched == txtFindWd && event->type() == QEvent::FocusIn)
        QTimer::singleShot(0, txtFindWd, &QLineEdit::selectAll);
    return QDialog::eventFilter(watched, event);
}

void FrmFindInSpread::cmdFind_Click() {
    if (!m_grid)
        return;
    const int flags = chkSameAll->isChecked() ? Spread::SearchWhole : Spread::SearchPartial;
    const int activeCol = m_grid->activeCol(), activeRow = m_grid->activeRow();
    const auto hit =
        SheetSearch::findNext(m_grid->sheet(), activeCol, activeRow, m_startCol, m_endCol, txtFindWd->text(), flags,
                              SheetSearch::Direction(cboFindDir->currentIndex()));
    if (!hit || (hit->col == activeCol && hit->row == activeRow)) {
        prompter().message(Prompter::Icon::Information, QStringLiteral("검색실패"),
                           QStringLiteral("일치하는 데이터가 없습니다."));
        return;
    }
    m_grid->setActiveCell(hit->col, hit->row);
    m_grid->setTopRow(hit->row);
}

void FrmFindInSpread::cmdClose_Click() { reject(); }

void FrmFindInSpread::done(int result) {
    g_remembered = Remembered{txtFindWd->text(), cboFindDir->currentIndex(), chkSameAll->isChecked()};
    m_grid = nullptr;
    QDialog::done(result);
}
