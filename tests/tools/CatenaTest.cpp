// The concatenator: its length and envelope texts, how pieces are placed and mixed into the output's
// two parts, and that its program and library forms write the same bytes.
#include "CatenaFixtures.h"
#include "ToolText.h"
#include "platform/Cp932.h"
#include "platform/Errors.h"
#include "platform/lean/Failure.h"
#include "support/TestSupport.h"
#include "tools/catena/Catena.h"
#include "tools/catena/CatenaEnvelope.h"
#include "tools/catena/CatenaInput.h"
#include "tools/catena/CatenaLength.h"
#include "tools/catena/CatenaParts.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtEndian>

#include <cmath>
#include <dlfcn.h>

namespace tova {
namespace {

using test::catenaReadWave;
using test::catenaSine;
using test::catenaWaveBytes;
using test::readFile;
using test::writeFile;
using test::u8;

std::vector<std::string> words(const char* text) { return u8(QString::fromUtf8(text).split(u' ')); }

// The wave that a binary join of the two parts gives.
test::CatenaWaveCheck joined(const QString& output) {
    return catenaReadWave(readFile(output + ".whd") + readFile(output + ".dat"));
}

TEST(CatenaLengthTest, MillisecondsAndTicksAtTempoWithCorrection) {
    struct Row {
        const char* text;
        double ms;
    } rows[] = {
        {"530.5", 530.5},
        {"480@120.00+30.0", 530.0},  // a quarter note at 120 is 500 ms
        {"480@120.00-.5", 499.5},
        {"960@60.000+.0", 2000.0},
        {"240@98.765+12.25", 240 * 125 / 98.765 + 12.25},
        {"480@120", 500.0},
        {"480@0.00+30.0", 30.0},  // no tempo: only the correction
        {"", 0.0},
        {"abc", 0.0},
    };
    for (const Row& r : rows) EXPECT_NEAR(CatenaLength::milliseconds(r.text), r.ms, 1e-9) << r.text;
}

TEST(CatenaEnvelopeTest, VolumeAlongThePiece) {
    struct Row {
        const char* env;
        double length, time, volume;
    } rows[] = {
        // Short form: 0 % at the start, up to v2 over p2, down to 0 over p3 before the end.
        {"0 5 35 0 100 100 0", 100, 0, 0},
        {"0 5 35 0 100 100 0", 100, 2.5, 50},
        {"0 5 35 0 100 100 0", 100, 50, 100},
        {"0 5 35 0 100 100 0", 100, 82.5, 50},
        // Long form p1 p2 p3 v1 v2 v3 v4 % p4 p5 v5: P1 (10, 50), P2 (20, 100), P5 (40, 60),
        // P3 (170, 80), P4 (190, 40), end (200, 0).
        {"10 10 20 50 100 80 40 % 10 20 60", 200, 5, 25},
        {"10 10 20 50 100 80 40 % 10 20 60", 200, 15, 75},
        {"10 10 20 50 100 80 40 % 10 20 60", 200, 30, 80},
        {"10 10 20 50 100 80 40 % 10 20 60", 200, 105, 70},
        {"10 10 20 50 100 80 40 % 10 20 60", 200, 180, 60},
        {"10 10 20 50 100 80 40 % 10 20 60", 200, 195, 20},
        // Only two values, as a rest line gives: no fades at all.
        {"0 0", 100, 0, 100},
        {"0 0", 100, 99.9, 100},
        // v5 absent takes v2; p5 moves P5 only.
        {"0 10 0 0 80 100 100 0 0 10", 100, 15, 80},
        // Times longer than the piece: P3 is moved onto P5 at 80 ms.
        {"0 80 80 0 100 100 0", 100, 40, 50},
        {"0 80 80 0 100 100 0", 100, 90, 50},
        // Negative values count as 0.
        {"-5 10 0 -10 100 100 100", 100, 5, 50},
    };
    for (const Row& r : rows) {
        const CatenaEnvelope env(words(r.env));
        EXPECT_NEAR(env.volumeAt(r.time, r.length), r.volume, 1e-9) << r.env << " at " << r.time;
    }
    EXPECT_EQ(CatenaEnvelope(words("0 5 35 0 100 100 0 20")).overlapMs(), 20);
    EXPECT_EQ(CatenaEnvelope(words("0 5 35 0 100 100 0 %")).overlapMs(), 0);
    EXPECT_EQ(CatenaEnvelope(words("0 5 35 0 100 100 0 -15")).overlapMs(), -15);
    EXPECT_EQ(CatenaEnvelope(words("0 5 35 0 100 100 0")).overlapMs(), 0);
}

TEST(CatenaEnvelopeTest, ShapeGivesEverySampleTheVolumeAtItsTime) {
    // Shaping works stretch by stretch; each sample must still get exactly the volume of its own time.
    struct Row {
        const char* env;
        double length;
    } rows[] = {
        {"0 5 35 0 100 100 0", 250},
        {"0 5 35 0 100 100 0 12.5", 123.4567},       // an odd number of samples
        {"10 10 20 50 100 80 40 % 10 20 60", 200},   // long form, every stretch a slope
        {"0 10 10 0 50 50 0", 100},                  // a level stretch below 100
        {"0 10 10 0 250 250 0", 100},                // and above it
        {"0 10 10 0 0 0 0", 100},                    // silent throughout
        {"0 0 0 100 100 100 100", 50},               // full volume from start to end
        {"5 0 0 0 100 100 0", 30},                   // a step: two points at one time
        {"10 0 0 0 100 100 0", 20},                  // a step exactly at a sample's time (sample 441)
        {"0 80 80 0 100 100 0", 100},                // times past the end, moved onto the last
        {"0.01 0.02 0.03 30 60 90 10", 0.5},          // points closer than a sample
        {"", 0.0},
    };
    for (const Row& r : rows) {
        const CatenaEnvelope env(words(r.env));
        const std::size_t frames = std::size_t(Catena::toFrames(r.length));
        std::vector<double> samples(frames);
        for (std::size_t i = 0; i < frames; ++i) samples[i] = std::fmod(double(i) * 7919.37, 65536.0) - 32768.0;
        std::vector<double> expected = samples;
        for (std::size_t i = 0; i < frames; ++i)
            expected[i] *= env.volumeAt(double(i) * 1000.0 / CatenaEnvelope::SampleRate, r.length) / 100.0;
        env.shape(samples, r.length);
        for (std::size_t i = 0; i < frames; ++i) ASSERT_EQ(samples[i], expected[i]) << r.env << " sample " << i;
    }
}

class CatenaAppendTest : public ::testing::Test {
protected:
    QString path(const QString& name) const { return dir.filePath(name); }
    QString out() const { return path("out.wav"); }

