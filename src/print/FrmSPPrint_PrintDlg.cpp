#include "FrmSPPrint_PrintDlg.h"
#include "FrmSPPrint_PageSetup.h"
#include "Messages.h"
#include "PrintRequest.h"
#include "PrinterChoice.h"
#include "Prompter.h"
#include "Settings.h"
#include "Spread.h"
#include "SpreadPrint.h"
#include "modSpreadPrint.h"
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QVBoxLayout>

namespace {
const char *const kOptions[9] = {"열 헤더", "행 헤더", "그리드 라인", "테두리", "데이터셀만",
                                 "색상",    "그림자",  "페이지 맞춤", "꼬릿말"};
const char *const kRanges[4] = {"전체", "선택된 셀들", "현재 페이지", "Pages"};
constexpr int kFitToPage = 7;

QString optionKey(int index) { return QStringLiteral("CheckBox_%1").arg(index); }

bool isNumber(const QString &text) {
    bool ok = false;
    text.trimmed().toDouble(&ok);
    return ok;
}

QPushButton *button(QWidget *parent, const char *name, const char *caption) {
    auto *b = new QPushButton(QString::fromUtf8(caption), parent);
    b->setObjectName(QLatin1String(name));
    b->setAutoDefault(false);
    return b;
}
} // namespace

FrmSPPrint_PrintDlg::FrmSPPrint_PrintDlg(PrintRequest &request, int currentPage, QWidget *parent)
    : QDialog(parent), m_request(request), m_currentPage(currentPage) {
    setObjectName(QStringLiteral("FrmSPPrint_PrintDlg"));
    setWindowTitle(QStringLiteral("Print"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    auto *options = new QGroupBox(QStringLiteral("인쇄 옵션"), this);
    options->setObjectName(QStringLiteral("Frame2"));
    auto *optionGrid = new QGridLayout(options);
    for (int i = 0; i < 9; ++i) {
        auto *box = new QCheckBox(QString::fromUtf8(kOptions[i]), options);
        box->setObjectName(QStringLiteral("Check1_%1").arg(i));
        m_option.at(size_t(i)) = box;
        optionGrid->addWidget(box, i / 3, i % 3);
        // clicked, not toggled: what loading sets is no user's change.
        connect(box, &QCheckBox::clicked, this, [this, i] { optionClicked(i); });
    }

    auto *ranges = new QGroupBox(QStringLiteral("인쇄 범위"), this);
    ranges->setObjectName(QStringLiteral("Frame1"));
    auto *rangeGrid = new QGridLayout(ranges);
    for (int i = 0; i < 4; ++i) {
        auto *option = new QRadioButton(QString::fromUtf8(kRanges[i]), ranges);
        option->setObjectName(QStringLiteral("Option1_%1").arg(i));
        m_range.at(size_t(i)) = option;
        rangeGrid->addWidget(option, i, 0);
        connect(option, &QRadioButton::toggled, this, [this, i](bool on) {
            if (on)
                rangeChosen(i);
        });
    }
    auto *pages = new QHBoxLayout;
    for (int i = 0; i < 2; ++i) {
        auto *box = new QLineEdit(QStringLiteral("1"), ranges);
        box->setObjectName(QStringLiteral("Text1_%1").arg(i));
        box->setFixedWidth(box->fontMetrics().horizontalAdvance(QStringLiteral("000000")) + 12);
        box->setEnabled(false);
        box->installEventFilter(this);
        m_page.at(size_t(i)) = box;
        pages->addWidget(box);
        if (i == 0) {
            auto *to = new QLabel(QStringLiteral("to"), ranges);
            to->setObjectName(QStringLiteral("Label1"));
            pages->addWidget(to);
        }
    }
    pages->addStretch();
    rangeGrid->addLayout(pages, 3, 1);
    rangeGrid->setColumnStretch(1, 1);
    m_range[RangeAll]->setChecked(true);

    auto *print = button(this, "Command2", "인쇄");
    print->setDefault(true);
    connect(print, &QPushButton::clicked, this, &FrmSPPrint_PrintDlg::Print_Click);
    auto *setup = button(this, "Command1", "세부설정");
    connect(setup, &QPushButton::clicked, this, &FrmSPPrint_PrintDlg::PageSetup_Click);
    auto *printer = button(this, "Command4", "프린터 설정");
    connect(printer, &QPushButton::clicked, this, &FrmSPPrint_PrintDlg::PrinterSetup_Click);
    auto *close = button(this, "Command3", "닫기");
    connect(close, &QPushButton::clicked, this, &QDialog::reject);

    auto *buttons = new QVBoxLayout;
    for (QPushButton *b : {print, setup, printer, close})
        buttons->addWidget(b);
    buttons->addStretch();
    auto *groups = new QVBoxLayout;
    groups->addWidget(options);
    groups->addWidget(ranges);
    auto *layout = new QHBoxLayout(this);
    layout->addLayout(groups, 1);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    for (int i = 0; i < 9; ++i) {
        const QString stored =
            m_request.setting(optionKey(i), i == kFitToPage ? QStringLiteral("0") : QStringLiteral("1"));
        m_option.at(size_t(i))->setChecked(modSpreadPrint::leadingInt(stored) != 0);
    }
    if (m_request.scalingAllowed == 0) {
        m_option[kFitToPage]->setChecked(false);
        m_option[kFitToPage]->setEnabled(false);
    }
}

Spread *FrmSPPrint_PrintDlg::grid() const { return m_request.grid; }

void FrmSPPrint_PrintDlg::optionClicked(int index) {
    if (!isVisible())
        return;
    const bool on = m_option.at(size_t(index))->isChecked();
    if (!m_request.saveSetting(optionKey(index), on ? QStringLiteral("1") : QStringLiteral("0")))
        MsgWarn(QStringLiteral("인쇄 설정을 저장하지 못했습니다.\r\n") + Settings::storeFile(m_request.settingsApp()));
    Spread *g = grid();
    if (!g)
        return;
    SheetPrintProps &props = g->printProps();
    switch (index) {
    case 0: props.colHeaders = on; break;
    case 1: props.rowHeaders = on; break;
    case 2: props.grid = on; break;
    case 3: props.border = on; break;
    case 4:
        props.useDataMax = false;
        props.dataCellsOnly = on;
        break;
    case 5: props.color = on; break;
    case 6: props.shadows = on; break;
    case 7: props.scalingMethod = on ? 1 : 0; break;
    case 8: props.footer = on ? m_request.fullFooter : QString(); break;
    default: break;
    }
}

void FrmSPPrint_PrintDlg::rangeChosen(int index) {
    const bool pages = index == RangePages;
    for (QLineEdit *box : m_page)
        box->setEnabled(pages);
    if (pages)
        m_page[0]->setFocus();
}

bool FrmSPPrint_PrintDlg::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() == QEvent::KeyRelease)
        if (auto *box = qobject_cast<QLineEdit *>(watched); box && !isNumber(box->text()))
            box->setText(QStringLiteral("1"));
    return QDialog::eventFilter(watched, event);
}

