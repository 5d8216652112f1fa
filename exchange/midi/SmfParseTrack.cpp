#include "exchange/midi/SmfParseTrack.h"

#include "core/Settings.h"
#include "exchange/midi/SmfFile.h"
#include "exchange/midi/ImportPortamento.h"
#include "exchange/midi/SmfFormatError.h"
#include "exchange/midi/SmfReader.h"
#include "platform/Cp932.h"
#include "platform/Vb.h"
#include "song/LyricText.h"
#include "song/NoteExtension.h"
#include "song/PitchText.h"
#include "song/FreeText.h"

#include <cfloat>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace tova {

namespace {

constexpr qint64 MaxLong = std::numeric_limits<qint32>::max();
const QChar Tab(u'\t');

QString tempoText(float tempo) { return Vb::Format(double(tempo), QStringLiteral("0.00")); }

qint32 checkedLong(qint64 v) {
    if (v < std::numeric_limits<qint32>::min() || v > MaxLong) throw OverflowError();
    return qint32(v);
}

// The state of one track's conversion.
class TrackParser {
public:
    TrackParser(qint16 division, qint32& count, QStringList& tempos, NoteArrays& notes, int channel)
        : division_(division), scale_(1920.0 / double(division)), count_(count), tempos_(tempos), notes_(notes),
          channelFilter_(channel - 1) {}

    void start() {
        if (!tempos_.isEmpty()) {
            tempo_ = tempoAt(0);
            pendingTempoOption_ = QStringLiteral("tempo=") + tempoText(tempo_);
            lastTempo_ = tempo_;
        }
    }

    // One event; false at the end of the track.
    bool event(qint32 eventDelta, quint8 status, quint8 data1, quint8 data2, const QByteArray& bytes) {
        time_ += eventDelta;
        delta_ += eventDelta;
        if (time_ > MaxLong || delta_ > MaxLong) throw SmfFormatError();
        const int kind = status & 0xF0;
        const int channel = status & 0x0F;
        applyTempoChanges(status != 0xFF && kind == 0x90 && data2 > 0 &&
                          (channelFilter_ < 0 || channel == channelFilter_));
        if (status == 0xFF) return meta(data1, bytes);
        if (channelFilter_ >= 0 && channel != channelFilter_) {
            otherChannel_ = true;
            return true;
        }
        switch (kind) {
        case 0x80:
        case 0x90: {
            const qint32 note = data1 >= 24 ? data1 - 24 : data1 >= 12 ? data1 - 12 : data1;
            const int velocity = kind == 0x80 ? 0 : data2;
            if (velocity > 0) noteOn(note, velocity);
            else noteOff(note);
            break;
        }
        case 0xE0:
            if (!pitchPoints_.isEmpty()) pitchPoints_ += u',';
            pitchPoints_ += QString::number(delta_) + u' ' + QString::number(qint32(data2) * 128 + data1 - 8192);
            break;
        case 0xB0:
            if (data1 == 101) rpnMsb_ = data2;
            else if (data1 == 100) rpnLsb_ = data2;
            else if (data1 == 6 && rpnMsb_ == 0 && rpnLsb_ == 0) bendRange_ = data2;
            break;
        default:
            break;
        }
        return true;
    }

private:
    float tempoAt(qsizetype index) { return SmfTempoOfEntry(tempos_.at(index)); }

    // The internal position of a file tick (halves to even). Lengths are differences of rounded
    // positions, so that every entry starts within half an internal tick of where the file has it.
    qint64 position(qint64 tick) const { return qint64(std::nearbyint(double(tick) * scale_)); }
    // The internal length from one file tick to a later one.
    qint32 span(qint64 from, qint64 to) const { return checkedLong(position(to) - position(from)); }
    // The internal length of the time since the last entry written.
    qint32 sinceLast() const { return span(time_ - delta_, time_); }

    void put(qint32 length, const QString& lyric, qint32 noteNum, const QString& ext) {
        otherChannel_ = false;
        const qint32 index = count_;
        if (index == std::numeric_limits<qint32>::max()) throw OverflowError();
        notes_.resizeNotes(index + 1);
        notes_.Lengths[index] = length;
        notes_.Lyrics[index] = SafeFreeText(lyric, FreeTextUse::Lyric);
        notes_.NoteNums[index] = noteNum;
        notes_.NoteExt[index] = ext;
    }

