#include "ExchangeFakes.h"
#include "HostileBatch.h"

#include "core/MessageTable.h"
#include "exchange/RenderBatchReader.h"
#include "platform/Cp932.h"
#include "platform/FakePorts.h"
#include "song/NoteExtension.h"
#include "song/PitchText.h"
#include "support/TestSupport.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace tova;
using namespace tova::test;

namespace {

// Writes the lines as a CP932 batch file with CR LF line ends.
QString writeBatch(const QTemporaryDir& dir, const QStringList& lines, const QString& name = QStringLiteral("song.bat")) {
    const QString path = dir.filePath(name);
    writeFile(path, Cp932::encode(lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")));
    return path;
}

struct ReaderFixture : ::testing::Test {
    QTemporaryDir dir;
    FakeProjectWindow window;
    FakeVoiceBank voices;
    ScopedFakePorts ports;

    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        window.NewProject();
    }
    QString ext(int i) const { return window.theSong.NoteExt[i]; }
    QString field(int i, int f) const { return NoteExtField(window.theSong.NoteExt[i], f); }
};

// The header and note lines as the render batch writer lays them out (ticks form of the lengths).
QStringList writerBatch() {
    const QString pitch = EncodePitchText(QStringLiteral("0Q120 5 5 5 -10"), true);
    return {
        u"@rem project=うたの歌"_qs,
        u"@set tempo=125.5"_qs,
        u"@set samples=44100"_qs,
        u"@set oto=/voices/bank a"_qs,
        u"@set tool=/prog/catena"_qs,
        u"@set vorsa=/prog/vorsa"_qs,
        u"@set output=out.wav"_qs,
        u"@set helper=song_helper.bat"_qs,
        u"@set cachedir=/work/song.cache"_qs,
        u"@set flag=\"B40E\""_qs,
        u"@set env=0 5 35 0 100 100 0"_qs,
        u"@set stp=0"_qs,
        QString(),
        u"@del \"%output%\""_qs,
        u"@mkdir \"%cachedir%\""_qs,
        QString(),
        // note 0: project flags only, default envelope, velocity 100
        u"@set params=100 0 "_qs + pitch,
        u"@set vel=100"_qs,
        u"@set temp=\"%cachedir%\\0_a_C4_650.wav\""_qs,
        u"call %helper% \"%oto%\\a.wav\" C4 480@125.50+0.0 50 10.0 650 20.0 -30.0 0"_qs,
        // note 1: a rest with a tempo change
        u"@set tempo=100"_qs,
        u"\"%tool%\" \"%output%\" \"%oto%\\R.wav\" 0 240@100.00+0.0 0 0"_qs,
        // note 2: own flags with an escaped E, tempo, long envelope with overlap, start point, a variable,
        // an expression, a sample path with a blank in a sub-folder
        u"@set params=90 -20 "_qs,
        u"@set flag=\"g-5/EB40/E\""_qs,
        u"@set tempo=100"_qs,
        u"@set env=0 10 30 0 90 100 0 20 3 4 50"_qs,
        u"@set stp=5"_qs,
        u"@set vel=100"_qs,
        u"@set temp=\"%cachedir%\\2_sub_k a_D4_700.wav\""_qs,
        u"@set expression=AAAA"_qs,
        u"@set foo=1"_qs,
        u"call %helper% \"%oto%\\sub\\k a.wav\" D4 960@100.00-10.0 60 5.0 700 30.0 -20.0 2"_qs,
        u"@set expression="_qs,
        u"@set foo="_qs,
        // note 3: no flag, envelope or start point lines: the previous ones stay in force
        u"@set params=100 0 "_qs,
        u"@set vel=100"_qs,
        u"call %helper% \"%oto%\\a.wav\" E4 0@100.00+0.0 40 10.0 100 20.0 -30.0 3"_qs,
        QString(),
        u"@if not exist \"%output%.whd\" goto E"_qs,
        u"copy /Y \"%output%.whd\" /B + \"%output%.dat\" /B \"%output%\""_qs,
        u":E"_qs,
    };
}

TEST_F(ReaderFixture, OpensWriterBatchWithHeaderAndNotes) {
    voices.aliases.insert(u"a"_qs, u"あ"_qs);
    voices.aliases.insert(u"sub\\k a"_qs, u"↑か"_qs);
    voices.prefix.insert(38, {u"↑"_qs, QString()});
    RenderBatchReader(window, voices).ReadBatchNotes(writeBatch(dir, writerBatch()));

    const Song& s = window.theSong;
    EXPECT_EQ(s.ProjectName, u"うたの歌"_qs);
    EXPECT_FLOAT_EQ(s.Tempo, 125.5f);
    EXPECT_EQ(window.tempoText, u"125.5"_qs);
    EXPECT_EQ(s.VoiceDir, u"/voices/bank a"_qs);
    EXPECT_EQ(s.Tool1, u"/prog/catena"_qs);
    EXPECT_EQ(s.Tool2, u"/prog/vorsa"_qs);
    EXPECT_EQ(s.OutFile, u"out.wav"_qs);
    EXPECT_EQ(s.ProjectFlags, u"B40E"_qs);
    EXPECT_EQ(voices.otoClears, 1);
    EXPECT_EQ(voices.otoLoads, QStringList{u"/voices/bank a"_qs});
    EXPECT_TRUE(voices.prefixLoads.contains(u"/voices/bank a"_qs));

    ASSERT_EQ(s.noteCount(), 4);
    EXPECT_EQ(s.Lyrics, (QStringList{u"あ"_qs, u"R"_qs, u"か"_qs, u"あ"_qs}));
    EXPECT_EQ(s.NoteNums, (QList<qint32>{36, 36, 38, 40}));
    EXPECT_EQ(s.Lengths, (QList<qint32>{1920, 960, 3840, 20}));

    EXPECT_EQ(ext(0), u"50:0\t100\t0\t0Q120 5 5 5 -10\t\t"_qs);
    EXPECT_EQ(ext(1), u"\t\t\t\t\ttempo=100.00"_qs);
    EXPECT_EQ(field(2, ExtTiming), u"60:20"_qs);
    EXPECT_EQ(field(2, ExtIntensity), u"90"_qs);
    EXPECT_EQ(field(2, ExtModulation), u"-20"_qs);
    EXPECT_EQ(field(2, ExtPitches), QString());
    EXPECT_EQ(field(2, ExtFlags), u"g-5E"_qs);
    EXPECT_EQ(field(2, ExtOptions),
              u"tempo=100.00\\nenv=0 10 30 0 90 100 0 % 3 4 50\\nstp=5\\n@foo=1"_qs);
    // The previous note's flags, envelope, overlap and start point are in force for note 3.
    EXPECT_EQ(field(3, ExtTiming), u"40:20"_qs);
    EXPECT_EQ(field(3, ExtFlags), u"g-5E"_qs);
    EXPECT_EQ(field(3, ExtOptions), u"env=0 10 30 0 90 100 0 % 3 4 50\\nstp=5"_qs);
}

// A batch's tempos a project file carries (4..600, also outside the tempo boxes' range, as older imports
// left them) read back as written; tempos beyond are held to those a song takes (10..512): the song's
// tempo, a note's tempo change and the millisecond lengths read at them.
TEST_F(ReaderFixture, TemposBeyondASongsAreHeldToItsRange) {
    const struct {
        const char16_t* project;
        const char16_t* note;
        float tempo;
        const char16_t* noteOption;
    } cases[] = {
        {u"0.001", u"100000", 10.0f, u"tempo=512.00"},
        {u"600.00", u"4.00", 600.0f, u"tempo=4.00"},
    };
    for (const auto& c : cases) {
        QStringList lines = writerBatch();
        lines.replace(lines.indexOf(u"@set tempo=125.5"_qs), u"@set tempo="_qs + QString::fromUtf16(c.project));
        lines.replace(lines.indexOf(u"@set tempo=100"_qs), u"@set tempo="_qs + QString::fromUtf16(c.note));
        RenderBatchReader(window, voices).ReadBatchNotes(writeBatch(dir, lines));
        const Song& s = window.theSong;
        EXPECT_FLOAT_EQ(s.Tempo, c.tempo);
        ASSERT_EQ(s.noteCount(), 4);
        EXPECT_EQ(ext(1), u"\t\t\t\t\t"_qs + QString::fromUtf16(c.noteOption));
    }
}

// A batch's per-note variables that name the render's programs or paths, or whose name is not made of
// ASCII letters, digits and "_" (a dotless "ı" included), is empty or has no "=", do not become note
// options, and the reading says which it left out; a batch without them says nothing.
TEST_F(ReaderFixture, VariablesNamingTheRendersProgramsOrPathsAreNotTaken) {
    RenderBatchReader(window, voices).ReadBatchNotes(writeBatch(dir, writerBatch()));
    EXPECT_TRUE(ports.messageBox.shown.isEmpty());
    QStringList lines = writerBatch();
    const qsizetype at = lines.indexOf(u"@set foo=1"_qs);
    ASSERT_GE(at, 0);
    const QStringList refused = {u"@set Tool=/bin/rm"_qs, u"@set LD_PRELOAD=/tmp/e.so"_qs, u"@set output=/etc/passwd"_qs,
                                 u"@set cachedır=/tmp/x"_qs, u"@set =x"_qs, u"@set own"_qs};
    for (const QString& line : refused) lines.insert(at + 1, line);
    // Marked UTF-8: the dotless "ı" is not in the code page.
    const QString path = dir.filePath(u"song.bat"_qs);
    writeFile(path, Cp932::encodeMarked(lines.join(u"\r\n"_qs) + u"\r\n"_qs));
    RenderBatchReader(window, voices).ReadBatchNotes(path);
    ASSERT_EQ(window.theSong.noteCount(), 4);
    EXPECT_EQ(field(2, ExtOptions), u"tempo=100.00\\nenv=0 10 30 0 90 100 0 % 3 4 50\\nstp=5\\n@foo=1"_qs);
    ASSERT_EQ(ports.messageBox.shown.size(), 1);
    const QString said = ports.messageBox.shown[0].text;
    for (const QString& line : refused) {
        const QString key = u'@' + line.mid(5).section(u'=', 0, 0);
        EXPECT_TRUE(said.contains(u"オプション「"_qs + key + u"」"_qs)) << said.toStdString();
    }
}

// Lengths in milliseconds (the form of the "OldTime" setting): each note's pre-utterance less its
// overlap belongs to the note before it.
QStringList millisecondBatch(bool withTempo) {
    QStringList lines{u"@rem project=ms"_qs};
    if (withTempo) lines << u"@set tempo=120"_qs;
    lines << u"@set params=100 0 "_qs << u"call %helper% \"%oto%\\a.wav\" C4 490.0 50 0.0 550 0.0 0.0 0"_qs
          << u"@set params=100 0 "_qs << u"@set env=0 5 35 0 100 100 0 20"_qs
          << u"call %helper% \"%oto%\\a.wav\" D4 310.0 80 0.0 350 0.0 0.0 1"_qs
          << u"\"%tool%\" \"%output%\" \"%oto%\\R.wav\" 0 500.0 0 0"_qs;
    return lines;
}

TEST_F(ReaderFixture, MillisecondLengthsGiveTheCarriedTimeBackToThePreviousNote) {
    // Without any tempo line the project's tempo (120 for a new project) converts the lengths.
    for (bool withTempo : {true, false}) {
        window.NewProject();
        RenderBatchReader(window, voices).ReadBatchNotes(writeBatch(dir, millisecondBatch(withTempo)));
        const Song& s = window.theSong;
        ASSERT_EQ(s.noteCount(), 3) << withTempo;
        // 490 - 50 + (80 - 20) = 500 ms; 310 - 80 = 230 ms (a 48th of a beat is 10.4 ms); 500 ms.
        EXPECT_EQ(s.Lengths, (QList<qint32>{1920, 880, 1920})) << withTempo;
        EXPECT_EQ(field(1, ExtTiming), u"80:20"_qs);
    }
}

TEST_F(ReaderFixture, AppendingLeavesTheExistingNotesAndProjectAlone) {
    Song& s = window.theSong;
    s.resizeNotes(2);
    s.Lyrics = {u"ど"_qs, u"れ"_qs};
    s.Lengths = {1000, 1234};
    s.NoteExt = {u"1:2"_qs, u"3:4"_qs};
    s.ProjectName = u"mine"_qs;
    s.VoiceDir = u"/mine"_qs;
    s.Tempo = 90.0f;
    const QString path = writeBatch(dir, QStringList{u"@set oto=/other"_qs, u"@set flag=\"X\""_qs} + millisecondBatch(true));
    RenderBatchReader(window, voices).AppendBatchNotes(path);

    ASSERT_EQ(s.noteCount(), 5);
    EXPECT_EQ(s.Lyrics.mid(0, 2), (QStringList{u"ど"_qs, u"れ"_qs}));
    EXPECT_EQ(s.Lengths, (QList<qint32>{1000, 1234, 1920, 880, 1920}));
    EXPECT_EQ(s.NoteExt.mid(0, 2), (QStringList{u"1:2"_qs, u"3:4"_qs}));
    EXPECT_EQ(s.ProjectName, u"mine"_qs);
    EXPECT_EQ(s.VoiceDir, u"/mine"_qs);
    EXPECT_FLOAT_EQ(s.Tempo, 90.0f);
    EXPECT_EQ(s.ProjectFlags, QString());
    EXPECT_EQ(voices.otoClears, 0);
    EXPECT_TRUE(ports.messageBox.shown.isEmpty());
}

TEST_F(ReaderFixture, EdgeCasesOfTheLineGroups) {
    struct Case {
        const char* what;
        QStringList lines;
        QStringList lyrics;
        QList<qint32> lengths;
        QStringList exts;
        float projectTempo;
    };
    const QString call0 = u"call %helper% \"%oto%\\a.wav\" C4 480@120.00+0.0 50 0 600 0 0 0"_qs;
    const Case cases[] = {
        {"a later tempo line changes the conversion, not the project tempo",
         {u"@set tempo=120"_qs, u"@set params=100 0 "_qs, u"call %helper% \"%oto%\\a.wav\" C4 500 0 0 600 0 0 0"_qs,
          u"@set tempo=60"_qs, u"\"%tool%\" \"%output%\" \"%oto%\\R.wav\" 0 500 0 0"_qs},
         {u"a"_qs, u"R"_qs}, {1920, 960}, {u"0:0\t100\t0\t\t\t"_qs, u"\t\t\t\t\ttempo=60.00"_qs}, 120.0f},
        {"the default envelope, in either form, gives no option; its overlap still counts",
         {u"@set params=1 2 "_qs, u"@set env=0 5 35 0 100 100 0 7"_qs, call0, u"@set params=1 2 "_qs,
          u"@set env=5 35"_qs, call0},
         {u"a"_qs, u"a"_qs}, {1920, 1920}, {u"50:7\t1\t2\t\t\t"_qs, u"50:0\t1\t2\t\t\t"_qs}, 120.0f},
        {"a rest of 0 ms is skipped",
         {u"\"%tool%\" \"%output%\" \"%oto%\\R.wav\" 0 0 0 0"_qs, u"\"%tool%\" \"%output%\" \"%oto%\\R.wav\" 0 0@120.00+0.0 0 0"_qs},
         {}, {}, {}, 120.0f},
        {"flags equal to the project flags are empty; a group without flag line keeps the last ones",
         {u"@set flag=\"B50\""_qs, u"@set params=1 2 "_qs, u"@set flag=\"B50\""_qs, call0, u"@set params=1 2 "_qs,
          u"@set flag=\"g3B50\""_qs, call0, u"@set params=1 2 "_qs, call0},
         {u"a"_qs, u"a"_qs, u"a"_qs}, {1920, 1920, 1920},
         {u"50:0\t1\t2\t\t\t"_qs, u"50:0\t1\t2\t\tg3\t"_qs, u"50:0\t1\t2\t\tg3\t"_qs}, 120.0f},
        {"a group without its call line is dropped and the line after it still counts",
         {u"@set params=1 2 "_qs, u"@set vel=100"_qs, u"\"%tool%\" \"%output%\" \"%oto%\\R.wav\" 0 100@120.00+0.0 0 0"_qs},
         {u"R"_qs}, {400}, {QString()}, 120.0f},
        {"a zero tick length is 20 ticks; a velocity other than 100 is taken off pre-utterance, overlap and start point",
         {u"@set params=1 2 "_qs, u"@set env=0 5 35 0 100 100 0 5"_qs, u"@set stp=2.5"_qs, u"@set vel=200"_qs,
          u"call %helper% \"%oto%\\a.wav\" C4 0@120.00+0.0 25 0 600 0 0 0"_qs},
         {u"a"_qs}, {20}, {u"50:10:200\t1\t2\t\t\tstp=5"_qs}, 120.0f},
        {"the older pitches group",
         {u"@rem tempo=60"_qs, u"@set pitches=1 2 3"_qs, u"call %helper% \"%oto%\\a.wav\" G4 1000 30 0 0 0 80 -5 0"_qs},
         {u"a"_qs}, {1920}, {u"30\t80\t-5\t1 2 3\t\t"_qs}, 60.0f},
    };
    for (const Case& c : cases) {
        window.NewProject();
        RenderBatchReader(window, voices).ReadBatchNotes(writeBatch(dir, c.lines));
        const Song& s = window.theSong;
        EXPECT_EQ(s.Lyrics, c.lyrics) << c.what;
        EXPECT_EQ(s.Lengths.mid(0, s.noteCount()), c.lengths) << c.what;
        EXPECT_EQ(s.NoteExt.mid(0, s.noteCount()), c.exts) << c.what;
        EXPECT_FLOAT_EQ(s.Tempo, c.projectTempo) << c.what;
    }
}

TEST_F(ReaderFixture, AppendStopsAtAFailureWithAMessageAndKeepsWhatWasRead) {
    GetMessage(QString());  // message table in its built-in state
    const QString path = writeBatch(dir, {u"@set params=1 2 "_qs,
                                          u"call %helper% \"%oto%\\a.wav\" C4 480@120.00+0.0 50 0 600 0 0 0"_qs,
                                          u"@set params=1 2 "_qs,
                                          u"call %helper% \"%oto%\\a.wav\" C99999 480@120.00+0.0 50 0 600 0 0 0"_qs,
                                          u"@set params=1 2 "_qs,
                                          u"call %helper% \"%oto%\\a.wav\" D4 480@120.00+0.0 50 0 600 0 0 0"_qs});
    RenderBatchReader(window, voices).AppendBatchNotes(path);
    EXPECT_EQ(window.theSong.Lyrics, QStringList{u"a"_qs});
    ASSERT_EQ(ports.messageBox.shown.size(), 1);
    EXPECT_EQ(ports.messageBox.shown[0].title, u"予期せぬエラー"_qs);
    EXPECT_FALSE(ports.messageBox.shown[0].text.isEmpty());
}

TEST(RenderBatchReaderText, WordsAndSampleNames) {
    EXPECT_EQ(RenderBatchReader::splitWords(u"call %helper% \"%oto%\\k a.wav\" C4"_qs, 6),
              (QStringList{u"call"_qs, u"%helper%"_qs, u"\"%oto%\\k a.wav\""_qs, u"C4"_qs, QString(), QString()}));
    const struct {
        const char* word;
        const char* voiceDir;
        const char* name;
    } names[] = {
        {"\"%oto%\\a.wav\"", "", "a"},
        {"\"%oto%/sub\\k a.aiff\"", "", "sub\\k a"},
        {"\"/v/bank/a.b.wav\"", "/v/bank/", "a.b"},
        {"\"/other/a.wav\"", "/v/bank", "/other/a"},
        {"noquote", "", "noquote"},
    };
    for (const auto& n : names)
        EXPECT_EQ(RenderBatchReader::sampleName(QString::fromUtf8(n.word), QString::fromUtf8(n.voiceDir)),
                  QString::fromUtf8(n.name))
            << n.word;
    EXPECT_EQ(RenderBatchReader::msToTicks(500, 120), 1920);
    EXPECT_EQ(RenderBatchReader::msToTicks(5.2, 120), 0);
    EXPECT_EQ(RenderBatchReader::msToTicks(5.3, 120), 40);
    EXPECT_EQ(RenderBatchReader::msToTicks(500, 0), 0);
}

// Run counts claim a million values a note; each note keeps what it can use, the file no more than its
// budget however long its notes are.
TEST_F(ReaderFixture, PitchTextExpandsOnlyToWhatTheNoteCanUse) {
    RenderBatchReader reader(window, voices);
    reader.readLines(HostilePitchBatch(), false);
    ASSERT_EQ(window.theSong.noteCount(), 500);
    for (int i : {0, 499}) {
        const QString pitches = field(i, ExtPitches);
        EXPECT_EQ(window.theSong.Lengths[i], 1920);
        EXPECT_EQ(pitches.count(u' ') + 1, PitchValuesForLength(1920)) << i;
        EXPECT_TRUE(pitches.startsWith(u"0Q120 0 0"_qs));
    }

    // Header values are cut.
    window.NewProject();
    reader.readLines({u"@set tool="_qs + QString(100000, u'x'), u"@rem project="_qs + QString(100000, u'y')}, false);
    EXPECT_EQ(window.theSong.Tool1.size(), ProjectValueLimit);
    EXPECT_EQ(window.theSong.ProjectName.size(), ProjectValueLimit);

    // Notes as long as a length can say: the file's budget ends the expansion.
    QStringList longNotes = HostilePitchBatch(4);
    for (QString& line : longNotes) line.replace(u"480@120.00"_qs, u"3455999@120.00"_qs);
    window.NewProject();
    reader.readLines(longNotes, false);
    ASSERT_EQ(window.theSong.noteCount(), 4);
    qsizetype total = 0;
    for (int i = 0; i < 4; ++i) total += field(i, ExtPitches).count(u' ') + 1;
    EXPECT_EQ(field(0, ExtPitches).count(u' ') + 1, PitchValuesForLength(3455999LL * 4));
    EXPECT_LE(total, MaxPitchValuesPerFile + 4);
}

}  // namespace
