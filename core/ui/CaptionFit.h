#pragma once

class QWidget;

namespace tova {

// Fits a form laid out at its design geometry to the font it is shown in. Where a caption (label,
// button, check box, frame title, combo-box entry, list column) is wider than its control, the control
// grows, the controls to its right in the same row move along, and the form grows when its controls
// no longer fit. A label that runs a few pixels into its neighbour is cut back to its text, and a
// control that a frame's edge cuts by a few pixels shrinks into the frame. Controls already wholly
// outside their container (parts the design hides by the window's height) are left alone.
class CaptionFit {
public:
    static void apply(QWidget* form);
    // The pixels a control's caption needs beyond its width (0 when it fits).
    static int shortfall(QWidget* control);
};

}  // namespace tova
