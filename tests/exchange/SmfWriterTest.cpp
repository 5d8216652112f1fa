// The MIDI export: the plain file byte for byte against the tests' own builder, the note events of each
// variant read back event by event, the configuration lookups, refusals, and export -> import round
// trips of lyrics, lengths, note numbers, tempo changes and pitch.
#include "core/Settings.h"
#include "exchange/midi/SmfBytes.h"
#include "exchange/midi/SmfFile.h"
#include "exchange/midi/SmfFormatError.h"
#include "exchange/midi/SmfReader.h"
#include "exchange/midi/SmfWriter.h"
#include "platform/Cp932.h"
#include "platform/FakePorts.h"
#include "song/NoteExtension.h"
#include "NoteFixtures.h"
#include "SmfFixtures.h"
#include "support/TestSupport.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace tova;
using namespace tova::test::smf;

namespace {

NoteArrays song(const QList<test::NoteSpec>& list) { return test::notesOf(list); }

struct Event {
    qint32 delta;
    quint8 status, data1, data2;
    QByteArray bytes;
};

// The events of track `track` (1-based) of a file, read with the reader's event decoder.
QList<Event> events(const QByteArray& data, int track) {
    Bytes in(data);
    SmfFile file;
    file.open(in);
    SmfHeader header;
    EXPECT_TRUE(SmfReadHeader(file, header));
    for (int i = 1; i < track; ++i) {
        EXPECT_TRUE(SmfBeginTrack(file));
        file.endChunk();
    }
    EXPECT_TRUE(SmfBeginTrack(file));
    QList<Event> out;
    while (!file.atEnd()) {
        Event e{};
        e.delta = SmfReadEvent(file, e.status, e.data1, e.data2, e.bytes);
        out << e;
    }
    return out;
}

QList<Event> only(const QList<Event>& all, quint8 statusHigh) {
    QList<Event> out;
    for (const Event& e : all)
        if ((e.status & 0xF0) == statusHigh) out << e;
    return out;
}

QStringList texts(const QList<Event>& all, quint8 metaType) {
    QStringList out;
    for (const Event& e : all)
        if (e.status == 0xFF && e.data1 == metaType) out << Cp932::decode(e.bytes);
    return out;
}

struct RestoreSettings {
    Settings saved = settings();
    ~RestoreSettings() { settings() = saved; }
};

}  // namespace

TEST(SmfWriter, PlainExportOfOneNoteByteForByte) {
    const NoteArrays notes = song({{QStringLiteral("さ"), 1920, 36, QString()}});
    Track conductor;
    conductor.name("Control").tempo(500000).raw(0, bytes({0xFF, 0x58, 0x04, 0x04, 0x02, 0x18, 0x08}));
    conductor.meta(0, 0x06, "Setup").text("Settings").text("@rem project=p").text("@set tempo=120").end();
    Track voice;
    voice.name("Voice A")
        .text(Cp932::encode(QStringLiteral("このファイル形式は予告無く変更・廃止される可能性があります。\n"
                                           "対応プログラムを作成する場合はそのリスクを覚悟の上作成してください。")))
        .bendRange(10)
        .control(0, 0x26, 0);
    voice.lyric(Sa).on(0, 60, 100).off(480, 60).end();
    EXPECT_EQ(SmfFileBytes(120.0f, {"@rem project=p", "@set tempo=120"}, notes, QString(), {}),
              file(1, 480, {conductor, voice}));
}

TEST(SmfWriter, VelocitiesRangesAndRefusals) {
    struct Case {
        const char* intensity;
        int velocity;
    };
    const Case cases[] = {{"", 100}, {"0", 100}, {"64", 64}, {"64.5", 64}, {"65.5", 66},
                          {"150", 127}, {"-5", 1}, {"0.2", 1}, {"abc", 100}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.intensity);
        const NoteArrays n = song({{"a", 480, 36, QStringLiteral("\t") + QString::fromLatin1(c.intensity)}});
        const QList<Event> ons = only(events(SmfFileBytes(120, {}, n, QString(), {}), 2), 0x90);
        ASSERT_EQ(ons.size(), 1);
        EXPECT_EQ(ons[0].data1, 60);
        EXPECT_EQ(ons[0].data2, c.velocity);
    }
    // MIDI notes 0 and 127 are the ends of the range; a rest's note number is never written.
    EXPECT_FALSE(SmfFileBytes(120, {}, song({{"a", 480, -24, ""}, {"b", 480, 103, ""}, {"R", 480, -500, ""}}),
                              QString(), {})
                     .isEmpty());
    for (qint32 bad : {-25, 104, 1000}) {
        SCOPED_TRACE(bad);
        EXPECT_THROW(SmfFileBytes(120, {}, song({{"a", 480, 36, ""}, {"b", 480, bad, ""}}), QString(), {}),
                     SmfFormatError);
        EXPECT_THROW(SmfFileBytes(120, {}, song({{"a", 480, bad, ""}}), QStringLiteral("TM"), {}), SmfFormatError);
    }
}

