#include "SpreadDelegate.h"
#include "CellFormat.h"
#include "SheetModel.h"
#include <QAbstractItemView>
#include <QApplication>
#include <QHelpEvent>
#include <QPainter>
#include <QTextLayout>
#include <QToolTip>
#include <cmath>
#include <limits>

QRect SpreadDelegate::pictureRect(const QRect &cell, const QSize &picture, int fit) {
    // QRect's centre is a pixel short of QRectF's; whole pixels from the top left.
    const QRectF r =
        PictureCache::fitRect(QRectF(cell.x(), cell.y(), cell.width(), cell.height()), QSizeF(picture), fit);
    return QRect(int(std::floor(r.x())), int(std::floor(r.y())), int(std::lround(r.width())),
                 int(std::lround(r.height())));
}

// A framed landscape, the usual sign of a picture, in the cell's text colour.
void SpreadDelegate::paintPictureMark(QPainter *painter, const QStyleOptionViewItem &opt) {
    const int side = std::max(6, std::min(opt.rect.height() - 4, 16));
    const QRectF box(opt.rect.center().x() - side / 2.0 + 0.5, opt.rect.center().y() - side / 2.0 + 0.5, side - 1,
                     side - 1);
    const QColor ink =
        opt.palette.color(opt.state & QStyle::State_Selected ? QPalette::HighlightedText : QPalette::Text);
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setPen(QPen(ink, 1));
    painter->setBrush(Qt::NoBrush);
    painter->drawRect(box);
    const QPolygonF hills{{box.left(), box.bottom()},
                          {box.left() + side * 0.35, box.top() + side * 0.45},
                          {box.left() + side * 0.6, box.top() + side * 0.7},
                          {box.left() + side * 0.75, box.top() + side * 0.55},
                          {box.right(), box.bottom()}};
    painter->setBrush(ink);
    painter->drawPolygon(hills);
    painter->drawEllipse(QPointF(box.right() - side * 0.25, box.top() + side * 0.25), side * 0.1, side * 0.1);
}

bool SpreadDelegate::isCutOff(const QStyleOptionViewItem &option, const QString &text) {
    const int margin = 2 * (QApplication::style()->pixelMetric(QStyle::PM_FocusFrameHMargin) + 1);
    return option.fontMetrics.horizontalAdvance(text) > option.rect.width() - margin;
}

void SpreadDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const {
    if (drawsGrid)
        paintMerged(painter, option, index);
    else
        paintCell(painter, option, index);
    const QColor border = index.data(SheetModel::BorderColorRole).value<QColor>();
    if (border.isValid()) {
        painter->save();
        painter->setPen(border);
        painter->drawRect(option.rect.adjusted(0, 0, -1, -1));
        painter->restore();
    }
}

void SpreadDelegate::paintMerged(QPainter *painter, const QStyleOptionViewItem &option,
                                 const QModelIndex &index) const {
    const auto *model = qobject_cast<const SheetModel *>(index.model());
    const int col = index.column() + 1, row = index.row() + 1;
    const bool joinsAbove = model && model->store().mergesWithAbove(col, row);
    const bool joinsBelow = model && model->store().mergesWithAbove(col, row + 1);
    const auto *view = qobject_cast<const QAbstractItemView *>(option.widget);
    // A merged cell shows its text once: in its first row, or in the top row on screen.
    const bool topOnScreen = view && view->indexAt(QPoint(option.rect.x() + 1, 1)).row() == index.row();
    if (joinsAbove && !topOnScreen) {
        QStyleOptionViewItem opt = option;
        initStyleOption(&opt, index);
        opt.text.clear();
        const QWidget *w = opt.widget;
        (w ? w->style() : QApplication::style())->drawControl(QStyle::CE_ItemViewItem, &opt, painter, w);
    } else {
        paintCell(painter, option, index);
    }
    const QWidget *w = option.widget;
    const QColor line(QColor::fromRgba(
        QRgb((w ? w->style() : QApplication::style())->styleHint(QStyle::SH_Table_GridLineColor, &option, w))));
    painter->save();
    painter->setPen(line.isValid() ? line : QColor(Qt::lightGray));
    const QRect r = option.rect;
    painter->drawLine(r.topRight(), r.bottomRight());
    if (!joinsBelow)
        painter->drawLine(r.bottomLeft(), r.bottomRight());
    painter->restore();
}

