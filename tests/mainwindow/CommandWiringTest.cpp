// Every menu item of the tree and every control of the tool band runs through the command registry:
// a control whose command is built runs it, every other one says that it is not available yet, and none
// is silent.
#include "MainWindowRig.h"

#include "commands/CommandRegistry.h"
#include "mainwindow/MenuTree.h"
#include "mainwindow/ProgramNoteEdit.h"
#include "mainwindow/ui/ProgramPorts.h"
#include "song/ProjectFile.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMouseEvent>

#include <gtest/gtest.h>

using namespace tova;
using namespace tova::test;
using namespace Qt::Literals::StringLiterals;

namespace {

TEST(CommandWiring, EveryMenuItemAndToolBandControlRunsItsCommandOrSaysItIsNotAvailable) {
    MainWindowRig rig;
    ASSERT_TRUE(rig.start());
    Form1& f = rig.f();
    CommandRegistry& registry = f.commands();
    // Each built command replaced by one that records its name and index, so that the walk opens no
    // window and ends nothing.
    QStringList log;
    for (const QString& name : registry.names())
        registry.addIndexed(name, [name, &log](EditContext&, int index) { log << u"%1 %2"_s.arg(name).arg(index); });

    // The whole tree, from the menu tree's table, and the tool band's controls.
    QStringList controls;
    for (const MenuEntry& e : MenuTree::entries())
        if (!e.isTopLevel() && !e.submenu && !e.isSeparator()) controls << e.name;
    for (QAbstractButton* b : f.centralWidget()->findChildren<QAbstractButton*>())
        if (!b->objectName().isEmpty() && !controls.contains(b->objectName())) controls << b->objectName();
    for (const char* name : {"cmdZoomIn", "cmdInsR", "cmdLyricIns", "cmdLyricRepl", "btnPlay", "chkCurve", "optMode"})
        EXPECT_TRUE(controls.contains(QString::fromLatin1(name))) << name;
    EXPECT_TRUE(f.commandControls().contains(u"mnNoteNext"_s));

    int built = 0, notBuilt = 0;
    for (const QString& name : controls) {
        SCOPED_TRACE(name.toStdString());
        rig.modal.messageBox.shown.clear();
        log.clear();
        // The wiring is walked, not the state: hidden and disabled controls are shown and enabled first.
        if (auto* a = f.controlAs<QAction>(name, MenuTree::find(name) && MenuTree::find(name)->arrayElement ? 0 : -1)) {
            a->setVisible(true);
            a->setEnabled(true);
            a->trigger();
        } else if (auto* b = f.controlAs<QAbstractButton>(name)) {
            b->setVisible(true);
            b->setEnabled(true);
            b->click();
        } else {
            ADD_FAILURE() << "no control";
            continue;
        }
        const QString command = registry.resolve(name);
        if (registry.contains(name)) {
            ++built;
            ASSERT_EQ(log.size(), 1);
            EXPECT_TRUE(log[0].startsWith(command + u' '));
            EXPECT_TRUE(rig.modal.messageBox.shown.isEmpty());
        } else {
            ++notBuilt;
            EXPECT_TRUE(log.isEmpty());
            ASSERT_EQ(rig.modal.messageBox.shown.size(), 1);
            EXPECT_TRUE(rig.modal.messageBox.shown[0].text.endsWith(u"はまだ使用できません。"_s))
                << rig.modal.messageBox.shown[0].text.toStdString();
            EXPECT_FALSE(rig.modal.messageBox.shown[0].text.startsWith(u"はまだ"_s));  // names the feature
        }
    }
    EXPECT_GT(built, 50);
    EXPECT_EQ(notBuilt, 0);  // every command of the menus and the tool band is built

    // The sample list of the pop-up menu runs the sample picker's command.
    log.clear();
    f.controlAs<QAction>(u"mnWordList"_s)->trigger();
    EXPECT_EQ(log, QStringList{u"mnInsertFrom -1"_s});

    // Array elements pass their index; a tool-band button runs its menu item's command.
    log.clear();
    f.controlAs<QAbstractButton>(u"optMode"_s, 1)->click();
    f.controlAs<QAbstractButton>(u"cmdNoteTop"_s)->click();
    EXPECT_EQ(log, (QStringList{u"optMode 1"_s, u"mnNoteTop -1"_s}));
    // The voice name and the voice picture are commands too.
    log.clear();
    for (const char* name : {"lblVoice", "Image1"}) {
        QMouseEvent release(QEvent::MouseButtonRelease, QPointF(2, 2), QPointF(2, 2), Qt::LeftButton, Qt::NoButton,
                            Qt::NoModifier);
        QApplication::sendEvent(f.control(QString::fromLatin1(name)), &release);
    }
    EXPECT_EQ(log, (QStringList{u"mnProjSetting -1"_s, u"Image1 -1"_s}));
}

// The real commands: "next note" from the menu moves the selection; the zoom items follow their
// predicates; the voice picture without the voice-bank tools says so.
TEST(CommandWiring, BuiltCommandsRunOnTheMainWindow) {
    MainWindowRig rig;
    ASSERT_TRUE(rig.start());
    rig.setSong({1920, 1920, 1920});
    rig.w().song.Lyrics[1] = u"R"_s;
    rig.w().song.SelStart = rig.w().song.SelEnd = 0;
    Form1& f = rig.f();
    f.controlAs<QAction>(u"mnNoteNext"_s)->trigger();
    EXPECT_EQ(rig.w().song.SelStart, 2);
    EXPECT_EQ(rig.w().CurNote, 2);

    for (int i = 0; i < 12; ++i) f.controlAs<QAbstractButton>(u"cmdZoomOut"_s)->click();
    EXPECT_FALSE(rig.w().Scale.ZoomOutEnabled);
    f.refreshCommandStates();
    EXPECT_FALSE(f.enabled(u"mnZoomOut"_s));
    EXPECT_FALSE(f.enabled(u"cmdZoomOut"_s));
    EXPECT_TRUE(f.enabled(u"mnZoomIn"_s));

    MainWindowRig bare;
    bare.ports.voiceTools = nullptr;
    ASSERT_TRUE(bare.start());
    bare.w().song.VoiceDir = u"/voices/aiueo"_s;
    bare.modal.messageBox.shown.clear();
    bare.f().runCommand(u"Image1"_s, -1, bare.f().control(u"Image1"_s));
    ASSERT_EQ(bare.modal.messageBox.shown.size(), 1);
    EXPECT_EQ(bare.modal.messageBox.shown[0].text, u"音源の情報はまだ使用できません。"_s);
}

// The program's own set of services leaves no port of the window unset (the multimedia layer alone
// stays empty: the playback binding then goes through the program's own), so no command of the menus
// falls back to "not available" in the program.
TEST(CommandWiring, TheProgramSetsEveryPort) {
    ScopedProgramFolder program;
    ScopedFakePorts modal;
    settings() = Settings();
    ProgramPorts services;
    Form1 f(services.ports());
    services.attach(&f);
    QStringList unset;
    f.logic().ports().forEachPort([&unset](const char* name, bool set) {
        if (!set) unset << QString::fromLatin1(name);
    });
    EXPECT_EQ(unset, QStringList{u"mci"_s});
    services.attach(nullptr);
}

// Choosing an alias in the note's pop-up gives the current note that lyric as one undo step; choosing the
// lyric it already has records nothing. The lyric reads back the same from the saved song.
TEST(CommandWiring, AliasChoiceSetsTheLyricAsOneStep) {
    MainWindowRig rig;
    ProgramNoteEdit edit;
    rig.ports.noteEdit = &edit;
    ASSERT_TRUE(rig.start());
    rig.setSong({480, 480});
    rig.w().song.Lyrics[1] = u"か"_s;
    rig.w().song.NoteExt[1] = u"10:20:30"_s;
    Form1& f = rig.f();
    rig.voiceBanks.aliases = {u"か"_s, u"か↑"_s, u"a か"_s};
    rig.w().ShowAliasMenu(1);
    ASSERT_EQ(rig.w().CurNote, 1);
    const qsizetype steps = rig.w().song.UndoCaptions.size();
    rig.w().song.SetModified(false);
    f.runCommand(u"mnW0"_s, 2, nullptr);
    EXPECT_EQ(rig.w().song.Lyrics[1], u"a か"_s);
    EXPECT_EQ(rig.w().song.Lyrics[0], u"あ"_s);
    EXPECT_EQ(rig.w().song.NoteExt[1], u"10:20:30"_s);
    EXPECT_TRUE(rig.w().song.IsModified);
    ASSERT_EQ(rig.w().song.UndoCaptions.size(), steps + 1);
    EXPECT_EQ(rig.w().song.UndoCaptions.back(), u"歌詞の変更"_s);
    EXPECT_TRUE(rig.modal.messageBox.shown.isEmpty());
    // The same alias again changes nothing and records nothing.
    f.runCommand(u"mnW0"_s, 2, nullptr);
    EXPECT_EQ(rig.w().song.UndoCaptions.size(), steps + 1);
    // Undo brings the lyric back.
    rig.w().song.Undo();
    EXPECT_EQ(rig.w().song.Lyrics[1], u"か"_s);

    // The menu offers a sub-folder sample without an alias by its path: "A3\na" holds the two characters
    // that separate a note's entries in the project file. The choice goes into the lyric as typed text
    // does, so that the song saved and opened again has the lyric the user chose; a choice longer than a
    // lyric may be is cut as a typed one is.
    Song& s = rig.w().song;
    rig.voiceBanks.aliases = {u"A3\\na"_s, QString(300, u'か')};
    rig.w().ShowAliasMenu(1);
    f.runCommand(u"mnW0"_s, 0, nullptr);
    const QString chosen = s.Lyrics[1];
    EXPECT_EQ(chosen, u"A3/na"_s);
    NoteArrays back;
    ProjectSettings settings = s.projectSettings();
    qint32 index = 0;
    ReadProjectText(ProjectFileText(settings, s), settings, index, back);
    ASSERT_EQ(index, 2);
    EXPECT_EQ(back.Lyrics[1], chosen);
    f.runCommand(u"mnW0"_s, 1, nullptr);
    EXPECT_EQ(s.Lyrics[1], QString(255, u'か'));
}


}  // namespace