TEST(SmfWriter, RestsGatherIntoTheNextNotesFirstEvent) {
    const NoteArrays n = song({{"R", 1920, 36, ""}, {"a", 483, 36, ""}, {" r ", 960, 36, ""}, {"", 4, 36, ""},
                               {"?b", 480, 48, "0:0:0\t\t\t\tg-5\ttempo=150.00"}});
    const QList<Event> voice = events(SmfFileBytes(120, {}, n, QString(), {}), 2);
    // Note a: lyric event after the leading rest of 480 file ticks; note-off at its end, 2403 / 4 = 600.75
    // rounded to 601, 121 ticks later.
    const QList<Event> lyrics = [&] {
        QList<Event> l;
        for (const Event& e : voice)
            if (e.status == 0xFF && e.data1 == 0x05) l << e;
        return l;
    }();
    ASSERT_EQ(lyrics.size(), 2);
    EXPECT_EQ(lyrics[0].delta, 480);
    EXPECT_EQ(lyrics[0].bytes, QByteArray("a"));
    EXPECT_EQ(lyrics[1].bytes, QByteArray("b"));  // "?" is dropped from lyric events
    const QList<Event> offs = only(voice, 0x80);
    ASSERT_EQ(offs.size(), 2);
    EXPECT_EQ(offs[0].delta, 121);
    // The second note's key text event carries the rests' ticks up to its start, 3367 / 4 = 841.75
    // rounded to 842, and its flags and options.
    const QStringList keyTexts = texts(voice, 0x01);
    ASSERT_EQ(keyTexts.size(), 2);
    EXPECT_EQ(keyTexts[1], QStringLiteral("0004: flag=g-5 tempo=150.00"));
    for (const Event& e : voice)
        if (e.status == 0xFF && e.data1 == 0x01 && e.bytes.startsWith("0004")) EXPECT_EQ(e.delta, 241);
}

