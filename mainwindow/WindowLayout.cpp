#include "mainwindow/WindowLayout.h"

namespace tova {

namespace {
// A size that would be negative is refused: the control keeps what it had.
void setSize(double& field, double value) {
    if (value >= 0) field = value;
}
}  // namespace

void WindowLayout::resize(double W, double H, double statusBarHeight) {
    setSize(Image2.width, W);
    setSize(Picture2.width, W - Picture2.left - VScroll1.width);
    setSize(Picture4.width, W - Picture4.left);
    setSize(Picture2.height, H - HScroll1.height - statusBarHeight - Picture2.top);
    setSize(Picture3.height, Picture2.height);
    Line3Y1 = 0;
    Line3Y2 = Picture3.height;

    const double b = Picture2.top + Picture2.height;
    HScroll1.top = b;
    setSize(HScroll1.width, Picture2.width);
    chkView.top = b;
    chkCurve.top = b;

    const double r = Picture2.left + Picture2.width;
    VScroll1.left = r;
    cmdHeightSmall.left = r;
    cmdHeightLarge.left = r;

    VScroll1.top = Picture2.top;
    setSize(VScroll1.height, Picture2.height - cmdHeightLarge.height - cmdHeightSmall.height);
    cmdHeightSmall.top = VScroll1.top + VScroll1.height;
    cmdHeightLarge.top = cmdHeightSmall.top + cmdHeightSmall.height;
}

}  // namespace tova
