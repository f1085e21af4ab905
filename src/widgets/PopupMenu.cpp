#include "PopupMenu.h"
#include <QCursor>
#include <QMenu>

namespace {
std::function<int(const PopupMenuModel &)> g_chooser;
}

void setPopupMenuChooser(std::function<int(const PopupMenuModel &)> chooser) { g_chooser = std::move(chooser); }

int ShowPopupMenu(QWidget *window, const QStringList &items) {
    const PopupMenuModel model = parsePopupMenu(items);
    if (g_chooser)
        return g_chooser(model);
    QMenu menu(window);
    for (const PopupMenuItem &item : model) {
        if (item.separator) {
            menu.addSeparator();
            continue;
        }
        QAction *a = menu.addAction(item.caption);
        a->setData(item.command);
        a->setCheckable(item.checked);
        a->setChecked(item.checked);
        a->setEnabled(item.enabled);
    }
    const QAction *chosen = menu.exec(QCursor::pos());
    return chosen ? chosen->data().toInt() : 0;
}