TEST(SmfWriter, KeyTextsOfThePlainExport) {
    struct Case {
        const char* ext;
        QStringList expected;
    };
    const QString sep = OptionSeparator();
    const Case cases[] = {
        {"", {}},
        {"0:0:100\t100\t100\t\t\t", {}},
        {"12.5:3:100\t\t30\t\tB50\t", {"0000: offset=12.5 mod=30 flag=B50"}},
        {"\t\t\t1 2 3\t\t", {"0000: pitch=1 2 3"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.ext);
        const NoteArrays n = song({{"a", 480, 36, QString::fromLatin1(c.ext)}});
        EXPECT_EQ(texts(events(SmfFileBytes(120, {}, n, QString(), {}), 2), 0x01).mid(1), c.expected);
    }
    // Options: blanks become "," and the separators blanks.
    const NoteArrays n = song({{"a", 480, 36, "\t\t\t\t\tenv=0 5 35 0 100 100 0" + sep + "stp=3"}});
    EXPECT_EQ(texts(events(SmfFileBytes(120, {}, n, QString(), {}), 2), 0x01).mid(1),
              QStringList({"0000: env=0,5,35,0,100,100,0 stp=3"}));
}

TEST(SmfWriter, TheVariantsForOtherSynthesizers) {
    const QStringList config = {"10\tx\t", "20\tx\tか", "200\tx\tさ", "short\tline", "30\tx\tかa"};
    const NoteArrays n = song({{"か", 480, 36, "\t\t\t\t\ttempo=100"}, {"?かa", 480, 37, ""}, {"さ", 480, 38, ""},
                               {"ん", 480, 39, ""}});
    const QByteArray tm = SmfFileBytes(120, {"@rem project=p"}, n, QStringLiteral("TM"), config);
    const QList<Event> tmVoice = events(tm, 2);
    QList<int> programs;
    for (const Event& e : only(tmVoice, 0xC0)) programs << e.data1;
    // "?かa" keeps its "?" in TM and so matches only the empty prefix; a number above 127 is held at 127.
    EXPECT_EQ(programs, QList<int>({20, 10, 127, 10}));
    EXPECT_TRUE(texts(tmVoice, 0x05).isEmpty());
    const QList<Event> controls = only(tmVoice, 0xB0);
    ASSERT_GE(controls.size(), 6);
    EXPECT_EQ(controls[2].data2, 10);  // bend range
    EXPECT_EQ(controls[4].data1, 0);   // bank select 50
    EXPECT_EQ(controls[4].data2, 50);

    const QList<Event> aqVoice = events(SmfFileBytes(120, {}, n, QStringLiteral("AQ"), config), 2);
    QList<int> values;
    for (const Event& e : only(aqVoice, 0xB0))
        if (e.data1 == 10) values << e.data2;
    EXPECT_EQ(values, QList<int>({20, 30, 127, 10}));
    EXPECT_EQ(only(aqVoice, 0xB0)[2].data2, 80);
    EXPECT_TRUE(texts(aqVoice, 0x05).isEmpty());

    EXPECT_EQ(ParseSongtmLine({}, QStringLiteral("か")), 0);
    EXPECT_EQ(ParseAquestoneLine({"-3\tx\tか"}, QStringLiteral("か")), 0);
}

TEST(SmfWriter, ModeTwoPitchBecomesBendsWithinTheNote) {
    // 120 bpm: one point every 5 ticks. Values far beyond the bend range are held at its ends.
    const NoteArrays n = song({{"a", 120, 36, "\t\t\t0Q120 100 -100 5000 -5000 0 0 0 0 0 0 0\t\t"},
                               {"b", 40, 36, "\t\t\t10Q120 10 10 10 10 10 10 10 10 10 10\t\t"},
                               {"c", 40, 36, "\t\t\t1 2 3\t\t"}});
    const QList<Event> voice = events(SmfFileBytes(120, {}, n, QStringLiteral("TM"), {}), 2);
    QList<int> bends;
    for (const Event& e : only(voice, 0xE0)) bends << (e.data1 | (e.data2 << 7));
    // Note a (30 ticks): points at 0, 5, .., 25, then the centre at the end; note b (10 ticks): two
    // points, the centre where the note runs out; note c has no mode-2 data.
    EXPECT_EQ(bends, QList<int>({8192, 9011, 7373, 16383, 0, 8192, 8192, 8274, 8274, 8192}));
    // Every note still lasts its length from note-on to note-off.
    qint32 t = 0, on = 0;
    QList<qint32> lengths;
    for (const Event& e : voice) {
        t += e.delta;
        if ((e.status & 0xF0) == 0x90) on = t;
        if ((e.status & 0xF0) == 0x80) lengths << t - on;
    }
    EXPECT_EQ(lengths, QList<qint32>({30, 10, 10}));
}

TEST(SmfWriter, WritingReplacesTheWholeFile) {
    QTemporaryDir dir;
    const QString path = dir.filePath("out.mid");
    test::writeFile(path, QByteArray(100000, 'x'));
    const NoteArrays n = song({{"a", 480, 36, ""}});
    WriteSmfFile(120, {}, n, path, QString());
    EXPECT_EQ(test::readFile(path), SmfFileBytes(120, {}, n, QString(), {}));
    // A refused song leaves the file as it was; an empty song writes nothing.
    EXPECT_THROW(WriteSmfFile(120, {}, song({{"a", 480, 200, ""}}), path, QString()), SmfFormatError);
    EXPECT_EQ(test::readFile(path), SmfFileBytes(120, {}, n, QString(), {}));
    NoteArrays empty;
    WriteSmfFile(120, {}, empty, dir.filePath("none.mid"), QString());
    EXPECT_FALSE(QFile::exists(dir.filePath("none.mid")));
}

TEST(SmfWriter, ConfigurationFilesAreReadInTheCodePage) {
    QTemporaryDir dir;
    const QString path = dir.filePath("songtm.cfg");
    test::writeFile(path, QByteArray("5\tx\t") + Sa + "\r\n7\tx\t" + Ku + "\n\n");
    const QStringList lines = ReadExportConfig(path);
    EXPECT_EQ(ParseSongtmLine(lines, QStringLiteral("さくら")), 5);
    EXPECT_EQ(ParseSongtmLine(lines, QStringLiteral("く")), 7);
    EXPECT_TRUE(ReadExportConfig(dir.filePath("missing.cfg")).isEmpty());
}

// ---- export -> import ----

TEST(SmfWriter, RoundTripThroughThePlainReadBack) {
    RestoreSettings restore;
    settings() = Settings{};
    const QString pitch = QStringLiteral("0Q130.00 1.5 -20 3");
    const NoteArrays n = song({
        {QStringLiteral("さ"), 1920, 36, QString()},
        {QStringLiteral("R"), 960, 36, QString()},
        {QStringLiteral("?か"), 960, 40, QStringLiteral("\t\t\t") + pitch + QStringLiteral("\t\ttempo=130.00")},
        {QStringLiteral("く"), 482, 47, QString()},
        {QStringLiteral("ら"), 480, 0, QStringLiteral("\t\t\t\t\ttempo=95.456")},
    });
    const QByteArray data = SmfFileBytes(100.0f, {"@rem project=x", "@set tempo=100"}, n, QString(), {});
    Bytes in(data);
    float tempo = 0;
    QStringList header;
    NoteArrays back;
    ASSERT_EQ(ReadSmfFile(tempo, header, back, in), 5);
    EXPECT_FLOAT_EQ(tempo, 100.0f);
    EXPECT_EQ(header, QStringList({"Settings", "@rem project=x", "@set tempo=100"}));
    // The lyric event loses the "?" (other players read it); the note of 482 internal ticks ends on file
    // tick 1080.5, rounded up: 121 file ticks.
    EXPECT_EQ(back.Lyrics, QStringList({"さ", "R", "か", "く", "ら"}));
    EXPECT_EQ(back.Lengths, QList<qint32>({1920, 960, 960, 484, 480}));
    EXPECT_EQ(back.NoteNums, QList<qint32>({36, 36, 40, 47, 0}));
    EXPECT_EQ(NoteExtField(back.NoteExt[2], ExtPitches), pitch);
    // Each tempo change stays on its note (and the rest before the first is not cut).
    EXPECT_EQ(GetNoteOption(back.NoteExt[2], "tempo"), "130.00");
    EXPECT_EQ(GetNoteOption(back.NoteExt[3], "tempo"), "");
    EXPECT_EQ(GetNoteOption(back.NoteExt[4], "tempo"), "95.46");  // the reader writes its tempo "0.00"
}

// Rests after the last note end the voice track where the song ends, and come back as the closing
// rest, cut where a tempo change falls inside them as rests between notes are.
TEST(SmfWriter, ClosingRestsEndTheTrackAndReadBack) {
    RestoreSettings restore;
    settings() = Settings{};
    const NoteArrays n = song({{QStringLiteral("R"), 960, 36, QString()},
                               {QStringLiteral("あ"), 1920, 48, QString()},
                               {QStringLiteral("い"), 960, 50, QString()},
                               {QStringLiteral("R"), 1920, 36, QString()},
                               {QStringLiteral("R"), 480, 36, QString()}});
    const QByteArray data = SmfFileBytes(120.0f, {}, n, QString(), {});
    const QList<Event> voice = events(data, 2);
    ASSERT_FALSE(voice.isEmpty());
    EXPECT_EQ(voice.last().status, 0xFF);
    EXPECT_EQ(voice.last().data1, 0x2F);
    EXPECT_EQ(voice.last().delta, (1920 + 480) / 4);
    Bytes in(data);
    float tempo = 0;
    QStringList header;
    NoteArrays back;
    ASSERT_EQ(ReadSmfFile(tempo, header, back, in), 4);
    EXPECT_EQ(back.Lyrics, QStringList({"R", "あ", "い", "R"}));
    EXPECT_EQ(back.Lengths, QList<qint32>({960, 1920, 960, 2400}));

    // A tempo change on the last rest: the rest before it and the rest after it both come back.
    const NoteArrays t = song({{QStringLiteral("あ"), 1920, 48, QString()},
                               {QStringLiteral("R"), 960, 36, QString()},
                               {QStringLiteral("R"), 1920, 36, QStringLiteral("\t\t\t\t\ttempo=90")}});
    Bytes tin(SmfFileBytes(120.0f, {}, t, QString(), {}));
    NoteArrays tback;
    ASSERT_EQ(ReadSmfFile(tempo, header, tback, tin), 3);
    EXPECT_EQ(tback.Lengths, QList<qint32>({1920, 960, 1920}));
    EXPECT_EQ(GetNoteOption(tback.NoteExt[2], "tempo"), "90.00");
    int total = 0;
    for (qint32 l : tback.Lengths) total += l;
    EXPECT_EQ(total, 1920 + 960 + 1920);
}

TEST(SmfWriter, BendsReadBackAsThePitchCurve) {
    RestoreSettings restore;
    settings() = Settings{};
    const QList<double> cents = {0, 12.5, 50, -50, -100, 100, 30, 0};
    QString pitch = QStringLiteral("0Q120");
    for (qsizetype i = 1; i < cents.size(); ++i) pitch += u' ' + QString::number(cents[i]);
    const NoteArrays n = song({{"a", 1920, 36, "\t\t\t" + pitch + "\t\t"}});
    Bytes in(SmfFileBytes(120.0f, {}, n, QStringLiteral("TM"), {}));
    NoteArrays back;
    qint32 count = 0;
    float tempo = 120;
    ASSERT_EQ(ImportSmfTrack(in, 2, count, tempo, back), 1);
    const QStringList values = NoteExtField(back.NoteExt[0], ExtPitches).split(u' ');
    ASSERT_GE(values.size(), cents.size());
    EXPECT_TRUE(values[0].startsWith("0Q120.00"));
    for (qsizetype i = 1; i < cents.size(); ++i) EXPECT_NEAR(values[i].toDouble(), cents[i], 0.15) << i;
}
