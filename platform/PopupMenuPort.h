#pragma once

#include <QPoint>
#include <QString>
#include <QStringList>

class QMenu;

namespace tova {

// Shows a pop-up menu at a screen position and returns the object name of the chosen item (""
// when dismissed). The Qt implementation runs the menu; the caller then triggers the chosen item.
class PopupMenuPort {
public:
    virtual ~PopupMenuPort() = default;
    virtual QString popup(QMenu* menu, const QPoint& globalPos) = 0;
};

}  // namespace tova
