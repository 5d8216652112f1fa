#include "NoteSnapshot.h"
#include "commands/CommandRegistry.h"
#include "commands/FakeEditContext.h"
#include "core/Processes.h"
#include "core/Settings.h"
#include "exchange/PluginList.h"
#include "exchange/plugins/PluginCommand.h"
#include "exchange/plugins/PluginExchange.h"
#include "exchange/plugins/PluginExecution.h"
#include "exchange/plugins/PluginRun.h"
#include "song/NoteExtension.h"
#include "exchange/ui/frmPluginExecute.h"
#include "platform/FakePorts.h"
#include "platform/FileSystem.h"
#include "platform/SystemPaths.h"
#include "song/NoteExtension.h"
#include "song/ProjectFile.h"
#include "song/Song.h"
#include "support/TestSupport.h"

#include <memory>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

using namespace tova;
using namespace Qt::Literals::StringLiterals;

namespace {

using Notes = test::NoteSnapshot;
using test::snapshotOf;

Notes notesOf(const Song& s) { return snapshotOf(s); }

// The wait without its window: runs the plug-in at once.
class DirectWait : public PluginWaitPort {
public:
    PluginRun go(const QString& name, const QString& text) override { return RunPluginByName(name, text); }
};

// A program folder with fake plug-ins (shell scripts) and a private per-instance folder.
class PluginRunner : public ::testing::Test {
protected:
    QTemporaryDir base;
    ScopedFakePorts ports;
    Song song;
    DirectWait wait;
    Notes original;

