// Damaged and hostile MIDI files: every one gives the format failure (an empty track list, -1 from the
// import and the read-back) and leaves the song as it was; seeded random damage to sound files never
// breaks the readers' promises.
#include "core/Settings.h"
#include "exchange/midi/SmfReader.h"
#include "platform/FakePorts.h"
#include "SmfFixtures.h"
#include "SmfHostileFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

using namespace tova;
using namespace tova::test::smf;

namespace {

NoteArrays someNotes() {
    NoteArrays n;
    n.resizeNotes(2);
    n.Lyrics = QStringList({"a", "b"});
    n.Lengths = {480, 960};
    n.NoteNums = {36, 38};
    n.NoteExt = QStringList({"e1", "e2"});
    return n;
}

bool sameNotes(const NoteArrays& a, const NoteArrays& b) {
    return a.Lyrics == b.Lyrics && a.Lengths == b.Lengths && a.NoteNums == b.NoteNums && a.NoteExt == b.NoteExt;
}

bool consistent(const NoteArrays& n) {
    const qsizetype c = n.Lyrics.size();
    if (c == 0) return n.Lengths.size() == 1 && n.NoteNums.size() == 1 && n.NoteExt.size() == 1;
    return n.Lengths.size() == c && n.NoteNums.size() == c && n.NoteExt.size() == c;
}

}  // namespace

TEST(SmfHostile, EveryDefectIsAFormatFailure) {
    ScopedFakePorts ports;
    for (const HostileFile& h : hostileFiles()) {
        SCOPED_TRACE(h.what);
        Bytes listIn(h.data);
        const QStringList list = ListSmfTracks(listIn);
        if (h.listable) EXPECT_EQ(list.size(), 2);
        else EXPECT_TRUE(list.isEmpty()) << list.join('|').toStdString();

        Bytes importIn(h.data);
        NoteArrays notes = someNotes();
        qint32 count = 2;
        float tempo = 133.0f;
        EXPECT_EQ(ImportSmfTrack(importIn, 2, count, tempo, notes), -1);
        EXPECT_EQ(count, 2);
        EXPECT_FLOAT_EQ(tempo, 133.0f);
        EXPECT_TRUE(sameNotes(notes, someNotes()));

        Bytes readIn(h.data);
        QStringList texts = {"t"};
        EXPECT_EQ(ReadSmfFile(tempo, texts, notes, readIn), -1);
        EXPECT_EQ(texts, QStringList({"t"}));
        EXPECT_FLOAT_EQ(tempo, 133.0f);
        EXPECT_TRUE(sameNotes(notes, someNotes()));
    }
    EXPECT_TRUE(ports.messageBox.shown.isEmpty()) << "none of these is a running-status fault";
}

TEST(SmfHostile, SeededRandomDamageKeepsTheReadersPromises) {
    ScopedFakePorts ports;
    struct Restore {
        Settings saved = settings();
        ~Restore() { settings() = saved; }
    } restore;
    settings().Mode2 = true;
    settings().Mode2VBR = "65";

    Track voice;
    voice.name("Voice A").bendRange(12).text("0000: offset=20 mod=30 tempo=130.00 env=0,5,35,0,100,100,0");
    voice.lyric(Sa).on(0, 60).bend(0, 100).bend(60, -300).off(420, 60).tempo(450000, 10);
    voice.text("0001: pitch=0Q130.00 1 2 3").lyric(Ku).on(50, 64).raw(240, bytes({67, 90})).raw(240, bytes({64, 0}));
    voice.raw(0, bytes({67, 0})).control(5, 7, 100).raw(0, bytes({0xF0, 0x02, 0x01, 0xF7})).on(0, 72, 80, 3);
    voice.off(480, 72, 3).end();
    Track zero;
    zero.tempo(600000).lyric(Ra).on(0, 60, 100, 2).raw(480, bytes({62, 90})).raw(480, bytes({62, 0})).end();
    const QList<QByteArray> seeds = {
        file(1, 480, {conductor(500000, {"@set tempo=120"}), voice, Track().name("third").on(0, 50).off(96, 50).end()}),
        file(0, 96, {zero}),
        file(1, 120, {conductor(400000), voice}),
    };

    std::mt19937 rng(20240611);
    auto pick = [&](int n) { return int(std::uniform_int_distribution<int>(0, n - 1)(rng)); };
    static const quint32 edges[] = {0u, 1u, 0x7Fu, 0x80u, 0xFFu, 0x7FFFu, 0x8000u, 0xFFFFu, 0x0FFFFFFFu, 0x7FFFFFFFu,
                                    0x80000000u, 0xFFFFFFFFu};
    int imported = 0, refused = 0;
    for (int round = 0; round < 3000; ++round) {
        QByteArray b = seeds[size_t(pick(int(seeds.size())))];
        const int steps = 1 + pick(4);
        for (int s = 0; s < steps; ++s) {
            const int at = b.isEmpty() ? 0 : pick(int(b.size()));
            switch (pick(6)) {
            case 0:
                if (!b.isEmpty()) b[at] = char(b[at] ^ (1 << pick(8)));
                break;
            case 1:
                if (!b.isEmpty()) b[at] = char(std::array<int, 6>{0, 0x2F, 0x51, 0x7F, 0x80, 0xFF}[size_t(pick(6))]);
                break;
            case 2: {
                const QByteArray v = be32(edges[size_t(pick(int(std::size(edges))))]);
                for (int k = 0; k < 4 && at + k < b.size(); ++k) b[at + k] = v[k];
                break;
            }
            case 3:
                b.truncate(at);
                break;
            case 4:
                b.insert(at, b.mid(pick(int(b.size()) + 1), 1 + pick(16)));
                break;
            default:
                b.remove(at, 1 + pick(8));
                break;
            }
        }

        Bytes listIn(b);
        const QStringList list = ListSmfTracks(listIn);
        ASSERT_LE(list.size(), 0x7FFF);
        for (qint16 track = 1; track <= 3; ++track) {
            Bytes in(b);
            NoteArrays notes = someNotes();
            qint32 count = 2;
            float tempo = 120;
            const qint32 r = ImportSmfTrack(in, track, count, tempo, notes);
            if (r < 0) {
                ++refused;
                ASSERT_EQ(r, -1);
                ASSERT_EQ(count, 2);
                ASSERT_TRUE(sameNotes(notes, someNotes())) << round;
            } else {
                ++imported;
                ASSERT_EQ(r, count);
                ASSERT_EQ(notes.noteCount(), count) << round;
                ASSERT_TRUE(consistent(notes));
                ASSERT_TRUE(std::all_of(notes.Lengths.begin(), notes.Lengths.end(), [](qint32 l) { return l >= 0; }))
                    << round;
                ASSERT_EQ(notes.Lyrics.mid(0, 2), QStringList({"a", "b"}));
                ASSERT_TRUE(tempo > 0 && std::isfinite(tempo)) << round;
            }
        }
        Bytes readIn(b);
        NoteArrays notes = someNotes();
        QStringList texts;
        float tempo = 120;
        const qint32 r = ReadSmfFile(tempo, texts, notes, readIn);
        ASSERT_GE(r, -1);
        ASSERT_TRUE(consistent(notes));
        ports.messageBox.shown.clear();
    }
    // The damage reaches both outcomes, so both kinds of promise were checked.
    EXPECT_GT(imported, 1000);
    EXPECT_GT(refused, 1000);
}
