#include "fbMobil_Admin.h"
#include "AppState.h"
#include "CatalogueWatch.h"
#include "ErrorBox.h"
#include "FloatMsg.h"
#include "FrmImageZoom.h"
#include "HandsetPictures.h"
#include "HandsetSave.h"
#include "HandsetSql.h"
#include "HandsetToolbar.h"
#include "Messages.h"
#include "PageRecycler.h"
#include "Spread.h"
#include "VbUnits.h"
#include "WindowFit.h"
#include "WindowRegistry.h"
#include "cFpPreview.h"
#include "fBMobil_Save_Search.h"
#include "fbMobil_Save.h"
#include "mdlCommonKV.h"
#include "modExcel_sp.h"
#include "modFormIni.h"
#include "modFrmCtrl.h"
#include "modMDB_Func.h"
#include "modSpread60.h"
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QShortcut>
#include <QStyle>
#include <QTimer>
#include <QVBoxLayout>

using namespace modMDB_Func;

namespace {
const QString kCaption = QStringLiteral("핸드폰 관리");
constexpr int kHeaderHeight = 14;
const int kPictureCol = HandsetColumns::gridColumn(QStringLiteral("imgpath"));
const int kCodeCol = HandsetColumns::gridColumn(QStringLiteral("code"));
const int kIdCol = HandsetColumns::gridColumn(QStringLiteral("mid"));
const QString kChangedElsewhere = QStringLiteral("다른 PC에서 자료가 바뀌었습니다 – F5");
// Another PC's change shows within a few seconds; a look costs next to nothing.
constexpr int kWatchIntervalMs = 2000;
} // namespace

