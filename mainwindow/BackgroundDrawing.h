#pragma once

#include "commands/ScrollBarState.h"

#include <QString>

#include <cstdint>

namespace tova {

class RollCanvas;

// The colours of the fixed layers (program settings of the same names).
struct BackgroundColors {
    int32_t Piano1 = 0;  // white keys (keyboard background)
    int32_t Piano2 = 0;  // black keys and key borders
    int32_t Roll1 = 0;   // roll rows of white keys
    int32_t Roll2 = 0;   // roll rows of black keys
    int32_t Fore = 0;    // roll text, line under each C, ruler text
    int32_t Shadow = 0;  // line under every other row
    int32_t Sepa1 = 0;   // line at the first beat of each measure
    int32_t Sepa2 = 0;   // line at every other beat
    int32_t Back = 0;    // ruler background

    // The colours of the current settings.
    static BackgroundColors fromSettings();
};

// The view values the drawing reads.
struct BackgroundView {
    int RowHeight = 210;
    float Zoom = 2.0f;
    qint64 SongLength = 0;  // ticks, as the last note drawing totalled them
    int BeatsPerBar = 4;
};

// Where the tone label of the keyboard goes (ShowToneAtCursor).
struct ToneLabelPlacement {
    bool visible = false;
    double left = 0;
    double top = 0;
    double width = 0;
    QString caption;
};

// The fixed layers of the piano-roll view: the keyboard strip, the row stripes with octave and
// semitone lines, the beat and measure lines of the roll, and the ruler with its measure numbers.
class BackgroundDrawing {
public:
    // The key kinds of the rows, from the row of a C downwards: "0" white key, "1" black key, "2" white
    // key whose upper neighbour is white too. Row r takes the character at ((r + 11) mod 12).
    static QChar keyKind(int row);
    // The keyboard label of a C row: "C" and 8 - row \ 12 ("C8" on row 0 .. "C1" on row 84).
    static QString octaveLabel(int row);
    // Font size of the roll in points: rowHeight / 30 + 2.
    static double rollFontSize(int rowHeight);

    // Paints the three layers. Sets the maxima of both bars first (their values follow into the new
    // range, as a bar's value does), then reads the values for the drawing. The roll is not cleared:
    // every visible row (and the one above) is painted whole. Returns nothing; the roll canvas gets its
    // font size.
    static void draw(const BackgroundView& view, const BackgroundColors& colors, ScrollBarState& h,
                     ScrollBarState& v, RollCanvas& keyboard, RollCanvas& roll, RollCanvas& ruler);

    // The tone label for the note under the pointer: the note's name right-aligned on the keyboard in
    // its row, at least 315 twips wide; hidden for a note outside 0..84.
    static ToneLabelPlacement toneLabel(int cursorNoteNum, int vValue, int rowHeight, double keyboardWidth,
                                        const RollCanvas& keyboard);
};

}  // namespace tova
