#include "core/LocalizableWindow.h"

namespace tova {

LocalizableControl* LocalizableWindow::findControl(const QString& name, std::optional<int> index) {
    const int n = controlCount();
    for (int i = 0; i < n; ++i) {
        LocalizableControl* c = control(i);
        if (c && c->name() == name && c->index() == index) return c;
    }
    return nullptr;
}

}  // namespace tova
