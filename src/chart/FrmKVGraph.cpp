#include "FrmKVGraph.h"
#include "ChartView.h"
#include "GraphPaging.h"
#include "GraphSettings.h"
#include "Messages.h"
#include "Prompter.h"
#include "VbUnits.h"
#include "WindowFit.h"
#include "modFrmCtrl.h"
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QShortcut>
#include <QStyle>
#include <QVBoxLayout>
#include <climits>

namespace {
const char *const kTag = "Tag";
const char *const kCheckCaptions[4] = {"값보기", "가로선", "막대채움", "세로글자 회전"};
const char *const kColorNames[2] = {"막대색", "꺾은선색"};
// The largest value each number box passes on: 16 bits for the columns, 32 for the margin.
constexpr int kBoxMost[3] = {SHRT_MAX, 0, INT_MAX};

QFrame *panel(QWidget *parent, const char *name) {
    auto *p = NameControl(new QFrame(parent), QString::fromLatin1(name));
    p->setFrameStyle(QFrame::Panel | QFrame::Raised);
    return p;
}
} // namespace

FrmKVGraph::FrmKVGraph(QWidget *parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("FrmKVGraph"));
    setWindowTitle(QStringLiteral("그래프"));
    buildControls();
    resize(VbUnits::twipsToPx(14400), VbUnits::twipsToPx(9000));
    SetFormStyle(this, true);
    load();
    WindowFit::centre(this, parent);
}

void FrmKVGraph::keyPressEvent(QKeyEvent *e) {
    // Reached the window: no control (an open list, say) wanted it.
    if (e->key() == Qt::Key_Escape && e->modifiers() == Qt::NoModifier)
        close();
    else
        QWidget::keyPressEvent(e);
}

