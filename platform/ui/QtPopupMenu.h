#pragma once

#include "platform/PopupMenuPort.h"

namespace tova {

// The real pop-up menu behind the pop-up-menu port.
class QtPopupMenu : public PopupMenuPort {
public:
    QString popup(QMenu* menu, const QPoint& globalPos) override;
};

}  // namespace tova
