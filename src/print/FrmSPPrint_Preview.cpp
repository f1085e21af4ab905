#include "FrmSPPrint_Preview.h"
#include "FrmSPPrint_PageSetup.h"
#include "FrmSPPrint_PrintDlg.h"
#include "PreviewPictures.h"
#include "PrintRequest.h"
#include "SheetPreview.h"
#include "SheetPrinter.h"
#include "Spread.h"
#include "SpreadPrint.h"
#include "modSpreadPrint.h"
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace {
const QString kMergeCol = QStringLiteral("MERGE_COL");
const QColor kStripBack(192, 192, 192);
} // namespace

FrmSPPrint_Preview::FrmSPPrint_Preview(PrintRequest &request, QWidget *parent) : QDialog(parent), m_request(request) {
    setObjectName(QStringLiteral("FrmSPPrint_Preview"));
    setWindowTitle(QStringLiteral("스프레드 인쇄 미리보기"));
    setWindowFlag(Qt::WindowMaximizeButtonHint);
    m_bPrintedOK = false;
    fpSpread1 = new QWidget(this);
    fpSpreadPreview1 = new SheetPreview(this);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(fpSpread1);
    layout->addWidget(fpSpreadPreview1, 1);
    SetupToolbar();
    relayout();
    modSpreadPrint::SetPreviewZoom(*fpSpreadPreview1, m_request.zoomIndex);
    updateStepButtons();
    connect(fpSpreadPreview1, &SheetPreview::pageChanged, this, [this] {
        UpdatePageCount();
        updateStepButtons();
    });
    resize(900, 700);
}

FrmSPPrint_Preview::~FrmSPPrint_Preview() { unload(); }

Spread *FrmSPPrint_Preview::grid() const { return m_request.grid; }

void FrmSPPrint_Preview::showZoom(int index) { modSpreadPrint::SetPreviewZoom(*fpSpreadPreview1, index); }

void FrmSPPrint_Preview::SetupToolbar() {
    fpSpread1->setObjectName(QStringLiteral("fpSpread1"));
    fpSpread1->setAutoFillBackground(true);
    QPalette pal = fpSpread1->palette();
    pal.setColor(QPalette::Window, kStripBack);
    pal.setColor(QPalette::WindowText, Qt::black);
    pal.setColor(QPalette::ButtonText, Qt::black);
    fpSpread1->setPalette(pal);
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPointSize(10);
    font.setBold(false);
    fpSpread1->setFont(font);
    auto *row = new QHBoxLayout(fpSpread1);
    row->setContentsMargins(4, 2, 4, 2);
    row->setSpacing(6);
    const struct {
        int column;
        const char *caption;
        int picture;
        const char *tip;
    } buttons[] = {{ColNext, "Next", 7, "다음 페이지"},
                   {ColPrevious, "Previous", 3, "이전 페이지"},
                   {ColZoom, "Zoom", 1, "확대/축소"},
                   {ColPrint, "Print", 6, "인쇄"},
                   {ColSetup, "Setup", 9, "페이지 설정"}};
    const auto addButton = [&](int column, const char *caption, int picture, const char *tip) {
        auto *b = new QToolButton(fpSpread1);
        b->setObjectName(QStringLiteral("btn%1").arg(QLatin1String(caption)));
        b->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        b->setAutoRaise(true);
        b->setIconSize(QSize(20, 20));
        b->setText(QLatin1String(caption));
        b->setFocusPolicy(Qt::NoFocus);
        m_buttons.insert(column, b);
        m_tips.insert(column, QString::fromUtf8(tip));
        EnableButton(column, picture);
        connect(b, &QToolButton::clicked, this, [this, column] { ButtonClick(column); });
        row->addWidget(b);
    };
    for (const auto &b : buttons)
        addButton(b.column, b.caption, b.picture, b.tip);
    row->addSpacing(24);
    m_counter = new QLabel(fpSpread1);
    m_counter->setObjectName(QStringLiteral("lblPageCount"));
    m_counter->setMinimumWidth(m_counter->fontMetrics().horizontalAdvance(QStringLiteral("Page 00000 of 00000")));
    row->addWidget(m_counter);
    row->addStretch();
    addButton(ColClose, "Close", 10, "닫기");
}

// A disabled button shows its grey picture and caption and has no tooltip.
void FrmSPPrint_Preview::DisableButton(int column, int picture) {
    QToolButton *b = button(column);
    if (!b)
        return;
    fpSpread1->setUpdatesEnabled(false);
    b->setEnabled(false);
    b->setIcon(QIcon(previewPicture(picture)));
    b->setToolTip(QString());
    QPalette pal = b->palette();
    pal.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(128, 128, 128));
    b->setPalette(pal);
    fpSpread1->setUpdatesEnabled(true);
}

