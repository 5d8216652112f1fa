// How the note renderer is called: its argument forms, flags and pitch-curve texts, the frequency table
// it makes and keeps, the input formats it reads, its failures, and the program and library forms.

#include "tools/ToolText.h"
#include "tools/VorsaFixtures.h"

#include "core/FrqHeader.h"
#include "core/WaveFiles.h"
#include "platform/Cp932.h"
#include "song/PitchText.h"
#include "support/TestFlac.h"
#include "support/TestSupport.h"
#include "tools/vorsa/NoteRenderer.h"
#include "tools/vorsa/PitchCurve.h"
#include "tools/vorsa/PitchMarks.h"
#include "tools/vorsa/SampleCache.h"
#include "tools/vorsa/SampleFrequencyTable.h"
#include "tools/vorsa/RenderFlags.h"
#include "tools/vorsa/RenderRequest.h"
#include "tools/vorsa/SampleAudio.h"
#include "tools/vorsa/library/VorsaExec.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <dlfcn.h>
#include <sndfile.h>

#include <QtEndian>

#include <algorithm>
#include <cstring>
#include <cmath>
#include <limits>
#include <utility>

namespace tova::test::vorsa {
namespace {

using tova::vorsa::NoteRenderer;
using tova::vorsa::PitchCurve;
using tova::vorsa::RenderFlags;
using tova::vorsa::RenderRequest;
using tova::vorsa::SampleCache;
using tova::test::u8;

NoteRenderer::Outcome run(const QStringList& arguments, const NoteRenderer::Progress& progress = {}) {
    return NoteRenderer::run(RenderRequest::fromArguments(u8(arguments)), progress);
}

TEST(VorsaCall, ArgumentsOfEveryCaller) {
    struct Case {
        const char* caller;
        QStringList arguments;
        QString output, note, flags, pitch;
        double velocity, offset, length, consonant, cutoff, intensity, modulation;
        bool null;
    } cases[] = {
        {"render line", {"a.wav", "c.wav", "C4", "150", "g-5B40", "12.5", "650", "80", "-300", "90", "50", "!120", "AAAB#3#"},
         "c.wav", "C4", "g-5B40", "!120 AAAB#3#", 150, 12.5, 650, 80, -300, 90, 50, false},
        {"plain pitch list", {"a.wav", "c.wav", "C4", "100", "", "0", "500", "0", "0", "100", "100", "-50Q120", "0", "10"},
         "c.wav", "C4", "", "-50Q120 0 10", 100, 0, 500, 0, 0, 100, 100, false},
        {"one sample's table", {"a.wav", "/tmp/temp.wav", "100", "100", "GN", "0", "100"},
         "/tmp/temp.wav", "100", "GN", "", 100, 0, 100, 0, 0, 100, 100, false},
        {"whole bank's tables", {"a.wav", "nul", "100", "100", "GN0", "50"},
         "nul", "100", "GN0", "", 100, 50, 0, 0, 0, 100, 100, true},
        {"library table call", {"a.wav", "nul", "100", "100", "GN", "0", "100", "0", "0", "100", "0", "120", ""},
         "nul", "100", "GN", "120", 100, 0, 100, 0, 0, 100, 0, true},
        {"playback of a range", {"a.wav", "/tmp/temp.wav", "100", "100", "N", "250", "300"},
         "/tmp/temp.wav", "100", "N", "", 100, 250, 300, 0, 0, 100, 100, false},
        {"empty texts count as missing", {"a.wav", "NUL", "A4", "", "", "", "", "", "", "", ""},
         "NUL", "A4", "", "", 100, 0, 0, 0, 0, 100, 100, true},
    };
    for (const Case& c : cases) {
        const RenderRequest r = RenderRequest::fromArguments(u8(c.arguments));
        SCOPED_TRACE(c.caller);
        EXPECT_EQ(r.input, "a.wav");
        EXPECT_EQ(r.output, u8(c.output));
        EXPECT_EQ(r.note, u8(c.note));
        EXPECT_EQ(r.flags, u8(c.flags));
        EXPECT_EQ(r.pitch, u8(c.pitch));
        EXPECT_EQ(r.velocity, c.velocity);
        EXPECT_EQ(r.offset, c.offset);
        EXPECT_EQ(r.length, c.length);
        EXPECT_EQ(r.consonant, c.consonant);
        EXPECT_EQ(r.cutoff, c.cutoff);
        EXPECT_EQ(r.intensity, c.intensity);
        EXPECT_EQ(r.modulation, c.modulation);
        EXPECT_EQ(r.outputIsNull(), c.null);
    }
}

TEST(VorsaCall, FlagsText) {
    struct Case {
        const char* text;
        double g, b, y;
        bool n, regenerate;
    } cases[] = {
        {"", 0, 50, 100, false, false},
        {"g-5B40Y80", -5, 40, 80, false, false},
        {"g+20", 20, 50, 100, false, false},
        {"g200B-5Y101", 100, 0, 100, false, false},  // clamped to the ranges
        {"NG", 0, 50, 100, true, true},
        {"GN0", 0, 50, 100, true, true},
        {"/Ee5g10", 10, 50, 100, false, false},       // unknown letters and their numbers are skipped
        {"B", 0, 50, 100, false, false},              // a letter without a number takes its neutral value
        {"g-Y30", 0, 50, 30, false, false},           // a lone sign is no number
        {"b30n", 0, 50, 100, false, false},           // letters are case-sensitive
        {"g5g-7", -7, 50, 100, false, false},         // the last one wins
        {"B62.5", 0, 62.5, 100, false, false},
    };
    for (const Case& c : cases) {
        const RenderFlags f = RenderFlags::parse(c.text);
        SCOPED_TRACE(c.text);
        EXPECT_EQ(f.formantShift, c.g);
        EXPECT_EQ(f.breathiness, c.b);
        EXPECT_EQ(f.consonantVolume, c.y);
        EXPECT_EQ(f.formantsFollowPitch, c.n);
        EXPECT_EQ(f.remakeTable, c.regenerate);
    }
    EXPECT_DOUBLE_EQ(RenderFlags::parse("g100").formantFactor(), std::sqrt(2.0));
}

TEST(VorsaCall, PitchCurveForms) {
    struct Case {
        QString text;
        double step;
        std::vector<double> values;
    } cases[] = {
        {"", 256, {}},
        {EncodePitchText(QStringLiteral("-50Q120 0 0 0"), true), 230, {-50, 0, 0, 0}},
        {"!120 AAAB#3#", 230, {0, 1, 1, 1, 1}},
        {"-50Q100 10 20", 276, {-50, 10, 20}},
        {"5 10 15", 256, {5, 10, 15}},
        {"!120", 256, {}},           // a tempo without pairs
        {"!0 AB", 230, {1}},          // tempo 0 counts as 120
        {"7Qabc 1", 230, {7, 1}},     // so does a tempo that is not a number
    };
    for (const Case& c : cases) {
        const PitchCurve curve = PitchCurve::fromText(u8(c.text));
        SCOPED_TRACE(c.text.toStdString());
        EXPECT_EQ(curve.values(), c.values);
        if (!c.values.empty()) EXPECT_EQ(curve.step(), c.step);
    }
    // Entry 0 at output time 0, linear between entries, 0 past the list.
    const PitchCurve curve = PitchCurve::fromText("0Q120 100 200");
    struct Point {
        double sample, cents;
    } points[] = {{0, 0}, {115, 50}, {230, 100}, {460, 200}, {575, 100}, {690, 0}, {5000, 0}};
    for (const Point& p : points) EXPECT_DOUBLE_EQ(curve.centsAt(p.sample), p.cents) << p.sample;
    EXPECT_EQ(PitchCurve::fromText("").centsAt(1000), 0.0);
}

class VorsaFiles : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(folder_.isValid()); }
    QString path(const QString& name) const { return folder_.filePath(name); }
    QTemporaryDir folder_;
};

