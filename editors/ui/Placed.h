#pragma once

#include <QRect>
#include <QString>
#include <QWidget>

#include <utility>

namespace tova {

// A control of a form made at its design place: constructed with the given arguments and the parent,
// named after the control (the caption files address it by that name) and placed at `where`.
template <typename W, typename... Args>
W* placed(QWidget* parent, const char* name, QRect where, Args&&... args) {
    auto* w = new W(std::forward<Args>(args)..., parent);
    w->setObjectName(QString::fromLatin1(name));
    w->setGeometry(where);
    return w;
}

}  // namespace tova
