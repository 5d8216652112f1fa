#pragma once

#include "core/DialogModel.h"

#include <QString>

namespace tova {

struct Settings;

// The flags text of a note (field 4 of its extension string) and of the setting `DefaultFlags`: tokens
// written one after the other. Four letters are known, case-sensitive: "B" (breathiness, whole number),
// "N" (no formant filter, no value), "g" (signed whole number, written with its sign: g+0, g-30) and
// "Y" (whole number). A token starts at the first occurrence of its letter and takes the next
// character when it is "+", "-" or a digit, then every further digit (song/NoteExtension.h,
// `GetFlagValue` and `CutFlag`). Everything else is other flags, carried over verbatim.
//
// The model of the dialog "音符のデフォルト設定", which edits the intensity, modulation and flags
// that new notes receive. OK stores `DefaultVolume`, `DefaultModulation` and `DefaultFlags`.
class DefaultPropertyDialog : public DialogModel {
public:
    // A slider with its designed range and value.
    struct Slider {
        int Min;
        int Max;
        int Value;
        int Designed;
        bool Enabled = true;
        void set(int v);  // clamps into Min .. Max
    };

    explicit DefaultPropertyDialog(tova::Settings& settings);

    QString txtVolume = QStringLiteral("100");
    QString txtModulation = QStringLiteral("0");
    QString txtOtherFlags;
    Slider sldVolume{0, 200, 100, 100};
    Slider sldModulation{-100, 200, 0, 0};
    Slider sldBre{0, 100, 50, 50};
    Slider sldGFactor{-100, 100, 0, 0};
    Slider sldYFlag{0, 100, 100, 100};
    bool chkBre = false;
    bool chkNoFilter = false;
    bool chkGFactor = false;
    bool chkYFlag = false;
    QString lblFlagResult;

    // Captions of the three boxes with a value ("B50", "g+0", "Y100").
    QString chkBreCaption() const;
    QString chkGFactorCaption() const;
    QString chkYFlagCaption() const;

    // Fills the controls from the three settings.
    void Form_Load();
    // Rebuilds `lblFlagResult`: B, N, g, Y (each when checked), then the other flags as typed.
    QString FlagsText();
    // True when the letter occurs in the flags (case-sensitive); false for an empty letter.
    static bool HasFlag(const QString& flags, const QString& letter);

    void chkBre_Click(bool checked);
    void chkNoFilter_Click(bool checked);
    void chkGFactor_Click(bool checked);
    void chkYFlag_Click(bool checked);
    void sldBre_Change(int value);
    void sldGFactor_Change(int value);
    void sldYFlag_Change(int value);
    void sldVolume_Change(int value);
    void sldModulation_Change(int value);
    void txtOtherFlags_Change(const QString& text);
    void txtVolume_Change(const QString& text) { txtVolume = text; }
    void txtModulation_Change(const QString& text) { txtModulation = text; }
    // Leaving a text box: its number rounded to whole (halves to even) and limited to the slider.
    void txtVolume_LostFocus();
    void txtModulation_LostFocus();
    void cmdClear_Click();
    void cmdOK_Click();
    void cmdCancel_Click() { reject(); }

private:
    void lostFocus(QString& text, Slider& slider);
    void check(bool& box, Slider* slider, bool checked);
    void move(Slider& slider, int value);

    tova::Settings& settings_;
};

}  // namespace tova
