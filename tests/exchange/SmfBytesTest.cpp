// The byte layer of MIDI files: what each writer appends and what each reader makes of bytes,
// including the values that do not fit and the reads that run out of file or chunk.
#include "exchange/midi/SmfBytes.h"
#include "exchange/midi/SmfFile.h"
#include "exchange/midi/SmfFormatError.h"
#include "SmfBuilder.h"

#include <QBuffer>

#include <gtest/gtest.h>

#include <functional>

using namespace tova;
using tova::test::smf::bytes;

namespace {

struct Reading {
    QBuffer buffer;
    SmfFile file;
    explicit Reading(const QByteArray& data) {
        buffer.setData(data);
        buffer.open(QIODevice::ReadOnly);
        file.open(buffer);
    }
};

}  // namespace

TEST(SmfBytes, VariableLengthQuantitiesBothWays) {
    struct Case {
        qint32 value;
        QByteArray encoded;
    };
    const Case cases[] = {
        {0, bytes({0x00})},
        {127, bytes({0x7F})},
        {128, bytes({0x81, 0x00})},
        {480, bytes({0x83, 0x60})},
        {0x3FFF, bytes({0xFF, 0x7F})},
        {0x4000, bytes({0x81, 0x80, 0x00})},
        {(1 << 28) - 1, bytes({0xFF, 0xFF, 0xFF, 0x7F})},
        {0x7FFFFFFF, bytes({0x87, 0xFF, 0xFF, 0xFF, 0x7F})},
    };
    for (const Case& c : cases) {
        QByteArray buffer = bytes({0xAA});
        SmfEncodeVarLen(buffer, c.value);
        EXPECT_EQ(buffer, bytes({0xAA}) + c.encoded) << c.value;

        Reading plain(c.encoded + bytes({0x55}));
        EXPECT_EQ(SmfReadVarLen(plain.file), c.value);
        EXPECT_EQ(plain.file.readByte(), 0x55) << "reads exactly the quantity's bytes";
        Reading counted(c.encoded);
        qint16 n = -1;
        EXPECT_EQ(SmfReadVarLenCounted(counted.file, n), c.value);
        EXPECT_EQ(n, c.encoded.size());
    }
    // Leading empty groups are read, not refused.
    Reading padded(bytes({0x80, 0x80, 0x81, 0x00}));
    qint16 n = 0;
    EXPECT_EQ(SmfReadVarLenCounted(padded.file, n), 128);
    EXPECT_EQ(n, 4);
}

TEST(SmfBytes, WritersAppendAfterTheBuffersEnd) {
    struct Case {
        const char* what;
        std::function<void(QByteArray&)> write;
        QByteArray expected;
    };
    const Case cases[] = {
        {"byte", [](QByteArray& b) { SmfAppendByte(b, 0xFF); }, bytes({0xFF})},
        {"bytes", [](QByteArray& b) { SmfAppendBytes(b, bytes({1, 2, 3})); }, bytes({1, 2, 3})},
        {"no bytes", [](QByteArray& b) { SmfAppendBytes(b, QByteArray()); }, QByteArray()},
        {"BE16 division", [](QByteArray& b) { SmfAppendBE16(b, 480); }, bytes({0x01, 0xE0})},
        {"BE16 negative", [](QByteArray& b) { SmfAppendBE16(b, -2); }, bytes({0xFF, 0xFE})},
        {"BE24 tempo", [](QByteArray& b) { SmfAppendBE24(b, 500); }, bytes({0x00, 0x01, 0xF4})},
        {"BE24 120 bpm", [](QByteArray& b) { SmfAppendBE24(b, 500000); }, bytes({0x07, 0xA1, 0x20})},
        {"BE32", [](QByteArray& b) { SmfAppendBE32(b, 0x01020304); }, bytes({1, 2, 3, 4})},
        {"BE32 zero", [](QByteArray& b) { SmfAppendBE32(b, 0); }, bytes({0, 0, 0, 0})},
        {"bend centre", [](QByteArray& b) { SmfAppendPitchBend14(b, 8192); }, bytes({0x00, 0x40})},
        {"bend lowest", [](QByteArray& b) { SmfAppendPitchBend14(b, 0); }, bytes({0x00, 0x00})},
        {"bend highest", [](QByteArray& b) { SmfAppendPitchBend14(b, 16383); }, bytes({0x7F, 0x7F})},
        {"bend 8192+129", [](QByteArray& b) { SmfAppendPitchBend14(b, 8321); }, bytes({0x01, 0x41})},
        {"lyric of two kana", [](QByteArray& b) { SmfAppendMetaEvent(b, 5, QStringLiteral("さく")); },
         bytes({0xFF, 0x05, 0x04, 0x82, 0xB3, 0x82, 0xAD})},
        {"text with a backslash trail byte", [](QByteArray& b) { SmfAppendMetaEvent(b, 1, QStringLiteral("表")); },
         bytes({0xFF, 0x01, 0x02, 0x95, 0x5C})},
        {"empty text", [](QByteArray& b) { SmfAppendMetaEvent(b, 3, QString()); }, bytes({0xFF, 0x03, 0x00})},
        {"long text", [](QByteArray& b) { SmfAppendMetaEvent(b, 1, QString(200, u'a')); },
         bytes({0xFF, 0x01, 0x81, 0x48}) + QByteArray(200, 'a')},
    };
    for (const Case& c : cases) {
        QByteArray fresh;
        c.write(fresh);
        EXPECT_EQ(fresh, c.expected) << c.what;
        QByteArray used = bytes({0x4D, 0x54});
        c.write(used);
        EXPECT_EQ(used, bytes({0x4D, 0x54}) + c.expected) << c.what;
    }
}

