#include "platform/ui/DialogOwner.h"

#include <QApplication>
#include <QMainWindow>
#include <QWidget>

namespace tova {

namespace {

// A window that a box may stand over: shown, and no pop-up, tool tip or splash window.
bool canOwn(const QWidget* w) {
    if (!w || !w->isVisible()) return false;
    const Qt::WindowType type = w->windowType();
    return type != Qt::Popup && type != Qt::ToolTip && type != Qt::SplashScreen && type != Qt::Desktop;
}

}  // namespace

QWidget* dialogOwner() {
    if (QWidget* modal = QApplication::activeModalWidget(); canOwn(modal)) return modal;
    if (QWidget* active = QApplication::activeWindow(); canOwn(active)) return active;
    // No window has the focus (the program's window is not the active one of the desktop, or a box is
    // asked before any window was activated): the main window, else the first shown window.
    QWidget* first = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (!canOwn(w)) continue;
        if (qobject_cast<QMainWindow*>(w)) return w;
        if (!first) first = w;
    }
    return first;
}

}  // namespace tova
