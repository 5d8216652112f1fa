#pragma once

#include "mainwindow/WindowLayout.h"

#include <QString>

namespace tova {

// One feedback control of the roll or the ruler: where it stands (twips in its picture box) and
// whether it is shown.
struct FeedbackItem {
    TwipRect rect;
    bool visible = false;
    bool operator==(const FeedbackItem&) const = default;
};

// Mouse pointer kinds of the roll, by the numbers the window's pointer setting uses.
enum class RollPointer {
    Default = 0,
    Cross = 2,
    SizeNS = 7,
    SizeWE = 9,
    DrawingTool = 99,
};

// What a drag on the roll shows while it runs. The press, move and release handlers change this model
// and the main window shows it on its controls; the release reads the result of a drag from here (in
// twips, without the rounding of the screen).
//
// - `Shape1`: the note being moved, resized or drawn.
// - `Shape2`: the extent of a selection moved as a whole.
// - `Shape3` (on the ruler): the note under a right press on the ruler.
// - `shpHandle`: the 60 x 60 twip square over a dragged pitch point.
// - `Line1`, `Line2`: where a time-range selection started and where the pointer is (x in rect.left,
//   the full height of the roll).
// - `lbNumber`: the intensity label beside a note; its caption is a full-width blank and the value.
struct RollFeedback {
    FeedbackItem Shape1;
    FeedbackItem Shape2;
    FeedbackItem Shape3;
    FeedbackItem shpHandle;
    FeedbackItem Line1;
    FeedbackItem Line2;
    FeedbackItem lbNumber;
    QString lbNumberCaption;
    RollPointer pointer = RollPointer::Default;
};

}  // namespace tova
