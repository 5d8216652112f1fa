#pragma once

#include "autotune/AutoVibrato.h"
#include "autotune/PresetList.h"
#include "core/DialogModel.h"
#include "core/clsIniFile.h"

#include <QString>

namespace tova {

// The automatic vibrato dialog "ピッチを波打たせる": share, depth, length threshold, cycle, the offset
// slider and the add-to-curve check, named presets in `Combo1`, all kept in the settings file
// "autobibrato". OK is `cmdSet` ("実行"); the hidden `btnCancel` serves Esc.
//
// Presets are records of 7 ","-separated fields: name, start, depth, length, limit (the texts as
// typed), rideflag ("0"/"1") and updownrate (the slider value). Stored values are read tolerantly: a
// missing field reads as empty, a check or slider value beyond its range is held at the nearer end.
class AutoVibratoDialog : public DialogModel {
public:
    static constexpr int SliderMin = -10;
    static constexpr int SliderMax = 10;

    QString txtStart = QStringLiteral("70");
    QString txtDepth = QStringLiteral("100");
    QString txtLimit = QStringLiteral("480");
    QString txtLength = QStringLiteral("150");
    int Slider1 = 0;
    bool chkRideFlag = false;
    PresetList Combo1;  // VibratoPresets and the combo
    clsIniFile Settings;

    void Form_Load();
    // Stores the four boxes as numbers, the check, the slider and the presets, and saves the file;
    // nothing is written when the file could not be read at loading. False when the file could not be
    // written.
    bool Form_Unload();
    void cmdSave_Click();
    void cmdLoad_Click();
    void cmdDel_Click();
    void cmdSet_Click() { accept(); }
    void btnCancel_Click() { reject(); }

    VibratoSettings vibratoSettings() const;

private:
    bool loadFailed_ = false;
};

}  // namespace tova