    // Tempo changes that are due by now; a change inside a rest cuts the rest there. A change at or
    // before the end of the last entry written (the start tempo met again by a track that begins with
    // a rest, or a track's own tempo event listed after later ones of the conductor) cuts nothing: the
    // piece before it would have no length or a negative one. The rest ahead then starts with it.
    // Between notes, a change on the tick of the event in hand goes with the note that starts there
    // (`atNoteOn`); before any other event on that tick (a lyric, a controller, another channel's
    // note) it waits for the next event, which tells whether a note starts there or a rest goes on.
    void applyTempoChanges(bool atNoteOn) {
        while (tempoIndex_ < tempos_.size()) {
            qint32 tick = 0, us = 0;
            SmfSplitTempoEntry(tempos_.at(tempoIndex_), tick, us);
            if (tick > time_ || (tick == time_ && !pending_ && !atNoteOn)) break;
            const float newTempo = SmfTempoBpm(us);
            lastChangeTick_ = tick;
            if (tick < time_ && !pending_ && tick <= time_ - delta_) {
                tempo_ = newTempo;
                pendingTempoOption_ = QStringLiteral("tempo=") + tempoText(tempo_);
                lastTempo_ = tempo_;
            } else if (tick < time_ && !pending_) {
                if (tempo_ != lastTempo_) {
                    pendingTempoOption_ = QStringLiteral("tempo=") + tempoText(tempo_);
                    lastTempo_ = tempo_;
                }
                put(span(time_ - delta_, tick), QStringLiteral(" "), lastNote_,
                    QString(5, Tab) + pendingTempoOption_);
                ++count_;
                delta_ = time_ - tick;
                tempo_ = newTempo;
                pendingTempoOption_ = QStringLiteral("tempo=") + tempoText(tempo_);
                lastTempo_ = tempo_;
            } else {
                tempo_ = newTempo;
            }
            ++tempoIndex_;
        }
    }

    bool meta(quint8 type, const QByteArray& bytes) {
        switch (type) {
        case 0x2F:
            // The time from the last entry to the end of the track closes the song as a rest (a gap too
            // short for a rest lengthens the last entry, as between notes) — unless another channel's
            // events fill it, in which case this channel's part simply ends.
            if (!pending_ && count_ > 0 && !otherChannel_ && delta_ > 0) {
                if (double(delta_) * scale_ < 40 && pendingTempoOption_.isEmpty()) {
                    notes_.Lengths[count_ - 1] = checkedLong(qint64(notes_.Lengths[count_ - 1]) + sinceLast());
                } else {
                    put(sinceLast(), QStringLiteral("R"), lastNote_, QString(5, Tab) + pendingTempoOption_);
                    pendingTempoOption_.clear();
                    ++count_;
                }
                delta_ = 0;
            }
            return false;
        case 0x51:
            tempos_.append(QString::number(time_) + u' ' + QString::number(SmfTempoMicroseconds(bytes)));
            break;
        case 0x01:
            text(Cp932::decode(bytes));
            break;
        case 0x05: {
            // Control characters (a bare carriage return ending a line of a lyric sheet) are no part
            // of a lyric; a lyric event of nothing else, or of blanks alone (which would make the note
            // a rest), is no lyric, and the notes keep the last one.
            QString lyric = Cp932::decode(bytes);
            lyric.removeIf([](QChar c) { return c.category() == QChar::Other_Control; });
            if (!TrimBlanks(lyric).isEmpty()) lyric_ = lyric;
            break;
        }
        default:
            break;
        }
        return true;
    }

    // A text event of the plain export: note parameters as key=value pairs, or a "pitch=" line.
    void text(const QString& text) {
        const qsizetype at = text.indexOf(QStringLiteral("pitch="));
        if (at >= 0) {
            pitchText_ = text.mid(at + 6);
            return;
        }
        GetTextKeyValue(text, QStringLiteral("offset"), offsetText_);
        GetTextKeyValue(text, QStringLiteral("mod"), modText_);
        GetTextKeyValue(text, QStringLiteral("flag"), flagText_);
        QString value;
        if (GetTextKeyValue(text, QStringLiteral("tempo"), value)) {
            // A tempo must be a positive single-precision number; 0 would stop every timing based on it.
            const double t = Vb::Val(value);
            if (!(t > 0) || t > double(FLT_MAX)) throw SmfFormatError();
            // The tempo of the note that follows (the export writes its note's text just before the
            // note-on, so a change of the conductor's on this tick is that note's too, and gives way to
            // the text); a rest before that note keeps the tempo of the conductor's time line.
            applyTempoChanges(true);
            tempo_ = float(t);
            noteTextTempo_ = QStringLiteral("tempo=") + tempoText(tempo_);
        }
        if (GetTextKeyValue(text, QStringLiteral("env"), value)) envOption_ = QStringLiteral(" env=") + value;
        if (GetTextKeyValue(text, QStringLiteral("stp"), value)) stpOption_ = QStringLiteral(" stp=") + value;
    }

