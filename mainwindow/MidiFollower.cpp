#include "mainwindow/MidiFollower.h"

#include "platform/Vb.h"
#include "song/NoteExtension.h"

#include <cmath>

namespace tova {

std::optional<qint32> MidiFollower::midiPlay(qint32 clockCount, const NoteArrays& notes) {
    const qint64 t = qint64(clockCount) * 80;
    const qint32 previous = SyncNoteIndex;
    qint32 from = SyncNoteIndex;
    qint64 start = SyncNoteStartTick;
    if (start > t || from < 0) {
        from = 0;
        start = 0;
    }
    qint32 found = -1;
    qint64 lastStart = start;
    const qint32 count = notes.noteCount();
    for (qint32 j = from; j < count; ++j) {
        if (start > t) break;
        const qint64 len = j < notes.Lengths.size() ? notes.Lengths[j] : 0;
        lastStart = start;
        if (found < 0 && start <= t && t < start + len) found = j;
        start += len;
    }
    SyncNoteIndex = found;
    SyncNoteStartTick = qint32(lastStart);
    if (found >= 0 && found != previous) return found;
    return std::nullopt;
}

std::optional<qint32> MidiFollower::getPlayNotes(qint32& first, qint32& last, qint32 timeMs,
                                                 const NoteArrays& notes,
                                                 const std::function<float(qint32)>& tempoAt) {
    const qint32 previous = SyncNoteIndex;
    qint32 from = SyncNoteIndex;
    float start = float(SyncNoteStartMs);
    if (SyncNoteStartMs > timeMs || from < 0) {
        from = 0;
        start = 0;
    }
    float tempo = tempoAt ? tempoAt(from) : 120.0f;
    bool found = false;
    float lastStart = start;
    const qint32 count = notes.noteCount();
    for (qint32 j = from; j < count; ++j) {
        if (start > float(timeMs)) break;
        const QString own = GetNoteOption(j < notes.NoteExt.size() ? notes.NoteExt[j] : QString(), QStringLiteral("tempo"));
        if (!own.isEmpty()) tempo = float(Vb::Val(own));
        const float len = float(j < notes.Lengths.size() ? notes.Lengths[j] : 0);
        const float duration = len * 31.25f / tempo;
        lastStart = start;
        if (start <= float(timeMs) && float(timeMs) < start + duration) {
            if (first == 0) first = j;
            last = j;
            found = true;
        }
        start += duration;
    }
    SyncNoteStartMs = qint32(std::nearbyint(lastStart));
    SyncNoteIndex = found ? first : -1;
    if (found && first != previous) return first;
    return std::nullopt;
}

}  // namespace tova
