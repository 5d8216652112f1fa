#include "exchange/vsq/VsqReader.h"

#include "core/Settings.h"
#include "exchange/midi/ImportPortamento.h"
#include "exchange/midi/SmfFile.h"
#include "exchange/midi/SmfFormatError.h"
#include "exchange/midi/SmfReader.h"
#include "platform/Cp932.h"
#include "platform/Errors.h"
#include "platform/Vb.h"
#include "song/NoteExtension.h"
#include "song/PitchText.h"
#include "song/FreeText.h"

#include <QHash>

#include <algorithm>
#include <cmath>
#include <limits>

namespace tova {

namespace {

constexpr int WorkFieldCount = 9;
enum WorkField { FieldDynamics = 1, FieldPitch = 3, FieldOptions = 5, FieldBendDepth = 6, FieldTick = 7, FieldTempo = 8 };
constexpr double MinLong = std::numeric_limits<qint32>::min();
constexpr double MaxLong = std::numeric_limits<qint32>::max();

// A number of the file held to 32 bits (rounded, halves to even); beyond them the file is damaged.
qint32 longOf(double v) {
    const double r = std::nearbyint(v);
    if (!(r >= MinLong && r <= MaxLong)) throw SmfFormatError();
    return qint32(r);
}


QString tempoOption(float tempo) { return QStringLiteral("tempo=") + Vb::Format(double(tempo), QStringLiteral("0.00")); }

struct Element {
    qint32 length = 0;
    QString lyric;
    qint32 noteNum = 0;
    QStringList fields;  // the nine working fields
};

struct EventEntry {
    qint32 tick = 0;
    QString name;
};

// One pass over the lines of the sequence text.
class SequenceParser {
public:
    SequenceParser(const QStringList& lines, const QStringList& tempos, qint16 division, float startTempo)
        : lines_(lines), tempos_(tempos), division_(division), tempo_(startTempo) {
        if (!tempos_.isEmpty()) tempo_ = SmfTempoOfEntry(tempos_.first());
    }

    qint32 run() {
        while (at_ < lines_.size()) {
            const QString& line = lines_.at(at_++);
            if (line == u"[EventList]") readEventList();
            else if (line.startsWith(u"[ID#")) readRecord(line.mid(1, line.size() - 2));
            else if (line.startsWith(u"[h#")) readHandle(line.mid(1, line.size() - 2));
            else if (line == u"[PitchBendBPList]") readBends();
        }
        elements_.resize(idx_);
        return idx_;
    }

    std::vector<Element>& elements() { return elements_; }

private:
    // The key lines that follow, up to the first line without "=": key and value (the text after the
    // first "=").
    template <class Body>
    void keyLines(Body body) {
        while (at_ < lines_.size()) {
            const QString& line = lines_.at(at_);
            const qsizetype eq = line.indexOf(u'=');
            if (eq < 0) break;
            ++at_;
            body(line.left(eq), line.mid(eq + 1));
        }
    }

    qint32 internal(double fileTicks) const { return longOf(fileTicks * 1920.0 / division_); }

    void readEventList() {
        events_.clear();
        byName_.clear();
        keyLines([&](const QString& tick, const QString& name) {
            byName_[name].append(qint32(events_.size()));
            events_.push_back({longOf(Vb::Val(tick)), name});
        });
        searchFrom_ = 0;
    }

    void setLyric(qint32 index, const QString& lyric) {
        elements_[size_t(index)].lyric = lyric;
        byLyric_[lyric].append(index);
    }

