#pragma once

#include "commands/NoteGeometry.h"
#include "mainwindow/RollFeedback.h"

#include <QString>

#include <cstdint>

namespace tova {

class MainWindow;

// Direct editing on the piano roll ("Picture2") with the mouse: the press (which object is hit and which
// drag starts), the feedback while the pointer moves, and the release that commits the drag as one undo
// step. Coordinates are twips of the roll; Button is 1 left, 2 right; Shift is the sum of 1 (Shift),
// 2 (Ctrl) and 4 (Alt). The integer flags are 0 or -1.
//
// A drag is spread over the three handlers: the press sets one drag flag (pitch point, vibrato handle,
// note body, empty roll) or only the current note, each move changes the feedback model, the release
// commits and clears the flag.
class RollEditor {
public:
    explicit RollEditor(MainWindow& window);

    // ---- drag state ----
    int16_t CurNoteBelow = 0;      // -1: the press hit the band one row under the current note
    int16_t NoteDragActive = 0;    // a left press on a note body until the release
    int32_t PressX = 0;            // pointer at the press (relative to the note for a note press)
    int32_t PressY = 0;
    bool PressInResizeZone = false;  // the note press fell on the note's resize zone
    // The pointer moved between a note press and its release: a press and release at one point (a
    // click) neither moves nor resizes the note, whatever the drawn width rounds to.
    bool NoteDragMoved = false;
    int16_t EmptyDragActive = 0;   // a left press on empty roll
    QString DragUndoBefore;        // undo text taken at a handle press
    int16_t PitchPointDrag = 0;
    int16_t PitchPointIndex = -1;
    int16_t VibratoDrag = 0;
    int16_t VibratoHandleIndex = -1;
    int16_t PreviewNoteOn = 0;     // a preview note sounds (roll, keyboard strip or tone label)
    int16_t MultiMoveActive = 0;   // a note drag moves the whole selection
    float IntensityAtPress = 0;    // intensity of the pressed note x 15
    // The note the ruler and note pop-up commands act on; -1 none.
    qint32 RulerNote = -1;
    RollFeedback Feedback;

    // ---- the roll's handlers ----
    void Picture2_MouseDown(int button, int shift, double x, double y);
    void Picture2_MouseMove(int button, int shift, double x, double y);
    void Picture2_MouseUp(int button, int shift, double x, double y);

    // ---- hit tests on the geometry of the last note drawing ----
    // The first note whose rectangle holds the point ([left, left + width) x [top, top + height)); -1 when
    // none. `left` and `top` are those of the hit note.
    void HitTestNoteRect(double x, double y, double& left, double& top, qint32& index) const;
    // The insertion index at x: 0 before the first note; the first note whose right edge minus 15 twips
    // lies beyond x (the next one when x reaches its left edge too); the note count after the last.
    qint32 FindNoteAtX(double x) const;
    // The x of that insertion boundary: the left edge of that note, or the right edge of the last note.
    double BoundaryXAt(double x) const;

    // ---- pieces the press, move and release use ----
    void PressNote(qint32 note, int button, int shift, double dx, double dy);
    void TrackMouseHover(qint32 note, int button, int shift, double dx, double dy);
    void UpdateRangeSelection(int shift, bool apply);
    void EndMouseEdit(qint32 note, int button, int shift);
    // Sizes `shape` to the note's rectangle widened by every selected note that reaches into the roll.
    void GetSelectionExtent(FeedbackItem& shape, qint32 note) const;
    // A note's intensity (field 1 of its extension string; 100 when empty) and setting it.
    qint32 GetNoteIntensity(qint32 note) const;
    void SetNoteIntensity(qint32 note, qint32 value);
    // Whether a point dx twips right of a note's left edge lies in its resize zone: the last 60 twips of
    // its width, which are its last 4 drawn pixels, the right border included.
    static bool InResizeZone(const NoteGeometryRecord& g, double dx);
    // The row's note number at y: 84 - Int(y / row height + top row).
    int rowNoteAt(double y) const;
    // Shows the feedback model on the window's controls (only what changed since the last call).
    void showFeedback();
    // Ends every drag and hides its feedback (after a failed release).
    void resetDrag();

private:
    void pressPitchPoint(int k, int button, double x, double y);
    void pressVibratoHandle(int k, int button, double x, double y);
    void moveVibratoHandle(double x, double y);
    void movePitchPoint(double x, double y);
    bool pitchPointsShown() const;
    bool vibratoHandlesShown() const;
    int pitchPointAt(double x, double y) const;
    int vibratoHandleAt(double x, double y, bool edgesIncluded) const;
    RollPointer vibratoPointer(int handle) const;
    void commitVibrato();
    void commitPitchPoint();
    void commitEmptyDrag(int shift);
    void commitNoteDrag(qint32 note, int shift);
    // Whether a resize of note n with these keys gives its growth to (or takes its cut from) the note
    // after it, as a rest does or Ctrl asks; else a sung note after it keeps n from growing.
    bool resizeSharesFollower(qint32 n, int shift) const;
    // The widest outline a resize of note n can commit with these keys, in twips (no limit for the last
    // note or with Shift alone, which pushes the later notes on).
    double resizeWidthLimit(qint32 n, int shift) const;
    void rightClickNote(qint32 note, int shift);
    void rightClick(int button, int shift, double x, double y);
    bool curveShown() const;
    float noteTempo(qint32 note) const;
    double twipsPerMs(qint32 note) const;
    QString propLine(qint32 note) const;

    MainWindow& w_;
    RollFeedback shown_;
    bool shownOnce_ = false;
};

}  // namespace tova