void FrmSPPrint_Preview::EnableButton(int column, int picture) {
    QToolButton *b = button(column);
    if (!b)
        return;
    fpSpread1->setUpdatesEnabled(false);
    b->setEnabled(true);
    QIcon icon(previewPicture(picture));
    b->setIcon(icon);
    b->setToolTip(m_tips.value(column));
    fpSpread1->setUpdatesEnabled(true);
}

// "Next" and "Previous" as the shown pages allow, also after a new layout kept the page.
void FrmSPPrint_Preview::updateStepButtons() {
    const int page = fpSpreadPreview1->pageCurrent(), count = fpSpreadPreview1->pageCount();
    if (page >= count - fpSpreadPreview1->pagesShown() + 1)
        DisableButton(ColNext, 8);
    else
        EnableButton(ColNext, 7);
    if (page <= 1)
        DisableButton(ColPrevious, 4);
    else
        EnableButton(ColPrevious, 3);
}

void FrmSPPrint_Preview::UpdatePageCount() {
    const int count = grid() ? fpSpreadPreview1->pageCount() : 0;
    m_counter->setText(QStringLiteral("Page %1 of %2").arg(fpSpreadPreview1->pageCurrent()).arg(count));
    m_counter->setToolTip(m_counter->text());
}

void FrmSPPrint_Preview::relayout() {
    if (grid())
        fpSpreadPreview1->setPrinter(printLayout(*grid()));
}

void FrmSPPrint_Preview::Form_Activate() {
    Spread *g = grid();
    if (!g || m_unloaded)
        return;
    relayout();
    PageBreakWalk walk(*fpSpreadPreview1->printer());
    walk.restart();
    int pageBreak = walk.next();
    if (g->colMerge(1) != SheetStore::Merge::None) {
        const bool redraw = g->redraw();
        g->setRedraw(false);
        if (g->colID(1) != kMergeCol) {
            g->insertCols(1, 1);
            g->setColID(1, kMergeCol);
            g->setColHidden(1, true);
            m_savedMerge = g->colMerge(2);
            g->setColMerge(2, SheetStore::Merge::Restricted);
        }
        g->setColMerge(1, SheetStore::Merge::None);
        int page = 0;
        for (int row = 1; row <= g->maxRows(); ++row) {
            if (row == pageBreak && pageBreak != -1) {
                pageBreak = walk.next();
                ++page;
            }
            g->setText(1, row, QString::number(page));
        }
        g->setColMerge(1, SheetStore::Merge::Always);
        g->setRedraw(redraw);
        relayout();
    }
    UpdatePageCount();
    updateStepButtons();
}

void FrmSPPrint_Preview::ButtonClick(int column) {
    SheetPreview *pv = fpSpreadPreview1;
    const int count = pv->pageCount();
    switch (column) {
    case ColNext:
        if (pv->pageCurrent() < count) {
            pv->setPageCurrent(pv->pageCurrent() + pv->pagesShown());
            EnableButton(ColNext, 7);
            EnableButton(ColPrevious, 3);
        }
        if (pv->pageCurrent() >= count - pv->pagesShown() + 1)
            DisableButton(ColNext, 8);
        break;
    case ColPrevious:
        if (pv->pageCurrent() > 1) {
            pv->setPageCurrent(pv->pageCurrent() - pv->pagesShown());
            EnableButton(ColPrevious, 3);
            EnableButton(ColNext, 7);
        }
        if (pv->pageCurrent() == 1)
            DisableButton(ColPrevious, 4);
        break;
    case ColZoom: pv->toggleZoom(); break;
    case ColPrint: {
        FrmSPPrint_PrintDlg dialog(m_request, pv->pageCurrent(), this);
        connect(&dialog, &FrmSPPrint_PrintDlg::zoomChosen, this, &FrmSPPrint_Preview::showZoom);
        // Printing closes the preview as well.
        if (dialog.exec() == QDialog::Accepted) {
            m_bPrintedOK = true;
            accept();
        } else if (!m_unloaded) {
            Form_Activate();
        }
        break;
    }
    case ColSetup: {
        FrmSPPrint_PageSetup setup(m_request, this);
        connect(&setup, &FrmSPPrint_PageSetup::zoomChosen, this, &FrmSPPrint_Preview::showZoom);
        setup.exec();
        Form_Activate();
        break;
    }
    case ColClose: reject(); break;
    default: break;
    }
}

bool FrmSPPrint_Preview::event(QEvent *e) {
    if (e->type() == QEvent::WindowActivate)
        Form_Activate();
    else if (e->type() == QEvent::Show)
        QTimer::singleShot(0, this, [this] { Form_Activate(); }); // also where no window manager activates it
    return QDialog::event(e);
}

void FrmSPPrint_Preview::done(int result) {
    unload();
    QDialog::done(result);
}

void FrmSPPrint_Preview::unload() {
    if (m_unloaded)
        return;
    m_unloaded = true;
    Spread *g = grid();
    if (g && g->colID(1) == kMergeCol) {
        g->deleteCols(1, 1);
        g->setColMerge(1, m_savedMerge);
    }
}
