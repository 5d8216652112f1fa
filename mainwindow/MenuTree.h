#pragma once

#include <QList>
#include <QString>

namespace tova {

// One entry of the main window's menu tree: a top-level menu, a submenu, an item or a separator.
struct MenuEntry {
    QString name;      // control name
    QString caption;   // "-" draws a separator line
    QString shortcut;  // portable key text ("Ctrl+S", "Shift+Del", "F3"); empty when none
    QString parent;    // the menu that holds it; empty for a top-level menu
    bool disabled = false;  // disabled at start
    bool hidden = false;    // not visible at start (for a top-level menu: a pop-up menu only)
    bool arrayElement = false;  // element 0 of a control array filled at run time
    bool submenu = false;       // a menu that holds entries

    bool isSeparator() const { return caption == QStringLiteral("-"); }
    bool isTopLevel() const { return parent.isEmpty(); }
};

// The main window's menu tree in display order: eight menus of the menu bar, then the six hidden
// top-level menus that pop up on the roll and the ruler. Every entry follows the menu that holds it.
class MenuTree {
public:
    static const QList<MenuEntry>& entries();
    // The entry of that name; nullptr when there is none.
    static const MenuEntry* find(const QString& name);
    // The names of the pop-up menus (hidden top-level menus).
    static QList<QString> popupMenus();
};

}  // namespace tova
