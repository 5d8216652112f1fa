#pragma once

#include "commands/NoteGeometry.h"
#include "commands/ScrollBarState.h"

#include <QString>

namespace tova {

struct NoteArrays;

// What note navigation, selection and search need of the main window: the notes, the selection and the
// current note, the drawn note rectangles, the roll's horizontal scale and scroll bar, the redraws, and
// the text boxes of the tool bar and the roll.
class NavigationWindow {
public:
    virtual ~NavigationWindow() = default;

    virtual const NoteArrays& notes() const = 0;
    virtual qint32 selStart() const = 0;
    virtual qint32 selEnd() const = 0;
    virtual void setSelection(qint32 start, qint32 end) = 0;
    // The current (focused) note; -1 for none.
    virtual void setCurNote(qint32 note) = 0;
    // The rectangles of the last note drawing.
    virtual const NoteGeometryList& noteGeometry() const = 0;
    // Ticks per twip of the roll.
    virtual float zoom() const = 0;
    // The roll's drawing width without its border, and the vertical scroll bar's width, in twips.
    virtual double rollInnerWidth() const = 0;
    virtual double vScrollWidth() const = 0;
    // The horizontal scroll bar (beats at the left edge of the roll).
    virtual const ScrollBarState& hScroll() const = 0;
    // Sets the horizontal bar's value; a new value raises the bar's change handler, which redraws.
    virtual void setHScrollValue(int value) = 0;
    virtual void DrawBackground() = 0;
    virtual void DrawNotes() = 0;

    // The text of the lyric entry box "Text2", and giving it the keyboard focus.
    virtual QString lyricEntryText() const = 0;
    virtual void focusLyricEntry() = 0;
    // The name of the text box ("Text2", "Text1" or "txtTempo") that holds the keyboard focus; empty
    // when the focus is elsewhere.
    virtual QString focusedTextBox() const = 0;
    // Sends the keystroke Ctrl+A to that text box, which selects its own text.
    virtual void sendSelectAll(const QString& box) = 0;
};

}  // namespace tova