    void SetUp() override {
        ASSERT_TRUE(base.isValid());
        settings() = Settings{};
        SystemPaths::setProgramFolder(base.path() + u"/prog"_s);
        ASSERT_TRUE(FileSystem::makePrivateFolder(base.path() + u"/tova1"_s));
        TempFolder = base.path() + u"/tova1"_s;
        // The fake: notes what it was given, then writes "reply.txt" of its folder over the file (when
        // there is one), after "delay" seconds (when given).
        addPlugin(u"fake"_s, "name=Fake\r\nexecute=fake.sh\r\n",
                  "#!/bin/sh\n"
                  "here=$(dirname \"$0\")\n"
                  "{ stat -c %a \"$1\"; stat -c %a \"$(dirname \"$1\")\"; echo $#; } > \"$here/seen.txt\"\n"
                  "cp \"$1\" \"$here/sent.txt\"\n"
                  "[ -f \"$here/delay\" ] && sleep $(cat \"$here/delay\")\n"
                  "[ -f \"$here/reply.txt\" ] && cp \"$here/reply.txt\" \"$1\"\n"
                  "exit 0\n");
        addPlugin(u"broken"_s, "name=Broken\r\nexecute=missing.sh\r\n", QByteArray());
        ASSERT_EQ(LoadPluginList(), 2);

        song.resizeNotes(5);
        const char* lyrics[] = {"a", "i", "u", "e", "o"};
        for (int i = 0; i < 5; ++i) {
            song.Lengths[i] = 480 * (i + 1);
            song.Lyrics[i] = QString::fromLatin1(lyrics[i]);
            song.NoteNums[i] = 48 + i;
            song.NoteExt[i] = u"%1:5:100\t100\t0\t\tg-3\tlabel=L%2"_s.arg(10 + i).arg(i);
        }
        song.VoiceDir = u"/voice/aoi"_s;
        song.CacheDir = u"/cache"_s;
        original = notesOf(song);
    }
    void TearDown() override {
        TempFolder.clear();
        PluginList.clear();
        SystemPaths::setProgramFolder(QString());
        settings() = Settings{};
    }
    QString pluginDir(const QString& name) const { return base.path() + u"/prog/plugins/"_s + name; }
    void addPlugin(const QString& name, const QByteArray& description, const QByteArray& script) {
        test::writeFile(pluginDir(name) + u"/plugin.txt"_s, description);
        if (script.isNull()) return;
        const QString path = pluginDir(name) + u"/fake.sh"_s;
        test::writeFile(path, script);
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    void reply(const QByteArray& bytes) { test::writeFile(pluginDir(u"fake"_s) + u"/reply.txt"_s, bytes); }
    bool run(qint32 first, qint32 last, const QString& name = u"Fake"_s) {
        song.SelStart = last;  // either order
        song.SelEnd = first;
        return PluginCommand(song, wait).Run(name, 120.0f);
    }
    // Undo gives back the notes as they were, redo the notes the plug-in made, exactly.
    void expectExactUndoRedo(const Notes& after) {
        ASSERT_EQ(song.UndoTexts.size(), 1);
        EXPECT_EQ(song.UndoCaptions.value(0), u"プラグインの実行"_s);
        EXPECT_TRUE(song.IsModified);
        ASSERT_TRUE(song.Undo());
        EXPECT_EQ(notesOf(song), original);
        ASSERT_TRUE(song.Redo());
        EXPECT_EQ(notesOf(song), after);
    }
};

TEST_F(PluginRunner, ExchangeFileAsSentAndHowThePluginIsStarted) {
    EXPECT_FALSE(run(2, 2));  // no reply: the file comes back unchanged
    const QString sent = QString::fromLatin1(test::readFile(pluginDir(u"fake"_s) + u"/sent.txt"_s));
    QString expected = u"[#SETTING]\r\nTempo=120.00\r\nVoiceDir=/voice/aoi\r\nCacheDir=/cache\r\n"_s;
    expected += FormatNoteSection(u"PREV"_s, song.Lengths[1], song.Lyrics[1], song.NoteNums[1], song.NoteExt[1]);
    expected += FormatNoteSection(u"0002"_s, song.Lengths[2], song.Lyrics[2], song.NoteNums[2], song.NoteExt[2]);
    expected += FormatNoteSection(u"NEXT"_s, song.Lengths[3], song.Lyrics[3], song.NoteNums[3], song.NoteExt[3]);
    EXPECT_EQ(sent, expected);
    // One argument; the file private to the user, in the private per-instance folder; deleted afterwards.
    EXPECT_EQ(test::readFile(pluginDir(u"fake"_s) + u"/seen.txt"_s), "600\n700\n1\n");
    EXPECT_TRUE(QDir(TempFolder).isEmpty());
    EXPECT_EQ(notesOf(song), original);
    EXPECT_TRUE(song.UndoTexts.isEmpty());
    EXPECT_FALSE(song.IsModified);
    EXPECT_TRUE(ports.messageBox.shown.isEmpty());

    // A selection from the first to the last note has neither neighbour.
    EXPECT_FALSE(run(0, 4));
    const QString all = QString::fromLatin1(test::readFile(pluginDir(u"fake"_s) + u"/sent.txt"_s));
    EXPECT_FALSE(all.contains(u"[#PREV]"_s));
    EXPECT_FALSE(all.contains(u"[#NEXT]"_s));
    EXPECT_TRUE(all.contains(u"[#0000]"_s) && all.contains(u"[#0004]"_s));
}

TEST_F(PluginRunner, ScenariosGiveExactNotesAndExactUndoRedo) {
    struct Case {
        const char* what;
        qint32 first, last;
        QByteArray reply;
        std::function<void(Notes&)> expect;
        qint32 selStart, selEnd;
    };
    auto remove = [](Notes& n, int i) {
        n.lengths.removeAt(i);
        n.lyrics.removeAt(i);
        n.noteNums.removeAt(i);
        n.ext.removeAt(i);
    };
    const QList<Case> cases = {
        {"DELETE twice deletes the first two selected notes", 1, 3, "[#DELETE]\r\n[#DELETE]\r\n",
         [&](Notes& n) {
             remove(n, 1);
             remove(n, 1);
         },
         1, 1},
        {"every selected note deleted leaves the selection at the note count", 1, 2, "[#DELETE]\r\n[#DELETE]\r\n[#DELETE]\r\n",
         [&](Notes& n) {
             remove(n, 1);
             remove(n, 1);
         },
         3, 3},
        {"INSERT after the last note appends; a numbered section there is dropped", 4, 4,
         "[#SETTING]\r\nTempo=90\r\n[#0004]\r\n[#INSERT]\r\nLength=240\r\nLyric=ka\r\nNoteNum=62\r\n[#0005]\r\nLyric=zz\r\n",
         [](Notes& n) {
             n.lengths << 960;
             n.lyrics << u"ka"_s;
             n.noteNums << 38;
             n.ext << u"\t\t\t\t\t"_s;
         },
         4, 5},
        {"a numbered section past the selection inserts a copy of the next note", 1, 2,
         "[#0001]\r\n[#0002]\r\n[#0003]\r\nLyric=new\r\n",
         [](Notes& n) {
             n.lengths.insert(3, n.lengths[3]);
             n.lyrics.insert(3, u"new"_s);
             n.noteNums.insert(3, n.noteNums[3]);
             n.ext.insert(3, n.ext[3]);
         },
         1, 3},
        {"PREV and NEXT set the neighbours", 2, 2,
         "[#PREV]\r\nLyric=P\r\nNoteNum=70\r\n[#0002]\r\nLength=100\r\n[#NEXT]\r\nLyric=N\r\n",
         [](Notes& n) {
             n.lyrics[1] = u"P"_s;
             n.noteNums[1] = 46;
             n.lengths[2] = 400;
             n.lyrics[3] = u"N"_s;
         },
         2, 2},
        {"INSERT at the cursor before the selection's notes", 0, 0, "[#INSERT]\r\nLyric=pre\r\n[#0000]\r\nLyric=A\r\n",
         [](Notes& n) {
             n.lengths.insert(0, n.lengths[0]);
             n.lyrics.insert(0, u"pre"_s);
             n.noteNums.insert(0, n.noteNums[0]);
             n.ext.insert(0, u"\t\t\t\t\t"_s);
             n.lyrics[1] = u"A"_s;
         },
         0, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetUp();
        reply(c.reply);
        ASSERT_TRUE(run(c.first, c.last));
        Notes expected = original;
        c.expect(expected);
        EXPECT_EQ(notesOf(song), expected);
        EXPECT_EQ(song.SelStart, c.selStart);
        EXPECT_EQ(song.SelEnd, c.selEnd);
        expectExactUndoRedo(expected);
        song.ResetUndoHistory();
        song.IsModified = false;
    }
}

TEST_F(PluginRunner, MalformedRepliesAreAppliedSafelyOrRefused) {
    QByteArray binary(4096, '\0');
    QRandomGenerator gen(29);
    for (char& b : binary) b = char(gen.bounded(256));
    binary.insert(100, "\r\n[#0001]\r\nLyric=");
    binary.insert(900, "\n[#INSERT]\r\nLength=");
    struct Case {
        const char* what;
        QByteArray reply;
        bool applied;
    };
    const QList<Case> cases = {
        {"binary", binary, true},
        {"TAB and other control characters in a lyric", "[#0001]\r\nLyric=a\tb\x01\x7F" "c\r\nFlags=B\tg\r\n", true},
        {"negative length", "[#0001]\r\nLength=-5\r\nNoteNum=-40\r\nIntensity=99999\r\n", true},
        {"10 MB", QByteArray(10 << 20, 'x').prepend("[#INSERT]\r\n"), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetUp();
        ports.messageBox.shown.clear();
        reply(c.reply);
        EXPECT_EQ(run(1, 2), c.applied);
        if (!c.applied) {
            EXPECT_EQ(notesOf(song), original);
            EXPECT_TRUE(song.UndoTexts.isEmpty());
            EXPECT_TRUE(ports.messageBox.lastText().contains(u"ファイルが大きすぎます"_s));
            continue;
        }
        const Notes after = notesOf(song);
        for (qsizetype i = 0; i < after.lyrics.size(); ++i) {
            for (QChar ch : after.lyrics[i] + after.ext[i].section(u'\t', 4, 4))
                EXPECT_FALSE(ch.unicode() < 0x20 || ch.unicode() == 0x7F);
            EXPECT_EQ(after.ext[i].count(u'\t'), 5);
            EXPECT_GE(after.lengths[i], 1);
        }
        expectExactUndoRedo(after);
        song.ResetUndoHistory();
    }
    // The specific values: the TAB case keeps the lyric's other characters; a negative length and a
    // note number out of range leave the note's own values; the intensity is held at its maximum.
    SetUp();
    reply("[#0001]\r\nLyric=a\tb\r\nLength=-5\r\nNoteNum=-40\r\nIntensity=99999\r\n");
    ASSERT_TRUE(run(1, 1));
    EXPECT_EQ(song.Lyrics[1], u"ab"_s);
    EXPECT_EQ(song.Lengths[1], original.lengths[1]);
    EXPECT_EQ(song.NoteNums[1], original.noteNums[1]);
    EXPECT_EQ(song.NoteExt[1].section(u'\t', 1, 1), u"200"_s);
}

// A reply that gives the notes back as they were, in another form (LF line ends, only the settings
// section, settings changed), changes nothing: no undo step, and the song stays unmodified.
TEST_F(PluginRunner, AReplyThatChangesNoNoteAddsNoStep) {
    const QString sent = BuildPluginExchangeText(song, 1, 2, 120.0f, song.VoiceDir, song.CacheDir);
    const struct {
        const char* what;
        QString reply;
    } cases[] = {
        {"LF line ends", QString(sent).replace(u"\r\n"_s, u"\n"_s)},
        {"settings only", u"[#SETTING]\r\nTempo=90\r\n"_s},
        {"an empty file", QString()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        SetUp();
        reply(c.reply.toUtf8());
        EXPECT_FALSE(run(1, 2));
        EXPECT_EQ(notesOf(song), original);
        EXPECT_TRUE(song.UndoTexts.isEmpty());
        EXPECT_FALSE(song.IsModified);
    }
}

// A plug-in that leaves a pipe (or a folder) where its exchange file was is refused with a message at
// once: nothing waits for a writer, the song stays as it was, and the thing it left is removed.
TEST_F(PluginRunner, AnExchangeFileSwappedForAPipeIsRefusedWithoutWaiting) {
    addPlugin(u"pipe"_s, "name=Pipe\r\nexecute=fake.sh\r\n", "#!/bin/sh\nrm -f \"$1\"; mkfifo \"$1\"\n");
    addPlugin(u"folder"_s, "name=Folder\r\nexecute=fake.sh\r\n", "#!/bin/sh\nrm -f \"$1\"; mkdir \"$1\"\n");
    ASSERT_EQ(LoadPluginList(), 4);
    for (const QString& name : {u"Pipe"_s, u"Folder"_s}) {
        SCOPED_TRACE(name.toStdString());
        ports.messageBox.shown.clear();
        QElapsedTimer timer;
        timer.start();
        EXPECT_FALSE(run(1, 2, name));
        EXPECT_LT(timer.elapsed(), 20000);
        EXPECT_EQ(notesOf(song), original);
        EXPECT_TRUE(song.UndoTexts.isEmpty());
        EXPECT_TRUE(ports.messageBox.lastText().contains(u"通常のファイルではない"_s))
            << ports.messageBox.lastText().toStdString();
        QDir temp(TempFolder);
        EXPECT_TRUE(temp.entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System).isEmpty());
    }
}

// A reply that would give a note the render's programs or paths, or a variable without a plain name, is
// applied without those options, and the user is told which the plug-in returned, by reason.
TEST_F(PluginRunner, OptionsNamingTheRendersProgramsAreRefusedAndSaid) {
    // Marked UTF-8: the dotless "ı" is not in the code page.
    reply("\xEF\xBB\xBF[#0001]\r\nLyric=z\r\n@tool=/bin/rm\r\n@cachedır=/tmp/x\r\n@output=/etc/x\r\n@mine=1\r\n@own\r\n");
    ASSERT_TRUE(run(1, 1));
    EXPECT_EQ(song.Lyrics[1], u"z"_s);
    EXPECT_EQ(GetNoteAtEntries(song.NoteExt[1]), u"@mine=1\r\n"_s);
    ASSERT_EQ(ports.messageBox.shown.size(), 1);
    const QString said = ports.messageBox.lastText();
    EXPECT_TRUE(said.contains(u"@tool @output"_s)) << said.toStdString();
    EXPECT_TRUE(said.contains(u"@cachedır @own"_s)) << said.toStdString();
}

TEST_F(PluginRunner, APluginThatCannotStartIsReported) {
    EXPECT_FALSE(run(1, 2, u"Broken"_s));
    ASSERT_EQ(ports.messageBox.shown.size(), 1);
    EXPECT_TRUE(ports.messageBox.lastText().startsWith(u"プラグイン'Broken'を実行できませんでした。\r\n"_s));
    EXPECT_EQ(ports.messageBox.shown[0].icon, MsgIcon::Exclamation);
    EXPECT_EQ(notesOf(song), original);
    EXPECT_TRUE(song.UndoTexts.isEmpty());
    EXPECT_TRUE(QDir(TempFolder).isEmpty());

    ports.messageBox.shown.clear();
    EXPECT_FALSE(run(1, 2, u"Gone"_s));
    EXPECT_EQ(ports.messageBox.lastText(), u"プラグイン'Gone'が見つかりません。"_s);
}

// The wait window: closing it while the plug-in runs asks; "No" stops waiting and applies nothing,
// "Yes" keeps waiting for the plug-in's result.
TEST_F(PluginRunner, WaitWindowQuestion) {
    test::writeFile(pluginDir(u"fake"_s) + u"/delay"_s, "2");
    reply("[#DELETE]\r\n");
    QtPluginWait windowWait;
    // Closes the wait window while the plug-in runs, however long a loaded machine takes to show it
    // and start the plug-in (a fixed delay closed nothing when the window came late, and the plug-in
    // ended unasked): it tries again until the question has been asked once. Each run has its own.
    auto closeWhileRunning = [this] {
        const qsizetype asked = ports.messageBox.shown.size();
        auto poll = std::make_unique<QTimer>();
        poll->setInterval(50);
        QTimer* p = poll.get();
        QObject::connect(p, &QTimer::timeout, p, [this, p, asked] {
            if (ports.messageBox.shown.size() > asked) {
                p->stop();
            } else if (QWidget* w = QApplication::activeModalWidget()) {
                w->close();
            }
        });
        p->start();
        return poll;
    };

    ports.messageBox.answers.enqueue(MsgResult::No);
    auto closing = closeWhileRunning();
    song.SelStart = song.SelEnd = 1;
    EXPECT_FALSE(PluginCommand(song, windowWait).Run(u"Fake"_s, 120.0f));
    ASSERT_EQ(ports.messageBox.shown.size(), 1);
    EXPECT_EQ(ports.messageBox.shown[0].text, u"作業を再開するには実行中のプラグインを終了してください。\n"
                                              "「いいえ」をクリックするとプラグインを無視して再開します。"_s);
    EXPECT_EQ(ports.messageBox.shown[0].buttons, MsgButtons::YesNoCancel);
    EXPECT_EQ(notesOf(song), original);
    EXPECT_TRUE(song.UndoTexts.isEmpty());

    ports.messageBox.shown.clear();
    ports.messageBox.answers.enqueue(MsgResult::Yes);
    closing = closeWhileRunning();
    EXPECT_TRUE(PluginCommand(song, windowWait).Run(u"Fake"_s, 120.0f));
    EXPECT_EQ(ports.messageBox.shown.size(), 1);
    EXPECT_EQ(song.noteCount(), 4);
    EXPECT_EQ(song.UndoTexts.size(), 1);
}

// The plug-in menu's items as a command of the main window: item k runs the k-th listed plug-in over
// the selection, then the changed range and its neighbours lose their renderings and the roll redraws.
TEST_F(PluginRunner, MenuItemCommandOverTheEditContext) {
    CommandRegistry registry;
    registerPluginCommands(registry, [this](EditContext&) { return &wait; });
    FakeEditContext context;
    Song& s = context.editedSong();
    s.resizeNotes(5);
    for (int i = 0; i < 5; ++i) {
        s.Lengths[i] = 480;
        s.Lyrics[i] = QString::number(i);
        s.NoteNums[i] = 40;
    }
    s.CacheDir = u"/cache"_s;
    context.setSelection(2, 1);
    reply("[#DELETE]\r\n");
    ASSERT_TRUE(registry.contains(u"mnPlugin"_s));
    registry.run(u"mnPlugin"_s, context, 0);  // the placeholder
    EXPECT_EQ(s.noteCount(), 5);
    registry.run(u"mnPlugin"_s, context, int(PluginMenuNames().indexOf(u"Fake"_s)) + 1);
    EXPECT_EQ(s.Lyrics, (QStringList{u"0"_s, u"2"_s, u"3"_s, u"4"_s}));
    QList<QPair<QString, qint32>> deleted;
    for (qint32 i = 0; i <= 2; ++i) deleted << qMakePair(u"/cache"_s, i);
    EXPECT_EQ(context.cache.deleted, deleted);
    EXPECT_EQ(context.backgrounds, 1);
    EXPECT_EQ(context.notesDrawn, 1);
    EXPECT_EQ(s.UndoCaptions, QStringList{u"プラグインの実行"_s});
}

// Closing the wait window before the plug-in started or after it ended asks nothing.
TEST(PluginExecution, CloseAsksOnlyWhileThePluginRuns) {
    ScopedFakePorts ports;
    PluginExecution e;
    e.Begin(u"Fake"_s, u"text"_s);
    e.cancelRequested();
    EXPECT_TRUE(ports.messageBox.shown.isEmpty());
    EXPECT_FALSE(e.hidden);
    e.running = true;
    ports.messageBox.answers.enqueue(MsgResult::Cancel);
    e.cancelRequested();
    EXPECT_FALSE(e.abandoned);
    EXPECT_EQ(StopRequested, 0);
    ports.messageBox.answers.enqueue(MsgResult::No);
    e.cancelRequested();
    EXPECT_TRUE(e.abandoned);
    EXPECT_EQ(StopRequested, -1);
    EXPECT_EQ(ports.messageBox.shown.size(), 2);
    StopRequested = 0;
}

TEST(PluginExchange, ManySectionsApplyInOnePass) {
    Song song;
    song.resizeNotes(3);
    for (int i = 0; i < 3; ++i) song.Lyrics[i] = QString::number(i);
    QString reply;
    for (int i = 0; i < 200000; ++i) reply += u"[#INSERT]\r\nLyric=x\r\n"_s;
    qint32 last = 1;
    ApplyPluginReply(reply, 1, last, song);
    EXPECT_EQ(song.noteCount(), 200003);
    EXPECT_EQ(last, 200001);
    EXPECT_EQ(song.Lyrics[200001], u"1"_s);
    EXPECT_EQ(song.Lyrics[200002], u"2"_s);
    EXPECT_EQ(song.Lengths[1], 60);  // a copy of note 1's length 0: the least length
}

// A reply with tens of thousands of option lines on one note keeps every entry, in order, the first
// entry of a repeated key set by the last line that names it.
TEST(PluginExchange, ManyOptionLinesOnANoteAreAllKept) {
    Song song;
    song.resizeNotes(2);
    QString reply = u"[#0000]\r\n"_s;
    for (int i = 0; i < 20000; ++i) reply += u"@k%1=v%2\r\n"_s.arg(i % 15000).arg(i);
    qint32 last = 0;
    ApplyPluginReply(reply, 0, last, song);
    ASSERT_EQ(song.noteCount(), 2);
    const QStringList entries = NoteExtField(song.NoteExt[0], ExtOptions).split(u"\\n"_s);
    ASSERT_EQ(entries.size(), 15000);
    EXPECT_EQ(entries.first(), u"@k0=v15000"_s);
    EXPECT_EQ(entries.at(4999), u"@k4999=v19999"_s);
    EXPECT_EQ(entries.last(), u"@k14999=v14999"_s);
}

// A plug-in's reply cannot give a note the render's programs or paths, nor a variable whose name is not
// made of ASCII letters, digits and "_" (a dotless "ı" included), is empty or has no "=": such options are
// not taken and their keys are handed back; the note's other options are.
TEST(PluginExchange, RepliesCannotSetTheRendersProgramsOrPaths) {
    Song song;
    song.resizeNotes(2);
    song.Lyrics = QStringList{u"a"_s, u"b"_s};
    QStringList refused;
    qint32 last = 1;
    ApplyPluginReply(u"[#0000]\r\nLyric=x\r\n@tool=/bin/rm\r\n@mine=1\r\n@cachedır=/tmp/x\r\n@=x\r\n[#0001]\r\n"
                     u"@Output=/etc/x\r\n@LD_PRELOAD=/tmp/e.so\r\n@TMPDıR=/tmp/x\r\n@own\r\n@TZDıR=/tmp/x\r\n@Own_2=2\r\n"
                     u"[#INSERT]\r\nLyric=y\r\n@vorsa=/bin/sh\r\n"_s,
                     0, last, song, &refused);
    EXPECT_EQ(refused, (QStringList{u"@tool"_s, u"@cachedır"_s, u"@"_s, u"@Output"_s, u"@LD_PRELOAD"_s, u"@TMPDıR"_s,
                                    u"@own"_s, u"@TZDıR"_s, u"@vorsa"_s}));
    ASSERT_EQ(song.noteCount(), 3);
    EXPECT_EQ(GetNoteAtEntries(song.NoteExt[0]), u"@mine=1\r\n"_s);
    EXPECT_EQ(GetNoteAtEntries(song.NoteExt[1]), u"@Own_2=2\r\n"_s);
    EXPECT_EQ(GetNoteAtEntries(song.NoteExt[2]), QString());
}

// Only a "[#" that begins a line heads a section: a lyric, a label or an option holding "[#0001]",
// "[#DELETE]" or "[#INSERT]" goes to the plug-in and comes back as it was, and a reply that changes one
// value changes that value alone.
TEST(PluginExchange, SectionHeadersInsideValuesSplitNothing) {
    Song song;
    song.resizeNotes(4);
    song.Lyrics = QStringList{u"[#DELETE]"_s, u"a[#0001]b"_s, u"か"_s, u"さ"_s};
    for (int i = 0; i < 4; ++i) {
        song.Lengths[i] = 480;
        song.NoteNums[i] = 48 + i;
        song.NoteExt[i] = u"10:5:100\t100\t0\t\tg-3\tlabel=L[#INSERT]%1\\n@x=[#NEXT]"_s.arg(i);
    }
    const Notes before = snapshotOf(song);
    for (const auto& [first, last] : {std::pair{0, 1}, std::pair{1, 2}}) {
        SCOPED_TRACE(first);
        Song s = song;
        QString reply = BuildPluginExchangeText(s, first, last, 120.0f, QString(), QString());
        // The plug-in changes the modulation of the first selected note.
        const QString header = u"[#%1]"_s.arg(first, 4, 10, QChar(u'0'));
        const qsizetype at = reply.indexOf(u"Moduration=0"_s, reply.indexOf(u"\r\n"_s + header));
        ASSERT_GE(at, 0);
        reply.replace(at, 12, u"Moduration=7"_s);
        qint32 newLast = last;
        ApplyPluginReply(reply, first, newLast, s);
        EXPECT_EQ(newLast, last);
        Notes expected = before;
        expected.ext[first] = u"10:5:100\t100\t7\t\tg-3\tlabel=L[#INSERT]%1\\n@x=[#NEXT]"_s.arg(first);
        EXPECT_EQ(snapshotOf(s), expected);
    }
}

}  // namespace
