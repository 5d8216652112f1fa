#pragma once

#include "SmfBuilder.h"

#include <QList>

// Damaged and hostile MIDI files: each is a two-track format 1 file (a sound conductor and a voice) with
// one defect, so that the track list, the import of track 2 and the read-back all meet it.
namespace tova::test::smf {

struct HostileFile {
    const char* what;
    QByteArray data;
    bool listable;  // the defect lies in the events' meaning, which only the conversion meets
};

inline Track soundConductor() {
    Track t;
    t.name("Control").tempo(500000).end();
    return t;
}

inline QByteArray withVoice(const QByteArray& voiceChunk) {
    return header(1, 2, 480) + soundConductor().chunk() + voiceChunk;
}

inline QList<HostileFile> hostileFiles() {
    QList<HostileFile> list;
    Track voice;
    voice.name("Voice").lyric(Sa).on(0, 60).off(480, 60).end();
    const QByteArray good = withVoice(voice.chunk());

    list.append({"header cut short", good.left(10), false});
    list.append({"header length below six", QByteArray("MThd") + be32(2) + be16(1) + soundConductor().chunk(), false});
    list.append({"header length beyond the file", QByteArray("MThd") + be32(0x7FFFFFF0) + be16(1) + be16(2) + be16(480) +
                 soundConductor().chunk(), false});
    list.append({"header length with its top bit set", QByteArray("MThd") + be32(0xFFFFFFFF) + good.mid(8), false});
    list.append({"division 0", header(1, 2, 0) + soundConductor().chunk() + voice.chunk(), false});
    list.append({"SMPTE division (negative)", header(1, 2, 0xE728) + soundConductor().chunk() + voice.chunk(), false});
    list.append({"track count with its top bit set", header(1, 0x8001, 480) + soundConductor().chunk(), false});
    list.append({"track chunk cut short", good.left(good.size() - 5), false});
    list.append({"track header cut short", withVoice(QByteArray("MTrk\0\0", 6)), false});
    list.append({"track length beyond the file", withVoice(voice.chunk(0x7FFFFFF0)), false});
    list.append({"track length with its top bit set", withVoice(voice.chunk(0x80000010)), false});
    list.append({"event cut at the chunk's declared end", withVoice(Track().on(0, 60).chunk(3)), false});
    list.append({"meta length beyond the chunk",
                 withVoice(Track().raw(0, bytes({0xFF, 0x01, 0x87, 0xFF, 0xFF, 0xFF, 0x7F})).chunk()), false});
    list.append({"system exclusive length beyond the chunk",
                 withVoice(Track().raw(0, bytes({0xF0, 0x8F, 0xFF, 0xFF, 0x7F, 0x01})).chunk()), false});
    {
        Track overlong;
        overlong.body = QByteArray("\x88\x80\x80\x80\x00\x90\x3c\x40", 8);
        list.append({"delta time longer than 32 bits", withVoice(overlong.chunk()), false});
    }
    {
        // Running status going on and on under a length the file does not hold.
        Track endless;
        endless.on(0, 60);
        for (int i = 0; i < 100000; ++i) endless.raw(0, bytes({60, i & 1 ? 0 : 64}));
        list.append({"endless running status under a huge length", withVoice(endless.chunk(0x7FFFFFF0)), false});
        // The same run read to its end: the chunk's declared end cuts its last event in two.
        list.append({"endless running status cut inside an event", withVoice(endless.chunk(endless.body.size() - 1)),
                     false});
    }
    list.append({"tempo of 0", withVoice(Track().tempo(0).on(0, 60).off(480, 60).end().chunk()), false});
    list.append({"tempo event without bytes", withVoice(Track().meta(0, 0x51, QByteArray()).end().chunk()), false});
    list.append({"tempo event of two bytes", withVoice(Track().meta(0, 0x51, bytes({7, 0xA1})).end().chunk()), false});
    {
        Track far;
        for (int i = 0; i < 9; ++i) far.text("x", 0x0FFFFFFF);
        list.append({"track time beyond 2^31 ticks", withVoice(far.end().chunk()), false});
    }
    list.append({"note longer than a 32-bit length",
                 header(1, 2, 1) + soundConductor().chunk() + Track().on(0, 60).off(0x0FFFFFFF, 60).end().chunk(), true});
    list.append({"text tempo of 0", withVoice(Track().text("0000: tempo=0").on(0, 60).off(480, 60).end().chunk()), true});
    list.append({"text tempo beyond single precision",
                 withVoice(Track().text("0000: tempo=1E+300").on(0, 60).off(480, 60).end().chunk()), true});
    return list;
}

}  // namespace tova::test::smf
