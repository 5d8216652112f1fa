#include "platform/ui/QtPopupMenu.h"

#include <QAction>
#include <QMenu>

namespace tova {

QString QtPopupMenu::popup(QMenu* menu, const QPoint& globalPos) {
    if (!menu) return QString();
    QAction* a = menu->exec(globalPos);
    return a ? a->objectName() : QString();
}

}  // namespace tova
