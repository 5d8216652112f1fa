// The pitch-control dialog's model: filling from the notes or the defaults, the check-box cycle, and what
// OK writes into the mode-2 options.

#include "core/Settings.h"
#include "editors/PitchControl.h"
#include "song/NoteExtension.h"

#include <gtest/gtest.h>

namespace tova {
namespace {

// Sung notes of `lengths` internal ticks at note numbers `nums`, each with extension string `ext`.
NoteArrays notesOf(const QList<qint32>& nums, const QList<qint32>& lengths, const QString& ext = QString()) {
    NoteArrays n;
    n.resizeNotes(qint32(nums.size()));
    for (int i = 0; i < nums.size(); ++i) {
        n.NoteNums[i] = nums[i];
        n.Lengths[i] = lengths[i];
        n.Lyrics[i] = QStringLiteral("あ");
        n.NoteExt[i] = ext;
    }
    return n;
}

QString opt(const NoteArrays& n, int i, const char* key) { return GetNoteOption(n.NoteExt[i], QString::fromLatin1(key)); }

TEST(PitchControl, DefaultsModeWithFactorySettings) {
    Settings s;
    PitchControl d(s);
    NoteArrays none;
    d.fill(-1, -1, none);
    EXPECT_EQ(d.Caption, QStringLiteral("ピッチコントロールのデフォルト値"));
    EXPECT_EQ(d.chkPortamento, 1);
    EXPECT_EQ(d.portamentoMode, PitchControl::Custom);
    EXPECT_EQ(d.txtPorStart, QStringLiteral("-40"));
    EXPECT_EQ(d.txtPorWidth, QStringLiteral("80"));
    EXPECT_EQ(d.sldPorStart.value, -40);
    EXPECT_EQ(d.chkVibrato, 0);
    EXPECT_TRUE(d.excludeVisible);
    EXPECT_FALSE(d.pointAddVisible);
    EXPECT_FALSE(d.defaultButtonsVisible);

    // OK in the defaults mode stores the settings and nothing else.
    d.txtPorWidth_Change(QStringLiteral("0"));  // a width of 0 would be no segment: counts as 1
    d.chkVibrato_MouseDown();
    d.chkVibrato_Click();
    d.cboVPreset_Click(1);
    d.cboExcludeTarget = 4;
    d.apply(-1, -1, none, 120);
    EXPECT_EQ(s.Mode2PBS, QStringLiteral("-40"));
    EXPECT_EQ(s.Mode2PBW, QStringLiteral("1"));
    EXPECT_EQ(s.Mode2VBR, QStringLiteral("65 210 55 20 20 0 0 200"));
    EXPECT_EQ(s.Mode2VBRExclude, 1920);

    PitchControl again(s);
    again.fill(-1, -1, none);
    EXPECT_EQ(again.cboExcludeTarget, 4);
    EXPECT_EQ(again.chkVibrato, 1);
    EXPECT_EQ(again.txtV[PitchControl::VDepth], QStringLiteral("55"));
}

TEST(PitchControl, ASingleNoteOpensItsOwnValues) {
    Settings s;
    s.Mode2VBR = QStringLiteral("65 180 35 20 20 0 0 100");
    NoteArrays n = notesOf({48}, {1920});
    SetNoteOption(n.NoteExt[0], QStringLiteral("VBR"), QStringLiteral("50 200 30 10 10 5 3"));  // seven fields
    SetNoteOption(n.NoteExt[0], QStringLiteral("PBS"), QStringLiteral("-30;5"));
    SetNoteOption(n.NoteExt[0], QStringLiteral("PBW"), QStringLiteral("60"));
    PitchControl d(s);
    d.fill(0, 0, n);
    EXPECT_EQ(d.Caption, QStringLiteral("ピッチコントロール(Mode2)"));
    EXPECT_EQ(d.chkVibrato, 1);
    EXPECT_EQ(d.txtV[PitchControl::VLength], QStringLiteral("50"));
    EXPECT_EQ(d.txtV[PitchControl::VPhase], QStringLiteral("3"));
    EXPECT_EQ(d.txtV[PitchControl::VIntensity], QStringLiteral("0"));
    EXPECT_EQ(d.sldV[PitchControl::VCycle].value, 200);
    EXPECT_EQ(d.chkPortamento, 1);
    EXPECT_EQ(d.portamentoMode, PitchControl::Custom);
    EXPECT_EQ(d.txtPorStart, QStringLiteral("-30"));
    EXPECT_FALSE(d.excludeVisible);
    EXPECT_TRUE(d.pointAddVisible);

    // Custom OK keeps the start height after ";".
    d.apply(0, 0, n, 120);
    EXPECT_EQ(opt(n, 0, "PBS"), QStringLiteral("-30;5"));
    EXPECT_EQ(opt(n, 0, "PBW"), QStringLiteral("60"));
    EXPECT_EQ(opt(n, 0, "VBR"), QStringLiteral("50 200 30 10 10 5 3 0"));

    // Several widths open the point count; six fields are no vibrato.
    SetNoteOption(n.NoteExt[0], QStringLiteral("PBW"), QStringLiteral("20 30 40"));
    SetNoteOption(n.NoteExt[0], QStringLiteral("VBR"), QStringLiteral("50 200 30 10 10 5"));
    PitchControl p(s);
    p.fill(0, 0, n);
    EXPECT_EQ(p.portamentoMode, PitchControl::PointAdd);
    EXPECT_EQ(p.cboPPoints, QStringLiteral("4"));
    EXPECT_EQ(p.chkVibrato, 0);
    EXPECT_EQ(p.txtV[PitchControl::VIntensity], QStringLiteral("100"));  // Mode2VBR shown
}

TEST(PitchControl, CheckBoxesCycleClearSetGreyAndEnableTheirGroup) {
    Settings s;
    NoteArrays n = notesOf({48, 50}, {1920, 1920});
    PitchControl d(s);
    d.fill(0, 1, n);
    EXPECT_EQ(d.Caption, QStringLiteral("ピッチコントロール（複数選択）"));
    EXPECT_EQ(d.chkPortamento, 2);
    EXPECT_FALSE(d.portamentoEnabled);
    const int cycle[] = {0, 1, 2, 0};
    for (int expected : cycle) {
        d.chkPortamento_MouseDown();
        d.chkPortamento_Click();
        EXPECT_EQ(d.chkPortamento, expected);
        EXPECT_EQ(d.portamentoEnabled, expected == 1);
    }
    // Typing selects the custom start; a lone "-" reads as 0; the slider keeps its range.
    d.portamentoMode = PitchControl::Preset;
    d.txtPorStart_Change(QStringLiteral("-"));
    EXPECT_EQ(d.portamentoMode, PitchControl::Custom);
    EXPECT_EQ(d.txtPorStart, QStringLiteral("0"));
    d.txtPorStart_Change(QStringLiteral("-999"));
    EXPECT_EQ(d.txtPorStart, QStringLiteral("-999"));
    EXPECT_EQ(d.sldPorStart.value, -200);
    d.txtV_Change(PitchControl::VCycle, QStringLiteral("999"));
    d.txtV_LostFocus(PitchControl::VCycle);
    EXPECT_EQ(d.txtV[PitchControl::VCycle], QStringLiteral("512"));
}

TEST(PitchControl, GreyBoxesChangeNothing) {
    Settings s;
    NoteArrays n = notesOf({48, 50, 52}, {1920, 1920, 1920}, QStringLiteral("\t\t\t\t\tPBS=-10\\nPBW=30\\nVBR=1 2 3 4 5 6 7"));
    const NoteArrays before = n;
    PitchControl d(s);
    d.fill(0, 2, n);
    d.apply(0, 2, n, 120);
    EXPECT_EQ(n.NoteExt, before.NoteExt);
}

TEST(PitchControl, PresetStartAndWidthFollowThePreviousNote) {
    const struct {
        const char* what;
        qint32 prevNum, prevLength;
        int preset;
        const char *pbs, *pbw;
    } cases[] = {
        {"an octave up: doubled", 36, 1920, 0, "-50", "100"},
        {"a semitone: -26.49 floors to -27", 47, 1920, 0, "-27", "52"},
        {"a short previous note shrinks the start", 48, 96, 1, "-13", "50"},  // -50 x 12.5 / 50 floors to -13
        {"the same pitch: the preset", 48, 1920, 8, "0", "200"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Settings s;
        NoteArrays n = notesOf({c.prevNum, 48}, {c.prevLength, 3840});
        PitchControl d(s);
        d.fill(0, 1, n);
        d.chkPortamento = 1;
        d.cboPPreset_Click(c.preset);
        d.apply(0, 1, n, 120);
        EXPECT_EQ(opt(n, 1, "PBS"), QString::fromLatin1(c.pbs));
        EXPECT_EQ(opt(n, 1, "PBW"), QString::fromLatin1(c.pbw));
        EXPECT_EQ(opt(n, 1, "PBY"), QString());
    }
}

TEST(PitchControl, TheWidthShrinksToHalfTheNoteAndTempoOptionsCount) {
    Settings s;
    // 480 ticks at 120 = 125 ms, half 62.5: a custom start 0 with width 100 does not fit, w = 62.5 / 100.
    NoteArrays n = notesOf({48}, {480});
    PitchControl d(s);
    d.fill(0, 0, n);
    d.chkPortamento = 1;
    d.txtPorStart_Change(QStringLiteral("0"));
    d.txtPorWidth_Change(QStringLiteral("100"));
    d.apply(0, 0, n, 120);
    EXPECT_EQ(opt(n, 0, "PBW"), QStringLiteral("62"));
    // A tempo option of 0 counts as absent: the project tempo stays.
    SetNoteOption(n.NoteExt[0], QStringLiteral("tempo"), QStringLiteral("0"));
    d.apply(0, 0, n, 120);
    EXPECT_EQ(opt(n, 0, "PBW"), QStringLiteral("62"));
    float t = 120;
    GetTempo(n.NoteExt[0], t);
    EXPECT_EQ(t, 120.0f);
    SetNoteOption(n.NoteExt[0], QStringLiteral("tempo"), QStringLiteral("60"));
    d.apply(0, 0, n, 120);
    EXPECT_EQ(opt(n, 0, "PBW"), QStringLiteral("100"));  // 250 ms: fits
}

TEST(PitchControl, MorePointsEitherKeepOrSpreadThem) {
    Settings s;
    const QString ext = QStringLiteral("\t\t\t\t\tPBS=-40\\nPBW=20 30 40\\nPBY=5 6");
    NoteArrays n = notesOf({48}, {1920}, ext);  // 500 ms at 120
    PitchControl d(s);
    d.fill(0, 0, n);
    d.cboPPoints_Change(QStringLiteral("4"));
    d.apply(0, 0, n, 120);
    EXPECT_EQ(n.NoteExt[0], ext);  // already four points, not spread: unchanged
    d.chkKinto = 1;
    d.apply(0, 0, n, 120);
    EXPECT_EQ(opt(n, 0, "PBW"), QStringLiteral("180 180 180"));  // 540 ms from the first point, in thirds
    EXPECT_EQ(opt(n, 0, "PBY"), QStringLiteral("5 6"));
    EXPECT_EQ(opt(n, 0, "PBS"), QStringLiteral("-40"));

    NoteArrays m = notesOf({48}, {1920});
    d.chkKinto = 0;
    d.cboPPoints_Change(QStringLiteral("3"));
    d.apply(0, 0, m, 120);
    EXPECT_EQ(opt(m, 0, "PBW"), QStringLiteral("50 50"));
    EXPECT_EQ(opt(m, 0, "PBY"), QStringLiteral("0"));
    EXPECT_EQ(opt(m, 0, "PBS"), QStringLiteral("0"));
}

TEST(PitchControl, VibratoExclusionAndRemoval) {
    Settings s;
    NoteArrays n = notesOf({48, 48, 48, 48}, {1920, 1921, 960, 3840});
    n.Lyrics[3] = QStringLiteral("R");
    PitchControl d(s);
    d.fill(0, 3, n);
    d.chkVibrato = 1;
    d.cboVPreset_Click(0);
    d.cboExcludeTarget = 4;  // "4分音符以下": 480 file ticks, 1920 internal
    d.apply(0, 3, n, 120);
    EXPECT_EQ(opt(n, 0, "VBR"), QString());
    EXPECT_EQ(opt(n, 1, "VBR"), QStringLiteral("65 180 35 20 20 0 0 100"));
    EXPECT_EQ(opt(n, 2, "VBR"), QString());
    EXPECT_EQ(n.NoteExt[3], QString());  // rests are skipped
    d.chkVibrato = 0;
    d.apply(0, 3, n, 120);
    EXPECT_EQ(opt(n, 1, "VBR"), QString());
}

}  // namespace
}  // namespace tova
