#pragma once

#include "core/DialogModel.h"
#include "core/clsIniFile.h"

#include <QString>
#include <QStringList>

namespace tova {

// The volume multiplier "VolumeFunctionizer": scales the intensity (field 1 of the extension string)
// of the sung notes of a range by a gain in decibels. The text box `txtMul` holds the gain; the slider
// `Slider1` (-24 .. 24) is a coarse setting of the same value kept in step with it. The last gain is
// kept in the settings file "volumefunc" under the key "Mul".
class VolumeFunctionizer : public DialogModel {
public:
    static constexpr int SliderMin = -24;
    static constexpr int SliderMax = 24;

    QString txtMul = QStringLiteral("0.0");
    int Slider1 = 0;
    bool UpdatingFlag = false;
    clsIniFile Settings;

    // Names the settings file and, when it holds an entry, shows its "Mul" text unchanged.
    void Form_Load();
    // Stores the gain as read from the text box (confirmed or not) and saves the settings file.
    // False when the file could not be written.
    bool Form_Unload();

    // The slider moved: the text becomes its value with one decimal ("-7.0").
    void Slider1_Change(int value);
    // The slider dragged: the same as a change.
    void Slider1_Scroll(int value);
    // The text changed: the slider goes to the typed number rounded to whole (halves to even); a gain
    // beyond the slider's ends puts it at the nearer end, the text keeps the typed gain.
    void txtMul_Change(const QString& text);

    void cmdOK_Click() { accept(); }
    void cmdCancel_Click() { reject(); }

    // The gain that OK applies: the leading number of the text box ("1.5dB" is 1.5, "abc" is 0).
    double gain() const;
};

// Multiplies the intensity of every sung note from `first` to `last` (inclusive) by 10 ^ (gain / 20):
// an empty intensity counts as 100; the result is limited to 0 .. 200 and written as the whole number
// Int(v + 0.5). Rests (an empty lyric or "R" in any case, blanks around it allowed) keep their strings.
void MultiplyVolume(qint32 first, qint32 last, const QStringList& lyrics, QStringList& noteExt, double gainDb);

// One intensity text after the gain (the arithmetic of MultiplyVolume).
QString MultipliedIntensity(const QString& intensity, double gainDb);

}  // namespace tova
