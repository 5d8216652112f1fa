#pragma once

#include <QList>

#include <array>
#include <cstdint>

namespace tova {

// The drawing record of one note on the roll, kept for hit testing and curve drawing. Positions are
// twips inside the roll. The note drawing writes Left, Top, Width, Height and NoteTempo for every
// visible note, the timing values and the envelope while the curve view is on; the render writers set
// or clear the missing-sample mark that the drawing shows.
struct NoteGeometryRecord {
    float Left = 0;
    float Top = 0;
    float Width = 0;
    float Height = 0;
    float NoteTempo = 0;  // tempo in effect at the note (0: never drawn)
    float Spare1 = 0;     // not written by the drawing
    float Spare2 = 0;     // not written by the drawing
    float PreUtterMs = 0;
    float OverlapMs = 0;
    float VelocityFactor = 0;
    float StartPointMs = 0;
    // p1 p2 p3 v1 v2 v3 v4, the "%" marker, p4 p5 v5.
    std::array<int16_t, 11> Env{};
    bool MissingSample = false;
};

using NoteGeometryList = QList<NoteGeometryRecord>;

}  // namespace tova
