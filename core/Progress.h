#pragma once

#include <QPoint>
#include <QString>
#include <QtGlobal>

namespace tova {

// The arithmetic of the progress displays: slide positions, placement and the frequency-table run.

// Height of a window sliding in, `elapsedMs` into a slide of `durationMs`: full × elapsed / duration,
// rounded. A slide without duration is at once complete.
int SlideInHeight(float fullHeight, qint64 elapsedMs, int durationMs);
// Height of a window sliding out with `remainingMs` of the slide left: full × remaining / duration.
int SlideOutHeight(float fullHeight, qint64 remainingMs, int durationMs);
// Top of an embedded panel sliding in: (elapsed / duration − 1) × panel height (0 when done).
int PanelSlideInTop(float panelHeight, qint64 elapsedMs, int durationMs);
// Top of an embedded panel sliding out: −(elapsed / duration) × panel height.
int PanelSlideOutTop(float panelHeight, qint64 elapsedMs, int durationMs);

// Where the progress window hangs: centred across the anchor, its top at the anchor's client origin.
QPoint ProgressWindowOrigin(QPoint anchorClientOrigin, int anchorWidth, int windowWidth);

// A bar value clamped to the bar's range.
int ClampProgressValue(int value, int minimum, int maximum);

// Share of a frequency-table run done: (items done / run total + stage index) / stage count, in single
// precision. A run total of 0 counts as no items done (no division by zero); the stage count is at
// least 1.
float FreqTableFraction(int done, int total, int stageIndex, int stageCount);
// The bar value for a share (0..100 scale): the share times 100 with the fraction cut off.
int FreqTableBarValue(float fraction);
// "周波数表(" + the share as a whole percentage + ")".
QString FreqTableStatusText(float fraction);

}  // namespace tova