// Frequency of the frames of a table (every second value).
std::vector<double> tableFrequencies(const QVector<double>& frames) {
    std::vector<double> f;
    for (qsizetype i = 0; i < frames.size(); i += 2) f.push_back(frames[i]);
    return f;
}

TEST_F(VorsaFiles, FrequencyTableIsMadeOnceAndUsedAsEdited) {
    // 50 ms of silence, 600 ms of vowel, 50 ms of silence.
    std::vector<float> s(2205, 0.0f);
    const std::vector<float> v = voicedSample(220.0, 0.6);
    s.insert(s.end(), v.begin(), v.end());
    s.insert(s.end(), 2205, 0.0f);
    const QString sample = path("s.wav");
    writeWave16(sample, s);

    const QString cwdNul = QDir::current().filePath(QStringLiteral("nul"));
    ASSERT_EQ(run({sample, "nul", "100", "100", "GN0", "50"}).code, NoteRenderer::Ok);
    EXPECT_FALSE(QFileInfo::exists(cwdNul)) << "the null device is not a file";
    ASSERT_TRUE(QFileInfo::exists(path("s_wav.frq")));

    FrqHeader header;
    QVector<double> frames;
    ASSERT_TRUE(ReadFrqFile(header, frames, sample));
    EXPECT_EQ(header.signature, QByteArray("TOVAFRQ1"));
    EXPECT_EQ(header.reserved, 256);
    EXPECT_EQ(header.extra1, 44100.0);
    EXPECT_EQ(header.frameCount, static_cast<qint32>((s.size() + 255) / 256));
    EXPECT_NEAR(header.averageFreq, 220.0, 0.5);
    const std::vector<double> f = tableFrequencies(frames);
    EXPECT_EQ(f.front(), 55.0) << "silence has no pitch";
    EXPECT_EQ(f.back(), 55.0);
    for (size_t i = 20; i < 100; ++i) EXPECT_NEAR(f[i], 220.0, 1.0) << i;
    EXPECT_EQ(frames[1], 0.0) << "level of a silent frame";
    EXPECT_GT(frames[2 * 50 + 1], 1000.0) << "level of a voiced frame, 16-bit units";

    // The user edits the table: the second half of the vowel 200 cents up, the average kept.
    QVector<double> edited = frames;
    for (qsizetype i = 2 * 60; i < edited.size(); i += 2)
        if (edited[i] != 55.0) edited[i] = 220.0 * std::pow(2.0, 200.0 / 1200.0);
    ASSERT_TRUE(WriteFrqFile(header, edited, sample));
    QFile::remove(path("s_wav.bak"));
    const QByteArray editedBytes = readFile(path("s_wav.frq"));

    // A call without G uses the edited table, and leaves it alone.
    struct Case {
        const char* modulation;
        double firstHalfCents, secondHalfCents;
    } cases[] = {{"100", 0, 200}, {"50", 0, 100}, {"0", 0, 0}};
    for (const Case& c : cases) {
        ASSERT_EQ(run({sample, path("m.wav"), "A4", "100", "", "50", "600", "0", "-600", "100", c.modulation}).code, 0);
        const std::vector<float> out = readWave16(path("m.wav"));
        EXPECT_NEAR(cents(medianPitch(out, 2205, 10000), 440.0), c.firstHalfCents, 5.0) << c.modulation;
        EXPECT_NEAR(cents(medianPitch(out, 17000, 24000), 440.0), c.secondHalfCents, 5.0) << c.modulation;
    }
    EXPECT_EQ(readFile(path("s_wav.frq")), editedBytes);
    EXPECT_FALSE(QFileInfo::exists(path("s_wav.bak")));

    // G makes it anew; the edited table becomes the backup.
    ASSERT_EQ(run({sample, "nul", "100", "100", "G"}).code, NoteRenderer::Ok);
    EXPECT_EQ(readFile(path("s_wav.bak")), editedBytes);
    ASSERT_TRUE(ReadFrqFile(header, frames, sample));
    EXPECT_NEAR(tableFrequencies(frames)[90], 220.0, 1.0);
}

