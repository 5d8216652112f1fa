#include "mainwindow/ScrollHelpers.h"

#include "mainwindow/RollCoordinates.h"
#include "platform/Vb.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace tova {

namespace {
qint32 lengthOf(const QList<qint32>& lengths, qint32 note) {
    return note >= 0 && note < lengths.size() ? lengths[note] : 0;
}
// A beat count as a bar's value: a song may run past the largest one, which is as far as the bar goes.
int barValue(double v) {
    return int(std::clamp(v, double(std::numeric_limits<int>::min()), double(std::numeric_limits<int>::max())));
}
}  // namespace

int ScrollHelpers::scrollToNoteStart(const QList<qint32>& lengths, qint32 note, const ScrollBarState& h,
                                     std::optional<double> lead) {
    const double s = double(RollCoordinates::startTick(lengths, note));
    const double beats = lead ? double(Vb::CInt(*lead)) : 1.0;
    double v = Vb::Int(s / Roll::TicksPerBeat - beats);
    if (v < h.Min) v = h.Min;
    if (v > h.Max) v = h.Max;
    return int(v);
}

std::optional<int> ScrollHelpers::scrollToSelection(const QList<qint32>& lengths, qint32 note, bool force,
                                                    const NoteGeometryList& geometry, qint32 selStart,
                                                    double innerWidth, float zoom, const ScrollBarState& h) {
    if (!force && note >= 0 && note < geometry.size()) {
        // An unknown selection start counts as out of view.
        if (selStart >= 0 && selStart < geometry.size()) {
            const NoteGeometryRecord& g = geometry[selStart];
            if (g.Left >= 0 && double(g.Left) + double(g.Width) < innerWidth) return std::nullopt;
        }
    }
    const double s = double(RollCoordinates::startTick(lengths, note));
    double v = Vb::Int((s - (innerWidth / 2 - Roll::TicksPerBeat) * double(zoom)) / Roll::TicksPerBeat) + 1;
    if (v < h.Min) v = h.Min;
    if (v > h.Max) v = h.Max;
    return int(v);
}

int ScrollHelpers::noteToRightEdge(const QList<qint32>& lengths, qint32 note, double innerWidth,
                                   double vScrollWidth, float zoom) {
    const double e = double(RollCoordinates::startTick(lengths, note) + lengthOf(lengths, note));
    const double span = (innerWidth - vScrollWidth) * double(zoom);
    double v = -Vb::Int((span - e) / Roll::TicksPerBeat);
    if (v < 0) v = 0;
    return barValue(v);
}

std::optional<int> ScrollHelpers::noteToInsideWindow(const QList<qint32>& lengths, qint32 noteCount, qint32 note,
                                                     int hValue, double innerWidth, double vScrollWidth,
                                                     float zoom) {
    if (note < 0 || note > noteCount - 1) return std::nullopt;
    const double s = double(RollCoordinates::startTick(lengths, note));
    const double rel = s - double(hValue) * Roll::TicksPerBeat;
    const double relEnd = rel + double(lengthOf(lengths, note));
    const double span = (innerWidth - vScrollWidth - 1650) * double(zoom);
    if (rel > 0 && span > relEnd) return std::nullopt;
    double v = Vb::Int(s / Roll::TicksPerBeat);
    if (v < 0) v = 0;
    return barValue(v);
}

}  // namespace tova
