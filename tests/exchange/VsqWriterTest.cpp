// The VSQ export: the sequence text of one note line by line, its cut into text events, the master
// track's tempo events on the ticks of their notes, the kana table and refusals.
#include "exchange/midi/SmfFormatError.h"
#include "exchange/vsq/VsqWriter.h"
#include "platform/Cp932.h"
#include "NoteFixtures.h"
#include "SmfBuilder.h"
#include "support/TestSupport.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace tova;
using namespace tova::test::smf;

namespace {

NoteArrays song(const QList<test::NoteSpec>& list) { return test::notesOf(list); }

// The sizes of the text bytes carried by each "DM:" event of a track body, checking each head.
QList<int> textEventSizes(const QByteArray& track) {
    QList<int> sizes;
    for (qsizetype at = 0; (at = track.indexOf(QByteArray("\x00\xFF\x01", 3), at)) >= 0;) {
        const int length = quint8(track[at + 3]);
        const QByteArray head = track.mid(at + 4, 8);
        EXPECT_EQ(head, QByteArray("DM:") + QByteArray::number(sizes.size()).rightJustified(4, '0') + ':');
        sizes << length - 8;
        at += 4 + length;
    }
    return sizes;
}

const char* const FixedHead =
    "[Common]\nVersion=DSB301\nName=メイン\nColor=181,162,123\nDynamicsMode=1\nPlayMode=1\n[Master]\n"
    "PreMeasure=1\n[Mixer]\nMasterFeder=0\nMasterPanpot=0\nMasterMute=0\nOutputMode=0\nTracks=1\nFeder0=0\n"
    "Panpot0=0\nMute0=0\nSolo0=0\n[EventList]\n0=ID#0000\n";
const char* const SingerRecords =
    "[ID#0000]\nType=Singer\nIconHandle=h#0000\n";
const char* const SingerHandle =
    "[h#0000]\nIconID=$07010000\nIDS=Tova\nOriginal=0\nCaption=\nlength=1\nLanguage=0\nProgram=0\n";

}  // namespace

TEST(VsqWriter, SequenceTextOfOneNote) {
    const QString expected = QString::fromUtf8(FixedHead) +
                             "1920=ID#0001\n2400=EOS\n" + QString::fromUtf8(SingerRecords) +
                             "[ID#0001]\nType=Anote\nLength=480\nNote#=72\nDynamics=100\nPMBendDepth=10\n"
                             "PMBendLength=5\nPMbPortamentoUse=0\nDEMdecGainRate=0\nDEMaccent=0\nLyricHandle=h#0001\n" +
                             QString::fromUtf8(SingerHandle) + QString::fromUtf8("[h#0001]\nL0=\"あ\",\"a\",0.000000,64,0,0\n");
    EXPECT_EQ(VsqSequenceText(song({{QStringLiteral("あ"), 1920, 48, QString()}})), expected);
}

TEST(VsqWriter, RecordsOfSeveralNotes) {
    // A rest first moves the note; rests take no record number; 481 internal ticks are 120.25.
    const QString text = VsqSequenceText(song({{"R", 960, 36, ""},
                                               {QStringLiteral("ん"), 481, 36, "\t150"},
                                               {"  r", 4, 36, ""},
                                               {QStringLiteral("?か→"), 480, 0, "\t90"}}));
    EXPECT_TRUE(text.contains("[EventList]\n0=ID#0000\n2160=ID#0001\n2281=ID#0002\n2401=EOS\n")) << text.toStdString();
    EXPECT_TRUE(text.contains("[ID#0001]\nType=Anote\nLength=120.25\nNote#=60\nDynamics=127\n"));
    EXPECT_TRUE(text.contains("[ID#0002]\nType=Anote\nLength=120\nNote#=24\nDynamics=90\n"));
    EXPECT_TRUE(text.contains(QStringLiteral("[h#0001]\nL0=\"ん\",\"N\",0.000000,64,0,0\n")));
    EXPECT_TRUE(text.contains(QStringLiteral("[h#0002]\nL0=\"?か→\",\"a\",0.000000,64,0,0\n")));

    // An empty song: the head, the end line after the rests (480.5 file ticks, rounded up) and the
    // singer records.
    const QString empty = VsqSequenceText(song({{"R", 1922, 36, ""}}));
    EXPECT_EQ(empty, QString::fromUtf8(FixedHead) + "2401=EOS\n" + QString::fromUtf8(SingerRecords) +
                         QString::fromUtf8(SingerHandle));
}

