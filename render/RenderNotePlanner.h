#pragma once

#include "render/RenderNotePlan.h"
#include "render/RenderNoteTiming.h"

#include <QHash>
#include <QString>
#include <QtGlobal>

namespace tova {

class MissingSampleMarks;
class Song;

// Walks the notes of a render range and works out each note's values (RenderNotePlan): the running
// tempo, the note and next-note timing, the sample and oto entry, velocity, pre-utterance and overlap
// fitted to the previous note, the required and sounding lengths, the envelope, the pitch curve, the
// flags and the cache file name. The voice bank's oto table and prefix map must be loaded.
//
// Planning a note changes the song the way rendering it does: with the song's mode-2 switch on its
// mode-2 pitch curve is computed first, and its `expression` and `pitches` options are consumed; with
// CheckVoiceFile on its missing-sample mark is cleared or set.
class RenderNotePlanner {
public:
    // A walk that starts at note `first`: the tempo in force before it and the length of the note
    // before it (the first note of the song has none).
    RenderNotePlanner(Song& song, qint32 first, MissingSampleMarks* marks);

    // The tempo in force before the next note to plan.
    float tempo() const { return tempo_; }

    // The values of note i; notes must be planned in order from `first` on.
    RenderNotePlan Plan(qint32 i);

    // A note's length in ms at a tempo, rounded to the microsecond (1920 internal ticks a beat).
    static float NoteLengthMs(qint32 ticks, float tempo);

private:
    // Whether a sample file of the voice folder exists (the name may hold a sub-folder written with
    // "\"). Each file is looked at once in a walk: the notes of a song use a few samples many times.
    bool sampleExists(const QString& voiceDir, const QString& name, const QString& extension);

    Song& song_;
    MissingSampleMarks* marks_;
    RenderNoteTiming timing_;
    float tempo_ = 0;
    float nextTempo_ = 0;
    float prevLength_ = 0;
    QHash<QString, bool> sampleFiles_;  // sample path -> exists, for this walk
};

}  // namespace tova
