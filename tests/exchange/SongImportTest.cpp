// The import command and append-load over a fake window: names, tempo, the track chooser, the one
// format message for every unreadable file, and append-load's undo step (notes and tempo together).
#include "core/Settings.h"
#include "exchange/SongImport.h"
#include "exchange/TrackChooserPort.h"
#include "exchange/vsq/VsqWriter.h"
#include "platform/FakePorts.h"
#include "song/NoteExtension.h"
#include "song/ProjectFile.h"
#include "ExchangeFakes.h"
#include "SmfFixtures.h"
#include "VsqFixtures.h"
#include "VsqHostileFiles.h"
#include "SmfHostileFiles.h"
#include "support/TestSupport.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace tova;
using namespace tova::test;
using namespace tova::test::smf;

namespace {

const QString FormatMessage = QStringLiteral("ファイル形式が正しくありません");
const QString NothingMessage = QStringLiteral("読み込める音符がありませんでした");

class FakeChooser : public TrackChooserPort {
public:
    QList<QStringList> shown;
    QList<qint32> chosenFirst;  // the row the chooser opened on, -1 for none
    qint32 answer = 2;
    qint32 SelectTrack(const QStringList& entries, qint32 preselected) override {
        shown << entries;
        chosenFirst << preselected;
        return answer;
    }
};

struct Rig {
    Settings saved = settings();
    ScopedFakePorts ports;
    QTemporaryDir dir;
    FakeProjectWindow window;
    FakeVoiceBank voices;
    FakeChooser chooser;
    SongImport import{window, voices, chooser};

    Rig() {
        settings() = Settings{};
        window.NewProject();
        window.newProjects = 0;
    }
    ~Rig() { settings() = saved; }

    QString file(const QString& name, const QByteArray& bytes) {
        const QString path = dir.filePath(name);
        test::writeFile(path, bytes);
        return path;
    }
    Song& song() { return window.theSong; }
    void setNotes(const QStringList& lyrics) {
        song().resizeNotes(qint32(lyrics.size()));
        for (qsizetype i = 0; i < lyrics.size(); ++i) {
            song().Lyrics[i] = lyrics[i];
            song().Lengths[i] = 480;
            song().NoteNums[i] = 36;
        }
    }
};

// A two-track MIDI file: a conductor at the given tempo (none for 0) and a voice of the lyrics.
QByteArray midi(quint32 microseconds, const QList<QByteArray>& lyrics) {
    Track conductor;
    conductor.name("Control");
    if (microseconds) conductor.tempo(microseconds);
    conductor.end();
    Track voice;
    voice.name("Voice A");
    for (const QByteArray& l : lyrics) voice.lyric(l).on(0, 60).off(480, 60);
    return file(1, 480, {conductor, voice.end()});
}

}  // namespace

TEST(SongImport, ImportNamesTheProjectAfterTheFile) {
    Rig r;
    r.song().VoiceDir = QStringLiteral("/banks/v");
    r.song().UndoTexts << "x";
    r.import.ImportMidiOrVsq(r.file("Demo.MID", midi(600000, {Sa, Ku})));
    EXPECT_EQ(r.window.newProjects, 1);
    EXPECT_EQ(r.voices.otoLoads, QStringList({"/banks/v"}));
    EXPECT_EQ(r.voices.prefixLoads, QStringList({"/banks/v"}));
    ASSERT_EQ(r.chooser.shown.size(), 1);
    EXPECT_EQ(r.chooser.shown[0], QStringList({"1: Control", "2: Voice A"}));
    EXPECT_EQ(r.song().Lyrics, QStringList({"さ", "く"}));
    EXPECT_EQ(r.window.tempoText, "100.00");
    EXPECT_FLOAT_EQ(r.song().Tempo, 100.0f);
    EXPECT_EQ(r.song().ProjectName, "Demo");
    EXPECT_EQ(r.song().OutFile, "Demo");
    EXPECT_TRUE(r.song().IsModified);
    EXPECT_GE(r.window.noteDraws, 1);
    EXPECT_TRUE(r.ports.messageBox.shown.isEmpty());
}

// A file given to the import or to append-load, the track chosen and the message it should give.
struct FileCase {
    const char* what;
    const char* name;
    QByteArray data;
    qint32 choice;
    const QString& message;  // empty: none
};

