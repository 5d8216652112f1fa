#pragma once

#include "autotune/AutoCombineDialog.h"
#include "core/ui/ModelDialog.h"

class QCheckBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace tova {

struct NoteArrays;
class NoteTimingSource;
class PresetCombo;

// The vowel-combining dialog "自動母音結合": binds its controls to AutoCombineDialog. A double-click on
// the form shows or hides the two envelope sections.
class frmAutoCombine : public ModelDialogOf<AutoCombineDialog> {
    Q_OBJECT
public:
    explicit frmAutoCombine(QWidget* owner = nullptr);
    ~frmAutoCombine() override;

    // Shows the dialog over the owner; when confirmed, runs the combining pass over notes first..last
    // with the tempo in force carried from note to note (`tempo`: the one at note first - 1). A failing
    // pass leaves the notes as they were. The settings (with a start the pass held) are stored whatever
    // the outcome.
    static bool ShowAutoCombineDialog(float tempo, qint32 first, qint32 last, NoteArrays& notes,
                                      const NoteTimingSource& timing, QWidget* owner);

    QCheckBox* chkEnabled;
    PresetCombo* Combo1;
    QPushButton* cmdSave;
    QPushButton* cmdDel;
    QLineEdit* txtTargets;
    QLineEdit* txtWidth;
    QLineEdit* txtStart;
    QCheckBox* chkVolNext;
    QLineEdit* txtPer;
    QPushButton* cmdOK;
    QPushButton* btnCancel;
    QCheckBox* chkEnv1;
    QPlainTextEdit* txtTarget2;
    QLineEdit* txtE1st;
    QLineEdit* txtE1top;
    QLineEdit* txtE1mid;
    QCheckBox* chkEnvOther;
    QLineEdit* txtEOtop;
    QLineEdit* txtEOmid;
    QLineEdit* txtEObtm;

protected:
    void refreshFromModel() override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    QList<std::pair<QLineEdit*, QString CombineSettings::*>> texts_;
    QList<std::pair<QCheckBox*, bool CombineSettings::*>> checks_;
};

}  // namespace tova