fbMobil_Admin::fbMobil_Admin(QWidget *parent) : QWidget(parent), m_print(std::make_unique<cFpPreview>()) {
    m_print->SetAppName(AppState::title());
    setObjectName(QStringLiteral("fbMobil_Admin"));
    setWindowTitle(kCaption);
    using HandsetUi::button;
    btnQuery = button(this, "btnQuery", QStringLiteral("조회 F5"), QStyle::SP_FileDialogContentsView);
    btnRecAdd = button(this, "btnRecAdd", QStringLiteral("추가 F2"), QStyle::SP_FileDialogNewFolder);
    btnRecEdit = button(this, "btnRecEdit", QStringLiteral("수정 &E"), QStyle::SP_FileDialogDetailedView);
    btnRecDel = button(this, "btnRecDel", QStringLiteral("삭제 F4"), QStyle::SP_TrashIcon);
    btnPrint = button(this, "btnPrint", QStringLiteral("인쇄 F7"), QStyle::SP_DialogSaveButton);
    btnExcel = button(this, "btnExcel", QStringLiteral("엑셀 F8"), QStyle::SP_FileIcon);
    btnImport = button(this, "btnImport", QStringLiteral("가져오기 F9"), QStyle::SP_ArrowDown);
    btnClose = button(this, "btnClose", QStringLiteral("닫기 &C"), QStyle::SP_DialogCloseButton);

    auto *pnlButtons = new QFrame(this);
    pnlButtons->setFrameStyle(QFrame::Panel | QFrame::Raised);
    pnlButtons->setObjectName(QStringLiteral("pnlTop_0"));
    auto *buttons = new QHBoxLayout(pnlButtons);
    buttons->setContentsMargins(4, 3, 4, 3);
    // A notice, not a reload: the user may be in the middle of the rows.
    lblChanged = new QLabel(kChangedElsewhere, pnlButtons);
    lblChanged->setObjectName(QStringLiteral("lblChanged"));
    lblChanged->hide();
    buttons->addWidget(lblChanged);
    buttons->addStretch();
    for (QPushButton *b : {btnQuery, btnRecAdd, btnRecEdit, btnRecDel})
        buttons->addWidget(b);
    buttons->addSpacing(16);
    for (QPushButton *b : {btnPrint, btnExcel, btnImport, btnClose})
        buttons->addWidget(b);

    auto *pnlSearch = new QFrame(this);
    pnlSearch->setFrameStyle(QFrame::Panel | QFrame::Raised);
    pnlSearch->setObjectName(QStringLiteral("pnlTop_1"));
    auto *search = new QGridLayout(pnlSearch);
    search->setContentsMargins(6, 4, 6, 4);
    for (int m = 1; m <= 8; ++m) {
        const HandsetColumns::Column &column = HandsetColumns::field(m);
        htField[m] = HandsetUi::field(this, "htField", m);
        htField[m]->setMaxLength(column.maxLength);
        const int row = (m - 1) / 4, col = ((m - 1) % 4) * 3;
        search->addWidget(new QLabel(QString::fromUtf8(column.searchLabel), pnlSearch), row, col, Qt::AlignRight);
        search->addWidget(htField[m], row, col + 1);
        if (column.lookup & HandsetColumns::ListLookup) {
            QPushButton *charge = HandsetUi::lookupButton(this, QStringLiteral("btnCharge_%1").arg(m));
            connect(charge, &QPushButton::clicked, this, [this, m] { OpenLookup(m); });
            search->addWidget(charge, row, col + 2);
        }
        MoveByEnterAndArrows(htField[m]);
    }

    spList = new Spread(this);
    spList->setObjectName(QStringLiteral("spList"));
    auto *lay = new QVBoxLayout(this);
    lay->setContentsMargins(0, 0, 0, 0);
    lay->setSpacing(1);
    lay->addWidget(pnlButtons);
    lay->addWidget(pnlSearch);
    lay->addWidget(spList, 1);

    connect(btnQuery, &QPushButton::clicked, this, &fbMobil_Admin::QueryList);
    connect(btnRecAdd, &QPushButton::clicked, this, &fbMobil_Admin::RecAdd);
    connect(btnRecEdit, &QPushButton::clicked, this, &fbMobil_Admin::RecEdit);
    connect(btnRecDel, &QPushButton::clicked, this, [this] {
        RecDelete();
        SafeSetFocus(spList);
    });
    connect(btnPrint, &QPushButton::clicked, this, &fbMobil_Admin::PrintList);
    connect(btnExcel, &QPushButton::clicked, this, &fbMobil_Admin::ExportList);
    connect(btnImport, &QPushButton::clicked, this, &fbMobil_Admin::ImportList);
    connect(btnClose, &QPushButton::clicked, this, &QWidget::close);
    const std::pair<QKeyCombination, void (fbMobil_Admin::*)()> keys[] = {
        {Qt::Key_F5, &fbMobil_Admin::QueryList},
        {Qt::Key_F2, &fbMobil_Admin::RecAdd},
        {Qt::Key_F4, &fbMobil_Admin::RecDelete},
        {Qt::Key_F7, &fbMobil_Admin::PrintList},
        {Qt::Key_F8, &fbMobil_Admin::ExportList},
        {Qt::Key_F9, &fbMobil_Admin::ImportList},
        {Qt::SHIFT | Qt::Key_F8, &fbMobil_Admin::ExportListXlsx}};
    for (const auto &[key, slot] : keys) {
        auto *sc = new QShortcut(QKeySequence(key), this, nullptr, nullptr, Qt::WidgetWithChildrenShortcut);
        connect(sc, &QShortcut::activated, this, slot);
    }

    m_watchTimer = new QTimer(this);
    m_watchTimer->setInterval(kWatchIntervalMs);
    connect(m_watchTimer, &QTimer::timeout, this, &fbMobil_Admin::lookForChanges);

    m_entry = new fbMobil_Save(this);
    connect(m_entry, &fbMobil_Save::saved, this, [this](int code, int mode, const HandsetColumns::Fields &fields) {
        if (m_entry->caller() == this)
            SyncUpdateMobil(code, mode, fields);
    });
    resize(VbUnits::twipsToPx(15300), VbUnits::twipsToPx(9195));
    SetFormStyle(this, true);
    designGrid();
    for (int m = 1; m <= 8; ++m)
        htField[m]->clear();
}

fbMobil_Admin::~fbMobil_Admin() = default;

