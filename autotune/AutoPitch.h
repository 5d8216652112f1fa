#pragma once

#include <QString>

namespace tova {

struct NoteArrays;
class NoteTimingSource;

// The parameters of one pitch-bend pass (times in ms).
struct BendSettings {
    bool UpEnabled = true;
    double UpStart = -50, UpStartEx = -10;  // start against note i's note-on, and its growth per semitone
    double UpWidth = 100, UpWidthEx = 20;   // duration of the bend, and its growth per semitone
    bool DownEnabled = true;
    double DownStart = -50, DownStartEx = -10;
    double DownWidth = 100, DownWidthEx = 20;
    bool UpCurve = true, DownCurve = true;  // cosine shape (true) or straight line
    bool ResetFirst = false;                // clear note i's pitch data before anything else
    bool UseNoteParams = true;              // note i's own PBS / PBW replace start and width
    // The one-click variant: straight or cosine shapes, start and width limited to the neighbouring
    // notes, `IsRestLyric` as the rest test, and `Modulation` written into both notes.
    bool OneClick = false;
    qint16 Modulation = 0;
};

// Draws the pitch transition from note i - 1 to note i (i >= 1): the tail of note i - 1's pitch data
// rises (or falls) from 0 to the interval, note i's head runs from minus the interval to 0, and
// note i's `PBS` and `PBW` options get the bend's start and width. `t2`, `t1`, `t0` are the tempos of
// notes i - 2, i - 1 and i. Adjacent notes of the same note number, a disabled direction or a rest on
// either side leave the pitch data alone (apart from the reset).
//
// A width of 0 or less (typed, or left after the one-click limits) draws the transition as a step at
// the bend's start and is written as 0; a tail that would end before its first point keeps one point.
void ApplyAutoPitch(float t2, float t1, float t0, qint32 i, NoteArrays& notes, const NoteTimingSource& timing,
                    const BendSettings& settings);

// The one-click dialog's bend choices, by the index of the set button of each group (-1: none set,
// the values keep what they held).
struct OmakaseBendChoice {
    int width = 2;        // optPORV: 0 ゆっくり, 1 中くらい, 2 はやい
    int upTiming = 2;     // optPORT 0..2: 早い, 真ん中, 遅い (rising)
    int downTiming = 4;   // optPORT 3..5: 早い, 真ん中, 遅い (falling)
    bool upSine = true;   // optPUSine (else optPULine)
    bool downSine = true;  // optPDSine (else optPDLine)
};
// Fills the bend values of the one-click variant from its choices (`ReadPitchOptions`).
void ReadPitchOptions(const OmakaseBendChoice& choice, BendSettings& settings);

}  // namespace tova
