#pragma once

#include "render/MissingSampleMarks.h"

#include <QtGlobal>

namespace tova {

class RenderProgress;

// What rendering and playback need of the main window: its enabled state, the render and play
// controls, the roll's drawing, scrolling, play cursor and focus, the MIDI preview timer, the per-note
// missing-sample marks (MissingSampleMarks), the wait window and the progress window. The main window
// implements it; tests give a fake.
class RenderWindow : public MissingSampleMarks {
public:
    virtual ~RenderWindow() = default;

    // The whole window: disabled while a render batch is awaited and while the progress window of an
    // in-process render is shown.
    virtual void SetWindowEnabled(bool on) = 0;
    // The menu item `mnGenerate`, the button `btnPlay` and the menu item `mnPlayTemp` together:
    // disabled from the start of a render batch until it has ended.
    virtual void SetRenderControlsEnabled(bool on) = 0;

    // Redraws the keyboard, the grid rows and the ruler of the roll.
    virtual void DrawBackground() = 0;
    // Recomputes the note geometry and redraws the notes. For playback it also finds the note under
    // the play position (`PlayState::PlayingNote`) and places the play cursor there.
    virtual void DrawNotes() = 0;
    // Scrolls the roll so that the beat in which note `note` starts, less `lead` beats (rounded to a
    // whole number), is the first visible beat.
    virtual void ScrollToTick(qint32& note, double lead) = 0;
    // Hides the play cursor (the line `Line3` of the roll).
    virtual void HidePlayCursor() = 0;
    // Gives the roll (`Picture2`) the keyboard focus.
    virtual void FocusRoll() = 0;
    // Switches the MIDI preview timer `tmrMidiNote` on or off.
    virtual void SetMidiNoteTimerEnabled(bool on) = 0;
    // Switches the playback timer `tmrPlaying` on or off: it runs only from a play of "temp.wav" until
    // it has seen the sound stop, so that the idle window is not woken 31 times a second.
    virtual void SetPlayTimerEnabled(bool on) = 0;

    // The wait window `frmShowRunning`, shown modeless and owned by the main window, and its unloading.
    virtual void ShowRunningWindow() = 0;
    virtual void UnloadRunningWindow() = 0;

    // The progress window of in-process renders, anchored at the roll.
    virtual RenderProgress& Progress() = 0;
};

}  // namespace tova