void fbMobil_Admin::designGrid() {
    spList->setMaxCols(HandsetColumns::gridColumnCount());
    for (const HandsetColumns::Column &c : HandsetColumns::all()) {
        if (c.gridCol == 0)
            continue;
        spList->setHeaderText(c.gridCol, 1, QString::fromUtf8(c.header));
        if (c.width > 0)
            spList->setColWidth(c.gridCol, c.width);
    }
    modSpread60::CommonSpreadDesign(spList, true, true, true, true, true);
    modSpread60::SetPictureColumn(spList, kPictureCol);
    modSpread60::SetColHidden(spList, kCodeCol, true);
    spList->setRowHeight(-1000, kHeaderHeight);

    connect(spList, &Spread::cellClicked, this, &fbMobil_Admin::ShowPicture);
    connect(spList, &Spread::cellDoubleClicked, this, [this](int, int row) {
        if (row > 0)
            RecEdit();
    });
    connect(spList, &Spread::keyDown, this, [this](int key, int shift, bool *consumed) {
        if (key == 13) {
            RecEdit();
            *consumed = true;
        } else if (modSpread60::SpreadKeyDown(spList, key, shift)) {
            *consumed = true;
        }
    });
    connect(spList, &Spread::rightClicked, this, [this](int, int, const QPoint &) {
        modSpread60::ShowSpreadMenu(this, spList, false, QString(), false, true);
    });
    connect(spList, &Spread::colWidthChanged, this, [this](int c1, int c2) {
        for (int c = c1; c <= c2; ++c)
            modFormIni::SaveSpreadColWidth(this, spList, c, QString(), -1);
    });
}

void fbMobil_Admin::showEvent(QShowEvent *e) {
    QWidget::showEvent(e);
    followCatalogue();
    if (m_layoutLoaded)
        return;
    if (auto *frame = qobject_cast<QMdiSubWindow *>(parentWidget()); frame && frame->mdiArea())
        connect(frame->mdiArea(), &QMdiArea::subWindowActivated, this, &fbMobil_Admin::followCatalogue);
    // The stored layout applies to the frame the window got once it was placed.
    m_layoutLoaded = true;
    // A stored row height brings its header height (row height + 2) along.
    modFormIni::LoadFormIni(this, false, QString());
    m_loadedGeometry = modFormIni::frameOf(this)->geometry();
}

void fbMobil_Admin::QueryList() {
    lblChanged->hide();
    if (m_watch)
        m_watch->catchUp(); // what this search reads is no news
    QApplication::setOverrideCursor(Qt::WaitCursor);
    // The old list's pages take the new one's rows instead of going back and faulting in anew.
    PageRecycler pages;
    spList->setRedraw(false);
    spList->setMaxRows(0);
    std::array<QString, 8> search;
    for (int m = 1; m <= 8; ++m)
        search[m - 1] = htField[m]->text();
    Recordset rs;
    int count = qMax(0, OpenRecordset(rs, HandsetSql::listQuery(search)));
    // Each grid column takes the result's field of its name.
    std::vector<std::pair<int, int>> fill; // grid column, result field
    for (const HandsetColumns::Column &c : HandsetColumns::all()) {
        if (c.gridCol == 0)
            continue;
        const int field = rs.fieldIndex(c.columnName());
        if (field < 0)
            count = 0;
        fill.emplace_back(c.gridCol, field);
    }
    spList->setMaxRows(count);
    if (count > 0) {
        showCount();
        // Each row's picture is its ID's (HandsetPictures), looked for only when its cell is
        // shown. A picture column the user has hidden shows no pictures.
        const bool shown = !spList->colHidden(kPictureCol) && spList->colWidth(kPictureCol) != 0;
        spList->setPictureSource(kPictureCol, shown ? kIdCol : 0, [folder = HandsetPictures::folder()](QStringView id) {
            return HandsetPictures::fileIn(folder, id.toString());
        });
        // On a server a shown cell's picture is fetched after the paint, never with the search.
        spList->setPictureFetcher(HandsetPictures::fetcher());
        // The grid shows the result's texts where the result keeps them.
        const auto pool = rs.textPool();
        for (const auto &[gridCol, field] : fill)
            spList->adoptTexts(gridCol, pool, rs.takeTexts(field));
    } else {
        if (isVisible())
            ShowFloatMsg(QStringLiteral("검색된 결과가 없습니다."), 500, WindowFit::onScreen(this));
        showCount();
    }
    CloseObj(rs);
    spList->setActiveCell(1, 1);
    spList->setRedraw(true);
    QApplication::restoreOverrideCursor();
}

// The caption counts the rows the grid holds, also after an entry was added or deleted.
void fbMobil_Admin::showCount() {
    const int n = spList->maxRows();
    setWindowTitle(n > 0 ? kCaption + QStringLiteral(" (총검색수 : ") + mdlCommonKV::FormatNum(n, 0, true, false) +
                               QLatin1Char(')')
                         : kCaption);
}

