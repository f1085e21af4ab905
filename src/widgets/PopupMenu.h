#pragma once
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

class QWidget;

// A pop-up menu described by a list of texts: "-" a separator, "X" greys the next item,
// "NNcaption" an item with command number NN; a caption starting "[v]" is checked.
struct PopupMenuItem {
    bool separator = false;
    int command = 0;
    QString caption;
    bool checked = false;
    bool enabled = true;
};
using PopupMenuModel = QList<PopupMenuItem>;

PopupMenuModel parsePopupMenu(const QStringList &items);

// Shows the menu at the mouse position; the chosen command number, 0 when dismissed.
int ShowPopupMenu(QWidget *window, const QStringList &items);

// Tests pick a command without opening a menu: the hook gets the parsed menu and returns the
// command number as the user's choice. Pass an empty function to restore the real menu.
void setPopupMenuChooser(std::function<int(const PopupMenuModel &)> chooser);
