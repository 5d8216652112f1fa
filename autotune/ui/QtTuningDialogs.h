#pragma once

#include "autotune/TuningDialogsPort.h"

namespace tova {

// The tuning dialogs as the program shows them. The vibrato phases of the one-click dialog come from
// one uniform generator for the whole program, never seeded: every start draws the same sequence.
class QtTuningDialogs : public TuningDialogsPort {
public:
    bool ShowAutoVibratoDialog(float& tempo, qint32 first, qint32 last, NoteArrays& notes, const NoteTimingSource& timing,
                               QObject* owner) override;
    bool ShowAutoCombineDialog(float tempo, qint32 first, qint32 last, NoteArrays& notes, const NoteTimingSource& timing,
                               QObject* owner) override;
    bool ShowAutoPitchDialog(float& tempo, qint32 first, qint32 last, NoteArrays& notes, const NoteTimingSource& timing,
                             QObject* owner) override;
    qint16 ShowOmakaseDialog(float tempo, qint32 first, qint32 last, NoteArrays& notes, const NoteTimingSource& timing,
                             QObject* owner) override;
};

// The program's uniform generator in [0, 1).
double ProgramRandom();

}  // namespace tova
