#include "modSpread60.h"
#include "AppState.h"
#include "FloatMsg.h"
#include "FormLayoutFile.h"
#include "FrmFindInSpread.h"
#include "FrmSprRPTCol.h"
#include "Messages.h"
#include "PopupMenu.h"
#include "Prompter.h"
#include "Spread.h"
#include "VbUnits.h"
#include "WindowFit.h"
#include "modFormIni.h"
#include "modFrmCtrl.h"
#include <cmath>

namespace modSpread60 {

namespace {

const QString kSubtotalTag = QStringLiteral("subtot");

enum Command {
    CmdClose = 0,
    CmdRowHeight,
    CmdFontSize,
    CmdReset,
    CmdReportColumns,
    CmdShortcuts,
    CmdSubtotals,
    CmdSubtotalsOnly
};

// Asks until the answer is empty (or cancelled), 0 or inside [low, high]. A text that is no
// number asks again. Empty when nothing is to be done.
std::optional<QString> askNumber(const QString &title, const QString &prompt, double current, double low, double high) {
    for (;;) {
        const std::optional<QString> answer = prompter().input(title, prompt, QString::number(current));
        if (!answer || answer->trimmed().isEmpty())
            return std::nullopt;
        const QString text = answer->trimmed();
        const std::optional<double> v = FormLayoutFile::numeric(text);
        if (!v || (*v != 0 && (*v < low || *v > high)))
            continue;
        if (*v == current)
            return std::nullopt;
        return text;
    }
}

void changeRowHeight(QWidget *window, Spread *grid, const QString &suffix) {
    const double current = std::trunc(grid->rowHeight(-1));
    const auto answer =
        askNumber(QStringLiteral("그리드의 줄높이 변경"),
                  QStringLiteral("변경할 그리드의 줄높이를 입력하세요.(입력범위: 8~300, 0:기본값)"), current, 8, 300);
    if (!answer)
        return;
    const double v = answer->toDouble();
    if (v != 0)
        grid->setDataRowHeight(v);
    else
        ApplyDefaultGridLook(grid);
    modFormIni::SaveSpreadIni_Gn(window, grid, QStringLiteral("RowHeight"), *answer, suffix);
}

void changeFontSize(QWidget *window, Spread *grid, const QString &suffix) {
    const double current = grid->fontSize(1, 1);
    const auto answer =
        askNumber(QStringLiteral("그리드내 글자크기 변경"),
                  QStringLiteral("변경할 글자의 크기를 입력하세요.(입력범위: 8~60, 0:기본값)"), current, 8, 60);
    if (!answer)
        return;
    const double v = answer->toDouble();
    if (v != 0) {
        grid->setFontSize(-1, -1, v);
        grid->setFontSize(-1, 0, v);
        grid->growRowsToFont();
    } else {
        ApplyDefaultGridLook(grid);
    }
    modFormIni::SaveSpreadIni_Gn(window, grid, QStringLiteral("FontSize"), *answer, suffix);
}

void resetLayout(QWidget *window, Spread *grid, const QString &suffix) {
    const QString ask = QStringLiteral("해당폼의 폼의 위치 및 크기, 그리드의 각 칸의 넓이\r\n\r\n"
                                       ", 줄높이, 글자크기등이 모두 초기화 됩니다.\r\n\r\n초기화 하시겠습니까?");
    if (MsgAsk(ask, QString(), true) != vbYes)
        return;
    modFormIni::DelFormIni(window->objectName() + suffix);
    ApplyDefaultGridLook(grid);
    MsgInfo(QStringLiteral("초기화를 완료하였습니다.\r\n\r\n"
                           "현재창을 닫고 다시 열어 주셔야 초기화된 형태가 제대로 보여집니다."));
}

// Inverts the hidden state of the rows whose row-header tag is (or is not) the subtotal tag.
bool hasSubtotalRows(const Spread *grid) {
    for (int r = 1; r <= grid->maxRows(); ++r)
        if (grid->cellTag(0, r) == kSubtotalTag)
            return true;
    return false;
}

void toggleRows(Spread *grid, bool subtotalRows) {
    // Without subtotal rows "subtotals only" would hide every row.
    if (!hasSubtotalRows(grid))
        return;
    const bool redraw = grid->redraw();
    grid->setRedraw(false); // one relayout, not one per row
    for (int r = 1; r <= grid->maxRows(); ++r)
        if ((grid->cellTag(0, r) == kSubtotalTag) == subtotalRows)
            grid->setRowHidden(r, !grid->rowHidden(r));
    grid->setRedraw(redraw);
    grid->refresh();
}
} // namespace

void CommonSpreadDesign(Spread *grid, bool readOnlyList, bool emptyRows, bool sortByHeader, bool singleSelect,
                        bool oddEvenColors) {
    grid->setClassicAppearance();
    if (readOnlyList) {
        if (singleSelect)
            grid->setSingleRowSelect(true);
        grid->setBlockSelect(false);
        grid->setLock(-1, -1, true);
    } else {
        grid->setEditingGrid(true);
    }
    if (sortByHeader)
        grid->setSortByHeader(true);
    if (gStyleOn)
        grid->setShadowColors(VbUnits::toColor(gSpreadShadowColor ? gSpreadShadowColor : 16048844),
                              VbUnits::toColor(gSpreadShadowText));
    ApplyDefaultGridLook(grid);
    grid->setSelBackColor(VbUnits::toColor(12254974));
    grid->setTextTip(true);
    if (emptyRows)
        grid->setMaxRows(0);
    if (oddEvenColors)
        grid->setOddEvenRowColor(QColor(255, 255, 255), Qt::black, QColor(243, 249, 251), Qt::black);
    grid->setActionKeysEnabled(false);
    if (grid->rowHeadersShow() && emptyRows)
        grid->setText(0, 0, QStringLiteral("No"));
}

void SetPictureColumn(Spread *grid, int col) {
    grid->setCellType(col, -1, CellType::Picture);
    grid->setPictureFit(col, -1, PictStretch | PictCenter | PictMaintainScale);
}

void SetColHidden(Spread *grid, int col, bool hidden) { grid->setColHidden(col, hidden); }

void SpreadDeleteRow(Spread *grid, int row, bool notify, bool shrink) {
    if (row == -2)
        row = grid->activeRow();
    // No active row (an empty grid) leaves nothing to delete.
    if (row < 1 || row > grid->maxRows())
        return;
    grid->deleteRows(row, 1);
    if (shrink)
        grid->setMaxRows(grid->dataRowCnt());
    grid->refresh();
    if (notify)
        ShowFloatMsg(QStringLiteral("자료를 삭제하였습니다."), 500, WindowFit::onScreen(grid));
}

void ApplyDefaultGridLook(Spread *grid) {
    if (gGridFontSize == 0 || gGridRowHeight == 0)
        return;
    grid->setFontSize(-1, -1, gGridFontSize);
    grid->setFontSize(-1, 0, gGridFontSize);
    grid->setDataRowHeight(gGridRowHeight);
}

QStringList SpreadMenuItems(bool withReportColumns, bool withShortcutList, bool withSubtotals) {
    QStringList items{QStringLiteral("01그리드 【줄높이】변경"), QStringLiteral("02【글자크기】       변경"),
                      QStringLiteral("-"), QStringLiteral("03폼 및 그리드 설정【초기화】")};
    if (withReportColumns) {
        items << QStringLiteral("-") << QStringLiteral("04【보고서】용 칼럼 설정");
        if (withShortcutList)
            items << QStringLiteral("-") << QStringLiteral("05시트내 【단축키】 목록");
    }
    if (withSubtotals)
        items << QStringLiteral("-") << QStringLiteral("06【소계】숨김/보기")
              << QStringLiteral("07【소계만】보기/해제");
    items << QStringLiteral("-") << QStringLiteral("00메    뉴      닫    기");
    return items;
}

namespace {
void showReportColumns(QWidget *window, Spread *grid) {
    FrmSprRPTCol chooser(window);
    chooser.SetParam(window, grid);
    WindowFit::centre(&chooser, window);
    ShowModalOver(&chooser, window);
}
} // namespace

void RunSpreadMenuCommand(int command, QWidget *window, Spread *grid, const QString &fileSuffix) {
    switch (command) {
    case CmdRowHeight: changeRowHeight(window, grid, fileSuffix); break;
    case CmdFontSize: changeFontSize(window, grid, fileSuffix); break;
    case CmdReset: resetLayout(window, grid, fileSuffix); break;
    case CmdReportColumns: showReportColumns(window, grid); break;
    case CmdShortcuts: ShowSpreadShortcutList(grid); break;
    case CmdSubtotals: toggleRows(grid, true); break;
    case CmdSubtotalsOnly: toggleRows(grid, false); break;
    default: break;
    }
}

void ShowSpreadMenu(QWidget *window, Spread *grid, bool withReportColumns, const QString &fileSuffix,
                    bool withShortcutList, bool withSubtotals) {
    QStringList items = SpreadMenuItems(withReportColumns, withShortcutList, withSubtotals);
    if (withSubtotals && !hasSubtotalRows(grid))
        for (qsizetype i = items.size() - 1; i >= 0; --i)
            if (items[i].startsWith(QLatin1String("06")) || items[i].startsWith(QLatin1String("07")))
                items.insert(i, QStringLiteral("X")); // greyed: nothing to act on
    const int command = ShowPopupMenu(window, items);
    RunSpreadMenuCommand(command, window, grid, fileSuffix);
}

bool SpreadKeyDown(Spread *grid, int keyCode, int shift) {
    if (shift != 2)
        return false;
    const int active = grid->activeRow();
    switch (keyCode) {
    case 72: // H
        ShowSpreadShortcutList(grid);
        return true;
    case 70: // F
        ShowFindInSpread(grid, -1, -1);
        return true;
    case 69: // E
        if (active != 0)
            grid->setRowHidden(active, true);
        return true;
    case 87: // W
        if (active > 1)
            grid->setRowHidden(active - 1, false);
        if (active < grid->maxRows())
            grid->setRowHidden(active + 1, false);
        return true;
    default: return false;
    }
}

void ShowSpreadShortcutList(Spread *grid) {
    const QStringList lines{QStringLiteral(" - Ctrl + H : 단축키 목록보기"), QStringLiteral(" - Ctrl + F : 찾기"),
                            QStringLiteral(" - Ctrl + E : 행숨김"),
                            QStringLiteral(" - Ctrl + W : 행숨김 취소(아래/위행)")};
    prompter().message(Prompter::Icon::Information, QStringLiteral("시트내 단축키 목록"),
                       lines.join(QStringLiteral("\r\n\r\n")));
    grid->setFocus();
}

void ShowFindInSpread(Spread *grid, int firstCol, int lastCol) {
    FrmFindInSpread find(grid->window());
    find.SetFormInit(grid, firstCol, lastCol);
    ShowModalOver(&find, grid);
}

} // namespace modSpread60
