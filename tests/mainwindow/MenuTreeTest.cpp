// The menu tree of the main window: every entry with its name, caption, shortcut, nesting and state at
// start, the pop-up menus and the run-time arrays.
#include "MainWindowRig.h"
#include "core/CaptionFiles.h"
#include "core/Utf16Text.h"
#include "core/WindowRegistry.h"
#include "exchange/PluginList.h"
#include "exchange/plugins/PluginRun.h"
#include "mainwindow/MenuTree.h"
#include "song/NoteExtension.h"
#include "support/TestSupport.h"

#include <QAction>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QTest>

#include <gtest/gtest.h>

using namespace tova;
using namespace Qt::Literals::StringLiterals;

namespace {

TEST(MenuTree, EveryEntryIsBuiltAsTheTableSays) {
    // The design state, before start-up changes the undo items and the arrays.
    test::MainWindowRig rig;
    rig.form = std::make_unique<Form1>(rig.ports);
    Form1& f = rig.f();
    QStringList barMenus;
    for (QAction* a : f.menuBar()->actions()) barMenus << a->menu()->objectName();
    EXPECT_EQ(barMenus, (QStringList{u"mnFile"_s, u"mnEdit"_s, u"mnView"_s, u"mnSrchParent"_s, u"mnProj"_s,
                                     u"mnPlayMenu"_s, u"mnTool"_s, u"mnHelp"_s}));
    EXPECT_EQ(MenuTree::popupMenus(), (QList<QString>{u"mnTest"_s, u"mnTest2"_s, u"mnTest3"_s, u"mnTest4"_s, u"mnLabelTempo"_s}));

    for (const MenuEntry& e : MenuTree::entries()) {
        SCOPED_TRACE(e.name.toStdString());
        QObject* o = f.control(e.name, e.arrayElement ? 0 : -1);
        ASSERT_NE(o, nullptr);
        if (e.isTopLevel()) {
            auto* m = qobject_cast<QMenu*>(o);
            ASSERT_NE(m, nullptr);
            EXPECT_EQ(m->title(), e.caption);
            continue;
        }
        // The entry sits in the menu the table names, in table order.
        auto* parent = qobject_cast<QMenu*>(f.control(e.parent));
        ASSERT_NE(parent, nullptr);
        QAction* a = e.submenu ? qobject_cast<QMenu*>(o)->menuAction() : qobject_cast<QAction*>(o);
        ASSERT_NE(a, nullptr);
        EXPECT_TRUE(parent->actions().contains(a));
        if (e.isSeparator()) {
            EXPECT_TRUE(a->isSeparator());
        } else {
            EXPECT_EQ(f.text(e.name, e.arrayElement ? 0 : -1), e.caption);
        }
        EXPECT_EQ(a->shortcut(), QKeySequence(e.shortcut, QKeySequence::PortableText));
        EXPECT_EQ(a->isVisible(), !e.hidden);
        if (!e.hidden) EXPECT_EQ(a->isEnabled(), !e.disabled);  // a hidden action always reads disabled
    }
    // The table's order is the menus' order.
    QStringList fileItems;
    for (QAction* a : qobject_cast<QMenu*>(f.control(u"mnFile"_s))->actions())
        fileItems << (a->menu() ? a->menu()->objectName() : a->objectName());
    EXPECT_EQ(fileItems, (QStringList{u"mnNew"_s, u"mnOpen"_s, u"mnSave"_s, u"mnSaveAt"_s, u"mnSeparator10"_s,
                                      u"mnAppendLoad"_s, u"mnSeparator18"_s, u"mnImport"_s, u"mnSaveExport"_s,
                                      u"mnSepalator28"_s, u"mnRecentFiles"_s, u"mnSeparator17"_s, u"mnQuit"_s}));
}

TEST(MenuTree, ShortcutsAndHiddenEntries) {
    test::MainWindowRig rig;
    ASSERT_TRUE(rig.start());
    Form1& f = rig.f();
    // Delete answers to Shift+Del, not to Del alone.
    auto* del = f.controlAs<QAction>(u"mnDelete"_s);
    EXPECT_EQ(del->shortcut(), QKeySequence(Qt::SHIFT | Qt::Key_Delete));
    EXPECT_NE(del->shortcut(), QKeySequence(Qt::Key_Delete));
    const struct { const char16_t* name; QKeySequence key; } keys[] = {
        {u"mnSave", QKeySequence(Qt::CTRL | Qt::Key_S)},   {u"mnUndo", QKeySequence(Qt::CTRL | Qt::Key_Z)},
        {u"mnSearchRev", QKeySequence(Qt::SHIFT | Qt::Key_F3)}, {u"mnShowCurve", QKeySequence(Qt::Key_F4)},
        {u"mnPlayAgain", QKeySequence(Qt::SHIFT | Qt::Key_F5)}, {u"mnStopTemp", QKeySequence(Qt::Key_F7)},
        {u"mnEditAlias", QKeySequence(Qt::CTRL | Qt::Key_G)},   {u"mnPitchEdit", QKeySequence(Qt::CTRL | Qt::Key_T)},
    };
    for (const auto& k : keys) EXPECT_EQ(f.controlAs<QAction>(QString::fromUtf16(k.name))->shortcut(), k.key);
    // Stretch correction can never be reached from the menu bar.
    EXPECT_FALSE(f.visible(u"mnForStretch"_s));
    // Undo starts disabled; the arrays start with their placeholder element.
    EXPECT_FALSE(f.enabled(u"mnUndo"_s));
    EXPECT_EQ(f.menuArrayUpper(u"mnW0"_s), 0);
    EXPECT_EQ(f.text(u"mnPlugin"_s, 0), u"(なし)"_s);
    EXPECT_FALSE(f.enabled(u"mnPlugin"_s, 0));
    EXPECT_EQ(f.text(u"mnJump"_s, 0), u"（なし）"_s);
    EXPECT_EQ(f.text(u"mnRegion"_s, 0), u"（なし）"_s);
    // No recent files: the separator placeholder is shown in the recent-file submenu.
    EXPECT_TRUE(f.visible(u"mnHistory"_s, 0));
    EXPECT_EQ(f.menuArrayUpper(u"mnHistory"_s), 0);
}

TEST(MenuTree, RecentFilesMenu) {
    test::MainWindowRig rig;
    settings().History = {QString(), u"/songs/a.tvx"_s, u"/songs/b.tvx"_s, u"/songs/c.tvx"_s};
    rig.form = std::make_unique<Form1>(rig.ports);
    // The history is read from the settings file during start-up; the fake keeps these.
    ASSERT_TRUE(rig.form->start(QString()));
    Form1& f = rig.f();
    EXPECT_FALSE(f.visible(u"mnHistory"_s, 0));
    ASSERT_EQ(f.menuArrayUpper(u"mnHistory"_s), 3);
    EXPECT_TRUE(f.controlAs<QAction>(u"mnHistory"_s, 0)->isSeparator());
    for (int i = 1; i <= 3; ++i) {
        EXPECT_EQ(f.text(u"mnHistory"_s, i), settings().History[i]);
        EXPECT_TRUE(f.visible(u"mnHistory"_s, i));
        // Loaded from the "-" element, but a file name makes it an item that shows its text.
        EXPECT_FALSE(f.controlAs<QAction>(u"mnHistory"_s, i)->isSeparator());
    }
    // A "-" caption is a real separator again.
    f.setText(u"mnHistory"_s, u"-"_s, 3);
    EXPECT_TRUE(f.controlAs<QAction>(u"mnHistory"_s, 3)->isSeparator());
    f.setText(u"mnHistory"_s, u"/songs/c.tvx"_s, 3);
    // A shorter list later leaves the longer list's elements as they were.
    settings().History = {QString(), u"/songs/z.tvx"_s};
    rig.w().UpdateRecentFilesMenu();
    EXPECT_EQ(f.text(u"mnHistory"_s, 1), u"/songs/z.tvx"_s);
    EXPECT_EQ(f.text(u"mnHistory"_s, 3), u"/songs/c.tvx"_s);
}

// An entry added while the program runs (after Save As or opening another file) can be clicked at once,
// like the entries of the start.
TEST(MenuTree, RecentFileAddedLaterCanBeClicked) {
    for (const bool startEmpty : {true, false}) {
        SCOPED_TRACE(startEmpty ? "no history at start" : "one entry at start");
        test::MainWindowRig rig;
        settings().History = startEmpty ? QStringList{QString()} : QStringList{QString(), u"/songs/a.tvx"_s};
        rig.form = std::make_unique<Form1>(rig.ports);
        ASSERT_TRUE(rig.form->start(QString()));
        Form1& f = rig.f();
        settings().History = {QString(), u"/songs/new.tvx"_s, u"/songs/a.tvx"_s};
        rig.w().UpdateRecentFilesMenu();
        rig.f().refreshCommandStates();
        for (int i = 1; i <= 2; ++i) {
            SCOPED_TRACE(i);
            auto* a = f.controlAs<QAction>(u"mnHistory"_s, i);
            ASSERT_NE(a, nullptr);
            EXPECT_FALSE(a->isSeparator());
            EXPECT_TRUE(a->isEnabled());
            EXPECT_TRUE(a->isVisible());
        }
        EXPECT_FALSE(f.visible(u"mnHistory"_s, 0));
        f.controlAs<QAction>(u"mnHistory"_s, 1)->trigger();
        EXPECT_TRUE(rig.projectFiles.calls.contains(u"mnHistory_Click 1"_s));
    }
}

TEST(MenuTree, AliasCandidatesPopUp) {
    test::MainWindowRig rig;
    ASSERT_TRUE(rig.start());
    rig.setSong({1920, 1920});
    rig.w().song.Lyrics[1] = u"か"_s;
    Form1& f = rig.f();
    // Three candidates fill three elements, and choosing one goes to the alias command.
    rig.voiceBanks.aliases = {u"か"_s, u"か↑"_s, u"a か"_s};
    rig.modal.popupMenu.answers.enqueue(u"mnW0"_s);
    rig.w().ShowAliasMenu(1);
    EXPECT_EQ(rig.modal.popupMenu.shownAt.size(), 1);
    EXPECT_EQ(f.menuArrayUpper(u"mnW0"_s), 2);
    EXPECT_EQ(f.text(u"mnW0"_s, 2), u"a か"_s);
    EXPECT_EQ(rig.w().CurNote, 1);
    EXPECT_EQ(rig.noteEdit.chosenAliases, QList<int>{0});
    // Fewer candidates leave no stale element.
    rig.voiceBanks.aliases = {u"あ"_s};
    rig.w().ShowAliasMenu(0);
    EXPECT_EQ(f.menuArrayUpper(u"mnW0"_s), 0);
    EXPECT_EQ(f.text(u"mnW0"_s, 0), u"あ"_s);
    EXPECT_EQ(rig.w().CurNote, 0);
    // No candidate: no pop-up at all.
    rig.voiceBanks.aliases.clear();
    rig.w().CurNote = -1;
    rig.w().ShowAliasMenu(1);
    EXPECT_EQ(rig.modal.popupMenu.shownAt.size(), 2);
    EXPECT_EQ(rig.w().CurNote, -1);
}

TEST(MenuTree, LabelAndRegionMenus) {
    test::MainWindowRig rig;
    ASSERT_TRUE(rig.start());
    rig.setSong(QList<qint32>(40, 1920));
    Form1& f = rig.f();
    Song& s = rig.w().song;
    // No label: no menu; the array keeps one disabled "（なし）".
    EXPECT_EQ(rig.w().FillLabelList(), 0);
    rig.w().mnGotoLabel_Click();
    EXPECT_TRUE(rig.modal.popupMenu.shownAt.isEmpty());
    EXPECT_EQ(f.text(u"mnJump"_s, 0), u"（なし）"_s);
    EXPECT_FALSE(f.enabled(u"mnJump"_s, 0));

    // Two equal labels give two items; choosing one scrolls to the later note.
    SetNoteOption(s.NoteExt[2], u"label"_s, u"Aメロ"_s);
    SetNoteOption(s.NoteExt[5], u"label"_s, u"サビ"_s);
    SetNoteOption(s.NoteExt[35], u"label"_s, u"Aメロ"_s);
    rig.modal.popupMenu.answers.enqueue(u"mnJump"_s);
    rig.w().mnGotoLabel_Click();
    ASSERT_EQ(rig.modal.popupMenu.shownAt.size(), 1);
    EXPECT_EQ(f.menuArrayUpper(u"mnJump"_s), 2);
    EXPECT_EQ(f.text(u"mnJump"_s, 0) + f.text(u"mnJump"_s, 1) + f.text(u"mnJump"_s, 2), u"AメロサビAメロ"_s);
    EXPECT_TRUE(f.enabled(u"mnJump"_s, 0));
    EXPECT_FALSE(f.visible(u"mnSeparator35"_s));
    EXPECT_GT(rig.w().HScroll1.Value, 0);  // note 35 is far to the right
    // Fewer labels leave no stale item.
    SetNoteOption(s.NoteExt[35], u"label"_s, QString());
    EXPECT_EQ(rig.w().FillLabelList(), 2);
    EXPECT_EQ(f.menuArrayUpper(u"mnJump"_s), 1);

    // Regions: a message without any; a chosen name selects its region.
    rig.w().mnSelectRegion_Click();
    EXPECT_EQ(rig.modal.messageBox.lastText(), u"記録された選択範囲はありません"_s);
    SetNoteOption(s.NoteExt[3], u"$region"_s, u"間奏"_s);
    SetNoteOption(s.NoteExt[6], u"$region_end"_s, u"間奏"_s);
    s.SelStart = s.SelEnd = 0;
    rig.modal.popupMenu.answers.enqueue(u"mnRegion"_s);
    rig.w().mnSelectRegion_Click();
    EXPECT_EQ(f.text(u"mnRegion"_s, 0), u"間奏"_s);
    EXPECT_EQ(s.SelStart, 3);
    EXPECT_EQ(s.SelEnd, 6);
}

TEST(MenuTree, VoicePictureShowsTheProfile) {
    test::MainWindowRig rig;
    ASSERT_TRUE(rig.start());
    auto* picture = rig.f().controlAs<QWidget>(u"Image1"_s);
    auto click = [&] {
        QTest::mouseClick(picture, Qt::LeftButton);
    };
    rig.w().song.VoiceDir.clear();
    click();  // no voice folder: nothing
    EXPECT_TRUE(rig.voiceTools.shown.isEmpty());
    rig.w().song.VoiceDir = u"/voices/aiueo"_s;
    rig.f().setText(u"lblVoice"_s, u"あいうえお"_s);
    click();
    EXPECT_EQ(rig.voiceTools.shown, QStringList{u"/voices/aiueo|あいうえお|0"_s});
}

TEST(MenuTree, PluginMenu) {
    test::MainWindowRig rig;
    auto describe = [&](const QString& folder, const QByteArray& text) {
        test::writeFile(rig.path(u"plugins/"_s + folder + u"/plugin.txt"_s), text);
    };
    describe(u"a"_s, "name=Tune\r\nexecute=tune\r\n");
    describe(u"b"_s, "name=Tune\r\nexecute=tune2\r\n");
    ASSERT_TRUE(rig.start());
    Form1& f = rig.f();
    ASSERT_EQ(f.menuArrayUpper(u"mnPlugin"_s), 2);
    EXPECT_FALSE(f.visible(u"mnPlugin"_s, 0));
    EXPECT_EQ(f.text(u"mnPlugin"_s, 1), u"Tune"_s);
    EXPECT_EQ(f.text(u"mnPlugin"_s, 2), u"Tune(2)"_s);
    EXPECT_TRUE(f.enabled(u"mnPlugin"_s, 1));
    // The items stay above the reload and folder items.
    auto* parent = f.controlAs<QMenu>(u"mnPluginParent"_s);
    EXPECT_EQ(parent->actions().indexOf(f.controlAs<QAction>(u"mnPlugin"_s, 2)), 2);
    EXPECT_EQ(parent->actions().indexOf(f.controlAs<QAction>(u"mnSepalator33"_s)), 3);

    // Reload after the plug-ins were removed: only "(なし)".
    QDir(rig.path(u"plugins"_s)).removeRecursively();
    f.controlAs<QAction>(u"mnPluginReload"_s)->trigger();
    EXPECT_EQ(f.menuArrayUpper(u"mnPlugin"_s), 0);
    EXPECT_TRUE(f.visible(u"mnPlugin"_s, 0));
    // The folder command opens the plug-in folder.
    f.controlAs<QAction>(u"mnPluginFolder"_s)->trigger();
    EXPECT_EQ(rig.core.calls.last(), u"shellOpen "_s + rig.path(u"plugins"_s));
}

namespace {
// The wait window without a window: notes what it was asked and answers with a prepared reply.
struct ScriptedPluginWait : PluginWaitPort {
    QStringList names;
    QStringList texts;
    QString reply;
    PluginRun go(const QString& name, const QString& text) override {
        names << name;
        texts << text;
        PluginRun r;
        r.outcome = reply.isEmpty() ? PluginRun::Outcome::Unchanged : PluginRun::Outcome::Changed;
        r.text = reply;
        return r;
    }
};
}  // namespace

TEST(MenuTree, PluginItemRunsThePluginOverTheSelection) {
    test::MainWindowRig rig;
    ScriptedPluginWait wait;
    rig.ports.pluginWait = &wait;
    test::writeFile(rig.path(u"plugins/a/plugin.txt"_s), "name=Tune\r\nexecute=tune\r\n");
    test::writeFile(rig.path(u"plugins/b/plugin.txt"_s), "name=Tune\r\nexecute=tune2\r\n");
    ASSERT_TRUE(rig.start());
    rig.setSong({480, 960, 1440});
    Song& song = rig.w().song;
    song.SelStart = 2;
    song.SelEnd = 1;
    wait.reply = u"[#0001]\r\nLyric=ka\r\n[#DELETE]\r\n"_s;
    // The placeholder "(なし)" runs nothing.
    QAction* placeholder = rig.f().controlAs<QAction>(u"mnPlugin"_s, 0);
    placeholder->setVisible(true);
    placeholder->setEnabled(true);
    placeholder->trigger();
    EXPECT_TRUE(wait.names.isEmpty());
    rig.f().controlAs<QAction>(u"mnPlugin"_s, 2)->trigger();
    ASSERT_EQ(wait.names, QStringList{u"Tune(2)"_s});
    EXPECT_TRUE(wait.texts[0].contains(u"[#PREV]"_s) && wait.texts[0].contains(u"[#0002]"_s));
    EXPECT_EQ(song.Lyrics, (QStringList{u"あ"_s, u"ka"_s}));
    EXPECT_EQ(song.SelStart, 1);
    EXPECT_EQ(song.SelEnd, 1);
    EXPECT_EQ(rig.f().text(u"mnUndo"_s), u"プラグインの実行を元に戻す(&U)"_s);
    EXPECT_TRUE(rig.modal.messageBox.shown.isEmpty());
}

TEST(MenuTree, CaptionFilesTranslateTheMenus) {
    test::MainWindowRig rig;
    ASSERT_TRUE(rig.start());
    // The window is registered under its name for the caption export.
    ASSERT_EQ(WindowRegistry::find(u"Form1"_s), &rig.f().localizable());
    ExportMenuStrings(rig.f().localizable());
    const QString file = CaptionFilePath(u"Form1"_s, u"menu"_s);
    QStringList lines = ReadUtf16Lines(test::readFile(file));
    ASSERT_FALSE(lines.isEmpty());
    for (QString& line : lines) line.replace(u"ファイル(&F)"_s, u"File(&F)"_s).replace(u"終了(&Q)"_s, u"Quit(&Q)"_s);
    QByteArray bytes("\xFF\xFE", 2);
    const QString text = lines.join(u"\r\n"_s) + u"\r\n"_s;
    bytes.append(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
    test::writeFile(file, bytes);
    ApplyMenuStrings(rig.f().localizable());
    EXPECT_EQ(rig.f().text(u"mnFile"_s), u"File(&F)"_s);
    EXPECT_EQ(rig.f().text(u"mnQuit"_s), u"Quit(&Q)"_s);
    EXPECT_EQ(rig.f().text(u"mnEdit"_s), u"編集(&E)"_s);
}

}  // namespace