void SpreadDelegate::paintCell(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const {
    const auto type = CellType(index.data(SheetModel::CellTypeRole).toInt());
    if (type == CellType::Picture) {
        const QImage picture = index.data(SheetModel::PictureRole).value<QImage>();
        if (!picture.isNull()) {
            QStyleOptionViewItem opt = option;
            initStyleOption(&opt, index);
            opt.text.clear();
            const QWidget *w = opt.widget;
            QStyle *style = w ? w->style() : QApplication::style();
            style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, w);
            const QRect target = pictureRect(opt.rect.adjusted(1, 1, -1, -1), picture.size(),
                                             index.data(SheetModel::PictureFitRole).toInt());
            painter->save();
            painter->setClipRect(opt.rect);
            if (target.width() < kLeastPictureWidth || target.height() < kLeastPictureWidth) {
                paintPictureMark(painter, opt);
            } else {
                painter->setRenderHint(QPainter::SmoothPixmapTransform);
                painter->drawImage(target, picture);
            }
            painter->restore();
            return;
        }
    } else if (type == CellType::Button) {
        // The style draws the caption in the painter's font: the cell's own, e.g. bold.
        QStyleOptionViewItem opt = option;
        initStyleOption(&opt, index);
        QStyleOptionButton button;
        button.rect = option.rect.adjusted(1, 1, -1, -1);
        button.text = opt.text;
        button.state = option.state | QStyle::State_Raised;
        button.fontMetrics = opt.fontMetrics;
        painter->save();
        painter->setFont(opt.font);
        const QWidget *w = option.widget;
        (w ? w->style() : QApplication::style())->drawControl(QStyle::CE_PushButton, &button, painter, w);
        painter->restore();
        return;
    }
    paintText(painter, option, index);
}

// The usual cell (neither selected, current nor under the mouse, no check box or icon, one
// line): its background and text from the model's values, without the style's per-cell
// option set-up and item layout, which cost most of a screen's paint. False leaves it to the
// style's path.
bool SpreadDelegate::paintPlainText(QPainter *painter, const QStyleOptionViewItem &option,
                                    const QModelIndex &index) const {
    if (option.state & (QStyle::State_Selected | QStyle::State_HasFocus | QStyle::State_MouseOver) ||
        index.data(Qt::CheckStateRole).isValid() || index.data(Qt::DecorationRole).isValid())
        return false;
    const QString text = index.data(Qt::DisplayRole).toString();
    const QVariant ownFont = index.data(Qt::FontRole);
    const QFont font = ownFont.isValid() ? qvariant_cast<QFont>(ownFont).resolve(option.font) : option.font;
    const QFontMetrics metrics = ownFont.isValid() ? QFontMetrics(font) : option.fontMetrics;
    const QRect r = textRect(option);
    if (text.contains(QLatin1Char('\n')) ||
        ((option.features & QStyleOptionViewItem::WrapText) && r.height() >= 2 * metrics.lineSpacing()))
        return false;
    if (const QBrush back = qvariant_cast<QBrush>(index.data(Qt::BackgroundRole)); back.style() == Qt::SolidPattern) {
        painter->fillRect(option.rect, back.color());
    } else if (back.style() != Qt::NoBrush) {
        const QPointF origin = painter->brushOrigin();
        painter->setBrushOrigin(option.rect.topLeft());
        painter->fillRect(option.rect, back);
        painter->setBrushOrigin(origin);
    }
    if (text.isEmpty())
        return true;
    const QVariant align = index.data(Qt::TextAlignmentRole);
    const Qt::Alignment alignment = !align.isValid() ? option.displayAlignment
                                    : align.metaType() == QMetaType::fromType<Qt::Alignment>()
                                        ? align.value<Qt::Alignment>()
                                        : Qt::Alignment(align.toInt());
    const QBrush ink = qvariant_cast<QBrush>(index.data(Qt::ForegroundRole));
    painter->save();
    painter->setPen(ink.style() != Qt::NoBrush ? ink.color()
                                               : option.palette.color(colorGroup(option), QPalette::Text));
    painter->setFont(font);
    painter->setClipRect(option.rect);
    // Laid out once: a text that fits is drawn from that layout, placed as drawing it by the
    // rectangle places it, which would lay it out again after the elision had measured it.
    QTextLayout layout(text, font, painter->device());
    layout.beginLayout();
    QTextLine line = layout.createLine();
    line.setLineWidth(std::numeric_limits<int>::max() / 256);
    layout.endLayout();
    const qreal width = line.naturalTextWidth(), height = line.ascent() + line.descent();
    if (width > r.width()) {
        painter->drawText(r, int(alignment), metrics.elidedText(text, option.textElideMode, r.width()));
    } else {
        const qreal x = (alignment & Qt::AlignRight)     ? r.x() + r.width() - width
                        : (alignment & Qt::AlignHCenter) ? r.x() + (r.width() - width) / 2
                                                         : r.x();
        const qreal y = (alignment & Qt::AlignBottom)    ? r.y() + r.height() - height
                        : (alignment & Qt::AlignVCenter) ? r.y() + (r.height() - height) / 2
                                                         : r.y();
        layout.draw(painter, QPointF(x, y));
    }
    painter->restore();
    return true;
}