// A table holding values no voice has (1e308, infinity, NaN) is refused like a damaged one: it is made
// anew from the sample (the hostile table kept as the backup) and the note sounds without clicks.
TEST_F(VorsaFiles, FrequencyTableWithValuesNoVoiceHasIsMadeAnew) {
    const QString sample = path("h.wav");
    writeWave16(sample, voicedSample(220.0, 0.5));
    ASSERT_EQ(run({sample, "nul", "100", "100", "G"}).code, NoteRenderer::Ok);
    FrqHeader header;
    QVector<double> frames;
    ASSERT_TRUE(ReadFrqFile(header, frames, sample));
    const QByteArray madeBytes = readFile(path("h_wav.frq"));
    // The program writes no such table: its bytes are put in place of the values.
    const auto putDouble = [](QByteArray& bytes, qsizetype at, double value) {
        quint64 bits = 0;
        std::memcpy(&bits, &value, sizeof bits);
        qToLittleEndian(bits, bytes.data() + at);
    };
    const struct {
        const char* what;
        qsizetype at;
        double value;
    } cases[] = {
        {"a frame of 1e308 Hz", 2 * 40, 1e308},
        {"an infinite frame", 2 * 40, std::numeric_limits<double>::infinity()},
        {"a frame that is no number", 2 * 40, std::numeric_limits<double>::quiet_NaN()},
        {"an average of 1e308 Hz", -1, 1e308},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QByteArray hostileBytes = madeBytes;
        if (c.at < 0) putDouble(hostileBytes, 12, c.value);
        else
            for (qsizetype i = c.at; i < c.at + 20; i += 2) putDouble(hostileBytes, 40 + 8 * i, c.value);
        writeFile(path("h_wav.frq"), hostileBytes);
        QFile::remove(path("h_wav.bak"));
        ASSERT_EQ(run({sample, path("h_out.wav"), "A3", "100", "", "50", "400", "0", "0", "100", "0"}).code, 0);
        float peak = 0;
        for (const float v : readWave16(path("h_out.wav"))) peak = std::max(peak, std::fabs(v));
        EXPECT_LT(peak, 0.9f);
        EXPECT_EQ(readFile(path("h_wav.bak")), hostileBytes);
        FrqHeader remade;
        QVector<double> remadeFrames;
        ASSERT_TRUE(ReadFrqFile(remade, remadeFrames, sample));
        EXPECT_NEAR(remade.averageFreq, 220.0, 1.0);
        EXPECT_NEAR(remadeFrames[2 * 40], 220.0, 1.0);
    }
}

