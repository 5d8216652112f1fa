#pragma once

#include "core/DialogModel.h"

#include <QString>
#include <QStringList>

#include <functional>

namespace tova {

struct NoteArrays;
struct Settings;

// The model of the note property dialog: the lyric, note number, length and the rendering parameters
// of one note or of a range of notes.
//
// Over a range each field is "common" (its value is written to every note on OK) or "mixed" (the
// notes differ; each keeps its own value). Values are gathered against the range's first note; a rest
// contributes only its lyric, length and note number. Write-back (ApplyToNotes) goes note by note;
// a note that becomes a rest keeps of its extension string only the options `tempo`, `label` and
// every option whose key starts with "$" (regions), so that no tempo change or region is lost.
// The pitch data (field 3) is never touched.
class NotePropertyDialog : public DialogModel {
public:
    // A text field and its state.
    struct Field {
        QString text;
        bool common = true;
    };

    // The voice bank's pre-utterance and overlap of a note (note number, lyric).
    using OtoLookup = std::function<void(qint32 noteNum, const QString& lyric, float& pre, float& overlap)>;
    // The shared multi-line text editor; edits the text in place.
    using TextEditor = std::function<void(QString& text)>;

    explicit NotePropertyDialog(tova::Settings& settings);

    // The largest length in project ticks whose four times still fits a note length (32-bit); OK
    // refuses a larger one, showing this bound.
    static constexpr qint32 MaxLength = 0x7FFFFFFF / 4;
    static constexpr qint32 MinLength = 15;

    // ---- dialog state ----
    qint32 noteIndex = -1;  // the single note shown, or -1 for a range
    float otoPreutterance = 0;
    float otoOverlap = 0;
    QString noteName;
    QString othersText;  // the option list without `stp`, entries joined by backslash-n
    QString caption;
    bool detailShown = false;
    int chkNoFilterPressed = 0;  // the box's value at the last left-button press

    // ---- the controls ----
    Field txtWord, txtLeng, txtOffset, txtOverlap, txtVel, txtVolume, txtModulation, txtBre, txtFlags, txtSTP;
    QStringList cboNoteItems;  // "", then the names of 95 down to 0
    QString cboNoteText;
    bool cboNoteCommon = true;
    int chkNoFilter = 0;  // 0 clear, 1 set, 2 grey (mixed)
    bool cmdOthersEnabled = true;
    bool cmdGenVisible = false;
    int vscrlVolume = -100;
    int vscrlModulation = -100;
    static constexpr int VolumeScrollMin = -200, VolumeScrollMax = 0;
    static constexpr int ModulationScrollMin = -200, ModulationScrollMax = 200;

    bool isRange() const { return noteIndex < 0; }
    // A field's state: common (one value for the whole range) or mixed.
    void SetFieldEdited(Field& field, bool common);
    void SetComboEdited(bool common);  // the note-number box
    static bool IsFieldUnmixed(const Field& field) { return field.common; }

    // Opening: the caption, Form_Load, then the values gathered over first .. last.
    void Load(qint32 first, qint32 last, const NoteArrays& notes, const OtoLookup& lookup);
    // OK accepted: writes the shown values into every note of the range.
    void ApplyToNotes(qint32 first, qint32 last, NoteArrays& notes) const;

    // ---- handlers ----
    void Form_Load();
    void ShowDetail(bool expand);
    // The two detail links: each switches the detail part between shown and hidden.
    void lblDetail_Click();
    void lblHideDetail_Click();
    // A text field changed (typed or set): over a range it becomes common. The volume and modulation
    // boxes move their scroll bars.
    void fieldChanged(Field& field, const QString& text);
    // Double-click: over a range a grey field becomes common and a common one grey.
    void ToggleFieldState(Field& field);
    void vscrlVolume_Change(int value);
    void vscrlModulation_Change(int value);
    void cboNote_Click(int index);
    void chkNoFilter_MouseDown() { chkNoFilterPressed = chkNoFilter; }
    // A click: the box toggles clear/set; over a range a click on a set box makes it grey.
    void chkNoFilter_Click();
    void cmdClear_Click();
    void cmdGen_Click();
    void cmdOthers_Click(const TextEditor& editor);
    void OKButton_Click();
    void CancelButton_Click() { reject(); }

private:
    // Shows a gathered value in a field and makes it common.
    void ShowFieldValue(Field& field, const QString& value);
    void syncScroll(const QString& text, int& scroll, int min, int max);

    tova::Settings& settings_;
};

}  // namespace tova
