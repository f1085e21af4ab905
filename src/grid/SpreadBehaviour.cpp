// The look and the event handling of Spread.
#include "SheetModel.h"
#include "Spread.h"
#include "SpreadDelegate.h"
#include <QAbstractButton>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPainter>
#include <QStyleOptionHeader>

void Spread::setClassicAppearance() {
    setFrameShape(QFrame::Box);
    setShowGrid(true);
    setGridStyle(Qt::SolidLine);
    setAlternatingRowColors(false);
}

void Spread::setShadowColors(const QColor &back, const QColor &text) {
    m_shadowColor = back;
    m_shadowText = text;
    m_model->setHeaderColors(back, text);
    if (auto *corner = findChild<QAbstractButton *>())
        corner->update();
}

void Spread::setOddEvenRowColor(const QColor &oddBack, const QColor &oddText, const QColor &evenBack,
                                const QColor &evenText) {
    m_model->setOddEvenColors(oddBack, oddText, evenBack, evenText);
}

QColor Spread::selBackColor() const { return palette().color(QPalette::Active, QPalette::Highlight); }

void Spread::setSelBackColor(const QColor &color) {
    QPalette p = palette();
    for (const auto group : {QPalette::Active, QPalette::Inactive}) {
        p.setColor(group, QPalette::Highlight, color);
        // A light selection colour needs dark text to stay readable.
        p.setColor(group, QPalette::HighlightedText, color.lightness() > 128 ? Qt::black : Qt::white);
    }
    setPalette(p);
}

bool Spread::singleRowSelect() const {
    return selectionBehavior() == QAbstractItemView::SelectRows &&
           selectionMode() == QAbstractItemView::SingleSelection;
}

void Spread::setSingleRowSelect(bool on) {
    setSelectionBehavior(on ? QAbstractItemView::SelectRows : QAbstractItemView::SelectItems);
    if (on)
        setSelectionMode(QAbstractItemView::SingleSelection);
}

bool Spread::blockSelect() const { return selectionMode() == QAbstractItemView::ExtendedSelection; }

void Spread::setBlockSelect(bool on) {
    setSelectionMode(on ? QAbstractItemView::ExtendedSelection : QAbstractItemView::SingleSelection);
}

bool Spread::textTip() const { return m_delegate->textTip; }

void Spread::setTextTip(bool on) { m_delegate->textTip = on; }

bool Spread::rowHeadersShow() const { return !verticalHeader()->isHidden(); }

void Spread::setRowHeadersShow(bool on) { verticalHeader()->setVisible(on); }

void Spread::setEditingGrid(bool on) {
    m_editing = on;
    EditTriggers t = QAbstractItemView::DoubleClicked | QAbstractItemView::SelectedClicked;
    if (on)
        t |= QAbstractItemView::CurrentChanged | QAbstractItemView::AnyKeyPressed;
    if (m_actionKeys)
        t |= QAbstractItemView::EditKeyPressed;
    setEditTriggers(t);
}

void Spread::setActionKeysEnabled(bool on) {
    m_actionKeys = on;
    setEditingGrid(m_editing);
}

void Spread::setSortByHeader(bool on) {
    m_sortByHeader = on;
    horizontalHeader()->setSectionsClickable(true);
    horizontalHeader()->setSortIndicatorShown(on);
}

void Spread::sortRows(int col, bool ascending) {
    if (col < 1 || col > maxCols())
        return;
    m_model->sort(col - 1, ascending ? Qt::AscendingOrder : Qt::DescendingOrder);
    if (sheet().rowsDiffer()) // a million rows of one height need no word to the view
        syncRowsToView();
    m_sortCol = col;
    m_sortAscending = ascending;
    horizontalHeader()->setSortIndicator(col - 1, ascending ? Qt::AscendingOrder : Qt::DescendingOrder);
}

void Spread::onHeaderClicked(int logical) {
    const int col = logical + 1;
    Q_EMIT cellClicked(col, 0);
    if (m_sortByHeader)
        sortRows(col, col == m_sortCol ? !m_sortAscending : true);
}

void Spread::onSectionResized(int logical, int, int newSize) {
    if (m_syncing || horizontalHeader()->isSectionHidden(logical))
        return;
    const int col = logical + 1;
    m_model->store().setColWidth(col, colWidthChars(newSize));
    Q_EMIT colWidthChanged(col, col);
}

