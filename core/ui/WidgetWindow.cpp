#include "core/ui/WidgetWindow.h"

#include <QAction>
#include <QMenu>

namespace tova {

WidgetWindow::WidgetWindow(QWidget* form, bool owns) : form_(form), owns_(owns) {}

WidgetWindow::~WidgetWindow() {
    if (owns_ && form_) delete form_.data();
}

QString WidgetWindow::name() const { return form_ ? form_->objectName() : QString(); }
QString WidgetWindow::caption() const { return form_ ? form_->windowTitle() : QString(); }

void WidgetWindow::setCaption(const QString& text) {
    if (form_) form_->setWindowTitle(text);
}

void WidgetWindow::collect(QObject* parent) const {
    for (QObject* child : parent->children()) {
        const QString n = child->objectName();
        bool isControl = !n.isEmpty() && !n.startsWith(QStringLiteral("qt_")) &&
                         (child->isWidgetType() || qobject_cast<QAction*>(child));
        if (auto* a = qobject_cast<QAction*>(child); a && a->menu<QMenu*>()) isControl = false;
        if (isControl) {
            auto& w = wrappers_[child];
            if (!w || w->object() != child) w = std::make_shared<WidgetControl>(child);
            order_.push_back(w.get());
        }
        collect(child);
    }
}

int WidgetWindow::controlCount() const {
    order_.clear();
    for (auto it = wrappers_.begin(); it != wrappers_.end();) {
        if (!it.value()->object()) it = wrappers_.erase(it);
        else ++it;
    }
    if (form_) collect(form_);
    return int(order_.size());
}

LocalizableControl* WidgetWindow::control(int position) {
    if (position < 0 || size_t(position) >= order_.size()) return nullptr;
    WidgetControl* c = order_[size_t(position)];
    return c->object() ? c : nullptr;
}

}  // namespace tova
