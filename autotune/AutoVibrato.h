#pragma once

#include <QString>

#include <functional>

namespace tova {

struct NoteArrays;
class NoteTimingSource;

// The parameters of one vibrato pass.
struct VibratoSettings {
    double Share = 70;     // % of the note's stable part, counted back from its end
    double Cycle = 150;    // ms; 0 is taken as 200
    double Depth = 100;    // cents
    // The dialog's length threshold in file ticks (480 a beat): shorter notes are skipped.
    double Limit = 480;
    int UpDownRate = 0;    // the offset x 10 (-10 .. 10)
    bool Ride = false;     // add to the existing curve
    // The one-click variant: no threshold, always adding, a random start phase per note drawn from
    // `Random` (uniform in [0, 1)), and a note too short for half a cycle is skipped.
    bool OneClick = false;
    std::function<double()> Random;
};

// Gives note i a vibrato over the stable middle of its sound: sampled offsets in its pitch data (the
// first point stamped with the tempo) and the parameters in its `VBR` option. `prevTempo` is the tempo
// at the note before, `tempo` the one at this note. Rests ("R" or empty, letter case counting) and
// notes too short for the vibrato are left unchanged.
void ApplyAutoVibrato(float prevTempo, float tempo, qint32 i, NoteArrays& notes, const NoteTimingSource& timing,
                      const VibratoSettings& settings);

// The one-click dialog's vibrato choices by button index (-1: none set, the value keeps what it held).
struct OmakaseVibratoChoice {
    int length = 1;  // optBLeng: すこし 33, はんぶん 50, おおめ 66, もっとおおめ 75, ほとんど 95
    int speed = 1;   // optBVel: はやい 130, ふつう 170, おそい 222, すごくおそい 291
    int depth = 2;   // optBDepth: わずか 10, あさく 20, ふつう 50, ふかく 70
};
// Fills the one-click variant's share, cycle and depth from its choices (`ReadVibratoOptions`).
void ReadVibratoOptions(const OmakaseVibratoChoice& choice, VibratoSettings& settings);

}  // namespace tova
