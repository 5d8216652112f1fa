// The file layer of MIDI import: header and chunk walking, the track list, importing one track, reading
// back a file of the plain export, running status, texts in the system code page and pitch curves from
// bend points.
#include "exchange/midi/SmfFile.h"
#include "exchange/midi/SmfFormatError.h"
#include "exchange/midi/SmfReader.h"
#include "platform/Cp932.h"
#include "platform/Errors.h"
#include "platform/FakePorts.h"
#include "SmfFixtures.h"
#include "support/TestSupport.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace tova;
using namespace tova::test::smf;

namespace {

// A format 0 file: notes on channels 1 and 3 (channel 3 in running status), a tempo of 100 bpm.
QByteArray formatZero() {
    Track t;
    t.tempo(600000).lyric(Sa).on(0, 60, 100, 0).off(480, 60, 0);
    t.lyric(Ku).on(0, 62, 90, 2).raw(480, bytes({64, 80})).raw(480, bytes({62, 0})).raw(0, bytes({64, 0}));
    t.end();
    return file(0, 480, {t});
}

struct Import {
    qint32 result = 0;
    qint32 count = 0;
    float tempo = 0;
    NoteArrays notes;
};

Import importTrack(const QByteArray& data, qint16 track, float tempo = 120.0f) {
    Bytes in(data);
    Import r;
    r.tempo = tempo;
    r.result = ImportSmfTrack(in, track, r.count, r.tempo, r.notes);
    return r;
}

}  // namespace

TEST(SmfReader, TrackListsOfEachKindOfFile) {
    ScopedFakePorts ports;
    Track named;
    named.name("Voice A").on(0, 60).off(480, 60).end();
    Track unnamed;
    unnamed.on(0, 60).off(480, 60).end();
    Track cp932;
    cp932.name(Hyou + Sa).end();
    struct Case {
        const char* what;
        QByteArray data;
        QStringList expected;
    };
    const Case cases[] = {
        {"format 1", file(1, 480, {conductor(500000), named, unnamed, cp932}),
         {"1: Control", "2: Voice A", "3: ", QStringLiteral("4: 表さ")}},
        {"format 0 lists channels", formatZero(),
         {"Channel1:1 notes", "Channel2:0 notes", "Channel3:2 notes", "Channel4:0 notes", "Channel5:0 notes",
          "Channel6:0 notes", "Channel7:0 notes", "Channel8:0 notes", "Channel9:0 notes", "Channel10:0 notes",
          "Channel11:0 notes", "Channel12:0 notes", "Channel13:0 notes", "Channel14:0 notes", "Channel15:0 notes",
          "Channel16:0 notes"}},
        {"more tracks declared than present", header(1, 3, 480) + conductor(500000).chunk() + named.chunk(),
         {"1: Control", "2: Voice A"}},
        {"header longer than six bytes", header(1, 1, 480, 10) + named.chunk(), {"1: Voice A"}},
        {"format 2", header(2, 1, 480) + named.chunk(), {}},
        {"not a MIDI file", QByteArray("RIFF") + be32(4) + "WAVE", {}},
        {"empty file", QByteArray(), {}},
        {"a second chunk that is not a track", header(1, 2, 480) + named.chunk() + "XTrk" + be32(0), {"1: Voice A"}},
    };
    for (const Case& c : cases) {
        Bytes in(c.data);
        EXPECT_EQ(ListSmfTracks(in), c.expected) << c.what;
    }
    // The note count of every entry, which the chooser opens on.
    QList<qint32> counts;
    Bytes tracks(file(1, 480, {conductor(500000), named, unnamed, cp932}));
    ListSmfTracks(tracks, &counts);
    EXPECT_EQ(counts, (QList<qint32>{0, 1, 1, 0}));
    Bytes channelsOfZero(formatZero());
    ListSmfTracks(channelsOfZero, &counts);
    ASSERT_EQ(counts.size(), 16);
    EXPECT_EQ(counts.mid(0, 4), (QList<qint32>{1, 0, 2, 0}));
    // A format 0 file lists its 16 channels whatever it holds.
    Bytes silent(file(0, 96, {Track().end()}));
    const QStringList channels = ListSmfTracks(silent);
    ASSERT_EQ(channels.size(), 16);
    EXPECT_EQ(channels.first(), "Channel1:0 notes");
    EXPECT_EQ(channels.last(), "Channel16:0 notes");
    EXPECT_TRUE(ports.messageBox.shown.isEmpty());
}

