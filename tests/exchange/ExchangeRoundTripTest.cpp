// Songs through MIDI and VSQ files and back. MIDI files of several divisions, with tempo changes on
// rests and inside them, notes of no length, lyrics of control characters and short rests, are
// imported, exported and imported again: every note starts where the file and the song have it (within
// half a tick), the second import gives the same notes, rests, lyrics and tempos, and the exports read
// the same in a small MIDI reader of this test's own, written apart from the program's reader.
#include "core/Settings.h"
#include "exchange/midi/SmfReader.h"
#include "exchange/midi/SmfWriter.h"
#include "exchange/vsq/VsqReader.h"
#include "exchange/vsq/VsqWriter.h"
#include "platform/Cp932.h"
#include "platform/FakePorts.h"
#include "song/NoteExtension.h"
#include "NoteFixtures.h"
#include "SmfBuilder.h"
#include "SmfFixtures.h"

#include <QMap>

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include <gtest/gtest.h>

using namespace tova;
using namespace tova::test::smf;

namespace {

// ---- an independent reader: note-on ticks, lyrics and the tempo map of any format 0/1 file ----

struct PeerNote {
    qint64 tick;
    int key;
    QByteArray lyric;  // the last lyric event before the note-on in its track
};

struct PeerFile {
    int division = 0;
    QList<std::pair<qint64, quint32>> tempos;  // tick, microseconds per quarter note
    QList<PeerNote> notes;                     // note-ons with a velocity, in time order
    qint64 end = 0;                            // the latest end of track
};

PeerFile peerRead(const QByteArray& d) {
    qsizetype p = 0;
    const auto u8 = [&]() -> quint8 {
        if (p >= d.size()) throw std::out_of_range("read past the end");
        return quint8(d[p++]);
    };
    const auto be = [&](int n) {
        quint32 v = 0;
        for (int i = 0; i < n; ++i) v = v << 8 | u8();
        return v;
    };
    const auto vlq = [&] {
        quint32 v = 0;
        quint8 b = 0;
        do {
            b = u8();
            v = v << 7 | (b & 0x7F);
        } while (b & 0x80);
        return v;
    };
    PeerFile f;
    if (d.left(4) != "MThd") throw std::runtime_error("no header");
    p = 4;
    const quint32 headerLength = be(4);
    be(2);  // format
    const int tracks = int(be(2));
    f.division = int(be(2));
    p = 8 + headerLength;
    for (int t = 0; t < tracks; ++t) {
        if (d.mid(p, 4) != "MTrk") throw std::runtime_error("no track");
        p += 4;
        const qsizetype end = p + be(4);
        qint64 tick = 0;
        quint8 status = 0;
        QByteArray lyric;
        while (p < end) {
            tick += vlq();
            const quint8 b = u8();
            if (b & 0x80) status = b;
            else --p;  // running status
            if (status == 0xFF) {
                const quint8 type = u8();
                const qsizetype length = vlq();
                const QByteArray data = d.mid(p, length);
                p += length;
                if (type == 0x51) f.tempos.append({tick, quint32(quint8(data[0])) << 16 | quint8(data[1]) << 8 | quint8(data[2])});
                if (type == 0x05) lyric = data;
                if (type == 0x2F) f.end = std::max(f.end, tick);
            } else if (status == 0xF0 || status == 0xF7) {
                p += vlq();
            } else {
                const int kind = status & 0xF0;
                const quint8 key = u8();
                const quint8 value = kind == 0xC0 || kind == 0xD0 ? 0 : u8();
                if (kind == 0x90 && value > 0) f.notes.append({tick, key, lyric});
            }
        }
        p = end;
    }
    std::stable_sort(f.tempos.begin(), f.tempos.end(), [](auto& a, auto& b) { return a.first < b.first; });
    std::stable_sort(f.notes.begin(), f.notes.end(), [](auto& a, auto& b) { return a.tick < b.tick; });
    return f;
}

// Seconds from the file's start to a tick (500000 microseconds a beat before the first tempo).
double peerSeconds(const PeerFile& f, qint64 tick) {
    double s = 0, us = 500000;
    qint64 at = 0;
    for (const auto& [t, micro] : f.tempos) {
        if (t >= tick) break;
        s += double(t - at) / f.division * us / 1e6;
        at = t;
        us = micro;
    }
    return s + double(tick - at) / f.division * us / 1e6;
}

// ---- the song as the editor times it ----

struct Timed {
    qint64 start;   // internal ticks
    double second;  // at the tempo in force: the song's, then each `tempo` option from its note on
    double tempo;
};

QList<Timed> timing(const NoteArrays& n, double songTempo) {
    QList<Timed> out;
    qint64 start = 0;
    double second = 0, tempo = songTempo;
    for (qint32 i = 0; i < n.noteCount(); ++i) {
        const double own = GetNoteOption(n.NoteExt.value(i), QStringLiteral("tempo")).toDouble();
        if (own > 0) tempo = own;
        out.append({start, second, tempo});
        start += n.Lengths[i];
        second += n.Lengths[i] / 1920.0 * 60.0 / tempo;
    }
    out.append({start, second, tempo});  // the song's end
    return out;
}

QList<qint32> sungIndexes(const NoteArrays& n) {
    QList<qint32> out;
    for (qint32 i = 0; i < n.noteCount(); ++i)
        if (!IsRestLyric(n.Lyrics[i])) out << i;
    return out;
}

// Tempos are kept to hundredths of a beat a minute: over a song, a few hundredths of a millisecond a second.
double secondsTolerance(double s) { return 0.001 + s * 2e-4; }

// ---- the source files ----

struct SourceNote {
    qint64 start, length;
    int key;
    QByteArray lyric;  // empty: no lyric event
};

struct Source {
    int division;
    QList<std::pair<qint64, quint32>> tempos;
    QList<SourceNote> notes;
    qint64 end;
};

QByteArray build(const Source& s) {
    Track conductor;
    conductor.name("Control");
    qint64 at = 0;
    for (const auto& [tick, us] : s.tempos) {
        conductor.tempo(us, quint32(tick - at));
        at = tick;
    }
    conductor.end();
    struct Ev {
        qint64 tick;
        int order;  // note-offs before lyrics before note-ons at one tick; a note of no length ends at once
        QByteArray bytes;
    };
    QList<Ev> events;
    for (const SourceNote& n : s.notes) {
        if (!n.lyric.isEmpty()) events.append({n.start, 1, bytes({0xFF, 0x05, int(n.lyric.size())}) + n.lyric});
        events.append({n.start, 2, bytes({0x90, n.key, 100})});
        events.append({n.start + n.length, n.length == 0 ? 2 : 0, bytes({0x80, n.key, 0})});
    }
    std::stable_sort(events.begin(), events.end(),
                     [](const Ev& a, const Ev& b) { return a.tick != b.tick ? a.tick < b.tick : a.order < b.order; });
    Track voice;
    voice.name("Voice");
    at = 0;
    for (const Ev& e : events) {
        voice.raw(quint32(e.tick - at), e.bytes);
        at = e.tick;
    }
    voice.end(quint32(s.end - at));
    return file(1, s.division, {conductor, voice});
}

// A song of 48 notes at a division: lengths and gaps that fall between the internal ticks, gaps too
// short for a rest, tempo changes at the start of a rest, inside one and at a note-on, notes of no
// length and lyric events of nothing but a carriage return.
Source song(int division, unsigned seed) {
    unsigned r = seed;
    const auto next = [&r](unsigned n) {
        r = r * 1103515245u + 12345u;
        return (r >> 16) % n;
    };
    const QList<QByteArray> kana{Sa, Ku, Ra, QByteArray("\x82\xa0", 2)};
    Source s{division, {{0, 500000}}, {}, 0};
    qint64 t = qint64(next(unsigned(division)));
    for (int i = 0; i < 48; ++i) {
        SourceNote n{t, 1 + qint64(next(unsigned(2 * division))), 48 + int(next(24)), kana[qsizetype(next(4))]};
        if (i % 11 == 5) n.length = 0;                   // a note of no length
        if (i % 7 == 3) n.lyric = QByteArray("\r");      // a lyric of a control character only
        if (i % 13 == 8) n.lyric.clear();                // no lyric event: the last one goes on
        if (i % 9 == 4) s.tempos.append({t, 300000 + 10000 * quint32(next(60))});  // at a note-on
        s.notes.append(n);
        t += n.length;
        qint64 gap = 0;
        switch (next(4)) {
        case 0: gap = 0; break;
        case 1: gap = 1 + qint64(next(unsigned(std::max(1, division / 60)))); break;  // shorter than a rest
        default: gap = 1 + qint64(next(unsigned(division))); break;
        }
        if (gap > 0 && i % 5 == 2) s.tempos.append({t, 300000 + 10000 * quint32(next(60))});  // a rest's start
        if (gap > 2 && i % 6 == 1) s.tempos.append({t + gap / 2, 400000 + 5000 * quint32(next(60))});  // inside
        t += gap;
    }
    s.end = t + division;
    return s;
}

NoteArrays importMidi(const QByteArray& data, float& tempo) {
    Bytes in(data);
    NoteArrays notes;
    qint32 count = 0;
    tempo = 120.0f;
    EXPECT_GE(ImportSmfTrack(in, 2, count, tempo, notes), 0);
    return notes;
}

struct RestoreSettings {
    Settings saved = settings();
    RestoreSettings() { settings() = Settings{}; }
    ~RestoreSettings() { settings() = saved; }
};

}  // namespace