bool FrmSPPrint_PrintDlg::PrintSpread() {
    Spread *g = grid();
    if (!g)
        return false;
    SheetPrintProps &props = g->printProps();
    if (m_range[RangeSelection]->isChecked()) {
        props.col = g->selBlockCol();
        props.col2 = g->selBlockCol2();
        props.row = g->selBlockRow();
        props.row2 = g->selBlockRow2();
        props.type = SheetPrintProps::CellRange;
    } else if (m_range[RangeCurrentPage]->isChecked()) {
        props.currentPage = m_currentPage;
        props.type = SheetPrintProps::CurrentPage;
    } else if (m_range[RangePages]->isChecked()) {
        props.pageStart = int(m_page[0]->text().trimmed().toDouble());
        props.pageEnd = int(m_page[1]->text().trimmed().toDouble());
        props.type = SheetPrintProps::PageRange;
    } else {
        props.type = SheetPrintProps::All;
    }
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(m_request.title);
    if (!PrinterChoice::applyTo(printer) || !printer.isValid()) {
        props.type = SheetPrintProps::All;
        const QString name = PrinterChoice::current().printerName;
        MsgWarn(QStringLiteral("프린터를 찾을 수 없습니다: ") + (name.isEmpty() ? printer.printerName() : name) +
                QStringLiteral("\r\n'프린터 설정'에서 프린터를 다시 선택하세요."));
        return false;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool ok = printSheet(*g, printer);
    QApplication::restoreOverrideCursor();
    props.type = SheetPrintProps::All;
    if (!ok)
        MsgWarn(QStringLiteral("인쇄하지 못했습니다. 프린터와 인쇄 범위를 확인하세요."));
    return ok;
}

void FrmSPPrint_PrintDlg::Print_Click() {
    // A print that failed stays here, so that the user can choose another printer or range.
    if (!PrintSpread())
        return;
    accept();
}

void FrmSPPrint_PrintDlg::PageSetup_Click() {
    FrmSPPrint_PageSetup setup(m_request, this);
    connect(&setup, &FrmSPPrint_PageSetup::zoomChosen, this, &FrmSPPrint_PrintDlg::zoomChosen);
    setup.exec();
}

void FrmSPPrint_PrintDlg::PrinterSetup_Click() {
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(m_request.title);
    PrinterChoice::applyTo(printer);
    PrinterChoice::offerPdfFile(printer, m_request.title);
    Spread *g = grid();
    if (g)
        PrinterChoice::showPaperOf(g->printProps(), printer);
    if (!prompter().printDialog(printer))
        return;
    PrinterChoice::takeFrom(printer);
    if (g)
        PrinterChoice::applyPaperTo(g->printProps());
}