    void readRecord(const QString& name) {
        // The record's event: the first entry of that name at or after the previous record's.
        const QList<qint32> found = byName_.value(name);
        const auto hit = std::lower_bound(found.begin(), found.end(), searchFrom_);
        if (hit == found.end()) {
            keyLines([](const QString&, const QString&) {});
            return;
        }
        const qint32 entry = *hit;
        searchFrom_ = entry;
        const qint32 tick = events_[size_t(entry)].tick;
        // The distance to the next event is the difference of their internal positions (each rounded on
        // its own), so that elements start where the file has them however the ticks divide.
        const qint64 distance = size_t(entry) + 1 < events_.size()
                                    ? qint64(internal(double(events_[size_t(entry) + 1].tick))) - internal(double(tick))
                                    : -1;
        advanceTempo(tick);

        if (elements_.size() < size_t(idx_) + 1) elements_.resize(size_t(idx_) + 1);
        elements_[size_t(idx_)] = Element();
        QStringList fields(WorkFieldCount);
        fields[FieldTick] = QString::number(tick);
        fields[FieldTempo] = Vb::SingleText(tempo_);
        double fileLength = 0;
        Element& e = elements_[size_t(idx_)];
        keyLines([&](const QString& key, const QString& value) {
            if (key == u"Type") {
                if (value != u"Anote") {
                    setLyric(idx_, QStringLiteral("R"));
                    e.noteNum = 36;
                }
            } else if (key == u"Length") {
                fileLength = Vb::Val(value);
                e.length = internal(fileLength);
            } else if (key == u"Note#") {
                e.noteNum = longOf(double(longOf(Vb::Val(value))) - 24);
            } else if (key == u"Dynamics") {
                // Kept in a field of the extension string, which a TAB would split.
                fields[FieldDynamics] = QString(value).replace(u'\t', u' ');
            } else if (key == u"LyricHandle") {
                setLyric(idx_, value);
            } else if (key == u"PMBendDepth") {
                fields[FieldBendDepth] = value;
            }
        });
        e.fields = fields;

        const qint64 gap = distance > 0 ? distance - qint64(e.length) : 0;
        const bool rest = gap > 1920.0 / division_;
        if (rest && gap > qint64(MaxLong)) throw SmfFormatError();
        if (!rest && gap != 0) {
            // An overlap ends the element where the next event starts; a gap of up to one file tick
            // (what rounding the ticks leaves) lengthens it, so that the later notes keep their time.
            e.length = qint32(distance);
        }
        // A tempo change goes on the first element of some length at or after it: the element itself,
        // else the rest after it.
        if (e.length > 0 && tempo_ != lastTempoWritten_) {
            e.fields[FieldOptions] = tempoOption(tempo_);
            lastTempoWritten_ = tempo_;
        }
        qint32 last = idx_;
        if (rest) {
            // A rest fills the gap to the next event; it begins where the element ends, and is cut at
            // each tempo change inside it. A change within a tick of its start (where rounding the
            // file's ticks puts a change written for the rest) is the rest's own.
            const qint32 nextTick = events_[size_t(entry) + 1].tick;
            const qint64 end = internal(double(nextTick));
            qint64 from = end - gap;
            qint64 fromTick = qint64(tick) + qint64(std::nearbyint(fileLength));
            advanceTempo(qint32(std::clamp<qint64>(fromTick + 1, tick, nextTick - 1)));
            while (from < end) {
                qint64 cutTick = nextTick;
                if (tempoAt_ < tempos_.size()) {
                    qint32 t = 0, us = 0;
                    SmfSplitTempoEntry(tempos_.at(tempoAt_), t, us);
                    if (t < nextTick) cutTick = t;
                }
                const qint64 to = cutTick < nextTick ? std::clamp<qint64>(internal(double(cutTick)), from, end) : end;
                if (to > from) {
                    ++last;
                    if (elements_.size() < size_t(last) + 1) elements_.resize(size_t(last) + 1);
                    Element& piece = elements_[size_t(last)];
                    piece = Element();
                    setLyric(last, QStringLiteral("R"));
                    piece.length = qint32(to - from);
                    piece.noteNum = 36;
                    piece.fields = fields;
                    piece.fields[FieldTick] = QString::number(fromTick);
                    piece.fields[FieldTempo] = Vb::SingleText(tempo_);
                    if (tempo_ != lastTempoWritten_) {
                        piece.fields[FieldOptions] = tempoOption(tempo_);
                        lastTempoWritten_ = tempo_;
                    }
                    from = to;
                }
                fromTick = cutTick;
                if (cutTick >= nextTick) break;
                advanceTempo(qint32(cutTick));
            }
        }
        idx_ = elements_[size_t(last)].length > 0 ? last + 1 : last;
    }

    // Moves the tempo in force over every change at or before a tick.
    void advanceTempo(qint32 tick) {
        while (tempoAt_ < tempos_.size()) {
            qint32 t = 0, us = 0;
            SmfSplitTempoEntry(tempos_.at(tempoAt_), t, us);
            if (t > tick) break;
            tempo_ = SmfTempoBpm(us);
            ++tempoAt_;
        }
    }