TEST(ExchangeRoundTrip, MidiFilesKeepTheirTimeThroughImportAndExport) {
    RestoreSettings restore;
    ScopedFakePorts ports;
    for (const int division : {96, 120, 384, 480, 1000}) {
        for (const unsigned seed : {1u, 7u, 23u}) {
            SCOPED_TRACE(testing::Message() << "division " << division << ", seed " << seed);
            const Source source = song(division, seed);
            const QByteArray original = build(source);
            const PeerFile peer = peerRead(original);

            // The import: one sung note for every note of some length, each where the file has it.
            float tempoA = 0;
            const NoteArrays a = importMidi(original, tempoA);
            const QList<Timed> ta = timing(a, tempoA);
            const QList<qint32> sungA = sungIndexes(a);
            QList<PeerNote> sounding;
            QByteArray lyric = QByteArray("\x82\xa0", 2);  // あ until a lyric comes
            for (qsizetype i = 0; i < source.notes.size(); ++i) {
                if (!source.notes[i].lyric.isEmpty() && source.notes[i].lyric != "\r") lyric = source.notes[i].lyric;
                if (source.notes[i].length > 0) sounding.append({source.notes[i].start, source.notes[i].key, lyric});
            }
            ASSERT_EQ(sungA.size(), sounding.size());
            for (qsizetype k = 0; k < sungA.size(); ++k) {
                const qint32 i = sungA[k];
                SCOPED_TRACE(testing::Message() << "note " << i);
                EXPECT_NEAR(double(ta[i].start), sounding[k].tick * 1920.0 / division, 0.5);
                EXPECT_NEAR(ta[i].second, peerSeconds(peer, sounding[k].tick), secondsTolerance(ta[i].second));
                EXPECT_EQ(Cp932::encode(a.Lyrics[i]), sounding[k].lyric);
                EXPECT_EQ(a.NoteNums[i], sounding[k].key - 24);
            }
            EXPECT_NEAR(double(ta.last().start), source.end * 1920.0 / division, 0.5) << "the song's end";

            // The export, read by the test's own reader: every note within half a tick of the song's.
            const QByteArray exported = SmfFileBytes(tempoA, {}, a, QString(), {});
            const PeerFile out = peerRead(exported);
            ASSERT_EQ(out.notes.size(), sungA.size());
            for (qsizetype k = 0; k < sungA.size(); ++k) {
                const qint32 i = sungA[k];
                SCOPED_TRACE(testing::Message() << "exported note " << i);
                EXPECT_LE(std::abs(double(out.notes[k].tick) * 4 - double(ta[i].start)), 2.0);
                EXPECT_NEAR(peerSeconds(out, out.notes[k].tick), ta[i].second, secondsTolerance(ta[i].second) + 0.0021);
                EXPECT_EQ(out.notes[k].lyric, Cp932::encode(a.Lyrics[i]));
            }
            EXPECT_LE(std::abs(double(out.end) * 4 - double(ta.last().start)), 2.0) << "the song's end";
            // The variants for other players put their notes on the same ticks.
            for (const char* mode : {"TM", "AQ"}) {
                const PeerFile variant = peerRead(SmfFileBytes(tempoA, {}, a, QString::fromLatin1(mode), {}));
                ASSERT_EQ(variant.notes.size(), out.notes.size()) << mode;
                for (qsizetype k = 0; k < out.notes.size(); ++k) EXPECT_EQ(variant.notes[k].tick, out.notes[k].tick) << mode;
                EXPECT_EQ(variant.end, out.end) << mode;
            }

            // Imported again: the same notes, rests, lyrics and tempos; a second export is the first.
            float tempoB = 0;
            const NoteArrays b = importMidi(exported, tempoB);
            EXPECT_FLOAT_EQ(tempoB, tempoA);
            ASSERT_EQ(b.noteCount(), a.noteCount());
            const QList<Timed> tb = timing(b, tempoB);
            for (qint32 i = 0; i <= a.noteCount(); ++i) {
                SCOPED_TRACE(testing::Message() << "element " << i);
                EXPECT_LE(std::abs(tb[i].start - ta[i].start), 2);
                if (i == a.noteCount()) break;  // the song's end
                EXPECT_EQ(IsRestLyric(b.Lyrics[i]), IsRestLyric(a.Lyrics[i]));
                if (!IsRestLyric(a.Lyrics[i])) EXPECT_EQ(b.Lyrics[i], a.Lyrics[i]);
                EXPECT_EQ(b.NoteNums[i], a.NoteNums[i]);
                EXPECT_DOUBLE_EQ(tb[i].tempo, ta[i].tempo);
            }
            // Exported again: the same notes at the same ticks and seconds.
            const PeerFile again = peerRead(SmfFileBytes(tempoB, {}, b, QString(), {}));
            ASSERT_EQ(again.notes.size(), out.notes.size());
            for (qsizetype k = 0; k < out.notes.size(); ++k) {
                EXPECT_EQ(again.notes[k].tick, out.notes[k].tick);
                EXPECT_EQ(again.notes[k].key, out.notes[k].key);
                EXPECT_EQ(again.notes[k].lyric, out.notes[k].lyric);
                EXPECT_NEAR(peerSeconds(again, again.notes[k].tick), peerSeconds(out, out.notes[k].tick), 1e-6);
            }
            EXPECT_EQ(again.end, out.end);
        }
    }
}