void FrmKVGraph::buildControls() {
    pnlTop = panel(this, "pnlTop");
    txtTitle = NameControl(new QLineEdit(pnlTop), QStringLiteral("txtTitle"));
    cmdRefresh = NameControl(new QPushButton(pnlTop), QStringLiteral("cmdRefresh"));
    cmdRefresh->setIcon(style()->standardIcon(QStyle::SP_BrowserReload));
    cmdRefresh->setToolTip(QStringLiteral("다시 그리기"));
    lblPage = NameControl(new QLabel(QStringLiteral("01/01"), pnlTop), QStringLiteral("lblPage"));
    lblPage->setAlignment(Qt::AlignCenter);
    lblPage->setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("0000/0000")));
    lblDataCnt = NameControl(new QLabel(pnlTop), QStringLiteral("lblDataCnt"));
    btnPrint = NameControl(new QPushButton(QStringLiteral("인쇄 F7"), pnlTop), QStringLiteral("btnPrint"));
    btnClose = NameControl(new QPushButton(QStringLiteral("닫기 &C"), pnlTop), QStringLiteral("btnClose"));
    auto *top = new QHBoxLayout(pnlTop);
    top->setContentsMargins(6, 3, 6, 3);
    top->addWidget(new QLabel(QStringLiteral("제목:"), pnlTop));
    top->addWidget(txtTitle, 1);
    top->addWidget(cmdRefresh);
    for (int i = 0; i < 2; ++i) {
        cmdMovePage[size_t(i)] =
            NameControl(new QPushButton(i == 0 ? QStringLiteral("<") : QStringLiteral(">"), pnlTop),
                        QStringLiteral("cmdMovePage"), i);
        cmdMovePage[size_t(i)]->setFixedWidth(cmdMovePage[size_t(i)]->sizeHint().height() + 4);
        connect(cmdMovePage[size_t(i)], &QPushButton::clicked, this, [this, i] { cmdMovePage_Click(i); });
    }
    top->addWidget(cmdMovePage[0]);
    top->addWidget(lblPage);
    top->addWidget(cmdMovePage[1]);
    top->addSpacing(8);
    top->addWidget(lblDataCnt);
    top->addStretch();
    top->addWidget(btnPrint);
    top->addWidget(btnClose);

    pnlList = panel(this, "pnlList");
    auto *list = new QGridLayout(pnlList);
    list->setContentsMargins(6, 6, 6, 6);
    int row = 0;
    auto addRow = [&](const QString &caption, QWidget *control) {
        list->addWidget(new QLabel(caption, pnlList), row, 0);
        list->addWidget(control, row++, 1);
    };
    cboGraphType = NameControl(new QComboBox(pnlList), QStringLiteral("cboGraphType"));
    cboUnit = NameControl(new QComboBox(pnlList), QStringLiteral("cboUnit"));
    addRow(QStringLiteral("그래프형:"), cboGraphType);
    addRow(QStringLiteral("자료단위:"), cboUnit);
    for (int i = 0; i < 2; ++i) {
        btnColor[size_t(i)] = NameControl(new QPushButton(pnlList), QStringLiteral("btnColor"), i);
        addRow(i == 0 ? QStringLiteral("막대색상:") : QStringLiteral("꺾은선색:"), btnColor[size_t(i)]);
        connect(btnColor[size_t(i)], &QPushButton::clicked, this, [this, i] { btnColor_Click(i); });
    }
    for (int i : {0, 2}) {
        QLineEdit *box = NameControl(new QLineEdit(pnlList), QStringLiteral("htMax"), i);
        box->setValidator(new QRegularExpressionValidator(
            QRegularExpression(i == 0 ? QStringLiteral("[0-9]{0,5}") : QStringLiteral("[0-9]{0,9}")), box));
        box->setAlignment(Qt::AlignRight);
        htMax[size_t(i)] = box;
        addRow(i == 0 ? QStringLiteral("칼럼수:") : QStringLiteral("하단여백:"), box);
        // Checked when the number is complete: erasing "50" to type "30" passes through "".
        connect(box, &QLineEdit::editingFinished, this, [this, i] { htMax_Change(i); });
        connect(box, &QLineEdit::returnPressed, this, [this, i] {
            htMax_Change(i);
            cmdRefresh_Click();
        });
    }
    for (int i = 0; i < 4; ++i) {
        chkGrpStat[size_t(i)] =
            NameControl(new QCheckBox(QString::fromUtf8(kCheckCaptions[i]), pnlList), QStringLiteral("chkGrpStat"), i);
        list->addWidget(chkGrpStat[size_t(i)], row++, 0, 1, 2);
        connect(chkGrpStat[size_t(i)], &QCheckBox::toggled, this, [this, i] { chkGrpStat_Click(i); });
    }
    list->setRowStretch(row, 1);

    picBoard = NameControl(new QFrame(this), QStringLiteral("picBoard"));
    picBoard->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    KVGraph = new ChartView(picBoard);
    auto *board = new QVBoxLayout(picBoard);
    board->setContentsMargins(0, 0, 0, 0);
    board->addWidget(KVGraph);

    auto *middle = new QHBoxLayout;
    middle->setSpacing(2);
    middle->addWidget(pnlList);
    middle->addWidget(picBoard, 1);
    auto *lay = new QVBoxLayout(this);
    lay->setContentsMargins(2, 2, 2, 2);
    lay->setSpacing(2);
    lay->addWidget(pnlTop);
    lay->addLayout(middle, 1);

    connect(cboGraphType, &QComboBox::currentIndexChanged, this, &FrmKVGraph::cboGraphType_Click);
    connect(cboUnit, &QComboBox::currentIndexChanged, this, &FrmKVGraph::cboUnit_Click);
    connect(txtTitle, &QLineEdit::textChanged, this, [this](const QString &text) {
        if (isVisible())
            GraphSettings::saveTitle(text);
    });
    connect(cmdRefresh, &QPushButton::clicked, this, &FrmKVGraph::cmdRefresh_Click);
    connect(btnPrint, &QPushButton::clicked, this, &FrmKVGraph::btnPrint_Click);
    connect(btnClose, &QPushButton::clicked, this, &QWidget::close);
    auto *f7 = new QShortcut(QKeySequence(Qt::Key_F7), this, nullptr, nullptr, Qt::WidgetWithChildrenShortcut);
    connect(f7, &QShortcut::activated, this, &FrmKVGraph::btnPrint_Click);
}

void FrmKVGraph::load() {
    const GraphSettings::Values v = GraphSettings::load();
    txtTitle->setText(v.title);
    htMax[0]->setText(QString::number(v.maxCols));
    KVGraph->MaxCols(qint16(std::min(v.maxCols, kBoxMost[0])));
    htMax[2]->setText(QString::number(v.bottomMargin));
    KVGraph->BottomMargin(v.bottomMargin);
    const bool options[4] = {v.chart.showValues, v.chart.horizontalLines, v.chart.fillBars, v.chart.rotateVertText};
    for (int i = 0; i < 4; ++i)
        chkGrpStat[size_t(i)]->setChecked(options[i]);
    KVGraph->ShowValues(options[0]);
    KVGraph->HorizontalLines(options[1]);
    KVGraph->FillBars(options[2]);
    KVGraph->RotateVertText(options[3]);
    KVGraph->FillGraphTypes(cboGraphType);
    if (v.chart.kind >= 0 && v.chart.kind < cboGraphType->count()) {
        cboGraphType->setCurrentIndex(v.chart.kind);
        KVGraph->GraphType(v.chart.kind);
    }
    KVGraph->FillUnits(cboUnit);
    if (v.chart.unit >= 0 && v.chart.unit < cboUnit->count()) {
        cboUnit->setCurrentIndex(v.chart.unit);
        KVGraph->DataUnit(v.chart.unit);
    }
    paintColorButton(0, v.chart.barColor);
    KVGraph->BarColor(v.chart.barColor);
    paintColorButton(1, v.chart.lineColor);
    KVGraph->LineColor(v.chart.lineColor);
    m_page = 1;
}

