#include "core/FakeControl.h"

namespace tova {

bool FakeControl::hasCaption() const {
    for (QStringView k : {ControlKind::Menu, ControlKind::Label, ControlKind::CommandButton, ControlKind::CheckBox,
                              ControlKind::OptionButton, ControlKind::RadioButton, ControlKind::Frame})
        if (kind_ == k) return true;
    return false;
}

bool FakeControl::hasToolTip() const { return kind_ != ControlKind::Menu; }

bool FakeControl::setCaption(const QString& text) {
    if (!hasCaption()) return false;
    caption_ = text;
    return true;
}

bool FakeControl::setToolTip(const QString& text) {
    if (!hasToolTip()) return false;
    toolTip_ = text;
    return true;
}

bool FakeControl::setIn(QStringList& l, int i, const QString& text) {
    if (i < 0 || i >= l.size()) return false;
    l[i] = text;
    return true;
}

}  // namespace tova