    void readHandle(const QString& name) {
        keyLines([&](const QString& key, const QString& value) {
            if (key != u"L0") return;
            // The lyric is the quoted text before the quoted phonetic symbols: taken as written, with
            // its blanks and commas ("あ " and "か, " stay what they were). A value in another shape is
            // cut at its first comma and trimmed.
            QString lyric, symbols;
            const qsizetype split = value.lastIndexOf(QStringLiteral("\",\""));
            if (value.startsWith(u'"') && split > 0) {
                lyric = value.mid(1, split - 1);
                symbols = value.mid(split + 3).section(u'"', 0, 0);
            } else {
                const QStringList parts = value.split(u',');
                lyric = QString(parts.at(0)).remove(u'"').trimmed();
                symbols = parts.value(1).remove(u'"');
            }
            if (lyric.contains(QChar(0))) lyric = symbols.remove(u' ');
            for (qint32 index : byLyric_.take(name)) {
                if (size_t(index) < elements_.size() && elements_[size_t(index)].lyric == name) setLyric(index, lyric);
            }
        });
    }

    void readBends() {
        struct Point {
            double tick;
            QString value;
        };
        std::vector<Point> points;
        keyLines([&](const QString& tick, const QString& value) { points.push_back({Vb::Val(tick), value}); });
        const qsizetype count = std::min<qsizetype>(qsizetype(elements_.size()), idx_ + 1);
        size_t cursor = 0;
        for (qsizetype i = 0; i < count; ++i) {
            Element& e = elements_[size_t(i)];
            if (e.fields.isEmpty()) continue;
            const double start = Vb::Val(e.fields[FieldTick]);
            const bool lastOne = i + 1 >= count || elements_[size_t(i) + 1].fields.isEmpty();
            const double next = lastOne ? 0 : Vb::Val(elements_[size_t(i) + 1].fields[FieldTick]);
            QString text;
            const auto append = [&](const Point& p) {
                if (!text.isEmpty()) text += u',';
                text += Vb::DoubleText(p.tick - start) + u' ' + p.value;
            };
            for (; cursor < points.size(); ++cursor) {
                const Point& p = points[cursor];
                if (lastOne) append(p);  // the last element takes every remaining point
                else if (p.tick >= next) break;  // from the next element's start on: a later element's
                else if (p.tick >= start) append(p);
                // below the start: passed over
            }
            const double depth = Vb::Val(e.fields[FieldBendDepth]);
            if (depth != 0 && !text.isEmpty() && budget_ >= 3) {
                const QString pitch = BuildPitchPointText(text, division_, Vb::CInt(depth),
                                                          Vb::CSng(Vb::Val(e.fields[FieldTempo])),
                                                          std::numeric_limits<qint64>::max(), budget_);
                budget_ -= pitch.isEmpty() ? 0 : pitch.count(u' ') + 1;
                e.fields[FieldPitch] = pitch;
            }
        }
    }