    QTemporaryDir dir;
};

TEST_F(CatenaAppendTest, TwoPiecesOfHundredMsOverlappingTwentyGiveHundredEightyAndAValidWaveEachTime) {
    const auto sine = catenaSine(44100, 12000, 441);
    writeFile(path("a.wav"), catenaWaveBytes(sine, 1, 44100));
    const auto flat = words("0 0 0 100 100 100 100 20");

    Catena::append(u8(out()), u8(path("a.wav")), "0", "100", flat);
    auto first = joined(out());
    ASSERT_TRUE(first.valid) << first.problem.toStdString();
    EXPECT_EQ(first.channels, 1);
    EXPECT_EQ(first.rate, 44100);
    EXPECT_EQ(first.bits, 16);
    EXPECT_EQ(first.samples.size(), 4410u);
    EXPECT_EQ(readFile(out() + ".whd").size(), 44);

    Catena::append(u8(out()), u8(path("a.wav")), "0", "100", flat);
    auto second = joined(out());
    ASSERT_TRUE(second.valid) << second.problem.toStdString();
    ASSERT_EQ(second.samples.size(), 7938u);  // 180 ms
    // The second piece starts 20 ms (882 samples) before the first one's end and adds to its tail.
    for (std::size_t i = 0; i < second.samples.size(); ++i) {
        int expected = i < 4410 ? sine[i] : 0;
        if (i >= 3528) expected += sine[i - 3528];
        ASSERT_EQ(second.samples[i], std::clamp(expected, -32768, 32767)) << i;
    }
}

// A piece goes through input, envelope and mix a block at a time; across the block seams every sample
// is still the old sample plus the shaped input, rounded and saturated.
TEST_F(CatenaAppendTest, APieceOfManyBlocksMixesLikeOneStretch) {
    const auto sine = catenaSine(240000, 30000, 331);
    writeFile(path("long.wav"), catenaWaveBytes(sine, 1, 44100));
    Catena::append(u8(out()), u8(path("long.wav")), "0", "3000", words("0 0 0 100 100 100 100"));
    const auto sloped = words("500 1000 1500 10 180 60 20 1000 700 400 150");
    const double lengthMs = 5000.25;
    Catena::append(u8(out()), u8(path("long.wav")), "7.5", "5000.25", sloped);
    const auto result = joined(out());
    ASSERT_TRUE(result.valid) << result.problem.toStdString();
    const std::size_t start = 132300 - 44100;  // the second piece starts 1000 ms before the end
    const std::size_t frames = std::size_t(Catena::toFrames(lengthMs));
    ASSERT_GT(frames, std::size_t(3 * CatenaParts::MixBlockFrames));
    ASSERT_EQ(result.samples.size(), start + frames);
    const CatenaEnvelope env(sloped);
    for (std::size_t i = 0; i < result.samples.size(); ++i) {
        const double old = i < 132300 ? double(sine[i]) : 0.0;
        double added = 0;
        if (i >= start) {
            const std::size_t j = i - start, from = j + 331;  // 7.5 ms into the input
            const double in = from < sine.size() ? double(sine[from]) : 0.0;
            added = in * (env.volumeAt(double(j) * 1000.0 / CatenaEnvelope::SampleRate, lengthMs) / 100.0);
        }
        ASSERT_EQ(result.samples[i], qint16(std::clamp(std::round(old + added), -32768.0, 32767.0))) << i;
    }
}

TEST_F(CatenaAppendTest, MixingSaturatesAtTheSixteenBitLimits) {
    writeFile(path("hi.wav"), catenaWaveBytes(std::vector<qint16>(4410, 30000), 1, 44100));
    writeFile(path("lo.wav"), catenaWaveBytes(std::vector<qint16>(4410, -30000), 1, 44100));
    const auto flat = words("0 0 0 100 100 100 100 50");
    Catena::append(u8(out()), u8(path("hi.wav")), "0", "100", flat);
    Catena::append(u8(out()), u8(path("hi.wav")), "0", "100", flat);
    Catena::append(u8(path("neg.wav")), u8(path("lo.wav")), "0", "100", flat);
    Catena::append(u8(path("neg.wav")), u8(path("lo.wav")), "0", "100", flat);
    const auto hi = joined(out()).samples;
    const auto lo = joined(path("neg.wav")).samples;
    ASSERT_EQ(hi.size(), 6615u);
    EXPECT_EQ(hi[2204], 30000);
    EXPECT_EQ(hi[2205], 32767);
    EXPECT_EQ(hi[4409], 32767);
    EXPECT_EQ(hi[4410], 30000);
    EXPECT_EQ(lo[3000], -32768);
}

TEST_F(CatenaAppendTest, InputStretchMissingAndShortInputsCountAsSilence) {
    std::vector<qint16> ramp(441 * 20);  // 200 ms, each sample its own index
    for (std::size_t i = 0; i < ramp.size(); ++i) ramp[i] = qint16(i);
    writeFile(path("ramp.wav"), catenaWaveBytes(ramp, 1, 44100));
    writeFile(path("short.wav"), catenaWaveBytes(std::vector<qint16>(441, 1000), 1, 44100));
    writeFile(path("broken.wav"), QByteArray("RIFF....WAVEjunk"));

    struct Row {
        const char* name;
        QString input;
        const char* start;
        const char* length;
        std::size_t frames;
        std::function<int(std::size_t)> sample;
    } rows[] = {
        {"missing input", path("nothing.wav"), "0", "480@120.00+30.0", 23373, [](std::size_t) { return 0; }},
        {"unreadable input", path("broken.wav"), "0", "50", 2205, [](std::size_t) { return 0; }},
        {"short input", path("short.wav"), "0", "50", 2205, [](std::size_t i) { return i < 441 ? 1000 : 0; }},
        {"start point", path("ramp.wav"), "10", "20", 882, [](std::size_t i) { return int(i) + 441; }},
        {"start point past the end", path("ramp.wav"), "300", "20", 882, [](std::size_t) { return 0; }},
        {"negative start point", path("ramp.wav"), "-5", "20", 882,
         [](std::size_t i) { return i < 221 ? 0 : int(i) - 221; }},
        {"name with other case and separator", dir.path() + "\\RAMP.WAV", "0", "10", 441,
         [](std::size_t i) { return int(i); }},
    };
    int n = 0;
    for (const Row& r : rows) {
        const QString o = path(QStringLiteral("o%1.wav").arg(n++));
        Catena::append(u8(o), u8(r.input), r.start, r.length, words("0 0 0 100 100 100 100"));
        const auto w = joined(o);
        ASSERT_TRUE(w.valid) << r.name;
        ASSERT_EQ(w.samples.size(), r.frames) << r.name;
        for (std::size_t i = 0; i < r.frames; ++i) ASSERT_EQ(w.samples[i], r.sample(i)) << r.name << " sample " << i;
    }
}

TEST_F(CatenaAppendTest, APlainMonoWaveReadsAsTheSameSamplesInOtherLayouts) {
    // Plain 16-bit mono waves at 44100 Hz are read straight from the file (whole when they are small,
    // up to 1 MiB, else a stretch at a time); the same samples in layouts that go through the
    // sound-file library (stereo with both channels alike, an extra chunk after the data, a data size
    // beyond the end of the file) must read the same.
    for (const qint64 frames : {qint64(1001), qint64(524266), qint64(524267)}) {  // 1 MiB is 44 + 2 * 524266
        SCOPED_TRACE(frames);
        std::vector<qint16> mono(static_cast<std::size_t>(frames));
        for (std::size_t i = 0; i < mono.size(); ++i) mono[i] = qint16(qint64(i) * 7919 % 65536 - 32768);
        std::vector<qint16> stereo;
        for (qint16 s : mono) stereo.insert(stereo.end(), {s, s});
        writeFile(path("plain.wav"), catenaWaveBytes(mono, 1, 44100));
        writeFile(path("stereo.wav"), catenaWaveBytes(stereo, 2, 44100));
        writeFile(path("chunk.wav"), catenaWaveBytes(mono, 1, 44100) + QByteArray("LIST\4\0\0\0abcd", 12));
        QByteArray longer = catenaWaveBytes(mono, 1, 44100);
        qToLittleEndian<quint32>(quint32(mono.size() * 2 + 400), longer.data() + 40);
        writeFile(path("longer.wav"), longer);

        const struct {
            qint64 first, count;
        } stretches[] = {{0, frames},  {0, 7},          {3, 500},    {-5, 20},
                         {-2000, 10}, {frames - 6, 30}, {frames, 4}, {-3, frames + 9}};
        for (const auto& st : stretches) {
            const std::vector<double> plain = CatenaInput::read(u8(path("plain.wav")), st.first, st.count);
            ASSERT_EQ(plain.size(), std::size_t(st.count));
            for (qint64 k = 0; k < st.count; ++k) {
                const qint64 at = st.first + k;
                ASSERT_EQ(plain[std::size_t(k)], at >= 0 && at < frames ? double(mono[std::size_t(at)]) : 0.0)
                    << st.first << " + " << k;
            }
            for (const char* other : {"stereo.wav", "chunk.wav", "longer.wav"})
                EXPECT_EQ(CatenaInput::read(u8(path(other)), st.first, st.count), plain)
                    << other << " from " << st.first;
        }
    }
    // A folder is no sound: silence, as for a missing file.
    EXPECT_EQ(CatenaInput::read(u8(dir.path()), 0, 3), std::vector<double>(3, 0.0));
}

TEST_F(CatenaAppendTest, PlacesPiecesByOverlapGapAndLength) {
    writeFile(path("one.wav"), catenaWaveBytes(std::vector<qint16>(44100, 100), 1, 44100));
    struct Row {
        const char* overlap;
        const char* length;
        std::size_t frames;     // after the second call
        std::size_t silentFrom; // a silent gap [silentFrom, silentTo)
        std::size_t silentTo;
    } rows[] = {
        {"20", "100", 7938, 0, 0},
        {"-10", "100", 9261, 4410, 4851},  // a negative overlap leaves 10 ms of silence
        {"200", "100", 4410, 0, 0},        // never before the start of the output
        {"50", "10", 4410, 0, 0},          // a piece ending inside the tail leaves the length
        {"0", "0", 4410, 0, 0},
    };
    int n = 0;
    for (const Row& r : rows) {
        const QString o = path(QStringLiteral("p%1.wav").arg(n++));
        Catena::append(u8(o), u8(path("one.wav")), "0", "100", words("0 0 0 100 100 100 100"));
        Catena::append(u8(o), u8(path("one.wav")), "0", r.length, [&] {
            auto envelope = words("0 0 0 100 100 100 100");
            envelope.push_back(r.overlap);
            return envelope;
        }());
        const auto w = joined(o);
        ASSERT_TRUE(w.valid) << r.overlap;
        ASSERT_EQ(w.samples.size(), r.frames) << r.overlap;
        for (std::size_t i = r.silentFrom; i < r.silentTo; ++i) ASSERT_EQ(w.samples[i], 0) << i;
        if (r.silentTo) EXPECT_EQ(w.samples[r.silentTo], 100);
    }
}

TEST_F(CatenaAppendTest, OtherRatesAndChannelsAreConvertedToMonoAt44100) {
    // 22050 Hz stereo: a 441 Hz sine on the left, its negative plus 2000 on the right; the average is
    // a constant 1000.
    std::vector<qint16> stereo;
    for (qint16 s : catenaSine(22050, 8000, 441, 22050)) {
        stereo.push_back(s);
        stereo.push_back(qint16(2000 - s));
    }
    writeFile(path("st.wav"), catenaWaveBytes(stereo, 2, 22050));
    Catena::append(u8(out()), u8(path("st.wav")), "100", "200", words("0 0 0 100 100 100 100"));
    const auto w = joined(out());
    ASSERT_TRUE(w.valid);
    ASSERT_EQ(w.samples.size(), 8820u);
    for (std::size_t i = 0; i < w.samples.size(); ++i) ASSERT_NEAR(w.samples[i], 1000, 20) << i;
}

TEST_F(CatenaAppendTest, AStrayOddByteInTheDataPartIsDropped) {
    writeFile(out() + ".dat", QByteArray(4410 * 2 + 1, '\0'));
    Catena::append(u8(out()), u8(path("none.wav")), "0", "100", words("0 0"));
    const auto w = joined(out());
    ASSERT_TRUE(w.valid) << w.problem.toStdString();
    EXPECT_EQ(w.samples.size(), 8820u);
}

// Parts are found as the rest of the system finds files: a part whose name (or folder) is spelt in
// another letter case is the one appended to, and no second part is made beside it; a missing part
// is made in the folder as it exists on disk. Joining finds them the same way.
TEST_F(CatenaAppendTest, PartsUnderAnotherLetterCaseAreTheOnesAppendedTo) {
    writeFile(path("a.wav"), catenaWaveBytes(catenaSine(4410, 5000, 441), 1, 44100));
    QDir(dir.path()).mkdir("Sub");
    const struct {
        const char* output;             // as the caller names it
        const char* whd;                // the parts before, renamed from those of a first piece
        const char* dat;
        const char* expectedWhd;        // the parts after the second piece
        const char* expectedDat;
    } rows[] = {
        {"one.wav", "ONE.WAV.WHD", "One.wav.Dat", "ONE.WAV.WHD", "One.wav.Dat"},
        {"two.wav", "two.wav.whd", "TWO.wav.dat", "two.wav.whd", "TWO.wav.dat"},
        {"SUB/three.wav", "", "", "Sub/three.wav.whd", "Sub/three.wav.dat"},
        {"sub\\Four.wav", "Sub/four.WAV.whd", "", "Sub/four.WAV.whd", "Sub/Four.wav.dat"},
    };
    const auto flat = words("0 0 0 100 100 100 100");
    for (const auto& r : rows) {
        SCOPED_TRACE(r.output);
        if (*r.whd || *r.dat) {
            Catena::append(u8(path("first.wav")), u8(path("a.wav")), "0", "100", flat);
            if (*r.whd) ASSERT_TRUE(QFile::rename(path("first.wav.whd"), path(r.whd)));
            if (*r.dat) ASSERT_TRUE(QFile::rename(path("first.wav.dat"), path(r.dat)));
            QFile::remove(path("first.wav.whd"));
            QFile::remove(path("first.wav.dat"));
        }
        Catena::append(u8(dir.path() + "/" + r.output), u8(path("a.wav")), "0", "100", flat);
        const auto w = catenaReadWave(readFile(path(r.expectedWhd)) + readFile(path(r.expectedDat)));
        ASSERT_TRUE(w.valid) << w.problem.toStdString();
        EXPECT_EQ(w.samples.size(), *r.dat ? 8820u : 4410u);
        // No other spelling of the parts was made.
        const QString base = QString::fromUtf8(r.expectedDat).section(u'/', -1).chopped(4).toLower();
        QStringList parts;
        for (const QString& folder : {dir.path(), path("Sub")})
            for (const QString& name : QDir(folder).entryList(QDir::Files))
                if (name.toLower().startsWith(base + ".")) parts << name;
        EXPECT_EQ(parts.size(), 2) << parts.join(u' ').toStdString();

        Catena::appendFiles(u8(dir.path() + "/" + r.output + ".WHD"), u8(dir.path() + "/" + r.output + ".DAT"),
                            u8(path("joined.wav")));
        EXPECT_EQ(readFile(path("joined.wav")), readFile(path(r.expectedWhd)) + readFile(path(r.expectedDat)));
    }
}

TEST_F(CatenaAppendTest, AppendFilesJoinsBothPartsAndNeedsBoth) {
    writeFile(path("a.wav"), catenaWaveBytes(catenaSine(4410, 5000, 441), 1, 44100));
    Catena::append(u8(out()), u8(path("a.wav")), "0", "100", words("0 5 35 0 100 100 0"));
    Catena::appendFiles(u8(out() + ".whd"), u8(out() + ".dat"), u8(out()));
    EXPECT_EQ(readFile(out()), readFile(out() + ".whd") + readFile(out() + ".dat"));
    EXPECT_TRUE(catenaReadWave(readFile(out())).valid);

    QFile::remove(out() + ".dat");
    EXPECT_THROW(Catena::appendFiles(u8(out() + ".whd"), u8(out() + ".dat"), u8(path("other.wav"))), lean::Failure);
    EXPECT_FALSE(QFile::exists(path("other.wav")));
}

TEST_F(CatenaAppendTest, ProgramAndLibraryWriteTheSameBytes) {
    const QString bin = test::programFolder();
    void* lib = dlopen(QFile::encodeName(bin + "/catena2.so").constData(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(lib, nullptr) << dlerror();
    using Exec = int32_t (*)(const char*, const char*, const char*, const char*, const char*, const char*,
                             const char*, const char*, const char*, const char*, const char*, const char*,
                             const char*, const char*, const char*);
    using Join = int32_t (*)(const char*, const char*, const char*);
    auto exec = reinterpret_cast<Exec>(dlsym(lib, "exec"));
    auto join = reinterpret_cast<Join>(dlsym(lib, "append_files"));
    ASSERT_NE(exec, nullptr);
    ASSERT_NE(join, nullptr);

    const QString input = path(QStringLiteral("声.wav"));
    writeFile(input, catenaWaveBytes(catenaSine(44100, 9000, 330), 1, 44100));
    // Two calls: a note with a long-form envelope, then a second note overlapping it.
    const QList<QStringList> calls{
        QStringList{"12.5", "480@120.00+30.0", "0", "5", "35", "0", "100", "100", "0", "", "", "", ""},
        QStringList{"3", "240@98.765-.5", "10", "10", "20", "50", "100", "80", "40", "25", "10", "20", "60"},
    };
    const QString viaProgram = path("prog.wav");
    const QString viaLibrary = path("lib.wav");
    for (const QStringList& c : calls) {
        QProcess p;
        p.start(bin + "/catena", QStringList{viaProgram, input} + c);
        ASSERT_TRUE(p.waitForFinished(60000));
        ASSERT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();

        std::vector<QByteArray> texts{Cp932::encodeMarked(viaLibrary), Cp932::encodeMarked(input)};
        for (const QString& s : c) texts.push_back(Cp932::encodeMarked(s));
        ASSERT_EQ(exec(texts[0], texts[1], texts[2], texts[3], texts[4], texts[5], texts[6], texts[7], texts[8],
                       texts[9], texts[10], texts[11], texts[12], texts[13], texts[14]),
                  0);
    }
    ASSERT_EQ(join(Cp932::encodeMarked(viaLibrary + ".whd"), Cp932::encodeMarked(viaLibrary + ".dat"), Cp932::encodeMarked(viaLibrary)), 0);
    const QByteArray programBytes = readFile(viaProgram + ".whd") + readFile(viaProgram + ".dat");
    EXPECT_EQ(readFile(viaLibrary), programBytes);
    const auto w = catenaReadWave(programBytes);
    ASSERT_TRUE(w.valid);
    EXPECT_GT(w.samples.size(), 23000u);
    EXPECT_NE(w.samples[5000], 0);  // the input was found through both roads
    EXPECT_EQ(join("/nonexistent/a.whd", "/nonexistent/a.dat", Cp932::encodeMarked(path("x.wav"))), 1);
    dlclose(lib);
}

TEST(CatenaProgramTest, TooFewArgumentsIsAUsageError) {
    std::string errors;
    EXPECT_EQ(Catena::runProgram({"out.wav", "in.wav", "0"}, errors), 2);
    EXPECT_EQ(errors.rfind("usage:", 0), 0u);
}

}  // namespace
}  // namespace tova
