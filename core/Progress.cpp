#include "core/Progress.h"

#include "platform/Vb.h"

#include <cmath>

namespace tova {
namespace {
int roundHalfEven(double v) { return int(std::nearbyint(v)); }
}  // namespace

int SlideInHeight(float fullHeight, qint64 elapsedMs, int durationMs) {
    if (durationMs <= 0) return roundHalfEven(fullHeight);
    return roundHalfEven(double(fullHeight) * double(elapsedMs) / double(durationMs));
}

int SlideOutHeight(float fullHeight, qint64 remainingMs, int durationMs) {
    if (durationMs <= 0) return 0;
    return roundHalfEven(double(fullHeight) * double(qMax<qint64>(remainingMs, 0)) / double(durationMs));
}

int PanelSlideInTop(float panelHeight, qint64 elapsedMs, int durationMs) {
    if (durationMs <= 0) return 0;
    return roundHalfEven((double(elapsedMs) / double(durationMs) - 1.0) * double(panelHeight));
}

int PanelSlideOutTop(float panelHeight, qint64 elapsedMs, int durationMs) {
    if (durationMs <= 0) return -roundHalfEven(panelHeight);
    return roundHalfEven(-(double(elapsedMs) / double(durationMs)) * double(panelHeight));
}

QPoint ProgressWindowOrigin(QPoint anchorClientOrigin, int anchorWidth, int windowWidth) {
    return {anchorClientOrigin.x() + (anchorWidth - windowWidth) / 2, anchorClientOrigin.y()};
}

int ClampProgressValue(int value, int minimum, int maximum) {
    if (value > maximum) return maximum;
    if (value < minimum) return minimum;
    return value;
}

float FreqTableFraction(int done, int total, int stageIndex, int stageCount) {
    const double items = total == 0 ? 0.0 : double(done) / double(total);
    return float((items + double(stageIndex)) / double(qMax(stageCount, 1)));
}

int FreqTableBarValue(float fraction) { return int(std::floor(fraction * 100.0f)); }

QString FreqTableStatusText(float fraction) {
    return QStringLiteral("周波数表(") + Vb::Format(double(fraction), QStringLiteral("0%")) + u')';
}

}  // namespace tova
