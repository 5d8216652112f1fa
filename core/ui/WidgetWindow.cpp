#include "core/ui/WidgetWindow.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QTabBar>
#include <QTextEdit>

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

namespace {

// Widgets whose children are Qt's own parts (scroll buttons, pop-up lists, viewports), never controls.
bool isComposite(const QObject* o) {
    return qobject_cast<const QTabBar*>(o) || qobject_cast<const QComboBox*>(o) ||
           qobject_cast<const QAbstractItemView*>(o) || qobject_cast<const QAbstractSpinBox*>(o) ||
           qobject_cast<const QLineEdit*>(o) || qobject_cast<const QTextEdit*>(o) ||
           qobject_cast<const QPlainTextEdit*>(o) || qobject_cast<const QAbstractButton*>(o) ||
           qobject_cast<const QLabel*>(o) || qobject_cast<const QAbstractSlider*>(o) ||
           qobject_cast<const QProgressBar*>(o);
}

}  // namespace

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
        if (!isComposite(child)) collect(child);
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
