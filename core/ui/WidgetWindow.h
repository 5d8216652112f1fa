#pragma once

#include "core/LocalizableWindow.h"
#include "core/ui/WidgetControl.h"

#include <QHash>
#include <QPointer>
#include <QWidget>

#include <memory>
#include <vector>

namespace tova {

// Any Qt form seen as a caption-file window: the name is the form's objectName, the caption its
// window title, and the controls are its named descendants (widgets, menus and menu items) in
// depth-first creation order. Objects without a name and Qt's internal "qt_" objects are not
// controls (their named descendants are); the inner parts of buttons, labels, edits, combo boxes,
// tab bars, item views, sliders and spin boxes are never looked at. A menu's own menu action is
// represented by the menu.
// The collection is read afresh by controlCount(); control pointers stay valid while their objects live.
class WidgetWindow : public LocalizableWindow {
public:
    // With `owns`, the form is deleted with this object (a window loaded only for an export).
    explicit WidgetWindow(QWidget* form, bool owns = false);
    ~WidgetWindow() override;
    WidgetWindow(const WidgetWindow&) = delete;
    WidgetWindow& operator=(const WidgetWindow&) = delete;

    QWidget* form() const { return form_; }

    QString name() const override;
    QString caption() const override;
    void setCaption(const QString& text) override;
    int controlCount() const override;
    LocalizableControl* control(int position) override;

private:
    void collect(QObject* parent) const;

    QPointer<QWidget> form_;
    bool owns_;
    mutable std::vector<WidgetControl*> order_;
    mutable QHash<QObject*, std::shared_ptr<WidgetControl>> wrappers_;
};

}  // namespace tova