TEST(SongImport, ImportsThatBringNoNotes) {
    using Case = FileCase;
    QByteArray noTempo = midi(0, {Sa});
    const QString none;
    const Case cases[] = {
        {"a text file", "song.txt", midi(500000, {Sa}), 2, FormatMessage},
        {"no extension", "song", midi(500000, {Sa}), 2, FormatMessage},
        {"cancelled choice", "a.mid", midi(500000, {Sa}), -1, none},
        {"OK without a choice", "a.smf", midi(500000, {Sa}), 0, none},
        {"not a MIDI file", "a.mid", QByteArray("hello"), 2, FormatMessage},
        {"damaged MIDI file", "a.mid", hostileFiles().at(7).data, 2, FormatMessage},
        {"VSQ file without elements", "a.vsq", vsqFile({"[Common]\n"}), 2, FormatMessage},
        {"damaged VSQ file", "a.vsq", hostileVsqFiles().at(5).data, 2, FormatMessage},
        {"conductor chosen", "a.mid", midi(500000, {Sa}), 1, NothingMessage},
        {"a voice track without notes", "a.mid", midi(500000, {}), 2, NothingMessage},
        {"rests only", "a.mid", midi(500000, {"R", "R"}), 2, NothingMessage},
    };
    // The open song stays as it was: no new project, its notes, names, tempo and history kept.
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Rig r;
        r.setNotes({"ら", "R", "り"});
        r.song().ProjectName = QStringLiteral("open song");
        r.song().OutFile = QStringLiteral("open.wav");
        r.song().Tempo = 90.0f;
        r.song().UndoTexts << "x";
        r.window.tempoText = QStringLiteral("90.00");
        r.chooser.answer = c.choice;
        r.import.ImportMidiOrVsq(r.file(QString::fromLatin1(c.name), c.data));
        EXPECT_EQ(r.window.newProjects, 0);
        EXPECT_EQ(r.song().Lyrics, QStringList({"ら", "R", "り"}));
        EXPECT_EQ(r.song().ProjectName, "open song");
        EXPECT_EQ(r.song().OutFile, "open.wav");
        EXPECT_FALSE(r.song().IsModified);
        EXPECT_EQ(r.song().UndoTexts, QStringList({"x"}));
        EXPECT_FLOAT_EQ(r.song().Tempo, 90.0f);
        EXPECT_EQ(r.window.tempoText, "90.00");
        EXPECT_EQ(r.ports.messageBox.shown.size(), c.message.isEmpty() ? 0 : 1);
        if (!c.message.isEmpty()) EXPECT_EQ(r.ports.messageBox.lastText(), c.message);
    }
    // ".midi" and ".kar" are MIDI files too, in any letter case, for the import and for append-load.
    for (const char* name : {"b.midi", "b.KAR", "b.Midi"}) {
        SCOPED_TRACE(name);
        Rig r;
        r.import.ImportMidiOrVsq(r.file(QString::fromLatin1(name), midi(500000, {Sa, Ku})));
        EXPECT_EQ(r.song().Lyrics, QStringList({"さ", "く"}));
        EXPECT_TRUE(r.ports.messageBox.shown.isEmpty());
        Rig append;
        append.import.AppendLoadFile(append.file(QString::fromLatin1(name), midi(500000, {Sa})));
        EXPECT_EQ(append.song().Lyrics, QStringList({"さ"}));
    }
    // A MIDI file without any tempo keeps 120.
    Rig r;
    r.import.ImportMidiOrVsq(r.file("t.mid", noTempo));
    EXPECT_EQ(r.song().Lyrics, QStringList({"さ"}));
    EXPECT_EQ(r.window.tempoText, "120.00");
}

// An append-load that reads its file but adds no note to sing says so, as the import does; a file that
// cannot be read, or a choice cancelled, says only what it says.
TEST(SongImport, AppendsThatBringNoSungNote) {
    const QString none;
    const FileCase cases[] = {
        {"conductor chosen", "a.mid", midi(500000, {Sa}), 1, NothingMessage},
        {"a voice track without notes", "a.mid", midi(500000, {}), 2, NothingMessage},
        {"rests only", "a.mid", midi(500000, {"R", "R"}), 2, NothingMessage},
        {"a project without notes", "a.tvx", "[#SETTING]\r\nTempo=120.00\r\n[#TRACKEND]\r\n", 2, NothingMessage},
        {"a render batch without notes", "a.bat", "@set tempo=120\r\n", 2, NothingMessage},
        {"cancelled choice", "a.mid", midi(500000, {Sa}), -1, none},
        {"not a MIDI file", "a.mid", QByteArray("hello"), 2, FormatMessage},
        {"a song", "a.mid", midi(500000, {Sa}), 2, none},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Rig r;
        r.setNotes({"あ"});
        r.chooser.answer = c.choice;
        r.import.AppendLoadFile(r.file(QString::fromLatin1(c.name), c.data));
        EXPECT_EQ(r.song().Lyrics.first(), "あ");
        EXPECT_EQ(r.ports.messageBox.shown.size(), c.message.isEmpty() ? 0 : 1) << r.ports.messageBox.lastText().toStdString();
        if (!c.message.isEmpty()) EXPECT_EQ(r.ports.messageBox.lastText(), c.message);
    }
}

