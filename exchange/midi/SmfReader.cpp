#include "exchange/midi/SmfReader.h"

#include "exchange/midi/SmfBytes.h"
#include "exchange/midi/SmfFile.h"
#include "exchange/midi/SmfFormatError.h"
#include "exchange/midi/SmfParseTrack.h"
#include "platform/Cp932.h"
#include "platform/Ports.h"
#include "platform/Vb.h"
#include "song/ProjectSettings.h"

#include <QStringDecoder>

#include <cmath>
#include <limits>
#include <numeric>

namespace tova {

namespace {

constexpr qint64 MaxLong = std::numeric_limits<qint32>::max();

// Runs one reading step of an entry point: a format failure (a short read, an impossible value or an
// overflow) closes the file and gives `failure`; any other error closes the file and goes on.
template <class Result, class Body>
Result readOrFail(SmfFile& file, Result failure, Body body) {
    try {
        return body();
    } catch (const SmfFormatError&) {
        file.close();
        return failure;
    } catch (const OverflowError&) {
        file.close();
        return failure;
    } catch (...) {
        file.close();
        throw;
    }
}

QString tempoEntry(qint64 tick, qint32 microseconds) {
    return QString::number(tick) + u' ' + QString::number(microseconds);
}


// Skips a track chunk by its declared length.
bool skipTrack(SmfFile& file) {
    if (!SmfBeginTrack(file)) return false;
    file.endChunk();
    return true;
}

// A track name as the user wrote it. Files come from every desktop: a name that is valid UTF-8 with
// letters beyond ASCII is UTF-8 (Japanese in CP932 is almost never valid UTF-8, while UTF-8 often reads
// "cleanly" as CP932 kana and kanji); else CP932 when it decodes cleanly, unless every byte above ASCII
// is a Latin-1 letter and the reading needs a rare kanji (a Latin-1 letter taken with the next letter as
// one double-byte character, "Spår" read as "Sp蚌"); else Latin-1, which reads every byte.
QString trackNameText(const QByteArray& bytes) {
    bool ascii = true;
    for (const char b : bytes) ascii = ascii && uchar(b) < 0x80;
    if (ascii) return QString::fromLatin1(bytes);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString asUtf8 = utf8.decode(bytes);
    if (!utf8.hasError()) return asUtf8;
    bool clean = true;
    const QString asCp932 = Cp932::decode(bytes, &clean);
    if (clean) {
        bool latinLetters = true, rareLead = false;
        for (qsizetype i = 0; i < bytes.size(); ++i) {
            const uchar b = uchar(bytes[i]);
            if (b < 0x80) continue;
            latinLetters = latinLetters && b >= 0xC0 && b != 0xD7 && b != 0xF7;
            if ((b >= 0x81 && b <= 0x9F) || b >= 0xE0) {
                // A double-byte character: its lead, then its trail byte.
                rareLead = rareLead || b >= 0xE0;
                ++i;
                if (i < bytes.size() && uchar(bytes[i]) >= 0x80)
                    latinLetters = latinLetters && uchar(bytes[i]) >= 0xC0 && uchar(bytes[i]) != 0xD7 &&
                                   uchar(bytes[i]) != 0xF7;
            }
        }
        if (!(latinLetters && rareLead)) return asCp932;
    }
    return QString::fromLatin1(bytes);
}

QStringList listTracks(SmfFile& file, QList<qint32>* noteCounts) {
    QList<qint32> trackNotes;
    const QStringList list = readOrFail(file, QStringList(), [&] {
        SmfHeader header;
        if (!SmfReadHeader(file, header)) return QStringList();
        QStringList list;
        SmfNoteCounts firstCounts{};
        for (qint32 i = 1; i <= header.tracks; ++i) {
            QStringList tempos, texts;
            SmfNoteCounts counts{};
            if (SmfReadChunk(file, tempos, texts, counts) < 0) break;
            if (i == 1) firstCounts = counts;
            list.append(QString::number(i) + QStringLiteral(": ") + file.LastTrackName);
            trackNotes.append(std::accumulate(counts.begin(), counts.end(), qint32(0)));
        }
        file.close();
        if (header.format == 0 && !list.isEmpty()) {
            // A format 0 file holds every part in its one track: the choice is by channel.
            list.clear();
            trackNotes.clear();
            for (int ch = 0; ch < 16; ++ch) {
                list.append(QStringLiteral("Channel") + QString::number(ch + 1) + u':' +
                            QString::number(firstCounts[size_t(ch)]) + QStringLiteral(" notes"));
                trackNotes.append(firstCounts[size_t(ch)]);
            }
        }
        return list;
    });
    if (noteCounts) *noteCounts = list.isEmpty() ? QList<qint32>() : trackNotes;
    return list;
}

qint32 importTrack(SmfFile& file, qint16 trackNo, qint32& count, float& tempo, NoteArrays& notes) {
    return readOrFail(file, qint32(-1), [&]() -> qint32 {
        SmfHeader header;
        if (!SmfReadHeader(file, header)) return -1;
        QStringList tempos;
        bool startedFromCaller = false;
        NoteArrays work = notes;
        qint32 newCount = count;
        qint32 result = 0;
        if (header.format == 1) {
            for (qint32 i = 1; i != trackNo && i <= header.tracks; ++i) {
                if (i == 1) {
                    // The first track conducts: its tempo events time every other track.
                    QStringList texts;
                    SmfNoteCounts counts{};
                    if (SmfReadChunk(file, tempos, texts, counts) < 0) {
                        file.close();
                        return -1;
                    }
                } else if (!skipTrack(file)) {
                    return -1;
                }
            }
            if (tempos.isEmpty()) {
                const double us = 60000000.0 / double(tempo);
                if (std::isfinite(us) && us >= 1 && us < double(MaxLong)) {
                    tempos.append(tempoEntry(0, Vb::CLng(us)));
                    startedFromCaller = true;
                }
            }
            result = SmfParseTrack(file, header.division, newCount, tempos, work);
        } else {
            // Format 0: the chooser listed channels, so the choice is a channel number.
            result = SmfParseTrack(file, header.division, newCount, tempos, work, trackNo);
        }
        file.close();
        if (result < 0) return result;
        if (!startedFromCaller && !tempos.isEmpty()) tempo = SmfTempoOfEntry(tempos.first());
        notes = std::move(work);
        count = newCount;
        return result;
    });
}

qint32 readSmf(SmfFile& file, float& tempo, QStringList& texts, NoteArrays& notes, int channel) {
    return readOrFail(file, qint32(-1), [&]() -> qint32 {
        SmfHeader header;
        if (!SmfReadHeader(file, header)) return -1;
        QStringList tempos;
        QStringList newTexts = texts;
        SmfNoteCounts counts{};
        if (SmfReadChunk(file, tempos, newTexts, counts) < 0) {
            file.close();
            return -1;
        }
        float newTempo = tempo;
        if (!tempos.isEmpty()) newTempo = SmfTempoOfEntry(tempos.first());
        NoteArrays work = notes;
        qint32 result = 0;
        if (!file.atFileEnd()) {
            bool ok = true;
            if (header.tracks > 2) ok = SmfReadChunk(file, tempos, newTexts, counts) >= 0;
            if (ok) {
                qint32 count = 0;
                result = SmfParseTrack(file, header.division, count, tempos, work, channel);
            }
        }
        file.close();
        if (result < 0) return result;
        tempo = newTempo;
        texts = std::move(newTexts);
        notes = std::move(work);
        return result;
    });
}

}  // namespace

bool SmfReadHeader(SmfFile& file, SmfHeader& header) {
    if (file.readBytes(4) != QByteArrayLiteral("MThd")) {
        file.close();
        return false;
    }
    const qint32 length = SmfReadBE32(file);
    if (length < 6) throw SmfFormatError();
    file.beginChunk(length);
    header.format = SmfReadBE16(file);
    header.tracks = SmfReadBE16(file);
    header.division = SmfReadBE16(file);
    file.endChunk();
    if (header.format >= 2) {
        file.close();
        return false;
    }
    if (header.division <= 0) throw SmfFormatError();
    return true;
}

bool SmfBeginTrack(SmfFile& file) {
    file.RunningStatus = 0;
    if (!file.isOpen() || file.atFileEnd() || file.readBytes(4) != QByteArrayLiteral("MTrk")) {
        file.close();
        return false;
    }
    file.beginChunk(SmfReadBE32(file));
    return true;
}

qint32 SmfTempoMicroseconds(const QByteArray& bytes) {
    if (bytes.size() < 3) throw SmfFormatError();
    const qint32 us = (qint32(quint8(bytes[0])) << 16) | (qint32(quint8(bytes[1])) << 8) | qint32(quint8(bytes[2]));
    if (us == 0) throw SmfFormatError();
    return us;
}

float SmfTempoBpm(qint32 microseconds) { return float(ImportedTempo(60000000.0 / double(microseconds), 120.0f)); }

float SmfTempoOfEntry(const QString& entry) {
    qint32 tick = 0, microseconds = 0;
    SmfSplitTempoEntry(entry, tick, microseconds);
    return SmfTempoBpm(microseconds);
}

void SmfSplitTempoEntry(const QString& entry, qint32& tick, qint32& microseconds) {
    const qsizetype blank = entry.indexOf(u' ');
    const double t = Vb::Val(blank < 0 ? entry : entry.left(blank));
    const double us = blank < 0 ? 0.0 : Vb::Val(entry.mid(blank + 1));
    if (!(t >= 0 && t <= double(MaxLong)) || !(us >= 1 && us <= double(MaxLong))) throw SmfFormatError();
    tick = qint32(t);
    microseconds = qint32(us);
}

qint32 SmfReadEvent(SmfFile& file, quint8& status, quint8& data1, quint8& data2, QByteArray& bytes) {
    const qint32 delta = SmfReadVarLen(file);
    const quint8 first = file.readByte();
    if (first >= 0x80) {
        file.RunningStatus = first;
        if (first < 0xF0) data1 = file.readByte();
    } else {
        if (file.RunningStatus < 0x80 || file.RunningStatus >= 0xF0) {
            Ports::msgBox(QStringLiteral("Invalid status."));
            return -1;
        }
        data1 = first;
    }
    status = file.RunningStatus;
    switch (status >> 4) {
    case 0x8:
    case 0x9:
    case 0xA:
    case 0xB:
    case 0xE:
        data2 = file.readByte();
        break;
    case 0xC:
    case 0xD:
        break;
    case 0xF:
        switch (status) {
        case 0xF0:
        case 0xF7:
            bytes = file.readBytes(SmfReadVarLen(file));
            break;
        case 0xF1:
        case 0xF3:
            data1 = file.readByte();
            break;
        case 0xF2:
            data1 = file.readByte();
            data2 = file.readByte();
            break;
        case 0xFF:
            data1 = file.readByte();
            bytes = file.readBytes(SmfReadVarLen(file));
            break;
        default:
            break;
        }
        break;
    default:
        break;
    }
    return delta;
}

qint32 SmfReadChunk(SmfFile& file, QStringList& tempos, QStringList& texts, SmfNoteCounts& counts,
                    QList<QByteArray>* rawTexts) {
    counts.fill(0);
    if (!SmfBeginTrack(file)) return -1;
    qint64 time = 0;
    file.LastTrackName.clear();
    quint8 status = 0, data1 = 0, data2 = 0;
    QByteArray bytes;
    while (!file.atEnd()) {
        const qint32 delta = SmfReadEvent(file, status, data1, data2, bytes);
        if (delta < 0) return delta;
        time += delta;
        if (time > MaxLong) throw SmfFormatError();
        if (status == 0xFF) {
            if (data1 == 0x2F) break;
            if (data1 == 0x51) {
                tempos.append(tempoEntry(time, SmfTempoMicroseconds(bytes)));
            } else if (data1 >= 1 && data1 <= 7) {
                const QString text = Cp932::decode(bytes);
                if (data1 == 1) {
                    texts.append(text);
                    if (rawTexts) rawTexts->append(bytes);
                }
                else if (data1 == 3) file.LastTrackName = trackNameText(bytes);
            }
        } else if ((status & 0xF0) == 0x90 && data2 > 0) {
            ++counts[status & 0x0F];
        }
    }
    file.endChunk();
    return 0;
}

bool GetTextKeyValue(const QString& text, const QString& key, QString& value) {
    const qsizetype at = text.indexOf(key + u'=');
    if (at < 0) return false;
    const qsizetype from = at + key.size() + 1;
    const qsizetype blank = text.indexOf(u' ', from);
    value = blank < 0 ? text.mid(from) : text.mid(from, blank - from);
    return true;
}

namespace {

// A value rounded down to hundredths, in its shortest decimal form ("24.41", "-0.05", "3.1", "0").
QString hundredthsText(double value) {
    const double h = std::floor(value * 100);
    if (!(std::fabs(h) < 1e15)) return Vb::DoubleText(h / 100);
    const qint64 n = qint64(h);
    const quint64 a = n < 0 ? quint64(-n) : quint64(n);
    QString text = n < 0 ? QStringLiteral("-") : QString();
    text += QString::number(a / 100);
    const int frac = int(a % 100);
    if (frac != 0) {
        text += u'.';
        text += QChar(u'0' + frac / 10);
        if (frac % 10 != 0) text += QChar(u'0' + frac % 10);
    }
    return text;
}

}  // namespace

QString BuildPitchPointText(const QString& points, qint16 division, qint16 bendRange, float tempo, qint64 noteEnd,
                            qsizetype maxValues) {
    struct Point {
        double tick;
        double value;
    };
    std::vector<Point> list;
    const QStringList entries = points.split(u',');
    if (entries.size() <= 1) return QString();
    if (division <= 0) throw SmfFormatError();
    list.reserve(size_t(entries.size()));
    for (const QString& e : entries) {
        const qsizetype blank = e.indexOf(u' ');
        const double tick = Vb::Val(blank < 0 ? e : e.left(blank));
        const double value = blank < 0 ? 0.0 : Vb::Val(e.mid(blank + 1));
        if (tick > double(noteEnd)) continue;  // beyond the note's end
        list.push_back({tick, value});
    }
    if (list.size() <= 1 || maxValues < 3) return QString();

    QString out;
    size_t next = 0;
    double current = 0;
    qsizetype written = 0;
    QString currentText = QStringLiteral("0");
    for (qint64 k = 0;; ++k) {
        // The points due by sample k (k / 96 quarter notes) set the value, in order.
        bool changed = false;
        while (next < list.size() && list[next].tick * 96.0 <= double(k) * double(division)) {
            current = list[next].value * 100.0 * double(bendRange) / 8192.0;
            changed = true;
            ++next;
        }
        if (changed) currentText = hundredthsText(current);
        if (written == 0) {
            out = currentText + u'Q' + Vb::Format(double(tempo), QStringLiteral("0.00"));
        } else {
            out += u' ';
            out += currentText;
        }
        ++written;
        if (next >= list.size() || written >= maxValues - 2) break;
    }
    out += u' ';
    out += currentText;
    out += u' ';
    out += currentText;
    if (!out.trimmed().contains(u' ')) return QString();
    return out;
}

QStringList ListSmfTracks(const QString& path, QList<qint32>* noteCounts) {
    SmfFile file;
    file.open(path);
    return listTracks(file, noteCounts);
}

QStringList ListSmfTracks(QIODevice& device, QList<qint32>* noteCounts) {
    SmfFile file;
    file.open(device);
    return listTracks(file, noteCounts);
}

qint32 ImportSmfTrack(const QString& path, qint16 trackNo, qint32& count, float& tempo, NoteArrays& notes) {
    SmfFile file;
    file.open(path);
    return importTrack(file, trackNo, count, tempo, notes);
}

qint32 ImportSmfTrack(QIODevice& device, qint16 trackNo, qint32& count, float& tempo, NoteArrays& notes) {
    SmfFile file;
    file.open(device);
    return importTrack(file, trackNo, count, tempo, notes);
}

qint32 ReadSmfFile(float& tempo, QStringList& texts, NoteArrays& notes, const QString& path, int channel) {
    SmfFile file;
    file.open(path);
    return readSmf(file, tempo, texts, notes, channel);
}

qint32 ReadSmfFile(float& tempo, QStringList& texts, NoteArrays& notes, QIODevice& device, int channel) {
    SmfFile file;
    file.open(device);
    return readSmf(file, tempo, texts, notes, channel);
}

}  // namespace tova
