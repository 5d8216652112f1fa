#pragma once

#include "core/FrqHeader.h"

#include <QByteArray>
#include <QVector>
#include <QtEndian>

#include <cstring>

// Small sample files built byte by byte for the wave and frequency-table tests.
namespace tova::test::wave {

inline void le16(QByteArray& b, quint16 v) { char c[2]; qToLittleEndian(v, c); b.append(c, 2); }
inline void le32(QByteArray& b, quint32 v) { char c[4]; qToLittleEndian(v, c); b.append(c, 4); }
inline void be16(QByteArray& b, quint16 v) { char c[2]; qToBigEndian(v, c); b.append(c, 2); }
inline void be32(QByteArray& b, quint32 v) { char c[4]; qToBigEndian(v, c); b.append(c, 4); }
inline void leDouble(QByteArray& b, double v) { quint64 u; std::memcpy(&u, &v, 8); char c[8]; qToLittleEndian(u, c); b.append(c, 8); }

inline QByteArray chunk(const char* id, const QByteArray& body, bool pad = true) {
    QByteArray b(id, 4);
    le32(b, quint32(body.size()));
    b += body;
    if (pad && (body.size() & 1)) b.append('\0');
    return b;
}

inline QByteArray pcm16(const QVector<qint16>& values) {
    QByteArray b;
    for (qint16 v : values) le16(b, quint16(v));
    return b;
}

struct WavSpec {
    quint16 channels = 1;
    quint32 rate = 44100;
    quint16 bits = 16;
    QByteArray data;                // the data chunk's bytes
    QByteArray beforeFmt;           // whole chunks placed before "fmt "
    QByteArray beforeData;          // whole chunks placed between "fmt " and "data"
    QByteArray afterData;           // whole chunks after the data
    quint32 fmtSize = 16;           // 18 adds a cbSize word of 0
    qint64 dataSizeField = -1;      // -1: the true size
};

inline QByteArray fmtBody(const WavSpec& s) {
    QByteArray f;
    const quint16 align = quint16(s.channels * ((s.bits + 7) / 8));
    le16(f, 1);
    le16(f, s.channels);
    le32(f, s.rate);
    le32(f, s.rate * align);
    le16(f, align);
    le16(f, s.bits);
    while (quint32(f.size()) < s.fmtSize) f.append('\0');
    return f;
}

inline QByteArray makeWav(const WavSpec& s) {
    QByteArray body("WAVE");
    body += s.beforeFmt;
    body += chunk("fmt ", fmtBody(s));
    body += s.beforeData;
    body += "data";
    le32(body, s.dataSizeField < 0 ? quint32(s.data.size()) : quint32(s.dataSizeField));
    body += s.data;
    body += s.afterData;
    QByteArray file("RIFF");
    le32(file, quint32(body.size()));
    return file + body;
}

// The 80-bit extended float of a whole-number sample rate.
inline QByteArray extended(quint32 rate) {
    QByteArray b;
    if (rate == 0) return QByteArray(10, '\0');
    int shift = 0;
    while (!(rate & 0x80000000u)) { rate <<= 1; ++shift; }
    be16(b, quint16(16383 + 31 - shift));
    be32(b, rate);
    be32(b, 0);
    return b;
}

struct AiffSpec {
    qint16 channels = 1;
    qint32 frames = 0;
    qint16 bits = 16;
    QByteArray rate80 = extended(44100);
    QByteArray sound;               // the sample bytes after offset and block size
    qint64 ssndSizeField = -1;      // -1: the true size
    bool comm = true;
};

inline QByteArray makeAiff(const AiffSpec& s) {
    QByteArray body("AIFF");
    if (s.comm) {
        QByteArray c;
        be16(c, quint16(s.channels));
        be32(c, quint32(s.frames));
        be16(c, quint16(s.bits));
        c += s.rate80;
        body += "COMM";
        be32(body, quint32(c.size()));
        body += c;
    }
    body += "SSND";
    be32(body, s.ssndSizeField < 0 ? quint32(s.sound.size() + 8) : quint32(s.ssndSizeField));
    be32(body, 0);
    be32(body, 0);
    body += s.sound;
    QByteArray file("FORM");
    be32(file, quint32(body.size()));
    return file + body;
}

inline QByteArray pcm16be(const QVector<qint16>& values) {
    QByteArray b;
    for (qint16 v : values) be16(b, quint16(v));
    return b;
}

inline QByteArray makeFrq(const FrqHeader& h, const QVector<double>& frames) {
    QByteArray b = h.signature.leftJustified(8, ' ', true);
    le32(b, quint32(h.reserved));
    leDouble(b, h.averageFreq);
    leDouble(b, h.extra1);
    leDouble(b, h.extra2);
    le32(b, quint32(h.frameCount));
    for (double v : frames) leDouble(b, v);
    return b;
}

}  // namespace tova::test::wave