TEST_F(VorsaFiles, ProgressIsReportedAndStopStopsEverything) {
    const QString sample = path("p.wav");
    writeWave16(sample, voicedSample(220.0, 0.3));
    const int frames = (13230 + 255) / 256;

    std::vector<std::pair<int, int>> calls;
    auto record = [&](int kind, int value) {
        calls.emplace_back(kind, value);
        return 0;
    };
    ASSERT_EQ(run({sample, path("o.wav"), "A4"}, record).code, NoteRenderer::Ok);
    ASSERT_GE(calls.size(), 2u);
    EXPECT_EQ(calls.front(), std::make_pair(1, frames));
    EXPECT_EQ(calls.back(), std::make_pair(0, frames));
    for (size_t i = 2; i < calls.size(); ++i) EXPECT_GT(calls[i].second, calls[i - 1].second);

    calls.clear();
    ASSERT_EQ(run({sample, path("o.wav"), "A4"}, record).code, NoteRenderer::Ok);
    EXPECT_TRUE(calls.empty()) << "an existing table needs no estimation";

    // Stopping during a table run: no table, no note.
    QFile::remove(path("p_wav.frq"));
    QFile::remove(path("o.wav"));
    auto stopAtFirstProgress = [](int kind, int) { return kind == 0 ? -1 : 0; };
    EXPECT_EQ(run({sample, path("o.wav"), "A4"}, stopAtFirstProgress).code, NoteRenderer::Cancelled);
    EXPECT_FALSE(QFileInfo::exists(path("p_wav.frq")));
    EXPECT_FALSE(QFileInfo::exists(path("o.wav")));
}

// Writes a fixture through the sound-file library in a given format.
void writeWith(const QString& file, int format, int rate, int channels, const std::vector<float>& mono) {
    SF_INFO info{};
    info.samplerate = rate;
    info.channels = channels;
    info.format = format;
    SNDFILE* f = sf_open(QFile::encodeName(file).constData(), SFM_WRITE, &info);
    ASSERT_NE(f, nullptr) << sf_strerror(nullptr);
    std::vector<float> frames;
    for (float v : mono)
        for (int c = 0; c < channels; ++c) frames.push_back(c == 0 ? v : 0.5f * v);
    sf_writef_float(f, frames.data(), static_cast<sf_count_t>(mono.size()));
    sf_close(f);
}

// A plain 16-bit wave is read without the sound-file library, to the very values the library gives;
// whatever its length (the samples are converted in their own memory from 22 samples on).
TEST_F(VorsaFiles, PlainWavesReadAsTheSoundFileLibraryReadsThem) {
    std::vector<float> s = voicedSample(210.0, 0.2);
    s.push_back(1.0f);
    s.push_back(-1.0f);
    s.push_back(0.99997f);
    for (std::size_t length : {std::size_t(1), std::size_t(21), std::size_t(22), std::size_t(23), s.size()}) {
        SCOPED_TRACE(length);
        std::vector<float> part(s.end() - std::ptrdiff_t(length), s.end());
        const QString sample = path(QStringLiteral("plain%1.wav").arg(length));
        writeWave16(sample, part);
        std::vector<float> plain;
        ASSERT_TRUE(tova::vorsa::SampleAudio::load(u8(sample), plain));
        SF_INFO info{};
        SNDFILE* file = sf_open(QFile::encodeName(sample).constData(), SFM_READ, &info);
        ASSERT_NE(file, nullptr);
        std::vector<float> library(static_cast<size_t>(info.frames));
        ASSERT_EQ(sf_readf_float(file, library.data(), info.frames), info.frames);
        sf_close(file);
        EXPECT_EQ(plain, library);
    }
}

