#include "PopupMenu.h"

PopupMenuModel parsePopupMenu(const QStringList &items) {
    PopupMenuModel menu;
    bool grey = false;
    for (const QString &entry : items) {
        if (entry == QLatin1String("-")) {
            menu.append(PopupMenuItem{true, 0, {}, false, true});
            continue;
        }
        if (entry == QLatin1String("X")) {
            grey = true;
            continue;
        }
        PopupMenuItem item;
        item.command = entry.left(2).toInt();
        item.caption = entry.mid(2);
        if (item.caption.startsWith(QLatin1String("[v]"))) {
            item.checked = true;
            item.caption.remove(0, 3);
        }
        item.enabled = !grey;
        grey = false;
        menu.append(item);
    }
    return menu;
}
