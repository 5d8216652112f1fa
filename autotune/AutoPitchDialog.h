#pragma once

#include "autotune/AutoPitch.h"
#include "autotune/PresetList.h"
#include "core/DialogModel.h"
#include "core/clsIniFile.h"

#include <QString>

namespace tova {

// The automatic pitch-bend dialog "オートピッチベンド": the bend parameters in its boxes, named presets
// in `Combo1`, both kept in the settings file "autopitch". OK is `cmdSet` ("実行"); the hidden
// `btnCancel` serves Esc.
//
// Presets are records of 13 ","-separated fields: name, the rising check ("True"/"False"), the four
// rising texts, the falling check, the four falling texts, the reset check, the use-note-parameters
// check. Stored values are read tolerantly: a missing field reads as empty, a check value outside
// 0..1 is held within it.
class AutoPitchDialog : public DialogModel {
public:
    bool chkUpper = true;
    QString txtUpperStart = QStringLiteral("-50");
    QString txtUpperWidth = QStringLiteral("100");
    QString txtUpStartEx = QStringLiteral("-10");
    QString txtUpWidthEx = QStringLiteral("20");
    bool chkDown = true;
    QString txtDownStart = QStringLiteral("-50");
    QString txtDownWidth = QStringLiteral("100");
    QString txtDnStartEx = QStringLiteral("-10");
    QString txtDnWidthEx = QStringLiteral("20");
    bool chkReset = false;
    bool chkUseParams = true;
    PresetList Combo1;  // PitchBendPresets and the combo
    clsIniFile Settings;

    // Reads "autopitch": when it holds an entry, the eight boxes take their stored texts, the two
    // checks their values, and the presets are listed.
    void Form_Load();
    // Stores the boxes (normalised numbers), the checks and the presets, and saves the file. Nothing
    // is written when the file could not be read at loading (its presets would be lost). False when
    // the file could not be written.
    bool Form_Unload();

    void cmdSave_Click();
    void cmdLoad_Click();
    void cmdDel_Click();
    // Every box that holds no number (an empty box the user never touched included) takes its
    // fallback before the values are used.
    void cmdSet_Click();
    void btnCancel_Click() { reject(); }
    // A box lost the focus: a text that is not a number becomes the box's fallback.
    void txt_LostFocus(const QString& control);
    void txtUpperStart_LostFocus();
    void txtUpperWidth_LostFocus();
    void txtUpStartEx_LostFocus();
    void txtUpWidthEx_LostFocus();
    void txtDownStart_LostFocus();
    void txtDownWidth_LostFocus();
    void txtDnStartEx_LostFocus();
    void txtDnWidthEx_LostFocus();

    // The pass's parameters from the boxes.
    BendSettings bendSettings() const;

    // The text box of a control name ("txtUpperStart" ...); null for another name.
    QString* textBox(const QString& control);

private:
    bool loadFailed_ = false;
};

}  // namespace tova
