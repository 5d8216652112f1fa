#pragma once

#include "autotune/AutoCombine.h"
#include "autotune/AutoPitch.h"
#include "autotune/AutoVibrato.h"
#include "core/DialogModel.h"
#include "core/clsIniFile.h"

#include <QString>
#include <QStringList>

#include <array>
#include <functional>

namespace tova {

struct NoteArrays;
class NoteTimingSource;

// The one-click tuning dialog "おま☆かせ": combining, pitch bends and vibrato in one go, from coarse
// choices, over the selection ("選択部分だけ", `ApplyMode` 2) or, after a question, every note of the
// song ("全部", `ApplyMode` 1); `cmdCancel` and Esc give 0. Its choices and its named settings are kept
// in the settings file "omakase". Option groups hold the index of their set button, -1 for none.
class OmakaseDialog : public DialogModel {
public:
    static constexpr int ModulationMin = -100;
    static constexpr int ModulationMax = 200;

    // combining
    bool chkAutoCombine = true;
    std::array<bool, 6> chkCN{true, true, true, true, true, true};  // あ い う え お ん
    QString txtCN = QStringLiteral("を");
    int optComb = 1;
    // pitch
    bool chkUpper = true, chkDown = true;
    int optPORTUp = 2;    // optPORT 0..2
    int optPORTDown = 4;  // optPORT 3..5
    int optPORV = 2;
    bool optPUSine = true, optPDSine = true;
    // vibrato
    bool chkVibrato = true;
    int optBDepth = 1, optBVel = 1, optBLeng = 1;
    // modulation and its label
    qint16 ModulationValue = 0;
    QString Label4 = QStringLiteral("ﾓｼﾞｭﾚｰｼｮﾝ 0");
    bool Dragging = false;
    float DragStartY = 0;
    int LastButton = 0;
    // named settings
    QString txtName;
    QStringList lstSettings;
    int lstIndex = -1;
    QStringList SettingEntries;

    qint16 ApplyMode = 0;
    clsIniFile Settings;

    // Reads "omakase" (each key on its own: a stored value that fits no control is skipped, the others
    // still load) or, without a file, the reset state.
    void Form_Load();
    // Writes the sixteen keys and saves the file; nothing is written when the file could not be read
    // at loading (its named settings would be lost). False when the file could not be written.
    bool Form_Unload();
    void LoadSettings();
    void SaveSettings();
    void ResetOptions();
    void cmdModosu_Click() { ResetOptions(); }

    void cmdAdd_Click();
    void cmdDel_Click();
    void lstSettings_Click(int index);
    void cmdOKAll_Click();
    void cmdOKSelection_Click();
    void cmdCancel_Click();
    void cancelRequested() override { cmdCancel_Click(); }

    // The modulation label: pointer y in twips; buttons 1 left, 2 right.
    void Label4_MouseDown(int button, float y);
    void Label4_MouseMove(float y);
    void Label4_MouseUp(float y);
    void Label4_Click();
    void UpdateModulationLabel(int value);

    QString OptionsToPresetString(const QString& name) const;
    QString ApplyPresetString(const QString& entry);

    // The choices of each pass.
    OmakaseCombineSettings combineSettings() const;
    BendSettings bendSettings() const;
    VibratoSettings vibratoSettings(std::function<double()> random) const;

    // Runs the passes for the outcome (1 every note, 2 first..last; nothing below 1): combining when
    // ticked, pitch bends always, vibrato when ticked, each over its whole range before the next.
    // `tempo` is the tempo in force two notes before `first`; the note before `first` brings its own.
    // Every note: the loops start at note 0 with the project tempo (the timing's tempo before note 0).
    void RunPasses(float tempo, qint32 first, qint32 last, NoteArrays& notes, const NoteTimingSource& timing,
                   const std::function<double()>& random) const;

private:
    bool loadFailed_ = false;
    int clampModulation(double v) const;
};

}  // namespace tova
