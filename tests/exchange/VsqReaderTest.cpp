// The VSQ reader: files of the program's own export read back, files built by the tests (gaps, overlaps,
// track choice, lyric handles, line ends, bends, tempo changes, texts cut inside a character), the
// default note settings, and damaged files.
#include "core/Settings.h"
#include "exchange/vsq/VsqReader.h"
#include "exchange/vsq/VsqWriter.h"
#include "platform/Cp932.h"
#include "platform/Errors.h"
#include "support/TestSupport.h"
#include "song/NoteExtension.h"
#include "NoteFixtures.h"
#include "SmfFixtures.h"
#include "VsqFixtures.h"
#include "VsqHostileFiles.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace tova;
using namespace tova::test::smf;

namespace {

struct RestoreSettings {
    Settings saved = settings();
    RestoreSettings() { settings() = Settings{}; }
    ~RestoreSettings() { settings() = saved; }
};

struct Read {
    qint32 result = 0;
    float tempo = 133.0f;
    qint16 track = 2;
    NoteArrays notes;
};

Read read(const QByteArray& data, qint16 track = 2) {
    Bytes in(data);
    Read r;
    r.track = track;
    r.result = ReadVsqFile(in, r.tempo, r.notes, r.track);
    return r;
}

NoteArrays song(const QList<test::NoteSpec>& list) { return test::notesOf(list); }

QStringList tempoOptions(const NoteArrays& n) {
    QStringList out;
    for (const QString& e : n.NoteExt) out << GetNoteOption(e, QStringLiteral("tempo"));
    return out;
}

}  // namespace

TEST(VsqReader, OneNoteOfTheExportReadsBackAfterItsLeadIn) {
    RestoreSettings restore;
    const Read r = read(VsqFileBytes(120.0f, song({{QStringLiteral("あ"), 1920, 48, QString()}})));
    ASSERT_EQ(r.result, 2);
    EXPECT_FLOAT_EQ(r.tempo, 120.0f);
    // The measure of lead-in as a rest, then the note; the singer record, which has no length, is no
    // note (a note of length 0 would become 60 ticks at the next opening and move the song).
    EXPECT_EQ(r.notes.Lyrics, QStringList({"R", "あ"}));
    EXPECT_EQ(r.notes.Lengths, QList<qint32>({7680, 1920}));
    EXPECT_EQ(r.notes.NoteNums, QList<qint32>({36, 48}));
    EXPECT_EQ(tempoOptions(r.notes), QStringList({"120.00", ""}));
    // Every element has six fields; the sung note's intensity is the default one.
    for (const QString& ext : r.notes.NoteExt) EXPECT_EQ(ext.count(u'\t'), 5) << ext.toStdString();
    EXPECT_EQ(NoteExtField(r.notes.NoteExt[1], ExtIntensity), "100");
}

TEST(VsqReader, ExportThenImportRoundTrip) {
    RestoreSettings restore;
    const NoteArrays n = song({{QStringLiteral("さ"), 1920, 36, QString()},
                               {QStringLiteral("R"), 960, 36, QString()},
                               {QStringLiteral("?か"), 962, 40, QStringLiteral("\t\t\t\t\ttempo=150")},
                               {QStringLiteral("く"), 480, 47, QString()},
                               {QStringLiteral("R"), 10, 36, QString()},
                               {QStringLiteral("ら"), 480, 0, QStringLiteral("\t\t\t\t\ttempo=95.456")}});
    const Read r = read(VsqFileBytes(100.0f, n));
    ASSERT_EQ(r.result, 7);
    EXPECT_FLOAT_EQ(r.tempo, 100.0f);
    EXPECT_EQ(r.notes.Lyrics, QStringList({"R", "さ", "R", "?か", "く", "R", "ら"}));
    // 962 internal ticks are 240.5 file ticks, lengthened to end where the next note starts (960.5 ->
    // 961); the rest of 10 ticks comes back between the rounded positions of its neighbours (1080.5 ->
    // 1081 and 1083 file ticks), as 8.
    EXPECT_EQ(r.notes.Lengths, QList<qint32>({7680, 1920, 960, 964, 480, 8, 480}));
    EXPECT_EQ(r.notes.NoteNums, QList<qint32>({36, 36, 36, 40, 47, 36, 0}));
    // Each tempo change comes back on its own note.
    EXPECT_EQ(tempoOptions(r.notes), QStringList({"100.00", "", "", "150.00", "", "", "95.45"}));
    // No note of no length anywhere.
    for (qint32 length : r.notes.Lengths) EXPECT_GT(length, 0);
}

