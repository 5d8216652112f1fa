#pragma once

#include "commands/NoteGeometry.h"
#include "commands/ScrollBarState.h"

#include <QList>

#include <optional>

namespace tova {

// The helpers that scroll a given note into view. Each computes the new value of the horizontal bar
// (beats of 1920 ticks from the start of the song); the caller sets it, and the bar's change handler
// redraws. `lengths` are the note lengths in ticks.
class ScrollHelpers {
public:
    // The note's start lies `lead` beats right of the left edge: Int(start / 1920 - lead), kept within
    // the bar's range. The lead is rounded to a whole number (halves to even; so 0.5 gives 0); a missing
    // lead is 1.
    static int scrollToNoteStart(const QList<qint32>& lengths, qint32 note, const ScrollBarState& h,
                                 std::optional<double> lead = std::nullopt);

    // Nothing (nullopt) when not forced, `note` is an index of the drawn records and the record of the
    // selection-start note lies fully inside the roll's inner width. Otherwise the note's start lies
    // left of the middle: Int((start - (innerWidth / 2 - 1920) * zoom) / 1920) + 1 within the range.
    static std::optional<int> scrollToSelection(const QList<qint32>& lengths, qint32 note, bool force,
                                                const NoteGeometryList& geometry, qint32 selStart,
                                                double innerWidth, float zoom, const ScrollBarState& h);

    // The note's end at the right edge: -Int((span - end) / 1920) with span = (innerWidth -
    // vScrollWidth) * zoom; never below 0.
    static int noteToRightEdge(const QList<qint32>& lengths, qint32 note, double innerWidth, double vScrollWidth,
                               float zoom);

    // nullopt when the note is not a note of the song or lies inside the view (it starts right of the
    // left edge and ends inside (innerWidth - vScrollWidth - 1650) * zoom ticks); otherwise the value
    // that puts the beat of its start at the left edge (never below 0).
    static std::optional<int> noteToInsideWindow(const QList<qint32>& lengths, qint32 noteCount, qint32 note,
                                                 int hValue, double innerWidth, double vScrollWidth, float zoom);
};

}  // namespace tova