TEST(ExchangeRoundTrip, SongsKeepTheirTimeThroughVsqFiles) {
    RestoreSettings restore;
    ScopedFakePorts ports;
    const QString tempo = QStringLiteral("\t\t\t\t\ttempo=%1");
    // Lengths that fall between the file's ticks, short rests, lyrics with a trailing blank or ", ",
    // a tempo change on a rest.
    const NoteArrays songs[] = {
        test::notesOf({{"R", 481, 36, {}},
                       {QStringLiteral("あ "), 481, 48, {}},
                       {"R", 20, 36, {}},
                       {QStringLiteral("か, "), 483, 50, {}},
                       {"R", 36, 36, tempo.arg("90.00")},
                       {QStringLiteral("さ"), 1921, 52, {}},
                       {QStringLiteral("せ"), 480, 55, tempo.arg("150.00")},
                       {"R", 960, 36, {}}}),
        // A rest with a tempo change after a note whose end lies between file ticks: the tempo event
        // falls a tick after the end of the note's own length in the file.
        test::notesOf({{"R", 482, 36, {}},
                       {QStringLiteral("あ"), 481, 48, {}},
                       {"R", 960, 36, tempo.arg("90.00")},
                       {QStringLiteral("い"), 480, 50, {}}}),
        // Rests one after the other, the tempo changing at the second (as an import that cut a rest at a
        // change leaves them): one gap in the file, cut at the change again.
        test::notesOf({{QStringLiteral("た"), 480, 48, {}},
                       {" ", 960, 36, {}},
                       {"R", 960, 36, tempo.arg("60.00")},
                       {"R", 962, 36, tempo.arg("150.00")},
                       {QStringLiteral("ち"), 480, 50, {}}}),
        test::notesOf({{QStringLiteral("ら"), 1920, 48, {}},
                       {"R", 20, 36, {}},
                       {QStringLiteral("り"), 1920, 50, {}},
                       {"R", 36, 36, {}},
                       {QStringLiteral("る"), 1920, 52, {}}}),
    };
    for (const NoteArrays& s : songs) {
        SCOPED_TRACE(s.Lyrics.join(u'|').toStdString());
        const QList<Timed> ts = timing(s, 120.0);
        Bytes in(VsqFileBytes(120.0f, s));
        float tempo = 0;
        NoteArrays back;
        qint16 track = 2;
        ASSERT_GT(ReadVsqFile(in, tempo, back, track), 0);
        // After the measure of lead-in: every element where the song has it, within half a file tick.
        const QList<Timed> tb = timing(back, tempo);
        ASSERT_EQ(back.noteCount(), s.noteCount() + (IsRestLyric(s.Lyrics[0]) ? 0 : 1));
        const qint32 shift = back.noteCount() - s.noteCount();
        for (qint32 i = IsRestLyric(s.Lyrics[0]) ? 1 : 0; i < s.noteCount(); ++i) {
            SCOPED_TRACE(testing::Message() << "element " << i);
            EXPECT_EQ(IsRestLyric(back.Lyrics[i + shift]), IsRestLyric(s.Lyrics[i]));
            if (!IsRestLyric(s.Lyrics[i])) EXPECT_EQ(back.Lyrics[i + shift], s.Lyrics[i]);
            EXPECT_LE(std::abs(tb[i + shift].start - 7680 - ts[i].start), 2);
            EXPECT_NEAR(tb[i + shift].tempo, ts[i].tempo, 0.01);
        }
        EXPECT_LE(std::abs(tb.last().start - 7680 - ts.last().start), 2) << "the song's end";
    }
}

