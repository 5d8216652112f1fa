#pragma once

#include <QByteArray>
#include <QList>

#include <initializer_list>

// A small Standard MIDI File builder for fixtures, written apart from the program's own MIDI writer so
// that the reader is never checked against code it shares. Texts are given as bytes (CP932 literals).
namespace tova::test::smf {

inline QByteArray vlq(quint32 value) {
    QByteArray out(1, char(value & 0x7F));
    while ((value >>= 7) != 0) out.prepend(char(0x80 | (value & 0x7F)));
    return out;
}

inline QByteArray be32(quint32 v) {
    const char b[4] = {char(v >> 24), char(v >> 16), char(v >> 8), char(v)};
    return QByteArray(b, 4);
}

inline QByteArray be16(quint16 v) {
    const char b[2] = {char(v >> 8), char(v)};
    return QByteArray(b, 2);
}

inline QByteArray bytes(std::initializer_list<int> list) {
    QByteArray out;
    for (int b : list) out.append(char(b));
    return out;
}

// The events of one track; every call adds one event with its delta time.
struct Track {
    QByteArray body;

    // Any event bytes after the delta time (running status is written by leaving the status out).
    Track& raw(quint32 delta, const QByteArray& data) {
        body += vlq(delta) + data;
        return *this;
    }
    Track& meta(quint32 delta, int type, const QByteArray& payload) {
        return raw(delta, bytes({0xFF, type}) + vlq(quint32(payload.size())) + payload);
    }
    Track& name(const QByteArray& text, quint32 delta = 0) { return meta(delta, 0x03, text); }
    Track& text(const QByteArray& text, quint32 delta = 0) { return meta(delta, 0x01, text); }
    Track& lyric(const QByteArray& text, quint32 delta = 0) { return meta(delta, 0x05, text); }
    Track& tempo(quint32 microseconds, quint32 delta = 0) {
        return meta(delta, 0x51, bytes({int(microseconds >> 16) & 0xFF, int(microseconds >> 8) & 0xFF,
                                        int(microseconds) & 0xFF}));
    }
    Track& on(quint32 delta, int note, int velocity = 100, int channel = 0) {
        return raw(delta, bytes({0x90 | channel, note, velocity}));
    }
    Track& off(quint32 delta, int note, int channel = 0) { return raw(delta, bytes({0x80 | channel, note, 0})); }
    // A pitch bend of `value` (-8192..8191 around the centre).
    Track& bend(quint32 delta, int value, int channel = 0) {
        const int v = value + 8192;
        return raw(delta, bytes({0xE0 | channel, v & 0x7F, (v >> 7) & 0x7F}));
    }
    Track& control(quint32 delta, int controller, int value, int channel = 0) {
        return raw(delta, bytes({0xB0 | channel, controller, value}));
    }
    // The bend range in semitones through RPN 0.
    Track& bendRange(int semitones, int channel = 0) {
        return control(0, 101, 0, channel).control(0, 100, 0, channel).control(0, 6, semitones, channel);
    }
    Track& end(quint32 delta = 0) { return meta(delta, 0x2F, QByteArray()); }

    // "MTrk", the length (the body's own unless one is given) and the body.
    QByteArray chunk(qint64 declaredLength = -1) const {
        return QByteArray("MTrk") + be32(quint32(declaredLength < 0 ? body.size() : declaredLength)) + body;
    }
};

inline QByteArray header(int format, int tracks, int division, quint32 length = 6) {
    QByteArray h = QByteArray("MThd") + be32(length) + be16(quint16(format)) + be16(quint16(tracks)) +
                   be16(quint16(division));
    if (length > 6) h += QByteArray(qsizetype(length - 6), '\0');
    return h;
}

inline QByteArray file(int format, int division, const QList<Track>& tracks) {
    QByteArray out = header(format, int(tracks.size()), division);
    for (const Track& t : tracks) out += t.chunk();
    return out;
}

// CP932 bytes of a few texts.
inline const QByteArray Sa("\x82\xb3", 2);        // さ
inline const QByteArray Ku("\x82\xad", 2);        // く
inline const QByteArray Ra("\x82\xe7", 2);        // ら
inline const QByteArray Hyou("\x95\x5c", 2);      // 表 (its second byte is the backslash code)

}  // namespace tova::test::smf
