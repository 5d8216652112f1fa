#include "mainwindow/RollCoordinates.h"

#include "platform/Vb.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace tova {

namespace {
// Rounds to the nearest integer, halves to the even one, capped to the range of a scroll bar's value.
int roundToBar(double v) {
    v = std::nearbyint(v);
    return int(std::clamp(v, double(std::numeric_limits<int>::min()), double(std::numeric_limits<int>::max())));
}
}  // namespace

double RollCoordinates::xOfTick(double tick, int hValue, float zoom) {
    return (tick - double(hValue) * Roll::TicksPerBeat) / double(zoom);
}

double RollCoordinates::tickAtX(double x, int hValue, float zoom) {
    return x * double(zoom) + double(hValue) * Roll::TicksPerBeat;
}

qint32 RollCoordinates::widthOfLength(double length, float zoom) {
    return Vb::CLng(length / double(zoom));
}

qint32 RollCoordinates::rowTop(int note, int vValue, int rowHeight) {
    return (Roll::TopNote - note - vValue) * rowHeight;
}

int RollCoordinates::noteAtY(double y, int vValue, int rowHeight) {
    double n = Roll::TopNote - Vb::Int(y / rowHeight + vValue);
    return int(std::clamp(n, 0.0, double(Roll::TopNote)));
}

int RollCoordinates::hScrollMax(qint64 songLength, double rollWidth, float zoom) {
    double beats = (double(songLength) - rollWidth * double(zoom)) / Roll::TicksPerBeat;
    return roundToBar(std::max(0.0, beats) + Roll::BeatsAfterSong);
}

int RollCoordinates::vScrollMax(int rowHeight, double rollHeight) {
    double rows = (double(Roll::Rows) * rowHeight - rollHeight) / rowHeight;
    return roundToBar(std::max(0.0, rows));
}

}  // namespace tova