void FrmKVGraph::paintColorButton(int index, int bgr) {
    QPushButton *b = btnColor[size_t(index)];
    b->setProperty(kTag, bgr);
    b->setStyleSheet(QStringLiteral("QPushButton { background-color: %1; }").arg(VbUnits::toColor(bgr).name()));
}

void FrmKVGraph::ClearGraph() {
    lblDataCnt->clear();
    KVGraph->ClearData();
}

void FrmKVGraph::AddData(double value, const QString &label) { KVGraph->AddData(value, label); }

void FrmKVGraph::ReDrawGraph() {
    lblDataCnt->setText(QStringLiteral("총 %1건").arg(KVGraph->DataCount()));
    cmdRefresh_Click();
}

void FrmKVGraph::cmdRefresh_Click() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    KVGraph->MaxCols(qint16(GraphSettings::boxValue(htMax[0]->text(), kBoxMost[0])));
    KVGraph->BottomMargin(GraphSettings::boxValue(htMax[2]->text(), kBoxMost[2]));
    const GraphPaging paging = GraphPaging::clamp(m_page, KVGraph->PageCount());
    m_page = qint16(paging.page);
    cmdMovePage[0]->setEnabled(paging.previous);
    cmdMovePage[1]->setEnabled(paging.next);
    lblPage->setText(paging.label);
    KVGraph->DrawPage(m_page);
    QApplication::restoreOverrideCursor();
}

void FrmKVGraph::cmdMovePage_Click(int index) {
    m_page = qint16(m_page + (index == 0 ? -1 : 1));
    cmdRefresh_Click();
}

void FrmKVGraph::cboGraphType_Click() {
    const int code = cboGraphType->currentIndex();
    if (!isVisible() || code < 0)
        return;
    GraphSettings::saveGraphType(code);
    KVGraph->GraphType(code);
    KVGraph->DrawPage(m_page);
}

void FrmKVGraph::cboUnit_Click() {
    const int code = cboUnit->currentIndex();
    if (!isVisible() || code < 0)
        return;
    GraphSettings::saveDataUnit(code);
    KVGraph->DataUnit(code);
    KVGraph->DrawPage(m_page);
}

void FrmKVGraph::chkGrpStat_Click(int index) {
    if (!isVisible())
        return;
    const bool on = chkGrpStat[size_t(index)]->isChecked();
    switch (index) {
    case 0: KVGraph->ShowValues(on); break;
    case 1: KVGraph->HorizontalLines(on); break;
    case 2: KVGraph->FillBars(on); break;
    default: KVGraph->RotateVertText(on); break;
    }
    GraphSettings::saveOption(index, on);
    KVGraph->DrawPage(m_page);
}

void FrmKVGraph::htMax_Change(int index) {
    QLineEdit *box = htMax[size_t(index)];
    if (!isVisible())
        return;
    int value = GraphSettings::boxValue(box->text(), kBoxMost[index]);
    if (value < 1) {
        box->setText(QStringLiteral("1"));
        value = 1;
        MsgInfo(QStringLiteral("1이상의 수치만 입력가능합니다."));
    }
    GraphSettings::saveNumber(index, value);
}

void FrmKVGraph::btnColor_Click(int index) {
    const int current = btnColor[size_t(index)]->property(kTag).toInt();
    const auto chosen =
        prompter().color(QString::fromUtf8(kColorNames[index]) + QStringLiteral(" 선택"), VbUnits::toColor(current));
    if (!chosen)
        return;
    const int bgr = VbUnits::fromColor(*chosen);
    paintColorButton(index, bgr);
    GraphSettings::saveColor(index, bgr);
    if (index == 0)
        KVGraph->BarColor(bgr);
    else
        KVGraph->LineColor(bgr);
    KVGraph->DrawPage();
}

void FrmKVGraph::btnPrint_Click() { KVGraph->PrintGraph(txtTitle->text()); }

void FrmKVGraph::resizeEvent(QResizeEvent *e) {
    QWidget::resizeEvent(e);
    KeepMinSize(this, 5000, 5000);
}