TEST(VsqReader, GapsOverlapsAndZeroLengths) {
    RestoreSettings restore;
    // Division 1920: file ticks are internal ticks.
    const auto lengths = [](const QList<VsqNote>& notes) {
        const Read r = read(vsqFile({vsqText(notes)}, vsqMaster(), 1920));
        return std::make_pair(r.notes.Lyrics, r.notes.Lengths);
    };
    // Gaps of more than a file tick (30, 40) become rests; one of a tick (what rounding leaves)
    // lengthens the note before it. Every note keeps its time.
    auto [ly1, len1] = lengths({{0, 100, 60, "a"}, {130, 100, 60, "b"}, {270, 100, 60, "c"}, {371, 100, 60, "d"}});
    EXPECT_EQ(ly1, QStringList({"a", "R", "b", "R", "c", "d"}));
    EXPECT_EQ(len1, QList<qint32>({100, 30, 100, 40, 101, 100}));
    // Overlapping notes: the first ends where the second starts.
    auto [ly2, len2] = lengths({{0, 200, 60, "a"}, {150, 100, 60, "b"}});
    EXPECT_EQ(ly2, QStringList({"a", "b"}));
    EXPECT_EQ(len2, QList<qint32>({150, 100}));
    // A note of no length is overwritten by the next record.
    auto [ly3, len3] = lengths({{0, 0, 60, "a"}, {0, 100, 60, "b"}});
    EXPECT_EQ(ly3, QStringList({"b"}));
    EXPECT_EQ(len3, QList<qint32>({100}));
}

TEST(VsqReader, TrackChoiceHandlesAndLineEnds) {
    RestoreSettings restore;
    const QByteArray one = vsqText({{0, 480, 60, "a"}});
    const QByteArray two = vsqText({{0, 480, 62, "b"}, {480, 480, 64, "c"}});
    const QByteArray data = vsqFile({one, two});
    for (qint16 track : {qint16(0), qint16(1), qint16(2), qint16(4), qint16(-3)}) {
        const Read r = read(data, track);
        EXPECT_EQ(r.track, 2) << track;
        EXPECT_EQ(r.notes.Lyrics, QStringList({"a"}));
    }
    EXPECT_EQ(read(data, 3).notes.Lyrics, QStringList({"b", "c"}));

    // A lyric holding a NUL gives the phonetic symbols without blanks; a missing handle leaves its name.
    QByteArray nul = vsqText({{0, 480, 60, "x"}, {480, 480, 60, "y"}});
    nul.replace("L0=\"x\",\"a\"", QByteArray("L0=\"x\0z\",\"k a\"", 14));
    nul.replace("[h#0002]\nL0=\"y\",\"a\",0.000000,64,0,0\n", "");
    EXPECT_EQ(read(vsqFile({nul})).notes.Lyrics, QStringList({"ka", "h#0002"}));

    // Lines ending in CR LF read as well; text cut into events of one byte each joins before decoding.
    QByteArray crlf = vsqText({{0, 480, 60, Sa}});
    crlf.replace("\n", "\r\n");
    EXPECT_EQ(read(vsqFile({crlf})).notes.Lyrics, QStringList({"さ"}));
    const QByteArray cut = file(1, 480, {vsqMaster(), vsqVoice(vsqText({{0, 480, 60, Sa + Ku}}), 1)});
    EXPECT_EQ(read(cut).notes.Lyrics, QStringList({"さく"}));
}

