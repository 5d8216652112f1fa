#pragma once

#include "mainwindow/CurveHandles.h"
#include "mainwindow/NoteColors.h"
#include "commands/NoteGeometry.h"

#include <QList>
#include <QString>

#include <array>
#include <cstdint>

namespace tova {

class RollCanvas;
struct NoteArrays;

// A point in twips inside the roll.
struct TwipPoint {
    double x = 0;
    double y = 0;
};

// The switches and view values the curve drawing reads besides the note itself.
struct CurveView {
    float Zoom = 2.0f;
    int RowHeight = 210;
    qint32 SelStart = 0;
    bool Mode2 = false;          // "Mode2": mode-2 pitch curves
    bool Trace = false;          // "Trace": the older pitch data shown in the pitch colour under mode 2
    bool ParamView = false;      // "P": modulation and flag labels
    bool HandlesWanted = true;   // the handles of the selection-start note are drawn and registered
};

// The envelope of one note as a polyline: P0 (the sound's start), P1, P2, P5, P3, P4 and the end, with
// the warning raised when P5 lies right of P3 (the front part of the envelope runs into its tail).
struct EnvelopeOutline {
    std::array<TwipPoint, 7> points{};
    bool warning = false;
};

// One point of a mode-2 pitch curve: where it lies and the shape of the segment that ends there ("s"
// straight, "r" steep start, "j" steep end, anything else the S curve; unused for the start point).
struct PitchPoint {
    double x = 0;
    double y = 0;
    QString shape;
};

// Where a note's vibrato lies on screen; `drawn` is false when the note shows no vibrato.
struct VibratoLayout {
    bool drawn = false;
    double xVib = 0;      // start of the vibrato
    double xEnd = 0;      // end of the note
    double depth = 0;     // amplitude in twips
    double cycle = 0;     // period in twips
    double fadeIn = 0;    // length of the rising ramp in twips
    double fadeOut = 0;   // length of the falling ramp in twips
    double inEnd = 0;     // handle band from here ...
    double outStart = 0;  // ... to here (one and two thirds of the vibrato when the fades overlap)
    double phase = 0;     // radians
    double height = 0;    // offset of the centre line, in depths
    double shift = 0;     // that offset in twips
    double yHandles = 0;  // centre line of the handles, one row below the note
    // length, cycle, depth upper band, depth lower band, fade-in, fade-out, phase, body.
    std::array<HandleRect, 8> handles{};
};

// The curve view of one note: intensity and flag labels, the volume envelope, the pitch data of the
// older kind, the mode-2 pitch curve with its portamento shapes and the vibrato; for the note at the
// selection start the handles of its pitch points and vibrato, registered for pointer input. Nothing
// here changes a note. One object serves one pass of the note drawing.
class CurveDrawing {
public:
    CurveDrawing(const CurveView& view, const NoteColors& colors, const NoteArrays& notes,
                 const NoteGeometryList& geometry, CurveHandles& handles, RollCanvas& roll);

    // Everything for note i whose left edge is x and whose row starts at rowTop; `prevTempo` is the tempo
    // of the note before, `tempo` the note's own. A rest gets no labels and no envelope.
    void DrawCurves(float prevTempo, float tempo, qint32 i, qint32 x, qint32 rowTop, bool selected);
    // The mode-2 pitch curve of note i and its point handles.
    void DrawMode2Pitch(qint32 i, qint32 x, qint32 rowTop, double prevFactor, double thisFactor, int32_t color);
    // The vibrato of note i and its handles.
    void DrawVibrato(qint32 i, qint32 x, qint32 rowTop, double thisFactor, int32_t color);

    // One curved segment from (x0, y0) to (x1, y1), sampled every pixel; nothing when x1 = x0.
    static void DrawPortamentoSegment(RollCanvas& canvas, double x0, double y0, double x1, double y1, int32_t color,
                                      const QString& shape);
    // The y of a curved segment at x: "r" steep then flat, "j" flat then steep, any other shape the S
    // curve (flat at both ends).
    static double portamentoY(const QString& shape, double x, double x0, double y0, double x1, double y1);

    // The flags without the first "B" and the digits right after it.
    static QString StripBreathFlag(const QString& flags);
    // "bre " and the number after the first "B"; empty without a "B".
    static QString GetBreathFlagLabel(const QString& flags);

    // The envelope polyline of a note: record g's pre-utterance and envelope entries, x of the note, the
    // row's bottom `base`, the intensity factor, twips per ms before and after the note's start, and the
    // note's sounding length durMs.
    static EnvelopeOutline envelopeOutline(const NoteGeometryList::value_type& g, double x, double base, int rowHeight,
                                           double intensity, double prevFactor, double thisFactor, double durMs);
    // The mode-2 points of note i (start point first); empty when the note has no widths.
    static QList<PitchPoint> mode2Points(const NoteArrays& notes, qint32 i, double x, double rowTop, int rowHeight,
                                         double prevFactor, double thisFactor);
    // The vibrato of a note of `length` ticks from its `VBR` option.
    static VibratoLayout vibratoLayout(const QString& vbr, qint32 length, double x, double rowTop, float zoom,
                                       int rowHeight, double thisFactor);
    // The vibrato curve's y at x around the centre line yC: the sine scaled by both fade ramps.
    static double vibratoY(const VibratoLayout& v, double x, double yC);

private:
    double xOfTime(double x, double t, double prevFactor, double thisFactor) const;
    void drawOldPitch(qint32 i, qint32 x, qint32 rowTop, double prevFactor, double thisFactor, int32_t color);
    void drawEnvelope(qint32 i, qint32 x, qint32 rowTop, double intensity, double prevFactor, double thisFactor,
                      double durMs, int32_t color);

    const CurveView& view_;
    const NoteColors& colors_;
    const NoteArrays& notes_;
    const NoteGeometryList& geometry_;
    CurveHandles& handles_;
    RollCanvas& roll_;
};

}  // namespace tova
