#include "autotune/ui/QtTuningDialogs.h"

#include "autotune/ui/frmAutoBibrato.h"
#include "autotune/ui/frmAutoCombine.h"
#include "autotune/ui/frmAutoPitch.h"
#include "autotune/ui/frmOmakase.h"

#include <QWidget>

#include <random>

namespace tova {

double ProgramRandom() {
    static std::mt19937 generator;
    return std::uniform_real_distribution<double>(0.0, 1.0)(generator);
}

bool QtTuningDialogs::ShowAutoVibratoDialog(float& tempo, qint32 first, qint32 last, NoteArrays& notes,
                                            const NoteTimingSource& timing, QObject* owner) {
    return frmAutoBibrato::ShowAutoVibratoDialog(tempo, first, last, notes, timing, qobject_cast<QWidget*>(owner));
}

bool QtTuningDialogs::ShowAutoCombineDialog(float tempo, qint32 first, qint32 last, NoteArrays& notes,
                                            const NoteTimingSource& timing, QObject* owner) {
    return frmAutoCombine::ShowAutoCombineDialog(tempo, first, last, notes, timing, qobject_cast<QWidget*>(owner));
}

bool QtTuningDialogs::ShowAutoPitchDialog(float& tempo, qint32 first, qint32 last, NoteArrays& notes,
                                          const NoteTimingSource& timing, QObject* owner) {
    return frmAutoPitch::ShowAutoPitchDialog(tempo, first, last, notes, timing, qobject_cast<QWidget*>(owner));
}

qint16 QtTuningDialogs::ShowOmakaseDialog(float tempo, qint32 first, qint32 last, NoteArrays& notes,
                                          const NoteTimingSource& timing, QObject* owner) {
    return frmOmakase::ShowOmakaseDialog(tempo, first, last, notes, timing, qobject_cast<QWidget*>(owner), ProgramRandom);
}

}  // namespace tova
