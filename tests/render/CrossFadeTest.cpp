#include "VoiceBankFixture.h"

#include "core/Processes.h"
#include "platform/Vb.h"
#include "render/CacheFiles.h"
#include "render/CrossFade.h"
#include "song/NoteExtension.h"

#include <QVector>

#include <gtest/gtest.h>

namespace tova::test {
namespace {

using namespace Qt::Literals::StringLiterals;

class CrossFadeTest : public VoiceBankFixture {
protected:
    void SetUp() override {
        VoiceBankFixture::SetUp();
        savedTemp_ = TempFolder;
        TempFolder.clear();
        cache = file(u"song.cache"_s);
    }
    void TearDown() override {
        TempFolder = savedTemp_;
        VoiceBankFixture::TearDown();
    }

    static QByteArray wave(const QVector<qint16>& samples) {
        wave::WavSpec s;
        s.data = wave::pcm16(samples);
        return wave::makeWav(s);
    }
    // Deterministic noise: no two stretches of it look alike, so one alignment is clearly best.
    static QVector<qint16> noise(int count) {
        QVector<qint16> v(count);
        quint32 x = 12345;
        for (int k = 0; k < count; ++k) {
            x = x * 1103515245u + 12345u;
            v[k] = qint16(int((x >> 16) & 0x7fff) - 16384);
        }
        return v;
    }

    // Two notes at tempo 120: "x" (A4, 500 ms, pre-utterance 50) and "y" with the given timing field and
    // start point; overlap 20 ms, so the crossfade is 882 samples.
    static NoteArrays pair(const QString& secondTiming, const QString& secondOptions = u"stp=10"_s) {
        NoteArrays n;
        n.Lyrics = {u"x"_s, u"y"_s};
        n.Lengths = {1920, 960};
        n.NoteNums = {45, 47};
        n.NoteExt = {u"50:0:"_s, secondTiming + u"\t\t\t\t\t"_s + secondOptions};
        return n;
    }

