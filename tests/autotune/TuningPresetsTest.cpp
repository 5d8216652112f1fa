// The tuning dialogs' settings files and named presets, driven through their models: first use, the
// lines a new file gets, tolerant reading of damaged values, and presets that must survive.

#include "autotune/AutoCombineDialog.h"
#include "autotune/AutoPitchDialog.h"
#include "autotune/AutoVibratoDialog.h"
#include "autotune/OmakaseDialog.h"
#include "core/ProgramFolderFixture.h"
#include "platform/Cp932.h"
#include "platform/FakePorts.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace tova {
namespace {

class TuningPresetsTest : public test::ProgramFolderFixture {
protected:
    QString iniPath(const QString& name) const { return folder() + QStringLiteral("/settings/") + name + QStringLiteral(".ini"); }
    // The settings file's lines (code page 932, CR LF).
    QStringList lines(const QString& name) const {
        QFile f(iniPath(name));
        if (!f.open(QIODevice::ReadOnly)) return {};
        QStringList l = Cp932::decodeMarked(f.readAll()).split(QStringLiteral("\r\n"));
        if (!l.isEmpty() && l.last().isEmpty()) l.removeLast();
        return l;
    }
    void write(const QString& name, const QStringList& content) const {
        QDir().mkpath(folder() + QStringLiteral("/settings"));
        QFile f(iniPath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(Cp932::encodeMarked(content.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")));
    }
};

// ---------------------------------------------------------------- autopitch

TEST_F(TuningPresetsTest, AutoPitchFirstUseAndItsFile) {
    AutoPitchDialog d;
    d.Form_Load();
    EXPECT_EQ(d.txtUpperStart, QStringLiteral("-50"));
    EXPECT_EQ(d.txtDnWidthEx, QStringLiteral("20"));
    EXPECT_TRUE(d.chkUpper && d.chkDown && d.chkUseParams && !d.chkReset);
    EXPECT_TRUE(d.Combo1.Items.isEmpty());
    d.Combo1.Text = QStringLiteral("soft");
    d.cmdSave_Click();
    EXPECT_EQ(d.Combo1.Entries.at(0), QStringLiteral("soft,True,-50,100,-10,20,True,-50,100,-10,20,False,True"));
    d.txtUpperStart = QStringLiteral("1.50");
    d.Combo1.Index = -1;
    d.Combo1.Text = QStringLiteral("a,b");
    d.cmdSave_Click();
    EXPECT_EQ(d.Combo1.Items.at(1), QStringLiteral("a b"));
    EXPECT_EQ(d.Combo1.Entries.at(1).section(u',', 2, 2), QStringLiteral("1.50"));
    ASSERT_TRUE(d.Form_Unload());
    EXPECT_EQ(lines(QStringLiteral("autopitch")),
              (QStringList{"upstart=1.5", "upwidth=100", "upstartex=-10", "upwidthex=20", "downstart=-50", "downwidth=100",
                           "downstartex=-10", "downwidthex=20", "resetpitch=0", "useparams=1",
                           "SaveData0=soft,True,-50,100,-10,20,True,-50,100,-10,20,False,True",
                           "SaveData1=a b,True,1.50,100,-10,20,True,-50,100,-10,20,False,True"}));
}

TEST_F(TuningPresetsTest, AutoPitchReadsTolerantlyAndKeepsPresets) {
    write(QStringLiteral("autopitch"), {"upstart=-30", "useparams=7", "SaveData0=short,True,-20", "SaveData1=b",
                                        "SaveData3=kept"});
    AutoPitchDialog d;
    d.Form_Load();
    EXPECT_EQ(d.txtUpperStart, QStringLiteral("-30"));
    EXPECT_EQ(d.txtUpperWidth, QString());  // absent key: empty box
    EXPECT_TRUE(d.chkUseParams);            // 7 held at 1
    ASSERT_EQ(d.Combo1.Items, (QStringList{"short", "b"}));
    d.Combo1.Index = 0;
    d.cmdLoad_Click();  // a short record: the missing fields read as empty
    EXPECT_EQ(d.txtUpperStart, QStringLiteral("-20"));
    EXPECT_EQ(d.txtUpperWidth, QString());
    EXPECT_FALSE(d.chkDown);
    d.txt_LostFocus(QStringLiteral("txtUpperWidth"));
    d.txt_LostFocus(QStringLiteral("txtDownWidth"));
    EXPECT_EQ(d.txtUpperWidth, QStringLiteral("100"));
    EXPECT_EQ(d.txtDownWidth, QStringLiteral("75"));
    d.Combo1.Index = 1;
    d.cmdDel_Click();
    ASSERT_TRUE(d.Form_Unload());
    const QStringList l = lines(QStringLiteral("autopitch"));
    EXPECT_TRUE(l.contains(QStringLiteral("SaveData0=short,True,-20")));
    EXPECT_FALSE(l.join(u'\n').contains(QStringLiteral("SaveData1")));
    EXPECT_TRUE(l.contains(QStringLiteral("SaveData3=kept")));  // never read, never removed
}

// OK gives every box that holds no number its fallback, an empty box the user never touched too (an
// empty width would bend in one step); "1e999" is no number either.
TEST_F(TuningPresetsTest, OkRunsTheFallbacksOfBoxesNeverTouched) {
    write(QStringLiteral("autopitch"), {"upstart=-30", "downwidth=1e999"});
    AutoPitchDialog d;
    d.Form_Load();
    EXPECT_EQ(d.txtUpperWidth, QString());
    d.cmdSet_Click();
    EXPECT_TRUE(d.Result);
    EXPECT_EQ(d.txtUpperStart, QStringLiteral("-30"));
    EXPECT_EQ(d.txtUpperWidth, QStringLiteral("100"));
    EXPECT_EQ(d.txtDownWidth, QStringLiteral("75"));

    AutoCombineDialog c;
    c.Form_Load();
    c.Values.Targets = QStringLiteral("あ\r\nい\tう");  // a line break typed into the type-1 list
    c.Values.Per = QStringLiteral("inf");
    c.Values.Start.clear();
    c.Values.Width = QStringLiteral("-1e999");
    c.cmdOK_Click();
    EXPECT_TRUE(c.Result);
    EXPECT_EQ(c.Values.Per, QStringLiteral("1.0"));
    EXPECT_EQ(c.Values.Start, QStringLiteral("0"));
    EXPECT_EQ(c.Values.Width, QStringLiteral("0"));
    ASSERT_TRUE(c.Form_Unload());
    const QStringList l = lines(QStringLiteral("autocomb"));
    EXPECT_TRUE(l.contains(QStringLiteral("Targets=あ い う")));
    EXPECT_TRUE(l.contains(QStringLiteral("Rate=1.0")));
}

// ---------------------------------------------------------------- autobibrato

TEST_F(TuningPresetsTest, AutoVibratoPresetsAndFile) {
    AutoVibratoDialog d;
    d.Form_Load();
    EXPECT_EQ(d.txtStart + d.txtDepth + d.txtLimit + d.txtLength, QStringLiteral("70100480150"));
    d.txtStart = QStringLiteral("070");
    for (const char* name : {"", "", "fast, deep"}) {
        d.Combo1.Index = -1;
        d.Combo1.Text = QLatin1String(name);
        d.cmdSave_Click();
    }
    EXPECT_EQ(d.Combo1.Items, (QStringList{"Item0", "Item1", "fast  deep"}));
    EXPECT_EQ(d.Combo1.Entries.at(2), QStringLiteral("fast  deep,070,100,150,480,0,0"));
    d.Combo1.Index = 1;
    d.cmdDel_Click();
    ASSERT_TRUE(d.Form_Unload());
    EXPECT_EQ(lines(QStringLiteral("autobibrato")),
              (QStringList{"start=70", "depth=100", "length=150", "limit=480", "rideflag=0", "updownrate=0",
                           "SaveData0=Item0,070,100,150,480,0,0", "SaveData1=fast  deep,070,100,150,480,0,0"}));
    // A slider value beyond its range is held at its end; a bad rideflag at 0..1.
    write(QStringLiteral("autobibrato"), {"start=60", "rideflag=-3", "updownrate=99", "SaveData0=x,1,2,3,4,5,-50"});
    AutoVibratoDialog e;
    e.Form_Load();
    EXPECT_EQ(e.Slider1, 10);
    EXPECT_FALSE(e.chkRideFlag);
    e.Combo1.Index = 0;
    e.cmdLoad_Click();
    EXPECT_EQ(e.Slider1, -10);
    EXPECT_TRUE(e.chkRideFlag);
    EXPECT_EQ(e.txtLimit, QStringLiteral("4"));
}

// ---------------------------------------------------------------- autocomb

TEST_F(TuningPresetsTest, AutoCombinePresetsHeightAndFile) {
    AutoCombineDialog d;
    d.Form_Load();
    EXPECT_EQ(d.Height, AutoCombineDialog::ShortHeight);
    d.ToggleDetailHeight();
    EXPECT_EQ(d.Height, AutoCombineDialog::FullHeight);
    d.ToggleDetailHeight();
    EXPECT_EQ(d.Height, AutoCombineDialog::ShortHeight);
    d.Values.Per = QStringLiteral("0.950");
    d.cmdSave_Click();
    EXPECT_EQ(d.Combo1.Entries.at(0), QStringLiteral("Item0|True|あ,い,う,え,お,ん|100|-50|0.95|True|False|") +
                                          d.Values.Target2 + QStringLiteral("|95|115|75|False|130|100|75"));
    EXPECT_EQ(d.Values.Per, QStringLiteral("0.95"));  // the new preset is applied at once
    d.Combo1.Index = -1;
    d.Combo1.Text = QStringLiteral("a|b");
    d.Values.Targets = QStringLiteral("あ|い");
    d.cmdSave_Click();
    EXPECT_EQ(d.Combo1.Items.at(1), QStringLiteral("a b"));
    EXPECT_EQ(d.Combo1.Entries.at(1).section(u'|', 2, 2), QStringLiteral("あ い"));
    d.Values.Per = QStringLiteral("x");
    d.txtPer_LostFocus();
    EXPECT_EQ(d.Values.Per, QStringLiteral("1.0"));
    ASSERT_TRUE(d.Form_Unload());
    const QStringList l = lines(QStringLiteral("autocomb"));
    ASSERT_GE(l.size(), 17);
    EXPECT_EQ(l.mid(0, 6), (QStringList{"Enabled=1", "Targets=あ い", "Width=100", "Start=-50", "Rate=1.0", "Vol=1"}));
    EXPECT_TRUE(l.at(15).startsWith(QStringLiteral("SaveData0=Item0|True|")));
    // A short preset fills the missing fields with empty values; the height follows the envelope boxes.
    write(QStringLiteral("autocomb"), {"EnvOther=1", "SaveData0=p|True|か"});
    AutoCombineDialog e;
    e.Form_Load();
    EXPECT_EQ(e.Height, AutoCombineDialog::FullHeight);
    EXPECT_EQ(e.Values.Target2, QString());
    e.Combo1_Click(0);
    EXPECT_EQ(e.Values.Targets, QStringLiteral("か"));
    EXPECT_EQ(e.Values.Width, QString());
    EXPECT_FALSE(e.Values.EnvOther);
}

// ---------------------------------------------------------------- omakase

TEST_F(TuningPresetsTest, OmakaseFileEntriesAndNamedSettings) {
    ScopedFakePorts ports;
    OmakaseDialog d;
    d.Form_Load();
    EXPECT_EQ(d.OptionsToPresetString(QStringLiteral("test")),
              QStringLiteral("test|1|あ,い,う,え,お,ん;を|1|1|1|1|1|2|2|4|1|1|1|1|0"));
    // An empty name is refused with a message.
    d.cmdAdd_Click();
    EXPECT_EQ(ports.messageBox.lastText(), QStringLiteral("名前を入力してください"));
    EXPECT_TRUE(d.SettingEntries.isEmpty());
    d.txtName = QStringLiteral("my set");
    d.cmdAdd_Click();
    ASSERT_EQ(d.SettingEntries.size(), 1);
    EXPECT_TRUE(d.SettingEntries.at(0).startsWith(QStringLiteral("my,set|")));
    d.txtName = QStringLiteral("my set");
    d.cmdAdd_Click();  // no match for the stored my,set: a second entry
    EXPECT_EQ(d.SettingEntries.size(), 2);
    // Overwrite with Cancel changes nothing.
    d.txtName = QStringLiteral("x");
    d.cmdAdd_Click();
    d.chkVibrato = false;
    ports.messageBox.answers.enqueue(MsgResult::Cancel);
    d.cmdAdd_Click();
    EXPECT_EQ(ports.messageBox.lastText(), QStringLiteral("'x'を上書きします"));
    // A replace question, with the icon of the program's other replace questions.
    EXPECT_EQ(ports.messageBox.shown.last().icon, MsgIcon::Exclamation);
    EXPECT_EQ(d.SettingEntries.at(2).section(u'|', 11, 11), QStringLiteral("1"));
    ASSERT_TRUE(d.Form_Unload());
    const QStringList l = lines(QStringLiteral("omakase"));
    ASSERT_EQ(l.size(), 16);
    EXPECT_EQ(l.mid(0, 3), (QStringList{"AutoComb=1", "CN=あ,い,う,え,お,ん,;を", "CombOpt=1;中くらい"}));
    EXPECT_EQ(l.at(13), QStringLiteral("VBLength=1;はんぶん"));
    EXPECT_TRUE(l.at(15).startsWith(QStringLiteral("Settings=my,set|")));
    OmakaseDialog e;
    e.Form_Load();
    EXPECT_EQ(e.lstSettings, (QStringList{"my,set", "my,set", "x"}));
    EXPECT_FALSE(e.chkVibrato);
}

TEST_F(TuningPresetsTest, OmakaseBadStoredValuesAreSkippedAndNamedSettingsSurvive) {
    write(QStringLiteral("omakase"), {"CN=;", "VBLength=7;x", "PMTmg2=5;遅い", "Modulation=900", "Settings=a|1|あ;|0"});
    OmakaseDialog d;
    d.Form_Load();
    for (bool b : d.chkCN) EXPECT_FALSE(b);
    EXPECT_EQ(d.optBLeng, 1);  // 7 fits no button: the value stays
    EXPECT_EQ(d.optPORTDown, 5);
    EXPECT_EQ(d.ModulationValue, 200);
    ASSERT_EQ(d.lstSettings, QStringList{"a"});
    // A short entry: missing checks clear, missing groups element 0, straight shapes, modulation 0.
    d.lstSettings_Click(0);
    EXPECT_FALSE(d.chkUpper);
    EXPECT_EQ(d.optComb, 0);
    EXPECT_EQ(d.optPORTUp, 0);
    EXPECT_EQ(d.optPORTDown, 5);
    EXPECT_FALSE(d.optPUSine);
    EXPECT_EQ(d.ModulationValue, 0);
    EXPECT_EQ(d.txtName, QStringLiteral("a"));
    // Deleting the only entry leaves an empty list and an empty key.
    ScopedFakePorts ports;
    d.cmdDel_Click();
    ASSERT_EQ(ports.messageBox.shown.size(), 1);
    EXPECT_EQ(ports.messageBox.shown.front().icon, MsgIcon::Question);
    EXPECT_TRUE(d.SettingEntries.isEmpty());
    ASSERT_TRUE(d.Form_Unload());
    EXPECT_TRUE(lines(QStringLiteral("omakase")).contains(QStringLiteral("Settings=")));
}

TEST_F(TuningPresetsTest, OmakaseModulationLabel) {
    OmakaseDialog d;
    d.ResetOptions();
    EXPECT_EQ(d.Label4, QStringLiteral("ﾓｼﾞｭﾚｰｼｮﾝ 0"));
    d.Label4_MouseDown(1, 100);
    d.Label4_MouseMove(3100);
    EXPECT_EQ(d.ModulationValue, 0);  // shown only while dragging
    EXPECT_EQ(d.Label4, QStringLiteral("ﾓｼﾞｭﾚｰｼｮﾝ -100"));
    d.Label4_MouseUp(3100);
    d.Label4_Click();  // moved: no click step
    EXPECT_EQ(d.ModulationValue, -100);
    d.Label4_MouseDown(1, 0);
    d.Label4_MouseUp(0);
    d.Label4_Click();
    EXPECT_EQ(d.ModulationValue, -90);
    d.Label4_MouseDown(2, 0);
    d.Label4_Click();
    EXPECT_EQ(d.ModulationValue, -100);
    d.Label4_MouseDown(2, 0);
    d.Label4_Click();
    EXPECT_EQ(d.ModulationValue, -100);
    d.Label4 = QStringLiteral("Mod 5");
    d.UpdateModulationLabel(30);
    EXPECT_EQ(d.Label4, QStringLiteral("Mod 30"));
}

}  // namespace
}  // namespace tova
