#pragma once

#include <QList>

namespace tova {

// The handles that the curve drawing registers for the note at the selection start, so that pointer
// input can hit them. Positions are twips inside the roll.

// One mode-2 pitch point: its x and y, then two values the drawing leaves alone.
struct PitchPointRecord {
    float X = 0;
    float Y = 0;
    float Spare1 = 0;
    float Spare2 = 0;
};

// One vibrato handle's hit rectangle.
struct HandleRect {
    float Left = 0;
    float Top = 0;
    float Right = 0;
    float Bottom = 0;
};

// Both handle lists. Each holds one empty entry while the drawing has registered nothing.
struct CurveHandles {
    // Entry 0 the start point, entry k + 1 the end of segment k.
    QList<PitchPointRecord> PitchPointPos{PitchPointRecord()};
    // Eight entries once registered: length, cycle, depth (upper band), depth (lower band), fade-in,
    // fade-out, phase, body.
    QList<HandleRect> VibratoHandleRect{HandleRect()};
    // True once the drawing registered the lists above (the empty entries are no handles to hit).
    bool PitchPointsShown = false;
    bool VibratoHandlesShown = false;

    // Back to one empty entry each.
    void reset() {
        PitchPointPos = {PitchPointRecord()};
        VibratoHandleRect = {HandleRect()};
        PitchPointsShown = VibratoHandlesShown = false;
    }
};

}  // namespace tova