    const QStringList& lines_;
    const QStringList& tempos_;
    const qint16 division_;
    qsizetype at_ = 0;
    std::vector<EventEntry> events_;
    QHash<QString, QList<qint32>> byName_;
    qint32 searchFrom_ = 0;
    qsizetype tempoAt_ = 0;
    float tempo_;
    float lastTempoWritten_ = 0;
    qint32 idx_ = 0;
    std::vector<Element> elements_;
    QHash<QString, QList<qint32>> byLyric_;  // elements by the lyric given to them (handle names included)
    qsizetype budget_ = MaxDecodedPitchValues;
};

// The sung notes get the default note settings; every element is cut to six fields.
void finish(std::vector<Element>& elements, float fileTempo, NoteArrays& out) {
    const Settings& s = settings();
    out.resizeNotes(qint32(elements.size()));
    double prevTempo = fileTempo, carried = fileTempo;
    for (size_t i = 0; i < elements.size(); ++i) {
        Element& e = elements[i];
        QString ext = JoinNoteExt(e.fields);
        // The tempo in force: the element's own option, else the one carried from before.
        const double own = Vb::Val(GetNoteOption(ext, QStringLiteral("tempo")));
        const double thisTempo = own > 0 ? own : carried;
        if (!IsRestLyric(e.lyric)) {
            if (s.Mode2) {
                if (!s.Mode2PBS.isEmpty() && !s.Mode2PBW.isEmpty() && i > 0) {
                    QStringList f = SplitNoteExt(ext);
                    const Element& prev = elements[i - 1];
                    SetImportPortamento(f[ExtOptions], prev.noteNum, e.noteNum, prev.length, e.length, prevTempo,
                                        thisTempo);
                    ext = JoinNoteExt(f);
                }
                if (e.length > s.Mode2VBRExclude) SetNoteOption(ext, QStringLiteral("VBR"), s.Mode2VBR);
            }
            if (!s.DefaultEnv.isEmpty()) SetNoteOption(ext, QStringLiteral("env"), s.DefaultEnv);
            SetNoteIntensityModFlags(ext, s.DefaultVolume, s.DefaultModulation, s.DefaultFlags);
        }
        prevTempo = thisTempo;
        carried = thisTempo;
        out.Lengths[qsizetype(i)] = e.length;
        out.Lyrics[qsizetype(i)] = SafeFreeText(e.lyric, FreeTextUse::Lyric);
        out.NoteNums[qsizetype(i)] = e.noteNum;
        out.NoteExt[qsizetype(i)] = ext;
    }
}

// The sequence text of the chosen track: the "DM:" events' bytes after their "DM:nnnn:" heads, joined,
// decoded and split into lines (a CR ending a line is dropped). A text beyond VsqSequenceLimit raises
// FileError naming the file.
QStringList sequenceLines(const QList<QByteArray>& texts, const QString& name) {
    QByteArray joined;
    for (const QByteArray& t : texts) {
        if (!t.startsWith("DM:")) continue;
        const qsizetype colon = t.indexOf(':', 3);
        const QByteArrayView part = QByteArrayView(t).sliced(colon < 0 ? qMin<qsizetype>(8, t.size()) : colon + 1);
        if (joined.size() + part.size() > VsqSequenceLimit)
            throw FileError(QStringLiteral("「%1」はトラックの内容が大きすぎるため読み込みません（%2 MBまで）。")
                                .arg(name)
                                .arg(VsqSequenceLimit >> 20),
                            7);
        joined += part;
    }
    QStringList lines = Cp932::decode(joined).split(u'\n');
    for (QString& line : lines)
        if (line.endsWith(u'\r')) line.chop(1);
    return lines;
}

qint32 readVsq(SmfFile& file, float& tempo, NoteArrays& notes, qint16& track, const QString& name) {
    try {
        SmfHeader header;
        if (!SmfReadHeader(file, header)) return -1;
        QStringList tempos, texts;
        QList<QByteArray> raw;
        SmfNoteCounts counts{};
        if (SmfReadChunk(file, tempos, texts, counts) < 0 || file.atFileEnd()) {
            file.close();
            return 0;
        }
        if (track < 2 || track > header.tracks) track = 2;
        const float fileTempo = tempos.isEmpty() ? tempo : SmfTempoOfEntry(tempos.first());
        for (qint16 i = 2; i <= track; ++i) {
            raw.clear();
            if (SmfReadChunk(file, tempos, texts, counts, &raw) < 0) {
                file.close();
                return 0;
            }
        }
        file.close();
        const QStringList lines = sequenceLines(raw, name);
        SequenceParser parser(lines, tempos, header.division, tempo);
        if (parser.run() <= 0) return 0;
        // An element of no length (the singer's record before a gap) is no note: a song holding one
        // would move every later note once saved and opened again (a note is at least 60 ticks).
        std::vector<Element>& elements = parser.elements();
        elements.erase(std::remove_if(elements.begin(), elements.end(), [](const Element& e) { return e.length <= 0; }),
                       elements.end());
        const qint32 count = qint32(elements.size());
        if (count == 0) return 0;
        NoteArrays read;
        finish(elements, fileTempo, read);
        notes = std::move(read);
        tempo = fileTempo;
        return count;
    } catch (const SmfFormatError&) {
    } catch (const OverflowError&) {
    }
    file.close();
    return -1;
}

}  // namespace

qint32 ReadVsqFile(const QString& path, float& tempo, NoteArrays& notes, qint16& track) {
    SmfFile file;
    file.open(path);
    return readVsq(file, tempo, notes, track, path);
}

qint32 ReadVsqFile(QIODevice& device, float& tempo, NoteArrays& notes, qint16& track) {
    SmfFile file;
    file.open(device);
    return readVsq(file, tempo, notes, track, QStringLiteral("VSQ"));
}

}  // namespace tova
