#pragma once

#include "mainwindow/CurveHandles.h"
#include "mainwindow/NoteColors.h"
#include "mainwindow/NoteTimeline.h"
#include "commands/NoteGeometry.h"

#include <QString>

#include <algorithm>
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

// Which geometry records can hold the left edge of a drawn note: the notes first..last walked by the
// last drawing. Every other record has its left edge out of reach (-Width - 60), as long as the records
// are the ones that drawing left: the same storage and not fewer of them.
struct DrawnRecords {
    bool known = false;
    const void* data = nullptr;  // the records' storage after the last drawing
    qint32 size = 0;
    qint32 first = 0;
    qint32 last = -1;

    // Someone else moved left edges (the range read-out lays every note out anew): the next drawing
    // moves every record it does not draw.
    void forget() { known = false; }
    // The records were cut to `n`; those added later are moved by the next drawing.
    void cut(qint32 n) { size = std::min(size, n); }
};

// What one drawing of the notes keeps for the next: the song's timeline and the drawn records. Without it
// a drawing still finds the notes on screen, after building the timeline and moving every record.
struct NoteLayerMemory {
    NoteTimeline Timeline;
    DrawnRecords Drawn;
};

// Draws the notes on screen on the roll over the background just painted, and the notes' marks on the
// ruler's lanes (labels, selection bar, tempo changes, the selection's region name), rebuilding the
// per-note geometry that hit testing and the curve drawing read; the notes off screen only have their
// records moved out of reach. In the curve view notes are thin bars at the bottom of their rows with
// their curves drawn over them.
class NoteDrawing {
public:
    // Font size in points of the ruler's texts (labels, tempos, region names): small enough for a label
    // to fit its 180-twip box.
    static constexpr double RulerFontSize = 7.5;

    // Without services no region name is shown.
    explicit NoteDrawing(const NoteDrawingServices* services = nullptr);

    // One drawing of the notes on screen. `option` empty: the handles of the selection-start note are
    // drawn and registered; any other text (the callers pass "nobomb") leaves them out. `memory` is the
    // window's, kept from one drawing to the next so that a drawing costs what is on screen.
    NoteDrawingResult DrawNotes(const NoteArrays& notes, const NoteScene& scene, const NoteColors& colors,
                                NoteGeometryList& geometry, CurveHandles& handles, RollCanvas& roll,
                                RollCanvas& ruler, const QString& option = QString(),
                                NoteLayerMemory* memory = nullptr) const;

    // A note's drawn width from its length in twips: 20 at most 20, else one pixel wider than the
    // length rounded to pixels, so that neighbouring rectangles share their border column. Whole twips
    // as a double: a long note at the largest zoom reaches beyond 32 bits.
    static float noteWidth(double w);
    // A note's left edge snapped to the pixel nearest to x (whole twips, as for noteWidth).
    static float snappedLeft(double x);
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
