// The view and MIDI switches of the tool row, driven as a user drives them.
#include "MainWindowRig.h"
#include "core/Processes.h"
#include "support/TestSupport.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QDir>
#include <QRadioButton>
#include <QTest>

#include <gtest/gtest.h>

using namespace tova;
using namespace Qt::Literals::StringLiterals;

namespace {

TEST(ViewSwitches, Mode2AndTheCurveView) {
    test::MainWindowRig rig;
    ASSERT_TRUE(rig.start());
    Form1& f = rig.f();
    // A rendered note in the instance's cache: switching without Shift keeps it.
    const QString cached = TempFolder + u"/temp.cache/0_a_C4_500_0123abcd.wav"_s;
    test::writeFile(cached, "RIFF");
    EXPECT_FALSE(f.visible(u"cmdRender"_s));
    EXPECT_FALSE(f.visible(u"chkTraceMode"_s));
    rig.drawing.options.clear();

    f.controlAs<QCheckBox>(u"chkAutoPitchMode2"_s)->click();  // on: the curve view comes on too
    EXPECT_TRUE(f.visible(u"cmdRender"_s));
    EXPECT_TRUE(f.visible(u"chkTraceMode"_s));
    EXPECT_TRUE(f.visible(u"mnNoteDefaultPitch"_s));
    EXPECT_EQ(f.value(u"chkCurve"_s), 1);
    EXPECT_EQ(f.value(u"mnShowCurve"_s), 1);
    EXPECT_TRUE(settings().Mode2);
    EXPECT_TRUE(rig.w().song.Mode2);
    EXPECT_FALSE(rig.drawing.options.isEmpty());

    f.controlAs<QCheckBox>(u"chkAutoPitchMode2"_s)->click();  // off: the curve view stays
    EXPECT_FALSE(f.visible(u"cmdRender"_s));
    EXPECT_FALSE(f.visible(u"chkTraceMode"_s));
    EXPECT_FALSE(f.visible(u"mnNoteDefaultPitch"_s));
    EXPECT_EQ(f.value(u"chkCurve"_s), 1);
    EXPECT_FALSE(settings().Mode2);
    EXPECT_TRUE(QFile::exists(cached));

    // F4 (the menu item) toggles the curve view through the check box, both ways.
    f.controlAs<QAction>(u"mnShowCurve"_s)->trigger();
    EXPECT_EQ(f.value(u"chkCurve"_s), 0);
    EXPECT_EQ(f.value(u"mnShowCurve"_s), 0);
    f.controlAs<QAction>(u"mnShowCurve"_s)->trigger();
    EXPECT_EQ(f.value(u"chkCurve"_s), 1);
    EXPECT_EQ(f.value(u"mnShowCurve"_s), 1);
    // The check box itself keeps the menu's check mark in step.
    f.controlAs<QCheckBox>(u"chkCurve"_s)->click();
    EXPECT_EQ(f.value(u"mnShowCurve"_s), 0);

    f.controlAs<QCheckBox>(u"chkView"_s)->click();
    EXPECT_EQ(rig.w().ParamView, 1);

    // With Shift held, switching mode 2 empties the instance's render cache.
    QTest::keyPress(&f, Qt::Key_Shift, Qt::ShiftModifier);
    ASSERT_TRUE(f.shiftHeld());
    f.controlAs<QCheckBox>(u"chkAutoPitchMode2"_s)->click();
    QTest::keyRelease(&f, Qt::Key_Shift, Qt::NoModifier);
    EXPECT_FALSE(QFile::exists(cached));
    EXPECT_TRUE(QDir(TempFolder + u"/temp.cache"_s).exists());
}

TEST(ViewSwitches, MeasureLengthAndTool) {
    test::MainWindowRig rig;
    ASSERT_TRUE(rig.start());
    Form1& f = rig.f();
    f.controlAs<QAction>(u"mnMeasure3"_s)->trigger();
    EXPECT_EQ(rig.w().BeatsPerBar, 3);
    EXPECT_EQ(f.value(u"mnMeasure3"_s), 1);
    EXPECT_EQ(f.value(u"mnMeasure4"_s), 0);
    f.controlAs<QAction>(u"mnMeasure4"_s)->trigger();
    EXPECT_EQ(rig.w().BeatsPerBar, 4);
    EXPECT_EQ(f.value(u"mnMeasure3"_s), 0);
    EXPECT_EQ(f.value(u"mnMeasure4"_s), 1);

    // The length for new notes follows the chosen entry: L4 1920, L3 2560, L64 120.
    auto* combo = f.controlAs<QComboBox>(u"Combo1"_s);
    const struct { int entry; int ticks; } lengths[] = {{2, 1920}, {1, 2560}, {0, 3840}, {10, 120}};
    for (const auto& l : lengths) {
        combo->setCurrentIndex(l.entry);
        emit combo->activated(l.entry);
        EXPECT_EQ(rig.w().NewNoteLength, l.ticks);
    }

    // Alt (shift state 4) or the drawing tool makes the tool mode.
    EXPECT_FALSE(rig.w().IsToolMode(0));
    EXPECT_FALSE(rig.w().IsToolMode(1));
    EXPECT_TRUE(rig.w().IsToolMode(4));
    f.controlAs<QRadioButton>(u"optMode"_s, 1)->click();
    EXPECT_TRUE(rig.w().IsToolMode(0));
    EXPECT_EQ(f.controlAs<QWidget>(u"Picture2"_s)->cursor().shape(), Qt::CrossCursor);
    f.controlAs<QRadioButton>(u"optMode"_s, 0)->click();
    EXPECT_FALSE(rig.w().IsToolMode(0));
    EXPECT_EQ(f.controlAs<QWidget>(u"Picture2"_s)->cursor().shape(), Qt::ArrowCursor);
}

TEST(ViewSwitches, MidiInput) {
    struct Case {
        const char* what;
        const char16_t* device;
        int openResult;
        const char16_t* message;  // empty: none
        bool connected;
    };
    const Case cases[] = {
        {"no device set", u"", 0, u"MIDI入力が設定されていません。", false},
        {"device fails", u"Keys", 3, u"MIDI入力デバイスのオープンに失敗しました。", false},
        {"device opens", u"Keys", 0, u"", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        test::MainWindowRig rig;
        ASSERT_TRUE(rig.start());
        settings().MidiInDevName = QString::fromUtf16(c.device);
        rig.midi.openInResult = c.openResult;
        Form1& f = rig.f();
        EXPECT_FALSE(f.enabled(u"chkMidiIn"_s));
        EXPECT_FALSE(f.enabled(u"chkSyncScroll"_s));
        f.controlAs<QCheckBox>(u"chkMidiCnn"_s)->click();
        const QString message = QString::fromUtf16(c.message);
        if (message.isEmpty()) {
            EXPECT_TRUE(rig.modal.messageBox.shown.isEmpty());
        } else {
            ASSERT_EQ(rig.modal.messageBox.shown.size(), 1);
            EXPECT_EQ(rig.modal.messageBox.shown[0].text, message);
            EXPECT_EQ(rig.modal.messageBox.shown[0].icon, MsgIcon::Exclamation);
        }
        EXPECT_EQ(f.value(u"chkMidiCnn"_s), c.connected ? 1 : 0);
        EXPECT_EQ(f.enabled(u"chkMidiIn"_s), c.connected);
        EXPECT_EQ(f.enabled(u"chkSyncScroll"_s), c.connected);
        if (!c.connected) continue;
        EXPECT_EQ(rig.midi.calls, QStringList{u"OpenMidiIn Keys"_s});
        // Step input and synchronised scrolling follow their boxes.
        f.controlAs<QCheckBox>(u"chkMidiIn"_s)->click();
        f.controlAs<QCheckBox>(u"chkSyncScroll"_s)->click();
        EXPECT_EQ(rig.midi.calls.mid(1), (QStringList{u"SetStepInput 1"_s, u"SetSyncScroll 1"_s}));
        // Disconnecting also unchecks and disables synchronised scrolling.
        f.controlAs<QCheckBox>(u"chkMidiCnn"_s)->click();
        EXPECT_EQ(rig.midi.calls.mid(3), (QStringList{u"CloseMidiIn"_s, u"SetSyncScroll 0"_s}));
        EXPECT_EQ(f.value(u"chkSyncScroll"_s), 0);
        EXPECT_FALSE(f.enabled(u"chkSyncScroll"_s));
        EXPECT_FALSE(f.enabled(u"chkMidiIn"_s));
    }
}

TEST(ViewSwitches, MidiMonitor) {
    test::MainWindowRig rig;
    ASSERT_TRUE(rig.start());
    Form1& f = rig.f();
    auto* box = f.controlAs<QCheckBox>(u"chkMidiMon"_s);
    box->click();  // no device set
    EXPECT_EQ(rig.modal.messageBox.lastText(), u"MIDI出力が設定されていません。"_s);
    EXPECT_EQ(f.value(u"chkMidiMon"_s), 0);
    settings().MidiOutDevName = u"Synth"_s;
    rig.midi.openOutResult = 1;
    box->click();
    EXPECT_EQ(rig.modal.messageBox.lastText(), u"MIDI出力デバイスのオープンに失敗しました。"_s);
    EXPECT_EQ(f.value(u"chkMidiMon"_s), 0);
    rig.midi.openOutResult = 0;
    box->click();
    EXPECT_EQ(f.value(u"chkMidiMon"_s), 1);
    box->click();
    EXPECT_EQ(rig.midi.calls, (QStringList{u"OpenMidiOut Synth"_s, u"OpenMidiOut Synth"_s, u"CloseMidiOut"_s}));
    EXPECT_EQ(rig.modal.messageBox.shown.size(), 2);
}

}  // namespace
