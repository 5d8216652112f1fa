#pragma once

#include "core/LocalizableControl.h"

#include <QString>

#include <optional>

namespace tova {

// A window whose design-time captions the caption files translate: its name, its caption and its
// controls in the order of its control collection. Every translatable form implements this (the Qt
// forms through WidgetWindow in core/ui); tests use FakeWindow.
class LocalizableWindow {
public:
    virtual ~LocalizableWindow() = default;

    virtual QString name() const = 0;
    virtual QString caption() const = 0;
    virtual void setCaption(const QString& text) = 0;

    // The controls in collection order; the position (from 0) is the control's alias number.
    virtual int controlCount() const = 0;
    virtual LocalizableControl* control(int position) = 0;

    // The control of that name and array index (nullopt: a control that is not an array element);
    // nullptr when there is none. The default walks the collection.
    virtual LocalizableControl* findControl(const QString& name, std::optional<int> index);
};

}  // namespace tova