TEST(SmfBytes, NegativeLengthIsRefusedByTheThirtyTwoBitWriter) {
    QByteArray b = bytes({7});
    EXPECT_THROW(SmfAppendBE32(b, -1), OverflowError);
    EXPECT_EQ(b, bytes({7}));
}

TEST(SmfBytes, ReadersOfBigEndianIntegers) {
    Reading r(bytes({0x00, 0x00, 0x01, 0xE0, 0x7F, 0xFF, 0x00, 0x06, 0x7F, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(SmfReadBE32(r.file), 480);
    EXPECT_EQ(SmfReadBE16(r.file), 32767);
    EXPECT_EQ(SmfReadBE16(r.file), 6);
    EXPECT_EQ(SmfReadBE32(r.file), 0x7FFFFFFF);
    EXPECT_TRUE(r.file.atEnd());

    struct Bad {
        const char* what;
        QByteArray data;
        std::function<void(SmfFile&)> read;
        bool overflow;  // else a short read
    };
    const Bad bad[] = {
        {"BE32 top bit", bytes({0x80, 0, 0, 0}), [](SmfFile& f) { SmfReadBE32(f); }, true},
        {"BE32 all ones", bytes({0xFF, 0xFF, 0xFF, 0xFF}), [](SmfFile& f) { SmfReadBE32(f); }, true},
        {"BE16 top bit (SMPTE division)", bytes({0xE7, 0x28}), [](SmfFile& f) { SmfReadBE16(f); }, true},
        {"VLQ of 2^31", bytes({0x88, 0x80, 0x80, 0x80, 0x00}), [](SmfFile& f) { SmfReadVarLen(f); }, true},
        {"VLQ of six groups", bytes({0x81, 0x80, 0x80, 0x80, 0x80, 0x00}), [](SmfFile& f) { SmfReadVarLen(f); },
         true},
        {"BE32 cut short", bytes({0, 0, 1}), [](SmfFile& f) { SmfReadBE32(f); }, false},
        {"BE16 cut short", bytes({1}), [](SmfFile& f) { SmfReadBE16(f); }, false},
        {"VLQ cut short", bytes({0x81, 0x80}), [](SmfFile& f) { SmfReadVarLen(f); }, false},
        {"VLQ of nothing", QByteArray(), [](SmfFile& f) { SmfReadVarLen(f); }, false},
    };
    for (const Bad& b : bad) {
        Reading r2(b.data);
        if (b.overflow) EXPECT_THROW(b.read(r2.file), OverflowError) << b.what;
        else EXPECT_THROW(b.read(r2.file), SmfFormatError) << b.what;
    }
}

TEST(SmfBytes, ReadsStopAtTheChunksDeclaredEnd) {
    Reading r(bytes({0x81, 0x00, 0x05, 0x06, 0x07, 0x08}));
    r.file.beginChunk(3);
    EXPECT_EQ(SmfReadVarLen(r.file), 128);
    EXPECT_EQ(r.file.remaining(), 1);
    EXPECT_THROW(SmfReadBE16(r.file), SmfFormatError) << "the second byte lies beyond the chunk";
    r.file.endChunk();
    EXPECT_EQ(r.file.pos(), 3);
    EXPECT_EQ(r.file.readByte(), 0x06);
    EXPECT_THROW(r.file.beginChunk(3), SmfFormatError) << "two bytes are left in the file";
    EXPECT_THROW(r.file.readBytes(3), SmfFormatError);
    EXPECT_EQ(r.file.readBytes(2), bytes({0x07, 0x08}));
}
