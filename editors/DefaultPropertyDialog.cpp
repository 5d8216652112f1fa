#include "editors/DefaultPropertyDialog.h"

#include "core/Settings.h"
#include "platform/Vb.h"
#include "song/NoteExtension.h"
#include "song/FreeText.h"

#include <algorithm>

namespace tova {
namespace {

const QString kSignedPattern = QStringLiteral("+0;-0");

// The value of a letter's token for its slider: a token without digits or a value outside the
// slider's range gives the slider's designed value.
int tokenValue(const QString& flags, const QString& letter, const DefaultPropertyDialog::Slider& slider) {
    const QString text = GetFlagValue(flags, letter);
    double v = 0;
    if (!Vb::TryParse(text, v) || v < slider.Min || v > slider.Max) return slider.Designed;
    return int(v);
}

}  // namespace

void DefaultPropertyDialog::Slider::set(int v) { Value = std::clamp(v, Min, Max); }

DefaultPropertyDialog::DefaultPropertyDialog(tova::Settings& settings) : settings_(settings) {}

QString DefaultPropertyDialog::chkBreCaption() const { return QStringLiteral("B") + QString::number(sldBre.Value); }
QString DefaultPropertyDialog::chkGFactorCaption() const {
    return QStringLiteral("g") + Vb::Format(sldGFactor.Value, kSignedPattern);
}
QString DefaultPropertyDialog::chkYFlagCaption() const { return QStringLiteral("Y") + QString::number(sldYFlag.Value); }

bool DefaultPropertyDialog::HasFlag(const QString& flags, const QString& letter) {
    return !letter.isEmpty() && flags.contains(letter);
}

QString DefaultPropertyDialog::FlagsText() {
    QString s;
    if (chkBre) s += chkBreCaption();
    if (chkNoFilter) s += QStringLiteral("N");
    if (chkGFactor) s += chkGFactorCaption();
    if (chkYFlag) s += chkYFlagCaption();
    s += txtOtherFlags;
    lblFlagResult = s;
    return s;
}

void DefaultPropertyDialog::Form_Load() {
    txtVolume = QString::number(settings_.DefaultVolume);
    txtVolume_LostFocus();
    txtModulation = QString::number(settings_.DefaultModulation);
    txtModulation_LostFocus();

    QString flags = settings_.DefaultFlags;
    struct Valued {
        const char* letter;
        bool DefaultPropertyDialog::*box;
        Slider DefaultPropertyDialog::*slider;
    };
    const Valued order[] = {{"B", &DefaultPropertyDialog::chkBre, &DefaultPropertyDialog::sldBre},
                            {"N", &DefaultPropertyDialog::chkNoFilter, nullptr},
                            {"g", &DefaultPropertyDialog::chkGFactor, &DefaultPropertyDialog::sldGFactor},
                            {"Y", &DefaultPropertyDialog::chkYFlag, &DefaultPropertyDialog::sldYFlag}};
    for (const Valued& v : order) {
        const QString letter = QString::fromLatin1(v.letter);
        if (HasFlag(flags, letter)) {
            this->*v.box = true;
            if (v.slider) {
                Slider& s = this->*v.slider;
                s.Enabled = true;
                s.set(tokenValue(flags, letter, s));
            }
            CutFlag(flags, letter);
        } else {
            this->*v.box = false;
            if (v.slider) (this->*v.slider).Enabled = false;
        }
    }
    txtOtherFlags = flags;
    FlagsText();
}

// A box with a slider: the slider is usable exactly while the box is checked.
void DefaultPropertyDialog::check(bool& box, Slider* slider, bool checked) {
    box = checked;
    if (slider) slider->Enabled = checked;
    FlagsText();
}
void DefaultPropertyDialog::move(Slider& slider, int value) {
    slider.set(value);
    FlagsText();
}
void DefaultPropertyDialog::chkBre_Click(bool checked) { check(chkBre, &sldBre, checked); }
void DefaultPropertyDialog::chkNoFilter_Click(bool checked) { check(chkNoFilter, nullptr, checked); }
void DefaultPropertyDialog::chkGFactor_Click(bool checked) { check(chkGFactor, &sldGFactor, checked); }
void DefaultPropertyDialog::chkYFlag_Click(bool checked) { check(chkYFlag, &sldYFlag, checked); }
void DefaultPropertyDialog::sldBre_Change(int value) { move(sldBre, value); }
void DefaultPropertyDialog::sldGFactor_Change(int value) { move(sldGFactor, value); }
void DefaultPropertyDialog::sldYFlag_Change(int value) { move(sldYFlag, value); }
void DefaultPropertyDialog::sldVolume_Change(int value) {
    sldVolume.set(value);
    txtVolume = QString::number(sldVolume.Value);
    FlagsText();
}
void DefaultPropertyDialog::sldModulation_Change(int value) {
    sldModulation.set(value);
    txtModulation = QString::number(sldModulation.Value);
    FlagsText();
}
void DefaultPropertyDialog::txtOtherFlags_Change(const QString& text) {
    txtOtherFlags = text;
    FlagsText();
}

void DefaultPropertyDialog::lostFocus(QString& text, Slider& slider) {
    // Limited before the rounding so that no typed size overflows the conversion.
    const double v = std::clamp(Vb::Val(text), double(slider.Min), double(slider.Max));
    slider.set(Vb::CInt(v));
    text = QString::number(slider.Value);
    FlagsText();
}
void DefaultPropertyDialog::txtVolume_LostFocus() { lostFocus(txtVolume, sldVolume); }
void DefaultPropertyDialog::txtModulation_LostFocus() { lostFocus(txtModulation, sldModulation); }

void DefaultPropertyDialog::cmdClear_Click() {
    sldVolume_Change(100);
    sldModulation_Change(0);
    sldBre.set(50);
    chkBre_Click(false);
    chkNoFilter_Click(false);
    sldGFactor.set(0);
    chkGFactor_Click(false);
    sldYFlag.set(100);
    chkYFlag_Click(false);
    txtOtherFlags_Change(QString());
}

void DefaultPropertyDialog::cmdOK_Click() {
    settings_.DefaultVolume = int16_t(sldVolume.Value);
    settings_.DefaultModulation = int16_t(sldModulation.Value);
    // The flags go into every new note's flags field.
    settings_.DefaultFlags = SafeFreeText(FlagsText(), FreeTextUse::Flags);
    accept();
}

}  // namespace tova
