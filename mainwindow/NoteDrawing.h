#pragma once

#include "mainwindow/CurveHandles.h"
#include "mainwindow/NoteColors.h"
#include "commands/NoteGeometry.h"

#include <QString>

#include <optional>

namespace tova {

class NoteDrawingServices;
class RollCanvas;
struct NoteArrays;

// What one drawing of the notes reads besides the notes: the project tempo, the selection (either
// order), the roll's scales and scroll values, the view switches and the play position.
struct NoteScene {
    float Tempo = 120.0f;
    qint32 SelStart = 0;
    qint32 SelEnd = 0;
    float Zoom = 2.0f;       // ticks per twip
    int RowHeight = 210;     // twips per row
    int HScrollValue = 0;    // beats scrolled off the left
    int VScrollValue = 1;    // rows scrolled off the top
    bool ShowCurve = false;  // the curve view (menu item "mnShowCurve" checked)
    bool Mode2 = false;      // switch "Mode2"
    bool Trace = false;      // switch "Trace"
    bool ParamView = false;  // switch "P"
    qint32 PlayPosMs = 0;    // play position in ms from the start of the played output; 0 when stopped
    qint32 PlayFirstNote = 0;  // first note of the played output
};

// The values one drawing leaves for the window besides the geometry and the handles.
struct NoteDrawingResult {
    qint64 SongLength = 0;        // sum of all note lengths in ticks
    qint32 PlayScrollNote = -1;   // the sounding note when playback has to scroll to it; -1 none
    qint32 SoundingNote = -1;     // the note sounding at the play position, wherever it lies; -1 none
    std::optional<double> PlayCursorX;  // the play-position line is shown at this x (unchanged when unset)
    QString StatusText;           // second panel of the status bar: the selected notes' duration
    int HScrollMax = 32;          // maximum of the horizontal bar
};

// Draws every note of the song on the roll over the background just painted, and the notes' marks on
// the ruler's lanes (labels, selection bar, tempo changes, the selection's region name), rebuilding
// the per-note geometry that hit testing and the curve drawing read. In the curve view notes are thin
// bars at the bottom of their rows with their curves drawn over them.
class NoteDrawing {
public:
    // Font size in points of the ruler's texts (labels, tempos, region names): small enough for a label
    // to fit its 180-twip box.
    static constexpr double RulerFontSize = 7.5;

    // Without services no region name is shown.
    explicit NoteDrawing(const NoteDrawingServices* services = nullptr);

    // One pass over all notes. `option` empty: the handles of the selection-start note are drawn and
    // registered; any other text (the callers pass "nobomb") leaves them out.
    NoteDrawingResult DrawNotes(const NoteArrays& notes, const NoteScene& scene, const NoteColors& colors,
                                NoteGeometryList& geometry, CurveHandles& handles, RollCanvas& roll,
                                RollCanvas& ruler, const QString& option = QString()) const;

    // A note's drawn width from its length in twips: 20 at most 20, else one pixel wider than the
    // length rounded to pixels, so that neighbouring rectangles share their border column.
    static float noteWidth(qint32 w);
    // A note's left edge snapped to the pixel nearest to x.
    static float snappedLeft(qint32 x);
    // The status text of the selected notes' total duration: "0.000000" followed by " sec".
    static QString durationText(double seconds);
    // The envelope entries of a note: p1 p2 p3 v1 v2 v3 v4, the "%" marker, p4 p5 v5, each rounded to
    // an integer within the 16-bit range; a missing entry is 0 and a missing v5 takes v2. An empty
    // envelope reads as "0 5 35 0 100 100 0".
    static std::array<int16_t, 11> envelopeEntries(const QString& env);

private:
    const NoteDrawingServices* services_;
};

}  // namespace tova
