#pragma once

#include "song/NoteArrays.h"

#include <QString>
#include <QStringList>

#include <cstdint>

namespace tova {

// Shaping the junction of two sung notes, where tool 1 crossfades note i's rendering into note i + 1's
// over note i + 1's overlap.

// Compares the cached renderings of notes i and i + 1 over the crossfade and moves note i + 1's start
// point (`stp` option, written "0.0##") by up to one pitch period of note i so that the two waveforms line
// up best. `tempoPrev`, `tempo` and `tempoNext` are the tempos in force at notes i - 1, i and i + 1 (the
// last is not needed). True when both cache files were found and read and the overlap is at least 10 ms,
// whether or not the start point moved; false otherwise, and nothing changes.
bool OptimiseCrossFade(const QString& cacheFolder, float tempoPrev, float tempo, float tempoNext, int32_t i,
                       NoteArrays& notes);

// Writes matching envelopes (`env` options) into notes i and i + 1: a fade-out at the end of note i and
// a fade-in at the start of note i + 1, both `fadeLength` ms long. The long form uses the overlap marker
// "%" of the envelope. Nothing changes for a fade shorter than 10 ms or an index without a next note.
void SetCrossFadeEnvelope(int32_t i, QStringList& noteExt, float fadeLength, bool longForm = false);

}  // namespace tova
