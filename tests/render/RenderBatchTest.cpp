#include "VoiceBankFixture.h"

#include "core/Processes.h"
#include "platform/Cp932.h"
#include "platform/Errors.h"
#include "platform/PathText.h"
#include "render/CacheFiles.h"
#include "render/MissingSampleMarks.h"
#include "render/RenderBatch.h"
#include "song/NoteExtension.h"
#include "song/Song.h"
#include "song/PitchCurves.h"
#include "song/PitchText.h"
#include "song/SongFakes.h"
#include "song/SongHost.h"
#include "render/RenderNoteTiming.h"

#include <QDir>

#include <gtest/gtest.h>

namespace tova::test {
namespace {

using namespace Qt::Literals::StringLiterals;

class RecordingMarks : public MissingSampleMarks {
public:
    QMap<qint32, bool> marks;
    void SetMissingSampleMark(qint32 noteIndex, bool missing) override { marks[noteIndex] = missing; }
};

class RenderBatchTest : public VoiceBankFixture {
protected:
    void SetUp() override {
        VoiceBankFixture::SetUp();
        useTempFolder();
        // あ a.wav, か sub\ka.wav (a sub-folder written with "\"), う u.aiff (no ".wav").
        put(u"bank/oto.ini"_s,
            "a.wav=\x82\xa0,10,60,-100,50,20\r\n"
            "sub\\ka.wav=\x82\xa9,5,40,-50,30,10\r\n"
            "u.aiff=\x82\xa4,0,20,0,20,5\r\n");
        put(u"bank/a.wav"_s, tinyWave());
        put(u"bank/sub/ka.wav"_s, tinyWave());
        put(u"bank/u.aiff"_s, tinyAiff());
        put(u"patch.wav"_s, tinyWave());
        bank = file(u"bank"_s);
        LoadOtoIni(bank);
    }

    void setSong(Song& song) const {
        song.ProjectName = u"song"_s;
        song.ProjectPath = file(u"song.tvx"_s);
        song.VoiceDir = bank;
        song.OutFile = u"out.wav"_s;
        song.CacheDir = file(u"song.cache"_s);
        song.Tool1 = u"catena"_s;
        song.Tool2 = u"vorsa"_s;
        song.ProjectFlags = u"g-5"_s;
        song.Tempo = 120;
    }
    static void add(Song& song, const QString& lyric, qint32 ticks, qint32 noteNum, const QString& ext) {
        const qint32 i = song.noteCount();
        song.resizeNotes(i + 1);
        song.Lyrics[i] = lyric;
        song.Lengths[i] = ticks;
        song.NoteNums[i] = noteNum;
        song.NoteExt[i] = ext;
    }

    // Rests, a tempo change to 150 and back, flags with E and e, an "@" option whose value holds "@",
    // velocities 200 and 0, a start point, an envelope, a ".aiff" sample, a sample in a sub-folder, a
    // $patch note, a $direct note and mode-2-style pitch data.
    void makeFixtureSong(Song& song) const {
        setSong(song);
        song.makeEmpty();
        add(song, u"R"_s, 960, 36, QString());
        add(song, u"あ"_s, 1920, 36, u"\t\t\t\tB50\t@foo=a@b"_s);
        add(song, u"か"_s, 1920, 38, u"\t80\t0\t\tE10 e\ttempo=150"_s);
        add(song, u"R"_s, 480, 38, QString());
        add(song, u"う"_s, 1920, 40, u"::200\t\t\t\t\tstp=10\\nenv=0 10 20 0 100 100 0"_s);
        add(song, u"あ"_s, 960, 36, u"40:5:\t\t\t\t\ttempo=120\\n$patch=patch.wav"_s);
        add(song, u"か"_s, 960, 38, u"\t\t\t\t\t$direct=1"_s);
        add(song, u"あ"_s, 1920, 36, u"::0\t\t\t5Q100 1 2\t\t"_s);
    }