TEST_F(VorsaFiles, AnyCommonInputFormat) {
    struct Case {
        const char* name;
        int format, rate, channels;
    } cases[] = {
        {"u8.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_U8, 44100, 1},
        {"s24.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_24, 44100, 1},
        {"float.wav", SF_FORMAT_WAV | SF_FORMAT_FLOAT, 44100, 1},
        {"stereo.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 44100, 2},
        {"r48k.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 48000, 1},
        {"r22k.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 22050, 2},
        {"s16.aiff", SF_FORMAT_AIFF | SF_FORMAT_PCM_16, 44100, 1},
        {"s24.aiff", SF_FORMAT_AIFF | SF_FORMAT_PCM_24, 32000, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString sample = path(c.name);
        writeWith(sample, c.format, c.rate, c.channels, voicedSample(220.0, 0.5, c.rate));
        ASSERT_EQ(run({sample, path("out.wav"), "A4", "100", "", "0", "400", "0", "0", "100", "0"}).code, NoteRenderer::Ok);
        FrqHeader header;
        QVector<double> frames;
        ASSERT_TRUE(ReadFrqFile(header, frames, sample));
        EXPECT_EQ(header.frameCount, (22050 + 255) / 256) << "frames of the sample at 44100 Hz";
        EXPECT_NEAR(header.averageFreq, 220.0, 1.0);
        int rate = 0;
        const std::vector<float> out = readWave16(path("out.wav"), &rate);
        EXPECT_EQ(rate, 44100);
        ASSERT_EQ(out.size(), 17640u);
        EXPECT_NEAR(cents(medianPitch(out, 4410, 13230), 440.0), 0.0, 5.0);
    }
}

TEST_F(VorsaFiles, AnUnshiftedCallCutsThePieceUnchanged) {
    const QString sample = path("cut.wav");
    const std::vector<float> v = voicedSample(220.0, 1.0);
    writeWave16(sample, v);
    const std::vector<float> input = readWave16(sample);
    struct Case {
        const char* offset;
        const char* length;
        const char* cutoff;
        size_t from, count;  // samples of the input expected (zeros past its end)
    } cases[] = {
        {"250", "300", "0", 11025, 13230},
        {"900", "300", "0", 39690, 13230},     // runs past the end: silence
        {"100", "", "0", 4410, 39690},         // no length: to the end
        {"100", "", "200", 4410, 30870},       // no length: to the cutoff's end
        {"100", "", "-250", 4410, 11025},      // a negative cutoff counts from the offset
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.offset);
        ASSERT_EQ(run({sample, path("piece.wav"), "100", "100", "N", c.offset, c.length, "0", c.cutoff}).code, 0);
        const std::vector<float> out = readWave16(path("piece.wav"));
        ASSERT_EQ(out.size(), c.count);
        for (size_t i = 0; i < c.count; ++i) {
            const float expected = c.from + i < input.size() ? input[c.from + i] : 0.0f;
            ASSERT_EQ(out[i], expected) << i;
        }
    }
}

TEST_F(VorsaFiles, FailuresLeaveNoHalfWrittenFile) {
    const QString sample = path("ok.wav");
    writeWave16(sample, voicedSample(220.0, 0.3));
    writeFile(path("old.wav"), "previous note");
    writeFile(path("broken.wav"), "RIFF....WAVEjunk");

    EXPECT_EQ(run({}).code, NoteRenderer::BadArguments);
    EXPECT_EQ(run({sample}).code, NoteRenderer::BadArguments);
    EXPECT_EQ(run({path("missing.wav"), path("old.wav"), "A4"}).code, NoteRenderer::SampleUnreadable);
    EXPECT_EQ(run({path("broken.wav"), path("old.wav"), "A4"}).code, NoteRenderer::SampleUnreadable);
    EXPECT_EQ(readFile(path("old.wav")), QByteArray("previous note"));
    EXPECT_EQ(run({sample, path("old.wav"), "A4", "100", "", "0", "600000.1"}).code, NoteRenderer::BadArguments)
        << "longer than ten minutes";
    // Numbers no sample count can hold are refused before they are converted, with nothing written.
    for (const QStringList& hostile : {QStringList{sample, path("old.wav"), "A4", "100", "", "0", "1e308"},
                                       QStringList{sample, path("old.wav"), "A4", "100", "", "-1e300", "100"},
                                       QStringList{sample, path("old.wav"), "100", "100", "", "1e300", "100"},
                                       QStringList{sample, path("old.wav"), "A4", "100", "", "0", "", "1e200"},
                                       QStringList{sample, path("old.wav"), "A4", "100", "", "0", "100", "0", "1e10"}})
        EXPECT_EQ(run(hostile).code, NoteRenderer::BadArguments) << hostile.join(' ').toStdString();
    EXPECT_EQ(readFile(path("old.wav")), QByteArray("previous note"));
    EXPECT_EQ(run({sample, path("no/such/folder/x.wav"), "A4", "100", "", "0", "200"}).code, NoteRenderer::OutputFailed);
    EXPECT_FALSE(QFileInfo::exists(path("no")));

    // Hostile numbers render something sane: an offset past the end gives silence of the asked length,
    // a huge consonant or velocity with no length is cut to the longest note.
    ASSERT_EQ(run({sample, path("far.wav"), "A4", "100", "", "5000", "100"}).code, NoteRenderer::Ok);
    EXPECT_EQ(readWave16(path("far.wav")), std::vector<float>(4410, 0.0f));
    QFile::remove(path("far.wav"));
    ASSERT_EQ(run({sample, path("far.wav"), "A4", "-3000", "", "0", "", "100"}).code, NoteRenderer::Ok);
    EXPECT_EQ(readWave16(path("far.wav")).size(), static_cast<size_t>(NoteRenderer::kMaxOutputSamples));
    QFile::remove(path("far.wav"));

    ASSERT_EQ(run({sample, path("old.wav"), "A4", "100", "", "0", "200"}).code, NoteRenderer::Ok);
    EXPECT_EQ(readWave16(path("old.wav")).size(), 8820u);
    QStringList left = QDir(folder_.path()).entryList(QDir::Files);
    left.sort();
    EXPECT_EQ(left, QStringList({"broken.wav", "ok.wav", "ok_wav.frq", "old.wav"})) << "no temporary file stays";
}

// A sample that claims (or truly holds, compressed) more sound than any voice sample is refused with
// words, before anything is set aside for it; the old output stays.
TEST_F(VorsaFiles, SamplesBeyondTheLongestAreRefusedWithAReason) {
    writeFile(path("old.wav"), "previous note");
    const QString claiming = path("claiming.flac");
    ASSERT_TRUE(tova::test::writeSilentFlac(claiming, 44100, 0.5));
    ASSERT_TRUE(tova::test::claimFlacFrames(claiming, quint64(1) << 36));
    const QString longSilence = path("long.flac");
    ASSERT_TRUE(tova::test::writeSilentFlac(longSilence, 8000, tova::vorsa::SampleAudio::kMaxSampleSeconds + 2));
    for (const QString& sample : {claiming, longSilence}) {
        SCOPED_TRACE(sample.toStdString());
        const NoteRenderer::Outcome outcome = run({sample, path("old.wav"), "A4", "100", "", "0", "200"});
        EXPECT_EQ(outcome.code, NoteRenderer::SampleUnreadable);
        EXPECT_NE(outcome.message.find("seconds of sound"), std::string::npos) << outcome.message;
        EXPECT_EQ(readFile(path("old.wav")), QByteArray("previous note"));
    }
    // A long sample within the bound renders.
    const QString fine = path("fine.flac");
    ASSERT_TRUE(tova::test::writeSilentFlac(fine, 44100, 3));
    EXPECT_EQ(run({fine, path("out.wav"), "A4", "100", "", "0", "200"}).code, NoteRenderer::Ok);
}

int32_t countingCallback(int32_t kind, int32_t) {
    static int32_t starts = 0;
    if (kind == 1) ++starts;
    return kind == -99 ? starts : 0;  // kind -99 asks for the count (the renderer never sends it)
}
int32_t stoppingCallback(int32_t, int32_t) { return -1; }

TEST_F(VorsaFiles, ProgramAndLibraryGiveIdenticalBytes) {
    const QString program = QDir(programFolder()).filePath(QStringLiteral("vorsa"));
    const QString library = QDir(programFolder()).filePath(QStringLiteral("vorsa10.so"));
    ASSERT_TRUE(QFileInfo(program).isExecutable()) << program.toStdString();
    ASSERT_TRUE(QFileInfo::exists(library));
    void* handle = dlopen(QFile::encodeName(library).constData(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(handle, nullptr) << dlerror();
    auto exec = reinterpret_cast<VorsaExecFunction>(dlsym(handle, "exec"));
    ASSERT_NE(exec, nullptr);

    // A sample with a Japanese name: the program gets it as UTF-8, the library in code page 932.
    std::vector<float> s = noise(0.06, 0.05f);
    const std::vector<float> v = voicedSample(230.0, 0.7);
    s.insert(s.end(), v.begin(), v.end());
    const QString sample = path(QString::fromUtf8("あ.wav"));
    writeWave16(sample, s);
    auto call = [&](const QString& output) {
        return QStringList{sample, output, "G#4", "120", "Gg10B60Y80", "20", "550", "60", "-500", "90", "80",
                           EncodePitchText(QStringLiteral("0Q125 0 10 20 40 80 80 80 60 40"), true)};
    };
    // The command line: the compact pitch text is two arguments (its tempo and its pairs); the paths
    // stay whole whatever their folders hold.
    auto commandLine = [&](const QString& output) {
        QStringList a = call(output);
        const QString pitch = a.takeLast();
        return a + pitch.split(u' ');
    };

    QProcess process;
    process.start(program, commandLine(path("program.wav")));
    ASSERT_TRUE(process.waitForFinished(60000));
    ASSERT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();

    const QStringList a = call(path("library.wav"));
    QList<QByteArray> bytes;
    for (const QString& s : a) bytes << Cp932::encodeMarked(s);
    const QList<QByteArray> pitch = bytes.takeLast().split(' ');
    ASSERT_EQ(pitch.size(), 2);
    EXPECT_EQ(exec(bytes[0], bytes[1], bytes[2], bytes[3], bytes[4], bytes[5], bytes[6], bytes[7], bytes[8], bytes[9],
                   bytes[10], pitch[0], pitch[1], &countingCallback),
              0);
    EXPECT_EQ(countingCallback(-99, 0), 1) << "the G flag made one table run";

    const QStringList direct = commandLine(path("direct.wav"));
    ASSERT_EQ(run(direct).code, NoteRenderer::Ok);

    const QByteArray fromProgram = readFile(path("program.wav"));
    ASSERT_EQ(fromProgram.size(), 44 + 2 * 24255);
    EXPECT_EQ(readFile(path("library.wav")), fromProgram);
    EXPECT_EQ(readFile(path("direct.wav")), fromProgram);

    // The callback's answer stops the library call.
    EXPECT_EQ(exec(bytes[0], Cp932::encodeMarked(path("stopped.wav")), bytes[2], bytes[3], "G", "", "", "", "", "", "", "",
                   "", &stoppingCallback),
              NoteRenderer::Cancelled);
    EXPECT_FALSE(QFileInfo::exists(path("stopped.wav")));
    // A null callback is allowed; "nul" makes the table only.
    EXPECT_EQ(exec(bytes[0], "nul", "100", "100", "GN", "0", "100", "0", "0", "100", "0", "120", "", nullptr), 0);
    dlclose(handle);
}

// The marks for any stop are taken from one walk to the sample's end: the same marks as a walk that
// stopped there itself.
TEST(VorsaMarks, AWalkToTheEndServesEveryStop) {
    std::vector<float> s = noise(0.05, 0.05f);
    for (double f0 : {180.0, 260.0}) {
        const std::vector<float> v = voicedSample(f0, 0.25);
        s.insert(s.end(), v.begin(), v.end());
        s.insert(s.end(), 3000, 0.0f);
    }
    QTemporaryDir folder;
    const auto table = tova::vorsa::SampleFrequencyTable::obtain(s, u8(folder.filePath("m.wav")), true);
    for (double from : {-5000.0, 0.0, 700.5, 2205.0, 14000.25}) {
        const tova::vorsa::PitchMarks::Trace walk(s, table.pitch, from);
        for (double to : {-1.0, 100.0, 2300.0, 9000.7, 14100.0, 20000.0, double(s.size()) - 10, 1e9}) {
            const auto direct = tova::vorsa::PitchMarks(s, table.pitch, from, to).marks();
            const auto taken = tova::vorsa::PitchMarks(walk, table.pitch, to).marks();
            ASSERT_EQ(taken.size(), direct.size()) << from << " to " << to;
            for (size_t i = 0; i < direct.size(); ++i) {
                ASSERT_EQ(taken[i].position, direct[i].position) << from << " to " << to << " mark " << i;
                ASSERT_EQ(taken[i].left, direct[i].left);
                ASSERT_EQ(taken[i].right, direct[i].right);
                ASSERT_EQ(taken[i].voiced, direct[i].voiced);
            }
        }
    }
}

// The walk itself, pinned by a digest of every mark it made before it was made faster: voiced
// stretches gliding over an octave, very low fundamentals whose comparison windows reach past both
// ends of the sample, high ones, unvoiced gaps and noise, tiny samples, walks from inside and from
// before the start. Any change to a mark's position (even in its last bit) changes the digest.
TEST(VorsaMarks, TheWalkKeepsEveryMarkToTheLastBit) {
    using tova::vorsa::PitchMarks;
    using tova::vorsa::SamplePitch;
    struct Case {
        std::vector<float> signal;
        std::vector<double> frames;  // Hz per 256 samples, 0 = no fundamental
    };
    auto glide = [](std::size_t count, double from, double to) {
        std::vector<double> f(count);
        for (std::size_t i = 0; i < count; ++i) f[i] = from + (to - from) * double(i) / double(count - 1);
        return f;
    };
    std::vector<Case> cases;
    {
        std::vector<float> s = voicedSample(150.0, 0.3);
        const std::vector<float> n = noise(0.05, 0.1f, 3);
        s.insert(s.end(), n.begin(), n.end());
        const std::vector<float> v = voicedSample(290.0, 0.3);
        s.insert(s.end(), v.begin(), v.end());
        std::vector<double> f = glide(s.size() / 256 + 1, 140.0, 300.0);
        for (std::size_t i = 52; i < 62 && i < f.size(); ++i) f[i] = 0.0;
        cases.push_back({s, f});
    }
    cases.push_back({voicedSample(45.0, 0.2), std::vector<double>(40, 41.0)});
    cases.push_back({voicedSample(900.0, 0.1), glide(20, 850.0, 1000.0)});
    cases.push_back({noise(0.1, 0.3f, 7), std::vector<double>(20, 0.0)});
    cases.push_back({voicedSample(200.0, 0.005), std::vector<double>(1, 200.0)});
    cases.push_back({std::vector<float>(3000, 0.0f), std::vector<double>(12, 220.0)});

    QCryptographicHash digest(QCryptographicHash::Sha256);
    int marks = 0;
    for (const Case& c : cases) {
        const SamplePitch pitch(c.frames, 0.0);
        const double length = double(c.signal.size());
        for (double from : {-3000.0, 0.0, 777.25, length * 0.6}) {
            for (double to : {-1.0, length * 0.8}) {
                const PitchMarks walk(c.signal, pitch, from, to);
                for (const PitchMarks::Mark& m : walk.marks()) {
                    for (double v : {m.position, m.left, m.right})
                        digest.addData(QByteArrayView(reinterpret_cast<const char*>(&v), sizeof v));
                    digest.addData(QByteArrayView(m.voiced ? "v" : "u", 1));
                    ++marks;
                }
            }
        }
    }
    EXPECT_GT(marks, 1000);
    EXPECT_EQ(digest.result().toHex().toStdString(), "4056e1ba3da4a648a8c14ef9ef8807faf65992c9179f8047c3d1b3a8e35e48bc");
}

// A long-lived caller's cache gives the bytes of a fresh call, and is given up as soon as the sample
// or its table changes.
TEST_F(VorsaFiles, CachedSamplesGiveTheSameBytesUntilTheirFilesChange) {
    std::vector<float> s = noise(0.06, 0.05f);
    const std::vector<float> v = voicedSample(230.0, 0.7);
    s.insert(s.end(), v.begin(), v.end());
    const QString sample = path("c.wav");
    writeWave16(sample, s);
    const QStringList calls[] = {
        {sample, path("out.wav"), "G#4", "120", "g10B60Y80", "20", "550", "60", "-500", "90", "80"},
        {sample, path("out.wav"), "C4", "100", "", "20", "300", "60", "-500", "100", "100"},
        {sample, path("out.wav"), "A3", "200", "N", "20", "50", "60", "-500", "100", "0"},  // shorter than its consonant
        {sample, path("out.wav"), "D5", "80", "B20", "300", "800", "10", "0", "100", "100"},
        {sample, path("out.wav"), "100", "100", "", "20", "300"},
    };
    SampleCache cache;
    auto both = [&](const char* when) {
        for (const QStringList& call : calls) {
            SCOPED_TRACE(std::string(when) + " " + call.mid(2).join(' ').toStdString());
            ASSERT_EQ(run(call).code, NoteRenderer::Ok);
            const QByteArray fresh = readFile(path("out.wav"));
            for (int twice = 0; twice < 2; ++twice) {
                ASSERT_EQ(NoteRenderer::run(RenderRequest::fromArguments(u8(call)), {}, &cache).code, NoteRenderer::Ok);
                ASSERT_EQ(readFile(path("out.wav")), fresh);
            }
        }
    };
    both("first");
    const QByteArray before = readFile(path("out.wav"));

    FrqHeader header;
    QVector<double> frames;
    ASSERT_TRUE(ReadFrqFile(header, frames, sample));
    for (qsizetype i = 0; i < frames.size(); i += 2)
        if (frames[i] != 55.0) frames[i] *= 1.05;
    ASSERT_TRUE(WriteFrqFile(header, frames, sample));
    both("table edited");

    for (float& x : s) x *= 0.5f;
    writeWave16(sample, s);
    both("sample rewritten");
    EXPECT_NE(readFile(path("out.wav")), before);
}
}  // namespace
}  // namespace tova::test::vorsa
