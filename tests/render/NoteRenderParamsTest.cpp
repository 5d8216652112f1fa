#include "render/NoteRenderParams.h"

#include "song/Song.h"

#include <gtest/gtest.h>

namespace tova {
namespace {

Song tempoSong() {
    Song song;
    song.Tempo = 120;
    song.resizeNotes(7);
    song.NoteExt = {u"\t\t\t\t\ttempo=100"_qs,
                    u""_qs,
                    u"\t\t\t\t\ttempo=0"_qs,     // unusable: counts as absent
                    u"\t\t\t\t\ttempo=-5"_qs,
                    u"\t\t\t\t\ttempo=abc"_qs,
                    u"\t\t\t\t\tlabel=x\\ntempo=140.5"_qs,
                    u"\t\t\t\t\tmytempo=90"_qs};  // another key: not a tempo option
    for (int i = 0; i < 7; ++i) song.Lyrics[i] = u"あ"_qs;
    return song;
}

TEST(NoteRenderParams, FindTempoAtTable) {
    const Song song = tempoSong();
    const struct {
        qint32 index;
        float tempo;
    } cases[] = {{-5, 120}, {-1, 120}, {0, 100}, {1, 100}, {2, 100}, {3, 100}, {4, 100}, {5, 140.5f}, {6, 140.5f}, {7, 120}, {40000, 120}};
    for (const auto& c : cases) {
        float tempo = -1;
        FindTempoAt(song, c.index, tempo);
        EXPECT_FLOAT_EQ(tempo, c.tempo) << c.index;
    }
    float tempo = 0;
    FindTempoAt(Song{}, 0, tempo);  // an empty song: the project tempo
    EXPECT_FLOAT_EQ(tempo, 120);
}

TEST(NoteRenderParams, GetNoteTempoTable) {
    const Song song = tempoSong();
    const struct {
        qint32 index;
        float tempo;
    } cases[] = {{0, 77}, {1, 77}, {2, 77}, {3, 77}, {4, 77}, {5, 140.5f}, {6, 77}, {7, 77}, {-1, 77}};
    for (const auto& c : cases) {
        float tempo = 77;
        GetNoteTempo(song, c.index, tempo);
        EXPECT_FLOAT_EQ(tempo, c.tempo) << c.index;
    }
}

TEST(NoteRenderParams, ParseTempoFieldTable) {
    const struct {
        const char16_t* ext;
        float tempo;
        bool found;
    } cases[] = {
        {u"\t\t\t\t\ttempo=150", 150, true},
        {u"\t\t\t\t\tlabel=a\\ntempo=0", 120, true},
        {u"\t\t\t\t\ttempo=-3", 120, true},
        {u"\t\t\t\t\tmytempo=90", 90, true},  // anywhere in the option field
        {u"\t\t\t\t\tlabel=a", 55, false},
        {u"\t\t\t\ttempo=150", 55, false},   // fewer than six fields
    };
    for (const auto& c : cases) {
        float tempo = 55;
        bool found = !c.found;
        ParseTempoField(QString::fromUtf16(c.ext), tempo, found);
        EXPECT_FLOAT_EQ(tempo, c.tempo) << QString::fromUtf16(c.ext).toStdString();
        EXPECT_EQ(found, c.found);
    }
}

TEST(NoteRenderParams, ParseNoteParamFieldsTable) {
    const struct {
        const char16_t* ext;
        float tempo, stp;
        const char16_t* env;
    } cases[] = {
        {u"\t\t\t\t\tlabel=x\\ntempo=130\\nstp=12.5\\nenv=0 5 35 0 100 100 0\\nfoo=1", 130, 12.5f, u"0 5 35 0 100 100 0"},
        {u"\t\t\t\t\tenv=1 2 3", 90, 0, u"1 2 3"},
        {u"\t\t\t\t\tmystp=3\\nstp=5", 90, 3, u"old"},    // the first occurrence, inside a longer key
        {u"\t\t\t\t\ttempo=0\\nstp=1", 90, 1, u"old"},    // tempo 0 is no tempo
        {u"\t\t\t\t\tenv=\\nstp=2", 90, 2, u""},
        {u"\t\t\t\tstp=5", 90, 44, u"old"},               // fewer than six fields: nothing changes
    };
    for (const auto& c : cases) {
        float tempo = 90, stp = 44;
        QString env = u"old"_qs;
        ParseNoteParamFields(QString::fromUtf16(c.ext), tempo, stp, env);
        EXPECT_FLOAT_EQ(tempo, c.tempo) << QString::fromUtf16(c.ext).toStdString();
        EXPECT_FLOAT_EQ(stp, c.stp) << QString::fromUtf16(c.ext).toStdString();
        EXPECT_EQ(env, QString::fromUtf16(c.env));
    }
}

TEST(NoteRenderParams, SetNoteParamFieldsReplacesTheOptionList) {
    const struct {
        const char16_t* ext;
        float tempo, stp;
        const char16_t* env;
        const char16_t* result;
    } cases[] = {
        {u"50:20:100\t100\t0\tQ1\tB50\tlabel=x\\ntempo=99", 120, 0, u"", u"50:20:100\t100\t0\tQ1\tB50\ttempo=120.00"},
        {u"", 0, 12.5f, u"0 5 35 0 100 100 0", u"\t\t\t\t\tstp=12.5\\nenv=0 5 35 0 100 100 0"},
        {u"a\tb", 98.5f, -3, u"x", u"a\tb\t\t\t\ttempo=98.50\\nstp=-3\\nenv=x"},
        {u"a\tb\tc\td\te\tf\tg", 0, 0, u"", u"a\tb\tc\td\te\t"},
    };
    for (const auto& c : cases) {
        QString ext = QString::fromUtf16(c.ext);
        SetNoteParamFields(ext, c.tempo, c.stp, QString::fromUtf16(c.env));
        EXPECT_EQ(ext, QString::fromUtf16(c.result));
    }
}

TEST(NoteRenderParams, ParseLengthQTable) {
    const struct {
        const char16_t* pitches;
        float tempo;
        const char16_t* result;
    } cases[] = {
        {u"5Q120 1 2", 98.765f, u"5Q98.76 1 2"},
        {u"5Q120", 120, u"5Q120"},
        {u"Q", 150.5f, u"Q150.5"},
        {u"1 2 3", 100, u"1 2 3"},
        {u"", 100, u""},
        {u"0Q100 -5 -10", 0.004f, u"0Q0 -5 -10"},
    };
    for (const auto& c : cases) {
        QString pitches = QString::fromUtf16(c.pitches);
        ParseLengthQ(pitches, c.tempo);
        EXPECT_EQ(pitches, QString::fromUtf16(c.result));
    }
}

TEST(NoteRenderParams, NormalizeEnvelopeTable) {
    const struct {
        const char16_t* env;
        int32_t length;
        const char16_t* result;
    } cases[] = {
        {u"", 1000, u"0 5 35 0 100 100 0"},
        {u"a", 1000, u"0 a 35 0 100 100 0"},
        {u"a b", 1000, u"0 a b 0 100 100 0"},
        {u"1 2 3 4 5 6", 1000, u"0 1 2 0 100 100 0"},             // fewer than seven: only two kept
        {u"-3 -1 20 0 100 100 0", 1000, u"0 0 20 0 100 100 0"},
        {u"0 5 35 0 100 100 0", 30, u"0 5 12 0 100 100 0"},
        {u"10 20 100 0 100 100 0", 100, u"10 20 70 0 100 100 0"},
        {u"40 40 20 0 100 100 0", 80, u"32 32 16 0 100 100 0"},
        {u"0 5 35 0 100 100 0", 8, u"0 4 4 0 100 100 0"},
        {u"0 5 35 0 100 100 0", 12, u"0 5 5 0 100 100 0"},
        {u"0 5 35 0 100 100 0", 40, u"0 5 35 0 100 100 0"},       // exactly the length
        {u"10 20 57.5 0 100 100 0", 80, u"10 20 49.5 0 100 100 0"},  // 87.5 rounds to 88
        {u"0 5 35.5 0 100 100 0", 40, u"0 5 35.5 0 100 100 0"},   // 40.5 rounds to 40
        {u"0 5 35 0 100 100 0  10 10 50", 1000, u"0 5 35 0 100 100 0 % 10 10 50"},
        {u"0 5 35 0 100 100 0 % -5 10 50", 1000, u"0 5 35 0 100 100 0 % 0 10 50"},
        {u"0 5 35 0 100 100 0 % 10 10 50", 30, u"0 5 12 0 100 100 0 %"},
        {u"20 20 20 0 100 100 0 % 20 20 50", 80, u"16 16 16 0 100 100 0 % 16 16 50"},
        {u"10 10 50 0 100 100 0 % 10 10 50", 80, u"10 10 40 0 100 100 0 % 10 10 50"},
        {u"0 5 35 0 100 100 0 % 10", 1000, u"0 5 35 0 100 100 0 % 10"},
        {u"0 5 35 0 100 100 0 % 10 10 50 99", 1000, u"0 5 35 0 100 100 0 % 10 10 50"},
    };
    for (const auto& c : cases) {
        QString env = QString::fromUtf16(c.env);
        NormalizeEnvelope(env, c.length);
        EXPECT_EQ(env, QString::fromUtf16(c.result)) << QString::fromUtf16(c.env).toStdString() << " @" << c.length;
    }
}

}  // namespace
}  // namespace tova