    QString digest(const QString& sample, const char* note, const char* vel, const char* flags, const char* offset,
                   const char* required, const char* consonant, const char* cutoff, const char* intensity,
                   const char* modulation, const char* pitch) const {
        return CacheArgsDigest({bank + u'\\' + sample, QString::fromLatin1(note), QString::fromLatin1(vel),
                                u'"' + QString::fromLatin1(flags) + u'"', QString::fromLatin1(offset),
                                QString::fromLatin1(required), QString::fromLatin1(consonant),
                                QString::fromLatin1(cutoff), QString::fromLatin1(intensity),
                                QString::fromLatin1(modulation), QString::fromLatin1(pitch)});
    }

    // The lines of a file as written: CP932, each ended by CR LF.
    static QString lines(const QStringList& list) { return list.join(u"\r\n"_s) + u"\r\n"_s; }
    static QString readCp932(const QString& path) { return Cp932::decodeMarked(readFile(path)); }

    QString bank;
};

// The lines a batch of the fixture song begins with: its settings, then the deletion of an earlier
// output and of the parts an aborted run left.
QStringList batchHead(const QString& bank, const QString& cache, const QString& output = u"out.wav"_s) {
    return {
        u"@rem project=song"_s, u"@set tempo=120"_s, u"@set samples=44100"_s, u"@set oto="_s + bank,
        u"@set tool=catena"_s, u"@set vorsa=vorsa"_s, u"@set output="_s + output, u"@set helper=temp_helper.bat"_s,
        u"@set cachedir="_s + cache, u"@set flag=\"g-5\""_s, u"@set env=0 5 35 0 100 100 0"_s, u"@set stp=0"_s,
        u""_s, u"@del \"%output%\""_s, u"@del \"%output%.whd\""_s, u"@del \"%output%.dat\""_s,
    };
}

TEST_F(RenderBatchTest, GoldenBatchWithCacheAndTickLengths) {
    settings().CacheEnable = true;
    Song song;
    makeFixtureSong(song);
    QString out = song.OutFile;
    WriteRenderBatch(song, u"song"_s, file(u"temp.bat"_s), 0, 7, out);

    const QString d1 = digest(u"a.wav"_s, "C4", "100", "B50g-5", "10.0", "600", "60.0", "-100.0", "100", "100", "");
    const QString d2 = digest(u"sub\\ka.wav"_s, "D4", "100", "/E10/eg-5", "5.0", "500", "40.0", "-50.0", "80", "0", "");
    const QString d4 = digest(u"u.aiff"_s, "E4", "200", "g-5", "0.0", "450", "20.0", "0.0", "100", "100", "");
    const QString d5 = digest(u"a.wav"_s, "C4", "100", "g-5", "10.0", "300", "60.0", "-100.0", "100", "100", "");
    const QString d6 = digest(u"sub\\ka.wav"_s, "D4", "100", "g-5", "5.0", "250", "40.0", "-50.0", "100", "100", "");
    const QString d7 = digest(u"a.wav"_s, "C4", "0", "g-5", "10.0", "650", "60.0", "-100.0", "100", "100",
                              "!120 AFABAC");
    const QString expected = lines(batchHead(bank, file(u"song.cache"_s)) + QStringList{
        u"@mkdir \"%cachedir%\""_s,
        u""_s,
        // 0: a rest of 250 ms before あ (pre 50, overlap 20)
        u"\"%tool%\" \"%output%\" \"%oto%\\R.wav\" 0 240@120.00-30.0 0 0"_s,
        // 1: あ, 500 ms; next か pre 30, overlap 10: sounding 530, required 600
        u"@set params=100 100 "_s,
        u"@set flag=\"B50g-5\""_s,
        u"@set env=0 5 35 0 100 100 0 20"_s,
        u"@set vel=100"_s,
        u"@set temp=\"%cachedir%\\1_a_C4_600_"_s + d1 + u".wav\""_s,
        u"@set foo=a@b"_s,
        u"call %helper% \"%oto%\\a.wav\" C4 480@120.00+30.0 50 10.0 600 60.0 -100.0 1"_s,
        u"@set foo="_s,
        // 2: か at tempo 150, 400 ms, before a rest
        u"@set params=80 0 "_s,
        u"@set flag=\"/E10/eg-5\""_s,
        u"@set tempo=150"_s,
        u"@set env=0 5 35 0 100 100 0 10"_s,
        u"@set vel=100"_s,
        u"@set temp=\"%cachedir%\\2_sub_ka_D4_500_"_s + d2 + u".wav\""_s,
        u"call %helper% \"%oto%\\sub\\ka.wav\" D4 480@150.00+30.0 30 5.0 500 40.0 -50.0 2"_s,
        // 3: a rest of 100 ms before う (velocity 200: pre 10, overlap 2.5)
        u"\"%tool%\" \"%output%\" \"%oto%\\R.wav\" 0 120@150.00-7.5 0 0"_s,
        // 4: う, velocity 200 halves pre, overlap and start point; next pre 40, overlap 5
        u"@set params=100 100 "_s,
        u"@set flag=\"g-5\""_s,
        u"@set env=0 10 20 0 100 100 0 2.5"_s,
        u"@set stp=5"_s,
        u"@set vel=200"_s,
        u"@set temp=\"%cachedir%\\4_u_E4_450_"_s + d4 + u".wav\""_s,
        u"call %helper% \"%oto%\\u.aiff\" E4 480@150.00-25.0 10 0.0 450 20.0 0.0 4"_s,
        // 5: $patch, back to tempo 120
        u"@set params=100 100 "_s,
        u"@set tempo=120"_s,
        u"@set env=0 5 35 0 100 100 0 5"_s,
        u"@set stp=0"_s,
        u"@set vel=100"_s,
        u"@set temp=\"%cachedir%\\5_a_C4_300_"_s + d5 + u".wav\""_s,
        u"@\"%tool%\" \"%output%\" \""_s + file(u"patch.wav"_s) + u"\" %stp% 270.0 %env%"_s,
        // 6: $direct; next あ at velocity 0: pre 100, overlap 40
        u"@set params=100 100 "_s,
        u"@set env=0 5 35 0 100 100 0 10"_s,
        u"@set vel=100"_s,
        u"@set temp=\"%cachedir%\\6_sub_ka_D4_250_"_s + d6 + u".wav\""_s,
        u"@\"%tool%\" \"%output%\" \"%oto%\\sub\\ka.wav\" 5.0 220.0 %env%"_s,
        // 7: あ at velocity 0, the last note, with pitch data stamped with tempo 120
        u"@set params=100 100 !120 AFABAC"_s,
        u"@set env=0 5 35 0 100 100 0 40"_s,
        u"@set vel=0"_s,
        u"@set temp=\"%cachedir%\\7_a_C4_650_"_s + d7 + u".wav\""_s,
        u"call %helper% \"%oto%\\a.wav\" C4 480@120.00+100.0 100 10.0 650 60.0 -100.0 7"_s,
        u""_s,
        u"@if not exist \"%output%.whd\" goto E"_s,
        u"@if not exist \"%output%.dat\" goto E"_s,
        u"copy /Y \"%output%.whd\" /B + \"%output%.dat\" /B \"%output%\""_s,
        u"del \"%output%.whd\""_s,
        u"del \"%output%.dat\""_s,
        u":E"_s,
    });
    EXPECT_EQ(readCp932(file(u"temp.bat"_s)), expected);
    EXPECT_EQ(readFile(file(u"temp.bat"_s)), Cp932::encodeMarked(expected));  // CP932 unless a path needs more
    EXPECT_EQ(readFile(file(u"temp_helper.bat"_s)), lines({
                                                         u"@if exist %temp% goto A"_s,
                                                         u"@if exist \"%cachedir%\\%9_*.wav\" del \"%cachedir%\\%9_*.wav\""_s,
                                                         u"@\"%vorsa%\" %1 %temp% %2 %vel% %flag% %5 %6 %7 %8 %params%"_s,
                                                         u":A"_s,
                                                         u"@\"%tool%\" \"%output%\" %temp% %stp% %3 %env%"_s,
                                                     }).toLatin1());
    // The rendered notes' pitch data stays in the notes; nothing else changed but the output name.
    EXPECT_EQ(out, u"out.wav"_s);
    EXPECT_EQ(NoteExtField(song.NoteExt.at(7), ExtPitches), u"5Q100 1 2"_s);
}

TEST_F(RenderBatchTest, GoldenBatchWithoutCacheAndMillisecondLengths) {
    settings().OldTime = true;
    Song song;
    makeFixtureSong(song);
    QString out = song.OutFile;
    WriteRenderBatch(song, u"song"_s, file(u"temp.bat"_s), 0, 7, out);
    const QString expected = lines(batchHead(bank, file(u"song.cache"_s)) + QStringList{
        u""_s,
        u"\"%tool%\" \"%output%\" \"%oto%\\R.wav\" 0 220.0 0 0"_s,
        u"@set params=100 100 "_s,
        u"@set flag=\"B50g-5\""_s,
        u"@set env=0 5 35 0 100 100 0 20"_s,
        u"@set vel=100"_s,
        u"@set foo=a@b"_s,
        u"call %helper% \"%oto%\\a.wav\" C4 530.0 50 10.0 600 60.0 -100.0 1"_s,
        u"@set foo="_s,
        u"@set params=80 0 "_s,
        u"@set flag=\"/E10/eg-5\""_s,
        u"@set tempo=150"_s,
        u"@set env=0 5 35 0 100 100 0 10"_s,
        u"@set vel=100"_s,
        u"call %helper% \"%oto%\\sub\\ka.wav\" D4 430.0 30 5.0 500 40.0 -50.0 2"_s,
        u"\"%tool%\" \"%output%\" \"%oto%\\R.wav\" 0 92.5 0 0"_s,
        u"@set params=100 100 "_s,
        u"@set flag=\"g-5\""_s,
        u"@set env=0 10 20 0 100 100 0 2.5"_s,
        u"@set stp=5"_s,
        u"@set vel=200"_s,
        u"call %helper% \"%oto%\\u.aiff\" E4 375.0 10 0.0 450 20.0 0.0 4"_s,
        u"@set params=100 100 "_s,
        u"@set tempo=120"_s,
        u"@set env=0 5 35 0 100 100 0 5"_s,
        u"@set stp=0"_s,
        u"@set vel=100"_s,
        u"@\"%tool%\" \"%output%\" \""_s + file(u"patch.wav"_s) + u"\" %stp% 270.0 %env%"_s,
        u"@set params=100 100 "_s,
        u"@set env=0 5 35 0 100 100 0 10"_s,
        u"@set vel=100"_s,
        u"@\"%tool%\" \"%output%\" \"%oto%\\sub\\ka.wav\" 5.0 220.0 %env%"_s,
        u"@set params=100 100 !120 AFABAC"_s,
        u"@set env=0 5 35 0 100 100 0 40"_s,
        u"@set vel=0"_s,
        u"call %helper% \"%oto%\\a.wav\" C4 600.0 100 10.0 650 60.0 -100.0 7"_s,
        u""_s,
        u"@del temp$$$.wav"_s,
        u""_s,
        u"@if not exist \"%output%.whd\" goto E"_s,
        u"@if not exist \"%output%.dat\" goto E"_s,
        u"copy /Y \"%output%.whd\" /B + \"%output%.dat\" /B \"%output%\""_s,
        u"del \"%output%.whd\""_s,
        u"del \"%output%.dat\""_s,
        u":E"_s,
    });
    EXPECT_EQ(readCp932(file(u"temp.bat"_s)), expected);
    EXPECT_EQ(readFile(file(u"temp_helper.bat"_s)), lines({
                                                         u"@set temp=\"temp$$$.wav\""_s,
                                                         u"@\"%vorsa%\" %1 %temp% %2 %vel% %flag% %5 %6 %7 %8 %params%"_s,
                                                         u"@\"%tool%\" \"%output%\" %temp% %stp% %3 %env%"_s,
                                                     }).toLatin1());
}

TEST_F(RenderBatchTest, OnlyConcatHelperAppendsTheSampleItself) {
    settings().OnlyConcat = true;
    settings().CacheEnable = true;
    Song song;
    makeFixtureSong(song);
    QString out;
    WriteRenderBatch(song, u"song"_s, file(u"song.bat"_s), 1, 1, out);
    EXPECT_EQ(out, u"song.wav"_s);  // an empty output name is the batch's base name
    EXPECT_EQ(readFile(file(u"song_helper.bat"_s)), "@\"%tool%\" \"%output%\" %1 %5 %3 %env%\r\n");
    const QString bat = readCp932(file(u"song.bat"_s));
    EXPECT_TRUE(bat.contains(u"@set output=song.wav\r\n@set helper=song_helper.bat\r\n"_s));
    // A range starting after the first note is fitted to the note before it (a rest of 250 ms here).
    EXPECT_TRUE(bat.contains(u"call %helper% \"%oto%\\a.wav\" C4 480@120.00+30.0 50 10.0 600 60.0 -100.0 1\r\n"_s));
}

// The header and the tail of a batch with cache off and tick lengths, around some note lines.
QString plainBatch(const QString& bank, const QString& cache, const QStringList& notes, const QString& output = u"out.wav"_s) {
    QStringList all = batchHead(bank, cache, output);
    all << QString();
    all += notes;
    all += {u""_s, u"@del temp$$$.wav"_s, u""_s, u"@if not exist \"%output%.whd\" goto E"_s,
            u"@if not exist \"%output%.dat\" goto E"_s, u"copy /Y \"%output%.whd\" /B + \"%output%.dat\" /B \"%output%\""_s,
            u"del \"%output%.whd\""_s, u"del \"%output%.dat\""_s, u":E"_s};
    return all.join(u"\r\n"_s) + u"\r\n"_s;
}

// A batch the disk cannot take names the file and the reason (the full device stands in for a full disk).
TEST_F(RenderBatchTest, AFullDiskIsNamedWithTheFile) {
    if (!QFileInfo(u"/dev/full"_s).isWritable()) GTEST_SKIP() << "no /dev/full";
    Song song;
    setSong(song);
    song.makeEmpty();
    add(song, u"R"_s, 960, 36, QString());
    QString out = song.OutFile;
    try {
        WriteRenderBatch(song, u"song"_s, u"/dev/full"_s, 0, 0, out);
        ADD_FAILURE() << "no failure";
    } catch (const IoError& e) {
        EXPECT_EQ(e.description(), u"/dev/full: ディスクの空き領域が不足しています。"_s);
    }
}

TEST_F(RenderBatchTest, RestsOnlyAndEmptyRanges) {
    Song song;
    setSong(song);
    song.makeEmpty();
    add(song, u"R"_s, 960, 36, QString());
    add(song, u" r "_s, 1920, 36, u"::\t\t\t\t\ttempo=100"_s);
    QString out = song.OutFile;
    const QString bat = file(u"temp.bat"_s), helper = file(u"temp_helper.bat"_s);
    WriteRenderBatch(song, u"song"_s, bat, 0, 1, out);
    EXPECT_EQ(readCp932(bat), plainBatch(bank, song.CacheDir,
                                         {u"\"%tool%\" \"%output%\" \"%oto%\\R.wav\" 0 240@120.00+.0 0 0"_s,
                                          u"@set tempo=100"_s,
                                          u"\"%tool%\" \"%output%\" \"%oto%\\R.wav\" 0 480@100.00+.0 0 0"_s}));
    EXPECT_TRUE(QFile::exists(helper));

    // A range whose first note lies after its last: header and tail only.
    WriteRenderBatch(song, u"song"_s, bat, 1, 0, out);
    EXPECT_EQ(readCp932(bat), plainBatch(bank, song.CacheDir, {}));

    // Nothing at all for -1..-1 or a first note after the song.
    QFile::remove(bat);
    QFile::remove(helper);
    WriteRenderBatch(song, u"song"_s, bat, -1, -1, out);
    WriteRenderBatch(song, u"song"_s, bat, 2, 5, out);
    EXPECT_FALSE(QFile::exists(bat));
    EXPECT_FALSE(QFile::exists(helper));
    // Any other range that starts before the first note is refused, and nothing is written either.
    EXPECT_THROW(WriteRenderBatch(song, u"song"_s, bat, -1, 1, out), InvalidCallError);
    EXPECT_THROW(WriteRenderBatch(song, u"song"_s, bat, -2, -2, out), InvalidCallError);
    EXPECT_FALSE(QFile::exists(bat));
    EXPECT_FALSE(QFile::exists(helper));
}

TEST_F(RenderBatchTest, UnknownSamplesAndMissingSampleMarks) {
    // A suffix "L" at C4 makes あ look for "あL", which the bank does not have.
    put(u"bank/prefix.map"_s, "C4\t\tL\r\n");
    Song song;
    setSong(song);
    song.makeEmpty();
    add(song, u"ぬ"_s, 1920, 36, QString());
    add(song, u"あ"_s, 1920, 36, QString());
    QString out = song.OutFile;
    WriteRenderBatch(song, u"song"_s, file(u"temp.bat"_s), 0, 1, out);
    const QString plainRun = readCp932(file(u"temp.bat"_s));
    // No record: offset, consonant, cutoff, pre-utterance and overlap 0; still written.
    EXPECT_TRUE(plainRun.contains(u"@set params=100 100 \r\n@set vel=100\r\n"
                                  u"call %helper% \"%oto%\\ぬL.wav\" C4 480@120.00+.0 0 0.0 550 0.0 0.0 0\r\n"_s));
    EXPECT_TRUE(plainRun.contains(u"call %helper% \"%oto%\\あL.wav\" C4 "_s));

    // With the check on, あ falls back to its own record and sample; ぬ is marked.
    settings().CheckVoiceFile = true;
    RecordingMarks marks;
    marks.marks[1] = true;
    WriteRenderBatch(song, u"song"_s, file(u"temp.bat"_s), 0, 1, out, &marks);
    const QString checked = readCp932(file(u"temp.bat"_s));
    // (The check also lets the next note's timing come from あ's own record: pre 50, overlap 20.)
    EXPECT_TRUE(checked.contains(u"call %helper% \"%oto%\\ぬ.wav\" C4 480@120.00-30.0 0 0.0 500 0.0 0.0 0\r\n"_s));
    EXPECT_TRUE(checked.contains(u"call %helper% \"%oto%\\a.wav\" C4 480@120.00+50.0 50 10.0 600 60.0 -100.0 1\r\n"_s));
    EXPECT_EQ(marks.marks, (QMap<qint32, bool>{{0, true}, {1, false}}));
    EXPECT_EQ(Cp932::decodeMarked(readFile(file(u"temp.bat"_s))), checked);
}

TEST_F(RenderBatchTest, RepeatedValuesAreWrittenOnceAndFittingFollowsTheRange) {
    Song song;
    setSong(song);
    song.makeEmpty();
    const QString ext = u"30:0:\t\t\t\tY0\tenv=0 10 30 0 100 100 0 % 5 5 50"_s;
    add(song, u"ぬ"_s, 1920, 36, ext);
    add(song, u"ぬ"_s, 1920, 36, ext);
    QString out = song.OutFile;
    WriteRenderBatch(song, u"song"_s, file(u"temp.bat"_s), 0, 1, out);
    // Overlap 0: the marker becomes 0; the same envelope, flags and start point are not written again.
    EXPECT_EQ(readCp932(file(u"temp.bat"_s)),
              plainBatch(bank, song.CacheDir,
                         {u"@set params=100 100 "_s, u"@set flag=\"Y0g-5\""_s,
                          u"@set env=0 10 30 0 100 100 0 0 5 5 50"_s, u"@set vel=100"_s,
                          u"call %helper% \"%oto%\\ぬ.wav\" C4 480@120.00+.0 30 0.0 550 0.0 0.0 0"_s,
                          u"@set params=100 100 "_s, u"@set vel=100"_s,
                          u"call %helper% \"%oto%\\ぬ.wav\" C4 480@120.00+30.0 30 0.0 600 0.0 0.0 1"_s}));

    // A note after a sung note of 125 ms: pre 150 and overlap 25 are halved to fit; the start point
    // takes the cut. The first note of the song is never fitted; a range starting at note 1 is.
    Song fit;
    setSong(fit);
    fit.makeEmpty();
    add(fit, u"あ"_s, 480, 36, u"150:25:"_s);
    add(fit, u"あ"_s, 1920, 36, u"150:25:"_s);
    const QString fitted = u"@set env=0 5 35 0 100 100 0 12.5\r\n@set stp=75\r\n@set vel=100\r\n"
                           u"call %helper% \"%oto%\\a.wav\" C4 480@120.00+75.0 75 10.0 700 60.0 -100.0 1\r\n"_s;
    for (qint32 first : {0, 1}) {
        WriteRenderBatch(fit, u"song"_s, file(u"temp.bat"_s), first, 1, out);
        const QString text = readCp932(file(u"temp.bat"_s));
        EXPECT_TRUE(text.contains(fitted)) << first;
        if (first == 0) EXPECT_TRUE(text.contains(u"C4 120@120.00+87.5 150 10.0 250 "_s));
    }
}

TEST_F(RenderBatchTest, PitchCurvesAndExpressionAreConsumed) {
    settings().Mode2 = true;
    Song song;
    setSong(song);
    song.Mode2 = true;  // compute the mode-2 curves while writing
    song.makeEmpty();
    add(song, u"あ"_s, 1920, 36, u"\t\t\t\t\tPBS=-40\\nPBW=80\\nVBR=65 180 35 20 20 0 0 50"_s);
    add(song, u"あ"_s, 1920, 38, u"\t\t\t\t\tPBS=-40\\nPBW=80\\npitches=stale\\nexpression=1 2"_s);

    // What the two notes' curves come to, computed on a copy.
    Song copy = song;
    const RenderNoteTiming timing(120);
    ComputeNotePitch(0, copy, timing);
    const QString pitch0 = EncodePitchText(GetNoteOption(copy.NoteExt.at(0), u"pitches"_s));
    const QString expr0 = EncodePitchRun(EncodePitchList(GetNoteOption(copy.NoteExt.at(0), u"expression"_s)));
    SetNoteOption(copy.NoteExt[0], u"pitches"_s, QString());
    ComputeNotePitch(1, copy, timing);
    const QString pitch1 = EncodePitchText(GetNoteOption(copy.NoteExt.at(1), u"pitches"_s));
    ASSERT_TRUE(pitch0.startsWith(u"!120 "_s));
    ASSERT_FALSE(expr0.isEmpty());

    QString out = song.OutFile;
    WriteRenderBatch(song, u"song"_s, file(u"temp.bat"_s), 0, 1, out);
    const QString text = readCp932(file(u"temp.bat"_s));
    EXPECT_TRUE(text.contains(u"@set params=100 100 "_s + pitch0 + u"\r\n"_s));
    EXPECT_TRUE(text.contains(u"@set expression="_s + expr0 + u"\r\ncall %helper% "_s));
    EXPECT_TRUE(text.contains(u" 0\r\n@set expression=\r\n@set params=100 100 "_s + pitch1 + u"\r\n"_s));
    // Note 1 has no vibrato: the expression it already held is what goes to the batch.
    EXPECT_TRUE(text.contains(u"@set expression=ABAC\r\ncall %helper% \"%oto%\\a.wav\" D4 "_s));
    EXPECT_EQ(text.count(u"@set expression="_s), 4);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(GetNoteOption(song.NoteExt.at(i), u"pitches"_s), QString()) << i;
        EXPECT_EQ(GetNoteOption(song.NoteExt.at(i), u"expression"_s), QString()) << i;
        EXPECT_EQ(GetNoteOption(song.NoteExt.at(i), u"PBW"_s), u"80"_s) << i;
    }
}

TEST_F(RenderBatchTest, FileNamesFollowTheProjectPath) {
    const QString tmp = TempFolder;
    const struct {
        QString path, batch, cache;
    } cases[] = {
        {QString(), tmp + u"/temp.bat"_s, tmp + u"/temp.cache"_s},
        {file(u"song.tvx"_s), tmp + u"/temp.bat"_s, file(u"song.cache"_s)},
        {file(u"song.WSQ"_s), tmp + u"/temp.bat"_s, file(u"song.cache"_s)},
        {file(u"song.bat"_s), file(u"song.bat"_s), file(u"song.cache"_s)},
        {file(u"song"_s), file(u"song.bat"_s), file(u"song.cache"_s)},
        {file(u"song.txt"_s), file(u"song.txt.bat"_s), file(u"song.txt.cache"_s)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        Song song;
        setSong(song);
        song.makeEmpty();
        add(song, u"R"_s, 960, 36, QString());
        QString path = c.path;
        GetRenderFileNames(song, path);
        EXPECT_EQ(path, c.batch);
        EXPECT_EQ(song.CacheDir, c.cache);
        EXPECT_TRUE(QFile::exists(path));
        EXPECT_TRUE(QFile::exists(PathText::withoutExtension(path) + u"_helper.bat"_s));
        EXPECT_TRUE(readCp932(path).contains(u"@set cachedir="_s + c.cache + u"\r\n"_s));
    }

    // Completing the project and output names.
    const struct { const char16_t* before; const char16_t* after; } outputs[] = {
        {u"out", u"out.wav"}, {u"out.WAV", u"out.WAV"}, {u"out.mp3", u"out.mp3.wav"}, {u"a.b/out", u"a.b/out.wav"},
    };
    for (const auto& o : outputs) {
        Song song;
        setSong(song);
        FakeSongHost host(song);
        song.attach(&host, nullptr);
        song.ProjectName.clear();
        song.OutFile = QString::fromUtf16(o.before);
        add(song, u"R"_s, 960, 36, QString());
        QString path = song.ProjectPath;
        GetRenderFileNames(song, path);
        EXPECT_EQ(song.OutFile, QString::fromUtf16(o.after));
        EXPECT_EQ(song.ProjectName, u"song.tvx"_s);
        EXPECT_EQ(host.captionUpdates, 1);
        EXPECT_GE(host.noteDraws, 1);
        EXPECT_TRUE(readCp932(path).startsWith(u"@rem project=song.tvx\r\n"_s));
    }
}

TEST_F(RenderBatchTest, OlderHelpersGoAndFailuresReachTheCaller) {
    put(u"temp_helper_old.bat"_s, "x");
    put(u"temp_helper.bat"_s, "x");
    put(u"other_helper.bat"_s, "x");
    Song song;
    makeFixtureSong(song);
    QString out = song.OutFile;
    WriteRenderBatch(song, u"song"_s, file(u"temp.bat"_s), 0, 0, out);
    EXPECT_FALSE(QFile::exists(file(u"temp_helper_old.bat"_s)));
    EXPECT_TRUE(QFile::exists(file(u"other_helper.bat"_s)));
    EXPECT_EQ(readFile(file(u"temp_helper.bat"_s)).left(9), "@set temp");

    EXPECT_THROW(WriteRenderBatch(song, u"song"_s, file(u"missing/temp.bat"_s), 0, 7, out), FileError);
}

}  // namespace
}  // namespace tova::test
