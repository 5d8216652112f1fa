#include "core/ui/WidgetPlacement.h"

#include <QWidget>

#include <algorithm>

namespace tova {

double WidgetPlacement::left() const { return w_->pos().x() * 15.0; }

double WidgetPlacement::top() const { return w_->pos().y() * 15.0; }

double WidgetPlacement::width() const { return w_->width() * 15.0; }

double WidgetPlacement::height() const { return w_->height() * 15.0; }

void WidgetPlacement::setPlacement(double left, double top, double width, double height) {
    w_->move(int(left / 15), int(top / 15));
    w_->resize(std::max(1, int(width / 15)), std::max(1, int(height / 15)));
}

MainWindowPlacement::State WidgetPlacement::windowState() const {
    if (w_->isMinimized()) return State::Minimized;
    if (w_->isMaximized()) return State::Maximized;
    return State::Normal;
}

}  // namespace tova
