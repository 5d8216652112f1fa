#pragma once

#include "core/DialogModel.h"
#include "song/NoteArrays.h"

#include <QString>
#include <QStringList>

#include <array>

namespace tova {

struct Settings;

// The pitch-control dialog (frmMode2) without widgets: the mode-2 portamento and vibrato of the
// selected notes (options `PBS`, `PBW`, `PBY`, `VBR`), or, in the defaults mode, the settings
// `Mode2PBS`, `Mode2PBW`, `Mode2VBR` and `Mode2VBRExclude` that new notes get.
//
// Check boxes hold 0 (clear: remove), 1 (set: write) or 2 (grey: leave the notes as they are); a click
// cycles clear -> set -> grey -> clear. Text boxes with a slider keep whole numbers while typed.
class PitchControl : public DialogModel {
public:
    enum PortamentoMode { NoMode = -1, Preset = 0, Custom = 1, PointAdd = 2 };
    // The vibrato boxes in `VBR` field order.
    enum VibratoBox { VLength, VCycle, VDepth, VStart, VEnd, VHeight, VPhase, VIntensity };

    struct Slider {
        int min, max, value;
    };

    explicit PitchControl(Settings& settings);

    QString Caption = QStringLiteral("ピッチコントロール(Mode2)");
    int chkPortamento = 0;
    PortamentoMode portamentoMode = Preset;  // optPorPreset / optPorCustom / optPointAdd
    int cboPPreset = -1;                     // -1: nothing chosen (counts as 0)
    QString txtPorStart = QStringLiteral("-40"), txtPorWidth = QStringLiteral("80");
    Slider sldPorStart{-200, 200, -40}, sldPorWidth{20, 320, 80};
    QString cboPPoints = QStringLiteral("2");
    int chkKinto = 0;
    int chkVibrato = 0;
    // txtVLength, txtVCycle, txtVDepth, txtVStart, txtVEnd, txtVHeight (phase), txtVPhase (height),
    // txtVIntensity.
    std::array<QString, 8> txtV{QStringLiteral("65"), QStringLiteral("180"), QStringLiteral("35"), QStringLiteral("20"),
                                QStringLiteral("20"), QStringLiteral("0"),   QStringLiteral("0"),  QStringLiteral("0")};
    // sldVLength, sldVCycle, sldVDepth.
    std::array<Slider, 3> sldV{Slider{10, 100, 65}, Slider{64, 512, 180}, Slider{5, 200, 35}};
    int cboExcludeTarget = 0;
    // Visibility of the controls that depend on the mode.
    bool excludeVisible = true;
    bool pointAddVisible = true;  // optPointAdd, cboPPoints, chkKinto, Label8
    bool defaultButtonsVisible = true;  // cmdSetPortamentoDefault, cmdUpdateDefault
    // Enabled state of the portamento and vibrato groups (follows their check boxes).
    bool portamentoEnabled = true, vibratoEnabled = true;

    static const QStringList PresetCaptions;
    static const QStringList VibratoPresets;
    static const QStringList ExcludeCaptions;

    // Fills the dialog for notes selStart..selEnd, or for the defaults when selStart < 0.
    void fill(qint32 selStart, qint32 selEnd, const NoteArrays& notes);
    // OK: writes the notes (selection mode, tempo at a note from `projectTempo` and the notes' `tempo`
    // options) or the settings (defaults mode).
    void apply(qint32 selStart, qint32 selEnd, NoteArrays& notes, float projectTempo);

    // Handlers.
    void txtPorStart_Change(const QString& text);
    void txtPorWidth_Change(const QString& text);
    void sldPorStart_Change(int value);
    void sldPorWidth_Change(int value);
    void txtV_Change(int box, const QString& text);  // any of the eight boxes
    void txtV_LostFocus(int box);
    void sldV_Change(int box, int value);
    void cboPPoints_Change(const QString& text);
    void cboPPreset_Click(int index);
    void cboVPreset_Click(int index);
    void optPortamento_Click(PortamentoMode mode) { portamentoMode = mode; }
    void chkPortamento_MouseDown() { portamentoPressed_ = chkPortamento; }
    void chkPortamento_Click();
    void chkVibrato_MouseDown() { vibratoPressed_ = chkVibrato; }
    void chkVibrato_Click();
    void cmdSetPortamentoDefault_Click();
    void cmdUpdateDefault_Click();
    void OKButton_Click() { accept(); }
    void CancelButton_Click() { reject(); }

    // The boxes from a `VBR` text or its fields (eight or more; a shorter list changes nothing; a
    // seven-field text shows intensity 0).
    void ShowVibratoText(const QString& text);
    void ShowVibratoFields(const QStringList& fields);
    // The exclusion list: chooses the item of `ticks` internal ticks (unchanged when none matches), and
    // the chosen threshold in file ticks.
    void SelectExcludeTarget(qint32 ticks);
    qint32 GetExcludeTicks() const;
    void GetPresetStartWidth(qint32& start, qint32& width) const;

private:
    // The text/slider pairs (each does nothing while another is at work): the text read as a 16-bit
    // whole number becomes the text and, limited to the slider's range, the slider's value; the slider's
    // value becomes the text; a text whose number differs from the slider's value is put back to it.
    void SyncTextToSlider(QString& text, Slider& slider);
    void SyncSliderToText(QString& text, const Slider& slider);
    void RestoreTextFromSlider(QString& text, const Slider& slider);
    void updateEnabled();
    QString vibratoText() const;
    void customStartWidth(qint32& start, qint32& width) const;
    void applyPortamentoShifted(qint32 selStart, qint32 selEnd, NoteArrays& notes, float projectTempo);
    void applyPointAdd(qint32 selStart, qint32 selEnd, NoteArrays& notes, float projectTempo);

    Settings& settings_;
    bool guard_ = false;
    int portamentoPressed_ = 0, vibratoPressed_ = 0;
};

// The tempo of a note's own `tempo` option, when it has a usable one (a value above 0); otherwise
// `tempo` is left as it is.
void GetTempo(const QString& ext, float& tempo);

}  // namespace tova