    void noteOn(qint32 note, int velocity) {
        // What the gap before the note did, so that a note of no length can take it back.
        beforeNote_ = {!pending_, count_, count_ > 0 ? notes_.Lengths[count_ - 1] : 0, time_ - delta_,
                       pendingTempoOption_};
        if (delta_ != 0) {
            const double gap = double(delta_) * scale_;
            if (gap < 40 && count_ > 0 && (pending_ || pendingTempoOption_.isEmpty())) {
                // A gap too short for a rest (or a note too short to keep) lengthens the previous entry,
                // unless the tempo changes where the gap starts: then it is a rest with that tempo.
                notes_.Lengths[count_ - 1] = checkedLong(qint64(notes_.Lengths[count_ - 1]) + sinceLast());
                delta_ = 0;
            } else if (!pending_) {
                put(sinceLast(), QStringLiteral("R"), lastNote_, QString(5, Tab) + pendingTempoOption_);
                pendingTempoOption_.clear();
                ++count_;
                delta_ = 0;
            } else {
                // A note-on before the pending note's note-off cuts that note here.
                writePending();
            }
        }
        savedLyric_ = lyric_;
        noteBefore_ = lastNote_;
        lastNote_ = note;
        pending_ = true;
        if (!noteTextTempo_.isEmpty()) {
            pendingTempoOption_ = noteTextTempo_;
            noteTextTempo_.clear();
            lastTempo_ = tempo_;
            beforeNote_.undoable = false;
        } else if (tempo_ != lastTempo_) {
            pendingTempoOption_ = QStringLiteral("tempo=") + tempoText(tempo_);
            lastTempo_ = tempo_;
        }
        if (lastChangeTick_ == time_) beforeNote_.undoable = false;
        QString options = TrimBlanks(pendingTempoOption_ + envOption_ + stpOption_);
        if (!options.isEmpty()) {
            options.replace(u' ', OptionSeparator());
            options.replace(u',', u' ');
        }
        // The note's extension string as it stands now; its pitch data comes at the note-off.
        noteOffset_ = offsetText_;
        noteVelocity_ = velocity;
        noteMod_ = modText_;
        noteFlags_ = flagText_;
        noteOptions_ = options;
        pitchPoints_.clear();
    }

    void noteOff(qint32 note) {
        if (!pending_ || note != lastNote_) return;
        writePending();
    }

    // The six fields of the pending note's extension string with its pitch data: offset, velocity,
    // modulation, pitch, flags and options as they stood at the note-on. A text holding a TAB shifts the
    // fields, as it does in the joined string.
    QStringList extensionFields(const QString& pitch) const {
        const auto tab = [](const QString& t) { return t.contains(Tab); };
        if (!tab(noteOffset_) && !tab(noteMod_) && !tab(noteFlags_) && !tab(noteOptions_) && !tab(pitch))
            return {noteOffset_, QString() /* velocity, replaced */, noteMod_, pitch, noteFlags_, noteOptions_};
        return SplitNoteExt(noteOffset_ + Tab + QString::number(noteVelocity_) + Tab + noteMod_ + Tab + pitch + Tab +
                            noteFlags_ + Tab + noteOptions_);
    }