TEST(VsqReader, TempoChangesFallOnTheElementsAtOrAfterThem) {
    RestoreSettings restore;
    Track master;
    master.tempo(500000).tempo(400000, 960).tempo(600000, 960).end();
    const Read r = read(vsqFile({vsqText({{0, 480, 60, "a"}, {480, 480, 60, "b"}, {960, 480, 60, "c"},
                                          {1440, 960, 60, "d"}, {2400, 480, 60, "e"}})},
                                master));
    EXPECT_FLOAT_EQ(r.tempo, 120.0f);
    EXPECT_EQ(r.notes.Lyrics, QStringList({"a", "b", "c", "d", "e"}));
    EXPECT_EQ(tempoOptions(r.notes), QStringList({"120.00", "", "150.00", "", "100.00"}));
    // A note followed by a rest keeps its tempo change; the rest does not take it.
    const Read gap = read(vsqFile({vsqText({{0, 480, 60, "a"}, {960, 240, 60, "b"}, {1440, 480, 60, "c"}})}, master));
    EXPECT_EQ(gap.notes.Lyrics, QStringList({"a", "R", "b", "R", "c"}));
    EXPECT_EQ(tempoOptions(gap.notes), QStringList({"120.00", "", "150.00", "", ""}));
}

TEST(VsqReader, BendPointsBecomeEachNotesPitch) {
    RestoreSettings restore;
    // Note a is followed by a rest: its points stay with it, and the point at the rest's start is the
    // rest's. A point at a note's start is that note's. The last note takes every remaining point.
    const QByteArray text =
        vsqText({{0, 240, 60, "a"}, {960, 480, 60, "b"}, {1440, 480, 60, "c"}},
                "[PitchBendBPList]\n0=0\n120=4096\n240=-8192\n960=0\n1440=8191\n1500=0\n", "PMBendDepth=2\n");
    const Read r = read(vsqFile({text}));
    ASSERT_EQ(r.notes.Lyrics, QStringList({"a", "R", "b", "c"}));
    const QString a = NoteExtField(r.notes.NoteExt[0], ExtPitches);
    EXPECT_TRUE(a.startsWith("0Q120.00 0 0 0 ")) << a.toStdString();
    EXPECT_TRUE(a.contains(" 100 ")) << a.toStdString();
    EXPECT_EQ(NoteExtField(r.notes.NoteExt[1], ExtPitches), "");  // a single point makes no curve
    EXPECT_EQ(NoteExtField(r.notes.NoteExt[2], ExtPitches), "");
    const QString c = NoteExtField(r.notes.NoteExt[3], ExtPitches);
    EXPECT_TRUE(c.startsWith("199.97Q120.00 ")) << c.toStdString();
    EXPECT_TRUE(c.endsWith(" 0 0 0")) << c.toStdString();
}

// A track whose sequence text runs past what any song holds (a bend list of 350,000 points) stops
// with a message naming the file instead of holding the program for seconds; one just inside reads.
TEST(VsqReader, AnOutsizedTrackStopsWithTheFilesName) {
    RestoreSettings restore;
    QByteArray bends = "[PitchBendBPList]\n";
    for (int i = 0; bends.size() <= VsqSequenceLimit; ++i) bends += QByteArray::number(i) + "=" + QByteArray::number(i % 8000) + "\n";
    const QByteArray head = vsqText({{0, 1920, 60, "a"}}, QByteArray(), "PMBendDepth=2\n");
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bends.vsq"));
    test::writeFile(path, vsqFile({head + bends}));
    float tempo = 120;
    NoteArrays notes;
    qint16 track = 2;
    try {
        ReadVsqFile(path, tempo, notes, track);
        ADD_FAILURE() << "read";
    } catch (const FileError& e) {
        EXPECT_TRUE(e.description().contains(path)) << e.description().toStdString();
        EXPECT_TRUE(e.description().contains(QStringLiteral("大きすぎるため読み込みません")));
    }
    EXPECT_EQ(notes.noteCount(), 0);
    const Read inside = read(vsqFile({head + bends.left(VsqSequenceLimit - head.size() - 64)}));
    EXPECT_EQ(inside.result, 1);
}

