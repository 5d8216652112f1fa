#include "core/ui/WidgetPlacement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace tova {

namespace {
// Room kept for a window frame that is not drawn yet: a title bar and thin edges.
constexpr int kFrameTop = 32;
constexpr int kFrameSide = 4;
}  // namespace

double WidgetPlacement::left() const { return w_->pos().x() * 15.0; }

double WidgetPlacement::top() const { return w_->pos().y() * 15.0; }

double WidgetPlacement::width() const { return w_->width() * 15.0; }

double WidgetPlacement::height() const { return w_->height() * 15.0; }

void WidgetPlacement::setPlacement(double left, double top, double width, double height) {
    QRect place(int(left / 15), int(top / 15), std::max(1, int(width / 15)), std::max(1, int(height / 15)));
    // A place kept from a larger screen (or one no longer attached) must not put the window, its close
    // box or its status bar out of reach: it is moved and, where needed, shrunk into the screen's
    // work area, leaving room for a frame the desktop has not drawn yet.
    const QScreen* screen = QGuiApplication::screenAt(place.center());
    if (!screen) screen = QGuiApplication::screenAt(place.topLeft());
    if (!screen) screen = QGuiApplication::primaryScreen();
    if (screen) {
        const QRect area = screen->availableGeometry();
        const int frameW = 2 * kFrameSide, frameH = kFrameTop + kFrameSide;
        place.setWidth(std::clamp(place.width(), 1, std::max(1, area.width() - frameW)));
        place.setHeight(std::clamp(place.height(), 1, std::max(1, area.height() - frameH)));
        place.moveLeft(std::max(area.left(), std::min(place.left(), area.left() + area.width() - frameW - place.width())));
        place.moveTop(std::max(area.top(), std::min(place.top(), area.top() + area.height() - frameH - place.height())));
    }
    w_->move(place.topLeft());
    w_->resize(place.size());
}

MainWindowPlacement::State WidgetPlacement::windowState() const {
    if (w_->isMinimized()) return State::Minimized;
    if (w_->isMaximized()) return State::Maximized;
    return State::Normal;
}

}  // namespace tova
