#pragma once

#include <QtGlobal>

#include <cstdint>

namespace tova {

// The coordinate system of the piano roll. Time runs left to right in ticks (1920 a beat) and is
// shown at `Zoom` ticks per twip, starting at the beat given by the horizontal scroll value; note
// numbers 0..84 run bottom to top in rows of `RowHeight` twips, row 0 (note 84) at the top of the
// scroll range and the vertical scroll value giving the rows scrolled off the top. The keyboard strip
// shares the vertical mapping, the ruler the horizontal one. 15 twips are one pixel.
namespace Roll {
constexpr int Rows = 85;           // note numbers 0..84
constexpr int TopNote = 84;
constexpr int TicksPerBeat = 1920;
constexpr int TwipsPerPixel = 15;
constexpr int BeatsAfterSong = 32;  // room the horizontal bar always offers after the song's end
constexpr int16_t MinRowHeight = 150;
constexpr int16_t MaxRowHeight = 360;
constexpr int16_t RowHeightStep = 30;
constexpr float MinZoom = 0.5f;
constexpr float MaxZoom = 8.0f;
}  // namespace Roll

class RollCoordinates {
public:
    // x of a tick: (tick - hValue * 1920) / zoom.
    static double xOfTick(double tick, int hValue, float zoom);
    // Tick at an x: x * zoom + hValue * 1920.
    static double tickAtX(double x, int hValue, float zoom);
    // Width of a length in whole twips (halves to even).
    static qint32 widthOfLength(double length, float zoom);
    // Top y of the row of note n: (84 - n - vValue) * rowHeight.
    static qint32 rowTop(int note, int vValue, int rowHeight);
    // Note number at a y of the roll or the keyboard strip: 84 - Int(y / rowHeight + vValue), within 0..84.
    static int noteAtY(double y, int vValue, int rowHeight);

    // The horizontal maximum: max(0, (songLength - rollWidth * zoom) / 1920) + 32, rounded. The bar
    // counts beats in 32 bits, so that the end of any song can be scrolled into view.
    static int hScrollMax(qint64 songLength, double rollWidth, float zoom);
    // The vertical maximum: max(0, (85 * rowHeight - rollHeight) / rowHeight), rounded.
    static int vScrollMax(int rowHeight, double rollHeight);
    // Start tick of note i: the sum of the lengths before it.
    template <typename Lengths>
    static qint64 startTick(const Lengths& lengths, qint32 i) {
        qint64 s = 0;
        for (qint32 k = 0; k < i && k < qint32(lengths.size()); ++k) s += lengths[k];
        return s;
    }
};

}  // namespace tova
