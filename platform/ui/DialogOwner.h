#pragma once

class QWidget;

namespace tova {

// The window a message box or a standard dialog stands over: the modal dialog open now (a dialog that
// asks), else the active window, else the program's main window. A box without an owner would stand in
// the middle of the screen, away from a window the user moved; an owner it has is centred over it.
QWidget* dialogOwner();

}  // namespace tova
