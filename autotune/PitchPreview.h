#pragma once

#include <QList>
#include <QPointF>
#include <QtGlobal>

namespace tova {

struct BendSettings;

// One line of a bend-shape preview, in the preview box's twips.
struct PreviewLine {
    QPointF from, to;
    quint32 colour;  // 0xRRGGBB
};

// The one-click dialog's preview of the rising (`pictUp`) or falling (`pictDn`) bend in a box of
// w x h twips: the note-on axis at the middle, then the bend from its start, 15 twips for 4 ms, over
// three quarters of the height, and a level line to the right edge. Red axis and blue curve when the
// direction is ticked, both grey when not.
QList<PreviewLine> PitchPreviewLines(bool rising, bool ticked, const BendSettings& settings, double w, double h);

}  // namespace tova
