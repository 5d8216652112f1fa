#pragma once

#include <QString>

namespace tova {

class CommandRegistry;
class EditContext;

// The commands of the pitch-point pop-up menu: portamento points, curve shapes and vibrato of the
// selection-start note, at the pressed point (`pitchPointIndex`: 0 the start point `PBS`, k ≥ 1 the
// point that ends segment k - 1). Widths (`PBW`) are in ms, heights (`PBY`) in tenths of a semitone,
// shapes (`PBM`) one letter per segment. Each is one step when the note changed; the point and shape
// commands then delete the cached renderings of notes s - 1..s + 1, the vibrato commands those of s and
// s + 1.

// "mnPBPAdd": at the last point a new last segment of 30 ms (at most 51 widths), elsewhere a point in
// the middle of the pressed point's segment at the mean height of its ends. An empty `PBW` has no
// segment: the start point is then the last point.
void mnPBPAdd_Click(EditContext& context);
// "mnPBPDec": removes the pressed point; the following segment takes over its width (the start point
// moves to the next point). A note with one segment keeps it.
void mnPBPDec_Click(EditContext& context);
// "mnCurve0".."mnCurve3": the shape of the segment that ends at the pressed point: 0 S-shaped (the empty
// letter), 1 straight "s", 2 R shape "r", 3 J shape "j". Nothing for the start point.
void SetPitchCurveType(EditContext& context, int type);
void mnCurve0_Click(EditContext& context);
void mnCurve1_Click(EditContext& context);
void mnCurve2_Click(EditContext& context);
void mnCurve3_Click(EditContext& context);
// The `PBM` letter of a curve type: "", "s", "r", "j".
QString CurveTypeLetter(int type);

// The vibrato of a new note when the Mode2VBR setting is empty.
const QString& DefaultVibrato();
// "mnVBRAdd": the note's `VBR` becomes the Mode2VBR setting (or the default vibrato); "mnVBRDel"
// removes it.
void mnVBRAdd_Click(EditContext& context);
void mnVBRDel_Click(EditContext& context);

void registerPitchPointCommands(CommandRegistry& registry);

}  // namespace tova
