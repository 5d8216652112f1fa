// Notes played on a MIDI keyboard with step input on enter the song through the program's MIDI host.
#include "MainWindowRig.h"
#include "core/Midi.h"
#include "mainwindow/ProgramMidi.h"
#include "platform/midi/FakeMidiSystem.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

using namespace tova;
using namespace tova::test;
using namespace Qt::Literals::StringLiterals;

namespace {

TEST(MidiNoteEntry, StepInputEntersEachNoteAsOneUndoStep) {
    MainWindowRig rig;
    ASSERT_TRUE(rig.start());
    FakeMidiSystem devices;
    devices.inputs = {u"Keyboard"_s};
    ProgramMidi midi;
    midi.attach(&rig.w());
    QObject receiver;
    QString name = u"Keyboard"_s;
    ASSERT_EQ(OpenMidiIn(name, &receiver), 0);
    SetMidiStepInput(true);

    MainWindow& w = rig.w();
    rig.setSong({480});
    w.setSelection(1, 1);
    w.setLyricEntryText(u"かき"_s);
    const qint32 stepsBefore = w.song.UndoPos;
    for (const int key : {60, 62}) {
        devices.openInput()->inject(QByteArray{"\x90", 1} + char(key) + char(100));
        QCoreApplication::processEvents();
    }
    EXPECT_EQ(w.song.Lyrics, (QStringList{u"あ"_s, u"か"_s, u"き"_s}));
    EXPECT_EQ(w.song.NoteNums.mid(1), (QList<qint32>{36, 38}));
    EXPECT_EQ(w.song.Lengths.mid(1), (QList<qint32>{w.newNoteLength(), w.newNoteLength()}));
    EXPECT_EQ(w.song.UndoPos, stepsBefore + 2);
    EXPECT_EQ(w.song.UndoCaptions.mid(stepsBefore), (QStringList{u"挿入"_s, u"挿入"_s}));
    EXPECT_TRUE(w.lyricEntryText().isEmpty());
    ASSERT_TRUE(w.song.Undo());
    EXPECT_EQ(w.song.Lyrics, (QStringList{u"あ"_s, u"か"_s}));
    EXPECT_EQ(w.lyricEntryText(), u"き"_s);

    SetMidiStepInput(false);
    CloseMidiIn();
    midi.attach(nullptr);
}

}  // namespace