int Spread::keyCodeOf(int qtKey) {
    if ((qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) || (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) ||
        qtKey == Qt::Key_Space)
        return qtKey;
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F12)
        return 112 + (qtKey - Qt::Key_F1);
    switch (qtKey) {
    case Qt::Key_Return:
    case Qt::Key_Enter: return 13;
    case Qt::Key_Escape: return 27;
    case Qt::Key_Shift: return 16;
    case Qt::Key_Control: return 17;
    case Qt::Key_Alt: return 18;
    case Qt::Key_Tab: return 9;
    case Qt::Key_Backspace: return 8;
    case Qt::Key_PageUp: return 33;
    case Qt::Key_PageDown: return 34;
    case Qt::Key_End: return 35;
    case Qt::Key_Home: return 36;
    case Qt::Key_Left: return 37;
    case Qt::Key_Up: return 38;
    case Qt::Key_Right: return 39;
    case Qt::Key_Down: return 40;
    case Qt::Key_Insert: return 45;
    case Qt::Key_Delete: return 46;
    default: return 0;
    }
}

int Spread::shiftStateOf(Qt::KeyboardModifiers mods) {
    return (mods & Qt::ShiftModifier ? 1 : 0) | (mods & Qt::ControlModifier ? 2 : 0) | (mods & Qt::AltModifier ? 4 : 0);
}

void Spread::keyPressEvent(QKeyEvent *event) {
    bool consumed = false;
    Q_EMIT keyDown(keyCodeOf(event->key()), shiftStateOf(event->modifiers()), &consumed);
    if (consumed) {
        event->accept();
        return;
    }
    if (!event->text().isEmpty())
        Q_EMIT keyPress(event->text());
    QTableView::keyPressEvent(event);
}

bool Spread::event(QEvent *event) {
    // The grid's Ctrl+H/F/E/W win over any window shortcut on the same keys (an MDI frame
    // closes on Ctrl+W).
    if (event->type() == QEvent::ShortcutOverride) {
        const auto *k = static_cast<QKeyEvent *>(event);
        if (k->modifiers() == Qt::ControlModifier &&
            (k->key() == Qt::Key_H || k->key() == Qt::Key_F || k->key() == Qt::Key_E || k->key() == Qt::Key_W)) {
            event->accept();
            return true;
        }
    }
    return QTableView::event(event);
}

void Spread::contextMenuEvent(QContextMenuEvent *event) {
    const QModelIndex i = indexAt(event->pos());
    Q_EMIT rightClicked(i.isValid() ? i.column() + 1 : 0, i.isValid() ? i.row() + 1 : 0, event->globalPos());
    event->accept();
}

bool Spread::edit(const QModelIndex &index, EditTrigger trigger, QEvent *event) {
    const bool wasEditing = state() == QAbstractItemView::EditingState;
    const bool opened = QTableView::edit(index, trigger, event);
    if (opened && !wasEditing && state() == QAbstractItemView::EditingState)
        Q_EMIT editMode(index.column() + 1, index.row() + 1, true);
    return opened;
}

void Spread::closeEditor(QWidget *editor, QAbstractItemDelegate::EndEditHint hint) {
    const QModelIndex index = currentIndex();
    QTableView::closeEditor(editor, hint);
    if (state() != QAbstractItemView::EditingState)
        Q_EMIT editMode(index.column() + 1, index.row() + 1, false);
}

bool Spread::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() == QEvent::Paint)
        if (auto *corner = qobject_cast<QAbstractButton *>(watched)) {
            paintCorner(corner);
            return true;
        }
    return QTableView::eventFilter(watched, event);
}

void Spread::paintCorner(QAbstractButton *corner) {
    // Qt's corner button draws an empty section; ours carries the corner cell's text.
    QStyleOptionHeader opt;
    opt.initFrom(corner);
    opt.state |= QStyle::State_Raised;
    opt.rect = corner->rect();
    opt.position = QStyleOptionHeader::OnlyOneSection;
    opt.text = text(0, 0);
    opt.textAlignment = Qt::AlignCenter;
    if (m_shadowColor.isValid()) {
        opt.palette.setColor(QPalette::Button, m_shadowColor);
        opt.palette.setColor(QPalette::Window, m_shadowColor);
    }
    if (m_shadowText.isValid())
        opt.palette.setColor(QPalette::ButtonText, m_shadowText);
    QPainter painter(corner);
    corner->style()->drawControl(QStyle::CE_Header, &opt, &painter, corner);
}