TEST(ExchangeRoundTrip, ANoteOfOneFileTickKeepsItsTickWhereverItStarts) {
    RestoreSettings restore;
    ScopedFakePorts ports;
    // A note of 4 internal ticks (one file tick) after a rest of every length that puts its ends on
    // other fractions of a file tick: both files sound it, and every later note keeps its time.
    for (qint32 lead = 1; lead <= 8; ++lead) {
        SCOPED_TRACE(testing::Message() << "after a rest of " << lead);
        const NoteArrays s = test::notesOf({{"R", lead, 36, {}},
                                            {QStringLiteral("あ"), 4, 48, {}},
                                            {QStringLiteral("い"), 480, 50, {}},
                                            {QStringLiteral("う"), 480, 52, {}}});
        const QList<Timed> ts = timing(s, 120.0);
        float tempo = 0;
        const NoteArrays midi = importMidi(SmfFileBytes(120.0f, {}, s, QString(), {}), tempo);
        Bytes in(VsqFileBytes(120.0f, s));
        NoteArrays vsq;
        qint16 track = 2;
        ASSERT_GT(ReadVsqFile(in, tempo, vsq, track), 0);
        for (const auto& [name, back, leadIn] : {std::tuple{"MIDI", midi, 0}, std::tuple{"VSQ", vsq, 7680}}) {
            SCOPED_TRACE(name);
            const QList<Timed> tb = timing(back, 120.0);
            const QList<qint32> sung = sungIndexes(back);
            EXPECT_EQ(sung.size(), 3);
            for (qsizetype k = 0; k < std::min<qsizetype>(sung.size(), 3); ++k) {
                const qint32 i = sung[k];
                EXPECT_EQ(back.Lyrics[i], s.Lyrics[k + 1]);
                EXPECT_GT(back.Lengths[i], 0);
                EXPECT_LE(std::abs(tb[i].start - leadIn - ts[k + 1].start), 2) << "note " << k;
            }
        }
    }
}
