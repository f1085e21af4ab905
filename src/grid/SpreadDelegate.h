#pragma once
#include <QStyledItemDelegate>

// Paints the cell types of a Spread (pictures fitted to the cell, buttons), cell borders,
// and shows the whole text of a cut-off cell as a tip.
class SpreadDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    bool textTip = false;
    // Merged columns: the view's own grid is off and cells draw their lines, leaving out
    // the ones inside a merged cell.
    bool drawsGrid = false;
    // The usual text cell is drawn without the style's item path, to the same pixels; false
    // sends every cell through the style (what the short way is held against).
    bool plainCells = true;

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    bool helpEvent(QHelpEvent *event, QAbstractItemView *view, const QStyleOptionViewItem &option,
                   const QModelIndex &index) override;

    // Where a picture of the given size goes in the cell for the PictureFit flags.
    static QRect pictureRect(const QRect &cell, const QSize &picture, int fit);
    // A picture fitted narrower or lower than this shows as a mark: a sliver tells nothing.
    static constexpr int kLeastPictureWidth = 12;
    // True when the text needs more room than the cell gives it.
    static bool isCutOff(const QStyleOptionViewItem &option, const QString &text);

private:
    static void paintPictureMark(QPainter *painter, const QStyleOptionViewItem &opt);
    void paintMerged(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const;
    void paintCell(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const;
    void paintText(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const;
    bool paintPlainText(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const;
    static QPalette::ColorGroup colorGroup(const QStyleOptionViewItem &option);
    static QRect textRect(const QStyleOptionViewItem &option);
};