TEST(VsqReader, SungNotesGetTheDefaultNoteSettings) {
    RestoreSettings restore;
    Settings& s = settings();
    s.Mode2 = true;
    s.Mode2PBS = QStringLiteral("-40");
    s.Mode2PBW = QStringLiteral("80");
    s.Mode2VBR = QStringLiteral("65,180,35");
    s.Mode2VBRExclude = 1000;
    s.DefaultEnv = QStringLiteral("0 5 35 0 100 100 0");
    s.DefaultVolume = 90;
    s.DefaultModulation = 20;
    s.DefaultFlags = QStringLiteral("g-2");
    const Read r = read(vsqFile({vsqText({{0, 480, 60, "a"}, {480, 120, 72, "b"}, {1000, 480, 60, "c"}})}));
    ASSERT_EQ(r.notes.Lyrics, QStringList({"a", "b", "R", "c"}));
    const QStringList b = SplitNoteExt(r.notes.NoteExt[1]);
    EXPECT_EQ(b[ExtIntensity], "90");
    EXPECT_EQ(b[ExtModulation], "20");
    EXPECT_EQ(b[ExtFlags], "g-2");
    // An octave up doubles start and width; start + width is held within half of this note (480
    // internal ticks at 120 bpm: 62.5 ms).
    EXPECT_EQ(GetNoteOption(r.notes.NoteExt[1], "PBS"), "-80");
    EXPECT_EQ(GetNoteOption(r.notes.NoteExt[1], "PBW"), "142");
    EXPECT_EQ(GetNoteOption(r.notes.NoteExt[1], "env"), s.DefaultEnv);
    EXPECT_EQ(GetNoteOption(r.notes.NoteExt[0], "VBR"), "65 180 35");  // option values hold blanks
    EXPECT_EQ(GetNoteOption(r.notes.NoteExt[1], "VBR"), "");  // no longer than the exclusion
    // Rests keep what the file gave them.
    EXPECT_EQ(GetNoteOption(r.notes.NoteExt[2], "env"), "");
    EXPECT_EQ(NoteExtField(r.notes.NoteExt[2], ExtIntensity), "64");
}

TEST(VsqReader, DamagedFilesAreRefusedAndChangeNothing) {
    RestoreSettings restore;
    for (const HostileVsq& h : hostileVsqFiles()) {
        SCOPED_TRACE(h.what);
        Bytes in(h.data);
        NoteArrays notes = song({{"keep", 480, 36, "e"}});
        float tempo = 133.0f;
        qint16 track = 2;
        const qint32 r = ReadVsqFile(in, tempo, notes, track);
        EXPECT_LE(r, 0);
        EXPECT_EQ(notes.Lyrics, QStringList({"keep"}));
        EXPECT_EQ(notes.NoteExt, QStringList({"e"}));
        EXPECT_FLOAT_EQ(tempo, 133.0f);
    }
}

TEST(VsqReader, ATabInAValueDoesNotSplitTheExtension) {
    RestoreSettings restore;
    const QByteArray text = vsqText({{0, 480, 60, "a"}, {1000, 480, 60, "b"}}).replace("Dynamics=64", "Dynamics=64\tx");
    const Read r = read(vsqFile({text}));
    ASSERT_EQ(r.notes.Lyrics, QStringList({"a", "R", "b"}));
    for (const QString& ext : r.notes.NoteExt) EXPECT_EQ(ext.count(u'\t'), 5) << ext.toStdString();
    EXPECT_EQ(NoteExtField(r.notes.NoteExt[1], ExtIntensity), "64 x");
    EXPECT_EQ(GetNoteOption(r.notes.NoteExt[0], "tempo"), "120.00");
}