int fbMobil_Admin::GetSelectedCode(int row) const {
    if (spList->maxRows() == 0)
        return 0;
    return GetSpreadText(spList, kCodeCol, row).toInt();
}

void fbMobil_Admin::RecDelete() {
    try {
        const int code = GetSelectedCode(-2);
        if (code == 0) {
            MsgInfo(QStringLiteral("먼저 그리드에서 삭제할 자료를 선택하세요."));
            SafeSetFocus(spList);
            return;
        }
        if (code == 1) {
            MsgInfo(QStringLiteral("시스템의 기본자료이므로 삭제할 수 없습니다.\r\n현재자료를 수정후 사용하세요."));
            return;
        }
        if (MsgAsk(QStringLiteral("선택된 자료를 정말로 삭제 하시겠습니까?"), QStringLiteral("삭제"), true) == vbNo) {
            SafeSetFocus(spList);
            return;
        }
        const QString id = GetValue(HandsetSql::idQuery(code)).toString();
        // What the user saw is what goes: a row another PC changed in between is asked about.
        HandsetSave::Removal done = HandsetSave::deleteHandset(code, id, shownTexts(-2));
        if (done == HandsetSave::Removal::ChangedElsewhere &&
            MsgAsk(QStringLiteral("다른 PC에서 이 핸드폰 정보가 바뀌었습니다. 그래도 삭제하시겠습니까?\r\n"
                                  "(아니요: 삭제하지 않습니다. F5로 다시 조회해 보세요.)"),
                   QStringLiteral("삭제"), false) == vbYes)
            done = HandsetSave::deleteHandset(code, id);
        if (done == HandsetSave::Removal::DeletedElsewhere)
            MsgInfo(QStringLiteral("다른 PC에서 이미 삭제된 핸드폰입니다. 목록에서 뺍니다."));
        if (done == HandsetSave::Removal::ChangedElsewhere || done == HandsetSave::Removal::Failed) {
            spList->refresh();
            SafeSetFocus(spList);
            return;
        }
        modSpread60::SpreadDeleteRow(spList, -2, true, true);
        showCount();
        spList->refresh();
        SafeSetFocus(spList);
    } catch (const AppError &e) {
        ErrorBox::report(e, QStringLiteral("RecDelete"), QStringLiteral("Form ") + objectName());
    }
}

HandsetSql::ColumnTexts fbMobil_Admin::shownTexts(int row) const {
    HandsetSql::ColumnTexts texts;
    for (const HandsetColumns::Column &c : HandsetColumns::all())
        if (c.field >= 0 && c.gridCol > 0)
            texts.append({c.columnName(), GetSpreadText(spList, c.gridCol, row)});
    return texts;
}

void fbMobil_Admin::RecAdd() {
    m_entry->Form_Load();
    m_entry->SetFormMode(1, this, 0);
    ShowModalOver(m_entry, this);
    SafeSetFocus(spList); // the list's rows are what the user works on next
}

void fbMobil_Admin::RecEdit() {
    if (!btnRecEdit->isVisible() || !btnRecEdit->isEnabled())
        return;
    const int code = GetSelectedCode(-2);
    if (code == 0) {
        MsgInfo(QStringLiteral("먼저 그리드에서 수정할 자료를 선택하세요."));
    } else {
        m_entry->Form_Load();
        m_entry->SetFormMode(2, this, code);
        ShowModalOver(m_entry, this);
    }
    SafeSetFocus(spList);
}

void fbMobil_Admin::SyncUpdateMobil(int code, int eUpdateMode, const HandsetColumns::Fields &fields) {
    int row = spList->activeRow();
    if (eUpdateMode == 1) {
        spList->setMaxRows(spList->maxRows() + 1);
        row = spList->maxRows();
    }
    if (row < 1)
        return;
    for (const HandsetColumns::Column &c : HandsetColumns::all())
        if (c.field >= 0 && c.gridCol > 0)
            spList->setText(c.gridCol, row, fields[size_t(c.field)]);
    spList->setText(kCodeCol, row, QString::number(code));
    // The picture the saved handset has now (chosen, moved with its ID, or none) shows at once,
    // also in the rows of the same ID.
    const QString picture = HandsetPictures::file(fields[size_t(HandsetColumns::find(QStringLiteral("mid"))->field)]);
    if (!spList->colHidden(kPictureCol) && spList->colWidth(kPictureCol) != 0)
        spList->reloadPicture(kPictureCol, row, picture);
    spList->setActiveCell(qMax(1, spList->activeCol()), row);
    showCount();
}

