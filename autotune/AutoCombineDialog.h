#pragma once

#include "autotune/AutoCombine.h"
#include "autotune/PresetList.h"
#include "core/DialogModel.h"
#include "core/clsIniFile.h"

namespace tova {

// The vowel-combining dialog "自動母音結合": the joint settings, the type 1 and other envelopes
// (`Values`, the boxes as the pass reads them), named presets in `Combo1`, all kept in the settings
// file "autocomb". The form is 2820 twips high with the envelope sections hidden and 6915 with them
// shown; a double-click on the form switches.
//
// Presets are records of 16 "|"-separated fields: name, Enabled, Targets, Width, Start, Rate, Vol,
// EnvType1, Target2, ET1Start, ET1Top, ET1Mid, EnvOther, ETOTop, ETOMid, ETOBtm (checks "True" or
// "False", the two lists as typed, the numbers normalised). A shorter record reads its missing fields
// as empty.
class AutoCombineDialog : public DialogModel {
public:
    static constexpr int FullHeight = 6915;
    static constexpr int ShortHeight = 2820;

    CombineSettings Values;
    int Height = ShortHeight;
    PresetList Combo1;  // CombinePresets and the combo
    clsIniFile Settings;

    void Form_Load();
    // Stores the fifteen values as the boxes hold them and the presets, and saves the file; nothing is
    // written when the file could not be read at loading. False when the file could not be written.
    bool Form_Unload();
    void ToggleDetailHeight();
    // `txtPer` is usable exactly when `chkVolNext` is set.
    bool txtPerEnabled() const { return Values.VolNext; }
    void chkVolNext_Click(bool checked) { Values.VolNext = checked; }
    void txtPer_LostFocus();
    void txtStart_LostFocus();
    void txtWidth_LostFocus();
    // A preset was chosen: its values go into the boxes.
    void Combo1_Click(int index);
    void cmdSave_Click();
    void cmdDel_Click();
    // The fallbacks of the three number boxes run (an empty box the user never touched included)
    // before the values are used.
    void cmdOK_Click();
    void btnCancel_Click() { reject(); }

    // The preset entry's part after the name: "|" and the fifteen value fields joined with "|".
    QString presetValues() const;

private:
    bool loadFailed_ = false;
};

}  // namespace tova
