#pragma once

#include "autotune/AutoVibratoDialog.h"
#include "core/ui/ModelDialog.h"

class QCheckBox;
class QLineEdit;
class QPushButton;
class QSlider;

namespace tova {

struct NoteArrays;
class NoteTimingSource;
class PresetCombo;

// The automatic vibrato dialog "ピッチを波打たせる": binds its controls to AutoVibratoDialog.
class frmAutoBibrato : public ModelDialogOf<AutoVibratoDialog> {
    Q_OBJECT
public:
    explicit frmAutoBibrato(QWidget* owner = nullptr);
    ~frmAutoBibrato() override;

    // Shows the dialog over the owner; when confirmed, gives notes first..last their vibrato with the
    // tempo in force carried from note to note (`tempo`: the one at note first - 1). A failing pass
    // leaves the notes as they were. The dialog's settings are stored whatever the outcome.
    static bool ShowAutoVibratoDialog(float& tempo, qint32 first, qint32 last, NoteArrays& notes,
                                      const NoteTimingSource& timing, QWidget* owner);

    PresetCombo* Combo1;
    QPushButton* cmdSave;
    QPushButton* cmdLoad;
    QPushButton* cmdDel;
    QLineEdit* txtStart;
    QLineEdit* txtDepth;
    QLineEdit* txtLimit;
    QLineEdit* txtLength;
    QSlider* Slider1;
    QCheckBox* chkRideFlag;
    QPushButton* cmdSet;
    QPushButton* btnCancel;

protected:
    void refreshFromModel() override;
};

}  // namespace tova