TEST(VsqWriter, TextIsCutIntoEventsOf119Bytes) {
    struct Case {
        int size;
        QList<int> events;
    };
    const Case cases[] = {{239, {119, 119, 1}}, {119, {119}}, {120, {119, 1}}, {1, {1}}, {0, {}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.size);
        QByteArray track;
        AppendVsqTextEvents(track, QByteArray(c.size, 'x'));
        EXPECT_EQ(textEventSizes(track), c.events);
    }
    // A double-byte character may be cut between two events; the reader joins the bytes first.
    QByteArray track;
    AppendVsqTextEvents(track, QByteArray(118, 'x') + "\x82\xa0");
    EXPECT_EQ(track.mid(4 + 8 + 118, 1), QByteArray("\x82"));
    EXPECT_EQ(track.mid(2 * (4 + 8) + 119, 1), QByteArray("\xa0"));
}

TEST(VsqWriter, FileLayoutAndTempoEventsOnTheirNotes) {
    const NoteArrays n = song({{"R", 1920, 36, "\t\t\t\t\ttempo=100"},
                               {"a", 1920, 36, "\t\t\t\t\ttempo=95.456"},
                               {"b", 480, 36, ""},
                               {"c", 480, 36, "\t\t\t\t\ttempo=0"}});
    const QByteArray data = VsqFileBytes(120.0f, n);
    ASSERT_TRUE(data.startsWith(header(1, 2, 480)));
    Track master;
    master.name("Master Track").tempo(500000).raw(0, bytes({0xFF, 0x58, 0x04, 0x04, 0x02, 0x18, 0x08}));
    // After the one-measure lead-in: the rest's tempo at 1920, the note's 480 ticks later; a tempo of 0
    // is no tempo.
    master.tempo(600000, 1920).tempo(628601, 480).end();
    EXPECT_EQ(data.mid(14, master.chunk().size()), master.chunk());

    const QByteArray voice = data.mid(14 + master.chunk().size() + 8);
    EXPECT_TRUE(voice.startsWith(Track().name("Voice1").body));
    QByteArray closing = bytes({0x00, 0xB0, 0x63, 0x60, 0x00, 0xB0, 0x62, 0x00, 0x00, 0xB0, 0x06, 0x00, 0x00, 0xB0,
                                0x26, 0x00, 0x00, 0xB0, 0x62, 0x01, 0x00, 0xB0, 0x06, 0x00, 0x00, 0xB0, 0x63, 0x35,
                                0x00, 0xB0, 0x62, 0x02, 0x00, 0xB0, 0x06, 0x00, 0x00, 0xFF, 0x2F, 0x00});
    EXPECT_TRUE(voice.endsWith(closing));
    int total = 0;
    for (int s : textEventSizes(voice)) total += s;
    EXPECT_EQ(total, Cp932::encode(VsqSequenceText(n)).size());
}

TEST(VsqWriter, PhoneticSymbols) {
    const std::pair<const char*, const char*> cases[] = {
        {"あ", "a"},     {"ぁ", "h\\ a"}, {"か", "k a"},   {"か゜", "N a"}, {"きゃ", "k' a"}, {"ふぃ", "p\\' M"},
        {"ん", "N"},     {"吸1", "br1"},  {"吐2", "br5"},  {"を", "w o"},   {"か→", "a"},     {"?か", "a"},
        {"か ", "a"},    {"", "a"},       {"a[", "a"},
    };
    for (const auto& [lyric, symbols] : cases)
        EXPECT_EQ(LyricToVsqPhonetic(QString::fromUtf8(lyric)), QString::fromUtf8(symbols)) << lyric;
}

TEST(VsqWriter, RefusesNotesOutsideTheRangeAndReplacesTheFile) {
    EXPECT_THROW(VsqFileBytes(120, song({{"a", 480, 104, ""}})), SmfFormatError);
    EXPECT_THROW(VsqFileBytes(120, song({{"a", 480, -25, ""}})), SmfFormatError);
    EXPECT_NO_THROW(VsqFileBytes(120, song({{"a", 480, 103, ""}, {"R", 480, 500, ""}})));
    QTemporaryDir dir;
    const QString path = dir.filePath("out.vsq");
    test::writeFile(path, QByteArray(50000, 'x'));
    const NoteArrays n = song({{"a", 480, 36, ""}});
    WriteVsqFile(120, n, path);
    EXPECT_EQ(test::readFile(path), VsqFileBytes(120, n));
}
