#pragma once

#include <QComboBox>

#include <functional>

namespace tova {

struct PresetList;

// The editable combo box `Combo1` of the tuning dialogs bound to a preset list: choosing an item sets
// the chosen index (and calls `chosen`, the dialog's click handler, when given); typing makes the text
// a new name with no item chosen.
class PresetCombo : public QComboBox {
public:
    PresetCombo(QWidget* parent, PresetList& list);
    // Runs model changes through the dialog's handler frame.
    void connectTo(const std::function<void(const std::function<void()>&)>& handle,
                   const std::function<void(int)>& chosen = {});
    // Shows the list's items, chosen index and text without raising the handlers.
    void refresh();

private:
    PresetList& list_;
};

}  // namespace tova
