#pragma once

#include "commands/ScrollBarState.h"
#include "mainwindow/WindowLayout.h"

#include <QString>

#include <cstdint>

class QObject;

namespace tova {

class LocalizableWindow;
class MainWindowPlacement;
class RollCanvas;

// The window side of the main window: its controls, addressed by name and, for an element of a control
// array, by index (-1 for a control that is not an array element). The main window's logic reads and
// sets them through this interface; the Qt form implements it and tests give a fake.
//
// Setting a control from here never runs a handler: the logic runs the handlers itself where its
// procedures say a change raises one.
class MainWindowView {
public:
    virtual ~MainWindowView() = default;

    // The value of a check box (0 or 1), an option button (1 when selected), a menu item's check mark
    // (0 or 1) or the selected entry of a combo box (-1 when none).
    virtual int value(const QString& name, int index = -1) const = 0;
    virtual void setValue(const QString& name, int value, int index = -1) = 0;
    virtual bool visible(const QString& name, int index = -1) const = 0;
    virtual void setVisible(const QString& name, bool on, int index = -1) = 0;
    virtual bool enabled(const QString& name, int index = -1) const = 0;
    virtual void setEnabled(const QString& name, bool on, int index = -1) = 0;
    // Caption of a menu item, label, button or check box; text of a text box.
    virtual QString text(const QString& name, int index = -1) const = 0;
    virtual void setText(const QString& name, const QString& text, int index = -1) = 0;
    // Item data of an entry of a combo box.
    virtual int itemData(const QString& name, int entry) const = 0;

    // Control arrays of menus: the highest element that exists, and loading (a copy of element 0 placed
    // after the highest) and unloading of elements.
    virtual int menuArrayUpper(const QString& name) const = 0;
    virtual void loadMenuElement(const QString& name, int index) = 0;
    virtual void unloadMenuElement(const QString& name, int index) = 0;
    // Pops up a menu at the pointer and returns the name and index of the chosen item (name empty when
    // dismissed). The chosen item's command has run when this returns.
    virtual QString popupMenu(const QString& menu, int* chosenIndex) = 0;
    // Runs the command registered under a control's name (element `index` of a control array, -1 for
    // none); a name without a command says that the feature is not available yet.
    virtual void runNamedCommand(const QString& name, int index = -1) = 0;

    // The picture boxes of the roll ("Picture2"), the keyboard strip ("Picture3") and the ruler ("Picture4").
    virtual RollCanvas& picture(const QString& name) = 0;
    // Shows what the drawing procedures painted.
    virtual void refreshPictures() = 0;
    // Foreground and background colour of a picture box.
    virtual void setPictureColors(const QString& name, int32_t fore, int32_t back) = 0;
    // Mouse pointer of a control: 0 the default, 99 the custom drawing-tool pointer.
    virtual void setMousePointer(const QString& name, int kind) = 0;
    // Shows a scroll bar's state (range, value) without raising its change handler.
    virtual void setScrollBar(const QString& name, const ScrollBarState& state) = 0;
    // Places the song-area controls.
    virtual void applyLayout(const WindowLayout& layout) = 0;
    // Places a label: "lblTone" on the keyboard strip.
    virtual void setControlRect(const QString& name, const TwipRect& rect) = 0;
    // The client area in twips (status bar included) and the status bar's height.
    virtual double clientWidth() const = 0;
    virtual double clientHeight() const = 0;
    virtual double statusBarHeight() const = 0;

    virtual void setFocusTo(const QString& name) = 0;
    virtual bool hasFocus(const QString& name) const = 0;
    // The window caption.
    virtual void setCaption(const QString& text) = 0;
    // Text of panel 1..4 of the status bar.
    virtual void setStatusText(int panel, const QString& text) = 0;
    virtual QString statusText(int panel) const = 0;
    // True while the Shift key is held down.
    virtual bool shiftHeld() const = 0;
    // True while the Ctrl key is held down.
    virtual bool ctrlHeld() const = 0;
    // The window icon from a picture file; false when it cannot be read.
    virtual bool setIconFile(const QString& path) = 0;
    // Shows a picture file in a picture control ("Image1"); an empty path (or a file that cannot be read)
    // clears it.
    virtual void setPictureFile(const QString& name, const QString& path) = 0;

    virtual void showSplash() = 0;
    virtual void closeSplash() = 0;
    // The about box, shown modally.
    virtual void showAboutBox() = 0;
    // Handles pending window events.
    virtual void processEvents() = 0;

    // The window as the caption files, the settings file and the wheel hook see it.
    virtual LocalizableWindow& localizable() = 0;
    virtual MainWindowPlacement* placement() = 0;
    // The window object of a control (the wheel hook's target, the MIDI receivers, dialog owners).
    virtual QObject* windowObject(const QString& name) = 0;
};

}  // namespace tova
