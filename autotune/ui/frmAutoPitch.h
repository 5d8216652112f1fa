#pragma once

#include "autotune/AutoPitchDialog.h"
#include "core/ui/ModelDialog.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace tova {

struct NoteArrays;
class NoteTimingSource;
class PresetCombo;

// The automatic pitch-bend dialog "オートピッチベンド": binds its controls to AutoPitchDialog.
class frmAutoPitch : public ModelDialogOf<AutoPitchDialog> {
    Q_OBJECT
public:
    explicit frmAutoPitch(QWidget* owner = nullptr);
    ~frmAutoPitch() override;

    // Shows the dialog over the owner; when confirmed, bends notes max(first, 1) .. last with the tempo
    // in force carried from note to note (`tempo`: the one at note first - 2). A failing pass leaves
    // the notes as they were. The dialog's settings are stored whatever the outcome.
    static bool ShowAutoPitchDialog(float& tempo, qint32 first, qint32 last, NoteArrays& notes,
                                    const NoteTimingSource& timing, QWidget* owner);

    QCheckBox* chkUpper;
    QCheckBox* chkDown;
    QCheckBox* chkReset;
    QCheckBox* chkUseParams;
    QLineEdit* txtUpperStart;
    QLineEdit* txtUpperWidth;
    QLineEdit* txtUpStartEx;
    QLineEdit* txtUpWidthEx;
    QLineEdit* txtDownStart;
    QLineEdit* txtDownWidth;
    QLineEdit* txtDnStartEx;
    QLineEdit* txtDnWidthEx;
    PresetCombo* Combo1;
    QPushButton* cmdSave;
    QPushButton* cmdLoad;
    QPushButton* cmdDel;
    QPushButton* cmdSet;
    QPushButton* btnCancel;

protected:
    void refreshFromModel() override;

private:
    QList<QLineEdit*> boxes_;
};

}  // namespace tova
