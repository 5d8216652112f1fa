#include "exchange/midi/SmfWriter.h"

#include "exchange/midi/SmfBytes.h"
#include "exchange/midi/SmfFormatError.h"
#include "platform/Cp932.h"
#include "platform/Errors.h"
#include "platform/FileReplace.h"
#include "platform/FileSystem.h"
#include "platform/PathText.h"
#include "platform/SystemPaths.h"
#include "platform/Vb.h"
#include "song/NoteExtension.h"

#include <QFile>

#include <algorithm>
#include <cmath>

namespace tova {

namespace {

constexpr qint16 Division = 480;
const QChar Tab(u'\t');

// Round (halves to even) held within lo..hi; a value that is not a number gives lo.
qint32 roundWithin(double v, qint32 lo, qint32 hi) {
    if (!(v >= double(lo))) return lo;
    if (v >= double(hi)) return hi;
    return qint32(std::nearbyint(v));
}


QByteArray chunk(const QByteArray& events) {
    QByteArray out("MTrk");
    SmfAppendBE32(out, qint32(events.size()));
    out += events;
    return out;
}

void appendDelta(QByteArray& buffer, qint64 delta) {
    if (delta < 0 || delta > 0x0FFFFFFF) throw SmfFormatError();  // beyond a variable-length quantity
    SmfEncodeVarLen(buffer, qint32(delta));
}

void appendTempo(QByteArray& buffer, qint64 delta, qint32 microseconds) {
    appendDelta(buffer, delta);
    SmfAppendBytes(buffer, QByteArray("\xFF\x51\x03", 3));
    SmfAppendBE24(buffer, microseconds);
}

quint8 lookUp(const QStringList& config, const QString& lyric) {
    for (qsizetype i = config.size() - 1; i >= 0; --i) {
        const QStringList f = config.at(i).split(Tab);
        if (f.size() < 3) continue;
        if (lyric.startsWith(f.at(2))) return quint8(roundWithin(Vb::Val(f.at(0)), 0, 127));
    }
    return 0;
}

QString fourDigits(qint32 i) { return QStringLiteral("%1").arg(i, 4, 10, QChar(u'0')); }

}  // namespace

qint64 SmfFileTick(qint64 position) { return qint64(std::floor((double(position) + 2.0) / 4.0)); }

double SmfOptionTempo(const QString& ext) {
    const qsizetype at = ext.indexOf(QStringLiteral("tempo="));
    if (at < 0) return 0;
    // A hundredth written as such (157.89, whose double lies just below) is kept whole.
    const double t = std::floor(Vb::Val(ext.mid(at + 6)) * 100 + 1e-6) / 100;
    return std::isfinite(t) && t > 0 ? t : 0;
}

qint32 SmfTempoValue(double beatsPerMinute) {
    if (!(beatsPerMinute > 0)) return 0xFFFFFF;
    const double us = Vb::Int(60000000.0 / beatsPerMinute);
    return qint32(std::clamp(us, 1.0, double(0xFFFFFF)));
}

QStringList ReadExportConfig(const QString& path) {
    QFile file(FileSystem::resolve(path));
    if (!FileSystem::isFile(path) || !file.open(QIODevice::ReadOnly)) return {};
    QString text = Cp932::decode(file.readAll());
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QStringList lines = text.split(u'\n');
    if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
    return lines;
}

QStringList ReadSongtmConfig() {
    return ReadExportConfig(PathText::join(SystemPaths::programFolder(), QStringLiteral("songtm.cfg")));
}

QStringList ReadAquestoneConfig() {
    return ReadExportConfig(PathText::join(SystemPaths::programFolder(), QStringLiteral("aquestone.cfg")));
}

quint8 ParseSongtmLine(const QStringList& config, const QString& lyric) { return lookUp(config, lyric); }

quint8 ParseAquestoneLine(const QStringList& config, const QString& lyric) {
    return lookUp(config, QString(lyric).remove(u'?'));
}

QByteArray SmfFileBytes(float tempo, const QStringList& headerLines, const NoteArrays& notes, const QString& mode,
                        const QStringList& config) {
    const qint32 count = notes.noteCount();
    if (count == 0) return {};
    const bool tm = mode == u"TM";
    const bool aq = mode == u"AQ";

    // Start tick of every note in the voice track: the sum of the lengths before it (a negative length
    // counts as none), in file ticks.
    QList<qint64> start(count + 1, 0);
    qint64 position = 0;
    for (qint32 i = 0; i < count; ++i) {
        position += std::max<qint32>(notes.Lengths.value(i), 0);
        start[i + 1] = SmfFileTick(position);
    }

    // ---- track 1: the conductor ----
    QByteArray conductor;
    SmfEncodeVarLen(conductor, 0);
    SmfAppendMetaEvent(conductor, 0x03, QStringLiteral("Control"));
    appendTempo(conductor, 0, SmfTempoValue(double(tempo)));
    SmfAppendBytes(conductor, QByteArray("\x00\xFF\x58\x04\x04\x02\x18\x08", 8));
    SmfEncodeVarLen(conductor, 0);
    SmfAppendMetaEvent(conductor, 0x06, QStringLiteral("Setup"));
    SmfEncodeVarLen(conductor, 0);
    SmfAppendMetaEvent(conductor, 0x01, QStringLiteral("Settings"));
    for (const QString& line : headerLines) {
        SmfEncodeVarLen(conductor, 0);
        SmfAppendMetaEvent(conductor, 0x01, line);
    }
    qint64 lastTempoTick = 0;
    for (qint32 i = 0; i < count; ++i) {
        const double t = SmfOptionTempo(notes.NoteExt.value(i));
        if (t <= 0) continue;
        appendTempo(conductor, start[i] - lastTempoTick, SmfTempoValue(t));
        lastTempoTick = start[i];
    }
    SmfAppendBytes(conductor, QByteArray("\x00\xFF\x2F\x00", 4));

    // ---- track 2: the voice ----
    QByteArray voice;
    SmfEncodeVarLen(voice, 0);
    SmfAppendMetaEvent(voice, 0x03, QStringLiteral("Voice A"));
    SmfEncodeVarLen(voice, 0);
    SmfAppendMetaEvent(voice, 0x01,
                       QStringLiteral("このファイル形式は予告無く変更・廃止される可能性があります。\n"
                                      "対応プログラムを作成する場合はそのリスクを覚悟の上作成してください。"));
    SmfAppendBytes(voice, QByteArray("\x00\xB0\x65\x00\x00\xB0\x64\x00\x00\xB0\x06", 11));
    SmfAppendByte(voice, aq ? 80 : 10);
    SmfAppendBytes(voice, QByteArray("\x00\xB0\x26\x00", 4));
    if (tm) SmfAppendBytes(voice, QByteArray("\x00\xB0\x00\x32\x00\xB0\x20\x00", 8));

    double runningTempo = double(tempo);
    qint64 delta = 0;
    // Each event carries the time gathered since the last one.
    const auto event = [&](const QByteArray& bytes) {
        appendDelta(voice, delta);
        delta = 0;
        SmfAppendBytes(voice, bytes);
    };
    const auto metaEvent = [&](quint8 type, const QString& text) {
        appendDelta(voice, delta);
        delta = 0;
        SmfAppendMetaEvent(voice, type, text);
    };
    for (qint32 i = 0; i < count; ++i) {
        const QString& lyric = notes.Lyrics.at(i);
        const QString ext = notes.NoteExt.value(i);
        QStringList f = SplitNoteExt(ext);
        if (Vb::Val(f[ExtIntensity]) == 0) f[ExtIntensity] = QStringLiteral("100");
        if (IsRestLyric(lyric)) {
            delta += start[i + 1] - start[i];
            continue;
        }
        const qint32 midiNote = notes.NoteNums.value(i) + 24;
        if (midiNote < 0 || midiNote > 127) throw SmfNoteRangeError(i);
        const qsizetype tempoAt = ext.indexOf(QStringLiteral("tempo="));
        if (tempoAt >= 0) {
            const double t = Vb::Val(ext.mid(tempoAt + 6));
            if (t > 0 && std::isfinite(t)) runningTempo = t;
        }
        if (tm) {
            event(QByteArray("\xC0", 1) + char(ParseSongtmLine(config, lyric)));
        } else if (aq) {
            event(QByteArray("\xB0\x0A", 2) + char(ParseAquestoneLine(config, lyric)));
        } else {
            QString keys;
            const double offset = Vb::Val(f[ExtTiming]);
            if (offset != 0) keys += QStringLiteral(" offset=") + Vb::DoubleText(offset);
            if (!f[ExtModulation].isEmpty() && f[ExtModulation] != u"100") keys += QStringLiteral(" mod=") + f[ExtModulation];
            if (!f[ExtFlags].isEmpty()) keys += QStringLiteral(" flag=") + f[ExtFlags];
            if (!f[ExtOptions].isEmpty())
                keys += u' ' + QString(f[ExtOptions]).replace(u' ', u',').replace(OptionSeparator(), QStringLiteral(" "));
            if (!keys.isEmpty()) metaEvent(0x01, fourDigits(i) + u':' + keys);
            if (!f[ExtPitches].isEmpty()) metaEvent(0x01, fourDigits(i) + QStringLiteral(": pitch=") + f[ExtPitches]);
            metaEvent(0x05, QString(lyric).remove(u'?'));
        }
        const qint32 velocity = roundWithin(Vb::Val(f[ExtIntensity]), 1, 127);
        event(QByteArray("\x90", 1) + char(midiNote) + char(velocity));

        qint64 left = start[i + 1] - start[i];
        if (f[ExtPitches].contains(u'Q')) {
            // One bend every 1/96 beat at the running tempo, in whole samples at 44100 Hz; the points
            // that lie before the note-on (within its pre-utterance) are skipped.
            const double step = Vb::Int(60.0 / 96.0 / runningTempo * 44100.0 + 0.5) / 44100.0 * 1000.0;
            const QStringList points = f[ExtPitches].split(u' ');
            qsizetype k = 0;
            if (step > 0) {
                const double first = std::nearbyint(Vb::Val(f[ExtTiming]) / step);
                k = first > 0 ? qsizetype(std::min(first, double(points.size()))) : 0;
            } else {
                k = points.size();
            }
            bool cut = false;
            for (; k < points.size(); ++k) {
                if (left <= 5) {
                    cut = true;
                    break;
                }
                if (k == 0) {
                    SmfEncodeVarLen(voice, 0);
                } else {
                    SmfEncodeVarLen(voice, 5);
                    left -= 5;
                }
                SmfAppendByte(voice, 0xE0);
                SmfAppendPitchBend14(voice, roundWithin(Vb::Val(points.at(k)) * 8.191 + 8192, 0, 16383));
            }
            if (!cut && left > 5) {
                SmfEncodeVarLen(voice, 5);
                left -= 5;
                SmfAppendBytes(voice, QByteArray("\xE0\x00\x40", 3));
            } else if (cut) {
                appendDelta(voice, left);
                left = 0;
                SmfAppendBytes(voice, QByteArray("\xE0\x00\x40", 3));
            }
        }
        appendDelta(voice, left);
        SmfAppendBytes(voice, QByteArray("\x80", 1) + char(midiNote) + QByteArray(1, '\0'));
    }
    // The rests after the last note end the track where the song ends.
    appendDelta(voice, delta);
    SmfAppendBytes(voice, QByteArray("\xFF\x2F\x00", 3));

    QByteArray out("MThd");
    SmfAppendBE32(out, 6);
    SmfAppendBE16(out, 1);
    SmfAppendBE16(out, 2);
    SmfAppendBE16(out, Division);
    out += chunk(conductor);
    out += chunk(voice);
    return out;
}

void WriteSmfFile(float tempo, const QStringList& headerLines, const NoteArrays& notes, const QString& path,
                  const QString& mode) {
    if (notes.noteCount() == 0) return;
    QStringList config;
    if (mode == u"TM") config = ReadSongtmConfig();
    else if (mode == u"AQ") config = ReadAquestoneConfig();
    SaveExchangeFile(path, SmfFileBytes(tempo, headerLines, notes, mode, config));
}

void SaveExchangeFile(const QString& path, const QByteArray& bytes) {
    QString reason;
    if (!ReplaceFile(path, bytes, &reason)) throw IoError(QStringLiteral("%1: %2").arg(path, reason));
}

}  // namespace tova