// The chooser opens with the first entry that holds notes chosen, so that OK imports it; when no entry
// holds a note, with none. A VSQ file's notes are in its voice tracks, from the second on.
TEST(SongImport, ChooserOpensOnTheFirstTrackWithNotes) {
    Track empty;
    empty.name("Empty").end();
    Track voice;
    voice.name("Voice B").lyric(Sa).on(0, 60).off(480, 60).end();
    Track channel3;
    channel3.lyric(Sa).on(0, 60, 100, 2).off(480, 60, 2).end();
    const struct {
        const char* what;
        const char* name;
        QByteArray data;
        qint32 first;
    } cases[] = {
        {"format 1, notes on the third track", "a.mid", file(1, 480, {conductor(500000), empty, voice}), 2},
        {"format 0, notes on channel 3", "a.mid", file(0, 480, {channel3}), 2},
        {"no notes anywhere", "a.mid", file(1, 480, {conductor(500000), empty}), -1},
        {"VSQ with two voice tracks", "a.vsq", vsqFile({vsqText({{0, 480, 72, Sa}}), vsqText({{0, 480, 72, Ku}})}), 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Rig r;
        r.chooser.answer = -1;
        r.import.ImportMidiOrVsq(r.file(QString::fromLatin1(c.name), c.data));
        EXPECT_EQ(r.chooser.chosenFirst, QList<qint32>{c.first});
        Rig append;
        append.chooser.answer = -1;
        append.import.AppendLoadFile(append.file(QString::fromLatin1(c.name), c.data));
        EXPECT_EQ(append.chooser.chosenFirst, QList<qint32>{c.first});
    }
}

TEST(SongImport, VsqImportShowsTheChooserOnlyForSeveralVoiceTracks) {
    Rig r;
    r.import.ImportMidiOrVsq(r.file("one.vsq", vsqFile({vsqText({{1920, 480, 72, Sa}})}, vsqMaster(400000))));
    EXPECT_TRUE(r.chooser.shown.isEmpty());
    EXPECT_EQ(r.song().Lyrics, QStringList({"R", "さ"}));  // the lead-in rest, then the note
    EXPECT_EQ(r.window.tempoText, "150.00");
    EXPECT_EQ(r.song().ProjectName, "one");

    Rig two;
    two.chooser.answer = 3;
    two.import.ImportMidiOrVsq(
        two.file("two.vsq", vsqFile({vsqText({{0, 480, 72, Sa}}), vsqText({{0, 480, 72, Ku}})})));
    ASSERT_EQ(two.chooser.shown.size(), 1);
    EXPECT_EQ(two.chooser.shown[0].size(), 3);
    EXPECT_EQ(two.song().Lyrics, QStringList({"く"}));
}

TEST(SongImport, AppendingAProjectIsOneUndoStep) {
    Rig r;
    r.setNotes({"a", "b", "c", "d", "e"});
    NoteArrays three;
    three.resizeNotes(3);
    three.Lyrics = QStringList({"x", "y", "z"});
    three.Lengths = {480, 960, 240};
    three.NoteNums = {40, 41, 42};
    ProjectSettings settingsOfFile;
    settingsOfFile.Tempo = 90;
    settingsOfFile.ProjectName = "other";
    const QString path = r.dir.filePath("other.TVX");
    WriteProjectFile(path, settingsOfFile, three);
    r.import.AppendLoadFile(path);

    EXPECT_EQ(r.song().Lyrics, QStringList({"a", "b", "c", "d", "e", "x", "y", "z"}));
    EXPECT_EQ(r.song().SelStart, 5);
    EXPECT_EQ(r.song().SelEnd, 7);
    EXPECT_FLOAT_EQ(r.song().Tempo, 120.0f);  // a project's settings are not taken
    ASSERT_EQ(r.song().UndoTexts.size(), 1);
    EXPECT_EQ(r.song().UndoTexts[0], "DEL\t5\t7");
    EXPECT_TRUE(r.song().RedoTexts[0].startsWith("\r\nINS\t5\t480\tx\t40\t"));
    EXPECT_EQ(r.song().RedoTexts[0].count("\r\nINS\t"), 3);
    EXPECT_EQ(r.song().UndoCaptions[0], "追加で読込");
    EXPECT_TRUE(r.song().IsModified);

    ASSERT_TRUE(r.song().Undo());
    EXPECT_EQ(r.song().Lyrics, QStringList({"a", "b", "c", "d", "e"}));
    ASSERT_TRUE(r.song().Redo());
    EXPECT_EQ(r.song().Lyrics, QStringList({"a", "b", "c", "d", "e", "x", "y", "z"}));
    EXPECT_EQ(r.song().Lengths.mid(5), QList<qint32>({480, 960, 240}));
}

// An appended project's note options that would set the render's programs or paths are not taken, and
// said so with the file's name; the notes come in.
TEST(SongImport, AppendingAProjectSaysWhatItRefused) {
    Rig r;
    r.setNotes({"a"});
    const QString path = r.file("hostile.tvx", QByteArray("[#SETTING]\r\nTempo=120\r\n[#0000]\r\nLength=480\r\nLyric=x\r\n"
                                                          "NoteNum=60\r\n@tool=/bin/rm\r\n@mine=1\r\n[#TRACKEND]\r\n"));
    r.import.AppendLoadFile(path);
    EXPECT_EQ(r.song().Lyrics, QStringList({"a", "x"}));
    EXPECT_EQ(GetNoteAtEntries(r.song().NoteExt[1]), QStringLiteral("@mine=1\r\n"));
    ASSERT_EQ(r.ports.messageBox.shown.size(), 1);
    EXPECT_TRUE(r.ports.messageBox.lastText().startsWith(path)) << r.ports.messageBox.lastText().toStdString();
    EXPECT_TRUE(r.ports.messageBox.lastText().contains(QStringLiteral("「@tool」"))) << r.ports.messageBox.lastText().toStdString();
}

TEST(SongImport, AppendingMidiTakesItsTempoWithinTheUndoStep) {
    Rig r;
    r.setNotes({"a"});
    r.song().Tempo = 125.0f;
    r.import.AppendLoadFile(r.file("more.mid", midi(400000, {Sa, Ku})));
    EXPECT_EQ(r.song().Lyrics, QStringList({"a", "さ", "く"}));
    EXPECT_FLOAT_EQ(r.song().Tempo, 150.0f);
    EXPECT_EQ(r.window.tempoText, "150.00");
    ASSERT_TRUE(r.song().Undo());
    EXPECT_EQ(r.song().Lyrics, QStringList({"a"}));
    EXPECT_FLOAT_EQ(r.song().Tempo, 125.0f);
    ASSERT_TRUE(r.song().Redo());
    EXPECT_FLOAT_EQ(r.song().Tempo, 150.0f);
    EXPECT_EQ(r.song().noteCount(), 3);

    // ".wsq" reads track 2 without asking; ".vsq" goes to the VSQ reader.
    Rig w;
    w.import.AppendLoadFile(w.file("old.WSQ", midi(500000, {Ra})));
    EXPECT_TRUE(w.chooser.shown.isEmpty());
    EXPECT_EQ(w.song().Lyrics, QStringList({"ら"}));
    EXPECT_EQ(w.song().UndoTexts[0], "DEL\t0\t0");  // appended to an empty song

    Rig v;
    v.setNotes({"a"});
    v.import.AppendLoadFile(v.file("x.vsq", vsqFile({vsqText({{0, 480, 72, Sa}})})));
    EXPECT_EQ(v.song().Lyrics, QStringList({"a", "さ"}));
    EXPECT_EQ(v.song().SelStart, 1);
}

TEST(SongImport, AppendingNothingRecordsNoStep) {
    for (const char* name : {"bad.mid", "bad.vsq", "bad.txt"}) {
        SCOPED_TRACE(name);
        Rig r;
        r.setNotes({"a", "b"});
        r.song().SelStart = r.song().SelEnd = 1;
        r.import.AppendLoadFile(r.file(QString::fromLatin1(name), QByteArray("not a song\r\n")));
        EXPECT_EQ(r.song().Lyrics, QStringList({"a", "b"}));
        EXPECT_TRUE(r.song().UndoTexts.isEmpty());
        EXPECT_EQ(r.song().SelStart, 1);
        EXPECT_TRUE(r.song().IsModified);
        EXPECT_GE(r.window.noteDraws, 1);
    }
}
