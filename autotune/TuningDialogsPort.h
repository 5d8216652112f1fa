#pragma once

#include <QtGlobal>

class QObject;

namespace tova {

struct NoteArrays;
class NoteTimingSource;

// The four tuning dialogs that the main window's commands open, each modal over the owner. Each shows
// its dialog and, when confirmed, runs its pass over the notes (the range clamped to the song) with
// the tempo in force carried from note to note; a failing pass leaves the notes as they were. The
// forms implement it (autotune/ui/QtTuningDialogs.h); tests give a scripted fake.
class TuningDialogsPort {
public:
    virtual ~TuningDialogsPort() = default;
    // `tempo` is the tempo in force at note first - 1 (vibrato, combining) or first - 2 (pitch bends,
    // one-click); true when the dialog was confirmed.
    virtual bool ShowAutoVibratoDialog(float& tempo, qint32 first, qint32 last, NoteArrays& notes,
                                       const NoteTimingSource& timing, QObject* owner) = 0;
    virtual bool ShowAutoCombineDialog(float tempo, qint32 first, qint32 last, NoteArrays& notes,
                                       const NoteTimingSource& timing, QObject* owner) = 0;
    virtual bool ShowAutoPitchDialog(float& tempo, qint32 first, qint32 last, NoteArrays& notes,
                                     const NoteTimingSource& timing, QObject* owner) = 0;
    // 0 cancelled, 1 every note of the song, 2 the selection.
    virtual qint16 ShowOmakaseDialog(float tempo, qint32 first, qint32 last, NoteArrays& notes,
                                     const NoteTimingSource& timing, QObject* owner) = 0;
};

}  // namespace tova
