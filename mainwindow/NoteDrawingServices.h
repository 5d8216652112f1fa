#pragma once

#include "song/NoteArrays.h"

#include <QString>

namespace tova {

// What the note drawing needs of the voice lookup and of the ruler: the tempo a note sets, where a
// note's sample starts against the note, and the named region that covers the selection. The render
// subsystem and the ruler implement these.
class NoteDrawingServices {
public:
    virtual ~NoteDrawingServices() = default;

    // The value after the first "tempo=" in the option field of an extension string (120 when it is 0
    // or less) replaces `tempo`, and `found` becomes true; without one (or with fewer than six fields)
    // `tempo` stays and `found` is false.
    virtual void ParseTempoField(const QString& ext, float& tempo, bool& found) const = 0;

    // The effective pre-utterance, overlap and start point (ms) of note `index`, shrunk to fit the
    // previous note at `tempo` (the tempo in force at the previous note); `velocityFactor` receives the
    // consonant velocity factor. Returns how much the pre-utterance was shortened.
    virtual float GetNoteStartTime(float tempo, const NoteArrays& notes, qint32 index, float& preutterance,
                                   float& overlap, float& stp, float& velocityFactor) const = 0;

    // The name of the region that begins at the selection-start note and ends at the selection-end
    // note; empty when there is none.
    virtual QString FindSelectionRegion(const NoteArrays& notes, qint32 selStart, qint32 selEnd) const = 0;
};

}  // namespace tova