// Track names in CP932, else in UTF-8, else read as Latin-1: never shown as kanji made of a Latin-1
// letter and the letter after it.
TEST(SmfReader, TrackNamesInOtherEncodings) {
    const struct {
        const char* what;
        QByteArray name;
        QString shown;
    } cases[] = {
        {"CP932", QByteArray("\x95\x5C\x82\xB3"), QStringLiteral("表さ")},
        {"CP932 half-width kana", QByteArray("\xB6\xB7"), QStringLiteral("ｶｷ")},
        {"CP932 with a second-level kanji", QByteArray("\x88\xA2\xE5\x9F"), Cp932::decode(QByteArray("\x88\xA2\xE5\x9F"))},
        {"UTF-8", QByteArray("Voice \xE3\x81\x82"), QStringLiteral("Voice あ")},
        {"UTF-8 Latin", QByteArray("Sp\xC3\xA5r"), QStringLiteral("Spår")},
        {"Latin-1", QByteArray("Sp\xE5r"), QStringLiteral("Spår")},
        {"Latin-1 accents", QByteArray("Caf\xE9 \xE0 l'\xE9t\xE9"), QStringLiteral("Café à l'été")},
        {"ASCII", QByteArray("Lead"), QStringLiteral("Lead")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Track t;
        t.name(c.name).end();
        Bytes in(file(1, 480, {t}));
        EXPECT_EQ(ListSmfTracks(in), QStringList{QStringLiteral("1: ") + c.shown});
    }
}

TEST(SmfReader, ListingAFileThatCannotBeOpenedIsAnError) {
    EXPECT_THROW(ListSmfTracks(QStringLiteral("/nonexistent/folder/a.mid")), FileError);
    QTemporaryDir dir;
    const QString path = dir.filePath("song.mid");
    test::writeFile(path, file(1, 480, {conductor(500000), Track().name("Voice A").end()}));
    EXPECT_EQ(ListSmfTracks(path), QStringList({"1: Control", "2: Voice A"}));
}

TEST(SmfReader, FormatZeroImportTakesTheChosenChannelOnly) {
    const Import ch3 = importTrack(formatZero(), 3);
    ASSERT_EQ(ch3.result, 3);
    EXPECT_EQ(ch3.count, 3);
    // Channel 3 starts after channel 1's note: a rest first, which starts with the file's tempo. Its
    // second note-on (running status) cuts the first note, whose own note-off then is ignored.
    EXPECT_EQ(ch3.notes.Lyrics, QStringList({"R", QStringLiteral("く"), QStringLiteral("く")}));
    EXPECT_EQ(ch3.notes.NoteNums, QList<qint32>({36, 38, 40}));
    EXPECT_EQ(ch3.notes.Lengths, QList<qint32>({1920, 1920, 1920}));
    EXPECT_EQ(ch3.notes.NoteExt, QStringList({"\t\t\t\t\ttempo=100.00", "\t100\t0\t\t\t", "\t100\t0\t\t\t"}));
    EXPECT_FLOAT_EQ(ch3.tempo, 100.0f) << "the file's first tempo";

    const Import ch1 = importTrack(formatZero(), 1);
    ASSERT_EQ(ch1.result, 1);
    EXPECT_EQ(ch1.notes.Lyrics, QStringList({QStringLiteral("さ")}));
    EXPECT_EQ(ch1.notes.NoteNums, QList<qint32>({36}));
    EXPECT_EQ(ch1.notes.Lengths, QList<qint32>({1920}));

    const Import none = importTrack(formatZero(), 16);
    EXPECT_EQ(none.result, 0);
    EXPECT_EQ(none.notes.noteCount(), 0);
}

TEST(SmfReader, FormatOneTracksAreTimedByTheConductor) {
    Track voice;
    voice.name("Voice A").lyric(Sa).on(0, 60).off(480, 60).lyric(Ra, 480).on(0, 67).off(960, 67).end();
    Track second;
    second.on(0, 48).off(240, 48).end();
    const QByteArray data = file(1, 480, {conductor(400000), voice, second});

    const Import v = importTrack(data, 2, 90.0f);
    ASSERT_EQ(v.result, 3);
    EXPECT_FLOAT_EQ(v.tempo, 150.0f) << "60000000 / 400000";
    EXPECT_EQ(v.notes.Lyrics, QStringList({QStringLiteral("さ"), "R", QStringLiteral("ら")}));
    EXPECT_EQ(v.notes.Lengths, QList<qint32>({1920, 1920, 3840}));
    EXPECT_EQ(v.notes.NoteNums, QList<qint32>({36, 36, 43}));
    EXPECT_EQ(v.notes.NoteExt[0], "\t100\t0\t\t\ttempo=150.00") << "the start tempo rides on the first entry";

    const Import third = importTrack(data, 3);
    ASSERT_EQ(third.result, 1) << "track 2 is skipped by its length";
    EXPECT_EQ(third.notes.NoteNums, QList<qint32>({24}));
    EXPECT_EQ(third.notes.Lengths, QList<qint32>({960}));

    // Choosing the conductor itself parses track 1; the list was started from the caller's tempo,
    // which therefore stays.
    const Import first = importTrack(data, 1, 90.0f);
    EXPECT_EQ(first.result, 0);
    EXPECT_FLOAT_EQ(first.tempo, 90.0f);

    // Beyond the last track there is no chunk to convert.
    EXPECT_EQ(importTrack(data, 4).result, -1);
}

// A tempo event states 3.58 to 60,000,000 beats a minute: the song and its notes take what a project
// file carries (4..600, so a song exported by this program comes back with its tempos) and hold a tempo
// beyond to the tempos the tempo boxes take (10..512), so a save carries it and a render gives notes of
// a length.
TEST(SmfReader, TemposBeyondASongsAreHeldToItsRange) {
    const struct {
        quint32 microseconds;
        float tempo;
        const char* option;
    } cases[] = {{1, 512.0f, "tempo=512.00"},    {16777215, float(60000000.0 / 16777215), "tempo=3.58"},
                 {400000, 150.0f, "tempo=150.00"}, {100000, 600.0f, "tempo=600.00"},
                 {90000, 512.0f, "tempo=512.00"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.microseconds);
        Track voice;
        voice.lyric(Sa).on(0, 60).off(480, 60).end();
        const Import v = importTrack(file(1, 480, {conductor(c.microseconds), voice}), 2, 90.0f);
        ASSERT_EQ(v.result, 1);
        EXPECT_FLOAT_EQ(v.tempo, c.tempo);
        EXPECT_TRUE(v.notes.NoteExt[0].endsWith(QLatin1StringView(c.option))) << v.notes.NoteExt[0].toStdString();
    }
}

TEST(SmfReader, WithoutTempoEventsTheCallersTempoStays) {
    Track voice;
    voice.on(0, 60).off(480, 60).end();
    for (int format : {0, 1}) {
        const QByteArray data = format == 0 ? file(0, 480, {voice}) : file(1, 480, {Track().name("c").end(), voice});
        const Import r = importTrack(data, format == 0 ? 1 : 2, 97.5f);
        ASSERT_EQ(r.result, 1) << format;
        EXPECT_FLOAT_EQ(r.tempo, 97.5f) << format;
    }
    // Format 1 starts the list from the caller's tempo, so the notes carry it as their tempo option.
    const Import r = importTrack(file(1, 480, {Track().end(), voice}), 2, 97.5f);
    EXPECT_EQ(r.notes.NoteExt[0], "\t100\t0\t\t\ttempo=97.50");
}

TEST(SmfReader, ImportAppendsAfterTheCallersNotesAndLeavesThemOnFailure) {
    Track voice;
    voice.lyric(Ku).on(0, 60).off(480, 60).end();
    Bytes good(file(1, 480, {conductor(500000), voice}));
    NoteArrays notes;
    notes.resizeNotes(2);
    notes.Lyrics = QStringList({"a", "b"});
    notes.Lengths = {480, 480};
    qint32 count = 2;
    float tempo = 120;
    ASSERT_EQ(ImportSmfTrack(good, 2, count, tempo, notes), 3);
    EXPECT_EQ(count, 3);
    EXPECT_EQ(notes.Lyrics, QStringList({"a", "b", QStringLiteral("く")}));

    // The same voice declared one byte longer than the file holds: nothing of it reaches the song.
    Track cutVoice = voice;
    Bytes bad(header(1, 2, 480) + conductor(500000).chunk() + cutVoice.chunk(voice.body.size() + 1));
    const NoteArrays before = notes;
    tempo = 77;
    EXPECT_EQ(ImportSmfTrack(bad, 2, count, tempo, notes), -1);
    EXPECT_EQ(count, 3);
    EXPECT_FLOAT_EQ(tempo, 77.0f);
    EXPECT_EQ(notes.Lyrics, before.Lyrics);
    EXPECT_EQ(notes.Lengths, before.Lengths);
}

TEST(SmfReader, RunningStatusAndItsLimits) {
    ScopedFakePorts ports;
    // Running status carries note-ons and note-offs within a track.
    Track running;
    running.on(0, 60).raw(480, bytes({60, 0})).raw(0, bytes({62, 100})).raw(480, bytes({62, 0})).end();
    const Import ok = importTrack(file(1, 480, {Track().end(), running}), 2);
    EXPECT_EQ(ok.result, 2);
    EXPECT_EQ(ok.notes.NoteNums, QList<qint32>({36, 38}));
    EXPECT_TRUE(ports.messageBox.shown.isEmpty());

    // A data byte right after a meta event has no status to run on.
    Track afterMeta;
    afterMeta.on(0, 60).off(480, 60).lyric(Sa).raw(0, bytes({62, 100})).raw(480, bytes({62, 0})).end();
    const QByteArray metaFile = file(1, 480, {Track().end(), afterMeta});
    Bytes listIn(metaFile);
    EXPECT_EQ(ListSmfTracks(listIn), QStringList({"1: "})) << "listing stops at the bad track";
    ASSERT_EQ(ports.messageBox.shown.size(), 1);
    EXPECT_EQ(ports.messageBox.lastText(), "Invalid status.");
    const Import cut = importTrack(metaFile, 2);
    EXPECT_EQ(cut.result, 1) << "the conversion keeps the notes before the bad byte";
    EXPECT_EQ(ports.messageBox.shown.size(), 2);

    // Running status does not reach into the next track: track 2 starts with a data byte.
    Track noteTrack;
    noteTrack.on(0, 60).off(480, 60);  // ends in running status 80, no end-of-track event
    Track startsWithData;
    startsWithData.raw(0, bytes({64, 100})).raw(480, bytes({64, 0})).end();
    const QByteArray twoTracks = file(1, 480, {noteTrack, startsWithData});
    Bytes twoIn(twoTracks);
    EXPECT_EQ(ListSmfTracks(twoIn), QStringList({"1: "}));
    EXPECT_EQ(ports.messageBox.shown.size(), 3);
    const Import fresh = importTrack(twoTracks, 2);
    EXPECT_EQ(fresh.result, 0);
    EXPECT_EQ(ports.messageBox.shown.size(), 4);
}

TEST(SmfReader, EventPayloadsAreTheirOwn) {
    // A zero-length lyric event is no lyric (the note keeps the one before), not the bytes of the event
    // before it.
    Track t;
    t.lyric(Sa).on(0, 60).off(480, 60).text("flag=g-5").lyric(QByteArray()).on(0, 62).off(480, 62).end();
    const Import r = importTrack(file(1, 480, {Track().end(), t}), 2);
    ASSERT_EQ(r.result, 2);
    EXPECT_EQ(r.notes.Lyrics, QStringList({QStringLiteral("さ"), QStringLiteral("さ")}));

    // Neither is a lyric of blanks alone (with or without a line end): taken as a lyric it would make
    // the note a rest.
    for (const QByteArray& blank : {QByteArray(" "), QByteArray("  "), QByteArray(" \r\n")}) {
        Track b;
        b.lyric(Sa).on(0, 60).off(480, 60).lyric(blank).on(0, 62).off(480, 62).end();
        const Import blanks = importTrack(file(1, 480, {Track().end(), b}), 2);
        ASSERT_EQ(blanks.result, 2);
        EXPECT_EQ(blanks.notes.Lyrics, QStringList({QStringLiteral("さ"), QStringLiteral("さ")})) << blank.toHex().toStdString();
    }

    // System exclusive and system common events are read past, whatever they hold.
    Track system;
    system.raw(0, bytes({0xF0, 0x03, 0x7E, 0x7F, 0xF7})).raw(0, bytes({0xF7, 0x00})).raw(0, bytes({0xF2, 1, 2}));
    system.raw(0, bytes({0xF3, 5})).raw(0, bytes({0xF6})).on(0, 60).off(480, 60).end();
    EXPECT_EQ(importTrack(file(1, 480, {Track().end(), system}), 2).result, 1);
}

TEST(SmfReader, ChunkReaderCollectsTemposTextsNamesAndCounts) {
    Track t;
    t.name("first").text(Hyou).tempo(500000).on(0, 60, 1, 9).on(0, 61, 0, 9).raw(0, bytes({62, 5}));
    t.name("second", 960).tempo(250000, 480).text("x", 0).end();
    t.text("after the end");  // inside the chunk but after its end-of-track event
    Bytes in(t.chunk() + Track().name("next").end().chunk());
    SmfFile file;
    file.open(in);
    QStringList tempos = {"keep"}, texts;
    SmfNoteCounts counts{};
    ASSERT_EQ(SmfReadChunk(file, tempos, texts, counts), 0);
    EXPECT_EQ(tempos, QStringList({"keep", "0 500000", "1440 250000"}));
    EXPECT_EQ(texts, QStringList({QStringLiteral("表"), "x"}));
    EXPECT_EQ(file.LastTrackName, "second");
    SmfNoteCounts expected{};
    expected[9] = 2;
    EXPECT_EQ(counts, expected);
    // The next chunk is found by the length of the first, not by where its end-of-track event stood.
    ASSERT_EQ(SmfReadChunk(file, tempos, texts, counts), 0);
    EXPECT_EQ(file.LastTrackName, "next");
    EXPECT_EQ(SmfReadChunk(file, tempos, texts, counts), -1);
    EXPECT_FALSE(file.isOpen());
}

TEST(SmfReader, ReadsBackThePlainExportLayout) {
    const QList<QByteArray> header = {"@rem project=" + Sa + Ku + Ra, "@set tempo=150", "@set oto=C:\\voice\\" + Hyou};
    Track voice;
    voice.name("Voice A").text("warning").bendRange(10);
    voice.text("0000: offset=30 mod=50").lyric(Sa).on(0, 60).off(480, 60);
    voice.lyric(Ku, 240).on(0, 64).off(480, 64).end();
    const QByteArray data = file(1, 480, {conductor(400000, header), voice});

    Bytes in(data);
    float tempo = 120;
    QStringList texts = {"earlier"};
    NoteArrays notes;
    ASSERT_EQ(ReadSmfFile(tempo, texts, notes, in), 3);
    EXPECT_FLOAT_EQ(tempo, 150.0f);
    EXPECT_EQ(texts, QStringList({"earlier", "Settings", QStringLiteral("@rem project=さくら"), "@set tempo=150",
                                  QStringLiteral("@set oto=C:\\voice\\表")}));
    EXPECT_EQ(notes.Lyrics, QStringList({QStringLiteral("さ"), "R", QStringLiteral("く")}));
    EXPECT_EQ(notes.Lengths, QList<qint32>({1920, 960, 1920}));
    EXPECT_EQ(notes.NoteExt[0], "30\t100\t0\t\t\ttempo=150.00");

    // With more than two tracks the second adds its texts and the third is converted; a channel can
    // be chosen.
    Track extra;
    extra.text("from track 2").end();
    Track twoChannels;
    twoChannels.on(0, 60, 100, 0).off(480, 60, 0).on(0, 72, 100, 1).off(480, 72, 1).end();
    Bytes three(file(1, 480, {conductor(500000), extra, twoChannels}));
    texts.clear();
    ASSERT_EQ(ReadSmfFile(tempo, texts, notes, three, 2), 2);
    EXPECT_EQ(texts.last(), "from track 2");
    EXPECT_EQ(notes.NoteNums, QList<qint32>({36, 48}));
    EXPECT_EQ(notes.Lyrics, QStringList({"R", QStringLiteral("あ")}));

    // A file that ends after the first track holds no notes; the notes passed in stay.
    Bytes only(file(1, 480, {conductor(500000)}));
    EXPECT_EQ(ReadSmfFile(tempo, texts, notes, only), 0);
    EXPECT_EQ(notes.noteCount(), 2);
    Bytes notMidi(QByteArray("MThx"));
    EXPECT_EQ(ReadSmfFile(tempo, texts, notes, notMidi), -1);
}

TEST(SmfReader, TextKeyValues) {
    struct Case {
        const char* text;
        const char* key;
        bool found;
        const char* value;
    };
    const Case cases[] = {
        {"0001: offset=30 mod=50 flag=g-5", "offset", true, "30"},
        {"0001: offset=30 mod=50 flag=g-5", "flag", true, "g-5"},
        {"0001: offset=30 mod=50 flag=g-5", "mod", true, "50"},
        {"0001: env=0,5,35,0,100,100,0 stp=10", "env", true, "0,5,35,0,100,100,0"},
        {"tempo=", "tempo", true, ""},
        {"xoffset=7", "offset", true, "7"},
        {"offset = 30", "offset", false, "unchanged"},
        {"", "mod", false, "unchanged"},
        {"mod=1 mod=2", "mod", true, "1"},
    };
    for (const Case& c : cases) {
        QString value = "unchanged";
        EXPECT_EQ(GetTextKeyValue(c.text, c.key, value), c.found) << c.text << " " << c.key;
        EXPECT_EQ(value, c.value) << c.text << " " << c.key;
    }
}

TEST(SmfReader, PitchCurvesFromBendPoints) {
    struct Case {
        const char* what;
        QString points;
        qint16 division;
        qint16 range;
        qint64 noteEnd;
        QString expected;
    };
    const Case cases[] = {
        {"no point", "", 480, 2, 480, ""},
        {"a single point", "0 4096", 480, 2, 480, ""},
        {"a step after 48 ticks (1/10 quarter)", "0 0,48 4096", 480, 2, 480,
         "0Q120.00 0 0 0 0 0 0 0 0 0 100 100 100"},
        {"both at the start; rounded down to hundredths", "0 -1,0 1", 480, 2, 480, "0.02Q120.00 0.02 0.02"},
        {"negative values round down", "0 1,0 -1", 480, 2, 480, "-0.03Q120.00 -0.03 -0.03"},
        {"the range scales the cents", "0 0,5 8191", 480, 12, 480, "0Q120.00 1199.85 1199.85 1199.85"},
        {"division 96: one sample per tick", "0 0,2 -8192,3 4096", 96, 2, 96, "0Q120.00 0 -200 100 100 100"},
        {"a point beyond the note's end is dropped", "0 0,5 8191,99999999 -8192", 480, 2, 480,
         "0Q120.00 199.97 199.97 199.97"},
        {"only one point left inside the note", "0 100,960 200", 480, 2, 480, ""},
        {"a later point waits for the one listed before it", "10 100,0 200", 480, 2, 480,
         "0Q120.00 0 4.88 4.88 4.88"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(BuildPitchPointText(c.points, c.division, c.range, 120.0f, c.noteEnd), c.expected) << c.what;

    EXPECT_EQ(BuildPitchPointText("0 0,4 4096", 480, 2, 95.555f, 480), "0Q95.56 100 100 100");
    // A long note with a late point is sampled up to the budget of values, not without end.
    const QString capped = BuildPitchPointText("0 0,1000000000 4096", 1, 2, 120.0f, 1000000000, 50);
    EXPECT_EQ(capped.count(u' ') + 1, 50);
    EXPECT_TRUE(capped.endsWith(" 0 0"));
    EXPECT_EQ(BuildPitchPointText("0 0,4 4096", 480, 2, 120.0f, 480, 2), "");
    EXPECT_THROW(BuildPitchPointText("0 0,4 4096", 0, 2, 120.0f, 480), SmfFormatError);
}