// The cell less the style's text margin on either side, where both paint paths put the text.
QRect SpreadDelegate::textRect(const QStyleOptionViewItem &option) {
    const QWidget *w = option.widget;
    const int margin =
        (w ? w->style() : QApplication::style())->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, w) + 1;
    return option.rect.adjusted(margin, 0, -margin, 0);
}

QPalette::ColorGroup SpreadDelegate::colorGroup(const QStyleOptionViewItem &option) {
    return !(option.state & QStyle::State_Enabled) ? QPalette::Disabled
           : (option.state & QStyle::State_Active) ? QPalette::Normal
                                                   : QPalette::Inactive;
}

// One line of text is drawn here: the style's item path lays each cell's text out three times
// (size, layout, elision), which made a screen of the grid cost several milliseconds.
void SpreadDelegate::paintText(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const {
    if (plainCells && paintPlainText(painter, option, index))
        return;
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    const QWidget *w = opt.widget;
    QStyle *style = w ? w->style() : QApplication::style();
    const QRect r = textRect(opt);
    // Several lines, wrapped or broken, are the style's to lay out.
    const bool wraps = (opt.features & QStyleOptionViewItem::WrapText) &&
                       r.height() >= 2 * opt.fontMetrics.lineSpacing() &&
                       opt.fontMetrics.horizontalAdvance(opt.text) > r.width();
    if (wraps || (opt.features & (QStyleOptionViewItem::HasCheckIndicator | QStyleOptionViewItem::HasDecoration)) ||
        opt.text.contains(QLatin1Char('\n'))) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    const QString text = opt.text;
    opt.text.clear();
    opt.features &= ~(QStyleOptionViewItem::HasDisplay | QStyleOptionViewItem::WrapText);
    style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, w);
    if (text.isEmpty())
        return;
    painter->save();
    painter->setPen(opt.palette.color(colorGroup(opt),
                                      opt.state & QStyle::State_Selected ? QPalette::HighlightedText : QPalette::Text));
    painter->setFont(opt.font);
    painter->setClipRect(opt.rect);
    painter->drawText(r, int(opt.displayAlignment), opt.fontMetrics.elidedText(text, opt.textElideMode, r.width()));
    painter->restore();
}

bool SpreadDelegate::helpEvent(QHelpEvent *event, QAbstractItemView *view, const QStyleOptionViewItem &option,
                               const QModelIndex &index) {
    if (event->type() != QEvent::ToolTip)
        return QStyledItemDelegate::helpEvent(event, view, option, index);
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    const QString text = index.data(Qt::DisplayRole).toString();
    if (const QString picture = index.data(Qt::ToolTipRole).toString(); !picture.isEmpty())
        QToolTip::showText(event->globalPos(), picture, view, option.rect);
    else if (textTip && !text.isEmpty() && isCutOff(opt, text))
        QToolTip::showText(event->globalPos(), text, view, option.rect);
    else
        QToolTip::hideText();
    return true;
}