void fbMobil_Admin::OpenLookup(int member) {
    const QString result = OpenHandsetLookup(HandsetColumns::field(member).columnName(), htField[member]->text());
    if (!result.isEmpty())
        htField[member]->setText(result);
}

void fbMobil_Admin::ShowPicture(int col, int row) {
    if (col != kPictureCol || row < 1 || !spList->hasCellPicture(col, row))
        return;
    const QString id = spList->text(kIdCol, row);
    FrmImageZoom zoom(this);
    if (!zoom.setHandsetPicture(id)) {
        MsgWarn(QStringLiteral("사진 파일을 읽을 수 없습니다. 그림 파일이 아니거나 손상되었습니다.\r\n") +
                QDir::toNativeSeparators(HandsetPictures::file(id)));
        return;
    }
    ShowModalOver(&zoom, this);
}

void fbMobil_Admin::PrintList() {
    try {
        m_print->SpreadPreview(spList, objectName(), windowTitle(), gUserName, QString(), 1, 0.3, 0.2, 0.5, 0.5, false,
                               1, QString(), false, 16);
    } catch (const AppError &e) {
        ErrorBox::report(e, QStringLiteral("btnPrint_Click"), QStringLiteral("Form fbMobil_Admin"));
    }
}

void fbMobil_Admin::ExportList() {
    modExcel_sp::ExportToExcelFile(spList, QStringLiteral("Sheet1"), true, false, false, true, true);
}

void fbMobil_Admin::ExportListXlsx() {
    modExcel_sp::ExportToExcelFile(spList, QStringLiteral("Sheet1"), true, false, false, true, true,
                                   QStringLiteral(".xlsx"));
}

void fbMobil_Admin::ImportList() {
    WindowRegistry::open(QStringLiteral("FrmHandsetImport"), this);
    SafeSetFocus(spList);
}

void fbMobil_Admin::resizeEvent(QResizeEvent *e) {
    QWidget::resizeEvent(e);
    if (isVisible())
        KeepMinSize(this, -1, -1);
}

bool fbMobil_Admin::isFrontWindow() const {
    if (!isVisible() || !isActiveWindow())
        return false;
    const auto *frame = qobject_cast<QMdiSubWindow *>(parentWidget());
    return !frame || !frame->mdiArea() || frame->mdiArea()->activeSubWindow() == frame;
}

// Looked for only while the list is in front; the first look on coming forward catches up
// with what happened meanwhile.
void fbMobil_Admin::followCatalogue() {
    const bool front = isFrontWindow();
    if (front == m_watchTimer->isActive())
        return;
    if (!front) {
        m_watchTimer->stop();
        return;
    }
    if (!m_watch)
        m_watch = CatalogueWatch::forOpenDatabase();
    if (!m_watch)
        return;
    m_watchTimer->start();
    lookForChanges();
}

void fbMobil_Admin::setWatchInterval(int ms) { m_watchTimer->setInterval(ms); }

void fbMobil_Admin::lookForChanges() {
    if (m_watch && m_watch->changedElsewhere())
        lblChanged->show();
    Q_EMIT lookedForChanges();
}

bool fbMobil_Admin::event(QEvent *e) {
    const bool handled = QWidget::event(e);
    if (e->type() == QEvent::WindowActivate || e->type() == QEvent::WindowDeactivate ||
        e->type() == QEvent::ActivationChange)
        followCatalogue();
    return handled;
}

void fbMobil_Admin::hideEvent(QHideEvent *e) {
    QWidget::hideEvent(e);
    followCatalogue();
}

void fbMobil_Admin::closeEvent(QCloseEvent *e) {
    m_watchTimer->stop();
    m_watch.reset();
    if (m_layoutLoaded && modFormIni::frameOf(this)->geometry() != m_loadedGeometry)
        modFormIni::SaveFormIni(this, QString());
    e->accept();
}