    // Writes the pending note with the length of the time since its note-on. A note of no length is
    // dropped, as it would still sound: its time (if any) goes to what follows, and so does its tempo.
    void writePending() {
        const qint32 length = sinceLast();
        if (length <= 0) {
            clearNoteTexts();
            pending_ = false;
            lastNote_ = noteBefore_;
            // The gap before it is joined with the time after it, as if the note had never been there
            // (unless the tempo changed at the note or while it sounded: the gap then ends there, as it
            // would at a rest, and what follows starts with the tempo in force).
            const bool tempoChanged = tempo_ != lastTempo_;
            const GapBefore& b = beforeNote_;
            if (!tempoChanged && b.undoable && count_ >= b.count && count_ <= b.count + 1) {
                if (count_ > b.count) notes_.resizeNotes(b.count);
                if (b.count > 0) notes_.Lengths[b.count - 1] = b.previousLength;
                count_ = b.count;
                delta_ = time_ - b.gapStart;
                pendingTempoOption_ = b.tempoOption;
            }
            if (tempoChanged) {
                pendingTempoOption_ = QStringLiteral("tempo=") + tempoText(tempo_);
                lastTempo_ = tempo_;
            }
            return;
        }
        const Settings& s = settings();
        QString pitch;
        if (!pitchText_.isEmpty()) {
            pitch = pitchText_;
        } else if (!pitchPoints_.isEmpty()) {
            pitch = BuildPitchPointText(pitchPoints_, division_, qint16(bendRange_), tempo_, delta_, pitchBudget_);
            if (!pitch.isEmpty()) pitchBudget_ -= pitch.count(u' ') + 1;
        }
        QStringList f = extensionFields(pitch);
        put(length, savedLyric_, lastNote_, QString());
        const qint32 c = count_;
        if (s.Mode2 && !s.Mode2PBS.isEmpty() && !s.Mode2PBW.isEmpty() && c > 0 && !IsRestLyric(notes_.Lyrics[c - 1])) {
            // Portamento into this note: wider for larger leaps, kept within half of either note.
            SetImportPortamento(f[ExtOptions], notes_.NoteNums[c - 1], notes_.NoteNums[c], notes_.Lengths[c - 1],
                                notes_.Lengths[c], double(tempo_), double(tempo_));
        }
        if (s.Mode2 && !IsRestLyric(savedLyric_) && length > s.Mode2VBRExclude)
            SetListValue(f[ExtOptions], QStringLiteral("VBR"), s.Mode2VBR);
        // The default envelope, intensity, modulation and flags replace what the file gave.
        SetListValue(f[ExtOptions], QStringLiteral("env"), s.DefaultEnv);
        f[ExtIntensity] = defaultVolume_;
        f[ExtModulation] = defaultModulation_;
        f[ExtFlags] = s.DefaultFlags;
        notes_.NoteExt[c] = f.join(Tab);
        clearNoteTexts();
        pendingTempoOption_.clear();
        ++count_;
        delta_ = 0;
        pending_ = false;
        // A tempo change while the note sounded, or at its end, starts with the entry that follows.
        if (tempo_ != lastTempo_) {
            pendingTempoOption_ = QStringLiteral("tempo=") + tempoText(tempo_);
            lastTempo_ = tempo_;
        }
    }

    void clearNoteTexts() {
        offsetText_.clear();
        modText_.clear();
        pitchText_.clear();
        flagText_.clear();
        envOption_.clear();
        stpOption_.clear();
    }

    const qint16 division_;
    const double scale_;  // internal ticks per file tick
    qint32& count_;
    QStringList& tempos_;
    NoteArrays& notes_;
    const int channelFilter_;  // -1: every channel

    qint64 time_ = 0;   // of the current event, file ticks
    qint64 lastChangeTick_ = -1;  // of the last tempo change applied
    qint64 delta_ = 0;  // since the last entry written
    bool otherChannel_ = false;  // another channel's events came since the last entry
    float tempo_ = 120.0f;
    float lastTempo_ = 0.0f;  // the tempo last written as an option, or waiting to be
    QString lyric_ = QStringLiteral("あ");
    QString savedLyric_;
    qint32 lastNote_ = 36;
    qint32 noteBefore_ = 36;  // lastNote_ before the pending note's note-on
    // The state before the pending note's note-on dealt with the gap before it.
    struct GapBefore {
        bool undoable = false;  // no overlap cut, no tempo change at the note-on
        qint32 count = 0;
        qint32 previousLength = 0;
        qint64 gapStart = 0;  // file ticks
        QString tempoOption;
    } beforeNote_;
    bool pending_ = false;
    qsizetype tempoIndex_ = 0;
    QString pendingTempoOption_;
    QString noteTextTempo_;  // "tempo=" and the value of a text event, for the next note
    QString offsetText_, modText_, flagText_, envOption_, stpOption_, pitchText_;
    QString pitchPoints_;
    int bendRange_ = 2;
    int rpnMsb_ = 0;
    int rpnLsb_ = 0;
    // The pending note's extension fields taken at its note-on.
    QString noteOffset_, noteMod_, noteFlags_, noteOptions_;
    int noteVelocity_ = 0;
    const QString defaultVolume_ = QString::number(settings().DefaultVolume);
    const QString defaultModulation_ = QString::number(settings().DefaultModulation);
    qsizetype pitchBudget_ = MaxDecodedPitchValues;
};

}  // namespace

qint32 SmfParseTrack(SmfFile& file, qint16 division, qint32& count, QStringList& tempos, NoteArrays& notes,
                     int channel) {
    if (division <= 0) throw SmfFormatError();
    if (count < 0 || count > notes.noteCount()) throw InvalidCallError();
    if (!SmfBeginTrack(file)) return -1;
    TrackParser parser(division, count, tempos, notes, channel);
    parser.start();
    quint8 status = 0, data1 = 0, data2 = 0;
    QByteArray bytes;
    while (!file.atEnd()) {
        const qint32 delta = SmfReadEvent(file, status, data1, data2, bytes);
        if (delta < 0) break;
        if (!parser.event(delta, status, data1, data2, bytes)) break;
    }
    file.endChunk();
    return count;
}

}  // namespace tova
