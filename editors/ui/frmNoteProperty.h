#pragma once

#include "core/ui/ModelDialog.h"
#include "editors/NotePropertyDialog.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollBar;

namespace tova {

// The note property dialog: binds its controls to NotePropertyDialog. A grey field is mixed (each note
// keeps its value); typing in it or double-clicking it makes it common.
class frmNoteProperty : public ModelDialogOf<NotePropertyDialog> {
    Q_OBJECT
public:
    explicit frmNoteProperty(tova::Settings& settings, QWidget* owner = nullptr);

    // Opens the dialog over notes first..last, modally over the owner; on OK writes the shown values into
    // those notes and answers true. Cancel, Esc and the close box leave the notes untouched.
    static bool ShowProperty(qint32 first, qint32 last, NoteArrays& notes, tova::Settings& settings,
                                   const NotePropertyDialog::OtoLookup& lookup, QWidget* owner);

    // Gathers the notes into the controls (the opening of the dialog).
    void load(qint32 first, qint32 last, const NoteArrays& notes, const NotePropertyDialog::OtoLookup& lookup);

    QLabel *Label1, *Label2, *Label3, *Label4, *Label5, *Label6, *Label7, *Label8, *Label9, *Label10, *Label11;
    QLabel *Label12, *Label13, *Label14, *lblCommand, *lblDetail, *lblHideDetail;
    QLineEdit *txtWord, *txtLeng, *txtVolume, *txtModulation, *txtOffset, *txtOverlap, *txtVel, *txtBre, *txtFlags,
        *txtSTP;
    QComboBox* cboNote;
    QScrollBar *vscrlVolume, *vscrlModulation;
    QCheckBox* chkNoFilter;
    QPushButton *cmdClear, *cmdGen, *OKButton, *CancelButton, *cmdOthers;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void refreshFromModel() override;

private:
    // The model's field behind a text box.
    NotePropertyDialog::Field* fieldOf(QObject* box);
    void fitLabel11();
};

}  // namespace tova
