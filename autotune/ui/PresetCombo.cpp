#include "autotune/ui/PresetCombo.h"

#include "autotune/PresetList.h"

#include <QLineEdit>
#include <QSignalBlocker>

namespace tova {

PresetCombo::PresetCombo(QWidget* parent, PresetList& list) : QComboBox(parent), list_(list) {
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
}

void PresetCombo::connectTo(const std::function<void(const std::function<void()>&)>& handle,
                            const std::function<void(int)>& chosen) {
    connect(this, &QComboBox::activated, this, [this, handle, chosen](int index) {
        handle([&] {
            list_.Index = index;
            list_.Text = itemText(index);
            if (chosen) chosen(index);
        });
    });
    connect(lineEdit(), &QLineEdit::textEdited, this, [this, handle](const QString& text) {
        handle([&] {
            list_.Text = text;
            list_.Index = -1;
        });
    });
}

void PresetCombo::refresh() {
    const QSignalBlocker block(this);
    QStringList shown;
    for (int k = 0; k < count(); ++k) shown << itemText(k);
    if (shown != list_.Items) {
        clear();
        addItems(list_.Items);
    }
    setCurrentIndex(list_.Index);
    if (lineEdit()->text() != list_.Text) lineEdit()->setText(list_.Text);
}

}  // namespace tova