    QString cache;

private:
    QString savedTemp_;
};

TEST_F(CrossFadeTest, StartPointMovesByTheLagOfTheRenderings) {
    // Note x's rendering is noise; note y's is the same noise placed so that the stretch of x where y's
    // sample starts (posA) lines up with y's samples from `align` on. The search covers half a period
    // (44100 / 440 Hz = 100 samples) on either side of the current start point.
    const struct {
        const char* what;
        QString timing;  // of note y
        qint64 posA;     // samples
        int startB;      // the current start point in samples
        int lag;         // where the renderings really line up, against the current start point
        double factor;   // note y's velocity factor
    } cases[] = {
        {"earlier", u"30:20:"_s, 22932, 441, -13, 1},          // posA = (50 + 500 - 30) ms
        {"later", u"30:20:"_s, 22932, 441, 25, 1},
        {"in place", u"30:20:"_s, 22932, 441, 0, 1},            // 10 ms again: "10.0"
        {"velocity 200", u"30:20:200"_s, 23594, 220, 7, 0.5},  // stp, pre, overlap halved: posA 535 ms
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const QVector<qint16> a = noise(26000);
        const int align = c.startB + c.lag;
        QVector<qint16> b(align + 2000);
        for (int k = 0; k < b.size(); ++k) {
            const qint64 ia = c.posA + k - align;
            b[k] = ia >= 0 && ia < a.size() ? a[ia] : 0;
        }
        put(u"song.cache/0_x_A4_600_0.wav"_s, wave(a));
        put(u"song.cache/1_y_B4_350_0.wav"_s, wave(b));
        NoteArrays notes = pair(c.timing);
        ASSERT_TRUE(OptimiseCrossFade(cache, 120, 120, 120, 0, notes));
        const double expected = align / 44100.0 * 1000.0 / c.factor;
        EXPECT_EQ(GetNoteOption(notes.NoteExt.at(1), u"stp"_s), Vb::Format(expected, u"0.0##"_s));
        EXPECT_EQ(notes.NoteExt.at(0), u"50:0:"_s);  // the first note is never changed
    }
}

TEST_F(CrossFadeTest, NothingChangesWithoutAUsablePair) {
    put(u"song.cache/0_x_A4_600_0.wav"_s, wave(QVector<qint16>(30000, 1000)));
    put(u"song.cache/1_y_B4_350_0.wav"_s, wave(QVector<qint16>(3000, -1000)));
    // Every score is negative: true, the start point stays.
    NoteArrays notes = pair(u"30:20:"_s);
    const QStringList before = notes.NoteExt;
    EXPECT_TRUE(OptimiseCrossFade(cache, 120, 120, 120, 0, notes));
    EXPECT_EQ(notes.NoteExt, before);

    // An overlap of 9.9 ms; the last note; a missing cache file; an unreadable one.
    NoteArrays shortOverlap = pair(u"30:9.9:"_s);
    EXPECT_FALSE(OptimiseCrossFade(cache, 120, 120, 120, 0, shortOverlap));
    EXPECT_FALSE(OptimiseCrossFade(cache, 120, 120, 120, 1, notes));
    EXPECT_FALSE(OptimiseCrossFade(cache, 120, 120, 120, -1, notes));
    NoteArrays other = pair(u"30:20:"_s);
    other.Lyrics[1] = u"z"_s;
    EXPECT_FALSE(OptimiseCrossFade(cache, 120, 120, 120, 0, other));
    put(u"song.cache/1_y_B4_350_0.wav"_s, "not a wave");
    EXPECT_FALSE(OptimiseCrossFade(cache, 120, 120, 120, 0, notes));
    EXPECT_EQ(notes.NoteExt, before);
    EXPECT_EQ(shortOverlap.NoteExt, pair(u"30:9.9:"_s).NoteExt);
}

TEST_F(CrossFadeTest, EnvelopesFadeOutAndIn) {
    const QString longEnv = u"0 5 35 0 100 100 0 % 5 5 50"_s;
    const struct {
        const char* what;
        QString envA, envB;
        float fade;
        bool longForm;
        QString afterA, afterB;
    } cases[] = {
        {"defaults", {}, {}, 40, false, u"0 5 40 0 100 100 0"_s, u"0 40 35 0 100 100 0"_s},
        {"long envelopes", longEnv, longEnv, 12.5f, false, u"0 5 12.5 0 100 100 0 % 0 5 50"_s,
         u"0 12.5 35 0 100 100 0 % 5"_s},
        {"long form", {}, {}, 40, true, u"0 5 5 0 100 100 100 % 40"_s, u"40 5 35 100 100 100 0"_s},
        {"long form over long envelopes", longEnv, longEnv, 30, true, u"0 5 5 0 100 100 100 % 30"_s,
         u"30 5 35 100 100 100 0 % 5 5 50"_s},
        {"too short", u"1 2 3 4 5 6 7"_s, {}, 9.9f, false, u"1 2 3 4 5 6 7"_s, {}},
        // Envelopes of fewer than seven values take the default's values at the places they lack.
        {"shortened envelopes", u"0 8"_s, u"2 9 20 50"_s, 30, false, u"0 8 30 0 100 100 0"_s, u"0 30 20 0 100 100 0"_s},
        {"shortened, long form", u"0 8"_s, u"2"_s, 30, true, u"0 8 5 0 100 100 100 % 30"_s, u"30 5 35 100 100 100 0"_s},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QStringList ext = {u"\t\t\t\t\tenv="_s + c.envA, u"\t\t\t\t\tenv="_s + c.envB};
        SetCrossFadeEnvelope(0, ext, c.fade, c.longForm);
        EXPECT_EQ(GetNoteOption(ext.at(0), u"env"_s), c.afterA);
        EXPECT_EQ(GetNoteOption(ext.at(1), u"env"_s), c.afterB);
    }
    // Only for a note with a next note.
    QStringList ext = {QString(), QString()};
    SetCrossFadeEnvelope(1, ext, 40);
    SetCrossFadeEnvelope(-1, ext, 40);
    EXPECT_EQ(ext, QStringList({QString(), QString()}));
}

TEST_F(CrossFadeTest, CacheFilesAreFoundByLyricSampleOrPrefixedSample) {
    // か is sub\ka.wav; with the suffix "L" at C4 it is kaL.wav.
    put(u"bank/oto.ini"_s,
        "sub\\ka.wav=\x82\xa9,5,40,-50,30,10\r\n"
        "kaL.wav=\x82\xa9L,0,0,0,0,0\r\n");
    put(u"bank/prefix.map"_s, "C4\t\tL\r\n");
    LoadOtoIni(file(u"bank"_s));
    LoadPrefixMap(file(u"bank"_s));
    put(u"song.cache/3_sub_ka_D4_550_0.wav"_s, "w");
    put(u"song.cache/4_kaL_C4_550_0.wav"_s, "w");
    put(u"song.cache/5_ぬ_C4_100_0.wav"_s, "w");
    put(u"song.cache/13_sub_ka_D4_550_0.wav"_s, "w");
    const struct {
        int index;
        const char16_t* lyric;
        int noteNum;
        QString found;
    } cases[] = {
        {3, u"か", 38, cache + u"/3_sub_ka_D4_550_0.wav"_s},   // the looked-up sample, sub-folder joined
        {3, u"?か", 38, cache + u"/3_sub_ka_D4_550_0.wav"_s},  // "?" makes no difference
        {4, u"か", 36, cache + u"/4_kaL_C4_550_0.wav"_s},      // the prefixed sample
        {5, u"ぬ", 36, cache + u"/5_ぬ_C4_100_0.wav"_s},        // the lyric itself
        {1, u"か", 38, QString()},
        {3, u"か", 40, QString()},                              // another note name
    };
    for (const auto& c : cases)
        EXPECT_EQ(FindNoteCacheFile(cache, c.index, QString::fromUtf16(c.lyric), c.noteNum), c.found) << c.index;
    // No folder and no temporary folder: nothing is looked for in the current folder.
    EXPECT_EQ(FindNoteCacheFile(QString(), 3, u"か"_s, 38), QString());
}

}  // namespace
}  // namespace tova::test
